#include <windows.h>

#include "core/app/document_opener.h"
#include "net/registered_viewer.h"

#include <vector>

namespace zek::net {

namespace {

std::wstring wide(std::string_view utf8) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring text(std::size_t(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), text.data(), length);
    return text;
}

std::string utf8(std::wstring_view text) {
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(std::size_t(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), bytes.data(), length, nullptr, nullptr);
    return bytes;
}

} // namespace

std::string ReadClassesRootValue(std::string_view subKey) {
    std::vector<wchar_t> value(kRegistryValueMax + 1, L'\0');
    DWORD bytes = DWORD(value.size() * sizeof(wchar_t));
    // REG_EXPAND_SZ values come back expanded, as REG_SZ; a longer value fails as too long.
    if (RegGetValueW(HKEY_CLASSES_ROOT, wide(subKey).c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value.data(),
                     &bytes) != ERROR_SUCCESS)
        return {};
    return utf8(value.data());
}

bool OpenWithViewer(std::string_view extension, std::string_view argument) {
    const auto line = viewerCommandLine(ReadClassesRootValue, extension, argument);
    if (!line)
        return false;
    // The program is named apart from the command line, so that no part of a path with
    // blanks is ever taken for a program of its own.
    const std::wstring program = wide(*quotedProgram(*line));
    std::wstring commandLine = wide(*line);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWDEFAULT;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

} // namespace zek::net
