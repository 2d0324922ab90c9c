// The window-free half of drawing a marked text: cutting a text with its
// attribute bytes into runs of equal attributes (each run is one width
// measurement and one text output), and shortening a text with "..." in the
// middle until it fits a width. The width is measured through a callback, so
// the window code passes its device context's measurer and tests pass a fake.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// The coordinate that stands for the far edge of any window: rows and blank
// areas are drawn out to it and the window clips them.
inline constexpr int32_t kFarEdge = 1000000;

// A cell's text, a column header's label or a list row's text, stands
// this far in from the cell's left edge (at 96 DPI); a cell holds its text
// with this indent on either side.
inline constexpr int32_t kCellIndent = 5;

// Tabs expand to the next multiple of the tab width, counted from the start
// of the text (the line's text), whatever runs of other colours or marks
// stand before them, so tab-aligned code stays aligned. The user sets the
// width, from 1 to 16 columns; 4 until then.
inline constexpr int kDefaultTabWidth = 4;
inline constexpr int kMinTabWidth = 1;
inline constexpr int kMaxTabWidth = 16;  // wider than any editor's usual stops

// A tab width as it is typed or saved: a number from kMinTabWidth to
// kMaxTabWidth, blanks around it allowed; nothing for anything else.
std::optional<int> parseTabWidth(std::string_view text);

// Cuts the run that starts at `start` of the zero-terminated `text`: the
// maximal stretch of characters whose first bytes' attribute bytes equal
// attrs[start] (the whole byte, kMarkBit included); a run never ends inside
// a character. The run's bytes go to `runText` as they are drawn: a tab
// becomes 1 to `tabWidth` spaces up to the next multiple of `tabWidth` of
// `column`, a CR or LF becomes one space. `column` counts the characters the runs
// before this one drew (0 for the first run of a text) and is advanced past
// this one. Returns the index after the run, or `start` itself when
// text[start] is the terminator (no run).
int nextRun(const char* text, const uint8_t* attrs, int start, int& column, std::string& runText,
            uint8_t& attribute, int tabWidth);

// Measures `length` bytes of a text in pixels.
using WidthFunction = std::function<int(const char* text, int length)>;

// Leaves a text that fits maxWidth untouched. Otherwise replaces it with its
// first k/2 characters, "...", and its last k characters (never a part of
// one), for the k found by halving (at most kMaxFitProbes measurements
// after the first); when nothing fits, "..." alone. The attributes follow the cut; the three under
// the dots keep the class of the bytes that stood there, without the mark. `attrs` holds one byte
// per text byte on entry and on return.
void fitTextToWidth(std::string& text, std::vector<uint8_t>& attrs, int maxWidth,
                    const WidthFunction& width);

// Fitting never measures more than once plus this many probes, whatever the
// text's length, so shortening a path costs a bounded number of GDI calls.
inline constexpr int kMaxFitProbes = 9;

}  // namespace tarvo
