#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "cli/console.h"
#include "engine/system_path_win32.h"

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

namespace tarvo {

// A console is recognised by its mode: a pipe, a file or the NUL device has
// none (the C runtime's isatty also says yes for NUL). Consoles before
// Windows 10 refuse virtual-terminal processing and would print colour
// codes as text.
ConsoleOutput prepareStandardOutput() {
    std::fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
    ConsoleOutput output;
    HANDLE handle = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr || !GetConsoleMode(handle, &mode))
        return output;
    output.terminal = true;
    output.colorCodesShow = (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
                            SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    return output;
}

void prepareHeap() {}

std::string currentDirectory() {
    return pathFromSystem([](wchar_t* buffer, size_t size) {
        return GetCurrentDirectoryW(static_cast<DWORD>(size), buffer);
    });
}

namespace {

UINT consoleCodePage = 0;  // the console's own output code page while UTF-8 stands in

void restoreConsoleCodePage() {
    SetConsoleOutputCP(consoleCodePage);
}

}  // namespace

// A console shows the bytes written to it in its output code page, which is
// not UTF-8 unless the user chose it. Pipes and files take the bytes as they
// are.
void prepareConsole() {
    DWORD mode = 0;
    const bool console = GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) ||
                         GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode);
    if (!console || GetConsoleOutputCP() == CP_UTF8) return;
    consoleCodePage = GetConsoleOutputCP();
    if (consoleCodePage != 0 && SetConsoleOutputCP(CP_UTF8)) std::atexit(restoreConsoleCodePage);
}

}  // namespace tarvo
