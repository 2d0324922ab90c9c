// The file scanner: one open file from its first byte to its last, through
// a sliding read window (read_window.h), in one or more passes.
//
// The first pass counts lines, looks for a NUL and asks whether every term
// occurs; most files lack a term and end there. For a file where every term
// occurs, the scoring pass takes the file again from its start: it follows
// line starts and block-comment states, notes per line the set of terms
// beginning on it, and scores each candidate line as soon as the scan has
// gone kProximityReach lines past it (and the lines a term holding line
// feeds may span), since no later line can change its score. So the
// scanner holds only the lines within reach of the ones still to be
// scored, and its memory does not grow with the file's lines or its terms.
// The terms themselves are found by the terms' automaton (term_automaton.h),
// whose cost per byte does not grow with the terms or their lengths.
// A file none of whose lines could rank, even with every term on one line,
// is only counted. (A query of more terms than the first pass probes, or
// with empty terms, may need a presence pass between the two, which asks
// the exact question of every term before any line is scored.) The first
// pass, and a count where it can, look through the probes
// (probe_pass_filter.h); the others visit every place a term may begin
// (exact_pass_masks.h).
#pragma once

#include <array>
#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/exact_pass_masks.h"
#include "engine/file_results.h"
#include "engine/line_scoring.h"
#include "engine/probe_pass_filter.h"
#include "engine/read_window.h"
#include "engine/scan_file_reader.h"
#include "engine/scan_window.h"
#include "engine/search_host.h"
#include "engine/search_request.h"
#include "engine/term_table.h"

namespace tarvo {

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

private:
    // What a pass learnt of the file.
    enum class PassEnd {
        Continues,        // (inside a pass) the stretch is done, the pass goes on
        Stopped,          // the run left Running
        Binary,           // a NUL while Skip Binary Files was on
        TermMissing,      // read to its end (lines_ counted): a term does not occur
        EveryTermOccurs,  // every term asked about occurs; the pass may end early
        Scored,           // read to its end (lines_ counted), every candidate scored
    };

    bool pump();
    bool pumpBeforePass();
    void findPathTerms(const char* path);
    void resetUnseen();

    // What every pass shares (see the .cpp).
    template <typename Stretch>
    PassEnd eachStretch(ScanFileReader& file, Stretch&& stretch);
    void endEarly(int32_t p);
    PassEnd termMissing(int64_t matchesBefore);
    template <typename Found, typename AfterWalk>
    int32_t walkStarts(int32_t& state, int32_t base, uint64_t starts, uint64_t lineFeeds,
                       int64_t lineFeedsBefore, int32_t walkedTo, int32_t limit, Found& found,
                       AfterWalk&& afterWalk);
    template <typename Found, typename AfterWalk>
    PassEnd probeStretch(int32_t p, int32_t stop, int64_t& lineFeeds, Found& found,
                         AfterWalk&& afterWalk);
    template <typename Found, typename AfterBlock>
    PassEnd blockStretch(int32_t p, int32_t stop, int32_t& state, int64_t& lineFeedsBefore,
                         Found& found, AfterBlock&& afterBlock);

    // The passes, one per aim: whether the probed terms occur (the first
    // pass); whether the others do; the lines holding a term, counted; the
    // lines holding a term, scored.
    PassEnd probeTerms(ScanFileReader& file);
    PassEnd findTerms(ScanFileReader& file);
    PassEnd countMatches(ScanFileReader& file);
    PassEnd scoreLines(ScanFileReader& file);
    template <typename Found, typename StartLine>
    PassEnd scoreStretch(int32_t p, int32_t stop, int32_t& state, const int32_t& line,
                         bool& inComment, Found& found, StartLine& startLine);

    bool countLines(int32_t line, const TermAutomaton::Ending& ending);
    TermSet spanningTermsOf(int32_t line);
    int64_t firstSpanningStart(ScanFileReader& file, int32_t line, int64_t before);
    void clearScoredBefore(int32_t last);
    void addCandidate(int32_t line);
    bool scoreDue(ScanFileReader& file, int32_t line);
    bool scoreLine(ScanFileReader& file, int32_t line);
    void rankLine(ScanFileReader& file, int32_t line);

