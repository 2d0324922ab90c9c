// The prompt and About dialogs and the launching commands, on the real main
// window. A dialog runs its own modal loop inside the command, so each test
// drives it from a thread timer: the timer fires inside that loop and runs
// one scripted step per tick against the open dialog.
#include <windows.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "gui_support.h"
#include "shell/commands_win32.h"
#include "shell/dialog_texts.h"
#include "shell/launching.h"
#include "shell/launching_win32.h"
#include "shell/resources/resource.h"

namespace tarvo::testing {
namespace {

using Step = std::function<void(HWND dialog)>;

// Ticks are short so a script of a few steps takes well under a second;
// a dialog still open this many ticks after its last step is ended by force
// and the test fails instead of hanging.
constexpr UINT kTickMs = 30;
constexpr int kGraceTicks = 30;

struct Script {
    std::vector<Step> steps;
    size_t next = 0;
    int graceTicks = 0;
    bool forced = false;
};
Script script;

// The dialog this thread has open, if any: windows of other programs on the
// same desktop are never looked at.
HWND openDialog() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM out) -> BOOL {
            char name[16] = {};
            GetClassNameA(window, name, sizeof name);
            if (std::string(name) != "#32770" || !IsWindowVisible(window)) return TRUE;
            *reinterpret_cast<HWND*>(out) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = openDialog();
    if (!dialog) return;
    if (script.next < script.steps.size()) return script.steps[script.next++](dialog);
    if (++script.graceTicks > kGraceTicks) {
        script.forced = true;
        EndDialog(dialog, 0);
    }
}

// Runs the command, which opens a modal dialog, with the steps. True when
// every step ran and the dialog then closed by itself.
bool runDialog(int command, std::vector<Step> steps) {
    script = Script{std::move(steps)};
    const UINT_PTR timer = SetTimer(nullptr, 0, kTickMs, tick);
    runCommand(command);
    KillTimer(nullptr, timer);
    return !script.forced && script.next == script.steps.size();
}

// Keys as the keyboard queues them for the focused control, so the dialog
// manager sees them (Enter for the default button, Escape for Cancel).
void pressKey(HWND dialog, WPARAM key) {
    PostMessageA(GetFocus() ? GetFocus() : dialog, WM_KEYDOWN, key, 1);
}
void clickButton(HWND dialog, int id) {
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

std::string itemText(HWND dialog, int id) {
    std::string text(20000, '\0');
    text.resize(GetDlgItemTextA(dialog, id, text.data(), static_cast<int>(text.size())));
    return text;
}
std::string windowText(HWND window) {
    char text[256];
    return std::string(text, GetWindowTextA(window, text, sizeof text));
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string letters(size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i)
        text += static_cast<char>('a' + i % 26);
    return text;
}

// Records what the launching commands ask of the system.
struct Launches {
    int beeps = 0;
    UINT lastBeep = 0;
    std::vector<std::string> shellOpened;
    std::vector<std::pair<std::string, std::string>> started;  // application, command line
};
Launches launches;

class Dialogs : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        launches = Launches{};
        real_ = launcher();
        launcher().beep = [](UINT type) {
            ++launches.beeps;
            launches.lastBeep = type;
        };
        launcher().shellOpen = [](const char* file) { launches.shellOpened.push_back(file); };
        launcher().startProcess = [](const char* application, const char* commandLine) {
            launches.started.emplace_back(application ? application : "",
                                          commandLine ? commandLine : "");
            return true;
        };
    }
    void TearDown() override {
        launcher() = real_;
        ProgramTest::TearDown();
    }

    // A search as Enter and the run loop run it; the first result is previewed.
    void search(const std::string& find, const std::string& path) {
        SetWindowTextA(windows().findBox, find.c_str());
        SetWindowTextA(windows().pathBox, path.c_str());
        pressEnter(windows().findBox);
        runRequestedSearch();
        drain();
    }

    std::string& excludeList() { return p().settings.request.excludeList; }

    Launcher real_{};  // the system's own beep, process start and shell open
};

