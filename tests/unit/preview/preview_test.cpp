#include <gtest/gtest.h>
#include <cstdio>
#include <fstream>
#include "engine/term_table.h"
#include "preview/preview_document.h"
#include "preview/preview_pane_rules.h"
#include "support/temp_tree.h"
#include "view/marked_text.h"
#include "view/text_class.h"

namespace tarvo {
using namespace std::string_literals;

class PreviewTest : public ::testing::Test {
protected:
    bool load(const std::string& name, const std::string& content) {
        return doc.loadDocument(tree.write(name, content), ".c;.cpp;.cxx;.h");
    }
    // The row's text, and its classes as one letter per byte.
    std::pair<std::string, std::string> row(int32_t line) {
        std::string text, classes;
        std::vector<uint8_t> attrs;
        lineStart = buildPreviewRow(doc, line, terms, text, attrs);
        for (uint8_t a : attrs)
            classes += static_cast<char>(a == kGutterText ? 'g'
                                         : a & kMarkBit   ? 'A' + (a & 7)
                                                          : '0' + a);
        return {text, classes};
    }
    testing::TempTree tree;
    PreviewDocument doc;
    TermTable terms;
    int32_t lineStart = -1;  // of the last row(): where the line's bytes begin
};

// Line feeds end lines, NULs stay, a file is read as text and cut at 10 MB; "/*/" opens and closes.
TEST_F(PreviewTest, LinesCommentStatesPartsOfLongFilesAndColours) {
    const std::string utf8Mark = "\xEF\xBB\xBF", utf16Mark = "\xFF\xFE";
    const std::pair<std::string, const char*> cases[] = {
        {"", "0-0 "},
        {"a\nb\n", "0-2 2-4 4-4 "},
        {"a\nb", "0-2 2-3 "},
        {"a\r\nb", "0-3 3-4 "},
        {"a\rb", "0-3 "},
        {"x\0y\n\0"s, "0-4 4-5 "},
        {utf8Mark + "a\nb", "0-2 2-3 "},                 // a UTF-8 mark is left out
        {utf16Mark + "a\0\r\0\n\0\xE9\0"s, "0-3 3-5 "},  // UTF-16 as UTF-8
        {"\xFE\xFF\x4E\x2D\x4E\x2D\x4E\x2D\0\n\x4E\x2D"s, "0-10 10-13 "},  // more bytes as UTF-8
        {"a /* b\nc\nd */ e\n/*/ f\ng\n\"/*\"\nh */\n",
         "0-7 7-9* 9-16* 16-22 22-24 24-29 29-34* 34-34 "}};
    for (const auto& [content, expected] : cases) {
        ASSERT_TRUE(load("f.c", content));
        std::string lines;  // "start-end", with '*' when the line begins inside a block comment
        for (int32_t k = 1; k <= doc.lineCount(); ++k) {
            const LineRange r = doc.lineRange(k);
            lines += std::to_string(r.start) + "-" + std::to_string(r.end) +
                     (doc.commentState(k) ? "* " : " ");
        }
        EXPECT_EQ(lines, expected) << content;
        EXPECT_EQ(doc.text()[doc.lineRange(doc.lineCount()).end], '\0');
    }
    std::string content(10000000, 'a');
    for (size_t i = 99; i < content.size(); i += 100)
        content[i] = '\n';
    ASSERT_TRUE(load("big.c", content));
    ASSERT_EQ(doc.lineCount(), 100000);
    EXPECT_EQ(doc.lineRange(100000).end, kMaxPreviewBytes);
    EXPECT_EQ(doc.text()[kMaxPreviewBytes], '\0');
    EXPECT_TRUE(doc.loadDocument("", ".c"));
    EXPECT_EQ(std::make_pair(doc.lineCount(), doc.text()), std::make_pair(0, (const char*)nullptr));
    for (const std::string& path :
         {tree.path("gone.c"), tree.path(std::string(300, 'p') + ".c"), tree.mkdir("dir")}) {
        EXPECT_FALSE(doc.loadDocument(path, ".c")) << path;
        EXPECT_EQ(doc.lineCount(), 0);
    }
    const std::pair<std::string, std::string> notes[] = {
        {"The system cannot find the file specified.\r\n",
         "cannot open D:\\src\\gone.c: The system cannot find the file specified."},
        {"Access is denied.\r\nTry again. \n",
         "cannot open D:\\src\\gone.c: Access is denied.  Try again."},
        {"\r\n", "cannot open D:\\src\\gone.c"}};
    for (const auto& [message, note] : notes)
        EXPECT_EQ(openFailureNote("D:\\src\\gone.c", message), note) << message;
    // A line past the first 10 MB is read in the part around it (each line holds its number).
    constexpr int32_t kLines = 250000, kWidth = 100;  // 25 MB, written 1 MB at a time
    const std::string path = tree.path("long.c");
    {
        std::ofstream out(path, std::ios::binary);
        std::string chunk;
        for (int32_t line = 1; line <= kLines; ++line) {
            char text[kWidth + 1];
            std::snprintf(text, sizeof text, "%09d int x; %-*s\n", line, kWidth - 18,
                          line == 1 ? "/*" : "");
            chunk += text;
            if (line % 10000 == 0) out.write(chunk.data(), chunk.size()), chunk.clear();
        }
    }
    const auto padded = [](int32_t line) { return std::to_string(1000000000 + line).substr(1); };
    const int32_t inFirstBytes = kMaxPreviewBytes / kWidth;  // the last whole line read first
    for (const int32_t line : {kLines, 240000, inFirstBytes + 1, inFirstBytes, 1}) {
        SCOPED_TRACE(line);
        ASSERT_TRUE(doc.loadDocument(path, ".c", line));
        const bool part = line > inFirstBytes;
        ASSERT_TRUE(doc.firstLine() <= line && line <= doc.lastLine());
        EXPECT_LE(doc.lastLine() - doc.firstLine(), kMaxPreviewBytes / kWidth);
        for (const int32_t held : {doc.firstLine(), line, doc.lastLine() - 1})
            EXPECT_EQ(std::string(doc.text() + doc.lineRange(held).start, 9), padded(held)) << held;
        if (part) {
            EXPECT_EQ(line - doc.firstLine(), (kPartBytesBefore - 1) / kWidth) << "in the middle";
            EXPECT_TRUE(doc.readAgainFor(doc.firstLine() - 1));
        }
        EXPECT_FALSE(doc.readAgainFor(line));
        EXPECT_EQ(doc.readAgainFor(1), part);
        EXPECT_EQ(doc.readAgainFor(doc.lastLine()), doc.lastLine() <= kLines);
        EXPECT_EQ(doc.missingLine(), 0);
    }
    ASSERT_TRUE(doc.loadDocument(path, ".c", 0));
    EXPECT_EQ(std::make_pair(doc.firstLine(), doc.lastLine()), std::make_pair(1, inFirstBytes + 1))
        << "line 0 (a file-name result) stands for line 1";
    terms.parseTerms(padded(240000));
    ASSERT_TRUE(doc.loadDocument(path, ".c", 240000));
    EXPECT_EQ(row(240000),
              std::make_pair(
                  "240000  " + padded(240000) + " int x;" + std::string(kWidth - 17, ' ') + "\n",
                  "gggggggg" + std::string(9, 'A') + "04440" + std::string(kWidth - 14, '0')));
    ASSERT_TRUE(doc.loadDocument(path, ".c", 2));
    EXPECT_EQ(row(2).second.substr(8, 14), std::string(14, '3')) << "within the comment";
    ASSERT_TRUE(doc.loadDocument(path, ".c", kLines + 2));
    EXPECT_EQ(std::make_pair(doc.missingLine(), doc.lineCount()), std::make_pair(kLines + 2, 0));
    EXPECT_TRUE(doc.readAgainFor(kLines));
    EXPECT_EQ(missingLineNote("D:\\big.c", 250002), "line 250002 is past the end of D:\\big.c");
    ASSERT_TRUE(doc.loadDocument(path, ".c", kLines + 1));
    EXPECT_EQ(std::make_pair(doc.lastLine(), doc.missingLine()), std::make_pair(kLines + 1, 0));
    ASSERT_TRUE(load("small.c", "a\nb\n"));
    EXPECT_FALSE(doc.readAgainFor(1) || doc.readAgainFor(9)) << "a whole file is never read again";
    // '3' comment, '4' keyword: comments first, then keywords outside comments and strings.
    // clang-format off
    const std::pair<const char*, const char*> colours[] = {
        {"a /*/ b\nint\n", "00333333|4440"},
        {"x /* y\nint z\nw */ int\n", "0033333|333333|333304440"},
        {"s = \"/*\"; int\nint */ int\n", "00000333333333|33333304440"},
        {"/* a // b */ int", "3333333333330444"}, {"#include <x.h>", "44444444000000"},
        {"# include", "000000000"}, {"x.int", "00444"}, {"int2 _int INT", "0000000000000"},
        {"return;", "4444440"}, {"/* \" */ int x;", "33333330000000"},
        {"s = \"//\"; int", "0000033333333"}, {"\"int\" int", "000000444"},
        {"/* a */ b // int", "3333333000333333"}};
    // clang-format on
    for (const auto& [text, expected] : colours) {
        ASSERT_TRUE(load("f.c", text));
        std::string lines;
        for (int32_t k = 1; k <= doc.lineCount(); ++k)
            lines.append(k > 1 ? "|" : "").append(row(k).second, 8);
        EXPECT_EQ(lines,
                  std::string(expected) + (std::string_view(text).ends_with('\n') ? "|" : ""))
            << text;
    }
    // An eight-byte gutter; rows cut at 10,000 bytes or a NUL; colours only on the highlight list.
    terms.parseTerms("7 int");
    ASSERT_TRUE(load("a.h", "a\nb\nc\nd\ne\nf\nx7 int /* int */\n"));
    EXPECT_EQ(row(7), std::make_pair("     7  x7 int /* int */\n"s, "gggggggg0A0EEE0333DDD3330"s));
    EXPECT_EQ(lineStart, 8);
    ASSERT_TRUE(load("a.txt", "/* int */ int\n"));
    EXPECT_EQ(row(1).second, "gggggggg000AAA0000AAA0");
    ASSERT_TRUE(load("empty.c", ""));
    EXPECT_EQ(row(1), std::make_pair("     1  "s, "gggggggg"s));
    ASSERT_TRUE(load("bin.c", "ab\0cd\n"s));
    EXPECT_EQ(row(1).first, "     1  ab");
    ASSERT_TRUE(load("many.c", std::string(1234566, '\n')));
    EXPECT_EQ(row(1234567), std::make_pair("1234567  "s, "gggggggg0"s));
    EXPECT_EQ(lineStart, 9) << "the line's tab stops count from its own start";
    ASSERT_TRUE(load("long.c", std::string(1000000, 'q') + "\nend\n"));
    EXPECT_EQ(row(1).first, "     1  " + std::string(kMaxPreviewLineBytes, 'q'));
    EXPECT_EQ(row(2).first, "     2  end\n");
    ASSERT_TRUE(load("cut.c", std::string(kMaxPreviewLineBytes - 1, 'q') + "\xe6\x97\xa5\n"));
    EXPECT_EQ(row(1).first, "     1  " + std::string(kMaxPreviewLineBytes - 1, 'q'));
    ASSERT_TRUE(load("e.c", "/*\n\n"));  // an empty row inside a comment
    EXPECT_EQ(row(3), std::make_pair("     3  "s, "gggggggg"s));
}

// The line in the middle row (near the start in its own), or the first before a repaint.
TEST(PreviewPaneRules, CentringPaintPlanAndResize) {
    const int32_t cases[][6] = {{100, 20, 500, 90, 110, 260},
                                {5, 20, 500, 1, 21, 260},
                                {105, 20, 100, 95, 101, 78},
                                {1, 20, 0, 1, 1, 0}};
    for (const auto& [line, rows, count, firstLine, endLine, blankTop] : cases) {
        const PreviewPaintPlan plan =
            planPreviewPaint(paintTopLine(centredTopLine(line, rows)), rows, count, 13);
        EXPECT_EQ(std::make_tuple(plan.firstLine, plan.endLine, plan.blankTop),
                  std::make_tuple(firstLine, endLine, blankTop))
            << "line " << line << " of " << count;
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
    // A height change centres the result's line again only when it would leave the whole rows.
    const int32_t resizes[][6] = {
        // target, top, whole rows before, whole rows after, first line held, top after
        {100, 90, 20, 10, 1, 95}, {100, 90, 20, 11, 1, 90},        {100, 90, 20, 40, 1, 90},
        {100, 90, 10, 5, 1, 90},  {95, 90, 20, 5, 1, 93},          {95, 90, 20, 1, 1, 95},
        {5, -5, 20, 3, 1, 4},     {5, -5, 20, 6, 1, -5},           {100, 90, 0, 5, 1, 90},
        {0, 1, 20, 3, 1, 1},      {5010, 4990, 20, 5, 5000, 5008}, {5010, 4990, 20, 5, 1, 4990}};
    for (const auto& [target, top, before, whole, first, after] : resizes) {
        const PreviewPosition shown{.targetLine = target, .topLine = top, .wholeLines = before};
        EXPECT_EQ(topLineAfterResize(shown, whole, first), after)
            << target << " from " << top << ", " << before << " to " << whole << " rows";
    }
}

// A result's first term's columns, the sideways scroll that shows it, the scroll bar's range.
TEST_F(PreviewTest, TheFirstTermComesIntoViewFromTheRight) {
    terms.parseTerms("needle");
    ASSERT_TRUE(load("far.c", "needle\n\t/* x */\tneedle\n" + std::string(100, 'x') +
                                  " needle\n\xc3\xa9needle\nnone\n\t\t\t\t" +
                                  std::string(95, 'y')));
    const std::tuple<int32_t, int32_t, int32_t, int32_t, int32_t> rows[] = {
        // line, term start, end (-1: none), left column in 60 visible columns, in 200
        {1, 0, 6, 0, 0}, {2, 12, 18, 0, 0}, {3, 101, 107, 51, 0},
        {4, 1, 7, 0, 0}, {5, 0, -1, 0, 0},  {9, 0, -1, 0, 0}};
    for (const auto& [line, start, end, left60, left200] : rows) {
        SCOPED_TRACE(line);
        const std::optional<ColumnSpan> term = firstTermColumns(doc, line, terms);
        EXPECT_EQ(term ? std::make_pair(term->start, term->end) : std::make_pair(0, -1),
                  std::make_pair(start, end));
        const PreviewColumns columns{doc.widestLine(), doc.tabWidth()};
        EXPECT_EQ(leftColumnFor(term, 60, columns), left60);
        EXPECT_EQ(leftColumnFor(term, 200, columns), left200);
    }
    EXPECT_EQ(leftColumnFor(ColumnSpan{5, 61}, 60, {1000, 4}), 0);
    EXPECT_EQ(leftColumnFor(ColumnSpan{101, 107}, 60, {1000, 4}), 93) << "far from the widest end";
    EXPECT_EQ(doc.widestLine(), 4 * 4 + 95);
    const ScrollBarState bar = previewColumnBar({doc.widestLine(), 4}, 60, 7);
    EXPECT_EQ(std::make_tuple(bar.min, bar.max, bar.page, bar.pos), std::make_tuple(0, 110, 60, 7));
    EXPECT_EQ(clampScrollPosition(bar, 999), 51) << "the widest line's end comes into view";
    EXPECT_EQ(previewColumnBar({1 << 30, 8}, 60, 0).max, kMaxPreviewLineBytes * 8 - 1);
    // Tab stops 8 and 1 apart: the term moves; the widest line is measured again.
    const std::tuple<int, int32_t, int32_t> widths[] = {{8, 16, 4 * 8 + 95}, {1, 9, 108}};
    for (const auto& [tabWidth, start, widest] : widths) {
        doc.setTabWidth(tabWidth);
        EXPECT_EQ(firstTermColumns(doc, 2, terms)->start, start) << tabWidth;
        EXPECT_EQ(doc.widestLine(), widest) << tabWidth;
    }
    const int32_t shown[][3] = {{700, 7, 92}, {55, 7, 0}, {700, 0, 0}, {-5, 7, 0}};
    for (const auto& [width, character, columns] : shown)
        EXPECT_EQ(columnsShown(width, character), columns) << width << "/" << character;
}

}  // namespace tarvo
