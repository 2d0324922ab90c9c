// The dialogs on the real main window: each runs its own modal loop inside the command opening it.
#include "gui/gui_support.h"
#include "shell/dialog_texts.h"
#include "shell/editor_win32.h"
#include "shell/launching.h"
#include "shell/launching_win32.h"
#include "view/display_scale.h"
#include "view/display_scale_win32.h"

namespace tarvo::testing {
namespace {

// Queued, as the keyboard queues them, so that the dialog manager sees them.
void press(HWND dialog, WPARAM key, UINT message = WM_KEYDOWN) {
    PostMessageA(GetDlgItem(dialog, IDC_PROMPT_EDIT), message, key, 1);
}
void type(HWND dialog, const std::string& text) {
    for (char c : text)
        press(dialog, static_cast<BYTE>(c), WM_CHAR);
}

// Title and text of each box answered with OK (a prompt with `typed`), owned by the main window.
std::vector<std::string> shown;
std::string typed;

void answerOk(HWND d) {
    char text[512];
    shown.emplace_back(text, GetWindowTextA(d, text, sizeof text));
    for (int item : {0xFFFF, IDC_PROMPT_EDIT})
        if (GetDlgItemTextA(d, item, text, sizeof text)) shown.back() += text;
    EXPECT_EQ(GetWindow(d, GW_OWNER), testProgram().windows.main);
    SetDlgItemTextA(d, IDC_PROMPT_EDIT, typed.c_str());
    PostMessageA(d, WM_COMMAND, IDOK, 0);
}

using Dialogs = ProgramTest;

// Regression: OK on an unedited list of 100 characters or more cut its tail. Typing appends; a list
// is cut to 9,999; only a changed filter forgets the remembered files. Tab Width takes 1 to 16.
TEST_F(Dialogs, ThePromptKeepsOrTakesItsListWholeAndTabWidthANumberFrom1To16) {
    const std::string appended(150, 'q'), pasted(10000, 'p');
    SearchRequest& request = p().settings.request;
    std::string &exclude = request.excludeList, &only = request.includeList;
    const auto then = [](std::string text, WPARAM key) {
        return [=](HWND d) { type(d, text), press(d, key); };
    };
    const std::tuple<int, std::string*, std::function<void(HWND)>, std::string, bool> cases[] = {
        {IDM_EXCLUDE_FILE_TYPES, &exclude, then(".x", VK_ESCAPE), ".obj", false},
        {IDM_EXCLUDE_FILE_TYPES, &exclude,
         [&](HWND d) { type(d, ";" + appended), PostMessageA(d, WM_COMMAND, IDOK, 0); },
         ".obj;" + appended, false},
        {IDM_EXCLUDE_FILE_TYPES, &exclude, then("", VK_RETURN), ".obj;" + appended, false},
        {IDM_SYNTAX_HIGHLIGHTING, &request.highlightList, then(".y", VK_RETURN), ".obj.y", false},
        {IDM_EDITOR_COMMAND, &p().settings.editorCommand, then(" -n%line%", VK_RETURN),
         "ed -n%line%", false},
        {IDM_EXCLUDE_FILE_TYPES, &exclude,
         [&](HWND d) { SetDlgItemTextA(d, IDC_PROMPT_EDIT, pasted.c_str()), press(d, VK_RETURN); },
         pasted.substr(0, 9999), false},
        {IDM_ONLY_FILE_TYPES, &only, then("", VK_RETURN), ".obj", false},
        {IDM_ONLY_FILE_TYPES, &only, then(";.h", VK_RETURN), ".obj;.h", true},
        {IDM_SKIP_FOLDERS, &request.skipFolders, then(";bin", VK_ESCAPE), ".obj", false},
        {IDM_SKIP_FOLDERS, &request.skipFolders, then(";bin", VK_RETURN), ".obj;bin", true}};
    exclude = request.highlightList = only = request.skipFolders = ".obj";
    p().settings.editorCommand = "ed";
    for (const auto& [command, list, steps, after, forgets] : cases) {
        SCOPED_TRACE(after.substr(0, 10));
        p().memory.add("C:\\f.c", 7);
        runDialog([command] { runCommand(p(), command); }, steps);
        EXPECT_EQ(*list, after);
        EXPECT_EQ(p().memory.count(), forgets ? 0 : 1);
        p().memory.clear();
    }
    const std::pair<const char*, int> entries[] = {{"8", 8}, {"0", 8}, {"sixteen", 8}, {" 16", 16}};
    for (const auto& [entry, width] : entries) {
        SCOPED_TRACE(entry);
        typed = entry;
        shown.clear();
        const std::string before = kTabWidthTitle + std::to_string(tabWidthOf(p().settings));
        runDialog([] { runCommand(p(), IDM_TAB_WIDTH); }, answerOk);
        EXPECT_EQ(shown, std::vector{before}) << "the width shown";
        EXPECT_EQ(std::tuple(tabWidthOf(p().settings), p().previewPane.document().tabWidth()),
                  std::tuple(width, width));
    }
}

// Escape, close and WM_CLOSE leave About open (its timer ticks again); its banner is scaled.
TEST_F(Dialogs, AboutClosesOnlyWithOkAndDrawsItsBannerAtItsScale) {
    static int ticks = 0, width = 0, height = 0;
    runDialog([] { runCommand(p(), IDM_ABOUT); },
              [](HWND d) {
                  SetTimer(d, 1, 50, [](HWND d, UINT, UINT_PTR, DWORD) {
                      if (++ticks > 1) return (void)PostMessageA(d, WM_COMMAND, IDOK, 0);
                      HWND banner = GetDlgItem(d, IDC_ABOUT_BANNER);
                      RECT area;
                      GetClientRect(banner, &area);
                      const Dib shown(banner, area.right, area.bottom);
                      const COLORREF face = GetSysColor(COLOR_BTNFACE);
                      width = area.right - shown.count(face, 0, area.bottom / 2, area.right,
                                                       area.bottom / 2 + 1);
                      for (int y = 0; y < area.bottom; ++y)
                          height += shown.at(area.right / 2, y) != face;
                      PostMessageA(d, WM_KEYDOWN, VK_ESCAPE, 1);
                      PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0);
                      PostMessageA(d, WM_CLOSE, 0, 0);
                  });
              });
    EXPECT_EQ(ticks, 2);
    const int dpi = static_cast<int>(windowDpi(windows().main));
    EXPECT_EQ(width, scaleToDpi(500, dpi));
    EXPECT_EQ(height, scaleToDpi(54, dpi));
}

// One message for a root that cannot be opened (the search goes on) or a Path naming nothing.
// Regression: the time shown counted the box's seconds; a 300-character entry's box was too wide.
TEST_F(Dialogs, ARootThatCannotBeOpenedShowsOneMessage) {
    static double now = 0.0;
    p().clock.source = [] { return now += 0.001; };    // each reading a millisecond later
    static std::vector<std::pair<double, int>> boxes;  // the clock's move, the width
    const auto answerLater = [](HWND box) {
        const double before = p().clock.now();
        now += 8.0;
        RECT area;
        GetWindowRect(box, &area);
        boxes.emplace_back(p().clock.now() - before, area.right - area.left);
        answerOk(box);
    };
    const std::string missing = tree.path("no/such/dir"),
                      tooLong = tree.path(std::string(300, 'd'));
    const std::tuple<std::string, std::string, int64_t> paths[] = {
        {missing + ";" + tree.write("there/a.c", "alpha\n"), "can't open directory " + missing, 1},
        {" ; ;", "Error: the Path names no folder or file to search", 0},
        {tooLong, messageBoxText("Error: the path is longer than 260 characters: " + tooLong), 0}};
    for (const auto& [path, message, files] : paths) {
        shown.clear();
        runDialog([&] { search("alpha", path); }, answerLater);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_NE(shown[0].find(message), std::string::npos) << shown[0];
        EXPECT_TRUE(shown[0].starts_with("Tarvo Search"));
        EXPECT_EQ(p().searchRun.stats().files, files);
        EXPECT_LT(p().runTimes.end - p().runTimes.start, 1.0) << "the time shown";
    }
    ASSERT_EQ(boxes.size(), 3u);
    for (const auto& [moved, width] : boxes) {
        EXPECT_EQ(moved, 0.0) << "the clock stands still while the box is up";
        EXPECT_LT(width, 800);
    }
}

// Open and Notepad with nothing previewed give the simple beep and start nothing.
TEST_F(Dialogs, HelpOpensAFileHoldingTheGuide) {
    static std::vector<std::string> calls;
    launcher().shellOpen = [](const char* file, const char*) { calls.push_back(file); };
    launcher().startProcess = [](const char*, const char* line) {
        return calls.push_back(line), true;
    };
    launcher().beep = [](UINT type) { calls.push_back("beep " + std::to_string(type)); };
    for (int command : {IDM_OPEN, IDM_OPEN_WITH_NOTEPAD, IDM_ONLINE_DOCUMENTATION})
        runCommand(p(), command);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0] + "," + calls[1], "beep 4294967295,beep 4294967295");
    EXPECT_NE(readBytes(calls[2]).find("<title>Tarvo Search"), std::string::npos) << calls[2];
}

