// Room results/: the result store, which implements the engine's sink, and
// the results list's rules (portable); the results pane object (Win32).
// Includes view/ and engine/; never preview/. Reaches the views only
// through its listener.
//
// The scored lines of the current search, best first, and the view state
// that ties the rank order to what the list shows: display order by the
// chosen column, the selected row, the first visible row.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/result_sink.h"

namespace tarvo {

enum SortMode : int32_t { ByRank = 1, ByFileName = 2, ByLineText = 3 };

struct ResultEntry {
    int32_t rankIndex = 0;  // rank-order position; valid after ensureDisplayOrder
    int32_t score = 0;      // -1 for a file-name entry
    std::string path;
    int32_t lineNumber = 0;  // 1-based; 0 for a file-name entry
    std::string lineText;    // at most 150 bytes; empty for a file-name entry
};

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
    void setViews(ResultViews* views) { views_ = views; }

    void addResult(int32_t score, const char* path, int32_t lineNumber,
                   const char* lineText) override;
    EntryBar entryBar(const char* path) const override;
    void clearResults() override;
    void ensureDisplayOrder();
    void setSortMode(int32_t mode);
    void selectRow(int32_t row);
    void keepSelectionVisible();

    void visitInRankOrder(
        const std::function<void(const char* path, int32_t position)>& visit) const override;

    int32_t count() const { return static_cast<int32_t>(rank_.size()); }
    // The display-order entry at a row; call ensureDisplayOrder first.
    const ResultEntry& displayEntry(int32_t row) const;
    const ResultEntry& rankEntry(int32_t position) const { return *rank_[position]; }

    int32_t sortMode() const { return sortMode_; }
    // Sets the mode without re-sorting or repainting (settings load).
    void restoreSortMode(int32_t mode) {
        sortMode_ = mode;
        displayOrderValid_ = false;
    }
    int32_t selectedRow() const { return selectedRow_; }
    int32_t firstVisibleRow() const { return firstVisibleRow_; }
    void setFirstVisibleRow(int32_t row) { firstVisibleRow_ = row; }
    int32_t visibleRows() const { return visibleRows_; }
    void setVisibleRows(int32_t rows) { visibleRows_ = rows; }
    bool displayOrderValid() const { return displayOrderValid_; }

private:
    bool byRank() const { return sortMode_ != ByFileName && sortMode_ != ByLineText; }
    int32_t findDisplayRow(const std::string& path, int32_t lineNumber) const;
    void countKey(const ResultEntry& entry, int32_t delta);
    int32_t keyCount(const std::string& path, int32_t lineNumber);

    void followSelection(int32_t p, const ResultEntry* remembered, int32_t rememberedRow,
                         const ResultEntry* released);
    ResultEntry* takeEntry();
    void giveBack(ResultEntry* entry);

    ResultViews* views_;
    // Rank order: handles to entries, so an insert moves pointers (one
    // memmove), never the entries themselves.
    std::vector<ResultEntry*> rank_;
    // Every entry ever made, owned here; the ones not in rank_ wait in
    // spare_ with their text storage, so a full store replacing its worst
    // line allocates nothing.
    std::vector<std::unique_ptr<ResultEntry>> entries_;
    std::vector<ResultEntry*> spare_;
    // Display order for ByFileName and ByLineText; ByRank reads rank_ directly.
    std::vector<ResultEntry*> display_;
    int32_t sortMode_ = ByRank;
    bool displayOrderValid_ = false;
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
