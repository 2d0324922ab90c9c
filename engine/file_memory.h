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
//
// Stored paths. A path is kept as its folder and its name: each folder's
// text once (up to and with its last separator), and for each entry a
// record of the folder's number and the name. The files of a tree share
// their folders, so this takes a fifth of the whole paths' bytes on a
// source tree (folders are about 70 bytes, names 14). Records and folders
// lie end to end in blocks of text beside the table rather than in one
// allocation each: a large memory loads without an allocation per row.
// Where the path is split changes nothing that can be seen: paths are
// compared, hashed and handed out whole.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tarvo {

class ResultSink;
class TermTable;

inline constexpr int32_t kFileMemoryGrowth = 10000;
inline constexpr int32_t kMaxRememberedFiles = 1000000;  // the table never grows past this

struct FileMemoryEntry {
    uint64_t pathAt = 0;  // the place of its path's record in the memory's text
    uint32_t hash = 0;
    int32_t priority = 0;   // 0 new; up to 1000 by crediting; -1 binary
    bool binary = false;    // a NUL byte while Skip Binary Files was on
    bool credited = false;  // raised by the current crediting
};

// Orders `items` highest priority first, ties kept in the order they
// stand: the memory's one order, for the rows a file loads and the rows a
// save writes. Counting passes over 11-bit digits of the priority turned
// around, so a memory of a million rows is ordered in linear time; a digit
// every item shares needs no pass, so priorities a save wrote (1 to 1000)
// take one.
template <class T, class PriorityOf>
void orderByPriority(std::vector<T>& items, PriorityOf priorityOf) {
    constexpr int kDigitBits = 11;
    constexpr uint32_t kDigits = 1u << kDigitBits;
    auto turned = [&](const T& item) {
        return static_cast<uint32_t>(int64_t{INT32_MAX} - int32_t{priorityOf(item)});
    };
    std::vector<T> sorted;
    std::vector<size_t> at(kDigits);
    for (int shift = 0; shift < 32; shift += kDigitBits) {
        std::fill(at.begin(), at.end(), 0);
        for (const T& item : items)
            ++at[turned(item) >> shift & (kDigits - 1)];
        if (std::find(at.begin(), at.end(), items.size()) != at.end()) continue;
        sorted.resize(items.size());
        size_t next = 0;
        for (size_t& a : at)
            next += std::exchange(a, next);
        for (const T& item : items)
            sorted[at[turned(item) >> shift & (kDigits - 1)]++] = item;
        items.swap(sorted);
    }
}

class FileMemory {
public:
    int32_t find(const char* path) const;
    // Appends when absent; an existing entry keeps its priority. At the
    // cap (kMaxRememberedFiles) a new file is not remembered: the scanner
    // still reads it, it just cannot be marked searched or credited.
    void add(const char* path, int32_t priority);
    // A row read from a settings file: its path kept by keepPath, with the
    // path's hash.
    struct Row {
        int32_t priority;
        uint32_t hash;
        uint64_t pathAt;
    };
    // Keeps a row's path in the memory's text for addRows: its place.
    uint64_t keepPath(std::string_view path) { return storePath(path); }
    // Adds rows as `add` does, in the order given; a row whose path is met
    // again, or past the cap, leaves its kept path as garbage.
    void addRows(const std::vector<Row>& rows);
    void remove(const char* path);
    void clear();

    bool isSearched(const char* path) const;
    void markSearched(const char* path);
    void markBinary(const char* path);

    void credit(const char* path, int32_t position);
    void creditResults(const ResultSink& results);

    // Decays, orders and scans the remembered files through `scanFile`.
    // Ends at once when the memory is emptied from inside a scan.
    void rememberedFilesPass(const TermTable& terms,
                             const std::function<void(const char*)>& scanFile);

    int32_t count() const { return static_cast<int32_t>(entries_.size()); }
    int32_t capacity() const { return capacity_; }
    const FileMemoryEntry& entry(int32_t index) const { return entries_[index]; }
    std::string path(int32_t index) const;