// Regression: Help opened nothing for the program copied alone; a copy runs the test above.
TEST_F(Dialogs, HelpWorksForTheProgramCopiedAloneIntoAnEmptyFolder) {
    const std::string alone = tree.mkdir("alone") + "\\gui_tests.exe";
    ASSERT_TRUE(CopyFileW(widePath(executablePath()).c_str(), widePath(alone).c_str(), FALSE));
    const UserGuide copy = userGuide(alone, false, temporaryFolder());
    ASSERT_TRUE(copy.builtIn);
    std::ofstream(copy.path) << "stale";
    std::string line = "\"" + alone + "\" --gtest_filter=Dialogs.HelpOpensAFileHoldingTheGuide";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child = {};
    ASSERT_TRUE(CreateProcessA(alone.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &child));
    while (MsgWaitForMultipleObjects(1, &child.hProcess, FALSE, 60000, QS_ALLINPUT) ==
           WAIT_OBJECT_0 + 1)
        drain();
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(child.hProcess, &code);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    EXPECT_EQ(code, 0u) << "the copy's test passed";
    EXPECT_TRUE(readBytes(copy.path) == readBytes(documentationPath(executablePath())))
        << "the guide written over the stale copy";
}

// With no command, the first editor found, else the prompt; a failed start: a beep and why.
TEST_F(Dialogs, OpenInEditorWithTheCommandAFoundEditorOrThePromptFirst) {
    const std::string file = tree.write("my src/a b.c", "int x;\nint needle;\n");
    search("needle", file);
    const std::string editor = recorder("ed/my editor.exe"), npp = recorder("npp/notepad++.exe");
    const std::string quoted = "\"" + editor + "\"", code = tree.path("vs code/Code.exe");
    p().settings.editorCommand = quoted + " -n%line% \"%path%\"";
    postKey(windows().findBox, VK_F9);
    EXPECT_EQ(startedWith(editor), quoted + " -n2 \"" + file + "\"\n");
    tree.write("vs code/bin/code.cmd", "");
    const std::pair<std::string, std::string> machines[] = {
        {tree.mkdir("none"), ""},
        {tree.path("vs code/bin;") + tree.path("npp"), "\"" + npp + "\" -n%line% \"%path%\""},
        {tree.path("vs code/bin"), ""}};
    for (const auto& [path, found] : machines) {
        SetEnvironmentVariableA("PATH", path.c_str());
        EXPECT_EQ(findEditorCommand(), found) << path;
    }
    tree.write("vs code/Code.exe", "");
    EXPECT_EQ(findEditorCommand(), "\"" + code + "\" -g \"%path%:%line%\"");
    SetEnvironmentVariableA("PATH", tree.path("npp").c_str());
    p().settings.editorCommand.clear();
    postKey(windows().findBox, VK_F9);
    EXPECT_EQ(startedWith(npp), "\"" + npp + "\" -n2 \"" + file + "\"\n");
    EXPECT_EQ(p().settings.editorCommand, "") << "a found editor is not stored";
    SetEnvironmentVariableA("PATH", tree.path("none").c_str());
    typed = quoted + " +%line% %path%";
    runDialog([] { runCommand(p(), IDM_OPEN_IN_EDITOR); }, answerOk);
    EXPECT_EQ(p().settings.editorCommand, typed);
    EXPECT_EQ(startedWith(editor, 2),
              quoted + " -n2 \"" + file + "\"\n" + quoted + " +2 \"" + file + "\"\n");
    static std::vector<UINT> beeps;
    launcher().beep = [](UINT type) { beeps.push_back(type); };
    p().settings.editorCommand = "Z:\\no\\such.exe %path%";
    runDialog([] { postKey(windows().findBox, VK_F9), drain(); }, answerOk);
    char reason[256];
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_PATH_NOT_FOUND, 0, reason, 256,
                   nullptr);
    const std::vector<std::string> expected = {
        "Editor Command",
        std::string("Tarvo SearchCan't start the editor Z:\\no\\such.exe\r\n\r\n") + reason};
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(beeps.size(), 1u);
}

