// The file scanner: one pass over each file through a sliding window,
// recording line starts, block-comment states and, per term, the lines the
// term occurs on; then, when every term occurs, the scoring of each
// candidate line.
#include <algorithm>
#include <climits>
#include <cstring>

#include "engine/path_list.h"
#include "engine/search_engine.h"

namespace tarvo {

namespace {

// Bits of SearchEngine::byteClass_.
constexpr uint8_t kLineFeedByte = 1;
constexpr uint8_t kNulByte = 2;
constexpr uint8_t kTermStartByte = 4;
constexpr uint8_t kSlashByte = 8;
constexpr uint8_t kStarByte = 16;

// The last window position scanned before the window moves: the first one
// past kScanWindowMoveAt.
constexpr int32_t kLastPositionBeforeMove = kScanWindowMoveAt + 1;

// Line offsets are 32-bit, so larger files are opened (and remembered) but
// not read.
constexpr int64_t kMaxScannedFileSize = INT32_MAX;

// 64-bit offsets: the plain fseek/ftell stop at 2 GiB on Windows.
int seekTo(std::FILE* file, int64_t offset, int origin) {
#ifdef _WIN32
    return _fseeki64(file, offset, origin);
#else
    return fseeko(file, offset, origin);
#endif
}

int64_t tellPosition(std::FILE* file) {
#ifdef _WIN32
    return _ftelli64(file);
#else
    return ftello(file);
#endif
}

// -1 when the size cannot be taken.
int64_t fileSize(std::FILE* file) {
    if (seekTo(file, 0, SEEK_END) != 0) return -1;
    int64_t size = tellPosition(file);
    if (seekTo(file, 0, SEEK_SET) != 0) return -1;
    return size;
}

}  // namespace

void SearchEngine::buildByteClasses() {
    int32_t listed = 0;
    for (int c = 0; c < 256; ++c) {
        const uint8_t byte = static_cast<uint8_t>(c);
        uint8_t bits = 0;
        if (byte == '\n') bits |= kLineFeedByte;
        if (byte == 0) bits |= kNulByte;
        if (terms_.isFirstChar(byte)) bits |= kTermStartByte;
        if (byte == '/') bits |= kSlashByte;
        if (byte == '*') bits |= kStarByte;
        byteClass_[c] = bits;

        // Only these terms can match where this byte stands, so testing them
        // alone, in index order, finds exactly what testing every term would.
        termsStartingAt_[c] = listed;
        for (int32_t t = 0; t < terms_.count(); ++t) {
            const QueryTerm& term = terms_.term(t);
            uint8_t first = static_cast<uint8_t>(term.text[0]);
            if (term.length == 0 || foldAscii(first) == foldAscii(byte)) {
                termsStartingWith_[listed++] = static_cast<uint8_t>(t);
            }
        }
    }
    termsStartingAt_[256] = listed;
}

// Every way out after the file was opened passes here, so a file is read at
// most once per run.
void SearchEngine::finishFile(std::FILE* file, const char* path) {
    std::fclose(file);
    memory_.markSearched(path);
}

void SearchEngine::scanFile(const char* path) {
    host_.pumpMessages();
    if (!running()) return;
    if (matchesExtensionList(path, request_.excludeList)) return;
    if (memory_.isSearched(path)) return;
    onSyntaxList_ = matchesExtensionList(path, request_.highlightList);

    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        memory_.remove(path);  // vanished or moved: forget it
        return;
    }
    // Unbuffered: every read goes straight into the window.
    std::setvbuf(file, nullptr, _IONBF, 0);
    memory_.add(path, 0);

    const int64_t size = fileSize(file);
    if (size < 0 || size > kMaxScannedFileSize) {
        finishFile(file, path);
        return;
    }
    fileEnd_ = size;
    if (!indexFile(file, path)) {
        finishFile(file, path);  // binary, or stopped: not counted
        return;
    }

    lineStarts_.push(static_cast<int32_t>(fileEnd_));
    // The counters first, then the refresh request, so a repaint from inside
    // the next pump shows a consistent state.
    ++stats_.files;
    stats_.lines += lineStarts_.size() - 2;
    stats_.bytes += fileEnd_;
    host_.requestRefresh();

    scoreFile(file, path);
    finishFile(file, path);
}

