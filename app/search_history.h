// The texts that started searches, most recent first: the Find box keeps one
// list and the Path box another, and the settings file keeps both.
//
// A text used again moves to the top instead of standing twice, and the
// oldest falls off once kMaxHistoryEntries are kept:
//
//   add("b"), add("a")   ->  a b
//   add("b")             ->  b a        (b moves up; still two entries)
//   add("") or add("  ") ->  b a        (nothing to search for: not kept)
//
// Every entry can be written whole on one settings line and read back as
// the same text (isKeepableHistoryText); a text that could not be is never
// kept, so the file never holds a shortened or broken entry.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// What a drop-down list shows at once on any screen, and enough to go back
// a week of searches.
inline constexpr int32_t kMaxHistoryEntries = 25;

// Not empty nor only blanks, within the boxes' kMaxTextLength, and without
// a byte that would end or cut its settings line (line feed, carriage
// return, NUL).
bool isKeepableHistoryText(std::string_view text);

class SearchHistory {
public:
    // A text that started a search: first from now on.
    void add(std::string_view text);
    // A text read from the settings file, which lists the entries most
    // recent first: last from now on, unless it is kept already or the list
    // is full.
    void addOlder(std::string_view text);
    // False when no entry equals `text`.
    bool remove(std::string_view text);
    // The entries that contain `filter`, letter case ignored (A-Z only, as
    // the program folds case everywhere), most recent first; every entry for
    // an empty filter.
    std::vector<std::string> matching(std::string_view filter) const;

    const std::vector<std::string>& entries() const { return entries_; }

private:
    std::vector<std::string> entries_;  // distinct, most recent first, at most kMaxHistoryEntries
};

// The two boxes' histories, as the settings file keeps them.
struct SearchHistories {
    SearchHistory find;
    SearchHistory path;
};

}  // namespace tarvo
