// The file priority memory: every file the scanner opened, with a priority
// that decides which files the next search reads first.
//
// Model. After a run the files of the results are credited in rank order of
// their best result: the best file to at least 1000, the next distinct file
// to at least 999, and so on (a file is credited once; priorities are only
// raised). At the start of every run all priorities decay by 10. The run
// then first scans the remembered files whose path holds query terms or
// whose priority is still positive, ordered by
//     key = terms in path x 1,000,000 + priority   (greater first, ties by table order)
// and stops at the first key 0.
//
// Worked example: results in rank order from files A, B, A, C with A, B, C
// at priority 0, 1000, 0. A becomes 1000 (counter 999); B stays 1000 since
// 999 is not above it (counter 998); the second A changes nothing; C becomes
// 998. At the next run's start they decay to 990, 990 and 988.
//
// Saved rows (settings file): "%d %s\n", priority then path, best first,
// stopping at the first priority of 0 or less (binary files, at -1, sort last).
//
// The table keeps insertion order; removing an entry moves the last entry
// into its place. A hash index beside the table makes find O(1) without
// changing any observable order.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tarvo {

class ResultSink;
class TermTable;

inline constexpr int32_t kFileMemoryGrowth = 10000;
inline constexpr int32_t kMaxRememberedFiles = 1000000;  // the table never grows past this

struct FileMemoryEntry {
    std::string path;
    uint32_t hash = 0;
    int32_t priority = 0;   // 0 new; up to 1000 by crediting; -1 binary
    bool searched = false;  // opened by the scanner in the current run
    bool binary = false;    // a NUL byte while Skip Binary Files was on
    bool credited = false;  // raised by the current crediting
};

// Rows ordered highest priority first, ties by their place, as one number
// each, so that a plain sort of the numbers orders them: the priority turned
// in the high half, the place in the low half.
inline uint64_t priorityOrderKey(int32_t priority, uint32_t place) {
    return uint64_t{static_cast<uint32_t>(int64_t{INT32_MAX} - priority)} << 32 | place;
}
inline uint32_t placeInOrderKey(uint64_t key) {
    return static_cast<uint32_t>(key);
}

class FileMemory {
public:
    int32_t find(const char* path) const;
    // Appends when absent; an existing entry keeps its priority. At the
    // cap (kMaxRememberedFiles) a new file is not remembered: the scanner
    // still reads it, it just cannot be marked searched or credited.
    void add(const char* path, int32_t priority);
    void remove(const char* path);
    void clear();

    bool isSearched(const char* path) const;
    void markSearched(const char* path);
    void markBinary(const char* path);

    void credit(const char* path, int32_t position);
    void creditResults(const ResultSink& results);

    // Decays, orders and scans the remembered files through `scanFile`.
    // Ends at once when the memory is emptied from inside a scan. With
    // `inScope` given, a file it refuses is neither decayed nor scanned: it
    // belongs to other searches and keeps its priority for them.
    void rememberedFilesPass(const TermTable& terms,
                             const std::function<void(const char*)>& scanFile,
                             const std::function<bool(const char*)>& inScope = {});

    int32_t count() const { return static_cast<int32_t>(entries_.size()); }
    int32_t capacity() const { return capacity_; }
    const FileMemoryEntry& entry(int32_t index) const { return entries_[index]; }

    // Table indexes of the files worth remembering (priority above 0),
    // highest priority first, ties by index: the rows the settings file
    // writes, in its order.
    std::vector<int32_t> indexesToSave() const;

private:
    // find, handing back the path's hash (for an absent path too).
    int32_t find(const char* path, uint32_t& hash) const;
    int32_t findHashed(const char* path, uint32_t hash) const;
    void grow();
    // Hash index over entry indexes: linear probing from a slot chosen by
    // the entry's stored hash; removal shifts later slots back, so no
    // tombstones build up across many add/remove cycles.
    size_t homeSlot(uint32_t hash) const;
    size_t slotOf(int32_t index) const;
    void insertSlot(int32_t index);
    void eraseSlot(size_t hole);
    void rebuildIndex();

    std::vector<FileMemoryEntry> entries_;
    int32_t capacity_ = 0;       // grows by kFileMemoryGrowth up to kMaxRememberedFiles
    int32_t creditCounter_ = 0;  // the credit the next distinct file of the results gets
    uint64_t clearCount_ = 0;    // lets a running pass notice a clear
    struct Slot {
        int32_t index;  // entry index, or -1 for an empty slot
        uint32_t hash;  // that entry's hash
    };
    static constexpr Slot kEmptySlot = {-1, 0};
    std::vector<Slot> slots_;        // at least twice the capacity
    mutable int32_t lastFound_ = 0;  // the entry find returned last (maybe gone since)
    int32_t slotBits_ = 0;           // slots_.size() == 1 << slotBits_
};

}  // namespace tarvo
