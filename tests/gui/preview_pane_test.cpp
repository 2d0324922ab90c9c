#include "preview/preview_pane_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "gui/pane_test_support.h"
#include "results/results_pane_win32.h"
#include "view/text_drawing_win32.h"

namespace tarvo::testing {
namespace {

constexpr COLORREF kWhitePixel = RGB(255, 255, 255);
constexpr COLORREF kBlackPixel = RGB(0, 0, 0);
constexpr COLORREF kMarkPixel = RGB(255, 255, 160);
constexpr COLORREF kGreenPixel = RGB(0, 128, 0);
constexpr COLORREF kBluePixel = RGB(0, 0, 255);
constexpr COLORREF kGreyPixel = RGB(192, 192, 192);
constexpr int kDibWidth = 600;

class PreviewPaneTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        sizeMainWindow();
    }

    static HWND pane() { return program().previewPane.window(); }
    static const PreviewDocument& document() { return program().previewPane.document(); }
    static int32_t visibleLines() { return program().previewPane.position().visibleLines; }
    static int rowHeight() { return lineHeight(PreviewFont); }
    static int paneHeight() { return visibleLines() * rowHeight(); }
    // The line in the pane's first row, as the scroll bar shows it.
    static int32_t shownTopLine() { return scrollBar(pane()).nPos; }

    // The whole pane drawn into a black bitmap kDibWidth wide, so that
    // every pixel the paint leaves alone shows.
    static std::unique_ptr<Dib> paintIntoBitmap() {
        auto dib = std::make_unique<Dib>(kDibWidth, paneHeight());
        PatBlt(dib->dc(), 0, 0, kDibWidth, paneHeight(), BLACKNESS);
        program().previewPane.paint(dib->dc());
        return dib;
    }
    // Pixels of a colour in row r that stand in a column holding a pixel of
    // another colour in the same row: text drawn on a mark box.
    static int countOnColumnsWith(const Dib& dib, int row, COLORREF colour, COLORREF column) {
        const int top = row * rowHeight();
        const int bottom = top + rowHeight();
        int n = 0;
        for (int x = 0; x < kDibWidth; ++x)
            if (countIn(dib, column, x, top, x + 1, bottom) > 0)
                n += countIn(dib, colour, x, top, x + 1, bottom);
        return n;
    }
};

TEST_F(PreviewPaneTest, ColouredRowsShowMarksCommentsAndKeywords) {
    const std::string file = tree.write("code.c",
                                        "int main(void) {\n"
                                        "    x = 1; /* a needle here */\n"
                                        "}\n");
    search("needle", file);
    ASSERT_EQ(document().currentPath(), file);
    EXPECT_EQ(boxText(program().windows.fileBox), file);
    ASSERT_EQ(document().lineCount(), 4);
    EXPECT_EQ(program().previewPane.position().targetLine, 2);
    EXPECT_EQ(shownTopLine(), 1);  // line 2 near the start stays in its own row

    auto dib = paintIntoBitmap();
    const int h = rowHeight();
    {
        SCOPED_TRACE("line 1: a grey line number and a blue keyword, no marks");
        EXPECT_GT(countIn(*dib, kGreyPixel, 0, 0, kDibWidth, h), 5);
        EXPECT_GT(countIn(*dib, kBluePixel, 0, 0, kDibWidth, h), 10);
        EXPECT_EQ(countIn(*dib, kMarkPixel, 0, 0, kDibWidth, h), 0);
    }
    {
        SCOPED_TRACE("line 2: the term on a yellow box in green, the rest of the comment green");
        EXPECT_GT(countIn(*dib, kMarkPixel, 0, h, kDibWidth, 2 * h), 20);
        const int greenOnMark = countOnColumnsWith(*dib, 1, kGreenPixel, kMarkPixel);
        EXPECT_GT(greenOnMark, 10);
        EXPECT_GT(countIn(*dib, kGreenPixel, 0, h, kDibWidth, 2 * h), greenOnMark);
        EXPECT_EQ(countOnColumnsWith(*dib, 1, kBlackPixel, kMarkPixel), 0);
        EXPECT_EQ(countIn(*dib, kBluePixel, 0, h, kDibWidth, 2 * h), 0);
    }
    {
        SCOPED_TRACE("below the last line: white");
        const int below = document().lineCount() * h;
        EXPECT_EQ(countIn(*dib, kWhitePixel, 0, below, kDibWidth, paneHeight()),
                  kDibWidth * (paneHeight() - below));
    }

    {
        SCOPED_TRACE("a file off the highlight list: marks in black, no colours");
        const std::string notes = tree.write("notes.txt", "int x; /* needle */\n");
        program().previewPane.showFile(notes.c_str(), 1);
        auto plain = paintIntoBitmap();
        EXPECT_GT(countIn(*plain, kMarkPixel, 0, 0, kDibWidth, h), 20);
        EXPECT_GT(countOnColumnsWith(*plain, 0, kBlackPixel, kMarkPixel), 10);
        EXPECT_EQ(countIn(*plain, kBluePixel, 0, 0, kDibWidth, h), 0);
        EXPECT_EQ(countIn(*plain, kGreenPixel, 0, 0, kDibWidth, h), 0);
    }
}

