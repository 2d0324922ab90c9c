#include "results/result_store.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <string_view>

namespace tarvo {

namespace {

// ---------------------------------------------------------------------------
// Orders
// ---------------------------------------------------------------------------

uint8_t foldByte(char c) {
    uint8_t b = static_cast<uint8_t>(c);
    return (b >= 'A' && b <= 'Z') ? b + 32 : b;
}

// Negative, zero or positive as a sorts before, with or after b. Only A-Z
// fold; every other byte compares by its unsigned value; a prefix sorts first.
int compareFolded(std::string_view a, std::string_view b) {
    size_t n = std::min(a.size(), b.size());
    // Bytes that are equal stay equal after folding, so the long common
    // start of two paths in one tree is passed over eight bytes at a time.
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t x, y;
        std::memcpy(&x, a.data() + i, 8);
        std::memcpy(&y, b.data() + i, 8);
        if (x != y) break;
    }
    for (; i < n; ++i) {
        uint8_t x = foldByte(a[i]);
        uint8_t y = foldByte(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

// The three keys of the rank order, so a new line can be placed (or turned
// away) before anything is copied.
struct RankKey {
    int32_t score;
    std::string_view path;
    int32_t lineNumber;
};

RankKey keyOf(const ResultEntry& e) {
    return {e.score, e.path, e.lineNumber};
}

bool rankBefore(const RankKey& a, const RankKey& b) {
    // 1. Higher score first.
    if (a.score != b.score) return a.score > b.score;
    // 2. Path, ASCII letter case ignored.
    if (int c = compareFolded(a.path, b.path)) return c < 0;
    // 3. Smaller line number first. Equal entries keep their arrival order
    //    because the insert goes after them (upper bound).
    return a.lineNumber < b.lineNumber;
}

bool fileNameBefore(const ResultEntry* a, const ResultEntry* b) {
    // 1. Path, ASCII letter case ignored.
    if (int c = compareFolded(a->path, b->path)) return c < 0;
    // 2. Smaller line number first.
    return a->lineNumber < b->lineNumber;
}

bool lineTextBefore(const ResultEntry* a, const ResultEntry* b) {
    // 1. Line text, ASCII letter case ignored.
    if (int c = compareFolded(a->lineText, b->lineText)) return c < 0;
    // 2. Path, ASCII letter case ignored.
    if (int c = compareFolded(a->path, b->path)) return c < 0;
    // 3. Smaller line number first.
    return a->lineNumber < b->lineNumber;
}

uint64_t lineKeyHash(std::string_view path, int32_t lineNumber) {
    return std::hash<std::string_view>{}(path) ^
           (static_cast<uint64_t>(static_cast<uint32_t>(lineNumber)) * 0x9E3779B97F4A7C15ull);
}

}  // namespace

ResultStore::ResultStore(ResultViews* views) : views_(views) {
    rank_.reserve(kMaxResults);
}

ResultEntry* ResultStore::takeEntry() {
    if (spare_.empty()) {
        entries_.push_back(std::make_unique<ResultEntry>());
        return entries_.back().get();
    }
    ResultEntry* entry = spare_.back();
    spare_.pop_back();
    return entry;
}

void ResultStore::giveBack(ResultEntry* entry) {
    spare_.push_back(entry);
}

// ---------------------------------------------------------------------------
// Insert
// ---------------------------------------------------------------------------

void ResultStore::addResult(int32_t score, const char* path, int32_t lineNumber,
                            const char* lineText) {
    if (path == nullptr) path = "";
    if (lineText == nullptr) lineText = "";

    // Full and worse than every kept line: nothing changes. Most lines of a
    // long run end here, after one comparison with the last entry.
    if (!entryBar(path).admits(score, lineNumber)) return;
    const RankKey key{score, path, lineNumber};
    const bool full = count() == kMaxResults;

    // The first entry the new one comes before. The rank order is sorted, so
    // the upper bound is exactly where a walk from the top would stop.
    auto at = std::upper_bound(
        rank_.begin(), rank_.end(), key,
        [](const RankKey& k, const ResultEntry* e) { return rankBefore(k, keyOf(*e)); });
    const int32_t p = static_cast<int32_t>(at - rank_.begin());

    // A selection below the first row stays on its file and line. Row 0 is
    // not remembered: it follows the best result instead.
    const ResultEntry* remembered = nullptr;
    const int32_t rememberedRow = selectedRow_;
    if (selectedRow_ > 0 && selectedRow_ < count()) {
        ensureDisplayOrder();
        remembered = &displayEntry(selectedRow_);
    }

    // Full: the worst line makes room. It goes back to the spares only at
    // the end of this call because the remembered selection may be that
    // very line.
    ResultEntry* released = nullptr;
    if (full) {
        released = rank_.back();
        rank_.pop_back();
        countKey(*released, -1);
    }

    ResultEntry* entry = takeEntry();
    entry->score = score;
    entry->path = path;
    entry->lineNumber = lineNumber;
    entry->lineText = lineText;
    countKey(*entry, +1);
    rank_.insert(rank_.begin() + p, entry);
    rankIndexValid_ = std::min(rankIndexValid_, p);
    displayOrderValid_ = false;

    followSelection(p, remembered, rememberedRow, released);
    if (released != nullptr) giveBack(released);
}

// A line ranks before the worst kept one by its score, or at the same score
// by its path, which is the same for every line of the file, or at the same
// path by its line number.
EntryBar ResultStore::entryBar(const char* path) const {
    if (count() < kMaxResults) return {};
    const ResultEntry& worst = *rank_.back();
    const int byPath = compareFolded(path == nullptr ? "" : path, worst.path);
    return {worst.score, byPath < 0 ? INT32_MAX : byPath > 0 ? INT32_MIN : worst.lineNumber};
}

// Steps 6 to 9 of an insert at rank position p: the selection follows the
// best line from row 0, or stays on its file and line from a lower row.
void ResultStore::followSelection(int32_t p, const ResultEntry* remembered, int32_t rememberedRow,
                                  const ResultEntry* released) {
    if (selectedRow_ == -1 || (selectedRow_ == 0 && p == 0)) {
        // The first line of the run, or a new best under a selection on row 0.
        ensureDisplayOrder();
        selectedRow_ = 0;
        const ResultEntry& shown = displayEntry(0);
        if (views_) views_->showFile(shown.path.c_str(), shown.lineNumber);
        return;
    }
    // Selection on row 0 and no new best: the display stays stale until read.
    if (remembered == nullptr) return;

    ensureDisplayOrder();
    int32_t row = -1;
    if (byRank()) {
        // In rank order the selected line moved down one row when the insert
        // landed at or above it. That is also the first row holding its
        // (path, line) when no other entry shares the key; otherwise search.
        const bool wasReleased = remembered == released;
        const int32_t holders = keyCount(remembered->path, remembered->lineNumber);
        if (!wasReleased && holders == 1) {
            row = rememberedRow + (p <= rememberedRow ? 1 : 0);
        } else if (!(wasReleased && holders == 0)) {
            row = findDisplayRow(remembered->path, remembered->lineNumber);
        }
    } else {
        row = findDisplayRow(remembered->path, remembered->lineNumber);
    }
    // Not found: the selected line was the one released; fall back to row 0.
    selectedRow_ = row >= 0 ? row : 0;
    const ResultEntry& shown = displayEntry(selectedRow_);
    if (views_) views_->showFile(shown.path.c_str(), shown.lineNumber);
    keepSelectionVisible();
}

int32_t ResultStore::findDisplayRow(const std::string& path, int32_t lineNumber) const {
    for (int32_t row = 0; row < count(); ++row) {
        const ResultEntry& e = displayEntry(row);
        if (e.lineNumber == lineNumber && e.path == path) return row;
    }
    return -1;
}

void ResultStore::countKey(const ResultEntry& entry, int32_t delta) {
    if (!keyCountsKept_) return;
    auto it = keyCounts_.try_emplace(lineKeyHash(entry.path, entry.lineNumber), 0).first;
    it->second += delta;
    if (it->second == 0) keyCounts_.erase(it);
}

int32_t ResultStore::keyCount(const std::string& path, int32_t lineNumber) {
    // Counted from the first time a selection below row 0 needs them; a run
    // whose selection stays on row 0 never pays for them.
    if (!keyCountsKept_) {
        keyCountsKept_ = true;
        for (const ResultEntry* entry : rank_)
            countKey(*entry, +1);
    }
    auto it = keyCounts_.find(lineKeyHash(path, lineNumber));
    return it == keyCounts_.end() ? 0 : it->second;
}

void ResultStore::clearResults() {
    for (ResultEntry* entry : rank_)
        giveBack(entry);
    rank_.clear();
    keyCounts_.clear();
    keyCountsKept_ = false;
    rankIndexValid_ = 0;
    displayOrderValid_ = false;
    ensureDisplayOrder();
    selectedRow_ = -1;
    firstVisibleRow_ = 0;
    if (views_) views_->showFile("", 0);
    displayOrderValid_ = false;
    if (views_) views_->forgetRowCache();
}

// ---------------------------------------------------------------------------
// Display order and view state
// ---------------------------------------------------------------------------

void ResultStore::visitInRankOrder(
    const std::function<void(const char* path, int32_t position)>& visit) const {
    for (int32_t i = 0; i < count(); ++i)
        visit(rank_[i]->path.c_str(), i);
}

void ResultStore::ensureDisplayOrder() {
    if (displayOrderValid_) return;
    for (int32_t i = rankIndexValid_; i < count(); ++i)
        rank_[i]->rankIndex = i;
    rankIndexValid_ = count();
    if (byRank()) {
        // The rank order is the display order; displayEntry reads it directly.
        display_.clear();
    } else {
        display_.resize(rank_.size());
        for (size_t i = 0; i < rank_.size(); ++i)
            display_[i] = rank_[i];
        // Stable, so entries equal in every compared key stay in rank order.
        std::stable_sort(display_.begin(), display_.end(),
                         sortMode_ == ByFileName ? fileNameBefore : lineTextBefore);
    }
    displayOrderValid_ = true;
}

const ResultEntry& ResultStore::displayEntry(int32_t row) const {
    return byRank() ? *rank_[row] : *display_[row];
}

void ResultStore::setSortMode(int32_t mode) {
    int32_t rememberedRank = -1;
    if (selectedRow_ >= 0) {
        ensureDisplayOrder();
        rememberedRank = displayEntry(selectedRow_).rankIndex;
    }
    sortMode_ = mode;
    displayOrderValid_ = false;
    ensureDisplayOrder();

    if (rememberedRank >= 0) {
        int32_t row = -1;
        if (byRank()) {
            row = rememberedRank;
        } else {
            for (int32_t r = 0; r < count() && row < 0; ++r) {
                if (display_[r]->rankIndex == rememberedRank) row = r;
            }
        }
        if (row >= 0) {
            // Centre the same entry in the view, as near as the list's ends allow.
            selectedRow_ = row;
            int32_t top = row - visibleRows_ / 2;
            if (top > count() - visibleRows_ + 1) top = count() - visibleRows_ + 1;
            if (top < 0) top = 0;
            firstVisibleRow_ = top;
        }
    }
    if (views_) views_->repaintList();
}

void ResultStore::selectRow(int32_t row) {
    // Rows outside the list are ignored, so the selection always names an entry.
    if (row < 0 || row >= count()) return;
    ensureDisplayOrder();
    selectedRow_ = row;
    const ResultEntry& shown = displayEntry(row);
    if (views_) views_->showFile(shown.path.c_str(), shown.lineNumber);
}

void ResultStore::keepSelectionVisible() {
    // The selected row ends at most visibleRows - 2 rows below the top: the
    // last fully visible row when the bottom row is cut off. A pane of one
    // row (or none) keeps it in the top row, never below the view.
    const int32_t lowest = std::max(visibleRows_ - 2, 0);
    int32_t t = firstVisibleRow_;
    if (selectedRow_ < t) t = selectedRow_;
    if (selectedRow_ > t + lowest) t = selectedRow_ - lowest;
    if (t >= count() - visibleRows_ + 1) t = count() - visibleRows_ + 1;
    firstVisibleRow_ = t > 0 ? t : 0;
}

}  // namespace tarvo
