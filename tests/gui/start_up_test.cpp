// Start-up failures end the program with their own exit code, through
// exitProgram, so the settings are still written. The program runs on a
// thread of the test, which exitProgram ends instead of the process; class
// registrations outlive that thread, so each case is a TEST of its own, and
// so a process of its own.
#include <filesystem>

#include "gui/gui_support.h"

namespace tarvo::testing {
namespace {

DWORD WINAPI startUpThread(void* prepare) {
    program().endProcess = [](int exitCode) { ExitThread(static_cast<DWORD>(exitCode)); };
    reinterpret_cast<void (*)()>(prepare)();
    startProgram(GetModuleHandleA(nullptr), "", SW_SHOWNORMAL);
    return 100;  // start-up went through: no failure
}

void expectStartUpFailure(void (*prepare)(), DWORD exitCode) {
    TempTree tree;
    program().settingsFile = tree.mkdir("settings") + "\\TarvoSearch.txt";
    HANDLE thread =
        CreateThread(nullptr, 0, startUpThread, reinterpret_cast<void*>(prepare), 0, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 30000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    EXPECT_EQ(code, exitCode);
    EXPECT_TRUE(std::filesystem::exists(program().settingsFile)) << "the settings were saved";
}

void registerTaken(const char* name) {
    WNDCLASSA taken = {};
    taken.lpfnWndProc = DefWindowProcA;
    taken.hInstance = GetModuleHandleA(nullptr);
    taken.lpszClassName = name;
    RegisterClassA(&taken);
}

TEST(StartUpFailure, TheMainClassTakenEndsWithCode1) {
    expectStartUpFailure([] { registerTaken("vrex"); }, 1);
}

TEST(StartUpFailure, ThePaneClassTakenEndsWithCode2) {
    expectStartUpFailure([] { registerTaken("Pane"); }, 2);
}

TEST(StartUpFailure, AMainWindowThatCannotBeCreatedEndsWithCode3) {
    expectStartUpFailure(
        [] {
            // Creation of the main window fails; every other window is made.
            SetWindowsHookExA(
                WH_CBT,
                [](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
                    char name[16] = {};
                    GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name);
                    if (code == HCBT_CREATEWND && std::string(name) == "vrex") return 1;
                    return CallNextHookEx(nullptr, code, wParam, lParam);
                },
                nullptr, GetCurrentThreadId());
        },
        3);
}

}  // namespace
}  // namespace tarvo::testing
