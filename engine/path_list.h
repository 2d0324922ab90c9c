// The Path text as a list of search roots, and the suffix test of a path
// against an extension list.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

inline constexpr int kMaxRoots = 100;         // the rest of the Path text is ignored
inline constexpr int kMaxPathLength = 260;    // paths the walk builds and roots it keeps

// The platform's path separator: the walk joins with it and parsePathList
// trims it from the end of each root.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Splits at ';', skips leading blanks, trims trailing blanks and separators
// (an entry of only those becomes empty and is kept), stops at 100 roots.
std::vector<std::string> parsePathList(std::string_view pathText);

// True when the path ends, byte for byte, with one of the ';'-separated
// items. Empty items are skipped; items are not trimmed.
bool matchesExtensionList(std::string_view path, std::string_view list);

}  // namespace tarvo
