#include "engine/int_vector.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace tarvo {

int32_t nextCapacity(int32_t capacity) {
    if (capacity >= kMaxIntVectorCapacity) return 0;
    const int64_t next = int64_t{capacity} * 3 / 2;
    if (next == 0) return 1000;
    return static_cast<int32_t>(std::min<int64_t>(next, kMaxIntVectorCapacity));
}

bool IntVector::grow() {
    const int32_t next = nextCapacity(capacity_);
    if (next == 0) return false;
    std::unique_ptr<int32_t[]> storage(new (std::nothrow) int32_t[next]);
    if (!storage) return false;
    if (count_ > 0) std::memcpy(storage.get(), items_.get(), sizeof(int32_t) * count_);
    items_ = std::move(storage);
    capacity_ = next;
    return true;
}

int32_t IntVector::floorIndex(int32_t value) const {
    if (count_ == 0 || value < items_[0]) return -1;
    int32_t lo = 0;
    int32_t hi = count_ - 1;
    while (hi - lo > 1) {
        int32_t mid = (lo + hi) / 2;
        if (value < items_[mid]) {
            hi = mid;
        } else if (value > items_[mid]) {
            lo = mid;
        } else {
            return mid;
        }
    }
    if (lo < count_ - 1 && items_[lo + 1] <= value) return lo + 1;
    return lo;
}

}  // namespace tarvo
