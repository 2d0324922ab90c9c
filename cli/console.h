// What tarvo-find needs of the process around it: what its standard output
// is, a heap ready for a search, the current directory and the console's code
// page. A twin per platform (console_posix.cpp, console_win32.cpp).
#pragma once

#include <string>

namespace tarvo {

struct ConsoleOutput {
    bool terminal = false;        // a terminal (on Windows, a console), not a pipe or a file
    bool colorCodesShow = false;  // colour codes show as colour there
};

// Readies standard output for the results and tells what it is. On Windows
// it goes to binary mode, so a line leaves with its bytes exactly, and a
// console gets virtual-terminal processing where it has it.
ConsoleOutput prepareStandardOutput();

// Readies the heap for one search's worth of allocations, before any is
// made (see console_posix.cpp); nothing to do on Windows.
void prepareHeap();

// The current directory; empty when it cannot be told.
std::string currentDirectory();

// Readies a console for the UTF-8 the program writes (paths, lines, its
// messages) and gives it back its code page at the end; on Windows only.
void prepareConsole();

}  // namespace tarvo
