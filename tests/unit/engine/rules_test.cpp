// The small rules under the scanner, a table each: terms, line scores and
// their ceiling, path and extension lists, line tables, path hash, masks.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/line_scoring.h"
#include "engine/path_hash.h"
#include "engine/path_list.h"
#include "engine/scan_blocks.h"
#include "engine/term_probes.h"
#include "engine/text_encoding.h"

namespace tarvo {
namespace {

using namespace std::string_literals;

// The terms joined by '|'.
std::string termsOf(std::string_view findText, TermLimitsMet* limits = nullptr) {
    TermTable table;
    const TermLimitsMet met = table.parseTerms(findText);
    if (limits) *limits = met;
    std::string terms;
    for (int32_t i = 0; i < table.count(); ++i)
        terms.append(i ? "|" : "").append(table.term(i).text, table.term(i).length);
    return terms;
}

TEST(Rules, TermParsingAndFirstBytes) {
    std::string words100, terms100;
    for (int i = 0; i < 100; ++i) {
        words100 += std::to_string(i) + " ";
        terms100.append(i ? "|" : "").append(std::to_string(i));
    }
    const std::string a(100, 'a');
    struct Case {
        std::string findText, terms;
        bool dropped, split;
    };
    // clang-format off
    const Case cases[] = {
        {"  a   b ", "a|b", 0, 0},                  {"x \"bar baz\" q", "x|bar baz|q", 0, 0},
        {"\"foo\"bar", "foo|bar", 0, 0},           {"\"\"", "", 0, 0},
        {"\"open  text", "open  text", 0, 0},       {"\\\"x a\"b ab\\", "\"x|a\"b|ab\\", 0, 0},
        {"a\\nb \\r\\t\\\\\\ x", "a\nb|\r\t\\ x", 0, 0},  {"a\tb", "a\tb", 0, 0},
        {std::string("a\0b", 3), "a", 0, 0},      {"   ", "", 0, 0},
        {a + "bc", a + "|bc", 0, 1},               {"\"" + a + "\" x", a + "| x", 0, 0},
        {"\"" + a + " y\"", a + "|y\"", 0, 1},     {words100 + "  ", terms100, 0, 0},
        {words100 + "x", terms100, 1, 0}};
    // clang-format on
    for (const Case& c : cases) {
        TermLimitsMet limits;
        EXPECT_EQ(termsOf(c.findText, &limits), c.terms) << c.findText;
        EXPECT_EQ(limits.termsDropped, c.dropped) << c.findText;
        EXPECT_EQ(limits.termSplit, c.split) << c.findText;
    }
    EXPECT_EQ(termsOf(std::string(10000, 'z')).size(), 100u * 101 - 1);
    TermTable table;
    table.parseTerms("Foo 1bar \xE4 \"\"");
    for (int c = 0; c < 256; ++c)
        EXPECT_EQ(table.isFirstChar(c), c == 'F' || c == 'f' || c == '1' || c == 0xE4 || !c) << c;
    EXPECT_EQ(table.countTermsIn("zz"), 0) << "the empty term only where a term may begin";
    const char* foo = "foo";
    EXPECT_FALSE(table.termMatchAt(foo, foo + 2, 0)) << "the end given, not the NUL, ends it";
}

// Terms, their line lists and whether line 1 begins in a comment; every
// score is checked against its line's ceiling.
struct Scoring {
    Scoring(const char* findText, std::vector<std::vector<int32_t>> lists, bool inComment = false) {
        terms.parseTerms(findText);
        for (size_t t = 0; t < lists.size(); ++t) {
            for (int32_t line : lists[t])
                EXPECT_TRUE(termLines[t].push(line));
        }
        firstInComment = inComment;
    }
    ScoringInput input() const { return {terms, termLines.data(), onSyntaxList, options}; }
    bool inComment(int32_t line) const { return line == 1 && firstInComment; }
    int32_t score(int32_t line, const std::string& text) {
        const int32_t score = scorer.scoreLine(input(), line, inComment(line), text.c_str());
        EXPECT_GE(scorer.scoreCeiling(input(), line, inComment(line)), score) << text;
        return score;
    }
    TermTable terms;
    std::array<IntVector, kMaxTerms> termLines;
    bool firstInComment;  // line 1 begins inside /* */
    bool onSyntaxList = true;
    SearchOptions options;
    LineScorer scorer;
};

TEST(Rules, LineScoring) {
    Scoring worked("foo bar", {{1, 2, 4}, {2}});
    EXPECT_EQ(worked.score(1, "// foo routine\n"), 1002020);
    EXPECT_EQ(worked.score(2, "int Foo(int bar)\n"), 2003050);
    EXPECT_EQ(worked.score(4, "    return foo;\n"), 1002010);
    worked.onSyntaxList = false;
    EXPECT_EQ(worked.score(2, "int Foo(int bar)\n"), 2002550);
    // What one option adds to the score of line 1.
    const auto caseBonus = &SearchOptions::caseSensitiveBonus;
    const auto word = &SearchOptions::wholeWordBonus;
    const auto definition = &SearchOptions::cppHeuristics;
    struct Case {
        const char* findText;
        int32_t SearchOptions::*option;
        const char* line;
        int32_t part;
    };
    // clang-format off
    const Case cases[] = {
        {"foo \"\"", caseBonus, "FOO foo\n", 10},     {"foo", caseBonus, "FOO Foo\n", 0},
        {"foo", word, "foo_bar\n", 20},               {"foo", word, "foobar\n", 0},
        {"foo", word, "xfoo foofoo", 20},             {"get value", word, "getValue()\n", 50},
        {"a b", word, "bab\n", 30 + 25},              {"foo", definition, "        x = foo;\n", 0},
        {"foo", definition, "        int foo;\n", 920}, {"foo", definition, "         int foo;\n", 0},
        {"foo", definition, "\tint foo;\n", 960},     {"foo", definition, "bar(foo);\n", 0},
        {"foo", definition, "(x) foo\n", 1000},       {"foo", definition, "x /* foo */\n", 0},
        {"foo", definition, "x / foo\n", 1000},       {"foo", definition, "  case foo:\n", 0},
        {"foo", definition, "x; return foo;\n", 0},   {"foo", definition, "Return foo;\n", 1000}};
    // clang-format on
    for (const Case& c : cases) {
        Scoring s(c.findText, {{1}, {1}});
        s.options.*c.option = 0;
        const int32_t off = s.score(1, c.line);
        s.options.*c.option = 1;
        EXPECT_EQ(s.score(1, c.line) - off, c.part) << c.findText << " on " << c.line;
    }
}

TEST(Rules, PresenceProximityAndTheCeiling) {
    struct Case {
        const char* findText;
        std::vector<std::vector<int32_t>> lists;
        int32_t line;
        std::string text;
        bool onSyntaxList, inComment, options;
        int32_t score, ceiling;
    };
    const Case cases[] = {
        // In the path: present on every line, 1000 more; proximity fades at
        // 100 lines; text cut before the term; every bonus reaches the ceiling.
        {"a b", {{0}, {0, 1}}, 1, "b\n", true, false, false, 2003000, 2003000},
        {"a b", {{1, 100, 101}, {1}}, 100, "a\n", true, false, false, 1001010, 1001010},
        {"a b", {{1, 100, 101}, {1}}, 101, "a\n", true, false, false, 1001000, 1001000},
        {"foo", {{1}}, 1, std::string(149, 'x') + " foo", true, false, true, 1001000, 1002030},
        {"int", {{1}}, 1, "int x;\n", true, false, true, 1002030, 1002030},
        {"int", {{1}}, 1, "int x;\n", false, false, true, 1001530, 1001530},
        {"int", {{1}}, 1, "int x;\n", true, true, true, 1001030, 1001030},
        {"int", {{1}}, 1, "int x;\n", true, false, false, 1001000, 1001000}};
    for (const Case& c : cases) {
        Scoring s(c.findText, c.lists, c.inComment);
        s.onSyntaxList = c.onSyntaxList;
        s.options.caseSensitiveBonus = s.options.wholeWordBonus = s.options.cppHeuristics =
            c.options;
        EXPECT_EQ(s.score(c.line, c.text), c.score);
        EXPECT_EQ(s.scorer.scoreCeiling(s.input(), c.line, s.inComment(c.line)), c.ceiling)
            << c.score;
    }
}

TEST(Rules, PathAndExtensionLists) {
    const auto sep = [](std::string text) {
        std::replace(text.begin(), text.end(), '/', kPathSeparator);
        return text;
    };
    // clang-format off
    const std::vector<std::string> lists[] = {
        {"  /a ; /b  ", "/a", "/b"}, {"src/ / ", "src"}, {"/", ""}, {";a;;b;", "a", "b"},
        {"   "}, {"\ta\t;my dir ", "\ta\t", "my dir"}, {"src; ;include", "src", "include"},
        {";"}, {" ; / ;", ""}, {std::string(300, ';') + "a", "a"}};
    // clang-format on
    for (const std::vector<std::string>& c : lists) {  // the text, then its roots
        std::vector<std::string> roots;
        for (size_t i = 1; i < c.size(); ++i)
            roots.push_back(sep(c[i]));
        EXPECT_EQ(parsePathList(sep(c[0])), roots) << c[0];
    }
    std::string many = std::string(300, 'x');  // a long root is kept whole
    for (int i = 1; i < 100; ++i)
        many += ";x";
    bool dropped = true;
    EXPECT_EQ(parsePathList(many + "; ", &dropped).front(), std::string(300, 'x'));
    EXPECT_FALSE(dropped) << "exactly 100 roots";
    EXPECT_EQ(parsePathList(many + ";y", &dropped).size(), 100u);
    EXPECT_TRUE(dropped);
    const std::tuple<const char*, const char*, bool, bool> unders[] = {
        {"a/x.c", "a", false, true},  {"a/x.c", "b", true, false},
        {"a/s/x.c", "a", true, true}, {"a/s/x.c", "a", false, false},
        {"ab/x.c", "a", true, false}, {"a/x.c", "a/x.c", false, true},
        {"a/", "a", true, false},     {"/x.c", "", false, true},
        {"a", "a/x.c", true, false}};
    for (const auto& [path, root, recursive, expected] : unders)
        EXPECT_EQ(liesUnderRoot(sep(path), sep(root), recursive), expected) << path << " " << root;
    const std::tuple<const char*, const char*, bool> extensions[] = {
        {"a.h", ".h;", true},  {"a.h", ";", false},    {"a.h", "", false},
        {"x.C", ".c", false},  {"x.cpp", ".c", false}, {"/s/Makefile", "Makefile", true},
        {"x.c", " .c", false}, {".c", "x.c", false},   {"x.cxx", ".c;.cpp;.cxx;.h", true}};
    for (const auto& [path, list, expected] : extensions)
        EXPECT_EQ(matchesExtensionList(path, list), expected) << path << " " << list;
}

// The growth rule at its ends, without allocating: the regression is a file
// of about 970 million lines, whose x 3 / 2 overflowed 32 bits.
TEST(Rules, LineTablesAndThePathHash) {
    const int32_t growth[][2] = {
        {0, 1000}, {1000, 1500}, {970543810, 1455815715}, {1455815715, INT32_MAX}, {INT32_MAX, 0}};
    for (const auto& c : growth)
        EXPECT_EQ(nextCapacity(c[0]), c[1]) << c[0];
    // The nearest line of a list, the lower on a tie, past a path entry.
    const std::vector<int32_t> nearest[] = {{5, -1000000},   {5, -1000000, 0}, {3, 5, 0, 5, 9},
                                            {7, 5, 0, 5, 9}, {8, 9, 0, 5, 9},  {3, 5, 5, 9},
                                            {100, 9, 5, 9},  {4, 2, 2, 6},     {5, 6, 2, 6}};
    for (const std::vector<int32_t>& c : nearest) {  // line, nearest, then the list
        IntVector list;
        for (size_t i = 2; i < c.size(); ++i)
            EXPECT_TRUE(list.push(c[i]));
        EXPECT_EQ(nearestLine(list, c[0]), c[1]) << c[0] << " in a list of " << list.size();
    }
    // The hash of each length against the plain sum of signed bytes.
    std::string text;
    for (int length = 0; length < 40; ++length) {
        uint32_t plain = 5381;
        for (char c : text)
            plain = plain * 65599u +
                    static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(c)));
        EXPECT_EQ(pathHash(text.c_str()), plain) << "length " << length;
        EXPECT_EQ(pathHash((text + "tail").c_str(), length), plain) << "limit " << length;
        text += static_cast<char>((length * 37 + 200) % 255 + 1);  // never NUL
    }
}

