// The list under the Find and Path boxes and the folder picker, on the real main window.
#include "gui/gui_support.h"
#include "shell/edit_box_win32.h"

namespace tarvo::testing {
namespace {

class DropDownTest : public ProgramTest {
protected:
    static const DropDown& list() { return p().dropDown; }
    static bool shown() { return list().box && IsWindowVisible(list().window); }
    static void type(HWND box, std::string_view text) {
        for (char c : text)
            SendMessageA(box, WM_CHAR, static_cast<BYTE>(c), 1);
    }
    static void key(HWND box, WPARAM key) { SendMessageA(box, WM_KEYDOWN, key, 1); }
    static void mouse(UINT message, int x, int y) {
        SendMessageA(list().window, message, 0, MAKELPARAM(x, y));
    }
    static int rowMiddle(int row) { return 1 + row * (rowHeight() + 2) + rowHeight() / 2; }
};

using Entries = std::vector<std::string>;

// A first start's Path is the current folder; Alt+Down or the arrow shows earlier texts to take.
TEST_F(DropDownTest, AltDownOrTheMouseShowsTheEarlierTextsAndTakesOne) {
    char current[MAX_PATH];
    EXPECT_EQ(boxText(windows().pathBox),
              std::string(current, GetCurrentDirectoryA(MAX_PATH, current)));
    tree.write("a.txt", "alpha beta\n");
    search("alpha", tree.root());
    search("beta", tree.root());
    SetFocus(windows().findBox);
    SendMessageA(windows().findBox, WM_SYSKEYDOWN, VK_DOWN, 1 << 29);  // Alt+Down
    ASSERT_TRUE(shown());
    EXPECT_EQ(list().entries, (Entries{"beta", "alpha"}));
    EXPECT_EQ(list().rows.selected, 0);
    RECT box, below;
    GetWindowRect(windows().findBox, &box);
    GetWindowRect(list().window, &below);
    EXPECT_EQ(std::make_pair(below.left, below.top), std::make_pair(box.left, box.bottom));
    UpdateWindow(list().window);
    const Dib drawn(list().window, below.right - below.left, below.bottom - below.top);
    const int width = below.right - below.left;
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_GT(drawn.count(highlight, 0, rowMiddle(0) - 2, width, rowMiddle(0) + 2), width);
    EXPECT_GT(drawn.count(kBlackPixel, 0, rowMiddle(1) - 4, width, rowMiddle(1) + 4), 5)
        << "the earlier text is drawn";
    key(windows().findBox, VK_DOWN);
    pressEnter(windows().findBox);
    EXPECT_EQ(std::tuple(shown(), boxText(windows().findBox), p().runState),
              std::tuple(false, "alpha", RunState::Idle));
    pressEnter(windows().findBox);
    EXPECT_EQ(p().runState, RunState::StartRequested) << "Enter with the list closed searches";
    SendMessageA(list().pathButton, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ASSERT_TRUE(shown());
    EXPECT_EQ(std::tuple(list().box, GetFocus(), GetCapture()),
              std::tuple(windows().pathBox, windows().pathBox, list().window));
    mouse(WM_LBUTTONDOWN, -5, -5);
    EXPECT_FALSE(shown());
    EXPECT_NE(GetCapture(), list().window);
    SetWindowTextA(windows().findBox, "");
    SendMessageA(list().findButton, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    mouse(WM_MOUSEMOVE, 10, rowMiddle(1));
    EXPECT_EQ(list().rows.selected, 1);
    mouse(WM_LBUTTONUP, 10, rowMiddle(1));
    EXPECT_EQ(std::tuple(shown(), boxText(windows().findBox)), std::tuple(false, "alpha"));
}

// F4 opens the list; typing filters it, Delete removes from the history, Esc and Tab close it. In
// the Path box, the folders after the last ";" are offered; the one chosen completes that entry.
TEST_F(DropDownTest, TypingFiltersDeleteRemovesEscClosesAndThePathBoxOffersFolders) {
    tree.write("a.txt", "alpha one\nbeta two\nalpha three\n");
    for (const char* find : {"alpha one", "beta two", "alpha three"})
        search(find, tree.root());
    SetWindowTextA(windows().findBox, "");
    SetFocus(windows().findBox);
    key(windows().findBox, VK_F4);
    EXPECT_EQ(list().entries, (Entries{"alpha three", "beta two", "alpha one"}));
    type(windows().findBox, "AL");
    EXPECT_EQ(list().entries, (Entries{"alpha three", "alpha one"}));
    key(windows().findBox, VK_DOWN);
    key(windows().findBox, VK_DELETE);
    EXPECT_EQ(list().entries, Entries{"alpha one"});
    EXPECT_EQ(p().settings.history.find.entries(), (Entries{"beta two", "alpha one"}));
    EXPECT_EQ(boxText(windows().findBox), "AL") << "Delete took an entry, not a letter";
    type(windows().findBox, "x");
    EXPECT_FALSE(shown()) << "nothing left to show";
    key(windows().findBox, VK_F4);
    ASSERT_TRUE(shown());
    key(windows().findBox, VK_ESCAPE);
    EXPECT_FALSE(shown());
    p().results.selectRow(0);
    key(windows().findBox, VK_DOWN);
    EXPECT_EQ(p().results.selectedRow(), 1);
    key(windows().findBox, VK_F4);
    key(windows().findBox, VK_TAB);
    EXPECT_EQ(std::tuple(shown(), GetFocus()), std::tuple(false, windows().pathBox));
    tree.write("tree/subway/a.txt", "");
    tree.write("tree/submarine.txt", "");
    tree.write("tree/other/b.txt", "");
    SetWindowTextA(windows().pathBox, "C:\\x;");
    focusAtEnd(windows().pathBox);
    const std::string folder = tree.path("tree") + "\\";
    type(windows().pathBox, folder + "subw");
    ASSERT_EQ(list().entries, Entries{folder + "subway"});
    key(windows().pathBox, VK_DOWN);
    pressEnter(windows().pathBox);
    EXPECT_EQ(std::tuple(shown(), boxText(windows().pathBox), p().runState),
              std::tuple(false, "C:\\x;" + folder + "subway", RunState::Idle));
    type(windows().pathBox, "\\");
    EXPECT_EQ(list().entries, Entries{folder + "subway\\a.txt"});
}

// Answers the picker from inside its modal loop: Cancel, or OK with "." (the folder shown) typed.
bool pickerOk = false;
std::string pickerTitle;
void CALLBACK answerPicker(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND picker = GetForegroundWindow();
    if (GetWindow(picker, GW_OWNER) != testProgram().windows.main) return;
    KillTimer(nullptr, timer);
    char title[128] = {};
    pickerTitle.assign(title, GetWindowTextA(picker, title, sizeof title));
    if (!pickerOk) return (void)PostMessageA(picker, WM_COMMAND, IDCANCEL, 0);
    EnumChildWindows(
        picker,
        [](HWND child, LPARAM) {
            char name[16] = {};
            GetClassNameA(child, name, sizeof name);
            if (lstrcmpiA(name, "Edit") == 0 && IsWindowVisible(child)) SetWindowTextA(child, ".");
            return TRUE;
        },
        0);
    PostMessageA(picker, WM_COMMAND, IDOK, 0);
}

// Ctrl+B's picker at the Path's last entry: OK takes its folder; with Shift, adds it.
TEST_F(DropDownTest, CtrlBOpensTheFolderPicker) {
    const std::string start = tree.mkdir("start");
    const std::string text = "C:\\x; " + start + " ;";
    const std::tuple<bool, bool, bool, std::string, std::string> picks[] = {
        {false, false, false, "Browse for Folder", text},
        {true, false, false, "Browse for Folder", start},
        {true, true, false, "Add Folder to Path", text + start},
        {true, true, true, "Add Folder to Path", text + start}};
    for (const auto& [ok, shift, menu, title, after] : picks) {
        SCOPED_TRACE(::testing::Message() << ok << shift << menu);
        SetWindowTextA(windows().pathBox, text.c_str());
        pickerOk = ok;
        pickerTitle.clear();
        SetTimer(nullptr, 0, 100, answerPicker);
        holdKeys(!menu, shift);
        if (menu)
            PostMessageA(windows().main, WM_COMMAND, IDM_BROWSE_FOLDER, 0);
        else
            postKey(windows().findBox, 'B');
        drain();
        holdKeys(false, false);
        EXPECT_EQ(pickerTitle, title);
        EXPECT_EQ(boxText(windows().pathBox), after);
    }
}

}  // namespace
}  // namespace tarvo::testing
