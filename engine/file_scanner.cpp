#include "engine/file_scanner.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>
#include <new>

namespace tarvo {

namespace {

// The last window position scanned before the window moves: the first one
// past kScanWindowMoveAt.
constexpr int32_t kLastPositionBeforeMove = kScanWindowMoveAt + 1;
// The most bytes handled between two pumps: those up to the first move.
constexpr int32_t kStretch = kLastPositionBeforeMove + 1;

// What one refill of the window reads for line texts after the scan: many
// candidate lines per read where they lie close, little waste where a file
// has only a few.
constexpr int32_t kLineRefill = 16384;

// Line offsets are 32-bit, so larger files are opened (and remembered) but
// not read.
constexpr int64_t kMaxScannedFileSize = INT32_MAX;

// The bits of a mask, lowest (earliest byte) first.
int32_t lowestBit(uint64_t mask) {
    return std::countr_zero(mask);
}

}  // namespace

FileScanner::FileScanner(SearchHost& host, const SearchRequest& request, ResultSink& results,
                         SearchStats& stats)
    : host_(host),
      request_(request),
      results_(results),
      stats_(stats),
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

ScanOutcome FileScanner::scanFile(ScanFileReader& file, const char* path, bool onSyntaxList) {
    onSyntaxList_ = onSyntaxList;
    const int64_t size = file.size();
    if (size < 0 || size > kMaxScannedFileSize) return {};
    fileEnd_ = size;
    // Binary, stopped, or too many lines for the line tables: not counted.
    // A file whose tables cannot grow is left like one too large to read.
    int32_t lines = 0;
    FirstLook look = findPathTerms(path) ? firstPass(file, &lines) : FirstLook::NotCounted;
    if (look == FirstLook::EveryTermOccurs) {
        look = indexFile(file, size);
        if (look == FirstLook::EveryTermOccurs &&
            (!lineStarts_.push(static_cast<int32_t>(fileEnd_)) ||
             !reserveScoredMarks(lineStarts_.size() - 2)))
            look = FirstLook::NotCounted;
        lines = lineStarts_.size() - 2;
    }
    if (look == FirstLook::Binary) return {ScanEnd::Binary};
    if (look == FirstLook::NotCounted) return {};

    // The counters first, then the refresh request, so a repaint from inside
    // the next pump shows a consistent state.
    ++stats_.files;
    stats_.lines += lines;
    stats_.bytes += fileEnd_;
    host_.requestRefresh();

    if (look == FirstLook::EveryTermOccurs) scoreFile(file, path);
    return {ScanEnd::Read, lines, fileEnd_};
}

// Starts the TermLineLists with the path's entries (line 0). False when a
// list could not grow.
bool FileScanner::findPathTerms(const char* path) {
    for (IntVector& lines : termLines_)
        lines.clear();
    if (!request_.options.searchFileNames) return true;
    const char* pathEnd = path + std::strlen(path);
    for (const char* at = path; at < pathEnd; ++at) {
        const uint8_t c = static_cast<uint8_t>(*at);
        if (!terms_->isFirstChar(c)) continue;
        for (int32_t t = 0; t < terms_->count(); ++t) {
            if (terms_->termMatchAt(at, pathEnd, t) && !termLines_[t].pushIfNotLast(0))
                return false;
        }
    }
    return true;
}

// The window from the file's start; fileEnd_ is lowered when the file has
// shrunk since `size` was taken.
void FileScanner::readFirstWindow(ScanFileReader& file, int64_t size) {
    windowShift_ = 0;
    fileEnd_ = size;
    const int32_t wanted = static_cast<int32_t>(std::min<int64_t>(fileEnd_, kScanWindowSize));
    windowFill_ = file.readAt(0, window_.get(), wanted);
    if (windowFill_ < wanted) fileEnd_ = windowFill_;
    window_[windowFill_] = '\0';  // the comment lookahead past the last byte sees no '*' or '/'
}

// Most files lack a term, and for them this pass is all the work: it counts
// line feeds and looks for a NUL (when Skip Binary Files is on) and for the
// terms the path lacks, building no table. It stops as soon as every probed
// term has occurred; the exact pass then takes the file from its start, over
// the bytes already in the window when the window has not moved.
FileScanner::FirstLook FileScanner::firstPass(ScanFileReader& file, int32_t* lines) {
    readFirstWindow(file, fileEnd_);
    std::array<bool, kMaxTerms> wanted;
    for (int32_t t = 0; t < terms_->count(); ++t)
        wanted[t] = termLines_[t].empty();
    probes_.prepare(wanted);
    if (probes_.count() == 0) return FirstLook::EveryTermOccurs;

    // A file the first read took whole is never moved through, so the exact
    // pass finds it still in the window.
    const bool whole = fileEnd_ <= windowFill_;
    const char* const window = window_.get();
    int64_t lineFeeds = 0;
    int64_t pumpedAt =
        0;          // file offset of the next byte at the last pump (one came before the file)
    int32_t p = 0;  // window position of the next byte
    for (;;) {
        const int32_t stop = static_cast<int32_t>(
            std::min<int64_t>(fileEnd_ - windowShift_, whole && p > 0 ? fileEnd_ : kStretch));
        const char* const end = window + windowFill_;
        while (p < stop) {
            ProbeHits hits;
            const int32_t passed = probes_.scan(
                window + p, stop - p, request_.options.skipBinaryFiles, &lineFeeds, &hits);
            if (hits.nuls != 0) return FirstLook::Binary;
            for (uint64_t starts = hits.starts; starts != 0; starts &= starts - 1) {
                const int32_t at = p + hits.block + lowestBit(starts);
                for (int32_t k = probes_.count() - 1; k >= 0; --k) {
                    const int32_t t = probes_.term(k);
                    if (terms_->termMatchAt(window + at, end, t)) probes_.drop(t);
                }
                if (probes_.count() == 0) {
                    // The exact pass takes the file from its start: a pump
                    // between the passes where both together would handle
                    // more than one stretch of bytes.
                    const int64_t handled = windowShift_ + at + 1 - pumpedAt;
                    if (handled + std::min<int64_t>(fileEnd_, kStretch) <= kStretch)
                        return FirstLook::EveryTermOccurs;
                    host_.pumpMessages();
                    return running() ? FirstLook::EveryTermOccurs : FirstLook::NotCounted;
                }
            }
            p += passed;
        }
        if (windowShift_ + p >= fileEnd_) break;
        host_.pumpMessages();
        if (!running()) return FirstLook::NotCounted;
        pumpedAt = windowShift_ + p;
        if (!whole) {
            moveWindow(file);
            p -= kScanWindowMove;
        }
    }
    // A line begins after a line feed only when a byte follows it.
    if (fileEnd_ > 0 && window[fileEnd_ - 1 - windowShift_] == '\n') --lineFeeds;
    *lines = static_cast<int32_t>(lineFeeds + 1);
    return FirstLook::LinesCounted;
}

// The exact pass: fills the line tables and the TermLineLists from the
// file's start, reading it again unless the window still holds its start.
// NotCounted when the run was stopped or a table could not grow.
//
// The bytes are taken in file order, as one byte at a time would take them,
// but only the bytes whose bit is set in a block's masks are visited: line
// feeds, comment marks, NULs (when Skip Binary Files is on) and places
// where a term may begin. A byte with no bit cannot change any table.
FileScanner::FirstLook FileScanner::indexFile(ScanFileReader& file, int64_t size) {
    if (windowShift_ != 0) readFirstWindow(file, size);

    lineStarts_.clear();
    lineCommentFlags_.clear();
    if (!lineStarts_.push(0) || !lineStarts_.push(0) || !lineCommentFlags_.push(0) ||
        !lineCommentFlags_.push(0))
        return FirstLook::NotCounted;
    int32_t line = 1;
    bool inComment = false;

    const char* const window = window_.get();
    int32_t p = 0;  // window position of the next byte; its file offset is windowShift_ + p
    for (;;) {
        const int32_t stop = static_cast<int32_t>(
            std::min<int64_t>(fileEnd_ - windowShift_, kLastPositionBeforeMove + 1));
        // Occurrences end with the file's bytes, never in stale window bytes.
        const char* const end = window + windowFill_;
        // A line begins after a line feed only when a byte follows it: a
        // file ending with a line feed has no extra empty line.
        const int64_t lastByte = fileEnd_ - 1 - windowShift_;
        // False when a line table could not grow.
        auto startLine = [&](int32_t lineFeedAt) {
            if (lineFeedAt >= lastByte) return true;
            ++line;
            return lineStarts_.push(static_cast<int32_t>(windowShift_ + lineFeedAt + 1)) &&
                   lineCommentFlags_.push(inComment ? 1 : 0);
        };
        std::array<BlockMasks, kMaskBatch> batch;
        int32_t batchLeft = 0;
        const BlockMasks* next = nullptr;
        for (; p < stop; p += kScanBlock) {
            if (batchLeft == 0) {
                batchLeft = std::min(kMaskBatch, (stop - p + kScanBlock - 1) / kScanBlock);
                blocks_.masksFor(window + p, batchLeft, batch.data());
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
            const uint64_t commentMarks = masks.commentMarks & inSpan;
            uint64_t events = lineFeeds;
            if ((nuls | termStarts | commentMarks) == 0) {
                for (; events != 0; events &= events - 1) {
                    if (!startLine(p + lowestBit(events))) return FirstLook::NotCounted;
                }
                continue;
            }
            events |= nuls | termStarts | commentMarks;
            for (; events != 0; events &= events - 1) {
                const int32_t bit = lowestBit(events);
                const uint64_t mask = uint64_t{1} << bit;
                const int32_t at = p + bit;
                const uint8_t c = static_cast<uint8_t>(window[at]);
                if (nuls & mask) return FirstLook::Binary;
                // The FirstCharTable is the exact test; the block only
                // narrowed down where to ask it.
                if ((termStarts & mask) && terms_->isFirstChar(c)) {
                    for (int32_t k = termsStartingAt_[c]; k < termsStartingAt_[c + 1]; ++k) {
                        const int32_t t = termsStartingWith_[k];
                        if (terms_->termMatchAt(window + at, end, t) &&
                            !termLines_[t].pushIfNotLast(line))
                            return FirstLook::NotCounted;
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
                if ((lineFeeds & mask) && !startLine(at)) return FirstLook::NotCounted;
            }
        }
        p = stop;
        if (p <= kLastPositionBeforeMove) {
            return FirstLook::EveryTermOccurs;  // the file ended before the move point
        }

        host_.pumpMessages();
        if (!running()) return FirstLook::NotCounted;
        moveWindow(file);
        p -= kScanWindowMove;
    }
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

// Makes the ScoredLineSet hold lines 0 .. lineCount, keeping the marks it
// has. False when its storage cannot be had: the caller leaves the file
// unread rather than the process aborting on a file of very many lines.
bool FileScanner::reserveScoredMarks(int32_t lineCount) {
    if (lineCount < scoredMarkCount_) return true;
    const int64_t wanted =
        std::max<int64_t>(int64_t{lineCount} + 1, int64_t{scoredMarkCount_} * 3 / 2);
    const int32_t count = static_cast<int32_t>(std::min<int64_t>(wanted, kMaxIntVectorCapacity));
    std::unique_ptr<uint32_t[]> marks(new (std::nothrow) uint32_t[count]());
    if (!marks) return false;
    std::copy(scoredMark_.get(), scoredMark_.get() + scoredMarkCount_, marks.get());
    scoredMark_ = std::move(marks);
    scoredMarkCount_ = count;
    return true;
}

// Scores each candidate line once: all lines of term 0, then the lines of
// term 1 not scored yet, and so on. A file qualifies only when every term
// occurs in it (or, with Search File Names, in its path).
void FileScanner::scoreFile(ScanFileReader& file, const char* path) {
    for (int32_t t = 0; t < terms_->count(); ++t) {
        if (termLines_[t].empty()) return;
    }

    if (++scanSerial_ == 0) {  // the serial wrapped: old marks could match again
        std::fill(scoredMark_.get(), scoredMark_.get() + scoredMarkCount_, 0);
        scanSerial_ = 1;
    }

    const ScoringInput input{*terms_, termLines_.data(), lineCommentFlags_, onSyntaxList_,
                             request_.options};
    bool scoredAny = false;
    for (int32_t t = 0; t < terms_->count(); ++t) {
        const IntVector& lines = termLines_[t];
        for (int32_t j = 0; j < lines.size(); ++j) {
            const int32_t line = lines.get(j);
            if (line == 0 || scoredMark_[line] == scanSerial_) continue;  // path entry, or scored
            scoredMark_[line] = scanSerial_;
            // Most lines of a common term cannot rank once the store is
            // full, not even with every bonus: those are only counted, and
            // their text is never read.
            if (results_.couldEnter(scorer_.scoreCeiling(input, line), path, line)) {
                const char* text = fetchLineText(file, line);
                results_.addResult(scorer_.scoreLine(input, line, text), path, line, text);
            }
            scoredAny = true;
            ++stats_.matches;
            if (stats_.matches % kMatchesPerPump == 0) {
                host_.pumpMessages();
                if (!running()) return;
            }
        }
    }
    // No line to score (no terms, or terms only in the path): the file is
    // listed as a whole. Not a match.
    if (!scoredAny) results_.addResult(-1, path, 0, "");
}

// The line's first kMaxLineText bytes, usually ending with its line break.
// A line still in the window is copied from it (the bytes that were
// scanned). Otherwise one positioned read refills the window from the
// line's start: reading is over, so the window is free, and candidate
// lines come in ascending order per term, so the lines after this one are
// then served from the same read.
const char* FileScanner::fetchLineText(ScanFileReader& file, int32_t line) {
    const int64_t begin = lineStarts_.get(line);
    const int64_t end = std::min<int64_t>(lineStarts_.get(line + 1), begin + kMaxLineText);
    int32_t length = static_cast<int32_t>(end - begin);
    if (begin < windowShift_ || end > windowShift_ + windowFill_) {
        windowShift_ = begin;
        windowFill_ = file.readAt(begin, window_.get(), kLineRefill);
        length = std::min(length, windowFill_);  // the file shrank: what is left of the line
    }
    std::memcpy(lineText_.data(), window_.get() + (begin - windowShift_), length);
    lineText_[length] = '\0';
    return lineText_.data();
}

}  // namespace tarvo
