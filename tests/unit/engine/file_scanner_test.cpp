// The scanner against a whole-buffer version of the same rules written here,
// across window moves, plus the file-level rules: qualification, file-name
// entries, binary files, stops, and files that change while they are read.
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
#include "support/temp_tree.h"
#include "support/test_host.h"

namespace tarvo {
namespace {

// ---------------------------------------------------------------------------
// The whole-buffer model
// ---------------------------------------------------------------------------

struct FileIndex {
    std::vector<int32_t> lineStarts;    // [0] dummy, [k] line k, then the size
    std::vector<int32_t> commentFlags;  // [0] dummy, [k] line k begins inside /* */
    std::vector<std::vector<int32_t>> termLines;
};

uint8_t fold(char c) {
    return foldAscii(static_cast<uint8_t>(c));
}

// Every byte in file order over the whole file at once: no window.
FileIndex indexWholeBuffer(const std::string& bytes, const TermTable& terms) {
    FileIndex index{{0, 0}, {0, 0}, std::vector<std::vector<int32_t>>(terms.count())};
    const size_t n = bytes.size();
    int32_t line = 1;
    bool inComment = false;
    for (size_t i = 0; i < n; ++i) {
        if (i > 0 && bytes[i - 1] == '\n') {
            ++line;
            index.lineStarts.push_back(static_cast<int32_t>(i));
            index.commentFlags.push_back(inComment);
        }
        for (int32_t t = 0; t < terms.count(); ++t) {
            const QueryTerm& term = terms.term(t);
            bool found = terms.isFirstChar(static_cast<uint8_t>(bytes[i])) && i + term.length <= n;
            for (int32_t k = 0; found && k < term.length; ++k) {
                found = fold(bytes[i + k]) == fold(term.text[k]);
            }
            std::vector<int32_t>& lines = index.termLines[t];
            if (found && (lines.empty() || lines.back() != line)) lines.push_back(line);
        }
        const char next = i + 1 < n ? bytes[i + 1] : '\0';
        if (!inComment && bytes[i] == '/' && next == '*') {
            inComment = true;
        } else if (inComment && bytes[i] == '*' && next == '/') {
            inComment = false;
        }
    }
    index.lineStarts.push_back(static_cast<int32_t>(n));
    return index;
}

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

class ScanFileTest : public ::testing::Test {
protected:
    ScanFileTest() { request.options.searchFileNames = 0; }

    void prepare(const char* findText) {
        request.findText = findText;
        engine.prepareRun();
    }

    bool searched(const std::string& path) const { return memory.isSearched(path.c_str()); }

    void expectIndexEquals(const FileIndex& expected) {
        EXPECT_EQ(toVector(engine.lineStarts()), expected.lineStarts);
        EXPECT_EQ(toVector(engine.lineCommentFlags()), expected.commentFlags);
        for (int32_t t = 0; t < engine.terms().count(); ++t) {
            SCOPED_TRACE("term " + std::to_string(t));
            EXPECT_EQ(toVector(engine.termLines(t)), expected.termLines[t]);
        }
    }

    testing::TestHost host;
    SearchRequest request;
    FileMemory memory;
    ResultStore results;
    SearchEngine engine{host, request, memory, results};
    testing::TempTree tree;
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
        std::string path = tree.write("f" + std::to_string(seed) + ".txt", bytes);
        request.options.skipBinaryFiles = c.skipBinary;
        prepare(c.findText);
        results.clearResults();
        host.pumpCalls = 0;

        engine.scanFile(path.c_str());

        const FileIndex expected = indexWholeBuffer(bytes, engine.terms());
        expectIndexEquals(expected);
        const int32_t lineCount = static_cast<int32_t>(expected.lineStarts.size()) - 2;
        EXPECT_EQ(engine.stats().files, 1);
        EXPECT_EQ(engine.stats().lines, lineCount);
        EXPECT_EQ(engine.stats().bytes, static_cast<int64_t>(c.size));
        EXPECT_EQ(host.pumpCalls, pumpsForFileOf(c.size) + engine.stats().matches / 100);
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
}

TEST_F(ScanFileTest, LinesAndComments) {
    prepare("zz");
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
        expectIndexEquals(indexWholeBuffer(bytes.substr(0, 110000), engine.terms()));
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
        expectIndexEquals(indexWholeBuffer(bytes, engine.terms()));
    }
    host.onPump = nullptr;
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
