// The scored lines of the current search, best first, and the view state
// that ties the rank order to what the list shows: display order by the
// chosen column, the selected row, the first visible row.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/result_sink.h"
#include "results/line_column.h"
#include "results/sort_mode.h"

namespace tarvo {

struct ResultEntry {
    int32_t rankIndex = 0;  // rank-order position; valid after ensureDisplayOrder
    int32_t score = 0;      // -1 for a file-name entry
    std::string path;
    int32_t lineNumber = 0;  // 1-based; 0 for a file-name entry
    std::string lineText;    // at most 150 bytes; empty for a file-name entry
    int32_t termColumn = 0;  // the line's first term, in the whole line (see ResultSink)
};

// An entry as the store keeps it: with how the list's Line column shows its
// line (line_column.h).
struct StoredEntry : ResultEntry {
    LineCut cut;            // where the Line column would cut it, measured once
    int32_t shownFrom = 0;  // the Line column shows lineText from here
};

// Negative, zero or positive as a sorts before, with or after b. Only A-Z
// fold; every other byte compares by its unsigned value; a prefix sorts first.
int compareFolded(std::string_view a, std::string_view b);

// Whether `a` shows before `b` when the terminal tool sorts by `sortMode`
// (any mode but by file name and by line text sorts by rank); it shows every
// line whole. Entries equal in every key keep their order under a stable
// sort.
bool displayedBefore(SortMode sortMode, const ResultEntry& a, const ResultEntry& b);

// What the store needs of the views: the preview pane and the results pane.
class ResultViews {
public:
    virtual void showFile(const char* path, int32_t lineNumber) = 0;
    virtual void repaintList() = 0;     // paint the pane through its kept DC
    virtual void forgetRowCache() = 0;  // every row is drawn afresh next time
protected:
    ~ResultViews() = default;
};

class ResultStore final : public ResultSink {
public:
    explicit ResultStore(ResultViews* views = nullptr);

    void addResult(int32_t score, const char* path, int32_t lineNumber, std::string_view lineText,
                   int32_t termColumn = 0) override;
    EntryBar entryBar(const char* path) const override;
    void clearResults() override;
    void ensureDisplayOrder();
    void setSortMode(SortMode mode);
    void selectRow(int32_t row);
    void keepSelectionVisible();

    // How the Line column shows a line: the terms it marks, and `width`,
    // which measures text as the list draws it. Without them (the terminal
    // tool, tests) every row shows its line from the start.
    void setLineColumn(const TermTable* terms, WidthFunction width);
    // The Line column's width in pixels. Rows whose first term would end
    // beyond it show from shortly before that term; sorted by Line, the list
    // is sorted again, the selection kept on its entry. Returns whether a
    // row's text changed.
    bool setLineColumnWidth(int32_t width);
    // Measures every row's line again, as after a change of font or tab
    // width; returns whether a row's text changed.
    bool remeasureLineColumn();

    void visitInRankOrder(
        const std::function<void(const char* path, int32_t position)>& visit) const override;

    int32_t count() const { return static_cast<int32_t>(rank_.size()); }
    // The display-order entry at a row; call ensureDisplayOrder first.
    const StoredEntry& displayEntry(int32_t row) const;
    const StoredEntry& rankEntry(int32_t position) const { return *rank_[position]; }

    SortMode sortMode() const { return sortMode_; }
    // Sets the mode without re-sorting or repainting (settings load).
    void restoreSortMode(SortMode mode) {
        sortMode_ = mode;
        displayOrderValid_ = false;
        displaySorted_ = false;
    }
    int32_t selectedRow() const { return selectedRow_; }
    int32_t firstVisibleRow() const { return firstVisibleRow_; }
    void setFirstVisibleRow(int32_t row) { firstVisibleRow_ = row; }
    int32_t visibleRows() const { return visibleRows_; }
    void setVisibleRows(int32_t rows) { visibleRows_ = rows; }

private:
    bool byRank() const {
        return sortMode_ != SortMode::ByFileName && sortMode_ != SortMode::ByLineText;
    }
    // The comparator of the file-name or the line order, whichever is on.
    using DisplayOrder = bool (*)(const StoredEntry*, const StoredEntry*);
    DisplayOrder displayBefore() const;
    int32_t findDisplayRow(const std::string& path, int32_t lineNumber) const;
    void countKey(const StoredEntry& entry, int32_t delta);
    int32_t keyCount(const std::string& path, int32_t lineNumber);

    // Sets every row's shownFrom for the Line column's width, measuring
    // its line first when `remeasure`; returns whether one changed.
    bool updateShownText(bool remeasure);
    void followSelection(int32_t p, const StoredEntry* remembered, int32_t rememberedRow,
                         const StoredEntry* released);
    void keepSelectedEntry(StoredEntry* entry, const StoredEntry* selected,
                           const StoredEntry* released);
    StoredEntry* takeEntry();
    void giveBack(StoredEntry* entry);

    ResultViews* views_;
    const TermTable* lineTerms_ = nullptr;  // the Line column's: see setLineColumn
    WidthFunction lineWidth_;
    int32_t lineColumnWidth_ = 0;  // 0 until the pane is first sized
    // Rank order: handles to entries, so an insert moves pointers (one
    // memmove), never the entries themselves.
    std::vector<StoredEntry*> rank_;
    // Every entry ever made, owned here; the ones not in rank_ wait in
    // spare_ with their text storage, so a full store replacing its worst
    // line allocates nothing.
    std::vector<std::unique_ptr<StoredEntry>> entries_;
    std::vector<StoredEntry*> spare_;
    // Display order for ByFileName and ByLineText; ByRank reads rank_ directly.
    std::vector<StoredEntry*> display_;
    SortMode sortMode_ = SortMode::ByRank;
    // The display order and every rankIndex are current.
    bool displayOrderValid_ = false;
    // display_ holds every entry in the order of a file-name or line sort:
    // a new line is then put in its place, not sorted in with all the rest.
    // False after every change of mode; meaningless in rank order.
    bool displaySorted_ = false;
    int32_t selectedRow_ = -1;  // -1 exactly when count is 0
    int32_t firstVisibleRow_ = 0;
    int32_t visibleRows_ = 0;  // written only by the pane's painting
    // rank_[0 .. rankIndexValid_-1] already carry their position in rankIndex,
    // so a rebuild rewrites only the entries an insert shifted.
    int32_t rankIndexValid_ = 0;
    // How many entries share each (path, line) key hash. When the selected
    // line is the only holder of its key, its new row follows from the insert
    // position without scanning the list for the first match.
    std::unordered_map<uint64_t, int32_t> keyCounts_;
    bool keyCountsKept_ = false;  // keyCounts_ is filled and kept up to date
};

}  // namespace tarvo
