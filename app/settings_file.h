// The settings file: everything that outlives one run of the program, in one
// text file with a fixed line layout.
//
//   1  Tarvo Search, version 1.0
//   2  left top right bottom                    window rectangle, screen pixels
//   3  findText
//   4  pathText
//   5  highlightList
//   6  excludeList
//   7  sortMode and the six search options       seven integers
//   8  (empty)
//   9+ key=value                                 settings added since, one a line
//   9+ priority path                              remembered files, best first
//
// The keyed lines came after the first version of the format: none begins
// with a number, so a reader that takes every later line as a remembered
// file skips them, and a file without them reads as before. They are
// looked for on every line after line 7 and written directly after line 8:
//
//   editor=COMMAND          the editor command, when one is set
//   columns=RANK,FILE       the list's Rank and File column widths, pixels at
//                           96 DPI, once the user sized them
//   split=PERMILLE          the list's share of the panes' height, in
//                           thousandths, once the user dragged the splitter
//   maximized=1             the window was closed maximized (line 2 keeps
//                           the rectangle it is restored to)
//   tab-width=N             columns between tab stops in the list, the
//                           preview and tarvo-find's terminal output, 1 to 16
//   find=TEXT               the Find texts that started searches, one a
//   path=TEXT               line, most recent first; likewise the Path texts
//   skip-ignored=1          Skip Ignored Files, when on
//   include=LIST            Only File Types, when not empty
//   skip-folders=LIST       Skip Folders, when not empty
//
// A line whose key this version does not know is written back as it was
// read, after the known ones, so a file a later version wrote loses nothing.
//
// Lines end as Settings::lineEnds says: loadSettings takes them from the
// file's first line, so tarvo-find writes a file back with the line ends it
// had; the window writes its platform's own ("\r\n" on Windows, so that
// Notepad shows one setting a line; "\n" elsewhere). Both are read anywhere:
// after a first line ending in "\r\n", one trailing "\r" is dropped from
// every line.
//
// A save never writes into the file: it writes a temporary file beside it,
// flushes it to the disk and renames it over the old one, so a save cut off
// at any point leaves the old file or the new one, whole. Links are followed
// (the file they name is replaced, the link stays), the old file's mode is
// kept, and anything but a regular file (a folder, a FIFO, a device) is
// neither read nor written.
#pragma once

#include <array>
#include <climits>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/search_history.h"
#include "engine/search_request.h"
#include "results/list_columns.h"
#include "results/sort_mode.h"
#include "view/marked_text.h"

namespace tarvo {

class FileMemory;

inline constexpr const char* kSettingsHeader = "Tarvo Search, version 1.0";
// The window system's "place it yourself" value for x and width.
inline constexpr int32_t kDefaultPlacement = INT32_MIN;
// Each saved rectangle value grows by this for a New Window, so the new
// window opens below and right of the current one.
inline constexpr int32_t kNewWindowOffset = 25;
// A saved rectangle is taken only if this many pixels of it are on screen.
inline constexpr int32_t kMinOnScreen = 100;
// A share of a height is kept in thousandths.
inline constexpr int32_t kShareScale = 1000;

enum class LineEnds { Lf, CrLf };
#ifdef _WIN32
inline constexpr LineEnds kPlatformLineEnds = LineEnds::CrLf;
#else
inline constexpr LineEnds kPlatformLineEnds = LineEnds::Lf;
#endif

// Why a file that is there is not used: loadSettings' refusal and a reason
// saveSettings may give.
inline constexpr const char* kNotRegularFile = "not a regular file";
inline constexpr const char* kNotSettingsFile = "not a Tarvo Search settings file";

struct WindowRect {
    int32_t left, top, right, bottom;  // screen rectangle
};

struct Settings {
    // Held as a rectangle; the window turns it into x, y, width, height when
    // it is created. The default keeps the sentinel in left and right.
    WindowRect windowRect{kDefaultPlacement, 0, kDefaultPlacement, 0};
    SearchRequest request;                 // the texts, the lists and the options
    SortMode sortMode = SortMode::ByRank;  // any number, kept as read
    // The six options' numbers as the file held them, any number but 0 being
    // on: each is written back as read while its option still says the same.
    std::array<int32_t, 6> optionNumbers{1, 1, 1, 1, 1, 1};
    // The command line that opens a result in the user's editor, with
    // %path% and %line% in it; empty when none is set. At most
    // kMaxTextLength characters.
    std::string editorCommand;
    // What the user sized in the window: the Rank and File column widths at
    // 96 DPI, and the list's share of the height the panes share, in
    // thousandths (0 to 1000). None until set: the layout's own.
    std::optional<ColumnWidths> columnWidths;
    std::optional<int32_t> listShare;
    bool maximized = false;  // the window was maximized when last placed
    // Columns between tab stops, once the user set them: kDefaultTabWidth
    // until then.
    std::optional<int32_t> tabWidth;
    // The Find and Path texts that started searches, most recent first.
    SearchHistories history;
    // Keyed lines of keys a later version knows, as read, without line ends.
    std::vector<std::string> otherKeyedLines;
    std::string lastFindText;  // copies of the texts as loaded
    std::string lastPathText;
    LineEnds lineEnds = kPlatformLineEnds;  // as read; the platform's for a new file
};

// The columns between tab stops the settings give: the user's, or the
// default.
inline int tabWidthOf(const Settings& settings) {
    return settings.tabWidth.value_or(kDefaultTabWidth);
}

// The lines of the file memory section that a tarvo-find run leaves alone.
// Its searches share the window's file with searches of other roots: a run
// loads only the rows of the files it owns and writes every other line of
// the section back as it was read, byte for byte and in its order. Lines
// before the section's first row (the keyed lines, which the run reads as
// well) stay first, the run's own rows follow them, best first, then the
// rest.
struct ForeignRows {
    // Whether the row of this path belongs to the run; `read` holds what
    // lines 1 to 7 and the keyed lines before the first row said.
    std::function<bool(std::string_view path, const Settings& read)> owned;
    std::string leading;   // the lines before the first row, with their line ends
    std::string trailing;  // the lines from the first row on, the run's own rows left out
};

// Sets every setting from the file at `path`, or to its default where the
// file, or the line for a setting, is missing. Empties `memory` and adds the
// saved rows when the first line matches. Bad input gives defaults or
// skipped rows. Returns false, with `refusal` set to kNotRegularFile or
// kNotSettingsFile, only when something is there that is not a settings file
// (not a regular file, or its first line does not match), so that a caller
// can refuse to save over it; a missing or empty file returns true.
// With `foreign`, only the rows it owns are added, highest priority first
// (so at the memory's cap the highest are kept, ties in file order), and
// every other line of the section, the editor line too, is kept in it.
bool loadSettings(const char* path, int32_t screenWidth, int32_t screenHeight, Settings& settings,
                  FileMemory& memory, std::string* refusal = nullptr,
                  ForeignRows* foreign = nullptr);

// Writes the whole file, with the settings' line ends, through a temporary
// file that replaces the old one only when it is whole and on the disk.
// With `offset` each rectangle value is written kNewWindowOffset higher.
// Returns false, and leaves the old file as it was, when the file cannot be
// written or must not be replaced (not a regular file, or one the user
// cannot write; a file without any write permission counts as such even
// for root); `reason` then says why, in the system's words.
// With `foreign`, its lines are written around the memory's rows.
bool saveSettings(const char* path, bool offset, const Settings& settings, const FileMemory& memory,
                  std::string* reason = nullptr, const ForeignRows* foreign = nullptr);

}  // namespace tarvo
