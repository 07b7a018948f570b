#include <windows.h>

#include "ctl/console.h"

#include <cstdio>
#include <cstdlib>
#include <io.h>

namespace zek::cli {

namespace {

UINT g_outputCodePage = 0;
UINT g_inputCodePage = 0;

// The code pages belong to the console window, which outlives zekctl: they are given back.
void restoreCodePages() {
    SetConsoleOutputCP(g_outputCodePage);
    SetConsoleCP(g_inputCodePage);
}

} // namespace

void useUtf8Console() {
    g_outputCodePage = GetConsoleOutputCP();
    g_inputCodePage = GetConsoleCP();
    // No console (output into a file or a pipe): the bytes go out as they are.
    if (g_outputCodePage == 0 || g_outputCodePage == CP_UTF8)
        return;
    std::atexit(restoreCodePages);
    SetConsoleOutputCP(CP_UTF8);
    SetConsoleCP(CP_UTF8);
}

bool stderrIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

} // namespace zek::cli
