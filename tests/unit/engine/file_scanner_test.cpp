// The scanner against the plain byte-at-a-time reference scanner
// (support/reference_scanner.h), across window moves and over generated
// trees, plus the file-level rules: qualification, file-name entries,
// binary files, stops, and files that change while they are read.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "engine/file_memory.h"
#include "engine/search_engine.h"
#include "results/result_store.h"
#include "support/engine_fixture.h"
#include "support/numbered_name.h"
#include "support/reference_scanner.h"
#include "support/temp_tree.h"
#include "support/test_host.h"

namespace tarvo {
namespace {

using testing::indexWholeBuffer;
using testing::numberedName;
using testing::ReferenceScan;

// Pump calls of one full read: one before the file, one per window move.
int pumpsForFileOf(int64_t size) {
    int pumps = 1;
    int64_t shift = 0;
    for (int64_t i = 0; i < size; ++i) {
        if (i - shift > kScanWindowMoveAt) {
            ++pumps;
            shift += kScanWindowMove;
        }
    }
    return pumps;
}

std::vector<int32_t> toVector(const IntVector& vector) {
    return std::vector<int32_t>(vector.data(), vector.data() + vector.size());
}

// File offsets where the window's contents change: the first move point and
// those after it, and the ends of the reads.
constexpr size_t kSeams[] = {75002, 100000, 125002, 150000, 175002, 200000, 225002, 250000};

// Random text over a small alphabet rich in term letters, line breaks and
// comment marks, with `plant` written across every seam, `back` bytes before
// it, and once at the very end.
std::string makeContent(size_t size, const std::string& alphabet, uint32_t seed,
                        std::string_view plant = "", size_t back = 1) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    std::string bytes(size, ' ');
    for (char& c : bytes)
        c = alphabet[pick(random)];
    auto write = [&](size_t at, std::string_view text) {
        if (at + text.size() <= size) bytes.replace(at, text.size(), text);
    };
    for (size_t seam : kSeams)
        write(seam - back, plant);
    if (size >= plant.size()) write(size - plant.size(), plant);
    return bytes;
}

// ---------------------------------------------------------------------------
// Fixture: a host, the host's objects and a scratch tree
// ---------------------------------------------------------------------------

class ScanFileTest : public testing::EngineTest {
protected:
    ScanFileTest() { request.options.searchFileNames = 0; }

    void prepare(const char* findText) {
        request.findText = findText;
        engine.prepareRun();
    }

    bool searched(const std::string& path) const { return memory.isSearched(path.c_str()); }

