// launch_with_command_line PROGRAM TEXT: starts PROGRAM with the command
// line "PROGRAM" TEXT, TEXT exactly as given, waits for it and returns its
// exit code. run.sh starts the window through it: Wine builds a program's
// command line from its Unix arguments, quoting any that hold a blank and
// escaping every double quote, so a Find text such as "two words" x cannot
// be handed over as it stands any other way. This program's own arguments
// come through that quoting intact, as the C runtime undoes it.
#include <windows.h>

#include <string>

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    std::string commandLine = std::string("\"") + argv[1] + "\" " + argv[2];
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(argv[1], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return 2;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}
