// Stands in for Notepad or an editor in the window suites: appends the command line it was started
// with, and a line feed, to "<its own path>.log" and ends. A window program (-mwindows): a console
// one would make Wine open a console that takes the keyboard focus.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char log[MAX_PATH + 4];
    const DWORD length = GetModuleFileNameA(nullptr, log, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    lstrcpyA(log + length, ".log");
    HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    const char* line = GetCommandLineA();
    DWORD written = 0;
    WriteFile(file, line, lstrlenA(line), &written, nullptr);
    WriteFile(file, "\n", 1, &written, nullptr);
    CloseHandle(file);
    return 0;
}