    // The tables are built only for a file where every term occurs.
    void expectIndexEquals(const ReferenceScan& expected) {
        for (const std::vector<int32_t>& lines : expected.termLines) {
            if (lines.empty()) return;
        }
        EXPECT_EQ(toVector(engine.lineStarts()), expected.lineStarts);
        EXPECT_EQ(toVector(engine.lineCommentFlags()), expected.commentFlags);
        for (int32_t t = 0; t < engine.terms().count(); ++t) {
            SCOPED_TRACE("term " + std::to_string(t));
            EXPECT_EQ(toVector(engine.termLines(t)), expected.termLines[t]);
        }
    }
};

TEST_F(ScanFileTest, AgreesWithAWholeBufferScanAcrossWindowMoves) {
    struct Case {
        const char* label;
        size_t size;
        std::string alphabet;
        const char* findText;
        bool skipBinary;
        const char* plant;
        size_t back;
    };
    const std::string text = "abfoOxBAR/* \n\n\r\t";
    const char* terms = "foo BAR a\\nb x/";
    const Case cases[] = {
        {"empty", 0, text, terms, true, "", 0},
        {"one byte", 1, text, "foo", true, "", 0},
        {"75,000 bytes", 75000, text, terms, true, "fOo", 1},
        {"75,001 bytes: read in one piece", 75001, text, terms, true, "foo", 1},
        {"75,002 bytes: one move", 75002, text, terms, true, "foo", 2},
        {"100,001 bytes, a\\nb across the seams", 100001, text, terms, true, "a\nb", 1},
        {"150,003 bytes, foo across the seams", 150003, text, terms, true, "foo", 1},
        {"150,003 bytes, foo ending at the seams", 150003, text, terms, true, "foo", 3},
        {"150,003 bytes, comments opening across the seams", 150003, text, terms, true, "/*", 1},
        {"250,017 bytes, comments closing across the seams", 250017, text, terms, true, "*/", 1},
        {"250,017 bytes, CR LF heavy", 250017, "fooBAR\r\n\r\n/*", terms, true, "x/", 1},
        {"NUL bytes with Skip Binary Files off", 150003, text + std::string(3, '\0'), "foo BAR",
         false, "BAR", 2},
        {"an empty term with NUL bytes", 120000, text + std::string(2, '\0'), "\"\" BAR", false,
         "bar", 1},
    };
    uint32_t seed = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::string bytes = makeContent(c.size, c.alphabet, seed++, c.plant, c.back);
        std::string path = tree.write(numberedName("f", seed) + ".txt", bytes);
        request.options.skipBinaryFiles = c.skipBinary;
        prepare(c.findText);
        results.clearResults();
        host.pumpCalls = 0;

        engine.scanFile(path.c_str());

        const ReferenceScan expected = indexWholeBuffer(bytes, engine.terms());
        expectIndexEquals(expected);
        const int32_t lineCount = static_cast<int32_t>(expected.lineStarts.size()) - 2;
        EXPECT_EQ(engine.stats().files, 1);
        EXPECT_EQ(engine.stats().lines, lineCount);
        EXPECT_EQ(engine.stats().bytes, static_cast<int64_t>(c.size));
        // A file where every term occurs is read by two passes.
        const int pumps = pumpsForFileOf(c.size) + engine.stats().matches / 100;
        EXPECT_GE(host.pumpCalls, results.count() > 0 ? pumps : pumps - 1);
        EXPECT_LE(host.pumpCalls, results.count() > 0 ? 2 * pumps : pumps);
        EXPECT_TRUE(searched(path));

        // Every result carries the first 150 bytes of its line, whether the
        // line was still in the window or had to be read again.
        for (int32_t r = 0; r < results.count(); ++r) {
            const ResultEntry& entry = results.rankEntry(r);
            if (entry.lineNumber == 0) continue;
            const int32_t begin = expected.lineStarts[entry.lineNumber];
            const int32_t end = std::min(expected.lineStarts[entry.lineNumber + 1], begin + 150);
            std::string line = bytes.substr(begin, end - begin);
            line.resize(std::strlen(line.c_str()));  // the store keeps text up to a NUL
            EXPECT_EQ(entry.lineText, line) << "line " << entry.lineNumber;
        }
    }
}

