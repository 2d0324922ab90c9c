#include "engine/system_path_win32.h"

#include <windows.h>

#include <cstdlib>

#include "engine/system_path.h"
#include "engine/text_encoding.h"
#include "engine/wide_text.h"

namespace tarvo {

namespace {

// wchar_t is the UTF-16 unit on Windows.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

// GetFullPathNameW applies the rules every ordinary call applies to a path
// (the current folder, "/" as "\", "." and ".."), to a path of any length;
// the first call may only tell the size needed, NUL included.
std::u16string fullPathName(const std::u16string& path) {
    const auto* given = reinterpret_cast<const wchar_t*>(path.c_str());
    std::u16string full(path.size() + MAX_PATH, u'\0');
    DWORD length = GetFullPathNameW(given, static_cast<DWORD>(full.size()),
                                    reinterpret_cast<wchar_t*>(full.data()), nullptr);
    if (length >= full.size()) {
        full.resize(length);
        length = GetFullPathNameW(given, length, reinterpret_cast<wchar_t*>(full.data()), nullptr);
    }
    if (length == 0 || length >= full.size()) return {};
    full.resize(length);
    return full;
}

std::wstring asWide(const std::u16string& units) {
    return std::wstring(units.begin(), units.end());
}

}  // namespace

std::wstring widePath(std::string_view path) {
    return asWide(systemPath(path, fullPathName));
}

std::wstring wideText(std::string_view text) {
    return asWide(toUtf16(text));
}

std::string environmentValue(const char* name) {
    const wchar_t* value = _wgetenv(wideText(name).c_str());
    return value != nullptr ? utf8Of(value) : "";
}

std::string utf8Of(std::wstring_view text) {
    // On Windows the units lie in memory as UTF-16 little-endian.
    return utf16ToUtf8(
        std::string_view(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t)),
        false);
}

std::string executablePath() {
    return pathFromSystem([](wchar_t* buffer, size_t size) {
        return GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(size));
    });
}

std::string temporaryFolder() {
    return pathFromSystem([](wchar_t* buffer, size_t size) {
        return GetTempPathW(static_cast<DWORD>(size), buffer);
    });
}

}  // namespace tarvo
