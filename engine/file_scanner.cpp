#include "engine/file_scanner.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>

#include "engine/line_excerpt.h"

namespace tarvo {

namespace {

// Line offsets are 32-bit, so larger files are opened (and remembered) but
// not read.
constexpr int64_t kMaxScannedFileSize = INT32_MAX;

// The earliest byte a mask marks: its lowest set bit.
int32_t lowestBit(uint64_t mask) {
    return std::countr_zero(mask);
}

// Where walks through the block at `p` end: before its first NUL, where
// the file is binary, else with the block or at `stop`.
int32_t walkEnd(int32_t p, int32_t stop, uint64_t nuls) {
    return nuls != 0 ? p + std::countr_zero(nuls) : std::min(p + kScanBlock, stop);
}

// The bits of a block's mask from bit `bit` on (none from 64).
uint64_t bitsFrom(int32_t bit) {
    return bit < kScanBlock ? ~uint64_t{0} << bit : 0;
}

}  // namespace

FileScanner::FileScanner(SearchHost& host, const SearchRequest& request)
    : host_(host),
      request_(request),
      window_(kScanWindowSize, kScanWindowMoveAt, kScanWindowMove,
              std::max(kScanBlockReach, kProbeReach)) {}

void FileScanner::setTerms(const TermTable& terms) {
    terms_ = &terms;
    masks_.prepare(terms);
    probes_.setTerms(terms);
    const TermAutomaton& automaton = terms.automaton();
    scoreReach_ = kProximityReach + automaton.linesBack();
    allTerms_ = TermSet::firstTerms(terms.count());
    emptyTerms_ = {};
    for (int32_t t = 0; t < terms.count(); ++t) {
        if (terms.term(t).length == 0) emptyTerms_.add(t);
    }
    spanTail_.fill({});
    for (int32_t k = automaton.linesBack(); k >= 1; --k) {
        spanTail_[k] = automaton.termsBack(k);
        if (k < automaton.linesBack()) spanTail_[k] |= spanTail_[k + 1];
    }
}

ScanOutcome FileScanner::scanFile(ScanFileReader& file, const char* path, bool onSyntaxList,
                                  FileResults& results, int64_t matchesSoFar) {
    onSyntaxList_ = onSyntaxList;
    results_ = &results;
    matches_ = matchesSoFar;
    sincePump_ = 0;  // the run pumps before every file
    window_.readStart(file);
    if (file.size() < 0 || file.size() > kMaxScannedFileSize) return {};

    findPathTerms(path);
    PassEnd end = probeTerms(file);
    if (end == PassEnd::EveryTermOccurs && !unseen_.empty())
        end = pumpBeforePass() ? findTerms(file) : PassEnd::Stopped;
    if (end == PassEnd::EveryTermOccurs) {
        const ScoringInput input{*terms_, lineTerms_.data(), {},
                                 inPath_, onSyntaxList_,     request_.options};
        const bool anyCanRank = results.admits(scorer_.fileCeiling(input, inPath_.size()), 1);
        everyTermPresence_ = scorer_.everyTermPresence(input, inPath_.size());
        // The options are read live, so the bar for the lines holds with
        // every bonus on.
        SearchOptions everyBonus = request_.options;
        everyBonus.caseSensitiveBonus = everyBonus.wholeWordBonus = everyBonus.cppHeuristics = true;
        fileBar_ = scorer_.fileCeiling(
            {*terms_, lineTerms_.data(), {}, inPath_, onSyntaxList_, everyBonus}, inPath_.size());
        if (!pumpBeforePass()) {
            end = PassEnd::Stopped;
        } else if (anyCanRank) {
            end = scoreLines(file);
        } else {
            end = countMatches(file);
        }
    }
    switch (end) {
        case PassEnd::Binary:
            return {ScanEnd::Binary};
        case PassEnd::TermMissing:
        case PassEnd::Scored:
            return {ScanEnd::Read, lines_, window_.fileEnd(), matches_ - matchesSoFar};
        default:
            return {ScanEnd::Abandoned, 0, 0, matches_ - matchesSoFar};
    }
}

bool FileScanner::pump() {
    host_.pumpMessages();
    sincePump_ = 0;
    return host_.runState() == RunState::Running;
}

// A pass takes the file from its start: it pumps first where its first
// stretch would take the bytes handled since the last pump past one
// stretch.
bool FileScanner::pumpBeforePass() {
    return sincePump_ + std::min<int64_t>(window_.fileEnd(), window_.stretch()) <=
               window_.stretch() ||
           pump();
}

// The terms Search File Names finds in the path; the others are still to
// be found in the file.
void FileScanner::findPathTerms(const char* path) {
    inPath_ = request_.options.searchFileNames ? terms_->termsIn(path) : TermSet();
    resetUnseen();
}

// A pass that sees every occurrence starts with every term unseen that the
// path does not hold.
void FileScanner::resetUnseen() {
    unseen_ = allTerms_;
    unseen_ -= inPath_;
}

// ---- The stretches, the blocks, the walks: what every pass shares ----

// A pass takes the file from its start (from the window again unless it
// has moved), stretch by stretch: `stretch(p, stop)` takes window positions
// p to stop and returns Continues to go on; after each stretch but the last
// a pump, then the window moves on. Continues once the file has ended.
template <typename Stretch>
[[gnu::always_inline]] inline FileScanner::PassEnd FileScanner::eachStretch(ScanFileReader& file,
                                                                            Stretch&& stretch) {
    window_.rewind(file);
    pumpedAt_ = 0;
    for (int32_t p = 0;;) {
        const int32_t stop = window_.stretchEnd(p);
        const PassEnd end = stretch(p, stop);
        if (end != PassEnd::Continues) return end;
        if (window_.endsAt(stop)) return PassEnd::Continues;
        if (!pump()) return PassEnd::Stopped;
        pumpedAt_ = window_.shift() + stop;
        p = window_.next(file, stop);
    }
}

// A pass that ends before the file does: the bytes it handled since its
// last pump, up to window position `p`, count towards the next pump.
void FileScanner::endEarly(int32_t p) {
    sincePump_ += window_.shift() + p - pumpedAt_;
}

// A term seen before and missing now (the file changed since) makes the
// file count as lacking it: no matches, no results.
FileScanner::PassEnd FileScanner::termMissing(int64_t matchesBefore) {
    results_->clear();
    matches_ = matchesBefore;
    return PassEnd::TermMissing;
}

// From each possible start in `starts` (bit 0 at window position `base`)
// that no walk has passed (walkedTo), the terms' automaton walks on until
// no term is under way or up to `limit`: so a byte costs the same however
// many terms may begin or end on it. The line of a start is one more than
// the line feeds before it: `lineFeedsBefore` before the block and those
// of `lineFeeds` below it. `afterWalk(walkedTo)` false ends the walks.
// Returns where the last walk ended.
template <typename Found, typename AfterWalk>
[[gnu::always_inline]] inline int32_t FileScanner::walkStarts(int32_t& state, int32_t base,
                                                              uint64_t starts, uint64_t lineFeeds,
                                                              int64_t lineFeedsBefore,
                                                              int32_t walkedTo, int32_t limit,
                                                              Found& found, AfterWalk&& afterWalk) {
    const TermAutomaton& automaton = terms_->automaton();
    for (starts &= bitsFrom(walkedTo - base); starts != 0; starts &= bitsFrom(walkedTo - base)) {
        const int32_t bit = lowestBit(starts);
        if (base + bit >= limit) break;
        const int32_t line =
            static_cast<int32_t>(lineFeedsBefore + 1 + std::popcount(lineFeeds & ~bitsFrom(bit)));
        walkedTo = automaton.walk(state, window_.bytes(), base + bit, limit, line, found);
        if (!afterWalk(walkedTo)) break;
    }
    return walkedTo;
}

// The probes' view of a stretch (probe_pass_filter.h), from window position `p`
// to `stop`: they count line feeds without taking them apart and stop only
// where a NUL or a probed byte pattern stands; there the terms' automaton
// walks from each possible start, each walk cut at the last byte an
// occurrence beginning in the block can reach (the next block's walks start
// afresh). Continues at the stretch's end; `afterWalk` as for walkStarts,
// with its own PassEnd when it ends the walks.
template <typename Found, typename AfterWalk>
[[gnu::always_inline]] inline FileScanner::PassEnd FileScanner::probeStretch(
    int32_t p, int32_t stop, int64_t& lineFeeds, Found& found, AfterWalk&& afterWalk) {
    while (p < stop) {
        ProbeHits hits;
        const int32_t passed = probes_.scan(window_.bytes() + p, stop - p,
                                            request_.options.skipBinaryFiles, &lineFeeds, &hits);
        if (hits.nuls != 0) return PassEnd::Binary;
        const int32_t block = p + hits.block;
        // Occurrences end with the file's bytes, never in stale window bytes.
        const int32_t reach = std::min(block + kScanBlock + kMaxTermLength - 1, window_.fill());
        PassEnd end = PassEnd::Continues;
        // Each walk from a fresh state: one that ended at `reach` passed the
        // block's other starts.
        int32_t state = TermAutomaton::kRoot;
        walkStarts(state, block, hits.starts, hits.lineFeeds,
                   lineFeeds - std::popcount(hits.lineFeeds), block, reach, found,
                   [&](int32_t walkedTo) {
                       end = afterWalk(walkedTo);
                       return end == PassEnd::Continues;
                   });
        if (end != PassEnd::Continues) return end;
        p += passed;
    }
    return PassEnd::Continues;
}

// The blocks of a stretch, from window position `p` to `stop`, with their
// lines counted, not followed: only the bytes where a term may begin are
// visited, and from there the automaton walks on while a term is under
// way, also into the next block (`state` carries it). `afterBlock()` comes
// after each block's walks and ends the pass with anything but Continues.
template <typename Found, typename AfterBlock>
[[gnu::always_inline]] inline FileScanner::PassEnd FileScanner::blockStretch(
    int32_t p, int32_t stop, int32_t& state, int64_t& lineFeedsBefore, Found& found,
    AfterBlock&& afterBlock) {
    const TermAutomaton& automaton = terms_->automaton();
    const char* const window = window_.bytes();
    std::array<BlockMasks, kMaskBatch> batch;
    for (int32_t batchAt = p; batchAt < stop; batchAt += kScanBlock * kMaskBatch) {
        const int32_t blocks = std::min(kMaskBatch, (stop - batchAt + kScanBlock - 1) / kScanBlock);
        masks_.masksFor(window + batchAt, blocks, false, batch.data());
        for (int32_t b = 0; b < blocks; ++b) {
            const BlockMasks& masks = batch[b];
            p = batchAt + b * kScanBlock;
            const uint64_t inSpan =
                stop - p >= kScanBlock ? ~uint64_t{0} : (uint64_t{1} << (stop - p)) - 1;
            // Skip Binary Files is read live: it changes only inside a pump.
            const uint64_t nuls = request_.options.skipBinaryFiles ? masks.nuls & inSpan : 0;
            const uint64_t lineFeeds = masks.lineFeeds & inSpan;
            const int32_t walkLimit = walkEnd(p, stop, nuls);
            int32_t walkedTo = p;  // a walk carried over from the block before goes on first
            if (state != TermAutomaton::kRoot && p < walkLimit)
                walkedTo = automaton.walk(state, window, p, walkLimit,
                                          static_cast<int32_t>(lineFeedsBefore + 1), found);
            walkedTo = walkStarts(state, p, masks.termStarts & inSpan, lineFeeds, lineFeedsBefore,
                                  walkedTo, walkLimit, found, [](int32_t) { return true; });
            const PassEnd end = afterBlock(walkedTo);
            if (end != PassEnd::Continues) return end;
            if (nuls != 0) return PassEnd::Binary;
            lineFeedsBefore +=
                lineFeeds == masks.lineFeeds ? masks.lineFeedCount : std::popcount(lineFeeds);
        }
    }
    return PassEnd::Continues;
}

// ---- The passes, one per aim ----

// The first pass: most files lack a term, and for them it is all the work.
// Over the first window, read by scanFile, it counts lines and looks for a
// NUL (when Skip Binary Files is on) and for the terms still unseen, at the
// probes' pace, and ends as soon as every probed term has occurred; the
// next pass then takes the file from its start, over the bytes already in
// the window when the window has not moved.
FileScanner::PassEnd FileScanner::probeTerms(ScanFileReader& file) {
    probes_.prepare(unseen_);
    TermSet probed;
    for (int32_t k = 0; k < probes_.count(); ++k)
        probed.add(probes_.term(k));
    // Every probed term occurs; an empty term then occurs too, wherever
    // another term begins. The terms left unseen are beyond the probes.
    auto probedTermsOccur = [&] {
        TermSet seen = probed;
        if (!probed.empty()) seen |= emptyTerms_;
        unseen_ -= seen;
        return PassEnd::EveryTermOccurs;
    };
    if (probes_.count() == 0) return probedTermsOccur();
    TermSet probedLeft = probed;  // the probed terms no walk has found yet
    auto found = [&](int32_t, int32_t, const TermAutomaton::Ending& ending) {
        unseen_ -= ending.terms;
        probedLeft -= ending.terms;
    };
    auto afterWalk = [&](int32_t walkedTo) {
        for (int32_t k = probes_.count() - 1; k >= 0; --k) {
            if (!probedLeft.has(probes_.term(k))) probes_.drop(probes_.term(k));
        }
        if (probes_.count() != 0) return PassEnd::Continues;
        endEarly(walkedTo);
        return probedTermsOccur();
    };
    int64_t lineFeeds = 0;
    const PassEnd end = eachStretch(file, [&](int32_t p, int32_t stop) {
        return probeStretch(p, stop, lineFeeds, found, afterWalk);
    });
    if (end != PassEnd::Continues) return end;
    lines_ = window_.linesOf(lineFeeds);
    return PassEnd::TermMissing;
}

// The presence pass, for the terms the probes could not decide (beyond the
// first kMaxTermProbes, or empty): it sees every occurrence and ends when
// every unseen term has occurred.
FileScanner::PassEnd FileScanner::findTerms(ScanFileReader& file) {
    auto found = [&](int32_t, int32_t, const TermAutomaton::Ending& ending) {
        unseen_ -= ending.terms;
    };
    auto afterBlock = [&](int32_t walkedTo) {
        if (!unseen_.empty()) return PassEnd::Continues;
        endEarly(walkedTo);
        return PassEnd::EveryTermOccurs;
    };
    int32_t state = TermAutomaton::kRoot;
    int64_t lineFeeds = 0;
    const PassEnd end = eachStretch(file, [&](int32_t p, int32_t stop) {
        return blockStretch(p, stop, state, lineFeeds, found, afterBlock);
    });
    if (end != PassEnd::Continues) return end;
    lines_ = window_.linesOf(lineFeeds);
    return PassEnd::TermMissing;
}

// The count of the lines holding a term in a file none of whose lines can
// rank (no line is scored, so the matches count as scored): at the probes'
// pace where they can stop wherever some term may begin (and seldom
// anywhere else), else over the blocks' masks.
FileScanner::PassEnd FileScanner::countMatches(ScanFileReader& file) {
    const bool probing = probes_.prepareStarts(masks_);
    resetUnseen();
    countedLines_.fill(0);
    const int64_t matchesBefore = matches_;
    bool pumpDue = false;
    auto found = [&](int32_t line, int32_t, const TermAutomaton::Ending& ending) {
        unseen_ -= ending.terms;
        pumpDue |= countLines(line, ending);
    };
    auto pumpIfDue = [&](int32_t) {
        if (!pumpDue) return PassEnd::Continues;
        pumpDue = false;
        return pump() ? PassEnd::Continues : PassEnd::Stopped;
    };
    int32_t state = TermAutomaton::kRoot;
    int64_t lineFeeds = 0;
    const PassEnd end = eachStretch(file, [&](int32_t p, int32_t stop) {
        return probing ? probeStretch(p, stop, lineFeeds, found, pumpIfDue)
                       : blockStretch(p, stop, state, lineFeeds, found, pumpIfDue);
    });
    if (end != PassEnd::Continues) return end;
    lines_ = window_.linesOf(lineFeeds);
    return unseen_.empty() ? PassEnd::Scored : termMissing(matchesBefore);
}

// Counts the lines that the terms of `ending`, found on `line`, begin on
// and that were not counted yet. True when a pump is due.
bool FileScanner::countLines(int32_t line, const TermAutomaton::Ending& ending) {
    bool pumpDue = false;
    auto count = [&](int32_t begun) {
        int32_t& counted = countedLines_[ringAt(begun)];
        if (counted == begun) return;
        counted = begun;
        pumpDue |= ++matches_ % kMatchesPerPump == 0;
    };
    if (!ending.sameLine.empty()) count(line);
    for (const TermAutomaton::Span* span = terms_->automaton().spansBegin(ending);
         span != terms_->automaton().spansEnd(ending); ++span)
        count(line - span->linesBack);
    return pumpDue;
}

// The scoring pass: it also follows line starts and block-comment states,
// notes the terms of each line and scores every line holding a term.
//
// The bytes are taken in file order, as one byte at a time would take them,
// but only the bytes whose bit is set in a block's masks are visited: line
// feeds, comment marks, NULs (when Skip Binary Files is on) and places
// where a term may begin. A byte with no bit cannot change anything.
//
// From a place where a term may begin the terms' automaton walks on, byte
// by byte, while a term is under way, also into the next block. A block's
// walks come before its line feeds, which are where a line's terms are
// complete: an occurrence is found at its last byte, and counts on the line
// it begins on.
FileScanner::PassEnd FileScanner::scoreLines(ScanFileReader& file) {
    resetUnseen();
    clearedCandidate_ = firstCandidate_ = endCandidate_ = 0;
    dueAt_ = INT32_MAX;
    scoredAny_ = false;
    const int64_t matchesBefore = matches_;
    lineTerms_.fill({});  // the lines before the first and after the last, too, hold none
    spanEnds_.fill({});
    spanFrom_ = spanTo_ = 0;
    firstTermStarts_.fill(INT64_MAX);
    stretchTerms_.fill({});

    const TermAutomaton& automaton = terms_->automaton();
    const int32_t linesBack = automaton.linesBack();
    int32_t state = TermAutomaton::kRoot;  // the walk's, carried from block to block
    // A line holding a term is a candidate. Where terms hold line feeds, an
    // occurrence is found lines after the one it began on, so a line
    // becomes a candidate only once no occurrence begun on it can still
    // end: the lines whose terms are still gathered lie between these.
    int32_t lastFound = 0;  // the line of the last byte a term ended on
    int32_t firstPending = INT32_MAX;
    int32_t lastPending = 0;
    int32_t checkAt = INT32_MAX;  // the first line whose start finds candidates or lines to score
    auto found = [&](int32_t line, int32_t after, const TermAutomaton::Ending& ending) {
        unseen_ -= ending.terms;
        if (line != lastFound) {
            // The stretches after the last one a term was found in start
            // anew: their places last held stretches out of every reach.
            const int32_t stretch = line / kStretchLines;
            for (int32_t passed = std::max(lastFound / kStretchLines + 1, stretch - kStretches + 1);
                 passed <= stretch; ++passed)
                stretchTerms_[passed % kStretches] = {};
            lastFound = line;
            // A walk may run a block's lines ahead of the lines scored.
            clearScoredBefore(line - kScanBlock - kProximityReach - scoreReach_);
            if (linesBack == 0) {
                addCandidate(line);
                checkAt = std::min(checkAt, dueAt_);
            }
        }
        lineTerms_[ringAt(line)] |= ending.sameLine;
        stretchTerms_[line / kStretchLines % kStretches] |= ending.sameLine;
        // An occurrence ending before window position `after` began
        // `longest` bytes before it: the line's first term may begin there.
        int64_t& first = firstTermStarts_[ringAt(line)];
        if (ending.sameLineLongest > 0)
            first = std::min(first, window_.shift() + after - ending.sameLineLongest);
        if (linesBack == 0) return;
        // Terms holding line feeds: the lines they began on take them once
        // complete (spanningTermsOf), so a byte ending many costs one store.
        int32_t begun = line;
        if (!ending.spanning.empty()) {
            spanEnds_[ringAt(line)] |= ending.spanning;
            begun -= automaton.spansBegin(ending)->linesBack;  // the furthest back first
        }
        firstPending = std::min(firstPending, begun);
        lastPending = std::max(lastPending, line);
        checkAt = std::min(checkAt, begun + linesBack + 1);
    };
    // With terms holding line feeds: the lines up to `last` whose terms are
    // complete take those holding line feeds, and those not empty become
    // candidates, in line order.
    auto candidatesThrough = [&](int32_t last) {
        if (firstPending > last) return;
        const int32_t through = std::min(last, lastPending);
        for (int32_t pending = firstPending; pending <= through; ++pending) {
            TermSet& terms = lineTerms_[ringAt(pending)];
            const TermSet spanning = spanningTermsOf(pending);
            if (!spanning.empty()) {
                terms |= spanning;
                stretchTerms_[pending / kStretchLines % kStretches] |= spanning;
            }
            if (!terms.empty()) addCandidate(pending);
        }
        firstPending = through < lastPending ? through + 1 : INT32_MAX;
    };

    int32_t line = 1;
    bool inComment = false;
    lineStarts_[1] = 0;
    // A line starts after the line feed at `lineFeedAt`; the lines an
    // occurrence still under way cannot have begun on have all their terms,
    // and the lines out of reach are scored. False when the run was stopped
    // while lines were scored.
    auto startLine = [&](int32_t lineFeedAt) {
        if (!window_.lineBeginsAfter(lineFeedAt)) return true;
        ++line;
        const int64_t begin = window_.shift() + lineFeedAt + 1;
        lineStarts_[ringAt(line)] = begin << 1 | static_cast<int64_t>(inComment);
        if (line < checkAt) return true;
        candidatesThrough(line - 1 - linesBack);
        if (line >= dueAt_ && !scoreDue(file, line)) return false;
        checkAt = dueAt_;
        if (firstPending != INT32_MAX) checkAt = std::min(checkAt, firstPending + linesBack + 1);
        return true;
    };
    const PassEnd end = eachStretch(file, [&](int32_t p, int32_t stop) {
        return scoreStretch(p, stop, state, line, inComment, found, startLine);
    });
    if (end != PassEnd::Continues) return end;
    lines_ = line;
    if (!unseen_.empty()) return termMissing(matchesBefore);

    // The last line ends with the file; then every line still waiting is
    // scored.
    candidatesThrough(line);
    lineStarts_[ringAt(line + 1)] = window_.fileEnd() << 1;
    if (!scoreDue(file, INT32_MAX)) return PassEnd::Stopped;
    // No line to score (no terms, or terms only in the path): the file is
    // listed as a whole. Not a match.
    if (!scoredAny_) results_->add(-1, 0, "", 0, 0);
    return PassEnd::Scored;
}

// The scoring pass over a stretch, from window position `p` to `stop`: the
// events of each block in byte order, a walk from each possible start no
// walk has passed; the walks gather the terms of the lines they cross
// (`found`), which the line feeds hand on (`startLine`, false when the run
// was stopped). A walk carried over from the block before (`state`) goes on
// first. `line` is the line of the next byte, `inComment` whether it lies
// inside /* */.
template <typename Found, typename StartLine>
[[gnu::always_inline]] inline FileScanner::PassEnd FileScanner::scoreStretch(
    int32_t p, int32_t stop, int32_t& state, const int32_t& line, bool& inComment, Found& found,
    StartLine& startLine) {
    const TermAutomaton& automaton = terms_->automaton();
    const char* const window = window_.bytes();
    std::array<BlockMasks, kMaskBatch> batch;
    int32_t batchLeft = 0;
    const BlockMasks* next = nullptr;
    for (int32_t b = p; b < stop; b += kScanBlock) {
        if (batchLeft == 0) {
            batchLeft = std::min(kMaskBatch, (stop - b + kScanBlock - 1) / kScanBlock);
            masks_.masksFor(window + b, batchLeft, true, batch.data());
            next = batch.data();
        }
        const BlockMasks masks = *next++;
        --batchLeft;
        const uint64_t inSpan =
            stop - b >= kScanBlock ? ~uint64_t{0} : (uint64_t{1} << (stop - b)) - 1;
        // Skip Binary Files is read live: it changes only inside a pump.
        const uint64_t nuls = request_.options.skipBinaryFiles ? masks.nuls & inSpan : 0;
        const uint64_t lineFeeds = masks.lineFeeds & inSpan;
        const uint64_t termStarts = masks.termStarts & inSpan;
        const uint64_t commentMarks = masks.commentMarks & inSpan;
        const int32_t walkLimit = walkEnd(b, stop, nuls);
        int32_t walkedTo = b;
        if (state != TermAutomaton::kRoot && b < walkLimit)
            walkedTo = automaton.walk(state, window, b, walkLimit, line, found);
        uint64_t events = lineFeeds;
        if ((nuls | termStarts | commentMarks) == 0) {
            for (; events != 0; events &= events - 1) {
                if (!startLine(b + lowestBit(events))) return PassEnd::Stopped;
            }
            continue;
        }
        events |= nuls | termStarts | commentMarks;
        for (; events != 0; events &= events - 1) {
            const int32_t bit = lowestBit(events);
            const uint64_t mask = uint64_t{1} << bit;
            const int32_t at = b + bit;
            if (nuls & mask) return PassEnd::Binary;
            if ((termStarts & mask) && at >= walkedTo)
                walkedTo = automaton.walk(state, window, at, walkLimit, line, found);
            // Only /* and */ are tracked: `//` and string literals are
            // not recognised, so "/*/" opens and at once closes. The
            // mask already holds the byte after the mark.
            if (commentMarks & mask) {
                const char c = window[at];
                if (c == '/' && !inComment) {
                    inComment = true;
                } else if (c == '*' && inComment) {
                    inComment = false;
                }
            }
            if ((lineFeeds & mask) && !startLine(at)) return PassEnd::Stopped;
        }
    }
    return PassEnd::Continues;
}

// The terms holding line feeds that begin on `line`, once the lines they
// may end on are scanned: those found ending k lines after it among the
// terms holding k line feeds. The lines after it that end the same terms
// (spanFrom_ to spanTo_: in a run of lines alike, all of them) answer with
// one set. Called for each line in order while such terms are pending;
// then no line before the next needs the terms ending on it.
TermSet FileScanner::spanningTermsOf(int32_t line) {
    const TermAutomaton& automaton = terms_->automaton();
    if (spanTo_ <= line) spanFrom_ = spanTo_ = line + 1;
    for (const int32_t last = line + automaton.linesBack(); spanTo_ < last; ++spanTo_) {
        if (spanEnds_[ringAt(spanTo_ + 1)] != spanEnds_[ringAt(spanTo_)]) spanFrom_ = spanTo_ + 1;
    }
    TermSet terms = spanEnds_[ringAt(line + 1)];
    spanEnds_[ringAt(line + 1)] = {};
    if (spanFrom_ <= line + 1) return terms;  // only terms holding line feeds end there
    terms &= automaton.termsBack(1);
    TermSet alike = spanEnds_[ringAt(spanFrom_)];
    alike &= spanTail_[spanFrom_ - line];
    terms |= alike;
    for (int32_t k = 2; line + k < spanFrom_; ++k) {
        TermSet ending = spanEnds_[ringAt(line + k)];
        ending &= automaton.termsBack(k);
        terms |= ending;
    }
    return terms;
}

// Where the first term holding line feeds begins on `line`, when before
// file offset `before`, else `before`. The scan keeps no such start (it
// would cost a store per line spanned, at every byte ending such terms),
// so the bytes they may stand on are walked again, from the root: such a
// term holds the line's line feed, so it begins less than kMaxTermLength
// bytes before the line's end, and ends less than kMaxTermLength after it.
int64_t FileScanner::firstSpanningStart(ScanFileReader& file, int32_t line, int64_t before) {
    const int64_t lineEnd = lineStarts_[ringAt(line + 1)] >> 1;
    const int64_t from = std::max(lineStarts_[ringAt(line)] >> 1, lineEnd - (kMaxTermLength - 1));
    if (from >= before) return before;
    std::string storage;
    const std::string_view bytes = window_.longLine(
        file, from, std::min(window_.fileEnd(), lineEnd + kMaxTermLength), storage);
    const TermAutomaton& automaton = terms_->automaton();
    int64_t first = before;
    int32_t state = TermAutomaton::kRoot;
    int32_t linesAfter = 0;  // the line of the next byte, from `line`'s
    for (size_t at = 0; at < bytes.size() && linesAfter <= automaton.linesBack(); ++at) {
        state = automaton.step(state, static_cast<uint8_t>(bytes[at]));
        if (automaton.ends(state)) {
            const TermAutomaton::Ending& ending = automaton.ending(state);
            for (const TermAutomaton::Span* span = automaton.spansBegin(ending);
                 span != automaton.spansEnd(ending); ++span) {
                if (span->linesBack == linesAfter)
                    first = std::min(first, from + static_cast<int64_t>(at) + 1 - span->longest);
            }
        }
        linesAfter += bytes[at] == '\n';
    }
    return first;
}

// The terms of the scored lines up to `last` go: no line still to score is
// within their reach, and their places in the ring come round again.
void FileScanner::clearScoredBefore(int32_t last) {
    for (; clearedCandidate_ != firstCandidate_; ++clearedCandidate_) {
        const int32_t scored = candidates_[clearedCandidate_ % kLineRing];
        if (scored > last) return;
        lineTerms_[ringAt(scored)] = {};
        firstTermStarts_[ringAt(scored)] = INT64_MAX;
    }
}

// A line holding a term waits until the scan is out of its reach.
void FileScanner::addCandidate(int32_t line) {
    if (endCandidate_ == firstCandidate_) dueAt_ = line + scoreReach_;
    candidates_[endCandidate_++ % kLineRing] = line;
}

// Scores, oldest first, the waiting lines that line `line` has left out of
// reach: no term's line from `line` on can change their score. False when
// the run was stopped.
bool FileScanner::scoreDue(ScanFileReader& file, int32_t line) {
    while (firstCandidate_ != endCandidate_) {
        const int32_t candidate = candidates_[firstCandidate_ % kLineRing];
        if (line - candidate < scoreReach_) {
            dueAt_ = candidate + scoreReach_;
            return true;
        }
        ++firstCandidate_;
        if (!scoreLine(file, candidate)) return false;
    }
    dueAt_ = INT32_MAX;
    return true;
}

// Most lines of a common term cannot rank once the results are full, not
// even with every bonus: those are only counted, and their text is never
// copied. A line is scored on its first kMaxLineText bytes; a longer one
// keeps its excerpt around its first term. A pump after every
// kMatchesPerPump scored lines of the run.
bool FileScanner::scoreLine(ScanFileReader& file, int32_t line) {
    // A line that cannot enter even at the file's ceiling is only counted:
    // where many lines tie, no more than a compare each.
    if (results_->admits(fileBar_, line)) rankLine(file, line);
    scoredAny_ = true;
    ++matches_;
    return matches_ % kMatchesPerPump != 0 || pump();
}

// The line's score, and the line handed over if it can enter.
void FileScanner::rankLine(ScanFileReader& file, int32_t line) {
    const int64_t start = lineStarts_[ringAt(line)];
    const bool inComment = (start & 1) != 0;
    // Where the line's first term begins: its column for the result.
    auto termColumn = [&] {
        int64_t first = firstTermStarts_[ringAt(line)];
        TermSet spanning = lineTerms_[ringAt(line)];
        spanning &= spanTail_[1];
        if (!spanning.empty()) first = firstSpanningStart(file, line, first);
        return first == INT64_MAX ? 0 : static_cast<int32_t>(first - (start >> 1)) + 1;
    };
    // The terms of the stretches of lines that the line's reach touches,
    // unless the line holds them all.
    TermSet nearby = lineTerms_[ringAt(line)];
    const bool holdsAll = nearby == allTerms_;
    if (!holdsAll) {
        for (int32_t stretch = std::max(1, line - (kProximityReach - 1)) / kStretchLines;
             stretch <= (line + kProximityReach - 1) / kStretchLines; ++stretch)
            nearby |= stretchTerms_[stretch % kStretches];
    }
    const ScoringInput input{*terms_, lineTerms_.data(), nearby,
                             inPath_, onSyntaxList_,     request_.options};
    const int32_t presence =
        holdsAll ? everyTermPresence_ : scorer_.presenceAndProximity(input, line);
    if (results_->admits(scorer_.scoreCeiling(input, presence, inComment), line)) {
        const int64_t begin = start >> 1;
        const int64_t end = lineStarts_[ringAt(line + 1)] >> 1;
        int32_t length = 0;
        const char* text = window_.lineText(file, begin, end, &length);
        const int32_t score = scorer_.scoreLine(input, presence, inComment, text);
        if (!results_->admits(score, line)) return;  // the column and excerpt may read again
        if (end - begin <= kMaxLineText) {
            results_->add(score, line, text, length, termColumn());
        } else {
            std::string storage;
            const LineExcerpt kept =
                lineExcerpt(window_.longLine(file, begin, end, storage), *terms_);
            results_->add(score, line, kept.text.c_str(), static_cast<int32_t>(kept.text.size()),
                          termColumn());
        }
    }
}

}  // namespace tarvo
