// How a path meets the file system. Paths are UTF-8 inside the program; on
// Windows every call that names a file or folder takes the wide (...W) form,
// its path converted here (system_path_win32.h holds the calls' side). The
// ordinary form of a path stops at MAX_PATH; the long form ("\\?\C:\...",
// "\\?\UNC\server\share\...") reaches 32,767 UTF-16 units, but the system
// takes it as it stands: it must be full, with "\" between its pieces and no
// "." or ".." among them. So a path that needs it is first made full by the
// system's own rules and only then given the prefix.
#pragma once

#include <climits>
#include <cstddef>
#include <string>
#include <string_view>

namespace tarvo {

// MAX_PATH, its NUL included: a path of this many UTF-16 units or more is
// handed to the system in the long form.
inline constexpr size_t kLongPathFrom = 260;

// The path as the system would take it from a call (relative to the current
// folder, "/" read as "\", "." and ".." pieces applied); empty when it cannot.
using FullPathFunction = std::u16string (*)(const std::u16string& path);

// The UTF-16 form of a path for the wide calls, converted as the drawing
// converts text (wide_text.h: bytes that are not UTF-8 as Windows-1252).
// Shorter than kLongPathFrom it stays as written, relative or not. From
// there on it is made full with `fullPath` and takes the long form: "\\?\"
// before a drive path, "\\?\UNC\" in place of a share's leading "\\". A
// path already in the long or the device form ("\\?\", "\\.\") is handed
// over as written, and so is one `fullPath` cannot make full.
std::u16string systemPath(std::string_view path, FullPathFunction fullPath);

// A path the system handed back in the long form ("\\?\C:\...",
// "\\?\UNC\server\share\...") as a user writes it ("C:\...",
// "\\server\share\..."); any other path as it is.
std::string ordinaryPath(std::string_view path);

// An environment variable, in UTF-8; empty when it is not set. On Windows it
// is read from the wide environment, so a folder it names (a user profile in
// any script) comes whole whatever the code page.
std::string environmentValue(const char* name);

// The longest path the system names, in its own unit: the walk passes over,
// and counts, the paths it builds beyond that.
#ifdef _WIN32
inline constexpr size_t kMaxSystemPathLength = 32767;  // a UNICODE_STRING's UTF-16 units
inline constexpr const char* kSystemPathUnit = "characters";
#else
inline constexpr size_t kMaxSystemPathLength = PATH_MAX - 1;  // the path calls' bytes, NUL aside
inline constexpr const char* kSystemPathUnit = "bytes";
#endif

// Whether the system can name `path` and list below it: on Windows its long
// form with the listing's "\*" after it, on POSIX the path itself, within
// kMaxSystemPathLength.
bool systemCanName(std::string_view path);

}  // namespace tarvo
