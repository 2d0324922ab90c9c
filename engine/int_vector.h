// A growable array of signed 32-bit integers with a fixed growth rule
// (1000, then x 3 / 2). The scanner, the scorer and the preview keep their
// line tables in it; storage grows and is never given back until the vector
// itself goes, so the per-file tables stop allocating once warmed up.
// Indexes are not bounds-tested: callers keep them in range.
#pragma once

#include <cstdint>
#include <memory>

namespace tarvo {

class IntVector {
public:
    IntVector() = default;
    IntVector(const IntVector&) = delete;
    IntVector& operator=(const IntVector&) = delete;

    void clear() { count_ = 0; }
    int32_t get(int32_t index) const { return items_[index]; }
    int32_t size() const { return count_; }
    int32_t capacity() const { return capacity_; }
    bool empty() const { return count_ == 0; }
    int32_t last() const { return items_[count_ - 1]; }
    const int32_t* data() const { return items_.get(); }

    void push(int32_t value) {
        if (count_ == capacity_) grow();
        items_[count_++] = value;
    }

    // Appends unless the last integer already is the value: consecutive
    // occurrences on one line are stored once, so lists stay ascending
    // and distinct without searching.
    void pushIfNotLast(int32_t value) {
        if (count_ > 0 && items_[count_ - 1] == value) return;
        push(value);
    }

    // Inserts just after floorIndex(value) (at the front when that is -1).
    // Duplicates are not refused.
    void insertSorted(int32_t value);

    bool contains(int32_t value) const {
        int32_t index = floorIndex(value);
        return index != -1 && items_[index] == value;
    }

    // For an ascending vector: -1 when empty or when the value is below the
    // first integer; else the index of the last integer not greater than the
    // value (with repeats, possibly another index holding the value).
    int32_t floorIndex(int32_t value) const;

private:
    void grow();

    std::unique_ptr<int32_t[]> items_;  // capacity_ integers; null while 0
    int32_t count_ = 0;                 // integers in use
    int32_t capacity_ = 0;              // integers the storage holds
};

}  // namespace tarvo
