// The program's life around its run loop: the status line's pace, leaving, start-up failures.
#include "app/clock.h"
#include "gui/gui_support.h"
#include "shell/main_window_win32.h"
#include "support/repeated.h"

namespace tarvo::testing {
namespace {

using RunLoop = ProgramTest;

// The timer ticks that find a refresh pending come at most four times a second during a search.
constexpr int64_t kFileSize = 1000000;

class RepaintHost final : public SearchHost {
public:
    void pumpMessages() override {
        tarvo::pumpMessages(testProgram(), false);
        Sleep(5);  // stretch the run over several timer periods
    }
    RunState runState() const override { return RunState::Running; }
    void reportError(const char*) override {}
    void requestRefresh() override { testProgram().refreshPending = true; }
    SearchRun searchRun{*this, testProgram().settings.request, testProgram().memory,
                        testProgram().results};
};
int repaints = 0;

LRESULT CALLBACK watchPump(int code, WPARAM removed, LPARAM message) {
    const UINT id = reinterpret_cast<MSG*>(message)->message;
    if (removed == PM_REMOVE && id == WM_TIMER && testProgram().refreshPending) ++repaints;
    return CallNextHookEx(nullptr, code, removed, message);
}

TEST_F(RunLoop, TheStatusRepaintsAtMostFourTimesASecond) {
    // The term on the first line only: the scoring pass reads each file whole.
    std::string content = "zzqqxx" + repeated(kFileSize / 10, "aaa\naaaaaa");
    content.resize(kFileSize);
    for (int f = 0; f < 12; ++f)
        tree.write("big/f" + std::to_string(f) + ".txt", content);
    p().settings.request.findText = "zzqqxx";
    p().settings.request.pathText = tree.path("big");
    RepaintHost host;
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, watchPump, nullptr, GetCurrentThreadId());
    const double start = elapsedSeconds();
    host.searchRun.runSearch();
    const double seconds = elapsedSeconds() - start;
    UnhookWindowsHookEx(hook);
    ASSERT_EQ(host.searchRun.stats().bytes, 12 * kFileSize);
    EXPECT_GE(repaints, 1);
    EXPECT_LE(repaints, static_cast<int>(seconds * 4) + 1);
}

// The program on a thread of the test searches left\\big at once. exitProgram parks the thread
// (ending it in a window procedure can hang under Wine), which holds the folder open.
HANDLE programEnded = CreateEventA(nullptr, TRUE, FALSE, nullptr);
int programExitCode = -1;
const std::filesystem::path left = std::filesystem::temp_directory_path() / "tarvo-leaving";

DWORD WINAPI programThread(void* prepare) {
    Program& p = testProgram();
    p.settingsFile = (left / "TarvoSearch.txt").string();
    p.endProcess = [](int exitCode) {
        programExitCode = exitCode;
        SetEvent(programEnded);
        for (;;)
            Sleep(INFINITE);
    };
    reinterpret_cast<void (*)()>(prepare)();
    startProgram(p, GetModuleHandleA(nullptr), "", SW_SHOWNORMAL);
    SetWindowTextA(p.windows.findBox, "alpha");
    SetWindowTextA(p.windows.pathBox, (left / "big").string().c_str());
    PostMessageA(p.windows.findBox, WM_CHAR, '\r', 1);
    runLoop(p);
}

// Close or Exit, queued as the File box shows the first result.
std::pair<UINT, WPARAM> leave;

LRESULT CALLBACK leaveAtFirstResult(int code, WPARAM sent, LPARAM message) {
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(message);
    if (m->message == WM_SETTEXT && m->hwnd == testProgram().windows.fileBox && leave.first &&
        *reinterpret_cast<const char*>(m->lParam))
        PostMessageA(testProgram().windows.main, std::exchange(leave.first, 0), leave.second, 0);
    return CallNextHookEx(nullptr, code, sent, message);
}

void leaveWith(UINT message, WPARAM command) {
    leave = {message, command};
    SetWindowsHookExA(WH_CALLWNDPROC, leaveAtFirstResult, nullptr, GetCurrentThreadId());
}

// A start-up failure: a class name taken before the program registers it.
void registerTaken(const char* name) {
    WNDCLASSA taken = {};
    taken.lpfnWndProc = DefWindowProcA;
    taken.hInstance = GetModuleHandleA(nullptr);
    taken.lpszClassName = name;
    RegisterClassA(&taken);
}

LRESULT CALLBACK refuseMainWindow(int code, WPARAM window, LPARAM details) {
    char name[16] = {};
    GetClassNameA(reinterpret_cast<HWND>(window), name, sizeof name);
    if (code == HCBT_CREATEWND && std::string(name) == kMainWindowClass) return 1;
    return CallNextHookEx(nullptr, code, window, details);
}

// Each ending writes the settings with its exit code; leaving a search keeps its texts and results.
const std::pair<void (*)(), int> kEndings[] = {
    {[] { leaveWith(WM_CLOSE, 0); }, 0},
    {[] { leaveWith(WM_COMMAND, IDM_EXIT); }, 0},
    {[] { registerTaken(kMainWindowClass); }, 1},
    {[] { registerTaken(kPaneClass); }, 2},
    {[] { SetWindowsHookExA(WH_CBT, refuseMainWindow, nullptr, GetCurrentThreadId()); }, 3},
};

class ProgramEnd : public ::testing::TestWithParam<int> {};

TEST_P(ProgramEnd, EndsWithItsExitCodeAndSavesTheSettings) {
    const auto& [prepare, exitCode] = kEndings[GetParam()];
    std::error_code ignored;
    std::filesystem::remove_all(left, ignored);
    std::filesystem::create_directories(left / "big");
    const std::string content = "alpha at the top\n" + repeated(10000, std::string(99, 'x') + "\n");
    for (int f = 0; f < 10; ++f)
        std::ofstream(left / "big" / (std::to_string(f) + ".txt"), std::ios::binary) << content;
    CloseHandle(
        CreateThread(nullptr, 0, programThread, reinterpret_cast<void*>(prepare), 0, nullptr));
    ASSERT_EQ(WaitForSingleObject(programEnded, 30000), WAIT_OBJECT_0) << "the program hung";
    EXPECT_EQ(programExitCode, exitCode);
    ASSERT_TRUE(std::filesystem::exists(left / "TarvoSearch.txt"));
    if (exitCode != 0) return;
    EXPECT_LT(testProgram().searchRun.stats().files, 10) << "the search was left, not finished";
    std::ifstream in(left / "TarvoSearch.txt");
    std::string lines[11];
    for (std::string& line : lines)
        std::getline(in, line);
    EXPECT_EQ(lines[2], "alpha") << "settings written";
    EXPECT_EQ(lines[8] + "|" + lines[9], "find=alpha|path=" + (left / "big").string())
        << "the texts that started the search, in the history";
    EXPECT_EQ(lines[10], "1000 " + (left / "big" / "0.txt").string());
}

INSTANTIATE_TEST_SUITE_P(Each, ProgramEnd, ::testing::Range(0, 5));

}  // namespace
}  // namespace tarvo::testing
