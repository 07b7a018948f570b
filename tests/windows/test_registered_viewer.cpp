// The registered viewers against the real registry and process start, under wine: a viewer
// registered at a path with blanks must receive the document as its one argument. The
// program plays that viewer itself when started with ZEK_VIEWER_REPORT set: it writes
// its arguments there and signals the test.
#include "net/registered_viewer.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

constexpr wchar_t kReportVariable[] = L"ZEK_VIEWER_REPORT";
constexpr wchar_t kDoneEvent[] = L"zek-viewer-test-done";

std::wstring environmentValue(const wchar_t* name) {
    wchar_t value[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
    return length > 0 && length < MAX_PATH ? value : L"";
}

// The viewer's side: "<argument count>|<first argument>" in UTF-8.
int actAsViewer(const std::wstring& report) {
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    char first[MAX_PATH * 3] = {};
    if (count > 1)
        WideCharToMultiByte(CP_UTF8, 0, args[1], -1, first, sizeof first, nullptr, nullptr);
    LocalFree(args);
    std::ofstream(report.c_str()) << count - 1 << '|' << first;
    const HANDLE done = OpenEventW(EVENT_MODIFY_STATE, FALSE, kDoneEvent);
    return done && SetEvent(done) ? 0 : 1;
}

bool setClassesRootValue(const wchar_t* subKey, const std::wstring& value) {
    return RegSetKeyValueW(HKEY_CLASSES_ROOT, subKey, nullptr, REG_SZ, value.c_str(),
                           DWORD((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

TEST(RegisteredViewer, ClassesRootValues) {
    ASSERT_TRUE(setClassesRootValue(L"zek.test.long", std::wstring(1100, L'x')));
    ASSERT_TRUE(setClassesRootValue(L"zek.test.fits", std::wstring(1024, L'x')));
    const struct {
        const char* subKey;
        std::string value;
    } cases[] = {
        {".exe", "exefile"},
        {"zek.test.missing", ""},
        {"zek.test.long", ""},
        {"zek.test.fits", std::string(1024, 'x')},
    };
    for (const auto& c : cases)
        EXPECT_EQ(zek::net::ReadClassesRootValue(c.subKey), c.value) << c.subKey;
    EXPECT_FALSE(zek::net::OpenWithViewer(".zeknone", "m.pdf"));
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"zek.test.long");
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"zek.test.fits");
}

TEST(RegisteredViewer, ViewerAtAPathWithBlanksGetsOneArgument) {
    wchar_t self[MAX_PATH] = {};
    wchar_t temp[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring dir = std::wstring(temp) + L"zek viewer test";
    const std::wstring viewer = dir + L"\\viewer.exe";
    const std::wstring report = dir + L"\\report.txt";
    CreateDirectoryW(dir.c_str(), nullptr);
    DeleteFileW(report.c_str());
    ASSERT_TRUE(CopyFileW(self, viewer.c_str(), FALSE));
    ASSERT_TRUE(setClassesRootValue(L".zektest", L"zek.test.document"));
    ASSERT_TRUE(
        setClassesRootValue(L"zek.test.document\\shell\\open\\command", L"\"" + viewer + L"\" \"%1\""));
    const HANDLE done = CreateEventW(nullptr, TRUE, FALSE, kDoneEvent);
    ASSERT_TRUE(done);
    SetEnvironmentVariableW(kReportVariable, report.c_str());

    const std::string document = "C:\\start dir\\Z\xC3\xA4hler & co.zektest";
    EXPECT_TRUE(zek::net::OpenWithViewer(".zektest", document));
    ASSERT_EQ(WaitForSingleObject(done, 20000), WAIT_OBJECT_0);
    std::ifstream in(report.c_str());
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "1|" + document);

    SetEnvironmentVariableW(kReportVariable, nullptr);
    CloseHandle(done);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L".zektest");
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"zek.test.document");
}

} // namespace

int main(int argc, char** argv) {
    const std::wstring report = environmentValue(kReportVariable);
    if (!report.empty())
        return actAsViewer(report);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
