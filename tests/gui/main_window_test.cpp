// The main window driven with messages: Enter, F5 and F6, Tab, the list
// keys, the option items, header clicks, the wheel, moves and sizes.
#include <windowsx.h>

#include <cstring>
#include <memory>

#include "gui/pane_test_support.h"
#include "shell/resources/resource.h"
#include "view/text_class.h"
#include "view/text_drawing_win32.h"

namespace tarvo::testing {
namespace {

using MainWindow = ProgramTest;

std::string firstTerm() {
    return program().engine.terms().term(0).text;
}

bool isChecked(int id) {
    return GetMenuState(GetMenu(program().windows.main), id, MF_BYCOMMAND) & MF_CHECKED;
}

TEST_F(MainWindow, EnterTakesBothBoxesAndClearsTheMemoryOnlyForANewPath) {
    SetWindowTextA(windows().findBox, "alpha");
    SetWindowTextA(windows().pathBox, "C:\\src");
    p().memory.add("C:\\old\\f.c", 5);
    pressEnter(windows().findBox);
    EXPECT_EQ(p().runState, RunState::StartRequested);
    EXPECT_EQ(p().settings.request.findText, "alpha");
    EXPECT_EQ(p().settings.request.pathText, "C:\\src");
    EXPECT_EQ(p().settings.lastFindText, "alpha");
    EXPECT_EQ(p().settings.lastPathText, "C:\\src");
    EXPECT_EQ(p().memory.count(), 0) << "a new Path empties the memory";

    p().runState = RunState::Idle;
    p().memory.add("C:\\src\\f.c", 5);
    SetWindowTextA(windows().findBox, "beta");
    pressEnter(windows().fileBox);  // the read-only File box acts as the Find box
    EXPECT_EQ(p().runState, RunState::StartRequested);
    EXPECT_EQ(p().settings.lastFindText, "beta");
    EXPECT_EQ(p().memory.count(), 1) << "only the Find text changed";

    SCOPED_TRACE("Enter while idle always starts, even with the same texts");
    p().runState = RunState::Idle;
    pressEnter(windows().pathBox);
    EXPECT_EQ(p().runState, RunState::StartRequested);
}

TEST_F(MainWindow, F5SearchesTheTextsLastTakenByEnter) {
    tree.write("src/a.txt", "alpha here\n");
    tree.write("src/b.txt", "beta here\n");
    SetWindowTextA(windows().findBox, "alpha");
    SetWindowTextA(windows().pathBox, tree.path("src").c_str());
    pressEnter(windows().findBox);
    runRequestedSearch();
    EXPECT_EQ(firstTerm(), "alpha");
    EXPECT_EQ(p().results.count(), 1);

    SetWindowTextA(windows().findBox, "beta");  // typed, no Enter
    postKey(windows().findBox, VK_F5);
    drain();
    ASSERT_EQ(p().runState, RunState::StartRequested);
    runRequestedSearch();
    EXPECT_EQ(firstTerm(), "alpha") << "F5 does not read the boxes";
    EXPECT_EQ(p().results.rankEntry(0).path, tree.path("src/a.txt"));

    pressEnter(windows().findBox);
    runRequestedSearch();
    EXPECT_EQ(firstTerm(), "beta");
    EXPECT_EQ(p().results.rankEntry(0).path, tree.path("src/b.txt"));
    EXPECT_EQ(p().runState, RunState::Idle);
}

TEST_F(MainWindow, EnterDuringASearchStopsWithSameTextsAndRestartsWithNewOnes) {
    std::string root = writeFiles(20, 10, "alpha beta");
    SetWindowTextA(windows().findBox, "alpha");
    SetWindowTextA(windows().pathBox, root.c_str());
    pressEnter(windows().findBox);
    {
        SCOPED_TRACE("same texts: the Enter handled at the first pump stops the run");
        PostMessageA(windows().findBox, WM_CHAR, '\r', 1);
        runRequestedSearch();
        EXPECT_EQ(p().runState, RunState::Idle);
        EXPECT_EQ(p().engine.stats().files, 0);
    }
    {
        SCOPED_TRACE("a changed Find text: the run ends and a new one is requested");
        pressEnter(windows().findBox);
        SetWindowTextA(windows().findBox, "beta");
        PostMessageA(windows().findBox, WM_CHAR, '\r', 1);
        runRequestedSearch();
        EXPECT_EQ(p().runState, RunState::StartRequested);
        EXPECT_EQ(p().settings.lastFindText, "beta");
        runRequestedSearch();
        EXPECT_EQ(firstTerm(), "beta");
        EXPECT_EQ(p().engine.stats().files, 20);
        EXPECT_EQ(p().runState, RunState::Idle);
    }
    {
        SCOPED_TRACE("F6 during a search stops it and leaves the loop idle");
        pressEnter(windows().findBox);
        postKey(windows().pathBox, VK_F6);
        runRequestedSearch();
        EXPECT_EQ(p().runState, RunState::Idle);
        EXPECT_EQ(p().engine.stats().files, 0);
    }
}

// Regression: the caret was put at the end with a posted End key, which ran
// while Shift was still down: Shift+Tab selected from the old caret to the
// end, and the next letter typed replaced the whole text.
TEST_F(MainWindow, TabAndShiftTabCycleFindPathFindWithTheCaretAtTheEnd) {
    const std::string texts[] = {"find text", "C:\\a\\path"};
    SetWindowTextA(windows().findBox, texts[0].c_str());
    SetWindowTextA(windows().pathBox, texts[1].c_str());
    auto caretAtEnd = [](HWND box) {
        DWORD start = 0, end = 0;
        SendMessageA(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        return static_cast<int>(end) == GetWindowTextLengthA(box) && start == end;
    };
    struct Step {
        HWND from, to;
        const char* label;
    } steps[] = {{windows().findBox, windows().pathBox, "Find -> Path"},
                 {windows().pathBox, windows().findBox, "Path -> Find"},
                 {windows().fileBox, windows().findBox, "File -> Find"}};
    // The caret where the target box had it: at the start, inside, at the
    // end, and the whole text selected.
    const std::pair<int, int> carets[] = {{0, 0}, {3, 3}, {1000, 1000}, {0, -1}};
    BYTE keys[256];
    GetKeyboardState(keys);
    for (BYTE shift : {BYTE{0}, BYTE{0x80}}) {
        keys[VK_SHIFT] = shift;
        SetKeyboardState(keys);
        for (const Step& step : steps) {
            for (const auto& [start, end] : carets) {
                SCOPED_TRACE(::testing::Message() << step.label << (shift ? " with Shift" : "")
                                                  << ", caret " << start << ".." << end);
                const std::string before = boxText(step.to);
                SetFocus(step.from);
                SendMessageA(step.to, EM_SETSEL, start, end);
                EXPECT_EQ(SendMessageA(step.from, WM_KEYDOWN, VK_TAB, 1), 0);
                EXPECT_EQ(SendMessageA(step.from, WM_CHAR, '\t', 1), 0);  // swallowed
                EXPECT_EQ(SendMessageA(step.from, WM_KEYUP, VK_TAB, 1), 0);
                drain();
                EXPECT_EQ(GetFocus(), step.to);
                EXPECT_TRUE(caretAtEnd(step.to));
                SendMessageA(step.to, WM_CHAR, 'x', 1);
                EXPECT_EQ(boxText(step.to), before + "x") << "a typed letter is appended";
                SetWindowTextA(step.to, before.c_str());
            }
        }
    }
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(boxText(windows().findBox), texts[0]) << "no tab character typed";
}

TEST_F(MainWindow, ListKeysInAnEditBoxGoToTheResultsPane) {
    MessageRecorder pane(p().resultsPane.window());
    for (HWND box : {windows().findBox, windows().pathBox, windows().fileBox}) {
        for (WPARAM key : {VK_UP, VK_DOWN, VK_PRIOR, VK_NEXT}) {
            SendMessageA(box, WM_KEYDOWN, key, 1);
        }
    }
    for (WPARAM key : {VK_UP, VK_DOWN, VK_PRIOR, VK_NEXT}) {
        SCOPED_TRACE(key);
        EXPECT_EQ(pane.count(WM_KEYDOWN, key), 3);
    }
    SetWindowTextA(windows().findBox, "abc");
    SendMessageA(windows().findBox, EM_SETSEL, 3, 3);
    for (WPARAM key : {VK_HOME, VK_LEFT, VK_RIGHT, VK_END})
        SendMessageA(windows().findBox, WM_KEYDOWN, key, 1);
    EXPECT_EQ(pane.count(WM_KEYDOWN), 12) << "caret keys stay in the box";
}

TEST_F(MainWindow, OptionItemsToggleTheirChecksAndTwoEmptyTheMemory) {
    struct Item {
        int id;
        int32_t SearchOptions::*option;
        bool clearsMemory;
    } items[] = {{IDM_RECURSIVE, &SearchOptions::recursive, true},
                 {IDM_SKIP_BINARY_FILES, &SearchOptions::skipBinaryFiles, true},
                 {IDM_SEARCH_FILE_NAMES, &SearchOptions::searchFileNames, false},
                 {IDM_CASE_SENSITIVE_BONUS, &SearchOptions::caseSensitiveBonus, false},
                 {IDM_WHOLE_WORD_BONUS, &SearchOptions::wholeWordBonus, false},
                 {IDM_CPP_HEURISTICS, &SearchOptions::cppHeuristics, false}};
    SearchOptions& options = p().settings.request.options;
    for (const Item& item : items) {
        SCOPED_TRACE(item.id);
        EXPECT_TRUE(isChecked(item.id)) << "all on by default";
        p().memory.add("C:\\f.c", 7);
        SendMessageA(windows().main, WM_COMMAND, item.id, 0);
        EXPECT_EQ(options.*item.option, 0);
        EXPECT_FALSE(isChecked(item.id));
        EXPECT_EQ(p().memory.count(), item.clearsMemory ? 0 : 1);
        SendMessageA(windows().main, WM_COMMAND, item.id, 0);
        EXPECT_EQ(options.*item.option, 1);
        EXPECT_TRUE(isChecked(item.id));
        p().memory.clear();
    }
    SCOPED_TRACE("Start and Stop set the run state; unknown ids do nothing");
    SendMessageA(windows().main, WM_COMMAND, IDM_START, 0);
    EXPECT_EQ(p().runState, RunState::StartRequested);
    SendMessageA(windows().main, WM_COMMAND, IDM_STOP, 0);
    EXPECT_EQ(p().runState, RunState::Idle);
    SendMessageA(windows().main, WM_COMMAND, 12345, 0);
    EXPECT_EQ(p().runState, RunState::Idle);
}

TEST_F(MainWindow, AClickOnAHeaderSortsByItsColumn) {
    p().results.addResult(30, "C:\\b.c", 1, "zz second");
    p().results.addResult(20, "C:\\a.c", 2, "aa first");
    auto clickAt = [](const LayoutRect& cell) {
        SendMessageA(windows().main, WM_LBUTTONDOWN, 0,
                     MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2));
    };
    const MainLayout& l = p().layout;
    clickAt(l.fileHeader);
    EXPECT_EQ(p().results.sortMode(), ByFileName);
    p().results.ensureDisplayOrder();
    EXPECT_EQ(p().results.displayEntry(0).path, "C:\\a.c");
    clickAt(l.lineHeader);
    EXPECT_EQ(p().results.sortMode(), ByLineText);
    clickAt(l.statusLine);
    EXPECT_EQ(p().results.sortMode(), ByLineText) << "a click elsewhere does nothing";
    clickAt(l.rankHeader);
    EXPECT_EQ(p().results.sortMode(), ByRank);
    p().results.ensureDisplayOrder();
    EXPECT_EQ(p().results.displayEntry(0).path, "C:\\b.c");
}

TEST_F(MainWindow, TheWheelGoesToThePaneUnderThePointer) {
    MessageRecorder results(p().resultsPane.window());
    MessageRecorder preview(p().previewPane.window());
    auto wheelOver = [](HWND window, int x, int y) {
        POINT at{x, y};
        ClientToScreen(window, &at);
        return SendMessageA(windows().main, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA),
                            MAKELPARAM(at.x, at.y));
    };
    wheelOver(p().resultsPane.window(), 10, 10);
    EXPECT_EQ(results.count(WM_MOUSEWHEEL), 1);
    EXPECT_EQ(preview.count(WM_MOUSEWHEEL), 0);
    wheelOver(p().previewPane.window(), 10, 10);
    EXPECT_EQ(preview.count(WM_MOUSEWHEEL), 1);
    EXPECT_EQ(wheelOver(windows().main, 2, 2), 0);
    EXPECT_EQ(results.count(WM_MOUSEWHEEL) + preview.count(WM_MOUSEWHEEL), 2)
        << "over the main window's own surface nothing happens";
}

TEST_F(MainWindow, MovesAndSizesFollowTheWindowAndTheLayout) {
    MoveWindow(windows().main, 40, 30, 700, 520, TRUE);
    drain();
    const WindowRect& rect = p().settings.windowRect;
    EXPECT_EQ(rect.left, 40);
    EXPECT_EQ(rect.top, 30);
    EXPECT_EQ(rect.right, 740);
    EXPECT_EQ(rect.bottom, 550);

    RECT client;
    GetClientRect(windows().main, &client);
    const MainLayout expected =
        computeMainLayout(client.right, client.bottom, textWidth("Find:  ", InterfaceFont),
                          lineHeight(InterfaceFont));
    auto placeOf = [](HWND child) {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, windows().main, reinterpret_cast<POINT*>(&r), 2);
        return LayoutRect{r.left, r.top, r.right, r.bottom};
    };
    EXPECT_EQ(placeOf(windows().findBox), expected.findBox);
    EXPECT_EQ(placeOf(windows().pathBox), expected.pathBox);
    EXPECT_EQ(placeOf(windows().fileBox), expected.fileBox);
    EXPECT_EQ(placeOf(p().resultsPane.window()), expected.resultsPane);
    EXPECT_EQ(placeOf(p().previewPane.window()), expected.previewPane);

