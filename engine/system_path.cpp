#include "engine/system_path.h"

#include <cstdlib>

#include "engine/wide_text.h"

namespace tarvo {

namespace {

constexpr std::u16string_view kLongForm = u"\\\\?\\";
constexpr std::u16string_view kDeviceForm = u"\\\\.\\";
constexpr std::u16string_view kLongShareForm = u"\\\\?\\UNC\\";
constexpr std::u16string_view kShareStart = u"\\\\";
// What the long form adds at most ("\\?\UNC\" for the "\\" it replaces),
// and the listing's "\*".
[[maybe_unused]] constexpr size_t kLongFormGrowth = kLongShareForm.size() - kShareStart.size() + 2;

bool startsWith(std::u16string_view text, std::u16string_view start) {
    return text.substr(0, start.size()) == start;
}

bool isDrivePath(std::u16string_view path) {
    return path.size() >= 3 && path[1] == u':' && path[2] == u'\\';
}

}  // namespace

std::u16string systemPath(std::string_view path, FullPathFunction fullPath) {
    std::u16string units = toUtf16(path);
    if (units.size() < kLongPathFrom || startsWith(units, kLongForm) ||
        startsWith(units, kDeviceForm))
        return units;
    std::u16string full = fullPath(units);
    if (startsWith(full, kLongForm) || startsWith(full, kDeviceForm)) return full;
    if (startsWith(full, kShareStart))
        return std::u16string(kLongShareForm).append(full, kShareStart.size());
    if (isDrivePath(full)) return std::u16string(kLongForm).append(full);
    return units;
}

std::string ordinaryPath(std::string_view path) {
    constexpr std::string_view longForm = "\\\\?\\", longShareForm = "\\\\?\\UNC\\";
    if (path.starts_with(longShareForm))
        return "\\\\" + std::string(path.substr(longShareForm.size()));
    if (path.starts_with(longForm)) return std::string(path.substr(longForm.size()));
    return std::string(path);
}

#ifndef _WIN32
std::string environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}
#endif

bool systemCanName(std::string_view path) {
#ifdef _WIN32
    // A UTF-16 unit never takes fewer bytes in UTF-8: the units are counted
    // only near the limit.
    if (path.size() + kLongFormGrowth <= kMaxSystemPathLength) return true;
    return toUtf16(path).size() + kLongFormGrowth <= kMaxSystemPathLength;
#else
    return path.size() <= kMaxSystemPathLength;
#endif
}

}  // namespace tarvo