TEST_F(Dialogs, PromptShowsItsTitleLabelAndListWithTheCaretAtTheEnd) {
    struct Case {
        int command;
        const char* title;
        const char* label;
        std::string* list;
    } cases[] = {
        {IDM_EXCLUDE_FILE_TYPES, "Exclude File Types", kExcludeLabel, &excludeList()},
        {IDM_SYNTAX_HIGHLIGHTING, "Syntax Highlighting", kHighlightLabel,
         &p().settings.request.highlightList},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        *c.list = ".log;.tmp";
        bool seen = false;
        EXPECT_TRUE(runDialog(c.command, {[&](HWND dialog) {
                                  seen = true;
                                  EXPECT_EQ(windowText(dialog), c.title);
                                  EXPECT_EQ(itemText(dialog, IDC_PROMPT_LABEL), c.label);
                                  EXPECT_EQ(itemText(dialog, IDC_PROMPT_EDIT), ".log;.tmp");
                                  HWND edit = GetDlgItem(dialog, IDC_PROMPT_EDIT);
                                  EXPECT_EQ(GetFocus(), edit);
                                  DWORD start = 0, end = 0;
                                  SendMessageA(edit, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
                                  EXPECT_EQ(start, 9u) << "caret after the text";
                                  EXPECT_EQ(end, 9u) << "nothing selected";
                                  EXPECT_EQ(GetWindow(dialog, GW_OWNER), windows().main);
                                  const LONG style = GetWindowLongA(dialog, GWL_STYLE);
                                  EXPECT_TRUE(style & WS_CAPTION);
                                  EXPECT_FALSE(style & WS_SYSMENU) << "no close box";
                                  pressKey(dialog, VK_ESCAPE);
                              }}));
        EXPECT_TRUE(seen);
    }
}

TEST_F(Dialogs, CancelAndEscapeKeepTheListOkTakesTheBox) {
    const auto editThen = [](const char* text, std::function<void(HWND)> close) -> Step {
        return [=](HWND dialog) {
            SetDlgItemTextA(dialog, IDC_PROMPT_EDIT, text);
            close(dialog);
        };
    };
    excludeList() = ".obj;.exe";
    {
        SCOPED_TRACE("Cancel button");
        EXPECT_TRUE(runDialog(IDM_EXCLUDE_FILE_TYPES,
                              {editThen(".x", [](HWND d) { clickButton(d, IDCANCEL); })}));
        EXPECT_EQ(excludeList(), ".obj;.exe");
    }
    {
        SCOPED_TRACE("Escape");
        EXPECT_TRUE(runDialog(IDM_EXCLUDE_FILE_TYPES,
                              {editThen(".x", [](HWND d) { pressKey(d, VK_ESCAPE); })}));
        EXPECT_EQ(excludeList(), ".obj;.exe");
    }
    {
        SCOPED_TRACE("OK button takes the edited text");
        EXPECT_TRUE(runDialog(IDM_EXCLUDE_FILE_TYPES,
                              {editThen(".log;.html", [](HWND d) { clickButton(d, IDOK); })}));
        EXPECT_EQ(excludeList(), ".log;.html");
    }
    {
        SCOPED_TRACE("Enter with an empty box empties the list");
        EXPECT_TRUE(runDialog(IDM_EXCLUDE_FILE_TYPES,
                              {editThen("", [](HWND d) { pressKey(d, VK_RETURN); })}));
        EXPECT_EQ(excludeList(), "");
    }
}

// Regression: the prompt read its box back into 100 bytes, so OK on an
// unedited list of 100 characters or more silently cut its tail.
TEST_F(Dialogs, OkKeepsAListLongerThan99CharactersWhole) {
    const std::string list = letters(500);
    excludeList() = list;
    EXPECT_TRUE(runDialog(IDM_EXCLUDE_FILE_TYPES, {[](HWND d) { pressKey(d, VK_RETURN); }}));
    EXPECT_EQ(excludeList().size(), 500u);
    EXPECT_EQ(excludeList(), list);

    SCOPED_TRACE("150 characters typed are all kept");
    excludeList() = "";
    EXPECT_TRUE(runDialog(IDM_EXCLUDE_FILE_TYPES, {[](HWND d) {
                              HWND edit = GetDlgItem(d, IDC_PROMPT_EDIT);
                              for (char c : letters(150))
                                  SendMessageA(edit, WM_CHAR, c, 1);
                              clickButton(d, IDOK);
                          }}));
    EXPECT_EQ(excludeList(), letters(150));
}

TEST_F(Dialogs, APasteOf10000CharactersIsCutTo9999) {
    const std::string pasted = letters(10000);
    excludeList() = ".a";
    EXPECT_TRUE(runDialog(IDM_EXCLUDE_FILE_TYPES, {[&](HWND d) {
                              HWND edit = GetDlgItem(d, IDC_PROMPT_EDIT);
                              ASSERT_TRUE(OpenClipboard(d));
                              EmptyClipboard();
                              HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, pasted.size() + 1);
                              memcpy(GlobalLock(memory), pasted.c_str(), pasted.size() + 1);
                              GlobalUnlock(memory);
                              SetClipboardData(CF_TEXT, memory);
                              CloseClipboard();
                              SendMessageA(edit, EM_SETSEL, 0, -1);
                              SendMessageA(edit, WM_PASTE, 0, 0);
                              EXPECT_EQ(GetWindowTextLengthA(edit), 10000)
                                  << "the box holds it all";
                              clickButton(d, IDOK);
                          }}));
    EXPECT_EQ(excludeList().size(), 9999u);
    EXPECT_EQ(excludeList(), pasted.substr(0, 9999));
}

