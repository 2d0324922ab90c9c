// A growable array of signed 32-bit integers with a fixed growth rule
// (1000, then x 3 / 2). The scanner and the scorer keep the lines of each
// term in it, the preview its line tables; storage grows and is never given
// back until the vector itself goes, so they stop allocating once warmed up.
// Indexes are not bounds-tested: callers keep them in range.
//
// Growing can fail: at the cap, or when the storage cannot be had. Then
// nothing is appended and push says so, and the caller gives up on what it
// was building (the scanner leaves the file uncounted) instead of the
// process aborting.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>

namespace tarvo {

// Counts and indexes are 32-bit signed, so no vector holds more.
inline constexpr int32_t kMaxIntVectorCapacity = INT32_MAX;

// The capacity after `capacity`: 1000 for an empty vector, then x 3 / 2
// worked out in 64 bits and held to kMaxIntVectorCapacity; 0 when the
// vector is at the cap and cannot grow.
int32_t nextCapacity(int32_t capacity);

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

    // False, appending nothing, when the storage could not grow.
    [[nodiscard]] bool push(int32_t value) {
        if (count_ == capacity_ && !grow()) return false;
        items_[count_++] = value;
        return true;
    }

    // Removes `count` integers from `index` on, moving the later ones down.
    void erase(int32_t index, int32_t count) {
        std::memmove(items_.get() + index, items_.get() + index + count,
                     sizeof(int32_t) * static_cast<size_t>(count_ - index - count));
        count_ -= count;
    }

    // For an ascending vector: -1 when empty or when the value is below the
    // first integer; else the index of the last integer not greater than the
    // value (with repeats, possibly another index holding the value).
    int32_t floorIndex(int32_t value) const;

private:
    bool grow();

    std::unique_ptr<int32_t[]> items_;  // capacity_ integers; null while 0
    int32_t count_ = 0;                 // integers in use
    int32_t capacity_ = 0;              // integers the storage holds
};

}  // namespace tarvo
