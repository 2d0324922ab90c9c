#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include "app/whole_lines.h"
#include "cli/cli_options.h"
#include "cli/result_printer.h"
#include "engine/line_excerpt.h"
#include "engine/line_scoring.h"
#include "engine/term_table.h"
#include "results/result_store.h"
#include "support/repeated.h"
#include "support/temp_tree.h"
#ifdef _WIN32
#include <windows.h>
#include <set>
#include "engine/system_path_win32.h"
#endif

namespace tarvo {
using namespace std::string_literals;
CliParse parse(std::vector<std::string> args) {
    std::vector<const char*> argv = {"tarvo-find"};
    for (const std::string& arg : args)
        argv.push_back(arg.c_str());
    return parseCommandLine(static_cast<int>(argv.size()), argv.data());
}
CliParse parse(const char* line) {
    std::vector<std::string> args;
    std::istringstream words(line);
    for (std::string word; words >> word;)
        args.push_back(word);
    return parse(args);
}

// Texts cut to the edit box's limit; "--" ends the options; every switch, value, -j and colour.
TEST(CliOptions, TextsSwitchesValuesThreadsAndColour) {
    const std::string longText(12000, 'x');
    CliParse p = parse({longText, "src;include", "--exclude", longText});
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(std::make_tuple(p.options.findText.size(), p.options.pathText,
                              p.options.excludeList->size()),
              std::make_tuple(size_t{9999}, std::string("src;include"), size_t{9999}));
    EXPECT_EQ(parse(std::vector<std::string>{""}).error, "") << "a query without terms";
    p = parse("-- -x -l");
    EXPECT_EQ(p.options.findText + "|" + p.options.pathText, "-x|-l");
    EXPECT_EQ(parse("- .").options.findText, "-");
    p = parse(
        "--no-recursive --search-binary --no-file-names --no-case-bonus --no-word-bonus "
        "--no-cpp-heuristics --highlight=.h --sort line --top=5 --format jsonl --color "
        "never --stats --rank -l --null --settings s.txt -j3 term");
    ASSERT_EQ(p.error, "");
    const CliOptions& o = p.options;
    for (const auto& off : {o.recursive, o.skipBinaryFiles, o.searchFileNames, o.caseSensitiveBonus,
                            o.wholeWordBonus, o.cppHeuristics})
        EXPECT_EQ(off, false);
    EXPECT_EQ(std::make_tuple(*o.highlightList, *o.sortMode, o.top, o.format, o.color),
              std::make_tuple(std::string(".h"), SortMode::ByLineText, 5, OutputFormat::Jsonl,
                              ColorMode::Never));
    EXPECT_TRUE(o.stats && o.rank && o.filesWithMatches && o.nullAfterPath && !o.listFiles);
    EXPECT_EQ(o.settingsFile + "|" + o.findText + "|" + std::to_string(o.threads), "s.txt|term|3");
    p = parse("src --files");  // wherever it stands, --files takes PATH_TEXT alone
    EXPECT_EQ(std::make_tuple(p.error, p.options.listFiles, p.options.findText, p.options.pathText),
              std::make_tuple(""s, true, ""s, "src"s));
    EXPECT_EQ(parse("--files").error, "");
    EXPECT_EQ(parse("--files a b").error, "too many arguments: b");
    EXPECT_EQ(parse({"--files", ";"}).error, "PATH_TEXT names no folder or file");
    EXPECT_EQ(parse("--threads=2 -j 4 x").options.threads, 4);
    for (const char* line :
         {"", "a b c", "--sort size x", "--top -1 x", "--top 5x x", "--format xml x",
          "--color sometimes x", "--frobnicate x", "x --exclude", "--stats=yes x", "-x y", "x -1",
          "--settings= x", "-j0 x", "-json x", "--threads -1 x", "--tab-width 0 x",
          "--tab-width 17 x", "--tab-width=x y"})
        EXPECT_NE(parse(line).error, "") << line;
    EXPECT_NE(parse({"--settings", "", "x"}).error, "");
    for (const char* path : {"", ";", " ; ;"})
        EXPECT_EQ(parse({"x", path}).error, "PATH_TEXT names no folder or file") << path;
    // -j is held to four scanners per core and 256 in all; no count asked for is refused.
    const std::tuple<int32_t, int32_t, int32_t> threads[] = {
        {0, 2, 2},     {0, 0, 1}, {3, 2, 3},       {8, 2, 8},
        {9, 2, 8},     {5, 0, 4}, {1000000, 2, 8}, {INT32_MAX, 64, 256},
        {0, 1000, 256}};
    for (const auto& [asked, cores, expected] : threads)
        EXPECT_EQ(threadCount(asked, cores), expected) << asked << " on " << cores;
    // Auto colours a terminal showing codes unless NO_COLOR is non-empty or TERM is dumb.
    using enum ColorMode;
    const char* const unset = nullptr;
    const std::tuple<ColorMode, bool, bool, const char*, const char*, bool> cases[] = {
        {Auto, true, true, unset, "xterm", true},    {Auto, true, true, unset, unset, true},
        {Auto, false, false, unset, "xterm", false}, {Auto, true, true, "1", "xterm", false},
        {Auto, true, true, "", "xterm", true},       {Auto, true, true, unset, "dumb", false},
        {Always, false, false, "1", "dumb", true},   {Always, true, false, unset, unset, false},
        {Never, true, true, unset, "xterm", false}};
    for (const auto& [mode, terminal, codesShow, noColor, term, expected] : cases)
        EXPECT_EQ(useColor(mode, terminal, codesShow, noColor, term), expected)
            << int(mode) << terminal << (noColor ? noColor : "-") << (term ? term : "-");
}

// TSV escapes tab, CR, LF and backslash; JSON escapes what is not UTF-8 per byte, with base64.
TEST(ResultPrinter, TsvJsonAndLineRecords) {
    EXPECT_EQ(formatTsv(ResultEntry{0, 2003050, "src/x.c", 2, "cut"}, "int\tFoo(a\\b)\r\n\xe9"),
              "1\t2003050\tsrc/x.c\t2\tint\\tFoo(a\\\\b)\\r\\n\xe9");
    EXPECT_EQ(formatTsv(ResultEntry{4, -1, "a/main.c", 0, ""}, ""), "5\t-1\ta/main.c\t0\t");
    const std::pair<const char*, const char*> escapes[] = {
        {"a\"b\\c", "a\\\"b\\\\c"},
        {"\t\r\n\x01", "\\t\\r\\n\\u0001"},
        {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80", "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80"},
        {"caf\xe9", "caf\\u00e9"},
        {"\xe2\x82", "\\u00e2\\u0082"},
        {"\xc0\xaf", "\\u00c0\\u00af"},
        {"\xe0\x80\xaf", "\\u00e0\\u0080\\u00af"},
        {"\xed\xa0\x80", "\\u00ed\\u00a0\\u0080"}};
    for (const auto& [text, escaped] : escapes)
        EXPECT_EQ(escapeJson(text), escaped);
    EXPECT_EQ(formatJsonl(ResultEntry{2, 7, "d/f.c", 9, "cut"}, "x\n"),
              "{\"rank\":3,\"score\":7,\"path\":\"d/f.c\",\"line\":9,\"text\":\"x\\n\"}");
    const std::string path = "d:1/caf\xe9.c", text = "x\tb\xff\r\n";
    EXPECT_EQ(formatJsonl(ResultEntry{0, 5, path, 7, "cut"}, text),
              "{\"rank\":1,\"score\":5,\"path\":\"d:1/caf\\u00e9.c\",\"path_bytes\":\"" +
                  base64(path) + "\",\"line\":7,\"text\":\"x\\tb\\u00ff\\r\\n\",\"text_bytes\":\"" +
                  base64(text) + "\"}");
    const char* const foobar[] = {"", "Zg==", "Zm8=", "Zm9v", "Zm9vYg==", "Zm9vYmE=", "Zm9vYmFy"};
    for (size_t n = 0; n < std::size(foobar); ++n)
        EXPECT_EQ(base64(std::string("foobar", n)), foobar[n]);
    EXPECT_EQ(base64("\xff\xfe"), "//4=");
    // Styles (terminal, colour, rank, column, NUL): a pipe gets the bytes, a terminal them shown.
    TermTable terms;
    terms.parseTerms("foo");
    const ResultEntry e{0, 2003050, "d:1/caf\xe9.c", 7, "x\tfoo\rb\xff\x1b]0;t\x07\r\n"};
    const std::string head = "d:1/caf\xe9.c:7:", raw = "\rb\xff\x1b]0;t\x07";
    const std::string on = "\x1b[30;103m", off = "\x1b[0m", shown = "\\rb\xff^[]0;t^G";
    const std::optional<size_t> none;
    const std::tuple<PrintStyle, std::optional<size_t>, std::string> cases[] = {
        {PrintStyle{false, false, false, false}, none, head + "x\tfoo" + raw},
        {PrintStyle{false, true, false, false}, none, head + "x\t" + on + "foo" + off + raw},
        {PrintStyle{true, false, false, false}, none, head + "x   foo" + shown},
        {PrintStyle{true, true, false, false}, none, head + "x   " + on + "foo" + off + shown},
        {PrintStyle{false, false, false, false}, 3, head + "3:x\tfoo" + raw},
        {PrintStyle{false, false, true, false}, none, "1:2003050:" + head + "x\tfoo" + raw},
        {PrintStyle{false, false, false, true}, 3,
         std::string("d:1/caf\xe9.c") + '\0' + "7:3:x\tfoo" + raw}};
    for (const auto& [style, column, expected] : cases)
        EXPECT_EQ(formatMatch(e, e.lineText, column, terms, style), expected) << expected;
    EXPECT_EQ(formatMatch(ResultEntry{4, -1, "a/main.c", 0, ""}, "", 1, terms, PrintStyle{}),
              "a/main.c:0:1:");
    // Terms are found and marked past a NUL byte, which a terminal shows as ^@.
    const std::string nul = "x\0y foo\n"s;
    EXPECT_EQ(std::make_tuple(termColumn(nul, terms), termColumn("bar", terms)),
              std::make_tuple(size_t{5}, size_t{1}));
    // Vimgrep's column is the scan's where it is known, whatever text is printed.
    const ResultEntry distant{0, 1, "f", 1, "yyy", 17000003};
    EXPECT_EQ(
        std::make_tuple(vimgrepColumn(distant, "yyy", terms), vimgrepColumn(e, e.lineText, terms)),
        std::make_tuple(size_t{17000003}, size_t{3}));
    EXPECT_EQ(formatMatch(ResultEntry{0, 1, "n", 1, nul}, nul, none, terms,
                          PrintStyle{true, true, false, false}),
              "n:1:x^@y " + on + "foo" + off);
    std::string records = "x\n";
    appendPathRecord(records, "a\nb\x1b\x7f.c", PrintStyle{true, false, false, false});
    appendPathRecord(records, "a\nb.c", PrintStyle{false, false, false, true});
    EXPECT_EQ(records, std::string("x\na\\nb^[^?.c\na\nb.c") + '\0');
}

// Read three bytes at a time; reading ends at the last wanted line or at the limit.
TEST(WholeLines, SpansOfTheWantedLinesAndAUtf16LineReadAgainFromItsPlace) {
    const std::string file = "ab\n\ncd\r\nlast";
    using Spans = std::vector<std::pair<int64_t, int64_t>>;
    using Case = std::tuple<const char*, std::string, std::vector<int32_t>, int64_t, Spans, size_t>;
    const Case cases[] = {
        {"ends kept; the last line has none", file, {1, 3, 4}, 99, {{0, 3}, {4, 8}, {8, 12}}, 12},
        {"an empty line, and no read past it", file, {2}, 99, {{3, 4}}, 6},
        {"past the end", file, {4, 5}, 99, {{8, 12}, {-1, -1}}, 12},
        {"a final line feed begins no line", "a\n", {1, 2}, 99, {{0, 2}, {-1, -1}}, 2},
        {"a line ending past the limit", file, {1, 3}, 7, {{0, 3}, {-1, -1}}, 7},
        {"a line cut by the limit is no last line", file, {4}, 11, {{-1, -1}}, 11}};
    for (const auto& [label, bytes, lines, limit, expected, read] : cases) {
        SCOPED_TRACE(label);
        size_t at = 0;
        const ReadFunction reader = [&](char* buffer, int32_t wanted) {
            const size_t n = std::min<size_t>({3, static_cast<size_t>(wanted), bytes.size() - at});
            std::memcpy(buffer, bytes.data() + at, n);
            at += n;
            return static_cast<int32_t>(n);
        };
        Spans spans;
        for (const LineSpan& span : findLineSpans(reader, lines, limit))
            spans.emplace_back(span.begin, span.end);
        EXPECT_EQ(spans, expected);
        EXPECT_EQ(at, read);
    }
    // Only an excerpt, or a full stored text without a line feed, is cut.
    EXPECT_TRUE(isCutText(std::string(kExcerptMark) + "x\n"));
    EXPECT_TRUE(isCutText(std::string(150, 'x')));
    EXPECT_FALSE(isCutText(std::string(149, 'x') + "\n"));
    EXPECT_FALSE(isCutText(std::string(149, 'x')));
    // UTF-16 lines read again from their own start: the characters before them grew in UTF-8.
    testing::TempTree tree;
    std::string text;
    const std::string line = "foo " + std::string(300, 'x') + "\n";
    std::vector<ResultEntry> entries;
    entries.reserve(3);  // the rows point into it
    std::vector<const ResultEntry*> rows;
    for (int32_t number = 1; number <= 200; ++number) {
        const bool wanted = number % 70 == 50;
        text += wanted ? line : std::string(1000, 'a') + "\n";
        if (wanted)
            rows.push_back(&entries.emplace_back(
                ResultEntry{0, 1, tree.path("w.txt"), number, line.substr(0, kMaxLineText)}));
    }
    tree.write("w.txt", "\xFF\xFE" + testing::utf16(text));
    const std::vector<LineSpan> spans = findWholeLines(rows);
    std::replace(text.begin(), text.end(), 'a', '\xE9');
    tree.write("w.txt", "\xFF\xFE" + testing::utf16(text));
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(wholeLineText(*rows[i], spans[i]), line) << "line " << rows[i]->lineNumber;
}

#ifdef _WIN32
// What tarvo-find.exe, beside this suite, writes when started with `arguments`.
std::string outputOf(const std::string& arguments) {
    FILE* pipe = _wpopen(wideText("tarvo-find.exe " + arguments + " 2>&1").c_str(), L"rb");
    if (!pipe) return "not started";
    std::string output;
    char buffer[4096];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, got);
    _pclose(pipe);
    return output;
}

// With no manifest, in code page 1252: terms and paths from the wide command line, UTF-8 out.
TEST(TarvoFindExe, AnyPathInAnyScriptIsFoundAndWrittenInUtf8) {
    testing::TempTree tree;
    const std::string cyrillic = "\xd0\x96\xd0\xb0\xd0\xbd\xd1\x80",
                      japanese = "\xe6\x97\xa5\xe6\x9c\xac";
    const std::set<std::string> files = {
        tree.write(cyrillic + "/a.c", "needle " + cyrillic + "\n"),
        tree.write(japanese + "/b.txt", "needle " + japanese + "\n")};
    std::set<std::string> printed;
    std::istringstream lines(outputOf("-l needle \"" + tree.root() + "\""));
    for (std::string line; std::getline(lines, line);)
        printed.insert(line.substr(0, line.find_last_not_of('\r') + 1));
    EXPECT_EQ(printed, files);
    EXPECT_EQ(outputOf(japanese + " \"" + tree.path(japanese) + "\""),
              tree.path(japanese + "/b.txt") + ":1:needle " + japanese + "\n");
}
#endif

}  // namespace tarvo
