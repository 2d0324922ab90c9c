#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "cli/console.h"

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
    const DWORD needed = GetCurrentDirectoryA(0, nullptr);  // with the terminator
    if (needed == 0) return "";
    std::string directory(needed, '\0');
    const DWORD length = GetCurrentDirectoryA(needed, directory.data());
    if (length == 0 || length >= needed) return "";  // changed in between
    directory.resize(length);
    return directory;
}

}  // namespace tarvo
