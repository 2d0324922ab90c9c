// Room preview/: the previewed file, its comment states and colouring, the
// preview's rules (portable); the preview pane object (Win32). Includes
// view/ and engine/; never results/.
//
// The file shown in the preview: its first bytes in one buffer, the offset
// at which every line begins, and whether every line begins inside a block
// comment. Built in one pass at load time, so painting a line later costs
// only that line.
//
// Layout, for a loaded document of N lines (both tables indexed by line
// number, entry 0 a placeholder):
//   line starts     0, 0, start of line 2, ..., start of line N, end of text
//   comment states  0, 0, state of line 2, ..., state of line N
// Line k is bytes [start k, start k+1): its LF and any CR before it included.
// "a\nb\n" gives starts [0, 0, 2, 4, 4]: "a\n", "b\n" and an empty line 3.
// The comment scan knows nothing of strings or "//": a "/*" anywhere opens a
// comment for the following lines, and "/*/" opens and at once closes one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/int_vector.h"
#include "view/marked_text.h"

namespace tarvo {

// At most this many bytes of a file are shown: the buffer, with its
// terminating zero, is then 10,000,000 bytes.
inline constexpr int32_t kMaxPreviewBytes = 9999999;

struct LineRange {
    int32_t start = 0;  // offset of the line's first byte
    int32_t end = 0;    // offset after its last byte (after its LF)
    bool operator==(const LineRange&) const = default;
};

class PreviewDocument {
public:
    // Replaces the document with the named file. The path is kept even when
    // the file cannot be read; colouring is on when the path ends with an
    // entry of the highlight list. Returns whether the file was opened; the
    // empty path counts as opened, with no lines.
    bool loadDocument(std::string_view path, std::string_view highlightList);

    // Lines of the loaded file; 0 when none is loaded.
    int32_t lineCount() const { return starts_.empty() ? 0 : starts_.size() - 2; }
    // For 1 <= line <= lineCount().
    LineRange lineRange(int32_t line) const { return {starts_.get(line), starts_.get(line + 1)}; }
    // The text: lineRange offsets index it; a zero byte follows the last line.
    const char* text() const { return bytes_.get(); }
    // 1 when the line begins inside a block comment; for 1 <= line <= lineCount().
    int32_t commentState(int32_t line) const { return commentStates_.get(line); }
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

    std::string path_;                 // empty at start and after the results are cleared
    bool coloured_ = false;            // the path matched the highlight list at load
    std::unique_ptr<char[]> bytes_;    // the text and a terminating zero; null when empty
    int32_t length_ = 0;               // bytes_ size: bytes read + 1; 0 when none loaded
    IntVector starts_;                 // line starts, as above; empty when none loaded
    IntVector commentStates_;          // comment states, as above; empty when none loaded
    int32_t widestLine_ = 0;           // columns; 0 when none loaded
    int tabWidth_ = kDefaultTabWidth;  // columns between tab stops
};

}  // namespace tarvo
