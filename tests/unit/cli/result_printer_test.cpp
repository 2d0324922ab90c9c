#include "cli/result_printer.h"

#include <gtest/gtest.h>

#include "engine/term_table.h"

namespace tarvo {
namespace {

ResultEntry entry(int rankIndex, int score, std::string path, int line, std::string text) {
    ResultEntry e;
    e.rankIndex = rankIndex;
    e.score = score;
    e.path = std::move(path);
    e.lineNumber = line;
    e.lineText = std::move(text);
    return e;
}

TEST(ResultPrinter, TsvIsOneEscapedLinePerResult) {
    EXPECT_EQ(formatTsv(entry(0, 2003050, "src/x.c", 2, "int\tFoo(a\\b)\r\n")),
              "1\t2003050\tsrc/x.c\t2\tint\\tFoo(a\\\\b)\\r\\n");
    SCOPED_TRACE("a file-name entry: score -1, line 0, empty text");
    EXPECT_EQ(formatTsv(entry(4, -1, "a/main.c", 0, "")), "5\t-1\ta/main.c\t0\t");
    SCOPED_TRACE("bytes above 127 stay raw");
    EXPECT_EQ(formatTsv(entry(0, 1, "p", 1, "caf\xe9")), "1\t1\tp\t1\tcaf\xe9");
}

TEST(ResultPrinter, JsonEscapesEverythingThatIsNotValidUtf8) {
    EXPECT_EQ(escapeJson("a\"b\\c"), "a\\\"b\\\\c");
    EXPECT_EQ(escapeJson("\t\r\n\x01"), "\\t\\r\\n\\u0001");
    EXPECT_EQ(escapeJson("caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80"),
              "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80");
    SCOPED_TRACE(
        "invalid: a lone Latin-1 byte, a truncated sequence, an overlong form, a surrogate");
    EXPECT_EQ(escapeJson("caf\xe9"), "caf\\u00e9");
    EXPECT_EQ(escapeJson("\xe2\x82"), "\\u00e2\\u0082");
    EXPECT_EQ(escapeJson("\xc0\xaf"), "\\u00c0\\u00af");
    EXPECT_EQ(escapeJson("\xed\xa0\x80"), "\\u00ed\\u00a0\\u0080");
    EXPECT_EQ(formatJsonl(entry(2, 7, "d/f.c", 9, "x\n")),
              "{\"rank\":3,\"score\":7,\"path\":\"d/f.c\",\"line\":9,\"text\":\"x\\n\"}");
}

TEST(ResultPrinter, TextMarksTermsAndDropsTheLineBreak) {
    TermTable terms;
    terms.parseTerms("foo");
    ResultEntry e = entry(0, 1002020, "x.c", 1, "// foo\troutine\r\n");
    // Tabs expand from the start of their run, as in the list pane: the tab
    // opens the run after the marked term, so it becomes four spaces.
    EXPECT_EQ(formatText(e, terms, false), "   1  x.c (1)  // foo    routine");
    EXPECT_EQ(formatText(e, terms, true), "   1  x.c (1)  // \x1b[30;103mfoo\x1b[0m    routine");
}

}  // namespace
}  // namespace tarvo
