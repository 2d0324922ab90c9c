#include "results/result_store.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <string_view>
#include <utility>

#include "results/results_pane_rules.h"

namespace tarvo {

namespace {

// ---------------------------------------------------------------------------
// Orders
// ---------------------------------------------------------------------------

uint8_t foldByte(char c) {
    uint8_t b = static_cast<uint8_t>(c);
    return (b >= 'A' && b <= 'Z') ? b + 32 : b;
}

}  // namespace

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

namespace {

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

template <class Entry>
bool fileNameBefore(const Entry* a, const Entry* b) {
    // 1. Path, ASCII letter case ignored.
    if (int c = compareFolded(a->path, b->path)) return c < 0;
    // 2. Smaller line number first.
    return a->lineNumber < b->lineNumber;
}

// The terminal tool's line order: by the line's text, which it shows whole.
bool lineTextBefore(const ResultEntry* a, const ResultEntry* b) {
    // 1. Line text, ASCII letter case ignored.
    if (int c = compareFolded(a->lineText, b->lineText)) return c < 0;
    // 2 and 3. Path, then line number, as in the file-name order.
    return fileNameBefore(a, b);
}

// The list's line order: by the text its rows show.
bool shownLineTextBefore(const StoredEntry* a, const StoredEntry* b) {
    // 1. Line text as the row shows it, ASCII letter case ignored.
    if (int c = compareShownLineText(*a, *b)) return c < 0;
    // 2 and 3. Path, then line number, as in the file-name order.
    return fileNameBefore(a, b);
}

uint64_t lineKeyHash(std::string_view path, int32_t lineNumber) {
    return std::hash<std::string_view>{}(path) ^
           (static_cast<uint64_t>(static_cast<uint32_t>(lineNumber)) * 0x9E3779B97F4A7C15ull);
}

}  // namespace

bool displayedBefore(SortMode sortMode, const ResultEntry& a, const ResultEntry& b) {
    if (sortMode == SortMode::ByFileName) return fileNameBefore(&a, &b);
    if (sortMode == SortMode::ByLineText) return lineTextBefore(&a, &b);
    return rankBefore(keyOf(a), keyOf(b));
}

ResultStore::DisplayOrder ResultStore::displayBefore() const {
    return sortMode_ == SortMode::ByFileName ? fileNameBefore<StoredEntry> : shownLineTextBefore;
}

ResultStore::ResultStore(ResultViews* views) : views_(views) {
    rank_.reserve(kMaxResults);
}

StoredEntry* ResultStore::takeEntry() {
    if (spare_.empty()) {
        entries_.push_back(std::make_unique<StoredEntry>());
        return entries_.back().get();
    }
    StoredEntry* entry = spare_.back();
    spare_.pop_back();
    return entry;
}

void ResultStore::giveBack(StoredEntry* entry) {
    spare_.push_back(entry);
}

// ---------------------------------------------------------------------------
// Insert
// ---------------------------------------------------------------------------

void ResultStore::addResult(int32_t score, const char* path, int32_t lineNumber,
                            std::string_view lineText, int32_t termColumn) {
    if (path == nullptr) path = "";

    // Full and worse than every kept line: nothing changes. Most lines of a
    // long run end here, after one comparison with the last entry.
    if (!entryBar(path).admits(score, lineNumber)) return;
    const RankKey key{score, path, lineNumber};
    const bool full = count() == kMaxResults;

    // The first entry the new one comes before. The rank order is sorted, so
    // the upper bound is exactly where a walk from the top would stop.
    auto at = std::upper_bound(
        rank_.begin(), rank_.end(), key,
        [](const RankKey& k, const StoredEntry* e) { return rankBefore(k, keyOf(*e)); });
    const int32_t p = static_cast<int32_t>(at - rank_.begin());

    // In rank order a selection below the first row stays on its file and
    // line, while row 0 is not remembered: it follows the best result. In a
    // file-name or line order the best result may land anywhere, so the
    // selection stays on its entry from every row, row 0 included: the
    // highlighted row and the preview never part.
    const StoredEntry* remembered = nullptr;
    const int32_t rememberedRow = selectedRow_;
    if (selectedRow_ >= (byRank() ? 1 : 0) && selectedRow_ < count()) {
        ensureDisplayOrder();
        remembered = &displayEntry(selectedRow_);
    }

    // Full: the worst line makes room. It goes back to the spares only at
    // the end of this call because the remembered selection may be that
    // very line.
    StoredEntry* released = nullptr;
    if (full) {
        released = rank_.back();
        rank_.pop_back();
        countKey(*released, -1);
    }

    StoredEntry* entry = takeEntry();
    entry->score = score;
    entry->path = path;
    entry->lineNumber = lineNumber;
    entry->lineText = lineText;
    entry->termColumn = termColumn;
    entry->cut = lineTerms_ ? lineCut(entry->lineText, *lineTerms_, lineWidth_) : LineCut{};
    entry->shownFrom = shownFrom(entry->cut, lineColumnWidth_);
    countKey(*entry, +1);
    rank_.insert(rank_.begin() + p, entry);
    rankIndexValid_ = std::min(rankIndexValid_, p);
    displayOrderValid_ = false;

    if (byRank()) {
        followSelection(p, remembered, rememberedRow, released);
    } else {
        keepSelectedEntry(entry, remembered, released);
    }
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

// After an insert at rank position p: the selection follows the
// best line from row 0, or stays on its file and line from a lower row.
void ResultStore::followSelection(int32_t p, const StoredEntry* remembered, int32_t rememberedRow,
                                  const StoredEntry* released) {
    if (selectedRow_ == -1 || (selectedRow_ == 0 && p == 0)) {
        // The first line of the run, or a new best under a selection on row 0.
        ensureDisplayOrder();
        selectedRow_ = 0;
        const StoredEntry& shown = displayEntry(0);
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
    const StoredEntry& shown = displayEntry(selectedRow_);
    if (views_) views_->showFile(shown.path.c_str(), shown.lineNumber);
    keepSelectionVisible();
}

// A file-name or line order after an insert: the new line is put in its
// place (after the lines it equals) rather than sorted in with all the rest,
// and the selection follows its entry to wherever that now stands.
void ResultStore::keepSelectedEntry(StoredEntry* entry, const StoredEntry* selected,
                                    const StoredEntry* released) {
    if (displaySorted_) {
        if (released != nullptr)
            display_.erase(std::find(display_.begin(), display_.end(), released));
        display_.insert(std::upper_bound(display_.begin(), display_.end(), entry, displayBefore()),
                        entry);
    }
    if (selected == nullptr || selected == released) {
        // The first line of the run, or the selected line made room: row 0.
        selectedRow_ = 0;
        ensureDisplayOrder();
        const StoredEntry& shown = displayEntry(0);
        if (views_) views_->showFile(shown.path.c_str(), shown.lineNumber);
        if (selected != nullptr) keepSelectionVisible();
        return;
    }
    // The selected entry is unchanged and so is what the preview shows.
    selectedRow_ = static_cast<int32_t>(std::find(display_.begin(), display_.end(), selected) -
                                        display_.begin());
    keepSelectionVisible();
}

int32_t ResultStore::findDisplayRow(const std::string& path, int32_t lineNumber) const {
    for (int32_t row = 0; row < count(); ++row) {
        const StoredEntry& e = displayEntry(row);
        if (e.lineNumber == lineNumber && e.path == path) return row;
    }
    return -1;
}

void ResultStore::countKey(const StoredEntry& entry, int32_t delta) {
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
        for (const StoredEntry* entry : rank_)
            countKey(*entry, +1);
    }
    auto it = keyCounts_.find(lineKeyHash(path, lineNumber));
    return it == keyCounts_.end() ? 0 : it->second;
}

void ResultStore::clearResults() {
    for (StoredEntry* entry : rank_)
        giveBack(entry);
    rank_.clear();
    display_.clear();
    displaySorted_ = false;
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
    } else if (!displaySorted_) {
        display_.assign(rank_.begin(), rank_.end());
        // Stable, so entries equal in every compared key stay in rank order.
        std::stable_sort(display_.begin(), display_.end(), displayBefore());
        displaySorted_ = true;
    }
    displayOrderValid_ = true;
}

const StoredEntry& ResultStore::displayEntry(int32_t row) const {
    return byRank() ? *rank_[row] : *display_[row];
}

void ResultStore::setSortMode(SortMode mode) {
    int32_t rememberedRank = -1;
    if (selectedRow_ >= 0) {
        ensureDisplayOrder();
        rememberedRank = displayEntry(selectedRow_).rankIndex;
    }
    sortMode_ = mode;
    displayOrderValid_ = false;
    displaySorted_ = false;
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
            firstVisibleRow_ = clampFirstVisibleRow(row - visibleRows_ / 2, count(), visibleRows_);
        }
    }
    if (views_) views_->repaintList();
}

