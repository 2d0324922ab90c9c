// The run loop and the pump around a real search: an error report, repeated
// starts, how soon a posted message is handled, how often the status line
// repaints, and leaving the program in the middle of a search.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/clock.h"
#include "gui/gui_support.h"
#include "shell/resources/resource.h"

namespace tarvo::testing {
namespace {

using RunLoop = ProgramTest;

int errorBoxes = 0;
std::string errorText;

// Fires inside the message box's own modal loop.
void CALLBACK closeErrorBox(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = FindWindowA("#32770", "Tarvo Search");
    if (!box || GetWindow(box, GW_OWNER) != windows().main) return;
    ++errorBoxes;
    char text[512] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the message's static control
    errorText = text;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

// A root that cannot be opened is reported once, in a box the main window
// owns, and the next root is searched; twenty quick F5s restart once.
TEST_F(RunLoop, AnErrorIsShownOnceAndTwentyF5sRestartOnce) {
    const std::string root = writeFiles(30, 20, "alpha");
    const std::string missing = tree.path("no/such/dir");
    SetWindowTextA(windows().findBox, "alpha");
    SetWindowTextA(windows().pathBox, (missing + ";" + root).c_str());
    pressEnter(windows().findBox);
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, closeErrorBox);
    runRequestedSearch();
    KillTimer(nullptr, timer);
    EXPECT_EQ(errorBoxes, 1);
    EXPECT_NE(errorText.find("can't open directory " + missing), std::string::npos) << errorText;
    EXPECT_EQ(p().engine.stats().files, 30) << "the next root was searched";

    SetWindowTextA(windows().pathBox, root.c_str());
    pressEnter(windows().findBox);
    for (int i = 0; i < 20; ++i)
        postKey(windows().findBox, VK_F5);
    int runs = 0;
    while (p().runState == RunState::StartRequested && runs < 50) {
        runRequestedSearch();
        ++runs;
    }
    // The first run takes all twenty keys at its first pump and ends; the
    // second is undisturbed. No handler ever ran a search of its own.
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(p().runState, RunState::Idle);
    EXPECT_EQ(p().results.count(), 30 * 20);
}

// Responsiveness: a probe message posted after every pump of the scanner
// records the scan position when it is posted and when it is handled.
constexpr UINT kProbe = WM_APP + 1;
constexpr int kLargeFiles = 12;
constexpr int64_t kLargeFileSize = 1000000;

class ProbeHost final : public SearchHost {
public:
    void pumpMessages() override {
        tarvo::pumpMessages(false);
        Sleep(5);  // stretch the run over several timer periods
        if (!outstanding_) {
            outstanding_ = true;
            postedAt_ = position();
            PostMessageA(program().resultsPane.window(), kProbe, 0, 0);
        }
    }
    RunState runState() const override { return program().runState; }
    void reportError(const char*) override {}
    void requestRefresh() override { program().refreshPending = true; }

    void probeHandled() {
        outstanding_ = false;
        ++probes;
        maxGap = std::max(maxGap, position() - postedAt_);
    }
    // Bytes of the finished files plus the last line start of the file
    // being read (whose table ends with the file's size once it is done).
    int64_t position() const {
        const IntVector& starts = engine->lineStarts();
        const bool reading = starts.size() > 0 && starts.last() != kLargeFileSize;
        return engine->stats().bytes + (reading ? starts.last() : 0);
    }

