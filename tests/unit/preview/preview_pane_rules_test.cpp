#include "preview/preview_pane_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/term_table.h"
#include "preview/preview_document.h"
#include "support/temp_tree.h"
#include "view/text_class.h"

namespace tarvo {
namespace {

using testing::TempTree;

constexpr const char* kHighlightList = ".c;.cpp;.cxx;.h";

TEST(PreviewCentring, PutsTheLineInTheMiddleOrInItsOwnRowNearTheStart) {
    {
        SCOPED_TRACE("20 rows, line 100: lines 90 to 109, line 100 in the eleventh row");
        int32_t top = paintTopLine(centredTopLine(100, 20));
        PreviewPaintPlan plan = planPreviewPaint(top, 20, 500, 13);
        EXPECT_EQ(plan.firstLine, 90);
        EXPECT_EQ(plan.endLine, 110);
        EXPECT_EQ(100 - plan.firstLine, 10);
        EXPECT_EQ(plan.blankTop, 20 * 13);
    }
    {
        SCOPED_TRACE("20 rows, line 5: lines 1 to 20");
        EXPECT_EQ(centredTopLine(5, 20), -5);
        PreviewPaintPlan plan = planPreviewPaint(paintTopLine(centredTopLine(5, 20)), 20, 500, 13);
        EXPECT_EQ(plan.firstLine, 1);
        EXPECT_EQ(plan.endLine, 21);
    }
    {
        SCOPED_TRACE("before the first repaint the line goes to the first row");
        EXPECT_EQ(centredTopLine(42, 0), 42);
    }
    {
        SCOPED_TRACE("near the end: rows stop at the last line, white below");
        PreviewPaintPlan plan = planPreviewPaint(95, 20, 100, 13);
        EXPECT_EQ(plan.endLine, 101);
        EXPECT_EQ(plan.blankTop, 6 * 13);
    }
    {
        SCOPED_TRACE("no lines: the whole pane is white");
        PreviewPaintPlan plan = planPreviewPaint(1, 20, 0, 13);
        EXPECT_EQ(plan.endLine, plan.firstLine);
        EXPECT_EQ(plan.blankTop, 0);
    }
}

TEST(PlanShowFile, ReloadsOnlyAnotherFileAndRepaintsOnlyAnotherLine) {
    PreviewPosition position;
    {
        SCOPED_TRACE("before the first repaint: the line goes to the first row");
        EXPECT_EQ(planShowFile(position, false, 42), ShowFileStep::LoadAndRepaint);
        EXPECT_EQ(position.targetLine, 42);
        EXPECT_EQ(position.topLine, 42);
    }
    position.visibleLines = 20;
    {
        SCOPED_TRACE("the same line of the same file does nothing");
        EXPECT_EQ(planShowFile(position, true, 42), ShowFileStep::Nothing);
        EXPECT_EQ(position.topLine, 42);
    }
    {
        SCOPED_TRACE("another line of the same file re-centres without reading it");
        EXPECT_EQ(planShowFile(position, true, 100), ShowFileStep::Repaint);
        EXPECT_EQ(position.targetLine, 100);
        EXPECT_EQ(position.topLine, 90);
    }
    {
        SCOPED_TRACE("the same line in another file is loaded");
        EXPECT_EQ(planShowFile(position, false, 100), ShowFileStep::LoadAndRepaint);
    }
    {
        SCOPED_TRACE("line 0 (results cleared) stands for line 1");
        EXPECT_EQ(planShowFile(position, false, 0), ShowFileStep::LoadAndRepaint);
        EXPECT_EQ(position.targetLine, 1);
        EXPECT_EQ(paintTopLine(position.topLine), 1);
        EXPECT_EQ(planShowFile(position, true, 0), ShowFileStep::Nothing);
    }
}

TEST(PreviewScrollBar, RunsOnePastTheLastLine) {
    ScrollBarState bar = previewScrollBar(true, 100, 20, 90);
    EXPECT_EQ(bar.min, 1);
    EXPECT_EQ(bar.max, 101);
    EXPECT_EQ(bar.page, 20);
    EXPECT_EQ(bar.pos, 90);
    {
        SCOPED_TRACE("Bottom puts the last line in the second-to-last row");
        int32_t top = clampScrollPosition(
            bar, requestedScrollPosition(bar, Bottom, false, kPreviewLinesPerNotch));
        EXPECT_EQ(top, 82);
        EXPECT_EQ(100 - top, 18);  // row 19 of 20 (0-based 18)
    }
    {
        SCOPED_TRACE("one wheel notch turns 4 lines");
        EXPECT_EQ(requestedScrollPosition(bar, 0xFF880000u, true, kPreviewLinesPerNotch), 94);
    }
    {
        SCOPED_TRACE("no file: nMax -1");
        EXPECT_EQ(previewScrollBar(false, 0, 20, 1).max, -1);
    }
}

class PreviewRow : public ::testing::Test {
protected:
    struct Row {
        std::string text;
        std::vector<uint8_t> attrs;
    };
    Row row(int32_t line) {
        Row r;
        buildPreviewRow(doc, line, terms, r.text, r.attrs);
        EXPECT_EQ(r.attrs.size(), r.text.size());
        return r;
    }
    TempTree tree;
    PreviewDocument doc;
    TermTable terms;
};

TEST_F(PreviewRow, GutterIsEightBytesRightAligned) {
    ASSERT_TRUE(doc.loadDocument(tree.write("a.c", "a\nb\nc\nd\ne\nf\nx7 int\n"), kHighlightList));
    terms.parseTerms("7");
    Row r = row(7);
    EXPECT_EQ(r.text, "     7  x7 int\n");
    for (int i = 0; i < kGutterBytes; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(r.attrs[i], Gutter);  // the "7" of the line number is not marked
    }
    EXPECT_EQ(r.attrs[9], MarkBit);  // the "7" of the line is
    EXPECT_EQ(r.attrs[11], Keyword);
    EXPECT_EQ(r.attrs[14], Plain);
}

TEST_F(PreviewRow, ASevenDigitLineNumberKeepsAnEightByteGutter) {
    ASSERT_TRUE(doc.loadDocument(tree.write("many.c", std::string(1234566, '\n')), kHighlightList));
    ASSERT_EQ(doc.lineCount(), 1234567);
    Row r = row(1234567);
    EXPECT_EQ(r.text, "1234567  ");
    EXPECT_EQ(r.attrs[7], Gutter);
    EXPECT_EQ(r.attrs[8], Plain);
}

TEST_F(PreviewRow, ALongLineIsCutAt499BytesInAll) {
    std::string longLine(1000000, 'q');
    ASSERT_TRUE(doc.loadDocument(tree.write("long.c", longLine + "\nend\n"), kHighlightList));
    Row r = row(1);
    EXPECT_EQ(r.text.size(), static_cast<size_t>(kMaxPreviewRowBytes));
    EXPECT_EQ(r.text.substr(8), std::string(491, 'q'));
    EXPECT_EQ(row(2).text, "     2  end\n");
}

TEST_F(PreviewRow, ColoursOnlyHighlightedFilesAndStopsAtAZeroByte) {
    {
        SCOPED_TRACE("an empty file shows one gutter-only row");
        ASSERT_TRUE(doc.loadDocument(tree.write("empty.c", ""), kHighlightList));
        Row r = row(1);
        EXPECT_EQ(r.text, "     1  ");
        EXPECT_EQ(r.attrs, std::vector<uint8_t>(8, Gutter));
    }
    {
        SCOPED_TRACE("a term inside a comment of a C file: green on the mark");
        terms.parseTerms("int");
        ASSERT_TRUE(doc.loadDocument(tree.write("c.c", "/* int */ int\n"), kHighlightList));
        Row r = row(1);
        EXPECT_EQ(r.attrs[11], Comment | MarkBit);
        EXPECT_EQ(r.attrs[18], Keyword | MarkBit);
    }
    {
        SCOPED_TRACE("a text file gets the marks only");
        ASSERT_TRUE(doc.loadDocument(tree.write("c.txt", "/* int */ int\n"), kHighlightList));
        Row r = row(1);
        EXPECT_EQ(r.attrs[8], Plain);
        EXPECT_EQ(r.attrs[11], MarkBit);
        EXPECT_EQ(r.attrs[18], MarkBit);
    }
    {
        SCOPED_TRACE("a zero byte ends the row");
        ASSERT_TRUE(
            doc.loadDocument(tree.write("bin.c", std::string("ab\0cd\n", 6)), kHighlightList));
        EXPECT_EQ(row(1).text, "     1  ab");
    }
}

}  // namespace
}  // namespace tarvo