    SearchHost& host_;
    const SearchRequest& request_;
    const TermTable* terms_ = nullptr;
    LineScorer scorer_;

    // Where a term may begin, 64 bytes at a time; from there the terms'
    // automaton (terms_->automaton()) walks on while a term is under way.
    // Rebuilt with the terms.
    ExactPassMasks masks_;
    ProbePassFilter probes_;  // the terms a file still lacks, or where any term may begin
    // Lines a line's score waits for once the scan has passed it: the
    // proximity reach, and the lines an occurrence holding line feeds may
    // end after the line it begins on.
    int32_t scoreReach_ = kProximityReach;
    TermSet allTerms_;
    TermSet emptyTerms_;             // an empty term occurs wherever another term begins
    int32_t everyTermPresence_ = 0;  // of a line of the file holding every term
    int32_t fileBar_ = 0;            // no line of the file scores more, whatever the options
    // spanTail_[k]: the terms holding k or more line feeds before their
    // last byte.
    std::array<TermSet, kMaxTermLength> spanTail_ = {};

    // Scanner state, kept from file to file so its storage is reused.
    // The file's text, kScanWindowSize bytes at a time, with room behind
    // the fill for the last block's reach and a probe's past it.
    ReadWindow window_;
    int64_t sincePump_ = 0;  // bytes handled since the last pump
    int64_t pumpedAt_ = 0;   // file offset of the next byte at this pass's last pump
    int64_t lines_ = 0;      // counted by a pass that read the file to its end

    // What the current file's scan knows: the terms the path holds and
    // those a pass still has to find.
    TermSet inPath_;
    TermSet unseen_;
    // Per line, at ringAt(line) (line_scoring.h): where it starts, as (file
    // offset << 1) | 1 when it begins inside /* */; the terms found beginning
    // on it (the scoring pass), from kProximityReach - 1 lines before the
    // first candidate still to score; the terms holding line feeds found
    // ending on it, until the lines they may have begun on have taken
    // theirs; the file offset where the first non-empty term that fits on
    // one line begins on it (INT64_MAX: none), for the result's column; and
    // the last line counted at that place as holding a term (the counting
    // passes).
    std::array<int64_t, kLineRing> lineStarts_ = {};
    std::array<TermSet, kLineRing> lineTerms_ = {};
    std::array<TermSet, kLineRing> spanEnds_ = {};
    std::array<int64_t, kLineRing> firstTermStarts_ = {};
    std::array<int32_t, kLineRing> countedLines_ = {};
    // The lines from spanFrom_ to spanTo_ have the same spanEnds_: a line
    // before them all takes its terms holding line feeds from one set.
    int32_t spanFrom_ = 0;
    int32_t spanTo_ = 0;
    // Per stretch of kStretchLines lines, at (line / kStretchLines) %
    // kStretches: at least the terms beginning on its lines, so the scorer
    // looks only for the terms that stand within a line's reach.
    static constexpr int32_t kStretchLines = 64;
    static constexpr int32_t kStretches = kLineRing / kStretchLines;
    std::array<TermSet, kStretches> stretchTerms_ = {};
    // The lines holding a term: from clearedCandidate_ the scored ones whose
    // terms lineTerms_ still holds for the lines within their reach (cleared
    // once a term is found further on than any line they reach can wait), from
    // firstCandidate_ those waiting until the scan is out of their reach (and
    // their lines' terms are complete), up to endCandidate_ (counted on).
    std::array<int32_t, kLineRing> candidates_ = {};
    uint32_t clearedCandidate_ = 0;
    uint32_t firstCandidate_ = 0;
    uint32_t endCandidate_ = 0;
    int32_t dueAt_ = INT32_MAX;  // the line whose start leaves the oldest out of reach
    bool scoredAny_ = false;
    bool onSyntaxList_ = false;
    FileResults* results_ = nullptr;
    int64_t matches_ = 0;  // the run's scored lines, the file's included
};

}  // namespace tarvo