TEST_F(ScanFileTest, WorkedExampleEndToEnd) {
    const char* content = "// foo routine\nint Foo(int bar)\n{\n    return foo;\n";
    std::string onList = tree.write("x.c", content);
    std::string offList = tree.write("x.txt", content);
    prepare("foo bar");

    engine.scanFile(onList.c_str());
    ASSERT_EQ(results.count(), 3);
    EXPECT_EQ(results.rankEntry(0).score, 2003050);
    EXPECT_EQ(results.rankEntry(0).lineNumber, 2);
    EXPECT_EQ(results.rankEntry(0).lineText, "int Foo(int bar)\n");
    EXPECT_EQ(results.rankEntry(1).score, 1002020);
    EXPECT_EQ(results.rankEntry(1).lineNumber, 1);
    EXPECT_EQ(results.rankEntry(2).score, 1002010);
    EXPECT_EQ(results.rankEntry(2).lineNumber, 4);
    EXPECT_EQ(results.rankEntry(2).path, onList);
    EXPECT_EQ(engine.stats().matches, 3);
    EXPECT_EQ(engine.stats().lines, 4);

    results.clearResults();
    engine.scanFile(offList.c_str());
    ASSERT_EQ(results.count(), 3);
    EXPECT_EQ(results.rankEntry(0).score, 2002550);
    EXPECT_EQ(results.rankEntry(0).path, offList);

    // Without options a line scores its ceiling: line 1 ties with the two
    // last entries and enters by its line number, line 2 ranks above them,
    // line 4 below; all three are counted.
    request.options.caseSensitiveBonus = request.options.wholeWordBonus = 0;
    request.options.cppHeuristics = 0;
    memory.clear();
    results.clearResults();
    for (int32_t i = 0; i < kMaxResults - 2; ++i)
        results.addResult(3000000, numberedName("a", i).c_str(), 1, "");
    results.addResult(1001990, onList.c_str(), 2, "");
    results.addResult(1001990, onList.c_str(), 3, "");
    const int64_t matches = engine.stats().matches;
    engine.scanFile(onList.c_str());
    EXPECT_EQ(engine.stats().matches - matches, 3);
    ASSERT_EQ(results.count(), kMaxResults);
    EXPECT_EQ(results.rankEntry(kMaxResults - 2).lineNumber, 2);
    EXPECT_EQ(results.rankEntry(kMaxResults - 1).lineNumber, 1);
    EXPECT_EQ(results.rankEntry(kMaxResults - 1).lineText, "// foo routine\n");
}

TEST_F(ScanFileTest, LinesAndComments) {
    prepare("");  // no terms: every file gets the full index
    {
        SCOPED_TRACE("last line without a line feed");
        std::string path = tree.write("a", "foo\nbar");
        engine.scanFile(path.c_str());
        EXPECT_EQ(toVector(engine.lineStarts()), (std::vector<int32_t>{0, 0, 4, 7}));
    }
    {
        SCOPED_TRACE("a final line feed adds no line");
        std::string path = tree.write("b", "foo\n");
        engine.scanFile(path.c_str());
        EXPECT_EQ(toVector(engine.lineStarts()), (std::vector<int32_t>{0, 0, 4}));
    }
    {
        SCOPED_TRACE("an empty file counts as one line");
        std::string path = tree.write("c", "");
        engine.scanFile(path.c_str());
        EXPECT_EQ(toVector(engine.lineStarts()), (std::vector<int32_t>{0, 0, 0}));
    }
    EXPECT_EQ(engine.stats().lines, 2 + 1 + 1);
    EXPECT_EQ(engine.stats().files, 3);
    EXPECT_EQ(engine.stats().bytes, 7 + 4 + 0);
    EXPECT_EQ(host.refreshes, 3) << "one refresh per counted file";
    {
        SCOPED_TRACE("comment flags");
        std::string path = tree.write("d", "x\n/* open\na\nb\nc */ d\nafter\n/*/ e\nf\n");
        engine.scanFile(path.c_str());
        EXPECT_EQ(toVector(engine.lineCommentFlags()),
                  (std::vector<int32_t>{0, 0, 0, 1, 1, 1, 0, 0, 0}));
    }
}

