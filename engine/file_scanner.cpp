#include "engine/file_scanner.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>

#include "engine/line_excerpt.h"

namespace tarvo {

namespace {

// The last window position scanned before the window moves: the first one
// past kScanWindowMoveAt.
constexpr int32_t kLastPositionBeforeMove = kScanWindowMoveAt + 1;
// The most bytes handled between two pumps: those up to the first move.
constexpr int32_t kStretch = kLastPositionBeforeMove + 1;

// Line offsets are 32-bit, so larger files are opened (and remembered) but
// not read.
constexpr int64_t kMaxScannedFileSize = INT32_MAX;

// A term's list in termLines_ is cut back to the lines still within reach once it holds
// this many. Those lie within 2 x kProximityReach lines, so a cut leaves at
// most that many and the next one comes hundreds of lines later.
constexpr int32_t kTrimLinesAt = 512;

// A line's excerpt is taken from its first bytes up to here: a term
// further in leaves the line's start kept, as a line too long to read again
// is printed as stored.
constexpr int64_t kMaxExcerptLine = 16 << 20;

// The earliest byte a mask marks: its lowest set bit.
int32_t lowestBit(uint64_t mask) {
    return std::countr_zero(mask);
}

}  // namespace

FileScanner::FileScanner(SearchHost& host, const SearchRequest& request)
    : host_(host),
      request_(request),
      // Zeroed: a block reaching past the fill reads defined bytes.
      window_(new char[kScanWindowSize + std::max(kScanBlockReach, kProbeReach)]()) {}

void FileScanner::setTerms(const TermTable& terms) {
    terms_ = &terms;
    blocks_.prepare(terms);
    probes_.setTerms(terms);
    int32_t listed = 0;
    for (int c = 0; c < 256; ++c) {
        const uint8_t byte = static_cast<uint8_t>(c);
        // Only these terms can match where this byte stands, so testing them
        // alone, in index order, finds exactly what testing every term would.
        termsStartingAt_[c] = listed;
        for (int32_t t = 0; t < terms.count(); ++t) {
            const QueryTerm& term = terms.term(t);
            uint8_t first = static_cast<uint8_t>(term.text[0]);
            if (term.length == 0 || foldAscii(first) == foldAscii(byte)) {
                termsStartingWith_[listed++] = static_cast<uint8_t>(t);
            }
        }
    }
    termsStartingAt_[256] = listed;
}

ScanOutcome FileScanner::scanFile(ScanFileReader& file, const char* path, bool onSyntaxList,
                                  FileResults& results, int64_t matchesSoFar) {
    onSyntaxList_ = onSyntaxList;
    results_ = &results;
    matches_ = matchesSoFar;
    sincePump_ = 0;  // the run pumps before every file
    readFirstWindow(file);
    if (file.size() < 0 || file.size() > kMaxScannedFileSize) return {};

    findPathTerms(path);
    PassEnd end = probePass(file, false);
    if (end == PassEnd::EveryTermOccurs && unseenCount_ > 0)
        end = pumpBeforePass() ? exactPass(file, PassAim::Presence) : PassEnd::Stopped;
    if (end == PassEnd::EveryTermOccurs) {
        const ScoringInput input{*terms_, termLines_.data(), onSyntaxList_, request_.options};
        const int32_t pathTerms = static_cast<int32_t>(
            std::count(inPath_.begin(), inPath_.begin() + terms_->count(), true));
        const bool anyCanRank = results.admits(scorer_.fileCeiling(input, pathTerms), 1);
        if (!pumpBeforePass()) {
            end = PassEnd::Stopped;
        } else if (anyCanRank) {
            end = exactPass(file, PassAim::Score);
        } else if (probes_.prepareStarts(blocks_)) {
            countFromInPath();
            end = probePass(file, true);
        } else {
            end = exactPass(file, PassAim::Count);
        }
    }
    position_ = 0;
    switch (end) {
        case PassEnd::Binary:
            return {ScanEnd::Binary};
        case PassEnd::TermMissing:
        case PassEnd::Scored:
            return {ScanEnd::Read, lines_, fileEnd_, matches_ - matchesSoFar};
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
// stretch. `position_` is then 0: the next byte is the file's first.
bool FileScanner::pumpBeforePass() {
    position_ = 0;
    return sincePump_ + std::min<int64_t>(fileEnd_, kStretch) <= kStretch || pump();
}

// The terms Search File Names finds in the path; the others are still to
// be found in the file.
void FileScanner::findPathTerms(const char* path) {
    const char* pathEnd = path + std::strlen(path);
    for (int32_t t = 0; t < terms_->count(); ++t) {
        inPath_[t] = false;
        for (const char* at = path; request_.options.searchFileNames && at < pathEnd; ++at) {
            if (terms_->isFirstChar(static_cast<uint8_t>(*at)) &&
                terms_->termMatchAt(at, pathEnd, t)) {
                inPath_[t] = true;
                break;
            }
        }
    }
    countFromInPath();
}

// A pass that sees every occurrence starts with every term unseen that the
// path does not hold.
void FileScanner::countFromInPath() {
    unseenCount_ = 0;
    for (int32_t t = 0; t < terms_->count(); ++t) {
        unseen_[t] = !inPath_[t];
        unseenCount_ += unseen_[t];
    }
}

// The window from the file's start, as the file is now: fileEnd_ is
// lowered when it has shrunk since it was opened. From here on the file is
// its text: a UTF-16 file's UTF-8, without a byte-order mark. The first read
// of a file may be what gives its size (see ScanFileReader::readStart).
void FileScanner::readFirstWindow(ScanFileReader& file) {
    windowShift_ = 0;
    windowFill_ = file.readStart(window_.get(), kScanWindowSize);
    fileEnd_ = file.size();
    if (windowFill_ < std::min<int64_t>(fileEnd_, kScanWindowSize)) fileEnd_ = windowFill_;
    window_[windowFill_] = '\0';  // the comment lookahead past the last byte sees no '*' or '/'
}

// The passes over the probes' view of the bytes (term_probes.h), which
// count line feeds without taking them apart and stop only where a NUL or a
// probed byte pattern stands.
//
// The first pass: most files lack a term, and for them it is all the work.
// It counts lines and looks for a NUL (when Skip Binary Files is on) and for
// the terms still unseen, building no table, and ends as soon as every
// probed term has occurred; the next pass then takes the file from its
// start, over the bytes already in the window when the window has not moved.
//
// With `counting`, the count of the lines holding a term in a file none of
// whose lines can rank: the probes stop wherever some term may begin, so
// the count runs at the first pass's pace. False when the starts are not
// probed (too many); the exact pass counts then. A term seen before and
// missing now (the file changed since) makes the file count as lacking it.
FileScanner::PassEnd FileScanner::probePass(ScanFileReader& file, bool counting) {
    if (!counting) {
        probes_.prepare(unseen_);  // over the first window, read by scanFile
    } else if (windowShift_ != 0) {
        readFirstWindow(file);
    }
    std::array<bool, kMaxTerms> probed = {};
    for (int32_t k = 0; k < probes_.count() && !counting; ++k)
        probed[probes_.term(k)] = true;
    // Every probed term occurs; an empty term then occurs too, wherever
    // another term begins. The terms left unseen are beyond the probes.
    auto probedTermsOccur = [&] {
        const bool anyInFile = std::find(probed.begin(), probed.end(), true) != probed.end();
        for (int32_t t = 0; t < terms_->count(); ++t) {
            if (probed[t] || (anyInFile && terms_->term(t).length == 0)) {
                unseenCount_ -= unseen_[t];
                unseen_[t] = false;
            }
        }
        return PassEnd::EveryTermOccurs;
    };
    if (probes_.count() == 0 && !counting) return probedTermsOccur();
    const int64_t matchesBefore = matches_;
    int32_t countedLine = 0;  // the last line counted as holding a term

    // A file the first read took whole is never moved through, so the next
    // pass finds it still in the window.
    const bool whole = fileEnd_ <= windowFill_;
    const char* const window = window_.get();
    int64_t lineFeeds = 0;
    int64_t pumpedAt = 0;  // file offset of the next byte at this pass's last pump
    int32_t p = 0;         // window position of the next byte
    for (;;) {
        const int32_t stop = static_cast<int32_t>(
            std::min<int64_t>(fileEnd_ - windowShift_, whole && p > 0 ? fileEnd_ : kStretch));
        const char* const end = window + windowFill_;
        while (p < stop) {
            ProbeHits hits;
            const int32_t passed = probes_.scan(
                window + p, stop - p, request_.options.skipBinaryFiles, &lineFeeds, &hits);
            if (hits.nuls != 0) return PassEnd::Binary;
            // The line feeds before the block that stopped the scan.
            const int64_t feedsBefore = lineFeeds - std::popcount(hits.lineFeeds);
            for (uint64_t starts = hits.starts; starts != 0; starts &= starts - 1) {
                const int32_t bit = lowestBit(starts);
                const int32_t at = p + hits.block + bit;
                if (counting) {
                    const uint8_t c = static_cast<uint8_t>(window[at]);
                    bool occurs = false;
                    for (int32_t k = termsStartingAt_[c]; k < termsStartingAt_[c + 1]; ++k) {
                        const int32_t t = termsStartingWith_[k];
                        if (!terms_->termMatchAt(window + at, end, t)) continue;
                        occurs = true;
                        unseenCount_ -= unseen_[t];
                        unseen_[t] = false;
                    }
                    const int64_t line =
                        feedsBefore + std::popcount(hits.lineFeeds & ((uint64_t{1} << bit) - 1)) +
                        1;
                    if (!occurs || line == countedLine) continue;
                    countedLine = static_cast<int32_t>(line);
                    position_ = windowShift_ + at;
                    if (++matches_ % kMatchesPerPump == 0 && !pump()) return PassEnd::Stopped;
                    continue;
                }
                for (int32_t k = probes_.count() - 1; k >= 0; --k) {
                    const int32_t t = probes_.term(k);
                    if (terms_->termMatchAt(window + at, end, t)) probes_.drop(t);
                }
                if (probes_.count() == 0) {
                    sincePump_ += windowShift_ + at + 1 - pumpedAt;
                    return probedTermsOccur();
                }
            }
            p += passed;
        }
        if (windowShift_ + p >= fileEnd_) break;
        position_ = windowShift_ + p;
        if (!pump()) return PassEnd::Stopped;
        pumpedAt = windowShift_ + p;
        if (!whole) {
            moveWindow(file);
            p -= kScanWindowMove;
        }
    }
    // A line begins after a line feed only when a byte follows it.
    if (fileEnd_ > 0 && window[fileEnd_ - 1 - windowShift_] == '\n') --lineFeeds;
    lines_ = lineFeeds + 1;
    if (!counting || unseenCount_ > 0) {
        matches_ = matchesBefore;
        return PassEnd::TermMissing;
    }
    return PassEnd::Scored;
}

// The exact pass, from the file's start, reading it again unless the window
// still holds its start. It sees every occurrence of every term; what it
// does with them is its aim:
// - Presence: it looks for the unseen terms and ends when it has seen them.
// - Count: it counts the lines holding a term, for a file none of whose
//   lines can rank (no line is scored, so the matches count as scored).
// - Score: it also follows line starts and block-comment states, notes each
//   term's lines and scores every line holding a term.
// A term seen before and missing now (the file changed since) makes the
// file count as lacking it: no matches, no results.
//
// The bytes are taken in file order, as one byte at a time would take them,
// but only the bytes whose bit is set in a block's masks are visited: line
// feeds, comment marks, NULs (when Skip Binary Files is on) and places
// where a term may begin. A byte with no bit cannot change anything.
FileScanner::PassEnd FileScanner::exactPass(ScanFileReader& file, PassAim aim) {
    if (windowShift_ != 0) readFirstWindow(file);
    const bool scoring = aim == PassAim::Score;
    if (aim != PassAim::Presence) {
        countFromInPath();
        for (int32_t t = 0; t < terms_->count(); ++t) {
            termLines_[t].clear();
            if (scoring && inPath_[t] && !termLines_[t].push(0)) return PassEnd::Stopped;
        }
    }
    firstCandidate_ = endCandidate_ = 0;
    dueAt_ = INT32_MAX;
    scoredAny_ = false;
    const int64_t matchesBefore = matches_;

    int32_t line = 1;
    int64_t lineFeedsBefore = 0;  // without scoring: in the blocks before this one
    int32_t countedLine = 0;      // the last line counted as holding a term
    bool inComment = false;
    lineStarts_[1] = 0;
    const char* const window = window_.get();
    int64_t pumpedAt = 0;  // file offset of the next byte at this pass's last pump
    int32_t p = 0;         // window position of the next byte; its file offset is windowShift_ + p
    for (;;) {
        const int32_t stop = static_cast<int32_t>(
            std::min<int64_t>(fileEnd_ - windowShift_, kLastPositionBeforeMove + 1));
        // Occurrences end with the file's bytes, never in stale window bytes.
        const char* const end = window + windowFill_;
        // A line begins after a line feed only when a byte follows it: a
        // file ending with a line feed has no extra empty line.
        const int64_t lastByte = fileEnd_ - 1 - windowShift_;
        // Scoring: a line starts after the line feed at `lineFeedAt`. False
        // when the run was stopped while lines were scored.
        auto startLine = [&](int32_t lineFeedAt) {
            if (lineFeedAt >= lastByte) return true;
            ++line;
            const int64_t begin = windowShift_ + lineFeedAt + 1;
            lineStarts_[line % kLineRing] = begin << 1 | static_cast<int64_t>(inComment);
            return line < dueAt_ || scoreDue(file, line, begin);
        };
        // The term occurs on the current line, at window position `at`.
        // False when the run was stopped or a list could not grow.
        auto occurs = [&](int32_t t, int32_t at) {
            if (unseen_[t]) {
                unseen_[t] = false;
                --unseenCount_;
            }
            if (scoring) return noteOccurrence(t, line, windowShift_ + at);
            if (aim == PassAim::Presence || countedLine == line) return true;
            countedLine = line;
            position_ = windowShift_ + p;
            return ++matches_ % kMatchesPerPump != 0 || pump();
        };
        std::array<BlockMasks, kMaskBatch> batch;
        int32_t batchLeft = 0;
        const BlockMasks* next = nullptr;
        for (; p < stop; p += kScanBlock) {
            if (batchLeft == 0) {
                batchLeft = std::min(kMaskBatch, (stop - p + kScanBlock - 1) / kScanBlock);
                blocks_.masksFor(window + p, batchLeft, scoring, batch.data());
                next = batch.data();
            }
            const BlockMasks masks = *next++;
            --batchLeft;
            const uint64_t inSpan =
                stop - p >= kScanBlock ? ~uint64_t{0} : (uint64_t{1} << (stop - p)) - 1;
            // Skip Binary Files is read live: it changes only inside a pump.
            const uint64_t nuls = request_.options.skipBinaryFiles ? masks.nuls & inSpan : 0;
            const uint64_t lineFeeds = masks.lineFeeds & inSpan;
            const uint64_t termStarts = masks.termStarts & inSpan;
            if (!scoring) {
                // Lines are counted, not followed: the line of an occurrence
                // is one more than the line feeds before it.
                for (uint64_t starts = nuls | termStarts; starts != 0; starts &= starts - 1) {
                    const uint64_t mask = starts & -starts;
                    if (nuls & mask) return PassEnd::Binary;
                    const int32_t at = p + lowestBit(starts);
                    const uint8_t c = static_cast<uint8_t>(window[at]);
                    if (!terms_->isFirstChar(c)) continue;
                    line = static_cast<int32_t>(lineFeedsBefore +
                                                std::popcount(lineFeeds & (mask - 1))) +
                           1;
                    for (int32_t k = termsStartingAt_[c]; k < termsStartingAt_[c + 1]; ++k) {
                        const int32_t t = termsStartingWith_[k];
                        if (!terms_->termMatchAt(window + at, end, t)) continue;
                        if (!occurs(t, at)) return PassEnd::Stopped;
                        if (aim == PassAim::Presence && unseenCount_ == 0) {
                            sincePump_ += windowShift_ + at + 1 - pumpedAt;
                            return PassEnd::EveryTermOccurs;
                        }
                    }
                }
                lineFeedsBefore +=
                    lineFeeds == masks.lineFeeds ? masks.lineFeedCount : std::popcount(lineFeeds);
                continue;
            }
            const uint64_t commentMarks = masks.commentMarks & inSpan;
            uint64_t events = lineFeeds;
            if ((nuls | termStarts | commentMarks) == 0) {
                for (; events != 0; events &= events - 1) {
                    if (!startLine(p + lowestBit(events))) return PassEnd::Stopped;
                }
                continue;
            }
            events |= nuls | termStarts | commentMarks;
            for (; events != 0; events &= events - 1) {
                const int32_t bit = lowestBit(events);
                const uint64_t mask = uint64_t{1} << bit;
                const int32_t at = p + bit;
                const uint8_t c = static_cast<uint8_t>(window[at]);
                if (nuls & mask) return PassEnd::Binary;
                // isFirstChar is the exact test; the block only
                // narrowed down where to ask it.
                if ((termStarts & mask) && terms_->isFirstChar(c)) {
                    for (int32_t k = termsStartingAt_[c]; k < termsStartingAt_[c + 1]; ++k) {
                        const int32_t t = termsStartingWith_[k];
                        if (!terms_->termMatchAt(window + at, end, t)) continue;
                        if (!occurs(t, at)) return PassEnd::Stopped;
                    }
                }
                // Only /* and */ are tracked: `//` and string literals are
                // not recognised, so "/*/" opens and at once closes. The
                // mask already holds the byte after the mark.
                if (commentMarks & mask) {
                    if (c == '/' && !inComment) {
                        inComment = true;
                    } else if (c == '*' && inComment) {
                        inComment = false;
                    }
                }
                if ((lineFeeds & mask) && !startLine(at)) return PassEnd::Stopped;
            }
        }
        p = stop;
        if (p <= kLastPositionBeforeMove) break;  // the file ended before the move point

        position_ = windowShift_ + p;
        if (!pump()) return PassEnd::Stopped;
        pumpedAt = windowShift_ + p;
        moveWindow(file);
        p -= kScanWindowMove;
    }
    lines_ = line;
    if (!scoring) {
        // A line begins after a line feed only when a byte follows it.
        const bool lastIsLineFeed = fileEnd_ > 0 && window[fileEnd_ - 1 - windowShift_] == '\n';
        lines_ = lineFeedsBefore + 1 - lastIsLineFeed;
    }
    if (unseenCount_ > 0) {
        results_->clear();
        matches_ = matchesBefore;
        return PassEnd::TermMissing;
    }
    if (!scoring) return PassEnd::Scored;

    // The last line ends with the file; then every line still waiting is
    // scored.
    lineStarts_[(line + 1) % kLineRing] = fileEnd_ << 1;
    if (!scoreDue(file, INT32_MAX, fileEnd_)) return PassEnd::Stopped;
    // No line to score (no terms, or terms only in the path): the file is
    // listed as a whole. Not a match.
    if (!scoredAny_) results_->add(-1, 0, "", 0, 0);
    return PassEnd::Scored;
}

// Notes that `term` occurs on `line`, at file offset `offset`: once in the
// term's list, and the line once among the candidates, with the column of
// its first occurrence of a non-empty term. Occurrences come in file order,
// so that is the leftmost. False when the list could not grow.
bool FileScanner::noteOccurrence(int32_t term, int32_t line, int64_t offset) {
    IntVector& lines = termLines_[term];
    if (!lines.empty() && lines.last() == line) return true;  // again on the same line
    const bool waiting = endCandidate_ != firstCandidate_;
    if (lines.size() >= kTrimLinesAt) {
        // The lines out of reach of every line still to score go; a leading
        // path entry stays.
        const int32_t oldest = waiting ? candidates_[firstCandidate_ % kLineRing] : line;
        const int32_t first = inPath_[term] ? 1 : 0;
        const int32_t outOfReach = lines.floorIndex(oldest - kProximityReach) + 1;
        if (outOfReach > first) lines.erase(first, outOfReach - first);
    }
    if (!lines.push(line)) return false;
    if (!waiting) dueAt_ = line + kProximityReach;
    if (!waiting || candidates_[(endCandidate_ - 1) % kLineRing] != line) {
        candidates_[endCandidate_ % kLineRing] = line;
        termColumns_[endCandidate_++ % kLineRing] = 0;
    }
    int32_t& column = termColumns_[(endCandidate_ - 1) % kLineRing];
    if (column == 0 && terms_->term(term).length > 0)
        column = static_cast<int32_t>(offset - (lineStarts_[line % kLineRing] >> 1)) + 1;
    return true;
}

// Scores, oldest first, the waiting lines that line `line`, starting at
// file offset `position`, has left out of reach: no term's line from `line`
// on can change their score. False when the run was stopped.
bool FileScanner::scoreDue(ScanFileReader& file, int32_t line, int64_t position) {
    position_ = position;
    while (firstCandidate_ != endCandidate_) {
        const int32_t candidate = candidates_[firstCandidate_ % kLineRing];
        if (line - candidate < kProximityReach) {
            dueAt_ = candidate + kProximityReach;
            return true;
        }
        const int32_t column = termColumns_[firstCandidate_++ % kLineRing];
        if (!scoreLine(file, candidate, column)) return false;
    }
    dueAt_ = INT32_MAX;
    return true;
}

// Most lines of a common term cannot rank once the results are full, not
// even with every bonus: those are only counted, and their text is never
// copied. A line is scored on its first kMaxLineText bytes; a longer one
// keeps its excerpt around its first term, which begins at `termColumn`. A
// pump after every kMatchesPerPump scored lines of the run.
bool FileScanner::scoreLine(ScanFileReader& file, int32_t line, int32_t termColumn) {
    const int64_t start = lineStarts_[line % kLineRing];
    const bool inComment = (start & 1) != 0;
    const ScoringInput input{*terms_, termLines_.data(), onSyntaxList_, request_.options};
    if (results_->admits(scorer_.scoreCeiling(input, line, inComment), line)) {
        const int64_t begin = start >> 1;
        const int64_t end = lineStarts_[(line + 1) % kLineRing] >> 1;
        int32_t length = 0;
        const char* text = lineText(file, begin, end, &length);
        const int32_t score = scorer_.scoreLine(input, line, inComment, text);
        if (end - begin <= kMaxLineText) {
            results_->add(score, line, text, length, termColumn);
        } else if (results_->admits(score, line)) {  // the excerpt may read the line again
            std::string storage;
            const LineExcerpt kept = lineExcerpt(longLine(file, begin, end, storage), *terms_);
            results_->add(score, line, kept.text.c_str(), static_cast<int32_t>(kept.text.size()),
                          termColumn);
        }
    }
    scoredAny_ = true;
    ++matches_;
    return matches_ % kMatchesPerPump != 0 || pump();
}

// The line's first kMaxLineText bytes, the ones scored, usually ending
// with its line break, and their length. A line still in the window is copied from it (the bytes
// that were scanned); one that left it, a line of many kilobytes, is read
// again from the file.
const char* FileScanner::lineText(ScanFileReader& file, int64_t begin, int64_t end,
                                  int32_t* length) {
    *length = static_cast<int32_t>(std::min<int64_t>(end - begin, kMaxLineText));
    if (begin >= windowShift_) {
        std::memcpy(lineText_.data(), window_.get() + (begin - windowShift_), *length);
    } else {
        *length = file.readAt(begin, lineText_.data(), *length);  // what is left of it
    }
    lineText_[*length] = '\0';
    return lineText_.data();
}

// A line longer than kMaxLineText, for its excerpt: in the window when the
// whole line is, else read again into `storage`, up to kMaxExcerptLine
// bytes.
std::string_view FileScanner::longLine(ScanFileReader& file, int64_t begin, int64_t end,
                                       std::string& storage) {
    if (begin >= windowShift_ && end <= windowShift_ + windowFill_)
        return std::string_view(window_.get() + (begin - windowShift_), end - begin);
    storage.resize(static_cast<size_t>(std::min<int64_t>(end - begin, kMaxExcerptLine)));
    storage.resize(file.readAt(begin, storage.data(), static_cast<int32_t>(storage.size())));
    return storage;
}

// The last 50,000 bytes move to the front and the next 50,000 are read
// behind them. The next position is then 25,002, so a term (at most 100
// bytes) and the comment lookahead always lie inside the window.
void FileScanner::moveWindow(ScanFileReader& file) {
    std::memmove(window_.get(), window_.get() + kScanWindowMove, kScanWindowSize - kScanWindowMove);
    windowShift_ += kScanWindowMove;
    const int32_t kept = windowFill_ - kScanWindowMove;
    const int32_t wanted = static_cast<int32_t>(
        std::min<int64_t>(kScanWindowSize - kept, fileEnd_ - (windowShift_ + kept)));
    int32_t got = 0;
    if (wanted > 0) got = file.readAt(windowShift_ + kept, window_.get() + kept, wanted);
    windowFill_ = kept + got;
    window_[windowFill_] = '\0';
    if (got < wanted) fileEnd_ = windowShift_ + windowFill_;  // shrunk: it ends where reading ended
}

}  // namespace tarvo
