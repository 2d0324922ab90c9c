// The results list and the preview on the real main window, read back in pixels.
#include "gui/gui_support.h"
#include "preview/preview_pane_rules.h"
#include "results/results_pane_rules.h"
#include "results/results_pane_win32.h"
#include "support/repeated.h"

namespace tarvo::testing {
namespace {

constexpr COLORREF kGreenPixel = RGB(0, 128, 0);
constexpr COLORREF kBluePixel = RGB(0, 0, 255);
std::vector<int32_t> drawnRows;  // the rows the list drew, not skipped by its cache

class Panes : public ProgramTest {
protected:
    // 200 results: 50 files of 4 lines of different shapes and scores.
    void fillList() {
        for (int i = 0; i < 50; ++i)
            tree.write("tree/f" + std::to_string(10 + i) + ".c",
                       "int needle(void) {\n    x = needle;\n// needle\nneedle\n");
        search("needle", tree.path("tree"));
        ASSERT_EQ(store().count(), 200);
        p().resultsPane.rowDrawn = [](int32_t row) { drawnRows.push_back(row); };
    }
    static ResultStore& store() { return p().results; }
    static HWND list() { return p().resultsPane.window(); }
    static const ResultEntry& entryAt(int32_t row) {
        store().ensureDisplayOrder();
        return store().displayEntry(row);
    }
    // Pixels of rows [top, top + height) differing between `paint` and `texts` (x, colour, text).
    static int differingPixels(const std::function<void(HDC)>& paint, FontIndex font, int top,
                               int height,
                               const std::vector<std::tuple<int, COLORREF, std::wstring>>& texts) {
        Dib drawn(800, top + height), expected(800, top + height);
        paint(drawn.dc());
        SelectObject(expected.dc(), p().fonts.handle(font));
        SetBkMode(expected.dc(), TRANSPARENT);
        for (const auto& [x, colour, text] : texts) {
            SetTextColor(expected.dc(), colour);
            TextOutW(expected.dc(), x, top, text.c_str(), static_cast<int>(text.size()));
        }
        int differ = 0;
        for (int y = top; y < top + height; ++y)
            for (int x = std::get<0>(texts.front()); x < 800; ++x)
                differ += drawn.at(x, y) != expected.at(x, y);
        return differ;
    }
    // Pixels of `colour` in row `row` (from the top) of what the preview paints.
    static int inPreviewRow(COLORREF colour, int row) {
        RECT area;
        GetClientRect(p().previewPane.window(), &area);
        const int h = rowHeight(FontIndex::Preview);
        return Dib(p().previewPane, area.right, area.bottom)
            .count(colour, 0, row * h, area.right, (row + 1) * h);
    }
    static std::vector<int32_t> rowsFrom(int32_t from) {
        std::vector<int32_t> rows;
        for (int32_t row = from; row < store().firstVisibleRow() + store().visibleRows(); ++row)
            rows.push_back(row);
        return rows;
    }
};

// Row colours and marks, the row cache, keys handed on by a box, a second pane, sorts, opening.
TEST_F(Panes, RowsHaveTheirColoursAndCacheKeysMoveTheSelectionAHeaderClickSortsAndTheMouseOpens) {
    fillList();
    const int h = rowHeight();
    const Dib dib(p().resultsPane, 800, 2 * h);
    const int lineX = p().layout.columns.lineX;
    EXPECT_EQ(std::tuple(dib.at(2, h / 2), dib.at(2, h + h / 2)),
              std::tuple(GetSysColor(COLOR_HIGHLIGHT), kWhitePixel));
    EXPECT_GT(dib.count(GetSysColor(COLOR_HIGHLIGHTTEXT), 0, 0, 800, h), 20);
    EXPECT_GT(dib.count(kBlackPixel, 0, h, 800, 2 * h), 20);
    EXPECT_EQ(dib.count(kMarkPixel, 0, 0, 800, h) + dib.count(kMarkPixel, 0, h, lineX, 2 * h), 0);
    EXPECT_EQ(dib.count(kMarkPixel, lineX, h, 800, h + 1),
              p().fonts.textWidth("needle", FontIndex::Interface));
    for (int i = 0; i < 10; ++i)
        SendMessageA(list(), WM_VSCROLL, SB_LINEDOWN, 0);
    const int32_t first = store().firstVisibleRow();
    ASSERT_EQ(first, 10);
    SendMessageA(list(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 3 * rowHeight() + 1));
    const ResultEntry top = entryAt(0);
    // Longer than the 263 characters a fixed cache slot would hold.
    const std::string longPath = tree.path(std::string(299 - tree.root().size(), 'p'));
    const std::pair<std::function<void()>, std::vector<int32_t>> changes[] = {
        {[] {}, {}},
        {[&] { store().addResult(top.score + 1000, top.path.c_str(), 9, "needle"); },
         rowsFrom(first)},  // above the view: every row moved
        {[&] { store().addResult(-1, tree.path("zzz.c").c_str(), 0, ""); }, {}},  // below
        {[&] { store().addResult(top.score + 2000, longPath.c_str(), 1, "needle"); },
         rowsFrom(first)},
        {[&] {
             // Equal in every key to the row at view position 6: goes right after it.
             const ResultEntry twin = entryAt(first + 6);
             store().addResult(twin.score, twin.path.c_str(), twin.lineNumber,
                               twin.lineText.c_str());
         },
         rowsFrom(first + 7)},
        // Down in the Find box: the old and the new selected row.
        {[] { SendMessageA(windows().findBox, WM_KEYDOWN, VK_DOWN, 0); }, {first + 5, first + 6}},
        {[] { InvalidateRect(list(), nullptr, FALSE); }, rowsFrom(first)},  // WM_PAINT: all
    };
    int step = 0;
    for (const auto& [change, drawn] : changes) {
        SCOPED_TRACE(step++);
        drawnRows.clear();
        change();
        UpdateWindow(list());
        p().resultsPane.paint(nullptr);
        EXPECT_EQ(drawnRows, drawn);
    }
    // The wheel over the list, sent to the main window, scrolls without selecting.
    SendMessageA(windows().main, WM_MOUSEWHEEL, MAKEWPARAM(0, -240), pointIn(list(), 50, 50));
    EXPECT_EQ(std::tuple(store().firstVisibleRow(), store().selectedRow()),
              std::tuple(first + 4, first + 6));
    EXPECT_EQ(p().previewPane.document().currentPath(), entryAt(first + 6).path);
    // Which keys a box hands on to the list (Down: the cache's step above).
    const std::tuple<WPARAM, bool, bool> keys[] = {{VK_UP, false, true},   {VK_PRIOR, false, true},
                                                   {VK_NEXT, false, true}, {VK_END, false, false},
                                                   {VK_HOME, true, true},  {VK_END, true, true},
                                                   {VK_LEFT, true, false}};
    for (HWND box : {windows().findBox, windows().pathBox, windows().fileBox}) {
        for (const auto& [key, control, listKey] : keys) {
            SCOPED_TRACE(::testing::Message() << key << " " << control << " in box " << box);
            holdKeys(control, false);
            store().selectRow(100);
            SendMessageA(list(), WM_KEYDOWN, key, 0);
            const int32_t inList = listKey ? store().selectedRow() : 100;
            EXPECT_TRUE(!listKey || inList != 100) << "the key moves the list";
            store().selectRow(100);
            SendMessageA(box, WM_KEYDOWN, key, 0);
            EXPECT_EQ(store().selectedRow(), inList);
        }
    }
    ResultStore ownStore;
    TermTable ownTerms;
    ResultsPane second(ownStore, ownTerms, p().fonts);
    second.create(windows().main, "Second", WS_CHILD, GetModuleHandleA(nullptr));
    for (int line = 1; line <= 3; ++line)
        ownStore.addResult(1000 - line, "own.c", line, "text");
    const int32_t programs = store().selectedRow();
    for (HWND pane : {second.window(), list()})
        SendMessageA(pane, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(std::tuple(ownStore.selectedRow(), store().selectedRow()),
              std::tuple(1, programs + 1));
    DestroyWindow(second.window());
    store().selectRow(120);
    const ResultEntry chosen = entryAt(120);
    const MainLayout& l = p().layout;
    const std::pair<const LayoutRect*, SortMode> clicks[] = {{&l.fileHeader, SortMode::ByFileName},
                                                             {&l.lineHeader, SortMode::ByLineText},
                                                             {&l.rankHeader, SortMode::ByRank}};
    bool moved = false;
    for (const auto& [header, mode] : clicks) {
        SCOPED_TRACE(static_cast<int>(mode));
        drawnRows.clear();
        SendMessageA(
            windows().main, WM_LBUTTONDOWN, MK_LBUTTON,
            MAKELPARAM((header->left + header->right) / 2, (header->top + header->bottom) / 2));
        EXPECT_EQ(store().sortMode(), mode);
        const int32_t row = store().selectedRow();
        moved |= row != 120;
        EXPECT_EQ(std::tie(entryAt(row).path, entryAt(row).lineNumber),
                  std::tie(chosen.path, chosen.lineNumber));
        EXPECT_FALSE(drawnRows.empty());
    }
    EXPECT_TRUE(moved) << "the sorts moved the entry";
    // Real mouse input (the class must ask for double-clicks); Copy Path on the right-click menu.
    holdKeys(false, false);
    store().setFirstVisibleRow(0);
    const std::string editor = recorder("ed/ed.exe");
    p().settings.editorCommand = "\"" + editor + "\" %line% %path%";
    SetForegroundWindow(windows().main);
    const DWORD down = MOUSEEVENTF_LEFTDOWN, up = MOUSEEVENTF_LEFTUP;
    mouseAt(list(), 100, 3 * rowHeight() + 3, {down, up, down, up});
    EXPECT_EQ(store().selectedRow(), 3);
    const auto opened = [&](int32_t row) {
        return "\"" + editor + "\" " + std::to_string(entryAt(row).lineNumber) + " \"" +
               entryAt(row).path + "\"\n";
    };
    EXPECT_EQ(startedWith(editor), opened(3));
    SetFocus(list());
    postKey(list(), VK_DOWN);
    postKey(list(), VK_RETURN);
    EXPECT_EQ(startedWith(editor, 2), opened(3) + opened(4));
    SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR timer, DWORD) {
        HWND menu = FindWindowA("#32768", nullptr);
        if (!menu) return;
        KillTimer(nullptr, timer);
        PostMessageA(menu, WM_CHAR, 'p', 1);  // Copy &Path
    });
    mouseAt(list(), 100, 5 * rowHeight() + 3, {MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP});
    EXPECT_EQ(store().selectedRow(), 5);
    EXPECT_EQ(clipboardText(), entryAt(5).path);
}

// A far term in the list and the preview, scrolled sideways by each means. Regression: a result
// past the 9,999,999 bytes the preview reads showed a white pane; the part around it is read.
TEST_F(Panes, FarTermsAndLinesComeIntoViewAndTheResultsLineIsBanded) {
    search("needle",
           tree.write("far.c", "int a;\n" + std::string(130, 'x') + " needle1;\nint b;\n" +
                                   std::string(9990, 'y') + " needle\n"));
    ASSERT_EQ(store().count(), 2);
    store().selectRow(1);
    RECT preview;
    const HWND pane = p().previewPane.window();
    GetClientRect(pane, &preview);
    const Dib firstRow(p().resultsPane, 800, rowHeight());
    EXPECT_GT(firstRow.count(kMarkPixel, p().layout.columns.lineX, 0, 800, 1), 20) << "its term";
    const PreviewPosition& at = p().previewPane.position();
    const auto previewShows = [&](COLORREF colour, int32_t line) {
        return inPreviewRow(colour, line - paintTopLine(at.topLine));
    };
    EXPECT_EQ(std::tuple(at.targetLine, GetScrollPos(pane, SB_HORZ)), std::tuple(4, at.leftColumn));
    EXPECT_GT(previewShows(kMarkPixel, 4), 20) << "the term, from the right";
    EXPECT_GT(previewShows(kResultLineColour, 4), preview.right / 2) << "the band";
    EXPECT_EQ(previewShows(kResultLineColour, 3), 0);
    // Null: to the focus, which the click gives to the preview.
    const std::tuple<HWND, UINT, WPARAM, LPARAM, int32_t> steps[] = {
        {windows().main, WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, 120), pointIn(pane, 50, 50),
         -kPreviewColumnsPerNotch},
        {pane, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5), 0},
        {nullptr, WM_KEYDOWN, VK_LEFT, 0, -kPreviewColumnsPerKey},
        {nullptr, WM_KEYDOWN, VK_RIGHT, 0, kPreviewColumnsPerKey},
        {pane, WM_HSCROLL, SB_LEFT, 0, -9999}};
    for (const auto& [to, message, wParam, lParam, moved] : steps) {
        SCOPED_TRACE(::testing::Message() << message << " " << wParam);
        const int32_t before = at.leftColumn;
        SendMessageA(to ? to : GetFocus(), message, wParam, lParam);
        EXPECT_EQ(at.leftColumn, std::max(before + moved, 0));
        EXPECT_EQ(GetScrollPos(pane, SB_HORZ), at.leftColumn);
    }
    EXPECT_EQ(previewShows(kMarkPixel, 4), 0) << "scrolled back to the line's start";
    store().selectRow(0);
    EXPECT_GT(previewShows(kMarkPixel, 2), 20);
    EXPECT_GT(previewShows(kResultLineColour, 2), preview.right / 2);
    const std::string line = std::string(99, 'a') + "\n";
    search("needle",
           tree.write("long.c", repeated(109999, line) + "x needle;\n" + repeated(10000, line)));
    ASSERT_EQ(store().count(), 1);
    const PreviewDocument& document = p().previewPane.document();
    EXPECT_GT(document.firstLine(), 1);
    ASSERT_LE(document.firstLine(), 110000);
    ASSERT_GE(document.lastLine(), 110000);
    const int row = 110000 - at.topLine;
    ASSERT_GT(row, 2);
    EXPECT_GT(inPreviewRow(kMarkPixel, row), 20) << "the term";
    EXPECT_GT(inPreviewRow(kResultLineColour, row), preview.right / 2) << "the band";
    for (const int other : {0, row - 1, row + 1})
        EXPECT_GT(inPreviewRow(kBlackPixel, other), 20) << "the line in row " << other;
    SCROLLINFO bar = {};
    bar.cbSize = sizeof bar;
    bar.fMask = SIF_RANGE;
    GetScrollInfo(pane, SB_VERT, &bar);
    EXPECT_EQ(std::make_pair(bar.nMin, bar.nMax),
              std::make_pair(document.firstLine(), document.lastLine() + 1));
}

