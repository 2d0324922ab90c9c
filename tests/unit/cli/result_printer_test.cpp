#include "cli/result_printer.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <tuple>
#include <utility>

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

// TSV: one line per result, tab, CR, LF and backslash escaped, other bytes
// raw. JSON: valid UTF-8 passes, anything else (a lone Latin-1 byte, a cut
// sequence, an overlong form, a surrogate) is escaped per byte, and a text
// that is not UTF-8 also carries its exact bytes in base64.
TEST(ResultPrinter, TsvAndJson) {
    EXPECT_EQ(formatTsv(entry(0, 2003050, "src/x.c", 2, "int\tFoo(a\\b)\r\n\xe9")),
              "1\t2003050\tsrc/x.c\t2\tint\\tFoo(a\\\\b)\\r\\n\xe9");
    EXPECT_EQ(formatTsv(entry(4, -1, "a/main.c", 0, "")), "5\t-1\ta/main.c\t0\t");
    const std::pair<const char*, const char*> escapes[] = {
        {"a\"b\\c", "a\\\"b\\\\c"},
        {"\t\r\n\x01", "\\t\\r\\n\\u0001"},
        {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80", "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80"},
        {"caf\xe9", "caf\\u00e9"},
        {"\xe2\x82", "\\u00e2\\u0082"},
        {"\xc0\xaf", "\\u00c0\\u00af"},
        {"\xed\xa0\x80", "\\u00ed\\u00a0\\u0080"}};
    for (const auto& [text, escaped] : escapes)
        EXPECT_EQ(escapeJson(text), escaped);
    EXPECT_EQ(formatJsonl(entry(2, 7, "d/f.c", 9, "x\n")),
              "{\"rank\":3,\"score\":7,\"path\":\"d/f.c\",\"line\":9,\"text\":\"x\\n\"}");
    const std::string path = "d:1/caf\xe9.c", text = "x\tb\xff\r\n";
    EXPECT_EQ(formatJsonl(entry(0, 5, path, 7, text)),
              "{\"rank\":1,\"score\":5,\"path\":\"d:1/caf\\u00e9.c\",\"path_bytes\":\"" +
                  base64(path) + "\",\"line\":7,\"text\":\"x\\tb\\u00ff\\r\\n\",\"text_bytes\":\"" +
                  base64(text) + "\"}");
    const char* const vectors[][2] = {{"", ""},
                                      {"f", "Zg=="},
                                      {"fo", "Zm8="},
                                      {"foo", "Zm9v"},
                                      {"foob", "Zm9vYg=="},
                                      {"fooba", "Zm9vYmE="},
                                      {"\xff\xfe", "//4="}};
    for (const auto& v : vectors)
        EXPECT_EQ(base64(v[0]), v[1]);
}

// One line holding a tab, a CR, a byte that is not UTF-8 and an escape
// sequence, in a path holding a colon, through every line-oriented style:
// a pipe gets the bytes as they are, a terminal sees tabs expanded per run
// and control bytes shown.
TEST(ResultPrinter, LineRecordsOnATerminalAndIntoAPipe) {
    TermTable terms;
    terms.parseTerms("foo");
    const ResultEntry e = entry(0, 2003050, "d:1/caf\xe9.c", 7, "x\tfoo\rb\xff\x1b]0;t\x07\r\n");
    auto style = [](bool terminal, bool color, bool rank, bool column, bool null) {
        PrintStyle s;
        std::tie(s.terminal, s.color, s.rank, s.column, s.nullAfterPath) =
            std::tie(terminal, color, rank, column, null);
        return s;
    };
    const std::string head = "d:1/caf\xe9.c:7:", raw = "\rb\xff\x1b]0;t\x07";
    const std::string on = "\x1b[30;103m", off = "\x1b[0m", shown = "\\rb\xff^[]0;t^G";
    const std::pair<PrintStyle, std::string> cases[] = {
        {style(false, false, false, false, false), head + "x\tfoo" + raw},
        {style(false, true, false, false, false), head + "x\t" + on + "foo" + off + raw},
        {style(true, false, false, false, false), head + "x   foo" + shown},
        {style(true, true, false, false, false), head + "x   " + on + "foo" + off + shown},
        {style(false, false, false, true, false), head + "3:x\tfoo" + raw},
        {style(false, false, true, false, false), "1:2003050:" + head + "x\tfoo" + raw},
        {style(false, false, false, true, true),
         std::string("d:1/caf\xe9.c") + '\0' + "7:3:x\tfoo" + raw},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(formatMatch(e, e.lineText, terms, cases[i].first), cases[i].second) << i;
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
