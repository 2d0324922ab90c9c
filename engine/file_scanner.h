// The file scanner: one open file from its first byte to its last, through
// a sliding read window. A first pass counts lines, looks for a NUL and asks
// whether every term occurs; most files lack a term and end there. For a
// file where every term occurs, the exact pass records line starts,
// block-comment states and, per term, the lines the term occurs on, and
// every candidate line is scored and handed to the results.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

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

// How the scan of one file ended.
enum class ScanEnd {
    Read,       // read to its end: its lines and bytes count
    Binary,     // a NUL while Skip Binary Files was on: no counts, no results
    Abandoned,  // stopped, too large, or its tables could not grow: no counts
};

struct ScanOutcome {
    ScanEnd end = ScanEnd::Abandoned;
    int64_t lines = 0;  // of a file read to its end
    int64_t bytes = 0;
};

class FileScanner {
public:
    // The scanner pumps `host` and stops when its run state leaves Running;
    // it reads the request's options live, hands its lines to `results`
    // and counts them in `stats`.
    FileScanner(SearchHost& host, const SearchRequest& request, ResultSink& results,
                SearchStats& stats);
    FileScanner(const FileScanner&) = delete;
    FileScanner& operator=(const FileScanner&) = delete;

    // Run again whenever the terms change; the table must outlive the scans.
    void setTerms(const TermTable& terms);

    // Scans an open file. `onSyntaxList`: its path matches HighlightList.
    ScanOutcome scanFile(ScanFileReader& file, const char* path, bool onSyntaxList);

    // Scanner state of the last file where every term occurred (the only
    // files indexed in full), for tests and for the preview's agreement
    // with the scanner.
    const IntVector& lineStarts() const { return lineStarts_; }
    const IntVector& lineCommentFlags() const { return lineCommentFlags_; }
    const IntVector& termLines(int32_t term) const { return termLines_[term]; }

private:
    bool running() const { return host_.runState() == RunState::Running; }
    // What the first pass learnt of a file.
    enum class FirstLook { NotCounted, Binary, LinesCounted, EveryTermOccurs };
    bool findPathTerms(const char* path);
    FirstLook firstPass(ScanFileReader& file, int32_t* lines);
    void readFirstWindow(ScanFileReader& file, int64_t size);
    FirstLook indexFile(ScanFileReader& file, int64_t size);
    bool reserveScoredMarks(int32_t lineCount);
    void scoreFile(ScanFileReader& file, const char* path);
    void moveWindow(ScanFileReader& file);
    const char* fetchLineText(ScanFileReader& file, int32_t line);

    SearchHost& host_;
    const SearchRequest& request_;
    ResultSink& results_;
    SearchStats& stats_;
    const TermTable* terms_ = nullptr;
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
};

}  // namespace tarvo
