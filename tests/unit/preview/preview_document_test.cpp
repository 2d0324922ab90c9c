#include "preview/preview_document.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif
#include <string>
#include <vector>

#include "support/temp_tree.h"

namespace tarvo {

// Found by argument lookup, so it lives beside LineRange.
void PrintTo(const LineRange& r, std::ostream* out) {
    *out << "[" << r.start << ", " << r.end << ")";
}

namespace {

using namespace std::string_literals;

class PreviewDocumentTest : public ::testing::Test {
protected:
    bool load(const std::string& name, const std::string& content) {
        return doc.loadDocument(tree.write(name, content), ".c;.cpp;.cxx;.h");
    }
    std::vector<LineRange> lineRanges() const {
        std::vector<LineRange> ranges;
        for (int32_t k = 1; k <= doc.lineCount(); ++k)
            ranges.push_back(doc.lineRange(k));
        return ranges;
    }
    // The classes colourLine gives a stored line, one digit per byte.
    std::string classes(int32_t line) const {
        const LineRange r = doc.lineRange(line);
        const std::string text(doc.text() + r.start, r.end - r.start);
        std::vector<uint8_t> attrs(text.size(), 0);
        doc.colourLine(line, text.c_str(), attrs.data());
        std::string digits;
        for (uint8_t a : attrs)
            digits += static_cast<char>('0' + a);
        return digits;
    }
    testing::TempTree tree;
    PreviewDocument doc;
};

// Only a line feed ends a line; a final one leaves an empty last line; zero
// bytes stay in the text.
TEST_F(PreviewDocumentTest, IndexesLinesAtEveryLineFeed) {
    const struct {
        std::string content;
        std::vector<LineRange> lines;
    } cases[] = {{"", {{0, 0}}},
                 {"a\nb\n", {{0, 2}, {2, 4}, {4, 4}}},
                 {"a\nb", {{0, 2}, {2, 3}}},
                 {"a\r\nb", {{0, 3}, {3, 4}}},
                 {"a\rb", {{0, 3}}},
                 {"x\0y\n\0"s, {{0, 4}, {4, 5}}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        ASSERT_TRUE(load("f.c", c.content));
        EXPECT_EQ(lineRanges(), c.lines);
        EXPECT_EQ(doc.text()[c.content.size()], '\0');
    }
}

TEST_F(PreviewDocumentTest, PathsThatAreEmptyOrCannotBeRead) {
    ASSERT_TRUE(load("a.c", "int a;\n"));
    EXPECT_TRUE(doc.loadDocument("", ".c")) << "the empty path empties the document";
    EXPECT_EQ(doc.lineCount(), 0);
    EXPECT_EQ(doc.text(), nullptr);
    std::vector<std::string> unreadable = {
        tree.path("gone.c"), tree.path(std::string(300, 'p') + ".c"), tree.mkdir("dir")};
#ifndef _WIN32
    // A FIFO where a result's file stood would block an open for reading.
    unreadable.push_back(tree.path("swapped.c"));
    ASSERT_EQ(mkfifo(unreadable.back().c_str(), 0600), 0);
#endif
    for (const std::string& path : unreadable) {
        EXPECT_FALSE(doc.loadDocument(path, ".c")) << path;
        EXPECT_EQ(doc.currentPath(), path) << "kept whole";
        EXPECT_EQ(doc.lineCount(), 0);
    }
    const std::pair<const char*, const char*> highlighted[] = {
        {"a.cpp", ".c;.cpp"}, {"a.txt", ".c;.cpp"}, {"b.cpp", ""}};
    for (const auto& [name, list] : highlighted) {
        doc.loadDocument(tree.write(name, "x"), list);
        EXPECT_EQ(doc.coloured(), std::string(name) == "a.cpp") << name << " " << list;
    }
}

TEST_F(PreviewDocumentTest, CutsAFileOfTenMillionBytes) {
    std::string content(10000000, 'a');
    for (size_t i = 99; i < content.size(); i += 100)
        content[i] = '\n';
    ASSERT_TRUE(load("big.c", content));
    ASSERT_EQ(doc.lineCount(), 100000);
    EXPECT_EQ(doc.lineRange(100000), (LineRange{9999900, kMaxPreviewBytes}));
    EXPECT_EQ(doc.text()[kMaxPreviewBytes], '\0');
}

// "/*/" opens and at once closes; "/*" inside a string opens a comment too.
TEST_F(PreviewDocumentTest, RecordsWhichLinesBeginInsideABlockComment) {
    ASSERT_TRUE(load("c.c", "a /* b\nc\nd */ e\n/*/ f\ng\n\"/*\"\nh */\n"));
    std::vector<int32_t> states;
    for (int32_t k = 1; k <= doc.lineCount(); ++k)
        states.push_back(doc.commentState(k));
    EXPECT_EQ(states, (std::vector<int32_t>{0, 1, 1, 0, 0, 0, 1, 0}));
}

// '3' comment, '4' keyword. Comments first (continued, block, then line),
// then keywords outside comments and strings.
TEST_F(PreviewDocumentTest, ColoursCommentsAndKeywords) {
    const struct {
        const char* content;
        int32_t line;
        const char* expected;
    } cases[] = {
        {"a /*/ b\nint\n", 1, "00333333"},
        {"a /*/ b\nint\n", 2, "4440"},
        {"x /* y\nint z\nw */ int\n", 2, "333333"},
        {"x /* y\nint z\nw */ int\n", 3, "333304440"},
        {"a /* b */ c", 1, "00333333300"},
        {"/* a // b */ int", 1, "3333333333330444"},
        {"#include <x.h>", 1, "44444444000000"},
        {"# include", 1, "000000000"},
        {"x.int", 1, "00444"},
        {"int2 _int INT", 1, "0000000000000"},
        {"return;", 1, "4444440"},
        {"/* \" */ int x;", 1, "33333330000000"},  // a quote in a comment opens a string
        {"s = \"//\"; int", 1, "0000033333333"},
        {"s = \"/*\"; int\nint */ int\n", 1, "00000333333333"},
        {"s = \"/*\"; int\nint */ int\n", 2, "33333304440"},
        {"\"int\" int", 1, "000000444"},
        {"/* a */ b // int", 1, "3333333000333333"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.content << " line " << c.line);
        ASSERT_TRUE(load("f.c", c.content));
        EXPECT_EQ(classes(c.line), c.expected);
    }
}

TEST_F(PreviewDocumentTest, ColoursARowWithItsPrefixAndMarks) {
    ASSERT_TRUE(load("m.c", "// int\n"));
    const std::string row = "     1  // int\n";
    std::vector<uint8_t> attrs(row.size(), 0);
    attrs[11] = attrs[12] = attrs[13] = 0x40;  // "int" marked by a query term
    doc.colourLine(1, row.c_str(), attrs.data());
    EXPECT_EQ(attrs[0], 0) << "the prefix stays plain";
    EXPECT_EQ(attrs[8], 3);
    EXPECT_EQ(attrs[11], 0x43);

    ASSERT_TRUE(load("e.c", "/*\n\n"));
    uint8_t untouched[1] = {7};
    doc.colourLine(2, "", untouched);
    EXPECT_EQ(untouched[0], 7) << "an empty row inside a comment";
}

}  // namespace
}  // namespace tarvo
