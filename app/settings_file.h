// Room app/: what the window program and tarvo-find share: this settings
// file, the status line text and the clock twins. Portable; includes
// results/, preview/, view/ and engine/.
//
// The settings file: everything that outlives one run of the program, in one
// text file with a fixed line layout.
//
//   1  Tarvo Search, version 1.0
//   2  left top right bottom                    window rectangle, screen pixels
//   3  FindText
//   4  PathText
//   5  HighlightList
//   6  ExcludeList
//   7  SortMode and the six search options       seven integers
//   8  (empty)
//   9+ priority path                              remembered files, best first
//
// Every line ends with "\n", also on Windows (the file is written in binary
// mode). A file whose first line ends in "\r\n" (edited in a Windows editor)
// is read with one trailing "\r" dropped from every line.
#pragma once

#include <climits>
#include <cstdint>
#include <string>

#include "engine/search_request.h"
#include "results/result_store.h"

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

struct WindowRect {
    int32_t left, top, right, bottom;  // screen rectangle
};

struct Settings {
    // Held as a rectangle; the window turns it into x, y, width, height when
    // it is created. The default keeps the sentinel in left and right.
    WindowRect windowRect{kDefaultPlacement, 0, kDefaultPlacement, 0};
    SearchRequest request;  // the four texts and the six options
    int32_t sortMode = ByRank;
    std::string lastFindText;  // copies of the texts as loaded
    std::string lastPathText;
};

// Sets every setting from the file at `path`, or to its default where the
// file, or the line for a setting, is missing. Empties `memory` and adds the
// saved rows when the first line matches. Bad input gives defaults or
// skipped rows. Returns false only when the file holds something that is not
// a settings file (its first line does not match), so that a caller can
// refuse to save over it; a missing or empty file returns true.
bool loadSettings(const char* path, int32_t screenWidth, int32_t screenHeight, Settings& settings,
                  FileMemory& memory);

// Writes the whole file, through a temporary file beside it that replaces the
// old one only when it was written completely. With `offset` each rectangle
// value is written kNewWindowOffset higher. Returns false, and leaves the old
// file as it was, when the file cannot be written; callers report nothing.
bool saveSettings(const char* path, bool offset, const Settings& settings,
                  const FileMemory& memory);

}  // namespace tarvo
