// Room engine/: the search itself: request, directory walk, file scanner,
// line scoring, file priority memory, with platform twins for the listing
// and the reader. Portable; includes no other room. Results leave through
// ResultSink, the program around it is reached through SearchHost.
//
// One search from its request to its end: parse the terms and the roots,
// empty the results, scan the remembered files first, walk every root depth
// first handing each file to the scanner, and credit the results.
//
// The engine reaches the program around it only through SearchHost; the
// request, the file memory and the result store are the host's objects,
// read and written live because the host's message handlers run nested
// inside the search whenever the scanner pumps messages.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/file_memory.h"
#include "engine/int_vector.h"
#include "engine/line_scoring.h"
#include "engine/result_sink.h"
#include "engine/scan_blocks.h"
#include "engine/scan_file_reader.h"
#include "engine/search_host.h"
#include "engine/search_request.h"
#include "engine/search_stats.h"
#include "engine/term_probes.h"
#include "engine/term_table.h"

namespace tarvo {

// The sliding read window: 100,000 bytes; past position 75,000 its last
// 50,000 bytes move to the front and the next 50,000 are read behind them,
// so a term (at most 100 bytes) and the comment lookahead always lie inside.
inline constexpr int kScanWindowSize = 100000;
inline constexpr int kScanWindowMoveAt = 75000;
inline constexpr int kScanWindowMove = 50000;
// Every 100th scored line pumps messages.
inline constexpr int kMatchesPerPump = 100;

class SearchEngine {
public:
    SearchEngine(SearchHost& host, const SearchRequest& request, FileMemory& memory,
                 ResultSink& results);
    SearchEngine(const SearchEngine&) = delete;
    SearchEngine& operator=(const SearchEngine&) = delete;

    // Expects the host's RunState to be Running.
    void runSearch();
    // The first steps of runSearch: zero the counters, parse the terms and the
    // roots. A host that scans single files calls it instead of runSearch.
    void prepareRun();
    void walkDirectory(const std::string& path, int depth);
    // `folder` and `name`: the walk's open listing and the file's name in
    // it, to open the file by (see ScanFileReader::open).
    void scanFile(const char* path, intptr_t folder = -1, const char* name = nullptr);

    const TermTable& terms() const { return terms_; }
    const SearchStats& stats() const { return stats_; }
    const std::vector<std::string>& roots() const { return roots_; }

    // Scanner state of the last file where every term occurred (the only
    // files indexed in full), for tests and for the preview's agreement
    // with the scanner.
    const IntVector& lineStarts() const { return lineStarts_; }
    const IntVector& lineCommentFlags() const { return lineCommentFlags_; }
    const IntVector& termLines(int32_t term) const { return termLines_[term]; }

private:
    bool running() const { return host_.runState() == RunState::Running; }
    void prepareTermLookups();
    // What the first pass learnt of a file.
    enum class FirstLook { NotCounted, LinesCounted, EveryTermOccurs };
    bool findPathTerms(const char* path);
    FirstLook firstPass(ScanFileReader& file, const char* path, int32_t* lines);
    void readFirstWindow(ScanFileReader& file, int64_t size);
    bool indexFile(ScanFileReader& file, const char* path, int64_t size);
    bool reserveScoredMarks(int32_t lineCount);
    void scoreFile(ScanFileReader& file, const char* path);
    void finishFile(ScanFileReader& file, const char* path);
    void moveWindow(ScanFileReader& file);
    std::string_view fetchLineText(ScanFileReader& file, int32_t line);

    SearchHost& host_;
    const SearchRequest& request_;
    FileMemory& memory_;
    ResultSink& results_;

    TermTable terms_;
    std::vector<std::string> roots_;  // SearchRootTable
    SearchStats stats_;
    LineScorer scorer_;

    // Where a term may begin, 64 bytes at a time; the FirstCharTable then
    // decides byte by byte. termsStartingWith_ lists, per byte, the terms
    // that can begin there (same first byte in either case, or empty), in
    // index order. Rebuilt with the terms.
    BlockScanner blocks_;
    TermProbes probes_;  // the first pass's: the terms a file still lacks
    std::array<int32_t, 257> termsStartingAt_ = {};  // per byte: index into the list below
    std::array<uint8_t, 256 * kMaxTerms> termsStartingWith_ = {};

    // Scanner state, kept from file to file so its storage is reused.
    // ScanWindow: kScanWindowSize bytes, a NUL after the fill, and room for
    // the last block's reach and a probe's past it.
    std::unique_ptr<char[]> window_;
    int64_t windowShift_ = 0;  // file offset of window_[0]
    int32_t windowFill_ = 0;   // bytes of the file in the window, from window_[0]
    int64_t fileEnd_ = 0;      // the size at open, lowered where a shrunk file's reading ended
    std::array<IntVector, kMaxTerms> termLines_;  // TermLineList per term
    IntVector lineStarts_;                        // [0] dummy, [k] offset of line k, then the size
    IntVector lineCommentFlags_;                  // [0] dummy, [k] line k begins inside /* */
    // ScoredLineSet: line k of the current file is scored when
    // scoredMark_[k] == scanSerial_; a new serial per file empties it at no
    // cost, and a lookup is one index whatever the number of candidate lines.
    std::unique_ptr<uint32_t[]> scoredMark_;
    int32_t scoredMarkCount_ = 0;  // lines scoredMark_ holds
    uint32_t scanSerial_ = 0;
    std::array<char, kMaxLineText + 1> lineText_;  // fetchLineText's result
    bool onSyntaxList_ = false;
    ScanReadAhead readAhead_;  // the walk's hints, kept across directories
};

}  // namespace tarvo
