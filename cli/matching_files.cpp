#include "cli/matching_files.h"

#include <algorithm>

namespace tarvo {

namespace {

// Within one file the rank order comes down to the score, then the line.
bool betterInFile(int32_t score, int32_t lineNumber, const ResultEntry& best) {
    return score != best.score ? score > best.score : lineNumber < best.lineNumber;
}

}  // namespace

int32_t MatchingFiles::find(const char* path) const {
    if (last_ >= 0 && best_[last_].path == path) return last_;
    auto it = index_.find(path);
    if (it == index_.end()) return -1;
    return last_ = it->second;
}

EntryBar MatchingFiles::entryBar(const char* path) const {
    const int32_t file = find(path);
    if (file < 0) return {};  // every line of a file not seen yet
    const EntryBar store = store_.entryBar(path);
    const EntryBar own = {best_[file].score, best_[file].lineNumber};
    // Both bars are "rank before" one place in the file's order; a line
    // passing either passes the one placed later.
    return betterInFile(store.score, store.lineBelow, best_[file]) ? own : store;
}

void MatchingFiles::addResult(int32_t score, const char* path, int32_t lineNumber,
                              std::string_view lineText, int32_t termColumn) {
    store_.addResult(score, path, lineNumber, lineText, termColumn);
    int32_t file = find(path);
    if (file < 0) {
        file = last_ = static_cast<int32_t>(best_.size());
        index_.emplace(path, file);
        best_.push_back(ResultEntry{0, score, path, lineNumber, std::string(lineText), termColumn});
    } else if (betterInFile(score, lineNumber, best_[file])) {
        best_[file].score = score;
        best_[file].lineNumber = lineNumber;
        best_[file].lineText = lineText;
        best_[file].termColumn = termColumn;
    }
}

void MatchingFiles::clearResults() {
    store_.clearResults();
    best_.clear();
    index_.clear();
    last_ = -1;
}

std::vector<const ResultEntry*> MatchingFiles::inDisplayOrder(SortMode sortMode) const {
    std::vector<const ResultEntry*> files;
    files.reserve(best_.size());
    for (const ResultEntry& best : best_)
        files.push_back(&best);
    std::stable_sort(files.begin(), files.end(), [&](const ResultEntry* a, const ResultEntry* b) {
        return displayedBefore(sortMode, *a, *b);
    });
    return files;
}

}  // namespace tarvo
