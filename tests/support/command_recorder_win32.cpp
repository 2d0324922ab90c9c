// Stands in for Notepad or an editor in the window suites: appends the command line it was started
// with, in UTF-8, and a line feed, to "<its own path>.log" and ends. A window program (-mwindows):
// a console one would make Wine open a console that takes the keyboard focus.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::wstring log(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, log.data(), static_cast<DWORD>(log.size()));
    if (length == 0 || length >= log.size()) return 1;
    log.resize(length);
    HANDLE file =
        CreateFileW((log + L".log").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    std::string line(1 << 17, '\0');
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, GetCommandLineW(), -1, line.data(),
                                          static_cast<int>(line.size()), nullptr, nullptr);
    if (bytes == 0) return 1;
    line.resize(bytes);
    line.back() = '\n';  // in place of the NUL
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    return 0;
}