// Texts drawn as their characters (UTF-8, Latin-1), in the preview's colours, or why they cannot.
TEST_F(Panes, TextsAreDrawnAsTheirCharactersInTheirColoursOrWhyTheyCannotBe) {
    store().addResult(2, "E:\\J\xc3\xbcrgen\\caf\xc3\xa9.c", 1, "first");
    store().addResult(1, "D:\\\xd0\x96\\\xe6\x97\xa5\xe6\x9c\xac.c", 7,
                      "// na\xc3\xafve \xd0\x96 \xe6\x97\xa5\xe6\x9c\xac");
    const int h = rowHeight();
    EXPECT_EQ(differingPixels(
                  [&](HDC dc) { p().resultsPane.paint(dc); }, FontIndex::Interface, h, h,
                  {{p().layout.columns.pathX, kBlackPixel, L"D:\\\u0416\\\u65e5\u672c.c (7)"},
                   {p().layout.columns.lineX, kBlackPixel, L"// na\u00efve \u0416 \u65e5\u672c"}}),
              0);
    p().previewPane.showFile(
        tree.write("enc.txt", "caf\xc3\xa9\n\xfc caf\xe9 na\xefve \xa9 \x80\nJ\xc3\xbcrgen\n")
            .c_str(),
        3);
    const int ph = rowHeight(FontIndex::Preview);
    for (const auto& [line, text] :
         {std::make_pair(1, L"caf\u00e9"),
          std::make_pair(2, L"\u00fc caf\u00e9 na\u00efve \u00a9 \u20ac")}) {
        SCOPED_TRACE(line);
        const std::string gutter = "     " + std::to_string(line) + "  ";
        EXPECT_EQ(differingPixels([&](HDC dc) { p().previewPane.paint(dc); }, FontIndex::Preview,
                                  (line - 1) * ph, ph,
                                  {{0, kGutterColour, std::wstring(gutter.begin(), gutter.end())},
                                   {p().fonts.textWidth(gutter.c_str(), FontIndex::Preview),
                                    kBlackPixel, std::wstring(text) + L" "}}),
                  0);
    }
    search("needle", tree.write("code.c", "int main(void) {\n/* a needle */\n}\n"));
    ASSERT_EQ(store().count(), 1);
    ASSERT_EQ(p().previewPane.document().lineCount(), 4);
    EXPECT_EQ(p().previewPane.position().targetLine, 2);
    Dib dib(600, 600);
    PatBlt(dib.dc(), 0, 0, 600, 600, BLACKNESS);  // every pixel the paint leaves shows
    p().previewPane.paint(dib.dc());
    // Line 1: a grey line number and a blue keyword, no marks; line 2, a comment: green, marked.
    EXPECT_GT(dib.count(kGutterColour, 0, 0, 600, ph), 5);
    EXPECT_GT(dib.count(kBluePixel, 0, 0, 600, ph), 10);
    EXPECT_EQ(dib.count(kMarkPixel, 0, 0, 600, ph), 0);
    EXPECT_GT(dib.count(kMarkPixel, 0, ph, 600, 2 * ph), 20);
    EXPECT_GT(dib.count(kGreenPixel, 0, ph, 600, 2 * ph), 10);
    EXPECT_EQ(
        dib.count(kBlackPixel, 0, ph, 600, 2 * ph) + dib.count(kBluePixel, 0, ph, 600, 2 * ph), 0);
    EXPECT_EQ(dib.count(kWhitePixel, 0, 4 * ph, 600, 600), 600 * (600 - 4 * ph)) << "below the end";
    // Regression: a deleted file showed its old rows, then a white pane; now the system's reason.
    tree.write("tree/a.c", "int needle;\nint needle2;\n");
    tree.write("tree/b.c", "needle\n");
    search("needle", tree.path("tree"));
    int32_t other = 1;
    while (entryAt(other).path == p().previewPane.document().currentPath())
        ++other;
    const std::string gone = entryAt(other).path;
    std::filesystem::remove(gone);
    const auto inked = [ph](int row) {
        const Dib shown(p().previewPane.keptDc(), 200, 2 * ph);
        return 200 * ph - shown.count(kWhitePixel, 0, row * ph, 200, (row + 1) * ph);
    };
    ASSERT_GT(inked(1), 20);
    store().selectRow(other);
    EXPECT_EQ(
        std::tuple(p().previewPane.document().lineCount(), boxText(windows().fileBox), inked(1)),
        std::tuple(0, gone, 0));
    EXPECT_GT(inked(0), 20);
    wchar_t message[512];
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, ERROR_FILE_NOT_FOUND, 0, message, 512, nullptr);
    std::wstring expected = L"cannot open " + std::wstring(gone.begin(), gone.end()) + L": " +
                            std::wstring(message, length);
    expected.erase(expected.find_last_not_of(L"\r\n ") + 1);
    EXPECT_EQ(differingPixels([](HDC dc) { p().previewPane.paint(dc); }, FontIndex::Preview, 0, ph,
                              {{0, kBlackPixel, expected}}),
              0);
}

}  // namespace
}  // namespace tarvo::testing