    SCOPED_TRACE("a maximised window keeps the rectangle to restore");
    ShowWindow(windows().main, SW_MAXIMIZE);
    drain();
    EXPECT_EQ(rect.left, 40);
    EXPECT_EQ(rect.right, 740);
}

// Regression: the main window painted its face colour over the panes when it
// was resized; a band of the preview stayed blank until the next scroll.
TEST_F(MainWindow, EveryBandShowsItsContentAfterAResize) {
    std::string lines;
    for (int i = 1; i <= 300; ++i)
        lines += "needle line " + std::to_string(i) + "\n";
    search("needle", tree.write("long.txt", lines));
    HWND main = windows().main;
    // What the screen shows of a child's client area, read from the screen
    // itself, not from a device context of the program's.
    auto fromScreen = [](HWND child, RECT& client) {
        GetClientRect(child, &client);
        POINT origin{0, 0};
        ClientToScreen(child, &origin);
        auto dib = std::make_unique<Dib>(client.right, client.bottom);
        HDC screen = GetDC(nullptr);
        BitBlt(dib->dc(), 0, 0, client.right, client.bottom, screen, origin.x, origin.y, SRCCOPY);
        ReleaseDC(nullptr, screen);
        return dib;
    };
    const struct {
        const char* label;
        int show;
        int width, height;
    } changes[] = {{"maximise", SW_MAXIMIZE, 0, 0},
                   {"restore", SW_RESTORE, 0, 0},
                   {"shrink", 0, 640, 480},
                   {"grow", 0, 1000, 800}};
    for (const auto& change : changes) {
        SCOPED_TRACE(change.label);
        if (change.show)
            ShowWindow(main, change.show);
        else
            SetWindowPos(main, nullptr, 0, 0, change.width, change.height,
                         SWP_NOMOVE | SWP_NOZORDER);
        drain();
        RECT client;
        auto preview = fromScreen(p().previewPane.window(), client);
        const int h = lineHeight(PreviewFont);
        ASSERT_GT(client.bottom / h, 3);
        for (int row = 0; row < client.bottom / h; ++row) {
            SCOPED_TRACE(row);
            EXPECT_GT(countIn(*preview, kGutterColour, 0, row * h, client.right, (row + 1) * h), 5)
                << "the row's line number is drawn";
        }
        EXPECT_EQ(countIn(*preview, p().faceColour, 0, 0, client.right, client.bottom), 0);
        auto results = fromScreen(p().resultsPane.window(), client);
        EXPECT_EQ(countIn(*results, p().faceColour, 0, 0, client.right, client.bottom), 0);
        for (HWND box : {windows().findBox, windows().pathBox, windows().fileBox}) {
            auto text = fromScreen(box, client);
            EXPECT_GT(countIn(*text, RGB(0, 0, 0), 0, 0, client.right, client.bottom), 20)
                << "the box shows its text";
        }
    }
}