    // Table indexes of the files worth remembering (priority above 0),
    // highest priority first, ties by index: the rows the settings file
    // writes, in its order.
    std::vector<int32_t> indexesToSave() const;

private:
    // find, handing back the path's hash (for an absent path too).
    int32_t find(const char* path, uint32_t& hash) const;
    // Grows the table by whole steps until it holds `files` entries, or
    // to the cap.
    void grow(size_t files);
    // Room for one more entry, the table grown if need be: false at the cap.
    bool makeRoom();
    // Appends an entry whose slot in the index is the empty `slot`.
    void append(size_t slot, uint64_t pathAt, uint32_t hash, int32_t priority);
    // Hash index over entry indexes: linear probing from a slot chosen by
    // the entry's stored hash; removal shifts later slots back, so no
    // tombstones build up across many add/remove cycles.
    size_t homeSlot(uint32_t hash) const;
    size_t slotOf(int32_t index) const;
    void insertSlot(int32_t index);
    void eraseSlot(size_t hole);
    void rebuildIndex();
    // The text, in blocks that never move once written, so it grows
    // without copying what it holds. A place is the block's number above
    // kPathPlaceBits and the offset in the block below them. A record is
    // the folder's number (4 bytes, unaligned) and the name, NUL-ended; a
    // folder's text ends with a NUL too. A removed path's record stays as
    // garbage until the garbage outweighs the rest.
    static constexpr int kPathPlaceBits = 40;
    const char* textAt(uint64_t at) const {
        return pathBlocks_[at >> kPathPlaceBits].bytes.get() +
               (at & ((uint64_t{1} << kPathPlaceBits) - 1));
    }
    static uint32_t folderNumberOf(const char* record) {
        uint32_t number;
        std::memcpy(&number, record, sizeof number);
        return number;
    }
    static const char* nameOf(const char* record) { return record + sizeof(uint32_t); }
    std::string_view folderText(uint32_t number) const {
        return {textAt(folders_[number].textAt), folders_[number].length};
    }
    // Whether the record at `at` holds `path`.
    bool holds(uint64_t at, const char* path) const;
    // Whether two records hold the same path: a folder is kept once, so
    // theirs are the same folder.
    bool sameRecords(uint64_t a, uint64_t b) const;
    void pathInto(uint64_t at, std::string& path) const;
    size_t recordBytes(uint64_t at) const;
    // Room for `bytes` at the end of the last block, a new block if need
    // be: where to write them, and their place in `at`.
    char* makeTextRoom(size_t bytes, uint64_t& at);
    uint32_t internFolder(std::string_view folder);
    uint64_t storePath(std::string_view path);
    void dropGarbage();

    std::vector<FileMemoryEntry> entries_;
    // Whether each entry was opened by the scanner in the current run: the
    // one thing a search asks of every file it meets, kept apart from the
    // entries so that the asking does not bring an entry into the cache.
    std::vector<uint8_t> searched_;
    int32_t capacity_ = 0;       // grows by kFileMemoryGrowth up to kMaxRememberedFiles
    int32_t creditCounter_ = 0;  // the credit the next distinct file of the results gets
    uint64_t clearCount_ = 0;    // lets a running pass notice a clear
    struct TextBlock {
        std::unique_ptr<char[]> bytes;
        size_t size = 0;  // of `capacity`, written
        size_t capacity = 0;
    };
    std::vector<TextBlock> pathBlocks_;
    size_t pathBytes_ = 0;  // held in the blocks
    size_t garbage_ = 0;    // of those, the bytes no entry names any more
    struct Folder {
        uint64_t textAt;
        uint32_t length;  // without the NUL
    };
    std::vector<Folder> folders_;  // by number
    // The folders' numbers by their text, which the blocks hold.
    std::unordered_map<std::string_view, uint32_t> folderNumbers_;
    uint32_t lastFolder_ = UINT32_MAX;  // the folder stored last: the next path's, mostly
    struct Slot {
        int32_t index;    // entry index, or -1 for an empty slot
        uint32_t hash;    // that entry's hash
        uint64_t pathAt;  // and its path, so a probe need not reach the entry
    };
    static constexpr Slot kEmptySlot = {-1, 0, 0};
    // The slot holding `path`, or the empty slot where its probe ends.
    size_t probe(const char* path, uint32_t hash) const;
    std::vector<Slot> slots_;              // a power of two, at most three quarters full
    mutable Slot lastFound_ = kEmptySlot;  // what find found last, until entries move
    int32_t slotBits_ = 0;                 // slots_.size() == 1 << slotBits_
};

}  // namespace tarvo
