#include "engine/file_memory.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "engine/path_hash.h"
#include "engine/result_sink.h"
#include "engine/term_table.h"

namespace tarvo {

namespace {

constexpr int32_t kDecayPerRun = 10;          // a file credited once leads for 99 runs
constexpr int32_t kBestCredit = 1000;         // the best result's file; the next one less
constexpr int64_t kKeyPerPathTerm = 1000000;  // a term in the path outweighs any priority

}  // namespace

// ---------------------------------------------------------------------------
// Table and hash index
// ---------------------------------------------------------------------------

size_t FileMemory::homeSlot(uint32_t hash) const {
    // Fibonacci hashing takes the well-mixed high bits of the product; the
    // path hash's own low bits vary little between similar paths.
    return static_cast<size_t>((hash * 2654435769u) >> (32 - slotBits_));
}

size_t FileMemory::slotOf(int32_t index) const {
    const size_t mask = slots_.size() - 1;
    size_t s = homeSlot(entries_[index].hash);
    while (slots_[s].index != index)
        s = (s + 1) & mask;
    return s;
}

void FileMemory::insertSlot(int32_t index) {
    const size_t mask = slots_.size() - 1;
    size_t s = homeSlot(entries_[index].hash);
    while (slots_[s].index >= 0)
        s = (s + 1) & mask;
    slots_[s] = {index, entries_[index].hash};
}

void FileMemory::eraseSlot(size_t hole) {
    // Backward-shift deletion: every later slot of the same run whose home
    // does not lie cyclically in (hole, j] moves up into the hole, so each
    // entry stays reachable from its home without tombstones.
    const size_t mask = slots_.size() - 1;
    size_t j = hole;
    for (;;) {
        j = (j + 1) & mask;
        const Slot slot = slots_[j];
        if (slot.index < 0) break;
        const size_t home = homeSlot(slot.hash);
        const bool staysPut = hole <= j ? (hole < home && home <= j) : (hole < home || home <= j);
        if (!staysPut) {
            slots_[hole] = slot;
            hole = j;
        }
    }
    slots_[hole] = kEmptySlot;
}

void FileMemory::rebuildIndex() {
    int32_t bits = 1;
    while ((size_t{1} << bits) < 2 * static_cast<size_t>(capacity_))
        ++bits;
    slotBits_ = bits;
    slots_.assign(size_t{1} << bits, kEmptySlot);
    for (int32_t i = 0; i < count(); ++i)
        insertSlot(i);
}

void FileMemory::grow() {
    capacity_ = std::min(capacity_ + kFileMemoryGrowth, kMaxRememberedFiles);
    // The table grows by fixed steps, but the storage behind it doubles, so
    // adding a file never costs a copy of the whole table on average.
    if (entries_.capacity() < static_cast<size_t>(capacity_)) {
        size_t storage = std::max(static_cast<size_t>(capacity_), 2 * entries_.capacity());
        entries_.reserve(std::min(storage, static_cast<size_t>(kMaxRememberedFiles)));
    }
    if (slots_.size() < 2 * static_cast<size_t>(capacity_)) rebuildIndex();
}

int32_t FileMemory::findHashed(const char* path, uint32_t hash) const {
    if (slots_.empty()) return -1;
    const size_t mask = slots_.size() - 1;
    // The slot's own copy of the hash turns most other paths away without
    // reaching into the table.
    for (size_t s = homeSlot(hash); slots_[s].index >= 0; s = (s + 1) & mask) {
        if (slots_[s].hash == hash && entries_[slots_[s].index].path == path)
            return slots_[s].index;
    }
    return -1;
}

int32_t FileMemory::find(const char* path) const {
    uint32_t hash;
    return find(path, hash);
}

int32_t FileMemory::find(const char* path, uint32_t& hash) const {
    if (path == nullptr) return -1;
    // The scanner asks after one file several times in a row (searched?,
    // add, mark): the entry found last answers them without a hash and a
    // probe into a table too large for the cache. Paths are unique in the
    // table, so an entry holding the path is the answer wherever it moved.
    if (lastFound_ < count() && entries_[lastFound_].path == path) {
        hash = entries_[lastFound_].hash;
        return lastFound_;
    }
    hash = pathHash(path);
    const int32_t index = findHashed(path, hash);
    if (index >= 0) lastFound_ = index;
    return index;
}

void FileMemory::add(const char* path, int32_t priority) {
    uint32_t hash;
    if (path == nullptr || find(path, hash) >= 0) return;
    if (count() == capacity_) {
        // At the cap the file is not remembered; the scanner still reads it.
        if (capacity_ >= kMaxRememberedFiles) return;
        grow();
    }
    FileMemoryEntry& e = entries_.emplace_back();
    e.path = path;
    e.hash = hash;
    e.priority = priority;
    insertSlot(count() - 1);
    lastFound_ = count() - 1;
}

void FileMemory::remove(const char* path) {
    const int32_t index = find(path);
    if (index < 0) return;
    eraseSlot(slotOf(index));
    // The last entry moves into the hole: table order changes as specified.
    const int32_t last = count() - 1;
    if (index != last) {
        slots_[slotOf(last)].index = index;
        entries_[index] = std::move(entries_[last]);
    }
    entries_.pop_back();
}

void FileMemory::clear() {
    entries_.clear();
    std::fill(slots_.begin(), slots_.end(), kEmptySlot);
    ++clearCount_;
}

// ---------------------------------------------------------------------------
// Per-run flags
// ---------------------------------------------------------------------------

bool FileMemory::isSearched(const char* path) const {
    const int32_t index = find(path);
    return index >= 0 && entries_[index].searched;
}

void FileMemory::markSearched(const char* path) {
    const int32_t index = find(path);
    if (index >= 0) entries_[index].searched = true;
}

void FileMemory::markBinary(const char* path) {
    const int32_t index = find(path);
    if (index < 0) return;
    entries_[index].priority = -1;
    entries_[index].binary = true;
}

// ---------------------------------------------------------------------------
// Crediting and the search-start pass
// ---------------------------------------------------------------------------

void FileMemory::credit(const char* path, int32_t position) {
    if (position == 0) creditCounter_ = kBestCredit;
    const int32_t index = find(path);
    if (index < 0 || entries_[index].credited) return;
    FileMemoryEntry& e = entries_[index];
    const int32_t c = creditCounter_;
    if (c > 0 && c > e.priority) e.priority = c;
    // Keeps counting below 0, so from the 1001st distinct file nothing rises.
    creditCounter_ = c - 1;
    e.credited = true;
}

void FileMemory::creditResults(const ResultSink& results) {
    results.visitInRankOrder(
        [this](const char* path, int32_t position) { credit(path, position); });
}

void FileMemory::rememberedFilesPass(const TermTable& terms,
                                     const std::function<void(const char*)>& scanFile,
                                     const std::function<bool(const char*)>& inScope) {
    // Keys are 64-bit: a priority taken as read from the settings file plus
    // 100 path terms x 1,000,000 would overflow 32 bits.
    struct OrderRecord {
        int32_t index;
        int64_t key;
    };
    // Keys are never negative (priorities decay to 0 at the lowest), and the
    // pass stops at the first key 0, so only the positive keys are ordered:
    // in a large memory most files have decayed to 0 and need no sorting.
    std::vector<OrderRecord> order;
    for (int32_t i = 0; i < count(); ++i) {
        FileMemoryEntry& e = entries_[i];
        e.searched = e.binary;  // binary files stay skipped for the whole run
        e.credited = false;
        if (inScope && !inScope(e.path.c_str())) continue;
        e.priority = e.priority > kDecayPerRun ? e.priority - kDecayPerRun : 0;
        const int64_t key = terms.countTermsIn(e.path.c_str()) * kKeyPerPathTerm + e.priority;
        if (key > 0) order.push_back({i, key});
    }
    std::sort(order.begin(), order.end(), [](const OrderRecord& a, const OrderRecord& b) {
        return a.key != b.key ? a.key > b.key : a.index < b.index;
    });

    // The paths are taken first: a scan that cannot open its file removes it,
    // which moves the last entry and would change what an index names.
    std::vector<std::string> paths;
    paths.reserve(order.size());
    for (const OrderRecord& r : order)
        paths.push_back(entries_[r.index].path);
    const uint64_t clearsAtStart = clearCount_;
    for (const std::string& path : paths) {
        // Emptied from inside the pump (an option toggle): the pass is over.
        if (clearCount_ != clearsAtStart) return;
        scanFile(path.c_str());
    }
}

std::vector<int32_t> FileMemory::indexesToSave() const {
    // The keys lie side by side, so the sort never reaches into the
    // entries. In a large memory most files have decayed to 0: they are not
    // sorted.
    std::vector<uint64_t> keys;
    for (int32_t i = 0; i < count(); ++i) {
        if (entries_[i].priority > 0)
            keys.push_back(priorityOrderKey(entries_[i].priority, static_cast<uint32_t>(i)));
    }
    std::sort(keys.begin(), keys.end());
    std::vector<int32_t> order(keys.size());
    for (size_t i = 0; i < keys.size(); ++i)
        order[i] = static_cast<int32_t>(placeInOrderKey(keys[i]));
    return order;
}

}  // namespace tarvo
