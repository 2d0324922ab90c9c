#include "app/status_line.h"

#include <cinttypes>
#include <cstdio>
#include <limits>

#include "engine/system_path.h"

namespace tarvo {

std::string formatCount(int64_t count) {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%" PRId64, count);
    std::string text;
    const char* d = digits;
    if (*d == '-') text += *d++;
    const int length = static_cast<int>(std::char_traits<char>::length(d));
    for (int i = 0; i < length; ++i) {
        // A comma before every digit that starts a group of three from the right.
        if (i > 0 && (length - i) % 3 == 0) text += ',';
        text += d[i];
    }
    return text;
}

std::string formatDuration(double seconds) {
    constexpr double kMaxMilliseconds = std::numeric_limits<int32_t>::max();
    double exact = seconds * 1000.0;
    if (!(exact > 0.0)) exact = 0.0;  // also catches NaN
    if (exact > kMaxMilliseconds) exact = kMaxMilliseconds;
    const int32_t ms = static_cast<int32_t>(exact);  // truncates, never rounds
    const int32_t h = ms / 3600000;
    int32_t rest = ms - h * 3600000;
    const int32_t m = rest / 60000;
    rest -= m * 60000;
    const int32_t s = rest / 1000;
    const int32_t f = rest - s * 1000;
    char text[32];
    if (h != 0) {
        std::snprintf(text, sizeof text, "%d:%02d:%02d.%03d", static_cast<int>(h),
                      static_cast<int>(m), static_cast<int>(s), static_cast<int>(f));
    } else {
        std::snprintf(text, sizeof text, "%d:%02d.%03d", static_cast<int>(m), static_cast<int>(s),
                      static_cast<int>(f));
    }
    return text;
}

std::string statusLineText(const SearchStats& stats, const RunTimes& times, double now,
                           bool running) {
    std::string text = formatCount(stats.matches) + " Matches     ";
    text += "Files: " + formatCount(stats.files) + "   ";
    text += "Lines: " + formatCount(stats.lines) + "   ";
    text += "Bytes: " + formatCount(stats.bytes) + "   ";
    text += "Time: " + formatDuration((running ? now : times.end) - times.start);
    if (running) text += "     (Searching...)";
    return text;
}

int64_t keptLineCount(const ResultStore& results) {
    int64_t lines = 0;
    for (int32_t i = 0; i < results.count(); ++i)
        lines += results.rankEntry(i).lineNumber > 0 ? 1 : 0;
    return lines;
}

std::string listedLinesText(int64_t matchingLines, const ResultStore& results) {
    if (matchingLines <= keptLineCount(results)) return "";
    return "the best " + formatCount(results.count()) + " are listed";
}

std::string pathsTooLongText(int64_t count) {
    if (count == 0) return "";
    const std::string limit = formatCount(static_cast<int64_t>(kMaxSystemPathLength));
    return formatCount(count) + (count == 1 ? " path" : " paths") + " longer than " + limit + " " +
           kSystemPathUnit + " " + (count == 1 ? "was" : "were") + " passed over";
}

std::string skippedByFiltersText(int64_t count) {
    if (count == 0) return "";
    return formatCount(count) + (count == 1 ? " file or folder" : " files and folders") +
           " skipped by filters";
}

}  // namespace tarvo
