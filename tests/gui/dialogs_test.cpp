// The prompt and About dialogs and the launching commands, on the real main
// window. A dialog runs its own modal loop inside the command, so a thread
// timer, which fires inside that loop, runs one scripted step per tick
// against the open dialog.
#include <fstream>
#include <iterator>

#include "gui/gui_support.h"
#include "shell/commands_win32.h"
#include "shell/launching.h"
#include "shell/launching_win32.h"
#include "shell/resources/resource.h"

namespace tarvo::testing {
namespace {

using Step = std::function<void(HWND dialog)>;

// A dialog still open this many ticks after its last step is ended by force
// and the test fails instead of hanging.
constexpr int kGraceTicks = 30;
std::vector<Step> steps;
size_t nextStep = 0;
int graceTicks = 0;

void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = FindWindowA("#32770", nullptr);
    if (!dialog || GetWindowThreadProcessId(dialog, nullptr) != GetCurrentThreadId()) return;
    if (nextStep < steps.size()) return steps[nextStep++](dialog);
    if (++graceTicks > kGraceTicks) EndDialog(dialog, 0);
}

// Runs the command, which opens a modal dialog, with the steps. True when
// every step ran and the dialog then closed by itself.
bool runDialog(int command, std::vector<Step> script) {
    steps = std::move(script);
    nextStep = 0;
    graceTicks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, tick);
    runCommand(command);
    KillTimer(nullptr, timer);
    return graceTicks <= kGraceTicks && nextStep == steps.size();
}

// Keys as the keyboard queues them for the focused control, so the dialog
// manager sees them (Enter for the default button, Escape for Cancel).
Step press(WPARAM key) {
    return
        [key](HWND dialog) { PostMessageA(GetFocus() ? GetFocus() : dialog, WM_KEYDOWN, key, 1); };
}
Step post(UINT message, WPARAM wParam) {
    return [=](HWND dialog) { PostMessageA(dialog, message, wParam, 0); };
}
const Step kOk = post(WM_COMMAND, IDOK);
Step type(std::string text) {
    return [text](HWND dialog) {
        for (char c : text)
            SendDlgItemMessageA(dialog, IDC_PROMPT_EDIT, WM_CHAR, static_cast<BYTE>(c), 1);
    };
}

std::string letters(size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i)
        text += static_cast<char>('a' + i % 26);
    return text;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// What the launching commands ask of the system.
std::vector<std::string> opened, started;

class Dialogs : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        launcher().beep = [](UINT) { started.push_back("beep"); };
        launcher().shellOpen = [](const char* file) { opened.push_back(file); };
        launcher().startProcess = [](const char* application, const char* line) {
            started.push_back(std::string(application ? application : "") + "|" + line);
            return true;
        };
    }
};

// Regression: the prompt read its box back into 100 bytes, so OK on an
// unedited list of 100 characters or more silently cut its tail. The caret
// starts after the text, so what is typed is appended; a paste of 10,000
// characters is cut to the 9,999 a list holds.
TEST_F(Dialogs, ThePromptKeepsOrTakesItsListWhole) {
    std::string& exclude = p().settings.request.excludeList;
    const std::string pasted = letters(10000);
    const Step paste = [&](HWND dialog) {
        ASSERT_TRUE(OpenClipboard(dialog));
        EmptyClipboard();
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, pasted.size() + 1);
        memcpy(GlobalLock(memory), pasted.c_str(), pasted.size() + 1);
        GlobalUnlock(memory);
        SetClipboardData(CF_TEXT, memory);
        CloseClipboard();
        SendDlgItemMessageA(dialog, IDC_PROMPT_EDIT, EM_SETSEL, 0, -1);
        SendDlgItemMessageA(dialog, IDC_PROMPT_EDIT, WM_PASTE, 0, 0);
    };
    const struct {
        int command;
        std::string* list;
        std::vector<Step> steps;
        std::string after;
    } cases[] = {
        {IDM_EXCLUDE_FILE_TYPES, &exclude, {type(".x"), post(WM_COMMAND, IDCANCEL)}, ".obj"},
        {IDM_EXCLUDE_FILE_TYPES, &exclude, {type(".x"), press(VK_ESCAPE)}, ".obj"},
        {IDM_EXCLUDE_FILE_TYPES, &exclude, {type(";" + letters(150)), kOk}, ".obj;" + letters(150)},
        {IDM_EXCLUDE_FILE_TYPES, &exclude, {press(VK_RETURN)}, ".obj;" + letters(150)},
        {IDM_SYNTAX_HIGHLIGHTING, &p().settings.request.highlightList, {type(".y"), kOk}, ".obj.y"},
        {IDM_EXCLUDE_FILE_TYPES, &exclude, {paste, press(VK_RETURN)}, pasted.substr(0, 9999)},
    };
    exclude = p().settings.request.highlightList = ".obj";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.after.substr(0, 10));
        EXPECT_TRUE(runDialog(c.command, c.steps));
        EXPECT_EQ(*c.list, c.after);
    }
}