TEST_F(ScanFileTest, QualificationAndFileNameEntries) {
    {
        SCOPED_TRACE("only one of two terms occurs: counted, no result");
        prepare("a b");
        std::string path = tree.write("only_a", "a a a\n");
        engine.scanFile(path.c_str());
        EXPECT_EQ(engine.stats().files, 1);
        EXPECT_EQ(results.count(), 0);
    }
    {
        SCOPED_TRACE("no terms: every file is a file-name entry");
        prepare("");
        results.clearResults();
        std::string path = tree.write("any", "text\n");
        engine.scanFile(path.c_str());
        ASSERT_EQ(results.count(), 1);
        EXPECT_EQ(results.rankEntry(0).score, -1);
        EXPECT_EQ(results.rankEntry(0).lineNumber, 0);
        EXPECT_EQ(results.rankEntry(0).lineText, "");
        EXPECT_EQ(engine.stats().matches, 0) << "a file-name entry is not a match";
    }
    request.options.searchFileNames = 1;
    {
        SCOPED_TRACE("terms only in the path");
        prepare("src main");
        results.clearResults();
        std::string path = tree.write("src/main.c", "nothing here\n");
        engine.scanFile(path.c_str());
        EXPECT_EQ(toVector(engine.termLines(0)), std::vector<int32_t>{0});
        ASSERT_EQ(results.count(), 1);
        EXPECT_EQ(results.rankEntry(0).score, -1);
        EXPECT_EQ(results.rankEntry(0).path, path);
    }
    {
        SCOPED_TRACE("a term in the path and on line 7");
        results.clearResults();
        std::string path = tree.write("src/main.cpp", "1\n2\n3\n4\n5\n6\nint main()\n");
        engine.scanFile(path.c_str());
        EXPECT_EQ(toVector(engine.termLines(1)), (std::vector<int32_t>{0, 7}));
        ASSERT_EQ(results.count(), 1);
        EXPECT_EQ(results.rankEntry(0).lineNumber, 7);
        EXPECT_GE(results.rankEntry(0).score, 2000000) << "both terms present";
    }
    request.options.searchFileNames = 0;
    {
        SCOPED_TRACE("a 400-byte line is scored on its first 150 bytes");
        prepare("needle");
        results.clearResults();
        std::string line = std::string(300, 'x') + "needle" + std::string(94, 'y') + "\n";
        std::string path = tree.write("long", "a\n" + line);
        engine.scanFile(path.c_str());
        ASSERT_EQ(results.count(), 1);
        EXPECT_EQ(results.rankEntry(0).lineNumber, 2);
        EXPECT_EQ(results.rankEntry(0).lineText, std::string(150, 'x'));
        EXPECT_EQ(results.rankEntry(0).score, 1000000 + 1000);
    }
}

TEST_F(ScanFileTest, SkipsExcludedSearchedAndVanishedFiles) {
    prepare("");
    std::string path = tree.write("a.txt", "x\n");
    {
        SCOPED_TRACE("excluded: never opened or remembered");
        request.excludeList = ".log;.txt";
        engine.scanFile(path.c_str());
        EXPECT_EQ(memory.find(path.c_str()), -1);
        request.excludeList.clear();
    }
    {
        SCOPED_TRACE("the same path twice is read once");
        engine.scanFile(path.c_str());
        engine.scanFile(path.c_str());
        EXPECT_EQ(engine.stats().files, 1);
        EXPECT_EQ(results.count(), 1);
    }
    {
        SCOPED_TRACE("a file that cannot be opened is forgotten");
        std::string gone = tree.path("gone.c");
        memory.add(gone.c_str(), 700);
        engine.scanFile(gone.c_str());
        EXPECT_EQ(memory.find(gone.c_str()), -1);
    }
}

TEST_F(ScanFileTest, BinaryFiles) {
    prepare("cd");
    std::string bytes("ab\0cd\nx\0\ncd", 11);
    std::string path = tree.write("bin", bytes);
    {
        SCOPED_TRACE("Skip Binary Files on: no counts, no results, remembered as binary");
        engine.scanFile(path.c_str());
        EXPECT_EQ(engine.stats().files, 0);
        EXPECT_EQ(engine.stats().lines, 0);
        EXPECT_EQ(results.count(), 0);
        int32_t entry = memory.find(path.c_str());
        ASSERT_NE(entry, -1);
        EXPECT_TRUE(memory.entry(entry).binary);
        EXPECT_TRUE(memory.entry(entry).searched);
    }
    {
        SCOPED_TRACE("Skip Binary Files off: NUL is an ordinary byte");
        request.options.skipBinaryFiles = 0;
        std::string other = tree.write("bin2", bytes);
        engine.scanFile(other.c_str());
        EXPECT_EQ(engine.stats().lines, 3);
        EXPECT_EQ(toVector(engine.termLines(0)), (std::vector<int32_t>{1, 3}));
        EXPECT_EQ(results.count(), 2);
    }
}