// Reads the file once and fills the line tables and TermLineLists. False
// when the file turned out binary or the run was stopped.
bool SearchEngine::indexFile(std::FILE* file, const char* path) {
    windowShift_ = 0;
    const int32_t wanted = static_cast<int32_t>(std::min<int64_t>(fileEnd_, kScanWindowSize));
    windowFill_ = static_cast<int32_t>(std::fread(window_.get(), 1, wanted, file));
    if (windowFill_ < wanted) fileEnd_ = windowFill_;  // shrunk since its size was taken
    window_[windowFill_] = '\0';  // the comment lookahead past the last byte sees no '*' or '/'

    for (IntVector& lines : termLines_)
        lines.clear();

    if (request_.options.searchFileNames) {
        const char* pathEnd = path + std::strlen(path);
        for (const char* at = path; at < pathEnd; ++at) {
            const uint8_t c = static_cast<uint8_t>(*at);
            if (!terms_.isFirstChar(c)) continue;
            for (int32_t t = 0; t < terms_.count(); ++t) {
                if (terms_.termMatchAt(at, pathEnd, t)) termLines_[t].pushIfNotLast(0);
            }
        }
    }

    lineStarts_.clear();
    lineStarts_.push(0);
    lineStarts_.push(0);
    lineCommentFlags_.clear();
    lineCommentFlags_.push(0);
    lineCommentFlags_.push(0);
    int32_t line = 1;
    bool inComment = false;

    const char* const window = window_.get();
    int32_t p = 0;  // window position of the next byte; its file offset is windowShift_ + p
    for (;;) {
        const int32_t stop = static_cast<int32_t>(
            std::min<int64_t>(fileEnd_ - windowShift_, kLastPositionBeforeMove + 1));
        // Occurrences end with the file's bytes, never in stale window bytes.
        const char* const end = window + windowFill_;
        for (; p < stop; ++p) {
            const uint8_t c = static_cast<uint8_t>(window[p]);
            const uint8_t bits = byteClass_[c];
            if (bits == 0) continue;

            // Skip Binary Files is read live at every NUL.
            if ((bits & kNulByte) && request_.options.skipBinaryFiles) {
                memory_.markBinary(path);
                return false;
            }
            if (bits & kTermStartByte) {
                for (int32_t k = termsStartingAt_[c]; k < termsStartingAt_[c + 1]; ++k) {
                    const int32_t t = termsStartingWith_[k];
                    if (terms_.termMatchAt(window + p, end, t)) termLines_[t].pushIfNotLast(line);
                }
            }
            // Only /* and */ are tracked: `//` and string literals are not
            // recognised, so "/*/" opens and at once closes.
            if ((bits & kSlashByte) && !inComment && window[p + 1] == '*') inComment = true;
            if ((bits & kStarByte) && inComment && window[p + 1] == '/') inComment = false;
            // A line begins after a line feed only when a byte follows it: a
            // file ending with a line feed has no extra empty line.
            if ((bits & kLineFeedByte) && windowShift_ + p + 1 < fileEnd_) {
                ++line;
                lineStarts_.push(static_cast<int32_t>(windowShift_ + p + 1));
                lineCommentFlags_.push(inComment ? 1 : 0);
            }
        }
        if (p <= kLastPositionBeforeMove) return true;  // the file ended before the move point

        host_.pumpMessages();
        if (!running()) return false;
        moveWindow(file);
        p -= kScanWindowMove;
    }
}

// The last 50,000 bytes move to the front and the next 50,000 are read
// behind them. The next position is then 25,002, so a term (at most 100
// bytes) and the comment lookahead always lie inside the window.
void SearchEngine::moveWindow(std::FILE* file) {
    std::memmove(window_.get(), window_.get() + kScanWindowMove, kScanWindowSize - kScanWindowMove);
    windowShift_ += kScanWindowMove;
    const int32_t kept = windowFill_ - kScanWindowMove;
    const int32_t wanted = static_cast<int32_t>(
        std::min<int64_t>(kScanWindowSize - kept, fileEnd_ - (windowShift_ + kept)));
    int32_t got = 0;
    if (wanted > 0) got = static_cast<int32_t>(std::fread(window_.get() + kept, 1, wanted, file));
    windowFill_ = kept + got;
    window_[windowFill_] = '\0';
    if (got < wanted) fileEnd_ = windowShift_ + windowFill_;  // shrunk: it ends where reading ended
}

// Scores each candidate line once: all lines of term 0, then the lines of
// term 1 not scored yet, and so on. A file qualifies only when every term
// occurs in it (or, with Search File Names, in its path).
void SearchEngine::scoreFile(std::FILE* file, const char* path) {
    for (int32_t t = 0; t < terms_.count(); ++t) {
        if (termLines_[t].empty()) return;
    }

    const int32_t lineCount = lineStarts_.size() - 2;
    if (static_cast<int32_t>(scoredMark_.size()) <= lineCount) scoredMark_.resize(lineCount + 1, 0);
    if (++scanSerial_ == 0) {  // the serial wrapped: old marks could match again
        std::fill(scoredMark_.begin(), scoredMark_.end(), 0);
        scanSerial_ = 1;
    }

    const ScoringInput input{terms_, termLines_.data(), lineCommentFlags_, onSyntaxList_,
                             request_.options};
    bool scoredAny = false;
    for (int32_t t = 0; t < terms_.count(); ++t) {
        const IntVector& lines = termLines_[t];
        for (int32_t j = 0; j < lines.size(); ++j) {
            const int32_t line = lines.get(j);
            if (line == 0 || scoredMark_[line] == scanSerial_) continue;  // path entry, or scored
            scoredMark_[line] = scanSerial_;
            const char* text = fetchLineText(file, line);
            results_.addResult(scorer_.scoreLine(input, line, text), path, line, text);
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
// scanned); otherwise it is read again with one positioned read. Reading is
// finished by now, so the read position need not be restored.
const char* SearchEngine::fetchLineText(std::FILE* file, int32_t line) {
    const int64_t begin = lineStarts_.get(line);
    const int64_t end = std::min<int64_t>(lineStarts_.get(line + 1), begin + kMaxLineText);
    int32_t length = static_cast<int32_t>(end - begin);
    if (begin >= windowShift_ && end <= windowShift_ + windowFill_) {
        std::memcpy(lineText_.data(), window_.get() + (begin - windowShift_), length);
    } else if (seekTo(file, begin, SEEK_SET) == 0) {
        length = static_cast<int32_t>(std::fread(lineText_.data(), 1, length, file));
    } else {
        length = 0;
    }
    lineText_[length] = '\0';
    return lineText_.data();
}

}  // namespace tarvo