    const SearchEngine* engine = nullptr;
    int probes = 0;
    int64_t maxGap = 0;

private:
    bool outstanding_ = false;
    int64_t postedAt_ = 0;
};

TEST_F(RunLoop, APostedMessageIsHandledWithinOneWindowMoveAndTheStatusRepaintsFourTimesASecond) {
    // Lines of 10 bytes; the term on the first line only: the first pass
    // ends at once and the exact pass, whose line table tells how far it
    // got, reads each file whole.
    std::string content;
    while (static_cast<int64_t>(content.size()) < kLargeFileSize)
        content += "aaaaaaaaa\n";
    content.replace(0, 6, "zzqqxx");
    for (int f = 0; f < kLargeFiles; ++f)
        tree.write("big/f" + std::to_string(f) + ".txt", content);
    p().settings.request.findText = "zzqqxx";
    p().settings.request.pathText = tree.path("big");

    ProbeHost host;
    auto engine =
        std::make_unique<SearchEngine>(host, p().settings.request, p().memory, p().results);
    host.engine = engine.get();
    MessageRecorder pane(p().resultsPane.window(), [&host](UINT message) {
        if (message == kProbe) host.probeHandled();
    });
    int repaints = 0;
    MessageRecorder main(windows().main, [&repaints](UINT message) {
        if (message == WM_TIMER && program().refreshPending) ++repaints;
    });
    p().runState = RunState::Running;
    const double start = elapsedSeconds();
    engine->runSearch();
    const double seconds = elapsedSeconds() - start;

    ASSERT_EQ(engine->stats().bytes, kLargeFiles * kLargeFileSize);
    // The scanner pumps once its position passes 75,001 in a file's first
    // window, then after every further 50,000 bytes, and before each file.
    EXPECT_LE(host.maxGap, kScanWindowMoveAt + 2);
    EXPECT_GE(host.probes, kLargeFiles * kLargeFileSize / (kScanWindowMoveAt + 2));
    EXPECT_GE(repaints, 1);
    EXPECT_LE(repaints, static_cast<int>(seconds * 4) + 1);
    std::printf("largest scan gap %lld bytes, %d probes; %d repaints in %.3f s\n",
                static_cast<long long>(host.maxGap), host.probes, repaints, seconds);
}

// Leaving in the middle of a search: the program runs its own run loop on a
// thread of the test. exitProgram hands its exit code to the test and parks
// that thread for good instead of ending the process (ending just the thread
// from inside a window procedure can hang under Wine). The thread keeps a
// listing and a file open until the process ends, and Wine can hang removing
// a folder whose entries are still open: the scratch folder outlives its test
// and is removed by the next one.
HANDLE programEnded = CreateEventA(nullptr, TRUE, FALSE, nullptr);
int programExitCode = -1;
const std::filesystem::path left = std::filesystem::temp_directory_path() / "tarvo-leaving";

DWORD WINAPI programThread(void*) {
    Program& p = program();
    p.settingsFile = (left / "TarvoSearch.txt").string();
    p.endProcess = [](int exitCode) {
        programExitCode = exitCode;
        SetEvent(programEnded);
        for (;;)
            Sleep(INFINITE);
    };
    startProgram(GetModuleHandleA(nullptr), "", SW_SHOWNORMAL);
    SetWindowTextA(p.windows.findBox, "alpha");
    SetWindowTextA(p.windows.pathBox, (left / "big").string().c_str());
    // Posted: the run loop begins by setting Idle, then takes the Enter.
    PostMessageA(p.windows.findBox, WM_CHAR, '\r', 1);
    runLoop();
}

// Ten files of a megabyte, one "alpha" line each: the search is far from
// done when the first result shows in the File box.
void leaveWith(UINT message, WPARAM wParam) {
    std::error_code ignored;
    std::filesystem::remove_all(left, ignored);
    std::filesystem::create_directories(left / "big");
    std::string content = "alpha at the top\n";
    while (content.size() < 1000000)
        content += std::string(99, 'x') + "\n";
    constexpr int kFiles = 10;
    for (int f = 0; f < kFiles; ++f)
        std::ofstream(left / "big" / ("f" + std::to_string(f) + ".txt"), std::ios::binary)
            << content;

    CloseHandle(CreateThread(nullptr, 0, programThread, nullptr, 0, nullptr));
    HWND main = nullptr;
    for (int tries = 0; tries < 2000 && !main; ++tries, Sleep(5))
        main = FindWindowA("vrex", "Tarvo Search");
    ASSERT_NE(main, nullptr);
    bool found = false;
    for (int tries = 0; tries < 2000 && !found; ++tries, Sleep(5)) {
        char text[1024] = {};
        // Bounded: the program's thread answers only when it pumps.
        SendMessageTimeoutA(program().windows.fileBox, WM_GETTEXT, sizeof text,
                            reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 1000, nullptr);
        found = std::string(text).ends_with(".txt");
    }
    ASSERT_TRUE(found) << "no result shown";
    PostMessageA(main, message, wParam, 0);
    ASSERT_EQ(WaitForSingleObject(programEnded, 30000), WAIT_OBJECT_0) << "the program hung";
    EXPECT_EQ(programExitCode, 0);
    EXPECT_LT(program().engine.stats().files, kFiles) << "the search was left, not finished";
    std::ifstream in(left / "TarvoSearch.txt");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_GE(lines.size(), 9u) << "settings written";
    EXPECT_EQ(lines[2], "alpha");
    // The results found so far were credited: the best file at 1000.
    EXPECT_EQ(lines[8], "1000 " + (left / "big" / "f0.txt").string());
}

TEST(LeavingASearch, ByClosingTheWindow) {
    leaveWith(WM_CLOSE, 0);
}

TEST(LeavingASearch, ByExitFromTheMenu) {
    leaveWith(WM_COMMAND, IDM_EXIT);
}

}  // namespace
}  // namespace tarvo::testing