TEST_F(ScanFileTest, StopsWhenThePumpLeavesRunning) {
    std::string big = tree.write("big", makeContent(200000, "abfoo\n", 7));
    prepare("foo");
    {
        SCOPED_TRACE("stopped at the first window move: not counted, still marked searched");
        host.stopAtPump = 2;
        engine.scanFile(big.c_str());
        EXPECT_EQ(host.pumpCalls, 2);
        EXPECT_EQ(engine.stats().files, 0);
        EXPECT_EQ(results.count(), 0);
        EXPECT_TRUE(searched(big));
    }
    {
        SCOPED_TRACE("stopped before the file: not opened");
        host.state = RunState::Idle;
        std::string other = tree.write("other", "foo\n");
        engine.scanFile(other.c_str());
        EXPECT_EQ(memory.find(other.c_str()), -1);
    }
    {
        SCOPED_TRACE("stopped at the 100th scored line: the results so far stay");
        host.state = RunState::Running;
        host.pumpCalls = 0;
        host.stopAtPump = 2;
        std::string lines;
        for (int i = 0; i < 250; ++i)
            lines += "foo\n";
        std::string many = tree.write("many", lines);
        engine.scanFile(many.c_str());
        EXPECT_EQ(results.count(), 100);
        EXPECT_EQ(engine.stats().matches, 100);
        EXPECT_EQ(engine.stats().files, 1) << "counted before scoring";
        EXPECT_TRUE(searched(many));
    }
    {
        SCOPED_TRACE("unstopped: a pump after every 100th scored line");
        host.pumpCalls = 0;
        host.stopAtPump = -1;
        host.state = RunState::Running;
        std::string lines;
        for (int i = 0; i < 250; ++i)
            lines += "foo\n";
        std::string many = tree.write("many2", lines);
        engine.scanFile(many.c_str());
        // The match counter runs over the whole run: 101 to 350 here.
        EXPECT_EQ(host.pumpCalls, 1 + 2);  // before the file; matches 200 and 300
    }
}

TEST_F(ScanFileTest, FilesThatChangeWhileRead) {
    prepare("zz");
    const std::string bytes = makeContent(200000, "ab\nc", 3);
    {
        SCOPED_TRACE("shrinks during the scan: it ends where reading ended");
        std::string path = tree.write("shrinks", bytes);
        host.pumpCalls = 0;
        host.onPump = [&](int call) {
            if (call == 2) std::filesystem::resize_file(path, 110000);
        };
        engine.scanFile(path.c_str());
        EXPECT_EQ(engine.stats().bytes, 110000);
        EXPECT_EQ(engine.stats().lines, indexWholeBuffer(bytes.substr(0, 110000), {}).lines());
    }
    {
        SCOPED_TRACE("grows during the scan: read up to the size taken at open");
        std::string path = tree.write("grows", bytes);
        host.pumpCalls = 0;
        host.onPump = [&](int call) {
            if (call == 2) tree.write("grows", bytes + std::string(100000, 'q'));
        };
        engine.scanFile(path.c_str());
        EXPECT_EQ(engine.stats().bytes, 110000 + 200000);  // both files of this run
        EXPECT_EQ(engine.stats().lines, indexWholeBuffer(bytes.substr(0, 110000), {}).lines() +
                                            indexWholeBuffer(bytes, {}).lines());
    }
    {
        SCOPED_TRACE("shrinks between the passes: counted as the second read finds it");
        std::string path = tree.write("late", bytes.substr(0, 190000) + "zz" + bytes);
        host.pumpCalls = 0;
        host.onPump = [&](int call) {
            if (call == 5) std::filesystem::resize_file(path, 110000);  // after three moves
        };
        const SearchStats before = engine.stats();
        engine.scanFile(path.c_str());
        EXPECT_EQ(host.pumpCalls, 6);  // the second read moves once
        EXPECT_EQ(engine.stats().bytes - before.bytes, 110000);
        expectIndexEquals(indexWholeBuffer(bytes.substr(0, 110000), engine.terms()));
        EXPECT_EQ(results.count(), 0);
    }
    host.onPump = nullptr;
}

