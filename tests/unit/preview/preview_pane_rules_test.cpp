#include "preview/preview_pane_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/term_table.h"
#include "preview/preview_document.h"
#include "support/temp_tree.h"
#include "view/text_class.h"

namespace tarvo {
namespace {

using namespace std::string_literals;

// The shown line goes to the middle row (line 100 of 20 rows: the eleventh),
// near the start to its own row, before the first repaint to the first row;
// rows stop at the last line with white below.
TEST(PreviewPaneRules, CentringAndPaintPlan) {
    const struct {
        int32_t line, rows, count, firstLine, endLine, blankTop;
    } cases[] = {{100, 20, 500, 90, 110, 260},
                 {5, 20, 500, 1, 21, 260},
                 {105, 20, 100, 95, 101, 78},
                 {1, 20, 0, 1, 1, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "line " << c.line << " of " << c.count);
        const PreviewPaintPlan plan =
            planPreviewPaint(paintTopLine(centredTopLine(c.line, c.rows)), c.rows, c.count, 13);
        EXPECT_EQ(std::make_tuple(plan.firstLine, plan.endLine, plan.blankTop),
                  std::make_tuple(c.firstLine, c.endLine, c.blankTop));
    }

    PreviewPosition position;
    EXPECT_EQ(planShowFile(position, false, 42), ShowFileStep::LoadAndRepaint);
    EXPECT_EQ(position.topLine, 42) << "before the first repaint";
    position.visibleLines = 20;
    EXPECT_EQ(planShowFile(position, true, 42), ShowFileStep::Nothing);
    EXPECT_EQ(planShowFile(position, true, 100), ShowFileStep::Repaint);
    EXPECT_EQ(position.topLine, 90);
    EXPECT_EQ(planShowFile(position, false, 100), ShowFileStep::LoadAndRepaint);
    EXPECT_EQ(planShowFile(position, false, 0), ShowFileStep::LoadAndRepaint);
    EXPECT_EQ(position.targetLine, 1) << "line 0 (results cleared) stands for line 1";
    EXPECT_EQ(planShowFile(position, true, 0), ShowFileStep::Nothing);

    // The scroll bar runs one past the last line: Bottom puts the last line
    // in the second-to-last row.
    const ScrollBarState bar = previewScrollBar(true, 100, 20, 90);
    EXPECT_EQ(std::make_tuple(bar.min, bar.max, bar.page, bar.pos),
              std::make_tuple(1, 101, 20, 90));
    EXPECT_EQ(clampScrollPosition(bar, requestedScrollPosition(bar, Bottom, false, 4)), 82);
    EXPECT_EQ(requestedScrollPosition(bar, 0xFF880000u, true, kPreviewLinesPerNotch), 94);
    EXPECT_EQ(previewScrollBar(false, 0, 20, 1).max, -1);
}

class PreviewRowTest : public ::testing::Test {
protected:
    void load(const std::string& name, const std::string& content) {
        ASSERT_TRUE(doc.loadDocument(tree.write(name, content), ".c;.h"));
    }
    // The row's text, and its classes as one letter per byte.
    std::pair<std::string, std::string> row(int32_t line) {
        std::string text, classes;
        std::vector<uint8_t> attrs;
        buildPreviewRow(doc, line, terms, text, attrs);
        for (uint8_t a : attrs)
            classes += static_cast<char>(a == Gutter ? 'g' : a & MarkBit ? 'A' + (a & 7) : '0' + a);
        return {text, classes};
    }
    testing::TempTree tree;
    PreviewDocument doc;
    TermTable terms;
};

// An eight-byte gutter, never marked or coloured; the row cut at 499 bytes
// or a zero byte; colours only for files on the highlight list, marks on top.
TEST_F(PreviewRowTest, GutterCutColoursAndMarks) {
    terms.parseTerms("7 int");
    load("a.c", "a\nb\nc\nd\ne\nf\nx7 int /* int */\n");
    EXPECT_EQ(row(7), std::make_pair("     7  x7 int /* int */\n"s, "gggggggg0A0EEE0333DDD3330"s));
    load("a.txt", "/* int */ int\n");
    EXPECT_EQ(row(1).second, "gggggggg000AAA0000AAA0");
    load("empty.c", "");
    EXPECT_EQ(row(1), std::make_pair("     1  "s, "gggggggg"s));
    load("bin.c", "ab\0cd\n"s);
    EXPECT_EQ(row(1).first, "     1  ab");
    load("many.c", std::string(1234566, '\n'));
    EXPECT_EQ(row(1234567), std::make_pair("1234567  "s, "gggggggg0"s));
    load("long.c", std::string(1000000, 'q') + "\nend\n");
    EXPECT_EQ(row(1).first, "     1  " + std::string(491, 'q'));
    EXPECT_EQ(row(2).first, "     2  end\n");
}

}  // namespace
}  // namespace tarvo
