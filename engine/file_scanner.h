// The file scanner: one open file from its first byte to its last, through
// a sliding read window, in one or more passes.
//
// The first pass counts lines, looks for a NUL and asks whether every term
// occurs; most files lack a term and end there. For a file where every term
// occurs, the scoring pass takes the file again from its start: it follows
// line starts and block-comment states, notes the lines each term occurs
// on, and scores each candidate line as soon as the scan has gone
// kProximityReach lines past it, since no later line can change its score.
// So the scanner holds only the lines within reach of the ones still to be
// scored, and its memory does not grow with the file's lines or its terms.
// A file none of whose lines could rank, even with every term on one line,
// is only counted. (A query of more terms than the first pass probes, or
// with empty terms, may need a presence pass between the two, which asks
// the exact question of every term before any line is scored.)
#pragma once

#include <array>
#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/file_results.h"
#include "engine/int_vector.h"
#include "engine/line_scoring.h"
#include "engine/scan_blocks.h"
#include "engine/scan_file_reader.h"
#include "engine/search_host.h"
#include "engine/search_request.h"
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
    Read,       // read to its end: its lines and bytes count, its lines are scored
    Binary,     // a NUL while Skip Binary Files was on: no counts, no results
    Abandoned,  // stopped or too large: no counts; lines scored before a stop stay
};

struct ScanOutcome {
    ScanEnd end = ScanEnd::Abandoned;
    int64_t lines = 0;  // of a file read to its end
    int64_t bytes = 0;
    int64_t matches = 0;  // lines scored, kept or not (none for a binary file)
};

class FileScanner {
public:
    // The scanner pumps `host` and stops when its run state leaves Running;
    // it reads the request's options live.
    FileScanner(SearchHost& host, const SearchRequest& request);
    FileScanner(const FileScanner&) = delete;
    FileScanner& operator=(const FileScanner&) = delete;

    // Run again whenever the terms change; the table must outlive the scans.
    void setTerms(const TermTable& terms);

    // Scans an open file. `onSyntaxList`: its path matches the highlight list.
    // Its scored lines go to `results`, started by the caller with the
    // sink's bar. `matchesSoFar`: the lines the run scored before, which
    // set when the next pump comes.
    ScanOutcome scanFile(ScanFileReader& file, const char* path, bool onSyntaxList,
                         FileResults& results, int64_t matchesSoFar);

    // How far the scan of the current file had come at its last pump: the
    // file offset of the next byte; 0 between files.
    int64_t position() const { return position_; }

private:
    // What a pass learnt of the file.
    enum class PassEnd {
        Stopped,          // the run left Running
        Binary,           // a NUL while Skip Binary Files was on
        TermMissing,      // read to its end (lines_ counted): a term does not occur
        EveryTermOccurs,  // every term asked about occurs; the pass may end early
        Scored,           // read to its end (lines_ counted), every candidate scored
    };
    // What the exact pass is for (see exactPass).
    enum class PassAim { Presence, Count, Score };
    // Lines within reach of the oldest waiting one, and the line after the
    // last: a power of two, for the rings.
    static constexpr int32_t kLineRing = 128;

    bool pump();
    bool pumpBeforePass();
    void findPathTerms(const char* path);
    void countFromInPath();
    PassEnd probePass(ScanFileReader& file, bool counting);
    PassEnd exactPass(ScanFileReader& file, PassAim aim);
    bool noteOccurrence(int32_t term, int32_t line, int64_t offset);
    bool scoreDue(ScanFileReader& file, int32_t line, int64_t position);
    bool scoreLine(ScanFileReader& file, int32_t line, int32_t termColumn);
    void readFirstWindow(ScanFileReader& file);
    void moveWindow(ScanFileReader& file);
    const char* lineText(ScanFileReader& file, int64_t begin, int64_t end, int32_t* length);
    std::string_view longLine(ScanFileReader& file, int64_t begin, int64_t end,
                              std::string& storage);

    SearchHost& host_;
    const SearchRequest& request_;
    const TermTable* terms_ = nullptr;
    LineScorer scorer_;

    // Where a term may begin, 64 bytes at a time; isFirstChar then
    // decides byte by byte. termsStartingWith_ lists, per byte, the terms
    // that can begin there (same first byte in either case, or empty), in
    // index order. Rebuilt with the terms.
    BlockScanner blocks_;
    TermProbes probes_;  // the terms a file still lacks, or where any term may begin
    std::array<int32_t, 257> termsStartingAt_ = {};  // per byte: index into the list below
    std::array<uint8_t, 256 * kMaxTerms> termsStartingWith_ = {};

    // Scanner state, kept from file to file so its storage is reused.
    // window_: kScanWindowSize bytes, a NUL after the fill, and room for
    // the last block's reach and a probe's past it.
    std::unique_ptr<char[]> window_;
    int64_t windowShift_ = 0;  // file offset of window_[0]
    int32_t windowFill_ = 0;   // bytes of the file in the window, from window_[0]
    int64_t fileEnd_ = 0;      // the text's size, lowered where a shrunk file's reading ended
    int64_t position_ = 0;
    int64_t sincePump_ = 0;  // bytes handled since the last pump
    int64_t lines_ = 0;      // counted by a pass that read the file to its end

    // What the current file's scan knows. Per term: whether the path holds
    // it and whether a pass still has to find it.
    std::array<bool, kMaxTerms> inPath_ = {};
    std::array<bool, kMaxTerms> unseen_ = {};
    int32_t unseenCount_ = 0;
    // termLines_, held from kProximityReach - 1 lines before the first
    // candidate still to score: a leading 0 when the term occurs in the path,
    // then the lines the scoring pass found it on.
    std::array<IntVector, kMaxTerms> termLines_;
    // Per line, at line % kLineRing: where it starts, as (file offset << 1)
    // | 1 when it begins inside /* */.
    std::array<int64_t, kLineRing> lineStarts_ = {};
    // The lines holding a term, waiting until the scan is out of their
    // reach: a ring from firstCandidate_ up to endCandidate_ (counted on).
    std::array<int32_t, kLineRing> candidates_ = {};
    std::array<int32_t, kLineRing> termColumns_ = {};  // each candidate's first term (ResultSink)
    uint32_t firstCandidate_ = 0;
    uint32_t endCandidate_ = 0;
    int32_t dueAt_ = INT32_MAX;  // the line whose start leaves the oldest out of reach
    bool scoredAny_ = false;
    bool onSyntaxList_ = false;
    FileResults* results_ = nullptr;
    int64_t matches_ = 0;                          // the run's scored lines, the file's included
    std::array<char, kMaxLineText + 1> lineText_;  // lineText's result when read again
};

}  // namespace tarvo