// ---------------------------------------------------------------------------
// Generated trees against the reference scanner
// ---------------------------------------------------------------------------

struct GeneratedFile {
    std::string relative;
    std::string bytes;
};

// Files that probe every place where the scanner's shortcuts could part from
// the plain reading: block and window boundaries, CR LF, NULs, bytes above
// 127, comment marks and terms with line feeds across every seam, empty and
// one-byte files, a path holding terms, a line longer than the scored text.
constexpr char kLongTerm[] =
    "0123456789012345678901234567890123456789012345678901234567890123456789"
    "012345678901234567890123456789";

std::vector<GeneratedFile> generatedTree() {
    const std::string text = "abfoOxBAR/* \n\n\r\t";
    const std::string crlf = "fooBAR int\r\n\r\n/**/ x/";
    const std::string binary = text + std::string(2, '\0') + "\xe9T";
    std::vector<GeneratedFile> files = {
        {"empty.txt", ""},
        {"one.c", "f"},
        {"feed.c", "\n"},
        {"zero.c", std::string(1, '\0')},  // not "nul.c": Windows reserves that name for a device
        {"foo_dir/bar.h", "nothing to see\n"},
        {"long.c", "a\n" + std::string(300, 'x') + "foo bar" + std::string(93, 'y') + "\n"},
        {"comments.c", "/*/ foo */ bar\n/* a\nb */ foo\n*/ /* bar\nfoo"},
    };
    uint32_t seed = 11;
    for (size_t size : {63, 64, 65, 127, 129, 1000}) {
        files.push_back(
            {"blocks/" + std::to_string(size) + ".c", makeContent(size, text, seed++, "foo", 1)});
    }
    files.push_back({"crlf.c", makeContent(150003, crlf, seed++, "a\nb", 1)});
    files.push_back({"seams/75002.c", makeContent(75002, text, seed++, "/*", 1)});
    files.push_back({"seams/100001.txt", makeContent(100001, text, seed++, "*/", 1)});
    files.push_back({"seams/150003.h", makeContent(150003, text, seed++, "BAR", 2)});
    files.push_back({"seams/250017.c", makeContent(250017, text, seed++, "a\nb", 1)});
    files.push_back({"binary/high.bin", makeContent(120000, binary, seed++, "\xe9t", 1)});
    files.push_back({"binary/late.bin", makeContent(90000, text, seed++) + '\0' + "foo\n"});
    files.push_back({"binary/later.bin", makeContent(160000, text, seed++) + '\0' + "foo\n"});
    // Its one occurrence of the long term runs across the first move point.
    files.push_back({"seams/long.c", makeContent(75052, text, seed++, kLongTerm, 50)});
    return files;
}

