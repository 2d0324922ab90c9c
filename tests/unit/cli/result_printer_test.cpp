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

TEST(ResultPrinter, JsonCarriesTheExactBytesOfTextsThatAreNotUtf8) {
    const std::string path = "d:1/caf\xe9.c";
    const std::string text = "x\tfoo\rb\xff\r\n";
    const std::string pathBytes = base64(path), textBytes = base64(text);
    EXPECT_EQ(formatJsonl(entry(0, 5, path, 7, text)),
              "{\"rank\":1,\"score\":5,\"path\":\"d:1/caf\\u00e9.c\",\"path_bytes\":\"" +
                  pathBytes +
                  "\",\"line\":7,\"text\":\"x\\tfoo\\rb\\u00ff\\r\\n\",\"text_bytes\":\"" +
                  textBytes + "\"}");
    SCOPED_TRACE("base64 against the standard's examples");
    const char* const vectors[][2] = {{"", ""},
                                      {"f", "Zg=="},
                                      {"fo", "Zm8="},
                                      {"foo", "Zm9v"},
                                      {"foob", "Zm9vYg=="},
                                      {"fooba", "Zm9vYmE="},
                                      {"foobar", "Zm9vYmFy"}};
    for (const auto& v : vectors)
        EXPECT_EQ(base64(v[0]), v[1]);
    EXPECT_EQ(base64("\xff\xfe"), "//4=");
}

// One line holding a tab, a CR, a byte that is not UTF-8 and an escape
// sequence, in a path holding a colon, through every line-oriented style.
TEST(ResultPrinter, LineRecordsOnATerminalAndIntoAPipe) {
    TermTable terms;
    terms.parseTerms("foo");
    const ResultEntry e = entry(0, 2003050, "d:1/caf\xe9.c", 7, "x\tfoo\rb\xff\x1b]0;t\x07\r\n");
    auto style = [](bool terminal, bool color, bool rank, bool column, bool null) {
        PrintStyle s;
        s.terminal = terminal;
        s.color = color;
        s.rank = rank;
        s.column = column;
        s.nullAfterPath = null;
        return s;
    };
    const std::string head = "d:1/caf\xe9.c:7:";
    const std::string on = "\x1b[30;103m", off = "\x1b[0m";
    struct Case {
        const char* label;
        PrintStyle style;
        std::string expected;
    } cases[] = {
        {"pipe: the bytes as they are, without the line end",
         style(false, false, false, false, false), head + "x\tfoo\rb\xff\x1b]0;t\x07"},
        {"pipe, coloured", style(false, true, false, false, false),
         head + "x\t" + on + "foo" + off + "\rb\xff\x1b]0;t\x07"},
        {"terminal: tabs expanded per run, controls shown", style(true, false, false, false, false),
         head + "x   foo\\rb\xff^[]0;t^G"},
        {"terminal, coloured", style(true, true, false, false, false),
         head + "x   " + on + "foo" + off + "\\rb\xff^[]0;t^G"},
        {"vimgrep: the byte column of the first term", style(false, false, false, true, false),
         head + "3:x\tfoo\rb\xff\x1b]0;t\x07"},
        {"rank and score in front", style(false, false, true, false, false),
         "1:2003050:" + head + "x\tfoo\rb\xff\x1b]0;t\x07"},
        {"a NUL after the path", style(false, false, false, true, true),
         std::string("d:1/caf\xe9.c") + '\0' + "7:3:x\tfoo\rb\xff\x1b]0;t\x07"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(formatMatch(e, e.lineText, terms, c.style), c.expected);
    }

    SCOPED_TRACE("a file-name entry; bare paths");
    EXPECT_EQ(formatMatch(entry(4, -1, "a/main.c", 0, ""), "", terms,
                          style(false, false, false, true, false)),
              "a/main.c:0:1:");
    EXPECT_EQ(formatPathRecord("a\nb\x1b\x7f.c", style(true, false, false, false, false)),
              "a\\nb^[^?.c\n");
    EXPECT_EQ(formatPathRecord("a\nb.c", style(false, false, false, false, true)),
              std::string("a\nb.c") + '\0');
}

}  // namespace
}  // namespace tarvo