void ResultStore::setLineColumn(const TermTable* terms, WidthFunction width) {
    lineTerms_ = terms;
    lineWidth_ = std::move(width);
}

bool ResultStore::setLineColumnWidth(int32_t width) {
    if (width == lineColumnWidth_) return false;
    lineColumnWidth_ = width;
    return updateShownText(false);
}

bool ResultStore::remeasureLineColumn() {
    return updateShownText(true);
}

bool ResultStore::updateShownText(bool remeasure) {
    bool changed = false;
    for (StoredEntry* entry : rank_) {
        if (remeasure && lineTerms_) entry->cut = lineCut(entry->lineText, *lineTerms_, lineWidth_);
        const int32_t from = shownFrom(entry->cut, lineColumnWidth_);
        changed |= from != entry->shownFrom;
        entry->shownFrom = from;
    }
    if (changed && sortMode_ == SortMode::ByLineText) {
        const StoredEntry* selected = nullptr;
        if (selectedRow_ >= 0) {
            ensureDisplayOrder();
            selected = &displayEntry(selectedRow_);
        }
        displaySorted_ = false;
        displayOrderValid_ = false;
        ensureDisplayOrder();
        if (selected != nullptr) {
            selectedRow_ = static_cast<int32_t>(
                std::find(display_.begin(), display_.end(), selected) - display_.begin());
            keepSelectionVisible();
        }
    }
    return changed;
}

void ResultStore::selectRow(int32_t row) {
    // Rows outside the list are ignored, so the selection always names an entry.
    if (row < 0 || row >= count()) return;
    ensureDisplayOrder();
    selectedRow_ = row;
    const StoredEntry& shown = displayEntry(row);
    if (views_) views_->showFile(shown.path.c_str(), shown.lineNumber);
}

void ResultStore::keepSelectionVisible() {
    // The selected row ends at most visibleRows - 2 rows below the top: the
    // last fully visible row when the bottom row is cut off. A pane of one
    // row (or none) keeps it in the top row, never below the view.
    const int32_t lowest = std::max(visibleRows_ - 2, 0);
    int32_t top = firstVisibleRow_;
    if (selectedRow_ < top) top = selectedRow_;
    if (selectedRow_ > top + lowest) top = selectedRow_ - lowest;
    firstVisibleRow_ = clampFirstVisibleRow(top, count(), visibleRows_);
}

}  // namespace tarvo
