#include "engine/path_list.h"

namespace tarvo {

// Three states: between entries -> in entry -> end of entry. Only the space
// is a blank here; a tab is an ordinary character. Roots longer than
// kMaxPathLength are kept whole: the walk reports them as unopenable rather
// than searching a cut path that names something else. An entry of nothing
// but blanks (";;", a leading ";", "; ;") is skipped: read as the empty
// root, it would walk the whole root directory, which nobody asks for that
// way.
std::vector<std::string> parsePathList(std::string_view pathText, bool* rootsDropped) {
    std::vector<std::string> roots;
    size_t at = 0;
    auto charAt = [&](size_t index) { return index < pathText.size() ? pathText[index] : '\0'; };
    while (static_cast<int>(roots.size()) < kMaxRoots) {
        // Between entries.
        while (charAt(at) == ' ')
            ++at;
        if (charAt(at) == '\0') break;

        // In entry.
        std::string entry;
        for (char c = charAt(at); c != '\0'; c = charAt(at)) {
            ++at;
            if (c == ';') break;
            entry += c;
        }

        // End of entry: "C:\src\ " becomes "C:\src"; separators (and blanks)
        // alone leave an empty entry, which names the root directory.
        if (entry.empty()) continue;
        while (!entry.empty() && (entry.back() == ' ' || entry.back() == kPathSeparator)) {
            entry.pop_back();
        }
        roots.push_back(std::move(entry));
    }
    while (charAt(at) == ' ')
        ++at;
    if (rootsDropped) *rootsDropped = charAt(at) != '\0';
    return roots;
}

bool liesUnderRoot(std::string_view path, std::string_view root, bool recursive) {
    if (path == root) return true;
    if (path.size() <= root.size() + 1 || path.substr(0, root.size()) != root ||
        path[root.size()] != kPathSeparator)
        return false;
    return recursive || path.find(kPathSeparator, root.size() + 1) == std::string_view::npos;
}

bool matchesExtensionList(std::string_view path, std::string_view list) {
    size_t at = 0;
    while (at < list.size()) {
        size_t stop = list.find(';', at);
        if (stop == std::string_view::npos) stop = list.size();
        std::string_view item = list.substr(at, stop - at);
        at = stop + 1;
        if (item.empty()) continue;
        if (item.size() <= path.size() && path.substr(path.size() - item.size()) == item) {
            return true;
        }
    }
    return false;
}

}  // namespace tarvo
