#include "preview/preview_document.h"

#include <gtest/gtest.h>

#include <cstring>
#ifndef _WIN32
#include <sys/stat.h>
#endif
#include <string>
#include <vector>

#include "support/temp_tree.h"

namespace tarvo {

// Found by argument lookup, so it lives beside LineRange, not in the test's
// unnamed namespace.
void PrintTo(const LineRange& r, std::ostream* out) {
    *out << "[" << r.start << ", " << r.end << ")";
}

namespace {

using testing::TempTree;

constexpr const char* kHighlightList = ".c;.cpp;.cxx;.h";

std::vector<LineRange> lineRanges(const PreviewDocument& doc) {
    std::vector<LineRange> ranges;
    for (int32_t k = 1; k <= doc.lineCount(); ++k)
        ranges.push_back(doc.lineRange(k));
    return ranges;
}

std::string lineText(const PreviewDocument& doc, int32_t line) {
    LineRange r = doc.lineRange(line);
    return std::string(doc.text() + r.start, r.end - r.start);
}

// The classes colourLine gives a row, one digit per byte ('3' comment,
// '4' keyword), marks left out of it.
std::string classes(const PreviewDocument& doc, int32_t line, const std::string& text) {
    std::vector<uint8_t> attrs(text.size(), 0);
    doc.colourLine(line, text.c_str(), attrs.data());
    std::string digits;
    for (uint8_t a : attrs)
        digits += static_cast<char>('0' + a);
    return digits;
}

// Loads `content` as a C file and colours its line `line` as stored.
std::string colourOf(const std::string& content, int32_t line) {
    TempTree tree;
    PreviewDocument doc;
    EXPECT_TRUE(doc.loadDocument(tree.write("f.c", content), kHighlightList));
    return classes(doc, line, lineText(doc, line));
}

TEST(LoadDocument, IndexesLinesAtEveryLineFeed) {
    TempTree tree;
    PreviewDocument doc;
    {
        SCOPED_TRACE("an empty file has one empty line");
        EXPECT_TRUE(doc.loadDocument(tree.write("empty.c", ""), kHighlightList));
        EXPECT_EQ(doc.lineCount(), 1);
        EXPECT_EQ(doc.lineRange(0), (LineRange{0, 0}));  // the placeholder
        EXPECT_EQ(doc.lineRange(1), (LineRange{0, 0}));
        EXPECT_EQ(doc.text()[0], '\0');
    }
    {
        SCOPED_TRACE("a final line feed leaves an empty last line");
        ASSERT_TRUE(doc.loadDocument(tree.write("ab.c", "a\nb\n"), kHighlightList));
        EXPECT_EQ(lineRanges(doc), (std::vector<LineRange>{{0, 2}, {2, 4}, {4, 4}}));
    }
    {
        SCOPED_TRACE("without it two lines");
        ASSERT_TRUE(doc.loadDocument(tree.write("ab2.c", "a\nb"), kHighlightList));
        EXPECT_EQ(lineRanges(doc), (std::vector<LineRange>{{0, 2}, {2, 3}}));
    }
    {
        SCOPED_TRACE("a carriage return does not end a line");
        ASSERT_TRUE(doc.loadDocument(tree.write("crlf.c", "a\r\nb"), kHighlightList));
        ASSERT_EQ(doc.lineCount(), 2);
        EXPECT_EQ(lineText(doc, 1), "a\r\n");
        EXPECT_EQ(lineText(doc, 2), "b");
        EXPECT_EQ(lineText(doc, 1).find('\r'), 1u);
        std::string lone = "a\rb";
        ASSERT_TRUE(doc.loadDocument(tree.write("cr.c", lone), kHighlightList));
        EXPECT_EQ(doc.lineCount(), 1);
    }
    {
        SCOPED_TRACE("zero bytes inside a file are kept in the text");
        std::string binary("x\0y\n\0", 5);
        ASSERT_TRUE(doc.loadDocument(tree.write("bin.c", binary), kHighlightList));
        EXPECT_EQ(lineRanges(doc), (std::vector<LineRange>{{0, 4}, {4, 5}}));
    }
}

TEST(LoadDocument, PathsThatAreEmptyOrCannotBeRead) {
    TempTree tree;
    PreviewDocument doc;
    ASSERT_TRUE(doc.loadDocument(tree.write("a.c", "int a;\n"), kHighlightList));
    {
        SCOPED_TRACE("the empty path empties the document and counts as opened");
        EXPECT_TRUE(doc.loadDocument("", kHighlightList));
        EXPECT_EQ(doc.lineCount(), 0);
        EXPECT_EQ(doc.currentPath(), "");
        EXPECT_EQ(doc.text(), nullptr);
    }
    {
        SCOPED_TRACE("a missing file keeps its path and has no lines");
        std::string missing = tree.path("gone.c");
        EXPECT_FALSE(doc.loadDocument(missing, kHighlightList));
        EXPECT_EQ(doc.currentPath(), missing);
        EXPECT_EQ(doc.lineCount(), 0);
        EXPECT_TRUE(doc.coloured());
    }
    {
        SCOPED_TRACE("a path of 300 characters is kept whole");
        std::string longPath = tree.path(std::string(300, 'p') + ".c");
        EXPECT_FALSE(doc.loadDocument(longPath, kHighlightList));
        EXPECT_EQ(doc.currentPath(), longPath);
    }
    {
        SCOPED_TRACE("a directory is not a document");
        EXPECT_FALSE(doc.loadDocument(tree.mkdir("dir"), kHighlightList));
        EXPECT_EQ(doc.lineCount(), 0);
    }
#ifndef _WIN32
    {
        // Regression: the preview opened results with fopen, which waits
        // forever for a writer when a FIFO stands where the file was.
        SCOPED_TRACE("a FIFO put where a result's file stood is not opened");
        std::string fifo = tree.path("swapped.c");
        ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
        EXPECT_FALSE(doc.loadDocument(fifo, kHighlightList));
        EXPECT_EQ(doc.lineCount(), 0);
    }
#endif
}

TEST(LoadDocument, ColoursOnlyPathsOnTheHighlightList) {
    TempTree tree;
    PreviewDocument doc;
    doc.loadDocument(tree.write("a.cpp", "x"), kHighlightList);
    EXPECT_TRUE(doc.coloured());
    doc.loadDocument(tree.write("a.txt", "x"), kHighlightList);
    EXPECT_FALSE(doc.coloured());
    doc.loadDocument(tree.write("b.cpp", "x"), "");
    EXPECT_FALSE(doc.coloured());
}

TEST(LoadDocument, CutsAFileOfTenMillionBytes) {
    TempTree tree;
    std::string content(10000000, 'a');
    for (size_t i = 99; i < content.size(); i += 100)
        content[i] = '\n';
    PreviewDocument doc;
    ASSERT_TRUE(doc.loadDocument(tree.write("big.c", content), kHighlightList));
    // 99,999 full lines of 100 bytes, then the last 99 bytes of the cut.
    ASSERT_EQ(doc.lineCount(), 100000);
    EXPECT_EQ(doc.lineRange(100000), (LineRange{9999900, kMaxPreviewBytes}));
    EXPECT_EQ(doc.text()[kMaxPreviewBytes], '\0');
}

TEST(LoadDocument, RecordsWhichLinesBeginInsideABlockComment) {
    TempTree tree;
    PreviewDocument doc;
    ASSERT_TRUE(doc.loadDocument(tree.write("c.c", "a /* b\nc\nd */ e\n/*/ f\ng\n\"/*\"\nh */\n"),
                                 kHighlightList));
    std::vector<int32_t> states;
    for (int32_t k = 1; k <= doc.lineCount(); ++k)
        states.push_back(doc.commentState(k));
    // "/*/" opens and at once closes; a "/*" inside a string opens a comment.
    EXPECT_EQ(states, (std::vector<int32_t>{0, 1, 1, 0, 0, 0, 1, 0}));
}

TEST(ColourLine, CommentsAndKeywords) {
    struct Case {
        const char* label;
        const char* content;
        int32_t line;
        const char* expected;
    };
    const Case cases[] = {
        {"/*/ runs green to the end of its line", "a /*/ b\nint\n", 1, "00333333"},
        {"and the next line is not inside a comment", "a /*/ b\nint\n", 2, "4440"},
        {"an open block comment colours following lines", "x /* y\nint z\nw */ int\n", 2, "333333"},
        {"up to and including the first */", "x /* y\nint z\nw */ int\n", 3, "333304440"},
        {"a closed block comment", "a /* b */ c", 1, "00333333300"},
        {"#include is one token", "#include <x.h>", 1, "44444444000000"},
        {"# include is not coloured", "# include", 1, "000000000"},
        {"a keyword after a dot", "x.int", 1, "00444"},
        {"near misses are not keywords", "int2 _int INT", 1, "0000000000000"},
        {"only the word of return;", "return;", 1, "4444440"},
        {"a lone quote in a comment opens a string", "/* \" */ int x;", 1, "33333330000000"},
        {"// inside a string comments the rest", "s = \"//\"; int", 1, "0000033333333"},
        {"/* inside a string opens a block comment", "s = \"/*\"; int\nint */ int\n", 1,
         "00000333333333"},
        {"which the next line continues", "s = \"/*\"; int\nint */ int\n", 2,
         "3333330444"
         "0"},
        {"a string stops keywords", "\"int\" int", 1, "000000444"},
        {"a line comment after a block comment", "/* a */ b // int", 1, "3333333000333333"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(colourOf(c.content, c.line), c.expected);
    }
}

TEST(ColourLine, KeepsMarksAndColoursTheRowPrefix) {
    TempTree tree;
    PreviewDocument doc;
    ASSERT_TRUE(doc.loadDocument(tree.write("m.c", "// int\n"), kHighlightList));
    std::string row = "     1  // int\n";
    std::vector<uint8_t> attrs(row.size(), 0);
    attrs[11] = attrs[12] = attrs[13] = 0x40;  // "int" marked by a query term
    doc.colourLine(1, row.c_str(), attrs.data());
    EXPECT_EQ(attrs[8], 3);      // the comment starts after the prefix
    EXPECT_EQ(attrs[11], 0x43);  // a marked byte inside a comment
    EXPECT_EQ(attrs[0], 0);      // the prefix's digits and blanks stay plain
}

TEST(ColourLine, AnEmptyRowChangesNothing) {
    TempTree tree;
    PreviewDocument doc;
    ASSERT_TRUE(doc.loadDocument(tree.write("e.c", "/*\n\n"), kHighlightList));
    ASSERT_EQ(doc.commentState(2), 1);
    uint8_t attrs[1] = {7};
    doc.colourLine(2, "", attrs);
    EXPECT_EQ(attrs[0], 7);
}

}  // namespace
}  // namespace tarvo
