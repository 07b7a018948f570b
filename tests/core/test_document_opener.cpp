#include "core/app/document_opener.h"

#include <gtest/gtest.h>

#include <map>

namespace zek {
namespace {

using Registry = std::map<std::string, std::string, std::less<>>;

ClassesRootLookup lookupIn(const Registry& registry) {
    return [&registry](std::string_view key) {
        const auto found = registry.find(key);
        return found == registry.end() ? std::string() : found->second;
    };
}

const std::string kPdfKey = "AcroExch.Document\\shell\\open\\command\\";

TEST(DocumentOpener, QuotedProgram) {
    const struct {
        std::string_view command;
        std::optional<std::string> program;
    } cases[] = {
        {R"("C:\Viewer\view.exe" "%1")", R"(C:\Viewer\view.exe)"},
        {R"("C:\Program Files\v.exe")", R"(C:\Program Files\v.exe)"},
        {R"(C:\Viewer\view.exe "%1")", std::nullopt},
        {R"(C:\Viewer\view.exe %1)", std::nullopt},
        {R"("C:\Viewer\view.exe %1)", std::nullopt},
        {R"("" "%1")", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(quotedProgram(c.command), c.program) << c.command;
}

TEST(DocumentOpener, CommandLines) {
    const std::string longPath(1000, 'a');
    const struct {
        Registry registry;
        std::string_view argument;
        std::optional<std::string> line;
    } cases[] = {
        {{{".pdf", "AcroExch.Document"}, {kPdfKey, R"("C:\V\v.exe" "%1")"}},
         R"(C:\start dir\holvek_zek_config.pdf)",
         R"(C:\V\v.exe "C:\start dir\holvek_zek_config.pdf")"},
        {{{".pdf", "AcroExch.Document"}, {kPdfKey, R"(C:\V\v.exe "%1")"}}, "m.pdf", std::nullopt},
        {{{".pdf", "AcroExch.Document"}}, "m.pdf", std::nullopt},
        {{{".pdf", "\xC4rger"}, {"\xC4rger\\shell\\open\\command\\", R"("v.exe")"}}, "m.pdf", std::nullopt},
        {{{".pdf", "AcroExch.Document"}, {kPdfKey, "\xC4\"v.exe\""}}, "m.pdf", std::nullopt},
        {{{".pdf", "AcroExch.Document"}, {kPdfKey, R"("v.exe")"}}, R"(a" & del x ")", std::nullopt},
        {{{".pdf", "AcroExch.Document"}, {kPdfKey, R"("v.exe")"}}, longPath, std::nullopt},
        {{{".pdf", std::string(1025, 'A')}}, "m.pdf", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(viewerCommandLine(lookupIn(c.registry), ".pdf", c.argument), c.line) << c.argument;
}

TEST(DocumentOpener, EachLookupStandsAlone) {
    const Registry registry = {{".htm", "htmlfile"},
                               {"htmlfile\\shell\\open\\command\\", R"("b.exe" -url "%1")"}};
    EXPECT_EQ(viewerCommandLine(lookupIn(registry), ".htm", "https://www.holvek.example/"),
              R"(b.exe "https://www.holvek.example/")");
    EXPECT_EQ(viewerCommandLine(lookupIn(registry), ".pdf", "m.pdf"), std::nullopt);
}

TEST(DocumentOpener, ModuleWebAddress) {
    EXPECT_EQ(moduleWebAddress(0xC0A80105, 80, 10001), "http://192.168.1.5:80");
    EXPECT_EQ(moduleWebAddress(0x7F000005, 0, 10005), "http://127.0.0.5:10005");
}

} // namespace
} // namespace zek
