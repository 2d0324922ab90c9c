// A file's text as the scanner reads it: a window of bytes that slides
// along the file, stretch by stretch (the scanner's sizes are in
// scan_window.h; the tests give small ones).
//
// A pass takes the window's positions from 0 in stretches: the first ends
// just past moveAt; then the window moves (its last bytes to the front, the
// next ones read behind them) and the next stretch ends just past moveAt
// again, until the file ends. A file the first read took whole is never
// moved through, so the next pass finds it still in the window.
//
//   for (int32_t p = 0;;) {
//       const int32_t stop = window.stretchEnd(p);
//       ... scan bytes()[p .. stop) ...
//       if (window.endsAt(stop)) break;
//       pump, then p = window.next(file, stop);
//   }
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/line_scoring.h"
#include "engine/scan_file_reader.h"

namespace tarvo {

class ReadWindow {
public:
    // `size` bytes, moving by `move` bytes once a stretch passes `moveAt`
    // (move <= moveAt + 2 <= size), and `slack` bytes more behind the fill
    // for readers of whole blocks.
    ReadWindow(int32_t size, int32_t moveAt, int32_t move, int32_t slack);

    // Reads the window from the file's start, as the file is now (see the
    // .cpp); and again only when the window has moved since.
    void readStart(ScanFileReader& file);
    void rewind(ScanFileReader& file) {
        if (shift_ != 0) readStart(file);
    }

    // The window's bytes: the file's from shift(), fill() of them, then a
    // NUL (the comment lookahead past the last byte sees no '*' or '/'),
    // then zeros.
    const char* bytes() const { return bytes_.get(); }
    int64_t shift() const { return shift_; }
    int32_t fill() const { return fill_; }
    // The text's size, lowered where a shrunk file's reading ended.
    int64_t fileEnd() const { return fileEnd_; }
    // The most bytes a stretch holds: those up to the first move.
    int32_t stretch() const { return stretch_; }

    // Where the stretch from position `p` ends.
    int32_t stretchEnd(int32_t p) const {
        return static_cast<int32_t>(
            std::min<int64_t>(fileEnd_ - shift_, whole() && p > 0 ? fileEnd_ : stretch_));
    }
    // Whether the file ends at position `p`.
    bool endsAt(int32_t p) const { return shift_ + p >= fileEnd_; }
    // The position of `p`'s byte once the window has moved on for the next
    // stretch.
    int32_t next(ScanFileReader& file, int32_t p) {
        if (whole()) return p;
        move(file);
        return p - move_;
    }

    // A line begins after a line feed only when a byte follows it: a file
    // ending with a line feed has no extra empty line.
    bool lineBeginsAfter(int32_t lineFeedAt) const { return shift_ + lineFeedAt + 1 < fileEnd_; }
    // The lines of the file given all its line feeds, once the window holds
    // its last byte.
    int64_t linesOf(int64_t lineFeeds) const {
        return lineFeeds + 1 - (fileEnd_ > 0 && bytes_[fileEnd_ - 1 - shift_] == '\n');
    }

    // The first kMaxLineText bytes of the line at file offsets [begin, end),
    // NUL-terminated, and their length: from the window while it holds the
    // line's start, else read again from the file (a line of many
    // kilobytes). Valid until the next call.
    const char* lineText(ScanFileReader& file, int64_t begin, int64_t end, int32_t* length);
    // A line longer than kMaxLineText, for its excerpt: in the window when
    // the whole line is, else read again into `storage`, up to
    // kMaxExcerptLine bytes.
    std::string_view longLine(ScanFileReader& file, int64_t begin, int64_t end,
                              std::string& storage) const;

private:
    bool whole() const { return fileEnd_ <= fill_; }
    void move(ScanFileReader& file);

    const int32_t size_;
    const int32_t move_;
    const int32_t stretch_;  // the last position scanned before a move is the first past moveAt
    std::unique_ptr<char[]> bytes_;
    int64_t shift_ = 0;    // file offset of bytes_[0]
    int32_t fill_ = 0;     // bytes of the file in the window, from bytes_[0]
    int64_t fileEnd_ = 0;  // the text's size, lowered where a shrunk file's reading ended
    std::array<char, kMaxLineText + 1> lineText_;  // lineText's result when read again
};

}  // namespace tarvo
