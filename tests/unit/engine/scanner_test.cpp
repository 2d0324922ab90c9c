// The scanner against the reference where its shortcuts could part from it; skips, stops, shrinks.
#include "engine_test.h"
#include "support/reference_scanner.h"
#include "support/repeated.h"

namespace tarvo {
namespace {
using testing::repeated;

// Random bytes, with `plant` `back` bytes before each move point and window read end, and at the
// end.
std::string makeContent(size_t size, std::string_view alphabet, uint32_t seed,
                        std::string_view plant = "", size_t back = 1) {
    std::mt19937 random(seed);
    std::string bytes(size, ' ');
    for (char& c : bytes)
        c = alphabet[random() % alphabet.size()];
    for (size_t at : {75002, 100000, 125002, 150000, 175002, 200000, 225002, 250000, 0}) {
        at = at ? at - back : size - plant.size();
        if (at + plant.size() <= size) bytes.replace(at, plant.size(), plant);
    }
    return bytes;
}

class ScanTest : public testing::EngineTest {
protected:
    ScanTest() { request.options.searchFileNames = false; }
    void prepare(const char* findText) {
        request.findText = findText;
        searchRun.prepareRun();
    }
};

TEST_F(ScanTest, AgreesWithTheReferenceScanner) {
    const std::string longTerm(100, '7');
    const std::string text = "abfoOxBAR/* \n\n\r\t7";
    const std::string crlf = "fooBAR int\r\n\r\n/**/ x/";
    const std::string binary = text + std::string(2, '\0') + "\xe9T";
    // clang-format off
    std::vector<std::pair<std::string, std::string>> files = {
        {"empty.txt", ""}, {"one.c", "f"}, {"feed.c", "\n"}, {"foo_dir/bar.h", "nothing to see\n"},
        {"zero.c", std::string(1, '\0')},  // not "nul.c": Windows reserves that name
        {"long.c", "a\n" + std::string(300, 'x') + "foo bar" + std::string(93, 'y') + "\n"},
        {"comments.c", "/*/ foo */ bar\n/* a\nb */ foo\n*/ /* bar\nfoo"},
        {"once.c", "foo\nBAR\nfOb\n"},  // each term once: the first pass drops exactly it
        {"late.bin", makeContent(90000, text, 1) + '\0' + "foo\n"},
        {"later.bin", makeContent(160000, text, 2) + '\0' + "foo\n"}};
    // clang-format on
    // Block edges, then terms, line feeds and comment marks across the seams.
    const std::tuple<size_t, std::string, std::string, size_t> generated[] = {
        {63, text, "foo", 1},         {64, text, "foo", 1},       {129, text, "foo", 1},
        {75000, text, "fOo", 1},      {75001, text, "foo", 1},    {75002, text, "/*", 1},
        {100001, text, "*/", 1},      {150003, text, "foo", 3},   {150003, text, "BAR", 2},
        {250017, text, "a\nb", 1},    {150003, crlf, "a\nb", 1},  {250017, crlf, "x/", 1},
        {120000, binary, "\xe9t", 1}, {75052, text, longTerm, 50}};
    for (const auto& [size, alphabet, plant, back] : generated) {
        const uint32_t seed = static_cast<uint32_t>(files.size());
        files.push_back({std::to_string(seed) + (seed % 2 ? ".c" : ".txt"),
                         makeContent(size, alphabet, seed, plant, back)});
    }
    // Past a line's reach: a term on 512 lines, others 99 to 101 lines away, a comment; long lines.
    std::string reach, wide;
    for (int line = 1; line <= 700; ++line) {
        reach += (line <= 512 || line == 662 ? "foo " : "x ") + std::string(line % 7, 'y');
        if (line == 150 || line == 249 || line == 250 || line == 351 || line == 572)
            reach += " BAR fOb";
        reach += line == 300 ? " /*\n" : line == 320 ? " */\n" : "\n";
        if (line <= 300)
            wide += (line % 50 == 7 ? "foo bar fob " : "") +
                    std::string(1000 + line * 37 % 500, 'y') + "\n";
    }
    // A query of more terms than the blocks compare, its last term once, at each offset of a block.
    for (int32_t at = 0; at < kScanBlock; ++at) {
        const std::string all = "fo ba ab b/ /* */\r\nx y\n";
        files.push_back({"at" + std::to_string(at) + ".c",
                         all + std::string(4 * kScanBlock + at - all.size(), '-') + "z\n"});
    }
    files.push_back({"reach.c", reach});
    // The name's term on more lines than a term's list keeps, the other term well after them.
    files.push_back({"foo.txt", repeated(600, "foo\n") + std::string(99, '\n') + "BAR\n"});
    files.push_back({"wide.txt", wide});
    // Far terms: the kept excerpt from the window, and from a line read again.
    files.push_back(
        {"far.c", std::string(200, 'x') + " foo BAR\n" + std::string(120000, 'y') + " fOb a\nb\n"});
    // UTF-16 either way round, terms and marks at the decoded text's seams; a UTF-8 mark.
    for (const bool bigEndian : {false, true}) {
        const std::string text = makeContent(bigEndian ? 2000 : 150003, crlf, 5, "foo", 3);
        const std::string mark = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        files.push_back(
            {bigEndian ? "be.c" : "le.c", mark + testing::utf16(text, bigEndian) + "\xD8"});
    }
    files.push_back({"mark.c", "\xEF\xBB\xBF" + makeContent(2000, text, 6, "foo")});
    const std::string cjk = repeated(20, repeated(99, "\x2D\x4E") + std::string("\n\0", 2));
    files.push_back({"cjk.c", "\xFF\xFE" + cjk + std::string("f\0o\0o\0", 6)});  // longer as UTF-8
    // Long UTF-16 lines read again, and a surrogate pair across the first decoded stretch.
    files.push_back({"wide16.txt", "\xFF\xFE" + testing::utf16(wide.substr(0, 32767)) +
                                       std::string("\x3D\xD8\x00\xDE", 4) +
                                       testing::utf16(wide.substr(32767))});
    for (const auto& [name, bytes] : files)
        tree.write(name, bytes);
    const std::string queries[] = {
        "",                                  // no terms: every file is indexed in full
        "foo fOb BAR",                       // letters: both cases, one start twice
        "a\\nb x/ *",                        // a line feed inside, one-byte and non-letter terms
        "\"\" bar",                          // an empty term: every first byte, NUL among them
        "fo ba ab b/ /* */ \\r\\n x y z",    // more first pairs than the blocks compare
        "\xe9t o",                           // a byte above 127
        "foo dir",                           // terms in a path
        longTerm,                            // as long as a term gets, across the seams
        "a aA bab ab\\na b\\n\\nA",          // inside one another, across one and two lines
        repeated(100, "\\n") + " \\n\\n x",  // 99 lines long: lines wait that much longer
    };
    // The automaton's worst cases: a hundred nested terms over lines of one letter, endless walks.
    std::string nested;
    for (int length = 100; length > 0; --length)
        nested += std::string(length, 'a') + " ";
    const std::string one(250017, 'a');
    const std::vector<std::pair<std::string, std::vector<std::string>>> worstCases = {
        {nested,
         {std::string(3000, 'a'), repeated(40, std::string(120, 'a') + "\n"),
          repeated(300, "aaAa\n") + std::string(101, 'A')}},
        {"aaaaaaa aaa \"\" Aa", {one, std::string(75001, 'a') + "\n\n" + one}},
        // Lines enough for a file's results to raise their bar, then one that outranks them all.
        {"a", {repeated(2 * kMaxResults + 1, "(a\n") + "a\n"}}};
    // Where no line can enter, a file is only counted, to the same counts.
    testing::CollectingSink full(1);
    full.addResult(INT32_MAX, "", 0, "");
    SearchRun counting{host, request, memory, full};
    auto agree = [&](const std::string& query, const std::string& name, const std::string& bytes) {
        const std::string path = tree.path(name);
        prepare(query.c_str());
        testing::ReferenceScan expected;
        testing::CollectingSink reference;
        const std::string text = testing::textOf(bytes);
        testing::referenceScan(path, text, searchRun.terms(), request, expected, reference);
        using Counts = std::tuple<int64_t, int64_t, int64_t, int64_t>;
        const Counts counts =
            expected.binary ? Counts() : Counts(1, expected.lines(), text.size(), expected.matches);
        for (SearchRun* run : {&counting, &searchRun}) {
            memory.clear();
            results.clearResults();
            run->prepareRun();
            run->scanFile(path.c_str());
            const SearchStats& s = run->stats();
            ASSERT_TRUE(memory.isSearched(path.c_str()));
            EXPECT_EQ(memory.entry(memory.find(path.c_str())).binary, expected.binary);
            EXPECT_EQ(Counts(s.files, s.lines, s.bytes, s.matches), counts);
        }
        if (expected.binary) return;
        ASSERT_EQ(results.count(), reference.count());
        const auto fields = [](const testing::CollectingSink::Line& e) {
            return std::tie(e.score, e.lineNumber, e.lineText, e.termColumn);
        };
        for (int32_t i = 0; i < results.count(); ++i)
            EXPECT_EQ(fields(results.rankEntry(i)), fields(reference.rankEntry(i))) << "rank " << i;
    };
    for (const bool on : {false, true}) {
        request.options.skipBinaryFiles = request.options.searchFileNames = on;
        const std::string options = on ? ", options on, " : ", options off, ";
        for (const std::string& query : queries) {
            for (const auto& [name, bytes] : files) {
                SCOPED_TRACE(query + options + name);
                agree(query, name, bytes);
            }
        }
        for (const auto& [query, contents] : worstCases) {
            for (size_t i = 0; i < contents.size(); ++i) {
                SCOPED_TRACE(query.substr(0, 30) + options + "worst case " + std::to_string(i));
                const std::string name = "worst" + std::to_string(i) + ".c";
                tree.write(name, contents[i]);
                agree(query, name, contents[i]);
            }
        }
    }
}

// In a full sink a line at its ceiling tying the last entry enters by its line number.
TEST_F(ScanTest, LinesReachingTheirCeilingStillEnterAFullSink) {
    const std::string path =
        tree.write("x.c", "// foo routine\nint Foo(int bar)\n{\n    return foo;\n");
    request.options = {1, 1, 0, 0, 0, 0};  // no bonus: a line's score is its ceiling
    prepare("foo bar");
    searchRun.scanFile(path.c_str());
    ASSERT_EQ(results.rankEntry(1).lineNumber, 1);
    const int32_t ceiling = results.rankEntry(1).score;
    testing::CollectingSink full(3);
    full.addResult(INT32_MAX, "a", 1, "");
    full.addResult(ceiling, path.c_str(), 2, "");
    full.addResult(ceiling, path.c_str(), 3, "");
    SearchRun run{host, request, memory, full};
    memory.clear();
    run.prepareRun();
    run.scanFile(path.c_str());
    EXPECT_EQ(run.stats().matches, 3);
    EXPECT_GT(full.rankEntry(1).score, ceiling);
    EXPECT_EQ(full.rankEntry(2).lineText, "// foo routine\n");
}

TEST_F(ScanTest, SkipsAndStops) {
    prepare("foo");
    const std::string gone = tree.path("gone.c");
    memory.add(gone.c_str(), 700);
    searchRun.scanFile(gone.c_str());
    EXPECT_EQ(memory.find(gone.c_str()), -1) << "a file that cannot be opened is forgotten";
    // Stopped at the first window move: not counted, marked searched.
    const std::string big = tree.write("big", makeContent(200000, "abo\n", 7));
    host.pumpCalls = 0;
    host.stopAtPump = 2;
    searchRun.scanFile(big.c_str());
    EXPECT_EQ(
        std::make_tuple(host.pumpCalls, searchRun.stats().files, memory.isSearched(big.c_str())),
        std::make_tuple(2, int64_t{0}, true));
    searchRun.scanFile(tree.write("other", "foo\n").c_str());
    EXPECT_EQ(memory.count(), 1) << "stopped before the file: not opened";
    // A pump before the file and each 100th scored line; a stop at the 200th keeps the results.
    results.clearResults();
    host.state = RunState::Running;
    host.pumpCalls = 0;
    host.stopAtPump = 3;
    searchRun.scanFile(tree.write("many", repeated(250, "foo\n")).c_str());
    EXPECT_EQ(results.count(), 200);
    EXPECT_EQ(searchRun.stats().files, 0) << "stopped while it was read: not counted";
}

// A file that shrinks while it is read ends where reading ended.
TEST_F(ScanTest, FilesThatChangeWhileRead) {
    prepare("zz");
    const std::string bytes = makeContent(200000, "ab\nc", 3);
    testing::ReferenceScan cut;
    testing::referenceScan("", bytes.substr(0, 110000), {}, request, cut, results);
    results.clearResults();
    const std::string shrinks = tree.write("shrinks", bytes);
    host.onPump = [&](int call) {
        if (call == 2) std::filesystem::resize_file(shrinks, 110000);
    };
    searchRun.scanFile(shrinks.c_str());
    EXPECT_EQ(std::make_pair(searchRun.stats().bytes, searchRun.stats().lines),
              std::make_pair(int64_t{110000}, int64_t{cut.lines()}));
    // Shrinks while scored: lines scanned from the window before the cut are scored as read.
    const std::string line = std::string("zz ").append(46, 'x').append("\n");
    const std::string path = tree.write("scored", repeated(4000, line));
    prepare("zz");
    host.pumpCalls = 0;
    host.onPump = [&](int call) {  // before the file, before the scoring pass, inside it
        if (call == 3) std::filesystem::resize_file(path, 1000);
    };
    searchRun.scanFile(path.c_str());
    ASSERT_EQ(results.count(), kScanWindowSize / 50);
    std::set<std::string> texts;
    for (int32_t i = 0; i < results.count(); ++i)
        texts.insert(results.rankEntry(i).lineText);
    EXPECT_EQ(texts, std::set<std::string>{line});
    // Loses its late term before the scoring pass: no results.
    const std::string head = repeated(300, "yy\n") + std::string(199000, 'x');
    const std::string late = tree.write("late", head + "\nzz\n");
    prepare("yy zz");
    results.clearResults();
    host.pumpCalls = 0;
    host.onPump = [&](int call) {  // before the file, at three moves, before the scoring pass
        if (call == 5) tree.write("late", head + "xxxx");
    };
    searchRun.scanFile(late.c_str());
    EXPECT_EQ(std::make_pair(results.count(), searchRun.stats().matches),
              std::make_pair(0, int64_t{0}));
    host.onPump = nullptr;
}

}  // namespace
}  // namespace tarvo
