// The file shown in the preview: up to kMaxPreviewBytes of it in one
// buffer, the offset at which every line held begins, and whether every
// line begins inside a block comment. Built in one pass at load time, so
// painting a line later costs only that line.
//
// What is held: the file's start, or, for a line further into a longer
// file, the part of the file around that line, from a line start about
// kPartBytesBefore bytes before it. Lines keep the file's own numbers:
// a part's first line is the line after the first line feed in it, and
// its number is counted in the line feeds before it. Example, a 25 MB file
// of 100-byte lines, line 240,000 asked: it begins at byte 23,999,900; the
// first line to begin after byte 18,999,901 is line 190,001, at byte
// 19,000,000, and the part runs from there to the file's end.
//
// Layout, for a loaded document of N lines, the first of them the file's
// line F (both tables indexed by k = line number - F + 1, entry 0 a
// placeholder):
//   line starts     0, 0, start of line 2, ..., start of line N, end of text
//   comment states  0, 0, state of line 2, ..., state of line N
// Line k is bytes [start k, start k+1): its LF and any CR before it included.
// "a\nb\n" gives starts [0, 0, 2, 4, 4]: "a\n", "b\n" and an empty line 3.
// The comment scan knows nothing of strings or "//": a "/*" anywhere opens a
// comment for the following lines, and "/*/" opens and at once closes one.
// It starts outside a comment at a part's start, so a comment opened before
// the part is coloured as code until its "*/".
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/int_vector.h"
#include "view/marked_text.h"

namespace tarvo {

class ScanFileReader;

// At most this many bytes of a file are shown: the buffer, with its
// terminating zero, is then 10,000,000 bytes.
inline constexpr int32_t kMaxPreviewBytes = 9999999;
// A part of a longer file begins about this far before the line it is read
// for, so the line stands in its middle with as much to read after it.
inline constexpr int32_t kPartBytesBefore = kMaxPreviewBytes / 2;

struct LineRange {
    int32_t start = 0;  // offset of the line's first byte
    int32_t end = 0;    // offset after its last byte (after its LF)
    bool operator==(const LineRange&) const = default;
};

class PreviewDocument {
public:
    // Replaces the document with the named file: its start, or the part
    // around `line` when the line lies beyond the file's first
    // kMaxPreviewBytes. The path is kept even when the file cannot be read;
    // colouring is on when the path ends with an entry of the highlight
    // list. Returns whether the file was opened; the empty path counts as
    // opened, with no lines. A file opened that turns out to end before
    // `line` (it changed since it was searched) holds no lines, and
    // missingLine() says which.
    bool loadDocument(std::string_view path, std::string_view highlightList, int32_t line = 1);

    // Lines held; 0 when none is loaded.
    int32_t lineCount() const { return starts_.empty() ? 0 : starts_.size() - 2; }
    // The file's numbers of the first and the last line held: 1 and
    // lineCount() for a file's start; lastLine() is firstLine() - 1 when no
    // line is held.
    int32_t firstLine() const { return lineOffset_ + 1; }
    int32_t lastLine() const { return lineOffset_ + lineCount(); }
    // For firstLine() <= line <= lastLine().
    LineRange lineRange(int32_t line) const {
        return {starts_.get(line - lineOffset_), starts_.get(line - lineOffset_ + 1)};
    }
    // The text: lineRange offsets index it; a zero byte follows the last line.
    const char* text() const { return bytes_.get(); }
    // 1 when the line begins inside a block comment; for firstLine() <= line <= lastLine().
    int32_t commentState(int32_t line) const { return commentStates_.get(line - lineOffset_); }
    // Whether showing `line` needs the file read again: the document holds
    // less than the whole file, and not that line whole (the last line held
    // is cut where the text held stops before the file's end).
    bool readAgainFor(int32_t line) const;
    // The line asked for when the file ended before it; 0 otherwise.
    int32_t missingLine() const { return missingLine_; }
    // At least as many columns as the widest line takes drawn (its bytes,
    // and a tab counted as the tab width): how far the pane may scroll
    // sideways.
    int32_t widestLine() const { return widestLine_; }

    // The columns between tab stops the lines are drawn with; the widest
    // line is measured again for a new width.
    int tabWidth() const { return tabWidth_; }
    void setTabWidth(int columns);

    // ORs kCommentText and kKeywordText into the attribute bytes of one row of the
    // line: `text` is zero-terminated and attrs holds 0 or kMarkBit for each
    // of its bytes. Four passes in order: a comment continued from earlier
    // lines, block comments, the first line comment, keywords.
    void colourLine(int32_t line, const char* text, uint8_t* attrs) const;

    const std::string& currentPath() const { return path_; }
    bool coloured() const { return coloured_; }

private:
    void clear();
    // The columns a line of `bytes` bytes holding `tabs` tabs takes at most.
    int32_t lineColumns(int32_t bytes, int32_t tabs) const {
        return bytes + (tabWidth_ - 1) * tabs;
    }
    // Builds both tables over the text held in one pass; false when they
    // cannot grow.
    bool indexLines();
    // With the file's first `length_ - 1` bytes of text held and indexed in
    // a buffer of `capacity` bytes: finds where `line` begins by counting
    // line feeds on from there, then holds the part around it instead.
    // False when the buffer's tables cannot grow.
    bool readPart(ScanFileReader& file, int32_t capacity, int32_t line);

    std::string path_;                 // empty at start and after the results are cleared
    bool coloured_ = false;            // the path matched the highlight list at load
    std::unique_ptr<char[]> bytes_;    // the text and a terminating zero; null when empty
    int32_t length_ = 0;               // bytes_ size: bytes read + 1; 0 when none loaded
    IntVector starts_;                 // line starts, as above; empty when none loaded
    IntVector commentStates_;          // comment states, as above; empty when none loaded
    int32_t widestLine_ = 0;           // columns; 0 when none loaded
    int32_t lineOffset_ = 0;           // the file's number of the first line held, less 1
    bool endsCut_ = false;             // the text held stops before the file's end
    int tabWidth_ = kDefaultTabWidth;  // columns between tab stops
    int32_t missingLine_ = 0;          // the line the file ended before; 0 when none
};

}  // namespace tarvo