// Regression: F7 handed a .bat to the shell's edit verb, which Wine ran. Its verb's program is
// started directly; a .cmd (or a verb that cannot start) goes to Notepad; no script runs.
TEST_F(Dialogs, OpenNeverRunsAScript) {
    const std::string notepad = recorder("np/notepad.exe"), editor = recorder("ed/my editor.exe");
    // Wine registers no batch file type: one as Windows does.
    const ClassKeys registered({{".bat", "batfile"},
                                {"batfile\\shell\\open\\command", "\"%1\" %*"},
                                {"batfile\\shell\\edit\\command", "\"" + editor + "\" \"%1\""}});
    if (registered.taken()) GTEST_SKIP() << "the system registers batch files itself";
    const std::string marker = tree.path("ran.txt");
    SetCurrentDirectoryA(tree.path("np").c_str());
    for (const char* name : {"scripts/build.bat", "scripts/setup.cmd"})
        tree.write(name, "@echo off\r\nrem needle\r\necho ran>\"" + marker + "\"\r\n");
    search("needle", tree.path("scripts"));
    ASSERT_EQ(p().results.count(), 2);
    std::string notepadLog;
    for (int32_t row : {0, 1, 0, 1}) {
        if (row == 0 && !notepadLog.empty()) std::filesystem::remove(editor);
        p().results.selectRow(row);
        postKey(windows().findBox, VK_F7);
        const std::string path = selectedResult(p())->path;
        if (path.ends_with(".bat") && std::filesystem::exists(editor)) {
            EXPECT_EQ(startedWith(editor), "\"" + editor + "\" \"" + path + "\"\n");
            continue;
        }
        notepadLog += "notepad.exe \"" + path + "\"\n";
        EXPECT_EQ(startedWith(notepad, std::ranges::count(notepadLog, '\n')), notepadLog);
    }
    Sleep(1000);  // a script started would have written its marker by now
    EXPECT_FALSE(std::filesystem::exists(marker));
}

}  // namespace
}  // namespace tarvo::testing
