// The run loop and the pump around a real search: errors, repeated starts,
// how soon a posted message is handled, how often the status line repaints,
// and leaving the program in the middle of a search.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/clock.h"
#include "gui_support.h"
#include "shell/resources/resource.h"

namespace tarvo::testing {
namespace {

using RunLoop = ProgramTest;

// ---------------------------------------------------------------------------
// A root that cannot be opened
// ---------------------------------------------------------------------------

int errorBoxes = 0;
std::string errorText;
HWND errorOwner = nullptr;

// Fires inside the message box's own modal loop.
void CALLBACK closeErrorBox(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = FindWindowA("#32770", "Tarvo Search");
    if (!box) return;
    ++errorBoxes;
    char text[512] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the message's static control
    errorText = text;
    errorOwner = GetWindow(box, GW_OWNER);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

TEST_F(RunLoop, ARootThatCannotBeOpenedShowsOneMessageAndTheRunGoesOn) {
    std::string root = writeFiles(5, 3, "alpha");
    const std::string missing = tree.path("no/such/dir");
    SetWindowTextA(windows().findBox, "alpha");
    SetWindowTextA(windows().pathBox, (missing + ";" + root).c_str());
    pressEnter(windows().findBox);
    UINT_PTR timer = SetTimer(nullptr, 0, 50, closeErrorBox);
    runRequestedSearch();
    KillTimer(nullptr, timer);
    EXPECT_EQ(errorBoxes, 1);
    EXPECT_NE(errorText.find("can't open directory"), std::string::npos) << errorText;
    EXPECT_NE(errorText.find(missing), std::string::npos) << errorText;
    EXPECT_EQ(errorOwner, windows().main);
    EXPECT_EQ(p().engine.stats().files, 5) << "the next root was searched";
    EXPECT_EQ(p().runState, RunState::Idle);
}

// ---------------------------------------------------------------------------
// F5 twenty times
// ---------------------------------------------------------------------------

TEST_F(RunLoop, TwentyQuickF5sRestartOnceAndLoseNothing) {
    std::string root = writeFiles(30, 20, "alpha");
    SetWindowTextA(windows().findBox, "alpha");
    SetWindowTextA(windows().pathBox, root.c_str());
    pressEnter(windows().findBox);
    for (int i = 0; i < 20; ++i)
        postKey(windows().findBox, VK_F5);
    // The run loop's own steps, until it would wait.
    int runs = 0;
    while (p().runState == RunState::StartRequested && runs < 50) {
        runRequestedSearch();
        ++runs;
    }
    // The first run takes all twenty keys at its first pump and ends; the
    // second is undisturbed. No handler ever ran a search of its own.
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(p().runState, RunState::Idle);
    EXPECT_EQ(p().engine.stats().files, 30);
    EXPECT_EQ(p().results.count(), 30 * 20);
}

// ---------------------------------------------------------------------------
// Responsiveness: a probe message posted after every pump of the scanner
// records the scan position when it is posted and when it is handled.
// ---------------------------------------------------------------------------

constexpr UINT kProbe = WM_APP + 1;
constexpr int kLargeFiles = 12;
constexpr int64_t kLargeFileSize = 1000000;
constexpr int kProbeLineLength = 10;  // scan positions are read to this granularity

class ProbeHost final : public SearchHost {
public:
    explicit ProbeHost(HWND target) : target_(target) {}

    void pumpMessages() override {
        ++pumps;
        tarvo::pumpMessages(false);
        if (pauseMs) Sleep(pauseMs);
        if (!outstanding_) {
            outstanding_ = true;
            postedAt_ = position();
            PostMessageA(target_, kProbe, 0, 0);
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
    DWORD pauseMs = 0;
    int pumps = 0;
    int probes = 0;
    int64_t maxGap = 0;

private:
    HWND target_;
    bool outstanding_ = false;
    int64_t postedAt_ = 0;
};

TEST_F(RunLoop,
       APostedMessageIsHandledWithinOneWindowMoveAndTheStatusRepaintsAtMostFourTimesASecond) {
    std::string line(kProbeLineLength - 1, 'a');
    line += '\n';
    std::string content;
    while (static_cast<int64_t>(content.size()) < kLargeFileSize)
        content += line;
    content.resize(kLargeFileSize);
    // The term on the first line only: the first pass ends at once and the
    // exact pass, whose line table tells how far it got, reads each file
    // whole, with one line to score.
    content.replace(0, 6, "zzqqxx");
    for (int f = 0; f < kLargeFiles; ++f)
        tree.write("big/f" + std::to_string(f) + ".txt", content);
    p().settings.request.findText = "zzqqxx";
    p().settings.request.pathText = tree.path("big");

    ProbeHost host(p().resultsPane.window());
    auto engine =
        std::make_unique<SearchEngine>(host, p().settings.request, p().memory, p().results);
    host.engine = engine.get();
    host.pauseMs = 5;  // stretch the run over several timer periods
    MessageRecorder pane(p().resultsPane.window());
    pane.before = [&host](UINT message) {
        if (message == kProbe) host.probeHandled();
    };
    int repaints = 0;
    MessageRecorder main(windows().main);
    main.before = [&repaints](UINT message) {
        if (message == WM_TIMER && program().refreshPending) ++repaints;
    };

    p().runState = RunState::Running;
    const double start = elapsedSeconds();
    engine->runSearch();
    const double seconds = elapsedSeconds() - start;
    p().runState = RunState::Idle;

    ASSERT_EQ(engine->stats().bytes, kLargeFiles * kLargeFileSize);
    // The scanner pumps once its position passes 75,001 in a file's first
    // window, then after every further 50,000 bytes, and before each file.
    EXPECT_LE(host.maxGap, kScanWindowMoveAt + 2);
    EXPECT_GE(host.probes, kLargeFiles * kLargeFileSize / (kScanWindowMoveAt + 2));
    EXPECT_GE(repaints, 1);
    EXPECT_LE(repaints, static_cast<int>(seconds * 4) + 1);
    std::printf("scan gap between post and handling: at most %lld bytes; %d probes, %d pumps\n",
                static_cast<long long>(host.maxGap), host.probes, host.pumps);
    std::printf("status repaints: %d in %.3f s (%d files counted)\n", repaints, seconds,
                kLargeFiles);
}

// ---------------------------------------------------------------------------
// Leaving in the middle of a search: the program runs its own run loop on a
// thread of the test. exitProgram hands its exit code to the test and parks
// that thread for good instead of ending the process (ending just the
// thread from inside a window procedure can hang under Wine); the process
// ends with the test.
// ---------------------------------------------------------------------------

struct ThreadProgram {
    std::string settingsFile;
    std::string root;
};

HANDLE programEnded = CreateEventA(nullptr, TRUE, FALSE, nullptr);
int programExitCode = -1;

[[noreturn]] void parkProgramThread(int exitCode) {
    programExitCode = exitCode;
    SetEvent(programEnded);
    for (;;)
        Sleep(INFINITE);
}

DWORD WINAPI programThread(void* argument) {
    auto* run = static_cast<ThreadProgram*>(argument);
    Program& p = program();
    p.settingsFile = run->settingsFile;
    p.endProcess = parkProgramThread;
    startProgram(GetModuleHandleA(nullptr), "", SW_SHOWNORMAL);
    SetWindowTextA(p.windows.findBox, "alpha");
    SetWindowTextA(p.windows.pathBox, run->root.c_str());
    // Posted: the run loop begins by setting Idle, then takes the Enter.
    PostMessageA(p.windows.findBox, WM_CHAR, '\r', 1);
    runLoop();
}

// Waits until the File box shows a result's path: the search is under way.
bool waitForFirstResult(HWND main) {
    for (int tries = 0; tries < 2000; ++tries) {
        for (HWND child = FindWindowExA(main, nullptr, "EDIT", nullptr); child;
             child = FindWindowExA(main, child, "EDIT", nullptr)) {
            char text[1024] = {};
            // Bounded: the program's thread answers only when it pumps.
            SendMessageTimeoutA(child, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                                SMTO_ABORTIFHUNG, 1000, nullptr);
            if (std::string(text).ends_with(".txt")) return true;
        }
        Sleep(5);
    }
    return false;
}

std::vector<std::string> readLines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The program's thread is left with a directory listing and a file of its
// search open until the process ends, and Wine can hang listing a directory
// whose entries are still open: the scratch folder outlives its test and is
// removed by the next one, whose process no longer holds it.
std::filesystem::path leavingFolder() {
    return std::filesystem::temp_directory_path() / "tarvo-leaving-a-search";
}

std::string writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
}

class LeavingASearch : public ::testing::Test {
protected:
    // Ten files of a megabyte, one "alpha" line each: long enough that the
    // search is far from done when the first result shows.
    void leaveWith(UINT message, WPARAM wParam) {
        std::error_code ignored;
        std::filesystem::remove_all(leavingFolder(), ignored);
        const std::filesystem::path big = leavingFolder() / "big";
        std::string filler(99, 'x');
        filler += '\n';
        std::string content = "alpha at the top\n";
        while (content.size() < 1000000)
            content += filler;
        for (int f = 0; f < kFiles; ++f)
            writeFile(big / ("f" + std::to_string(f) + ".txt"), content);
        ThreadProgram run{(leavingFolder() / "TarvoSearch.txt").string(), big.string()};

        HANDLE thread = CreateThread(nullptr, 0, programThread, &run, 0, nullptr);
        HWND main = nullptr;
        for (int tries = 0; tries < 2000 && !main; ++tries, Sleep(5))
            main = FindWindowA("vrex", "Tarvo Search");
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(waitForFirstResult(main));
        PostMessageA(main, message, wParam, 0);
        ASSERT_EQ(WaitForSingleObject(programEnded, 30000), WAIT_OBJECT_0) << "the program hung";
        CloseHandle(thread);
        EXPECT_EQ(programExitCode, 0);

        EXPECT_LT(program().engine.stats().files, kFiles) << "the search was left, not finished";
        std::vector<std::string> lines = readLines(run.settingsFile);
        ASSERT_GE(lines.size(), 9u) << "settings written";
        EXPECT_EQ(lines[0], "Tarvo Search, version 1.0");
        EXPECT_EQ(lines[2], "alpha");
        EXPECT_EQ(lines[3], big.string());
        // The results found so far were credited: the best file at 1000.
        EXPECT_EQ(lines[8], "1000 " + (big / "f0.txt").string());
    }

    static constexpr int kFiles = 10;
};

TEST_F(LeavingASearch, ClosingTheWindowEndsTheProgramAndSavesTheSettings) {
    leaveWith(WM_CLOSE, 0);
}

TEST_F(LeavingASearch, ExitFromTheMenuEndsTheProgramAndSavesTheSettings) {
    leaveWith(WM_COMMAND, IDM_EXIT);
}

}  // namespace
}  // namespace tarvo::testing
