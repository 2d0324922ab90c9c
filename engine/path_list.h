// The Path text as a list of search roots, and the suffix test of a path
// against an extension list.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

inline constexpr int kMaxRoots = 100;       // the rest of the Path text is ignored
inline constexpr int kMaxPathLength = 260;  // characters of a root, an ordinary path's most

// The platform's path separator: the walk joins with it and parsePathList
// trims it from the end of each root.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Whether the platform's file names compare without letter case: Skip
// Folders and Skip Ignored Files compare names as the file system does (and
// as Git for Windows does by default).
#ifdef _WIN32
inline constexpr bool kFileNamesFoldCase = true;
#else
inline constexpr bool kFileNamesFoldCase = false;
#endif

// Splits at ';', skips leading blanks and entries of nothing but blanks,
// trims trailing blanks and separators (an entry of a separator and blanks
// becomes empty, the root directory, and is kept), stops at 100 roots.
// `rootsDropped`, when given, tells whether entries were left after them.
std::vector<std::string> parsePathList(std::string_view pathText, bool* rootsDropped = nullptr);

// True when the path is the root itself (a root naming a file) or one the
// walk builds from it: the root, a separator, and then, without recursion,
// a name holding no separator. Byte for byte, as the file memory compares.
bool liesUnderRoot(std::string_view path, std::string_view root, bool recursive);

// True when the path ends, byte for byte, with one of the ';'-separated
// items. Empty items are skipped; items are not trimmed.
bool matchesExtensionList(std::string_view path, std::string_view list);

}  // namespace tarvo
