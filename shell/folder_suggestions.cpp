#include "shell/folder_suggestions.h"

#include <algorithm>

#include "engine/directory_listing.h"
#include "engine/path_list.h"
#include "engine/term_table.h"
#include "shell/path_entries.h"

namespace tarvo {

namespace {

// Windows takes "/" for "\" too.
bool isSeparator(char c) {
    return c == kPathSeparator || c == '/';
}

bool beginsWithFolded(std::string_view name, std::string_view start) {
    return name.size() > start.size() &&
           std::equal(start.begin(), start.end(), name.begin(), [](char a, char b) {
               return foldAscii(static_cast<uint8_t>(a)) == foldAscii(static_cast<uint8_t>(b));
           });
}

std::vector<std::string> namesIn(std::string_view folder) {
    // The listing takes a folder without its closing separator; "" for the root.
    std::string path(folder);
    while (!path.empty() && isSeparator(path.back()))
        path.pop_back();
    std::vector<std::string> names;
    DirectoryListing listing;
    DirectoryEntry entry;
    if (!listing.open(path)) return names;
    while (listing.next(entry)) {
        if (entry.name != "." && entry.name != "..") names.push_back(std::move(entry.name));
    }
    return names;
}

}  // namespace

FolderSuggestions FolderSuggester::suggest(std::string_view pathText) {
    FolderSuggestions suggestions;
    const size_t entryStart = typedEntryStart(pathText);
    const std::string_view entry = pathText.substr(entryStart);
    const auto separator = std::find_if(entry.rbegin(), entry.rend(), isSeparator);
    if (separator == entry.rend()) return suggestions;
    const std::string_view folder = entry.substr(0, entry.rend() - separator);
    const std::string_view start = entry.substr(folder.size());
    if (!listed_ || folder != folder_) {
        folder_ = folder;
        names_ = namesIn(folder);
        listed_ = true;
    }
    suggestions.kept = pathText.substr(0, entryStart);
    for (const std::string& name : names_) {
        if (beginsWithFolded(name, start)) suggestions.entries.push_back(folder_ + name);
    }
    return suggestions;
}

}  // namespace tarvo
