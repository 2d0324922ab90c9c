// The main window driven with messages, as the keyboard, the mouse and the shell send them.
#include <shlobj.h>

#include "gui/gui_support.h"
#include "shell/edit_box_win32.h"
#include "shell/status_panel_win32.h"
#include "support/repeated.h"

namespace tarvo::testing {
namespace {

using MainWindow = ProgramTest;

// Enter empties the memory only for a new Path; F5 searches the texts Enter last took; during a
// search, Enter with the same texts, F6 and Esc stop, Enter with a new text restarts.
TEST_F(MainWindow, EnterF5AndF6StartStopAndRestart) {
    for (int f = 0; f < 20; ++f)
        tree.write("src/f" + std::to_string(f) + ".txt", "alpha beta\n");
    SetWindowTextA(windows().findBox, "alpha");
    SetWindowTextA(windows().pathBox, tree.path("src").c_str());
    p().memory.add("C:\\old\\f.c", 5);
    pressEnter(windows().findBox);
    EXPECT_EQ(p().runState, RunState::StartRequested);
    EXPECT_EQ(p().memory.count(), 0) << "a new Path empties the memory";
    runRequestedSearch(p());
    EXPECT_EQ(p().results.count(), 20);
    SetWindowTextA(windows().findBox, "beta");  // typed, no Enter
    pressKey(windows().findBox, VK_F5);
    ASSERT_EQ(p().runState, RunState::StartRequested);
    runRequestedSearch(p());
    EXPECT_STREQ(p().searchRun.terms().term(0).text, "alpha") << "F5 does not read the boxes";
    const int32_t remembered = p().memory.count();
    ASSERT_GT(remembered, 0);
    pressEnter(windows().fileBox);  // the read-only File box acts as the Find box
    EXPECT_EQ(p().memory.count(), remembered) << "only the Find text changed";
    EXPECT_EQ(p().settings.lastFindText, "beta");
    runRequestedSearch(p());
    EXPECT_STREQ(p().searchRun.terms().term(0).text, "beta");
    const std::tuple<UINT, WPARAM, const char*, RunState> stops[] = {
        {WM_CHAR, '\r', "beta", RunState::Idle},
        {WM_KEYDOWN, VK_F6, "beta", RunState::Idle},
        {WM_KEYDOWN, VK_ESCAPE, "beta", RunState::Idle},
        {WM_CHAR, '\r', "alpha", RunState::StartRequested}};
    for (const auto& [message, key, find, after] : stops) {
        SCOPED_TRACE(::testing::Message() << key << " " << find);
        p().runState = RunState::StartRequested;
        SetWindowTextA(windows().findBox, find);
        PostMessageA(windows().findBox, message, key, 1);
        runRequestedSearch(p());  // the key is handled at the first pump
        EXPECT_EQ(p().runState, after);
        EXPECT_EQ(p().searchRun.stats().files, 0);
    }
    // Twenty quick F5s: the first run takes them all at its first pump, the second is undisturbed.
    for (int i = 0; i < 20; ++i)
        postKey(windows().findBox, VK_F5);
    int runs = 0;
    for (; p().runState == RunState::StartRequested && runs < 50; ++runs)
        runRequestedSearch(p());
    EXPECT_EQ(std::tuple(runs, std::string(p().searchRun.terms().term(0).text),
                         p().searchRun.stats().files, p().runState),
              std::tuple(2, "alpha", 20, RunState::Idle));
}

// Recursive and the two Skip options change which files are read: they empty the memory.
TEST_F(MainWindow, OptionItemsToggleTheirChecksAndThreeEmptyTheMemory) {
    const std::tuple<int, bool SearchOptions::*, bool> items[] = {
        {IDM_RECURSIVE, &SearchOptions::recursive, true},
        {IDM_SKIP_BINARY_FILES, &SearchOptions::skipBinaryFiles, true},
        {IDM_SKIP_IGNORED_FILES, &SearchOptions::skipIgnoredFiles, true},
        {IDM_SEARCH_FILE_NAMES, &SearchOptions::searchFileNames, false},
        {IDM_CASE_SENSITIVE_BONUS, &SearchOptions::caseSensitiveBonus, false},
        {IDM_WHOLE_WORD_BONUS, &SearchOptions::wholeWordBonus, false},
        {IDM_CPP_HEURISTICS, &SearchOptions::cppHeuristics, false}};
    for (const auto& [id, option, clearsMemory] : items) {
        const bool first = p().settings.request.options.*option;
        for (bool on : {!first, first}) {
            SCOPED_TRACE(::testing::Message() << id << " " << on);
            p().memory.add("C:\\f.c", 7);
            SendMessageA(windows().main, WM_COMMAND, id, 0);
            EXPECT_EQ(p().settings.request.options.*option, on);
            EXPECT_EQ(GetMenuState(GetMenu(windows().main), id, MF_BYCOMMAND) & MF_CHECKED,
                      on ? UINT{MF_CHECKED} : 0);
            EXPECT_EQ(p().memory.count(), clearsMemory ? 0 : 1);
            p().memory.clear();
        }
    }
}

// Regression: the caret was put at the end with a posted End key, which ran while Shift was still
// down: the next letter typed after Shift+Tab replaced the whole text.
TEST_F(MainWindow, TabShiftTabAndADropMoveTheFocusWithTheCaretAtTheEnd) {
    SetWindowTextA(windows().findBox, "find text");
    SetWindowTextA(windows().pathBox, "C:\\a\\path");
    const std::pair<HWND, HWND> steps[] = {{windows().findBox, windows().pathBox},
                                           {windows().pathBox, windows().findBox},
                                           {windows().fileBox, windows().findBox}};
    const std::pair<int, int> carets[] = {{0, 0}, {3, 3}, {0, -1}};
    for (bool shift : {false, true}) {
        holdKeys(false, shift);
        for (const auto& [from, to] : steps) {
            for (const auto& [start, end] : carets) {
                SCOPED_TRACE(::testing::Message() << shift << " " << start << ".." << end);
                const std::string before = boxText(to);
                SetFocus(from);
                SendMessageA(to, EM_SETSEL, start, end);
                for (UINT message : {WM_KEYDOWN, WM_CHAR, WM_KEYUP})
                    SendMessageA(from, message, VK_TAB, 1);
                drain();
                EXPECT_EQ(GetFocus(), to);
                SendMessageA(to, WM_CHAR, 'x', 1);
                EXPECT_EQ(boxText(to), before + "x") << "a typed letter is appended";
                SetWindowTextA(to, before.c_str());
            }
        }
    }
    // Dropped folders and files are joined with ";"; the Path box takes the focus.
    const std::wstring names =
        std::wstring(L"C:\\src\\caf\u00E9") + L'\0' + L"D:\\notes.txt" + L'\0';
    HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + (names.size() + 1) * sizeof(wchar_t));
    auto* files = static_cast<DROPFILES*>(GlobalLock(drop));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    std::copy(names.begin(), names.end(), reinterpret_cast<wchar_t*>(files + 1));
    GlobalUnlock(drop);
    SetFocus(windows().findBox);
    SendMessageA(windows().main, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    EXPECT_EQ(std::tuple(boxText(windows().pathBox), GetFocus()),
              std::tuple("C:\\src\\caf\xC3\xA9;D:\\notes.txt", windows().pathBox));
}

// Paths of 300 and 600 characters found, previewed, copied and opened whole (F7: short form).
TEST_F(MainWindow, LongPathsAreSearchedPreviewedOpenedAndCopied) {
    const std::string root = tree.mkdir("deep"), opener = recorder("op/opener.exe");
    const ClassKeys registered({{".tarvo", "Tarvo.Test"},
                                {"Tarvo.Test\\shell\\open\\command", "\"" + opener + "\" \"%1\""}});
    ASSERT_FALSE(registered.taken());
    const auto fileAt = [&](size_t length, const std::string& text) {
        std::string relative = "deep";
        while (tree.path(relative).size() + 201 < length)
            relative += "/" + std::string(200, 'f');
        const size_t rest = length - tree.path(relative).size() - 1;
        relative.append(1, '/').append(rest - 6, 'g').append(".tarvo");
        return tree.write(relative, text);
    };
    const std::string paths[] = {fileAt(300, "int needle;\n"), fileAt(600, "needle\n")};
    ASSERT_EQ(paths[0].size() + paths[1].size(), 900u);
    const std::string editor = recorder("ed/ed.exe"), notepad = recorder("np/notepad.exe");
    p().settings.editorCommand = "\"" + editor + "\" %path%";
    SetCurrentDirectoryA(tree.path("np").c_str());
    EXPECT_EQ(boxText(windows().main), "Tarvo Search");
    search("needle", root);
    EXPECT_EQ(boxText(windows().main), "needle - Tarvo Search");
    ASSERT_EQ(p().results.count(), 2);
    std::string all;  // what Copy All copies
    for (int32_t row = 0; row < 2; ++row) {
        p().results.selectRow(row);
        drain();
        const std::string& path = selectedResult(p())->path;
        SCOPED_TRACE(path.size());
        EXPECT_GT(p().previewPane.document().lineCount(), 0) << "the file was read";
        EXPECT_EQ(std::tuple(p().previewPane.document().currentPath(), boxText(windows().fileBox)),
                  std::tuple(path, path));
        runCommand(p(), IDM_COPY_PATH);
        EXPECT_EQ(clipboardText(), path);
        pressKey(windows().findBox, 'C', true, true);
        const std::string line = path + (path == paths[0] ? "(1): int needle;" : "(1): needle");
        EXPECT_EQ(clipboardText(), line) << "Ctrl+Shift+C";
        all += (row ? "\r\n" : "") + line;
        for (WPARAM key : {VK_F7, VK_F8, VK_F9})
            postKey(windows().findBox, key);
        drain();
        EXPECT_TRUE(startedWith(notepad, row + 1).ends_with("notepad.exe \"" + path + "\"\n"));
        EXPECT_TRUE(
            startedWith(editor, row + 1).ends_with("\"" + editor + "\" \"" + path + "\"\n"));
        const std::string opened = startedWith(opener, row + 1);
        const size_t quote = opened.rfind('"', opened.size() - 3);
        const std::wstring given = wideText(opened.substr(quote + 1, opened.size() - quote - 3));
        wchar_t whole[1024] = {};
        GetLongPathNameW(given.c_str(), whole, 1024);
        EXPECT_LT(given.size(), 260u);
        EXPECT_EQ(utf8Of(whole), path) << "the file F7 opened";
    }
    runCommand(p(), IDM_COPY_ALL_RESULTS);
    EXPECT_EQ(clipboardText(), all);
    SetWindowTextA(windows().findBox, "needle");
    SendMessageA(windows().findBox, EM_SETSEL, 0, 3);
    pressKey(windows().findBox, 'C', true);
    EXPECT_EQ(clipboardText(), "nee");
}

// Regression: the main window painted its face colour over the panes when resized.
TEST_F(MainWindow, EveryBandShowsItsContentAfterAResizeAndTheWindowKeepsAMinimumSize) {
    search("needle", tree.write("long.txt", repeated(300, "needle line\n")));
    const auto area = [](HWND child) {
        RECT r;
        GetClientRect(child, &r);
        MapWindowPoints(child, nullptr, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    const std::tuple<int, int, int> changes[] = {
        {SW_MAXIMIZE, 0, 0}, {SW_RESTORE, 0, 0}, {0, 640, 480}, {0, 1000, 800}};
    for (const auto& [show, width, height] : changes) {
        SCOPED_TRACE(::testing::Message() << show << " " << width);
        if (show)
            ShowWindow(windows().main, show);
        else
            SetWindowPos(windows().main, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
        drain();
        const Dib screen(HWND{}, 1280, 1024);
        const RECT preview = area(p().previewPane.window()), list = area(p().resultsPane.window());
        const int h = rowHeight(FontIndex::Preview);
        ASSERT_GT((preview.bottom - preview.top) / h, 3);
        for (int top = preview.top; top + h <= preview.bottom; top += h)
            EXPECT_GT(screen.count(kGutterColour, preview.left, top, preview.right, top + h), 5)
                << "the line number in the row at " << top << " is drawn";
        EXPECT_EQ(
            screen.count(p().faceColour, preview.left, preview.top, preview.right, preview.bottom) +
                screen.count(p().faceColour, list.left, list.top, list.right, list.bottom),
            0);
        const WindowRect& saved = p().settings.windowRect;
        EXPECT_EQ(saved.right - saved.left, width ? width : 900);
    }
    // The status line alone, as the timer repaints it, grounds its whole band.
    const MainLayout& l = p().layout;
    Dib band(1280, l.statusLine.bottom);
    paintStatusLine(p(), band.dc());
    EXPECT_EQ(band.count(kWhitePixel, 0, l.statusLine.top, 1280, l.statusLine.bottom), 0);
    // Shrunk: one menu line, a list row, three preview lines; grown, a box's text from its start.
    const std::string text = "needle haystack " + std::string(60, 'x');
    SetWindowTextA(windows().findBox, text.c_str());
    focusAtEnd(windows().findBox);
    SetWindowPos(windows().main, nullptr, 0, 0, 10, 10, SWP_NOMOVE | SWP_NOZORDER);
    drain();
    EXPECT_GE(l.resultsPane.height(), rowHeight());
    EXPECT_GE(l.previewPane.height(), kMinPreviewLines * rowHeight(FontIndex::Preview));
    HMENU menu = GetMenu(windows().main);
    RECT first, last;
    GetMenuItemRect(windows().main, menu, 0, &first);
    GetMenuItemRect(windows().main, menu, GetMenuItemCount(menu) - 1, &last);
    EXPECT_EQ(first.top, last.top) << "the menu bar keeps one line";
    EXPECT_GT(SendMessageA(windows().findBox, EM_GETFIRSTVISIBLELINE, 0, 0), 0)
        << "the narrow box shows the caret at the text's end";
    SetWindowPos(windows().main, nullptr, 0, 0, 1200, 700, SWP_NOMOVE | SWP_NOZORDER);
    drain();
    ASSERT_GT(l.findBox.width(), p().fonts.textWidth(text, FontIndex::Interface) + 10);
    EXPECT_EQ(SendMessageA(windows().findBox, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    SendMessageA(windows().findBox, WM_CHAR, 'y', 1);
    EXPECT_EQ(boxText(windows().findBox), text + "y") << "the caret stayed at the end";
}

}  // namespace
}  // namespace tarvo::testing
