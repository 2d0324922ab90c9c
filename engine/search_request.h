// What one search is asked to do: the two texts, the extension lists, the
// folders to skip and the options. The window, the settings file and tarvo-find fill it; the
// engine reads it live, so an option toggled from inside the message pump
// takes effect from the next file, entry or line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvo {

// The edit boxes, the prompt and the settings file all hold texts of at most
// this many characters.
inline constexpr int kMaxTextLength = 9999;

inline constexpr const char* kDefaultHighlightList = ".c;.cpp;.cxx;.h";

// Cuts a text to kMaxTextLength where it enters the program.
inline std::string cutToTextLimit(std::string_view text) {
    return std::string(text.substr(0, kMaxTextLength));
}

// The options of the Search menu: the six the settings file keeps on line
// 7, in its order, all on by default; then those it keeps on lines of their
// own, off by default.
struct SearchOptions {
    bool recursive = true;
    bool skipBinaryFiles = true;
    bool searchFileNames = true;
    bool caseSensitiveBonus = true;
    bool wholeWordBonus = true;
    bool cppHeuristics = true;
    bool skipIgnoredFiles = false;  // leave out what Git would ignore
};

struct SearchRequest {
    std::string findText;                               // the Find box
    std::string pathText;                               // the Path box, ';'-separated roots
    std::string highlightList = kDefaultHighlightList;  // endings coloured as C/C++
    std::string excludeList;                            // endings never read
    std::string includeList;  // Only File Types: when not empty, the only endings read
    std::string skipFolders;  // ';'-separated names of folders never entered
    SearchOptions options;
};

}  // namespace tarvo
