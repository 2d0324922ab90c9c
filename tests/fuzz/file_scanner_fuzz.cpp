// scanFile, and through it scoreLine, on a fuzzed file with fuzzed terms,
// against a whole-buffer model of the same rules. Input layout:
//   byte 0   options: bits 0-4 Skip Binary Files, Search File Names, the
//            three bonuses; bit 5 names the file .c (on the highlight
//            list); bits 6-7 the number of window moves (0, 1, 2, 2) the
//            file passes: the content is written again across each move
//            point, with filler lines between the copies
//   byte 1   hostile timing: 0 nothing; otherwise the pump call (low three
//            bits) at which the run stops (bit 3) or the file shrinks to
//            the size in byte 2 x 1000 (bit 4)
//   byte 2   the shrunk size in thousands of bytes
//   then     the Find text up to the first line feed, then the file's bytes
// An undisturbed scan must index exactly what the model does, count the
// file, and list the candidate lines with their own text and a presence
// score that matches the model; a disturbed one must only stay consistent.
#include <unistd.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "engine/file_memory.h"
#include "engine/search_engine.h"
#include "fuzz/fuzz_support.h"
#include "results/result_store.h"
#include "support/test_host.h"

namespace tarvo {
namespace {

// File offsets at which the window moves, for a file long enough.
constexpr size_t kMovePoints[] = {kScanWindowMoveAt + 1, kScanWindowMoveAt + 1 + kScanWindowMove};
constexpr size_t kMovesForFlags[] = {0, 1, 2, 2};

// Filler between the copies: lines of a byte that few terms hold, so the
// filler adds bytes to read but almost no results to rank.
void appendFillerUpTo(std::string& bytes, size_t size) {
    while (bytes.size() < size)
        bytes += (bytes.size() % 100 == 99) ? '\n' : '\x01';
}
constexpr int32_t kPresenceWeight = 1000000;

struct FileIndex {
    std::vector<int32_t> lineStarts;    // [0] dummy, [k] line k, then the size
    std::vector<int32_t> commentFlags;  // [0] dummy, [k] line k begins inside /* */
    std::vector<std::vector<int32_t>> termLines;
};

// The model is not what is being explored: left out of the coverage
// feedback (and its cost), so the fuzzer's time goes to the scanner.
#define NOT_EXPLORED __attribute__((no_sanitize("coverage")))

NOT_EXPLORED bool occursAt(std::string_view bytes, size_t at, const TermTable& terms, int32_t t) {
    const QueryTerm& term = terms.term(t);
    if (!terms.isFirstChar(static_cast<uint8_t>(bytes[at])) || at + term.length > bytes.size())
        return false;
    for (int32_t k = 0; k < term.length; ++k) {
        if (foldAscii(bytes[at + k]) != foldAscii(term.text[k])) return false;
    }
    return true;
}

// Every byte in file order over the whole file at once: no window.
NOT_EXPLORED FileIndex indexWholeBuffer(std::string_view bytes, const TermTable& terms) {
    FileIndex index{{0, 0}, {0, 0}, std::vector<std::vector<int32_t>>(terms.count())};
    int32_t line = 1;
    bool inComment = false;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0 && bytes[i - 1] == '\n') {
            ++line;
            index.lineStarts.push_back(static_cast<int32_t>(i));
            index.commentFlags.push_back(inComment);
        }
        for (int32_t t = 0; t < terms.count(); ++t) {
            std::vector<int32_t>& lines = index.termLines[t];
            if (occursAt(bytes, i, terms, t) && (lines.empty() || lines.back() != line))
                lines.push_back(line);
        }
        const char next = i + 1 < bytes.size() ? bytes[i + 1] : '\0';
        if (!inComment && bytes[i] == '/' && next == '*') {
            inComment = true;
        } else if (inComment && bytes[i] == '*' && next == '/') {
            inComment = false;
        }
    }
    index.lineStarts.push_back(static_cast<int32_t>(bytes.size()));
    return index;
}

std::vector<int32_t> toVector(const IntVector& vector) {
    return std::vector<int32_t>(vector.data(), vector.data() + vector.size());
}

