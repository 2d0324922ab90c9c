#include "engine/file_filters.h"

#include <algorithm>

#include "engine/path_list.h"

namespace tarvo {

namespace {

// Calls `item` with each non-empty item of a ';'-separated list until it
// returns true; true when one did.
template <class Item>
bool anyItem(std::string_view list, Item item) {
    for (size_t at = 0; at <= list.size();) {
        size_t stop = list.find(';', at);
        if (stop == std::string_view::npos) stop = list.size();
        const std::string_view text = list.substr(at, stop - at);
        at = stop + 1;
        if (!text.empty() && item(text)) return true;
    }
    return false;
}

char folded(char c) {
    return kFileNamesFoldCase && c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

}  // namespace

bool includesFileType(std::string_view path, std::string_view list) {
    bool named = false;
    const bool found = anyItem(list, [&](std::string_view item) {
        item.remove_prefix(std::min(item.find_first_not_of('*'), item.size()));
        if (item.empty()) return false;
        named = true;
        return item.size() <= path.size() && path.ends_with(item);
    });
    return found || !named;
}

bool isSkippedFolder(std::string_view name, std::string_view list) {
    return anyItem(list, [&](std::string_view item) {
        return item.size() == name.size() &&
               std::equal(item.begin(), item.end(), name.begin(),
                          [](char a, char b) { return folded(a) == folded(b); });
    });
}

bool readsFileOfType(const SearchRequest& request, std::string_view path) {
    return !matchesExtensionList(path, request.excludeList) &&
           includesFileType(path, request.includeList);
}

}  // namespace tarvo
