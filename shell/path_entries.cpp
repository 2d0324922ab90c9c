#include "shell/path_entries.h"

#include "engine/search_request.h"

namespace tarvo {

namespace {

std::string_view trimmedBlanks(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string_view lastPathEntry(std::string_view pathText) {
    for (size_t end = pathText.size();;) {
        const size_t semicolon = pathText.rfind(';', end == 0 ? 0 : end - 1);
        const size_t start = semicolon == std::string_view::npos || end == 0 ? 0 : semicolon + 1;
        const std::string_view entry = trimmedBlanks(pathText.substr(start, end - start));
        if (!entry.empty() || start == 0) return entry;
        end = semicolon;
    }
}

std::optional<std::string> pathWithFolder(std::string_view pathText, std::string_view folder,
                                          bool append) {
    std::string text;
    const std::string_view kept = pathText.substr(0, pathText.find_last_not_of(' ') + 1);
    if (append && !kept.empty()) text.assign(kept).append(kept.back() == ';' ? "" : ";");
    text += folder;
    if (text.size() > static_cast<size_t>(kMaxTextLength)) return std::nullopt;
    return text;
}

}  // namespace tarvo