TEST_F(Dialogs, AboutShowsTheVersionAndClosesOnlyWithOkOrEnter) {
    bool stillOpen = false;
    const auto expectOpen = [&](HWND dialog) { stillOpen = IsWindowVisible(dialog); };
    EXPECT_TRUE(runDialog(
        IDM_ABOUT,
        {[](HWND dialog) {
             EXPECT_EQ(windowText(dialog), "About Tarvo Search");
             const std::string text = itemText(dialog, IDC_ABOUT_TEXT);
             EXPECT_EQ(text.rfind("\r\n\r\n\r\nTarvo Search, version 1.0\r\n", 0), 0u) << text;
             EXPECT_NE(text.find("docs\\index.html"), std::string::npos) << text;
             EXPECT_FALSE(GetWindowLongA(dialog, GWL_STYLE) & WS_SYSMENU) << "no close box";
             pressKey(dialog, VK_ESCAPE);
         },
         expectOpen, [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); },
         expectOpen, [](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); }, expectOpen,
         [](HWND dialog) { pressKey(dialog, VK_RETURN); }}));
    EXPECT_TRUE(stillOpen) << "Escape, Alt+F4 and WM_CLOSE leave it open";

    SCOPED_TRACE("the OK button");
    EXPECT_TRUE(runDialog(IDM_ABOUT, {[](HWND dialog) { clickButton(dialog, IDOK); }}));
}

TEST_F(Dialogs, AboutBannerIsA500By54PictureWith256Colours) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDB_BANNER), MAKEINTRESOURCEA(2));
    ASSERT_NE(found, nullptr);
    const auto* header =
        static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(nullptr, found)));
    EXPECT_EQ(header->biWidth, 500);
    EXPECT_EQ(header->biHeight, 54);
    EXPECT_EQ(header->biBitCount, 8);
    EXPECT_EQ(header->biCompression, static_cast<DWORD>(BI_RGB));

    EXPECT_TRUE(runDialog(IDM_ABOUT, {[](HWND dialog) {
                              HWND picture = GetWindow(dialog, GW_CHILD);
                              EXPECT_NE(SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
                              clickButton(dialog, IDOK);
                          }}));
}

// Help opens a file holding the user guide: the one beside the program or,
// for a program alone in its folder, the copy built into it. The About box
// names the file Help opens.
TEST_F(Dialogs, HelpOpensAFileHoldingTheGuideAndAboutNamesIt) {
    runCommand(IDM_ONLINE_DOCUMENTATION);
    ASSERT_EQ(launches.shellOpened.size(), 1u);
    const std::string guide = launches.shellOpened[0];
    EXPECT_NE(readFile(guide).find("<title>Tarvo Search"), std::string::npos) << guide;
    EXPECT_TRUE(runDialog(IDM_ABOUT, {[&](HWND dialog) {
                              EXPECT_NE(itemText(dialog, IDC_ABOUT_TEXT).find("\r\n" + guide),
                                        std::string::npos);
                              clickButton(dialog, IDOK);
                          }}));
}

// Regression: Help opened nothing when the program was copied without its
// docs folder. A copy of this suite alone in an empty folder runs the test
// above; the guide it opened is the one built in, written over a stale copy.
TEST_F(Dialogs, HelpWorksForTheProgramCopiedAloneIntoAnEmptyFolder) {
    char exe[MAX_PATH];
    ASSERT_LT(GetModuleFileNameA(nullptr, exe, MAX_PATH), DWORD{MAX_PATH});
    const std::string alone = tree.mkdir("alone") + "\\gui_tests.exe";
    ASSERT_TRUE(CopyFileA(exe, alone.c_str(), FALSE));
    char temp[MAX_PATH];
    const UserGuide copy = userGuide(alone, false, std::string(temp, GetTempPathA(MAX_PATH, temp)));
    ASSERT_TRUE(copy.builtIn);
    std::ofstream(copy.path) << "stale";

    std::string line =
        "\"" + alone + "\" --gtest_filter=Dialogs.HelpOpensAFileHoldingTheGuideAndAboutNamesIt";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child = {};
    ASSERT_TRUE(CreateProcessA(alone.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &child));
    // This thread's windows keep answering while the copy starts its own.
    while (MsgWaitForMultipleObjects(1, &child.hProcess, FALSE, 60000, QS_ALLINPUT) ==
           WAIT_OBJECT_0 + 1)
        drain();
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(child.hProcess, &code);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    EXPECT_EQ(code, 0u) << "the copy's test passed";
    EXPECT_TRUE(readFile(copy.path) == readFile(documentationPath(exe)))
        << "the guide written over the stale copy";
}

