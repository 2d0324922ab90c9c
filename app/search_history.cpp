#include "app/search_history.h"

#include <algorithm>

#include "engine/search_request.h"
#include "engine/term_table.h"

namespace tarvo {

namespace {

bool equalFolded(char a, char b) {
    return foldAscii(static_cast<uint8_t>(a)) == foldAscii(static_cast<uint8_t>(b));
}

}  // namespace

bool isKeepableHistoryText(std::string_view text) {
    const bool blank = text.find_first_not_of(" \t") == std::string_view::npos;
    return !blank && text.size() <= static_cast<size_t>(kMaxTextLength) &&
           text.find_first_of(std::string_view("\n\r\0", 3)) == std::string_view::npos;
}

void SearchHistory::add(std::string_view text) {
    if (!isKeepableHistoryText(text)) return;
    remove(text);
    // Full: the oldest entry makes room.
    if (entries_.size() == static_cast<size_t>(kMaxHistoryEntries)) entries_.pop_back();
    entries_.emplace(entries_.begin(), text);
}

void SearchHistory::addOlder(std::string_view text) {
    if (!isKeepableHistoryText(text) || entries_.size() == static_cast<size_t>(kMaxHistoryEntries))
        return;
    if (std::find(entries_.begin(), entries_.end(), text) == entries_.end())
        entries_.emplace_back(text);
}

bool SearchHistory::remove(std::string_view text) {
    const auto found = std::find(entries_.begin(), entries_.end(), text);
    if (found == entries_.end()) return false;
    entries_.erase(found);
    return true;
}

std::vector<std::string> SearchHistory::matching(std::string_view filter) const {
    std::vector<std::string> matches;
    for (const std::string& entry : entries_) {
        if (std::search(entry.begin(), entry.end(), filter.begin(), filter.end(), equalFolded) !=
            entry.end()) {
            matches.push_back(entry);
        }
    }
    return matches;
}

}  // namespace tarvo
