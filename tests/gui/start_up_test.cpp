// Start-up with awkward input: an overlong command line, saved placements
// on and off the screen, a Path box of 150 entries.
#include <filesystem>
#include <fstream>

#include "gui_support.h"

namespace tarvo::testing {
namespace {

class LongCommandLine : public ProgramTest {
    std::string commandLine() override { return std::string(12000, 'x') + "tail"; }
};

TEST_F(LongCommandLine, IsCutToItsFirst9999Bytes) {
    const std::string& find = p().settings.request.findText;
    EXPECT_EQ(find, std::string(9999, 'x'));
    EXPECT_EQ(boxText(windows().findBox), find);
    char directory[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, directory);
    EXPECT_EQ(p().settings.request.pathText, directory);
    EXPECT_EQ(boxText(windows().pathBox), directory);
    EXPECT_EQ(p().settings.lastFindText, "") << "Last texts keep the loaded values";
    EXPECT_EQ(p().runState, RunState::Idle) << "no search starts by itself";
}

class SavedPlacement : public ProgramTest {
protected:
    void writeSettings() override {
        tree.mkdir("settings");
        std::ofstream(settingsFile(), std::ios::binary)
            << "Tarvo Search, version 1.0\n"
            << placement() << "\nsaved find\nC:\\saved\n";
    }
    virtual const char* placement() = 0;
    static RECT windowRect() {
        RECT r;
        GetWindowRect(program().windows.main, &r);
        return r;
    }
};

class OnScreen : public SavedPlacement {
    const char* placement() override { return "100 80 900 680"; }
};

TEST_F(OnScreen, TheWindowOpensWhereItWasSaved) {
    RECT r = windowRect();
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 80);
    EXPECT_EQ(r.right, 900);
    EXPECT_EQ(r.bottom, 680);
    EXPECT_EQ(boxText(windows().findBox), "saved find");
    EXPECT_EQ(boxText(windows().pathBox), "C:\\saved");

    // Read with "\n" line ends, written with Windows ones.
    ASSERT_TRUE(saveSettings(settingsFile().c_str(), false, p().settings, p().memory));
    std::string head(27, '\0');
    std::ifstream(settingsFile(), std::ios::binary).read(head.data(), 27);
    EXPECT_EQ(head, "Tarvo Search, version 1.0\r\n");
}

class OffScreen : public SavedPlacement {
    const char* placement() override { return "-500 -400 -100 100"; }
};

TEST_F(OffScreen, TheWindowGetsTheDefaultPlacement) {
    RECT r = windowRect();
    EXPECT_GE(r.left, 0);
    EXPECT_GE(r.top, 0);
    EXPECT_GT(r.right - r.left, 100);
    EXPECT_LE(r.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(boxText(windows().findBox), "saved find") << "the rest of the file still loads";
}

using PathBox = ProgramTest;

TEST_F(PathBox, OneHundredFiftyEntriesSearchTheFirstHundred) {
    std::string root = writeFiles(4, 2, "alpha");
    std::string path;
    for (int i = 0; i < 150; ++i)
        path += (i ? ";" : "") + root;
    SetWindowTextA(windows().findBox, "alpha");
    SetWindowTextA(windows().pathBox, path.c_str());
    pressEnter(windows().findBox);
    runRequestedSearch();
    EXPECT_EQ(p().engine.roots().size(), 100u);
    EXPECT_EQ(p().engine.stats().files, 4) << "a file is read once per run";
    EXPECT_EQ(p().results.count(), 8);
    EXPECT_EQ(p().runState, RunState::Idle);
}

// ---------------------------------------------------------------------------
// Start-up failures end the program with their exit code, through
// exitProgram (so the settings are still written). The program runs on a
// thread of the test, which exitProgram ends instead of the process.
// ---------------------------------------------------------------------------

[[noreturn]] void endStartUpThread(int exitCode) {
    ExitThread(static_cast<DWORD>(exitCode));
}

struct FailingStart {
    std::string settingsFile;
    void (*prepare)();  // runs on the program's thread before start-up
};

DWORD WINAPI startUpThread(void* argument) {
    auto* start = static_cast<FailingStart*>(argument);
    program().settingsFile = start->settingsFile;
    program().endProcess = endStartUpThread;
    start->prepare();
    startProgram(GetModuleHandleA(nullptr), "", SW_SHOWNORMAL);
    return 100;  // start-up went through: no failure
}

DWORD exitCodeOfStart(const std::string& settingsFile, void (*prepare)()) {
    FailingStart start{settingsFile, prepare};
    HANDLE thread = CreateThread(nullptr, 0, startUpThread, &start, 0, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 30000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    return code;
}

void registerTaken(const char* name) {
    WNDCLASSA taken = {};
    taken.lpfnWndProc = DefWindowProcA;
    taken.hInstance = GetModuleHandleA(nullptr);
    taken.lpszClassName = name;
    RegisterClassA(&taken);
}

LRESULT CALLBACK refuseMainWindow(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        char name[16] = {};
        GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name);
        if (std::string(name) == "vrex") return 1;  // creation fails
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Class registrations outlive the program's thread: one case per TEST, and
// so per process.
void expectStartUpFailure(void (*prepare)(), DWORD exitCode) {
    TempTree tree;
    tree.mkdir("settings");
    const std::string settings = tree.path("settings/TarvoSearch.txt");
    EXPECT_EQ(exitCodeOfStart(settings, prepare), exitCode);
    EXPECT_TRUE(std::filesystem::exists(settings)) << "exitProgram saved the settings";
}

TEST(StartUpFailure, TheMainClassTakenEndsWithCode1) {
    expectStartUpFailure([] { registerTaken("vrex"); }, 1);
}

TEST(StartUpFailure, ThePaneClassTakenEndsWithCode2) {
    expectStartUpFailure([] { registerTaken("Pane"); }, 2);
}

TEST(StartUpFailure, AMainWindowThatCannotBeCreatedEndsWithCode3) {
    expectStartUpFailure(
        [] { SetWindowsHookExA(WH_CBT, refuseMainWindow, nullptr, GetCurrentThreadId()); }, 3);
}

}  // namespace
}  // namespace tarvo::testing
