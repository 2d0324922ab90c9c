// The entry point of TarvoSearch.exe.
#include <windows.h>

#include "shell/program_entry_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showState) {
    tarvo::runProgram(instance, commandLine, showState);
}