TEST_F(ScanFileTest, AgreesWithTheReferenceScannerOverGeneratedTrees) {
    const std::vector<GeneratedFile> files = generatedTree();
    for (const GeneratedFile& file : files)
        tree.write("tree/" + file.relative, file.bytes);

    const char* const queries[] = {
        "foo BAR",                         // letters: both cases, first two bytes
        "a\\nb x/ *",                      // a line feed inside, one-byte and non-letter terms
        "\"\" bar",                        // an empty term: every first byte, NUL among them
        "fo ba ab b/ /* */ \\r\\n x y z",  // more first pairs than the blocks compare
        "\xe9t o",                         // a byte above 127
        "foo dir",                         // terms in a path
        "zzz",                             // no line at all
        kLongTerm,                         // as long as a term gets, across the seams
    };
    for (const char* query : queries) {
        for (int32_t options = 0; options < 4; ++options) {
            request.options.skipBinaryFiles = options & 1;
            request.options.searchFileNames = (options >> 1) & 1;
            prepare(query);
            for (const GeneratedFile& file : files) {
                SCOPED_TRACE(std::string("query ") + query + ", skip binary " +
                             std::to_string(options & 1) + ", file names " +
                             std::to_string(options >> 1) + ", " + file.relative);
                const std::string path = tree.path("tree/" + file.relative);
                const ReferenceScan expected =
                    testing::scanWholeBuffer(path, file.bytes, engine.terms(), request);
                memory.clear();
                results.clearResults();
                const SearchStats before = engine.stats();

                engine.scanFile(path.c_str());

                const SearchStats& after = engine.stats();
                const int32_t entry = memory.find(path.c_str());
                ASSERT_NE(entry, -1);
                EXPECT_EQ(memory.entry(entry).binary, expected.binary);
                if (expected.binary) {
                    EXPECT_EQ(after.files, before.files);
                    EXPECT_EQ(results.count(), 0);
                    continue;
                }
                expectIndexEquals(expected);
                EXPECT_EQ(after.files - before.files, 1);
                EXPECT_EQ(after.lines - before.lines, expected.lines());
                EXPECT_EQ(after.bytes - before.bytes, static_cast<int64_t>(file.bytes.size()));

                // The same lines handed to a store of its own rank the same.
                ResultStore reference;
                int32_t matches = 0;
                for (const testing::ReferenceResult& r : expected.results) {
                    reference.addResult(r.score, path.c_str(), r.lineNumber, r.text.c_str());
                    matches += r.lineNumber != 0;
                }
                EXPECT_EQ(after.matches - before.matches, matches);
                ASSERT_EQ(results.count(), reference.count());
                for (int32_t i = 0; i < results.count(); ++i) {
                    const ResultEntry& got = results.rankEntry(i);
                    const ResultEntry& want = reference.rankEntry(i);
                    EXPECT_EQ(got.score, want.score) << "rank " << i;
                    EXPECT_EQ(got.lineNumber, want.lineNumber) << "rank " << i;
                    EXPECT_EQ(got.lineText, want.lineText) << "rank " << i;
                }
            }
        }
    }

    {
        SCOPED_TRACE("a whole run over the tree: the walk, the memory and the store together");
        request.options = SearchOptions{};
        request.findText = "foo BAR";
        request.pathText = tree.path("tree");
        memory.clear();
        engine.runSearch();
        ResultStore reference;
        int32_t lines = 0;
        for (const GeneratedFile& file : files) {
            const std::string path = tree.path("tree/" + file.relative);
            const ReferenceScan expected =
                testing::scanWholeBuffer(path, file.bytes, engine.terms(), request);
            if (!expected.binary) lines += expected.lines();
            for (const testing::ReferenceResult& r : expected.results)
                reference.addResult(r.score, path.c_str(), r.lineNumber, r.text.c_str());
        }
        EXPECT_EQ(engine.stats().lines, lines);
        ASSERT_EQ(results.count(), reference.count());
        for (int32_t i = 0; i < results.count(); ++i) {
            EXPECT_EQ(results.rankEntry(i).score, reference.rankEntry(i).score) << "rank " << i;
            EXPECT_EQ(results.rankEntry(i).path, reference.rankEntry(i).path) << "rank " << i;
            EXPECT_EQ(results.rankEntry(i).lineNumber, reference.rankEntry(i).lineNumber);
            EXPECT_EQ(results.rankEntry(i).lineText, reference.rankEntry(i).lineText);
        }
    }
}

#ifndef _WIN32
TEST_F(ScanFileTest, FilesOf2GiBAreRememberedButNotRead) {
    prepare("");
    std::string path = tree.write("huge", "");
    std::filesystem::resize_file(path, int64_t{1} << 31);  // sparse
    engine.scanFile(path.c_str());
    EXPECT_NE(memory.find(path.c_str()), -1);
    EXPECT_TRUE(searched(path));
    EXPECT_EQ(engine.stats().files, 0);
    EXPECT_EQ(results.count(), 0);
}
#endif

}  // namespace
}  // namespace tarvo