TEST_F(Dialogs, OpenAndNotepadBeepWithNothingPreviewed) {
    runCommand(IDM_OPEN);
    runCommand(IDM_OPEN_WITH_NOTEPAD);
    EXPECT_EQ(launches.beeps, 2);
    EXPECT_EQ(launches.lastBeep, 0xFFFFFFFFu) << "the simple beep";
    EXPECT_TRUE(launches.shellOpened.empty());
    EXPECT_TRUE(launches.started.empty());
}

TEST_F(Dialogs, OpenAndNotepadHandOverThePreviewedFile) {
    const std::string file = tree.write("my src/main file.c", "int widget;\n");
    search("widget", tree.root());
    ASSERT_EQ(p().previewPane.document().currentPath(), file);

    runCommand(IDM_OPEN);
    runCommand(IDM_OPEN_WITH_NOTEPAD);
    EXPECT_EQ(launches.beeps, 0);
    ASSERT_EQ(launches.shellOpened.size(), 1u);
    EXPECT_EQ(launches.shellOpened[0], file);
    ASSERT_EQ(launches.started.size(), 1u);
    EXPECT_EQ(launches.started[0].first, "") << "found along the search path";
    EXPECT_EQ(launches.started[0].second, "notepad.exe \"" + file + "\"");
}

TEST_F(Dialogs, NewWindowSavesWithTheOffsetAndStartsThisProgram) {
    tree.mkdir("settings");
    MoveWindow(windows().main, 100, 80, 800, 600, TRUE);
    drain();
    const std::string root = tree.mkdir("src");
    search("alpha beta", root);
    SetWindowTextA(windows().findBox, "typed, not entered");
    runCommand(IDM_NEW_WINDOW);

    std::ifstream in(settingsFile());
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(lines[0], "Tarvo Search, version 1.0");
    EXPECT_EQ(lines[1], "125 105 925 705") << "moved 25 right and down";
    EXPECT_EQ(lines[2], "alpha beta") << "the text last entered";
    EXPECT_EQ(lines[3], root);

    char exe[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, exe, MAX_PATH);
    ASSERT_EQ(launches.started.size(), 1u);
    EXPECT_EQ(launches.started[0].first, std::string(exe, length));
    EXPECT_EQ(launches.started[0].second, "\"" + std::string(exe, length) + "\"")
        << "the program's name only: no arguments";
    EXPECT_EQ(windowText(windows().main), "Tarvo Search") << "this window goes on";
}

TEST_F(Dialogs, NewWindowWithAnUnwritableSettingsFileStillStartsQuietly) {
    p().settingsFile = tree.path("no such folder/TarvoSearch.txt");
    runCommand(IDM_NEW_WINDOW);
    EXPECT_EQ(GetFileAttributesA(p().settingsFile.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(launches.started.size(), 1u);
    EXPECT_EQ(openDialog(), nullptr) << "nothing reported";
}

TEST_F(Dialogs, MissingProgramsAndAssociationsFailQuietlyAndAtOnce) {
    {
        SCOPED_TRACE("no such program");
        const DWORD before = GetTickCount();
        EXPECT_FALSE(startDetachedProcess(nullptr, "tarvo-no-such-program.exe \"x\""));
        EXPECT_FALSE(startDetachedProcess("Z:\\no\\such\\TarvoSearch.exe", "\"x\""));
        EXPECT_LT(GetTickCount() - before, 2000u);
    }
    {
        SCOPED_TRACE("a file no program is associated with");
        tree.write("odd.tarvo-unknown-type", "widget\n");
        search("widget", tree.root());
        launcher().shellOpen = real_.shellOpen;
        const DWORD before = GetTickCount();
        runCommand(IDM_OPEN);
        EXPECT_LT(GetTickCount() - before, 5000u);
        drain();
        EXPECT_EQ(openDialog(), nullptr) << "nothing reported";
        EXPECT_EQ(launches.beeps, 0);
    }
}

}  // namespace
}  // namespace tarvo::testing