// What a disturbed scan must still keep: ascending lines inside what was
// read, results naming real lines with at most kMaxLineText bytes.
void checkConsistent(const SearchEngine& engine, const ResultStore& results) {
    const std::vector<int32_t> starts = toVector(engine.lineStarts());
    FUZZ_CHECK(std::is_sorted(starts.begin(), starts.end()));
    const int32_t lineCount = static_cast<int32_t>(starts.size()) - 2;
    for (int32_t i = 0; i < results.count(); ++i) {
        const ResultEntry& entry = results.rankEntry(i);
        FUZZ_CHECK(entry.lineNumber >= 0 && entry.lineNumber <= lineCount);
        FUZZ_CHECK(entry.lineText.size() <= static_cast<size_t>(kMaxLineText));
    }
}

}  // namespace
}  // namespace tarvo

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarvo;
    fuzzing::InputCursor input(data, size);
    const uint8_t flags = input.byte();
    const uint8_t timing = input.byte();
    const uint8_t shrinkTo = input.byte();
    const std::string_view findText = input.until('\n');
    const std::string_view fuzzed = input.rest();
    std::string content(fuzzed);
    for (size_t move = 0; move < kMovesForFlags[flags >> 6]; ++move) {
        appendFillerUpTo(content, kMovePoints[move] - fuzzed.size() / 2);
        content += fuzzed;
    }

    // The engine and its host objects live across inputs, as they live
    // across files and runs in the program.
    static testing::TestHost host;
    static SearchRequest request;
    static FileMemory memory;
    static ResultStore results;
    static SearchEngine engine(host, request, memory, results);
    static const std::string cPath = fuzzing::scratch().file("scanned.c");
    static const std::string textPath = fuzzing::scratch().file("scanned.txt");
    const std::string& path = (flags & 32) ? cPath : textPath;

    request.findText = std::string(findText);
    request.options.skipBinaryFiles = flags & 1;
    request.options.searchFileNames = (flags >> 1) & 1;
    request.options.caseSensitiveBonus = (flags >> 2) & 1;
    request.options.wholeWordBonus = (flags >> 3) & 1;
    request.options.cppHeuristics = (flags >> 4) & 1;
    fuzzing::writeFile(path, content);

    const int disturbAt = timing & 7;
    const bool stops = timing != 0 && (timing & 8);
    const bool shrinks = timing != 0 && (timing & 16);
    host.state = RunState::Running;
    host.pumpCalls = 0;
    host.stopAtPump = stops ? disturbAt : -1;
    host.onPump = [&](int call) {
        if (shrinks && call == disturbAt) truncate(path.c_str(), shrinkTo * 1000);
    };
    memory.clear();
    results.clearResults();
    engine.prepareRun();
    engine.scanFile(path.c_str());
    host.onPump = nullptr;

    checkConsistent(engine, results);
    FUZZ_CHECK(memory.isSearched(path.c_str()) || (stops && disturbAt == 1));
    const bool binary = request.options.skipBinaryFiles && content.find('\0') != std::string::npos;
    if (stops || shrinks || binary) {
        if (binary && !shrinks) FUZZ_CHECK(engine.stats().files == 0 && results.count() == 0);
        return 0;
    }

    const TermTable& terms = engine.terms();
    const FileIndex model = indexWholeBuffer(content, terms);
    FUZZ_CHECK(engine.stats().files == 1);
    FUZZ_CHECK(engine.stats().bytes == static_cast<int64_t>(content.size()));
    FUZZ_CHECK(engine.stats().lines == static_cast<int64_t>(model.lineStarts.size()) - 2);

    std::vector<bool> inPath(terms.count(), false);
    std::vector<std::vector<int32_t>> expected(terms.count());
    bool qualifies = true;
    std::set<int32_t> candidates;
    for (int32_t t = 0; t < terms.count(); ++t) {
        for (size_t at = 0; request.options.searchFileNames && at < path.size(); ++at)
            inPath[t] = inPath[t] || occursAt(path, at, terms, t);
        expected[t] = model.termLines[t];
        if (inPath[t]) expected[t].insert(expected[t].begin(), 0);
        qualifies = qualifies && !expected[t].empty();
        candidates.insert(model.termLines[t].begin(), model.termLines[t].end());
    }

    // The tables are built only for a file where every term occurs.
    if (!qualifies) {
        FUZZ_CHECK(results.count() == 0);
        return 0;
    }
    FUZZ_CHECK(toVector(engine.lineStarts()) == model.lineStarts);
    FUZZ_CHECK(toVector(engine.lineCommentFlags()) == model.commentFlags);
    for (int32_t t = 0; t < terms.count(); ++t)
        FUZZ_CHECK(toVector(engine.termLines(t)) == expected[t]);
    if (candidates.empty()) {  // listed as a whole file
        FUZZ_CHECK(results.count() == 1 && results.rankEntry(0).score == -1 &&
                   results.rankEntry(0).lineNumber == 0);
        return 0;
    }
    FUZZ_CHECK(results.count() ==
               std::min<int32_t>(static_cast<int32_t>(candidates.size()), kMaxResults));
    FUZZ_CHECK(engine.stats().matches == static_cast<int32_t>(candidates.size()));
    for (int32_t i = 0; i < results.count(); ++i) {
        const ResultEntry& entry = results.rankEntry(i);
        FUZZ_CHECK(candidates.count(entry.lineNumber) == 1);
        // The line's own first bytes, as far as a C string holds them.
        const int32_t begin = model.lineStarts[entry.lineNumber];
        const int32_t end = std::min(model.lineStarts[entry.lineNumber + 1], begin + kMaxLineText);
        std::string text = content.substr(begin, end - begin);
        text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
        FUZZ_CHECK(entry.lineText == text);
        // Presence dominates the score: the terms on the line or in the path.
        int32_t present = 0;
        for (int32_t t = 0; t < terms.count(); ++t) {
            const std::vector<int32_t>& lines = model.termLines[t];
            present +=
                inPath[t] || std::binary_search(lines.begin(), lines.end(), entry.lineNumber);
        }
        FUZZ_CHECK(entry.score / kPresenceWeight == present);
    }
    return 0;
}