// The mark a file begins with, and UTF-16 as UTF-8: line ends as they stand, a surrogate pair
// as one character, and U+FFFD for an odd last byte, a lone surrogate and U+0000.
TEST(Rules, TextMarksAndUtf16Decoding) {
    const std::tuple<std::string, TextMark, std::string> rows[] = {
        {"", TextMark::None, ""},
        {"\xEF\xBB", TextMark::None, ""},
        {"\xEF\xBB\xBFx", TextMark::Utf8, ""},
        {"\xFE\xFE", TextMark::None, ""},
        {"\xFF\xFE"
         "a\0\r\0\n\0\xE9\0\n\0"s,
         TextMark::Utf16LittleEndian, "a\r\n\xC3\xA9\n"},
        {"\xFE\xFF\0a\0\n\x4E\x2D"s, TextMark::Utf16BigEndian, "a\n\xE4\xB8\xAD"},
        {"\xFF\xFE\x3D\xD8\x00\xDEz"s, TextMark::Utf16LittleEndian, "\xF0\x9F\x98\x80\xEF\xBF\xBD"},
        {"\xFE\xFF\xD8\x3D\0a\xDE\0\0\0\xD8\x3D"s, TextMark::Utf16BigEndian,
         "\xEF\xBF\xBD"
         "a\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"\xFF\xFE\xFF"s, TextMark::Utf16LittleEndian, "\xEF\xBF\xBD"},
        {"\xFF\xFE"s, TextMark::Utf16LittleEndian, ""}};
    for (const auto& [bytes, mark, text] : rows) {
        SCOPED_TRACE(::testing::PrintToString(bytes));
        EXPECT_EQ(textMark(bytes), mark);
        const std::string_view body = std::string_view(bytes).substr(textMarkLength(mark));
        if (mark != TextMark::None && mark != TextMark::Utf8) {
            EXPECT_EQ(utf16ToUtf8(body, mark == TextMark::Utf16BigEndian), text);
        }
    }
}

// The scanner test holds the masks to their meaning with the compares the
// processor has; the 16-byte ones (the Windows build's) must give the same.
TEST(Rules, BlockMasksOfBothWidthsAgree) {
    std::mt19937 random(7);
    std::string bytes(kScanBlock * (kMaskBatch - 1) + kScanBlockReach, ' ');
    for (char& c : bytes)
        c = random() % 2 ? static_cast<char>(random()) : "fFoObBaArR/*\n\r\0x"[random() % 16];
    for (const char* query : {"foo BAR", "k x/ *", "\"\" bar", "fo ba ab b/ /* */ \\r\\n x y z"}) {
        TermTable terms;
        terms.parseTerms(query);
        BlockScanner blocks[2];
        std::array<BlockMasks, kMaskBatch> masks[2];
        for (int wide = 0; wide < 2; ++wide) {
            blocks[wide].setWide(wide);
            blocks[wide].prepare(terms);
            blocks[wide].masksFor(bytes.data(), kMaskBatch, true, masks[wide].data());
        }
        EXPECT_EQ(std::memcmp(masks[0].data(), masks[1].data(), sizeof masks[0]), 0) << query;
    }
}

// The first pass's probes, scanned on from each stop as the first pass
// scans: every line feed counted once, every NUL and every occurrence of a
// probed term reported, nothing past the end; one to eight probes.
TEST(Rules, TermProbesMissNoOccurrenceNulOrLineFeed) {
    const std::pair<const char*, int32_t> cases[] = {
        {"kmalloc", 1},
        {"Foo x_", 2},
        {"b/* \xe9T q", 3},
        {"\"\" ab ba abc", 3},
        {"a1 a2 a3 a4 a5 a6 a7 a8 a9 bb", 8},
        {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab", 1}};
    std::mt19937 random(11);
    for (const auto& [query, probedCount] : cases) {
        TermTable terms;
        terms.parseTerms(query);
        std::array<bool, kMaxTerms> wanted;
        wanted.fill(true);
        for (bool wide : {false, true}) {
            TermProbes probes;
            probes.setWide(wide);
            probes.setTerms(terms);
            probes.prepare(wanted);
            ASSERT_EQ(probes.count(), probedCount) << query;
            for (int round = 0; round < 300; ++round) {
                // Now and then a long run of line feeds, to fill the counters.
                const bool feeds = round % 50 == 0;
                const int32_t length = static_cast<int32_t>(random() % (feeds ? 20000 : 700));
                std::string bytes(length + kProbeReach, '\n');
                for (char& c : bytes)
                    c = feeds ? c : "aAbBkKmMlLoOcCfFxX_/*12\n\n\0\xe9\xc9tTq "[random() % 33];
                const bool findNuls = round % 2 == 0;
                int64_t lineFeeds = 0;
                std::string found(length + kScanBlock, ' ');  // N: a NUL, S: a start
                for (int32_t pos = 0; pos < length;) {
                    ProbeHits hits;
                    const int32_t passed =
                        probes.scan(bytes.data() + pos, length - pos, findNuls, &lineFeeds, &hits);
                    for (int32_t bit = 0; bit < kScanBlock; ++bit)
                        found[pos + hits.block + bit] = hits.nuls >> bit & 1     ? 'N'
                                                        : hits.starts >> bit & 1 ? 'S'
                                                                                 : ' ';
                    pos += passed;
                }
                SCOPED_TRACE(std::string(wide ? "wide " : "narrow ") + query);
                EXPECT_EQ(found.find_first_not_of(' ', length), std::string::npos);
                EXPECT_EQ(lineFeeds, std::count(bytes.begin(), bytes.begin() + length, '\n'));
                for (int32_t i = 0; i < length; ++i) {
                    EXPECT_EQ(found[i] == 'N', findNuls && bytes[i] == '\0') << i;
                    for (int32_t k = 0; k < probes.count() && bytes[i] != '\0'; ++k) {
                        const bool occurs =
                            terms.termMatchAt(&bytes[i], bytes.data() + length, probes.term(k));
                        EXPECT_TRUE(!occurs || found[i] == 'S') << probes.term(k) << " at " << i;
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace tarvo
