#include "core/app/document_opener.h"

#include <gtest/gtest.h>

#include <map>

namespace zek {
namespace {

using Registry = std::map<std::string, std::string, std::less<>>;

// A registry with ".pdf" registered to the open command `command`.
std::optional<std::string> pdfLine(const std::string& command, std::string_view argument,
                                   const std::string& className = "AcroExch.Document") {
    const Registry registry = {{".pdf", className}, {className + "\\shell\\open\\command\\", command}};
    return viewerCommandLine(
        [&](std::string_view key) {
            const auto found = registry.find(key);
            return found == registry.end() ? std::string() : found->second;
        },
        ".pdf", argument);
}

TEST(DocumentOpener, CommandLines) {
    const std::string longPath(1000, 'a');
    const struct {
        std::string command;
        std::string_view argument;
        std::optional<std::string> line;
    } cases[] = {
        {R"("C:\V\v.exe" "%1")", R"(C:\start dir\m.pdf)", R"("C:\V\v.exe" "C:\start dir\m.pdf")"},
        {R"("C:\Program Files\v.exe")", "m.pdf", R"("C:\Program Files\v.exe" "m.pdf")"},
        {R"(C:\V\v.exe "%1")", "m.pdf", std::nullopt},
        {R"(C:\V\v.exe %1)", "m.pdf", std::nullopt},
        {R"("C:\V\v.exe %1)", "m.pdf", std::nullopt},
        {R"("" "%1")", "m.pdf", std::nullopt},
        {"", "m.pdf", std::nullopt},
        {"\xC4\"v.exe\"", "m.pdf", std::nullopt},
        {R"("v.exe")", R"(a" & del x ")", std::nullopt},
        {R"("v.exe")", longPath, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pdfLine(c.command, c.argument), c.line) << c.command << " " << c.argument;
    EXPECT_EQ(pdfLine(R"("v.exe")", "m.pdf", "\xC4rger"), std::nullopt);
    EXPECT_EQ(pdfLine(R"("v.exe")", "m.pdf", std::string(1025, 'A')), std::nullopt);
}

} // namespace
} // namespace zek