// Escape, the close command and WM_CLOSE leave About open: only OK and
// Enter close it.
TEST_F(Dialogs, AboutClosesOnlyWithOkOrEnter) {
    bool stillOpen = true;
    const Step expectOpen = [&](HWND dialog) { stillOpen &= IsWindowVisible(dialog) != 0; };
    EXPECT_TRUE(
        runDialog(IDM_ABOUT, {press(VK_ESCAPE), expectOpen, post(WM_SYSCOMMAND, SC_CLOSE),
                              expectOpen, post(WM_CLOSE, 0), expectOpen, press(VK_RETURN)}));
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(runDialog(IDM_ABOUT, {kOk}));
}

// Help opens a file holding the user guide, which the About box names.
TEST_F(Dialogs, HelpOpensAFileHoldingTheGuideAndAboutNamesIt) {
    runCommand(IDM_ONLINE_DOCUMENTATION);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_NE(readFile(opened[0]).find("<title>Tarvo Search"), std::string::npos) << opened[0];
    std::string about;
    EXPECT_TRUE(runDialog(IDM_ABOUT, {[&](HWND dialog) {
                                          char text[4096];
                                          about.assign(text, GetDlgItemTextA(dialog, IDC_ABOUT_TEXT,
                                                                             text, sizeof text));
                                      },
                                      kOk}));
    EXPECT_NE(about.find("\r\n" + opened[0]), std::string::npos) << about;
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

// Open and Notepad beep with nothing previewed, else hand over the file;
// New Window saves the settings with the window moved 25 pixels and starts
// this program by its quoted name alone, even when the save fails.
TEST_F(Dialogs, LaunchingCommandsHandOverThePreviewedFileAndTheSettings) {
    runCommand(IDM_OPEN);
    runCommand(IDM_OPEN_WITH_NOTEPAD);
    EXPECT_EQ(started, (std::vector<std::string>{"beep", "beep"}));
    MoveWindow(windows().main, 100, 80, 800, 600, TRUE);
    const std::string file = tree.write("src/main file.c", "int widget;\n");
    search("widget", tree.path("src"));
    SetWindowTextA(windows().findBox, "typed, not entered");
    started.clear();
    runCommand(IDM_OPEN);
    runCommand(IDM_OPEN_WITH_NOTEPAD);
    tree.mkdir("settings");
    runCommand(IDM_NEW_WINDOW);
    p().settingsFile = tree.path("no such folder/TarvoSearch.txt");
    runCommand(IDM_NEW_WINDOW);

    EXPECT_EQ(opened, std::vector<std::string>{file});
    char exe[MAX_PATH];
    const std::string self(exe, GetModuleFileNameA(nullptr, exe, MAX_PATH));
    const std::string newWindow = self + "|\"" + self + "\"";
    EXPECT_EQ(started,
              (std::vector<std::string>{"|notepad.exe \"" + file + "\"", newWindow, newWindow}));
    std::ifstream in(settingsFile());
    std::string lines[4];
    for (std::string& line : lines)
        std::getline(in, line);
    EXPECT_EQ(lines[1], "125 105 925 705");
    EXPECT_EQ(lines[2], "widget") << "the text last entered";
}

}  // namespace
}  // namespace tarvo::testing