TEST_F(PreviewPaneTest, ShowFileCentresTheLineAndSkipsRepeats) {
    std::string lines;
    for (int i = 1; i <= 300; ++i)
        lines += "line " + std::to_string(i) + "\n";
    const std::string file = tree.write("long.c", lines);
    const int32_t visible = visibleLines();
    ASSERT_GT(visible, 10);

    program().previewPane.showFile(file.c_str(), 100);
    ASSERT_EQ(document().lineCount(), 301);
    EXPECT_EQ(shownTopLine(), 100 - visible / 2);
    SCROLLINFO bar = scrollBar(pane());
    EXPECT_EQ(bar.nMin, 1);
    EXPECT_EQ(bar.nMax, 302);
    EXPECT_EQ(static_cast<int32_t>(bar.nPage), visible);

    program().previewPane.showFile(file.c_str(), 5);
    EXPECT_EQ(shownTopLine(), 1);

    {
        SCOPED_TRACE("the same file is not read again");
        std::filesystem::remove(file);
        program().previewPane.showFile(file.c_str(), 50);
        EXPECT_EQ(document().lineCount(), 301);
        EXPECT_EQ(shownTopLine(), 50 - visible / 2);
    }
    {
        SCOPED_TRACE("the same line is not repainted");
        HDC kept = program().previewPane.keptDc();
        SelectObject(kept, GetStockObject(BLACK_BRUSH));
        PatBlt(kept, 0, 0, 4, 4, BLACKNESS);
        program().previewPane.showFile(file.c_str(), 50);
        EXPECT_EQ(GetPixel(kept, 1, 1), kBlackPixel);
        program().previewPane.showFile(file.c_str(), 51);
        EXPECT_EQ(GetPixel(kept, 1, 1), kWhitePixel);
    }
    {
        SCOPED_TRACE("scroll bar requests, clamped by the scroll bar");
        SendMessageA(pane(), WM_VSCROLL, SB_BOTTOM, 0);
        EXPECT_EQ(shownTopLine(), 302 - visible + 1);
        SendMessageA(pane(), WM_VSCROLL, SB_LINEDOWN, 0);
        EXPECT_EQ(shownTopLine(), 302 - visible + 1);
        SendMessageA(pane(), WM_VSCROLL, SB_PAGEUP, 0);
        EXPECT_EQ(shownTopLine(), 302 - 2 * visible + 1);
        SendMessageA(pane(), WM_VSCROLL, SB_TOP, 0);
        EXPECT_EQ(shownTopLine(), 1);
        SendMessageA(pane(), WM_VSCROLL, SB_LINEUP, 0);
        EXPECT_EQ(shownTopLine(), 1);
        EXPECT_EQ(program().previewPane.position().topLine, 1);
    }
    {
        SCOPED_TRACE("the wheel, handed on by the main window: 4 lines a notch");
        RECT area;
        GetWindowRect(pane(), &area);
        const LPARAM over = MAKELPARAM(area.left + 50, area.top + 20);
        HWND main = program().windows.main;
        SendMessageA(main, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-240)), over);
        EXPECT_EQ(shownTopLine(), 9);
        SendMessageA(main, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-60)), over);
        EXPECT_EQ(shownTopLine(), 9);
        SendMessageA(main, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), over);
        EXPECT_EQ(shownTopLine(), 5);
    }
    {
        SCOPED_TRACE("the empty path empties the pane and the File box");
        program().previewPane.showFile("", 0);
        EXPECT_EQ(document().lineCount(), 0);
        EXPECT_EQ(boxText(program().windows.fileBox), "");
        auto dib = paintIntoBitmap();
        EXPECT_EQ(countIn(*dib, kWhitePixel, 0, 0, kDibWidth, paneHeight()),
                  kDibWidth * paneHeight());
    }
}