TEST_F(MainWindow, WindowsAndClassesAreAsTheProgramDefinesThem) {
    char name[64];
    GetClassNameA(windows().main, name, sizeof name);
    EXPECT_STREQ(name, "vrex");
    GetWindowTextA(windows().main, name, sizeof name);
    EXPECT_STREQ(name, "Tarvo Search");
    GetClassNameA(p().resultsPane.window(), name, sizeof name);
    EXPECT_STREQ(name, "Pane");
    GetWindowTextA(p().resultsPane.window(), name, sizeof name);
    EXPECT_STREQ(name, "Results");
    GetWindowTextA(p().previewPane.window(), name, sizeof name);
    EXPECT_STREQ(name, "Preview");
    EXPECT_TRUE(GetWindowLongA(windows().fileBox, GWL_STYLE) & ES_READONLY);
    EXPECT_EQ(GetWindowLongA(windows().main, GWL_STYLE) & WS_OVERLAPPEDWINDOW,
              static_cast<LONG>(WS_OVERLAPPEDWINDOW));

    SCOPED_TRACE("menu: popups in order, item texts, separators");
    HMENU menu = GetMenu(windows().main);
    ASSERT_EQ(GetMenuItemCount(menu), 4);
    const char* popups[] = {"&File", "&Search", "&Result", "&Help"};
    for (int i = 0; i < 4; ++i) {
        GetMenuStringA(menu, i, name, sizeof name, MF_BYPOSITION);
        EXPECT_STREQ(name, popups[i]);
    }
    GetMenuStringA(menu, IDM_OPEN, name, sizeof name, MF_BYCOMMAND);
    EXPECT_STREQ(name, "&Open\tF7, Ctrl+O");
    HMENU search = GetSubMenu(menu, 1);
    EXPECT_EQ(GetMenuItemCount(search), 11);
    EXPECT_TRUE(GetMenuState(search, 2, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_TRUE(GetMenuState(search, 6, MF_BYPOSITION) & MF_SEPARATOR);
}

}  // namespace
}  // namespace tarvo::testing
