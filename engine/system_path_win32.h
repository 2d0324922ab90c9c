// The file system's boundary on Windows: every call that names a file or
// folder is the wide (...W) form, its path made by widePath, and every name
// or path the system hands back reaches the program through utf8Of. So a
// name in any script is reached whatever the system's code page, and a path
// of any length the system allows (system_path.h).
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

#include "engine/system_path.h"

namespace tarvo {

// A path for a wide call: UTF-16, in the long form from kLongPathFrom units on.
std::wstring widePath(std::string_view path);

// Text for a wide call that is not a path handed over by itself: a command
// line, a verb, a program named as the user names it to the Run box.
// Converted alike, never put in the long form.
std::wstring wideText(std::string_view text);

// What a wide call handed back, in UTF-8.
std::string utf8Of(std::wstring_view text);

// The path a wide call writes into a buffer, in UTF-8; empty when the call
// fails or the path passes what Windows names. `call(buffer, size)` returns
// the units it wrote, NUL left out, or for a buffer too small the size it
// needs or the size it was given (as GetModuleFileNameW does).
template <class Call>
std::string pathFromSystem(Call call) {
    std::wstring buffer(kLongPathFrom, L'\0');
    for (;;) {
        const size_t units = call(buffer.data(), buffer.size());
        if (units == 0) return {};
        if (units < buffer.size()) return utf8Of(std::wstring_view(buffer.data(), units));
        if (buffer.size() > kMaxSystemPathLength) return {};
        buffer.resize(std::max(units, 2 * buffer.size()));
    }
}

// This program's own file, and the user's temporary folder (ending in a
// backslash), as the system names them; empty when it cannot say.
std::string executablePath();
std::string temporaryFolder();

}  // namespace tarvo