// Files that are hard to show: each is shown safely, cut where a row ends.
TEST_F(PreviewPaneTest, HostileFilesAreShownSafely) {
    const int h = rowHeight();
    {
        SCOPED_TRACE("a binary file: NUL bytes and no line feed for 3 MB");
        std::string bytes(3 * 1000 * 1000, '\0');
        for (size_t i = 0; i < bytes.size(); i += 7)
            bytes[i] = static_cast<char>('A' + i % 50);
        const std::string file = tree.write("blob.h", bytes);
        program().previewPane.showFile(file.c_str(), 1);
        EXPECT_EQ(document().lineCount(), 1);
        auto dib = paintIntoBitmap();
        EXPECT_GT(countIn(*dib, kGreyPixel, 0, 0, kDibWidth, h), 5);  // its line number
    }
    {
        SCOPED_TRACE("a file of 10,000,000 bytes shows its first 9,999,999");
        std::string bytes;
        bytes.reserve(10000000);
        while (bytes.size() < 10000000)
            bytes += std::string(99, 'x') + "\n";
        const std::string file = tree.write("big.c", bytes);
        program().previewPane.showFile(file.c_str(), 100000);
        EXPECT_EQ(document().lineCount(), 100000);               // the last line lost its line feed
        EXPECT_EQ(shownTopLine(), 100000 - visibleLines() + 2);  // the scroll bar's last place
        auto dib = paintIntoBitmap();
        EXPECT_GT(countIn(*dib, kBlackPixel, 0, 0, kDibWidth, paneHeight()), 100);
    }
    {
        SCOPED_TRACE("a line of 1 MB is cut at the row's 499 bytes");
        const std::string file =
            tree.write("wide.c", std::string(1 << 20, 'w') + "\nint needle;\n");
        program().previewPane.showFile(file.c_str(), 2);
        EXPECT_EQ(document().lineCount(), 3);
        auto dib = paintIntoBitmap();
        EXPECT_GT(countIn(*dib, kBlackPixel, 0, 0, kDibWidth, h), 100);
        EXPECT_GT(countIn(*dib, kBluePixel, 0, h, kDibWidth, 2 * h), 10);
    }
    {
        SCOPED_TRACE("a path of 300 characters that cannot be opened");
        const std::string longPath = tree.path(std::string(299 - tree.root().size(), 'q'));
        ASSERT_EQ(longPath.size(), 300u);
        program().previewPane.showFile(longPath.c_str(), 7);
        EXPECT_EQ(document().currentPath(), longPath);
        EXPECT_EQ(document().lineCount(), 0);
        EXPECT_EQ(boxText(program().windows.fileBox), longPath);
    }
}

TEST_F(PreviewPaneTest, FileDeletedBeforeItsSelectionTurnsThePaneWhiteAtOnce) {
    tree.write("tree/a.c", "int needle;\nint needle2;\n");
    tree.write("tree/b.c", "needle\n");
    search("needle", tree.path("tree"));
    ResultStore& store = program().results;
    ASSERT_GE(store.count(), 2);
    store.ensureDisplayOrder();
    int32_t otherRow = 1;
    while (otherRow < store.count() &&
           store.displayEntry(otherRow).path == document().currentPath())
        ++otherRow;
    ASSERT_LT(otherRow, store.count());
    const std::string gone = store.displayEntry(otherRow).path;
    std::filesystem::remove(gone);

    // Read back from the window: the pane is on screen.
    HDC kept = program().previewPane.keptDc();
    ASSERT_NE(GetPixel(kept, 0, 0), CLR_INVALID);
    const auto inkedPixels = [&] {
        int n = 0;
        for (int y = 0; y < 2 * rowHeight(); ++y)
            for (int x = 0; x < 200; ++x)
                n += GetPixel(kept, x, y) != kWhitePixel;
        return n;
    };
    ASSERT_GT(inkedPixels(), 20);  // the rows of the file shown so far

    store.selectRow(otherRow);
    EXPECT_EQ(document().currentPath(), gone);
    EXPECT_EQ(document().lineCount(), 0);
    EXPECT_EQ(boxText(program().windows.fileBox), gone);
    // Repainted at once: the old file's rows do not stay under the new path.
    EXPECT_EQ(inkedPixels(), 0);
}

}  // namespace
}  // namespace tarvo::testing
