#include "engine/file_memory.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "engine/path_hash.h"
#include "engine/path_list.h"
#include "engine/result_sink.h"
#include "engine/term_table.h"

namespace tarvo {

namespace {

constexpr int32_t kDecayPerRun = 10;          // a file credited once leads for 99 runs
constexpr int32_t kBestCredit = 1000;         // the best result's file; the next one less
constexpr int64_t kKeyPerPathTerm = 1000000;  // a term in the path outweighs any priority
// How many rows ahead a walk over the whole table asks for what it will
// read: rows in priority order reach into the path text and the index in
// no order the processor could foresee.
constexpr size_t kRowsAhead = 16;
constexpr size_t kPathBlockBytes = size_t{1} << 20;

// The index's size for `capacity` entries: a power of two at most three
// quarters full, where a probe of linear probing stays short.
int32_t slotBitsFor(int32_t capacity) {
    int32_t bits = 1;
    while ((size_t{3} << bits) / 4 < static_cast<size_t>(capacity))
        ++bits;
    return bits;
}

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
    slots_[s] = {index, entries_[index].hash, entries_[index].pathAt};
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
    slotBits_ = slotBitsFor(capacity_);
    slots_.assign(size_t{1} << slotBits_, kEmptySlot);
    for (int32_t i = 0; i < count(); ++i)
        insertSlot(i);
}

void FileMemory::grow(size_t files) {
    while (static_cast<size_t>(capacity_) < files && capacity_ < kMaxRememberedFiles)
        capacity_ = std::min(capacity_ + kFileMemoryGrowth, kMaxRememberedFiles);
    // The table grows by fixed steps, but the storage behind it doubles, so
    // adding a file never costs a copy of the whole table on average.
    if (entries_.capacity() < static_cast<size_t>(capacity_)) {
        size_t storage = std::max(static_cast<size_t>(capacity_), 2 * entries_.capacity());
        storage = std::min(storage, static_cast<size_t>(kMaxRememberedFiles));
        entries_.reserve(storage);
        searched_.reserve(storage);
    }
    if (slotBits_ < slotBitsFor(capacity_)) rebuildIndex();
}

size_t FileMemory::probe(const char* path, uint32_t hash) const {
    const size_t mask = slots_.size() - 1;
    // The slot's own copy of the hash turns most other paths away, and its
    // copy of the path's place lets the one it matches be compared without
    // reaching into the table.
    size_t s = homeSlot(hash);
    while (slots_[s].index >= 0 && (slots_[s].hash != hash || !holds(slots_[s].pathAt, path)))
        s = (s + 1) & mask;
    return s;
}

int32_t FileMemory::find(const char* path) const {
    uint32_t hash;
    return find(path, hash);
}

int32_t FileMemory::find(const char* path, uint32_t& hash) const {
    if (path == nullptr) return -1;
    // The scanner asks after one file several times in a row (searched?,
    // add, mark): the entry found last answers them without a hash and a
    // probe into a table too large for the cache.
    if (lastFound_.index >= 0 && holds(lastFound_.pathAt, path)) {
        hash = lastFound_.hash;
        return lastFound_.index;
    }
    hash = pathHash(path);
    if (slots_.empty()) return -1;
    const Slot& slot = slots_[probe(path, hash)];
    if (slot.index < 0) return -1;
    lastFound_ = slot;
    return slot.index;
}

bool FileMemory::makeRoom() {
    if (count() < capacity_) return true;
    // At the cap the file is not remembered; the scanner still reads it.
    if (capacity_ >= kMaxRememberedFiles) return false;
    grow(static_cast<size_t>(count()) + 1);
    return true;
}

void FileMemory::append(size_t slot, uint64_t pathAt, uint32_t hash, int32_t priority) {
    FileMemoryEntry& e = entries_.emplace_back();
    e.pathAt = pathAt;
    e.hash = hash;
    e.priority = priority;
    searched_.push_back(0);
    slots_[slot] = {count() - 1, hash, pathAt};
    lastFound_ = slots_[slot];
}

// ---------------------------------------------------------------------------
// Stored paths
// ---------------------------------------------------------------------------

bool FileMemory::holds(uint64_t at, const char* path) const {
    // A folder's text holds no NUL, so a shorter path differs at its end.
    const char* record = textAt(at);
    const std::string_view folder = folderText(folderNumberOf(record));
    return std::strncmp(path, folder.data(), folder.size()) == 0 &&
           std::strcmp(path + folder.size(), nameOf(record)) == 0;
}

bool FileMemory::sameRecords(uint64_t a, uint64_t b) const {
    const char* first = textAt(a);
    const char* second = textAt(b);
    return folderNumberOf(first) == folderNumberOf(second) &&
           std::strcmp(nameOf(first), nameOf(second)) == 0;
}

void FileMemory::pathInto(uint64_t at, std::string& path) const {
    const char* record = textAt(at);
    path.assign(folderText(folderNumberOf(record))).append(nameOf(record));
}

std::string FileMemory::path(int32_t index) const {
    std::string path;
    pathInto(entries_[index].pathAt, path);
    return path;
}

size_t FileMemory::recordBytes(uint64_t at) const {
    return sizeof(uint32_t) + std::strlen(nameOf(textAt(at))) + 1;
}

char* FileMemory::makeTextRoom(size_t bytes, uint64_t& at) {
    if (pathBlocks_.empty() || pathBlocks_.back().capacity - pathBlocks_.back().size < bytes) {
        TextBlock& block = pathBlocks_.emplace_back();
        block.capacity = std::max(kPathBlockBytes, bytes);
        block.bytes.reset(new char[block.capacity]);
    }
    TextBlock& block = pathBlocks_.back();
    at = uint64_t{pathBlocks_.size() - 1} << kPathPlaceBits | block.size;
    char* room = block.bytes.get() + block.size;
    block.size += bytes;
    pathBytes_ += bytes;
    return room;
}

uint32_t FileMemory::internFolder(std::string_view folder) {
    if (lastFolder_ < folders_.size() && folderText(lastFolder_) == folder) return lastFolder_;
    auto known = folderNumbers_.find(folder);
    if (known == folderNumbers_.end()) {
        uint64_t at;
        char* room = makeTextRoom(folder.size() + 1, at);
        std::memcpy(room, folder.data(), folder.size());
        room[folder.size()] = '\0';
        const uint32_t number = static_cast<uint32_t>(folders_.size());
        folders_.push_back({at, static_cast<uint32_t>(folder.size())});
        // The key is the kept text, which never moves.
        known = folderNumbers_.emplace(std::string_view(room, folder.size()), number).first;
    }
    lastFolder_ = known->second;
    return lastFolder_;
}

uint64_t FileMemory::storePath(std::string_view path) {
    // Split after the last separator; a path without one is a name in the
    // empty folder.
    const size_t split = path.rfind(kPathSeparator) + 1;  // npos + 1 == 0
    const uint32_t folder = internFolder(path.substr(0, split));
    const std::string_view name = path.substr(split);
    uint64_t at;
    char* room = makeTextRoom(sizeof folder + name.size() + 1, at);
    std::memcpy(room, &folder, sizeof folder);
    std::memcpy(room + sizeof folder, name.data(), name.size());
    room[sizeof folder + name.size()] = '\0';
    return at;
}

void FileMemory::add(const char* path, int32_t priority) {
    uint32_t hash;
    if (path == nullptr || find(path, hash) >= 0 || !makeRoom()) return;
    // Probed again: making room may have rebuilt the index.
    append(probe(path, hash), storePath(path), hash, priority);
}

void FileMemory::addRows(const std::vector<Row>& rows) {
    // Grown once for all the rows: the index is built once, not again at
    // every doubling on the way.
    grow(static_cast<size_t>(count()) + rows.size());
    const size_t mask = slots_.size() - 1;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i + kRowsAhead < rows.size())
            __builtin_prefetch(&slots_[homeSlot(rows[i + kRowsAhead].hash)]);
        const Row& row = rows[i];
        // The probe that finds a path absent ends at the slot it takes; the
        // index was grown above, so only the cap can leave no room. Every
        // path of the table is kept here too: records are compared.
        size_t slot = homeSlot(row.hash);
        while (slots_[slot].index >= 0 &&
               (slots_[slot].hash != row.hash || !sameRecords(slots_[slot].pathAt, row.pathAt)))
            slot = (slot + 1) & mask;
        if (slots_[slot].index < 0 && count() < capacity_) {
            append(slot, row.pathAt, row.hash, row.priority);
        } else {
            // A path met twice, or a row past the cap: its record is garbage.
            garbage_ += recordBytes(row.pathAt);
        }
    }
    dropGarbage();
}

void FileMemory::remove(const char* path) {
    const int32_t index = find(path);
    if (index < 0) return;
    eraseSlot(slotOf(index));
    lastFound_ = kEmptySlot;  // it may name the entry that moves
    garbage_ += recordBytes(entries_[index].pathAt);
    // The last entry moves into the hole: table order changes as specified.
    const int32_t last = count() - 1;
    if (index != last) {
        slots_[slotOf(last)].index = index;
        entries_[index] = entries_[last];
        searched_[index] = searched_[last];
    }
    entries_.pop_back();
    searched_.pop_back();
    dropGarbage();
}

void FileMemory::dropGarbage() {
    // A memory that loses many files (a tree moved away) shrinks its text
    // again; copying only when garbage outweighs the live paths keeps each
    // removal's share of the copying constant.
    if (garbage_ <= pathBytes_ / 2) return;
    FileMemory live;
    std::string path;
    for (FileMemoryEntry& e : entries_) {
        pathInto(e.pathAt, path);
        e.pathAt = live.storePath(path);
    }
    // The folders' keys lie in the blocks, whose texts do not move with them.
    pathBlocks_ = std::move(live.pathBlocks_);
    folders_ = std::move(live.folders_);
    folderNumbers_ = std::move(live.folderNumbers_);
    lastFolder_ = live.lastFolder_;
    pathBytes_ = live.pathBytes_;
    garbage_ = 0;
    lastFound_ = kEmptySlot;
    rebuildIndex();
}

void FileMemory::clear() {
    entries_.clear();
    lastFound_ = kEmptySlot;
    searched_.clear();
    pathBlocks_.clear();
    folders_.clear();
    folderNumbers_.clear();
    lastFolder_ = UINT32_MAX;
    pathBytes_ = 0;
    garbage_ = 0;
    std::fill(slots_.begin(), slots_.end(), kEmptySlot);
    ++clearCount_;
}

// ---------------------------------------------------------------------------
// Per-run flags
// ---------------------------------------------------------------------------

bool FileMemory::isSearched(const char* path) const {
    const int32_t index = find(path);
    return index >= 0 && searched_[index];
}

void FileMemory::markSearched(const char* path) {
    const int32_t index = find(path);
    if (index >= 0) searched_[index] = 1;
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
                                     const std::function<void(const char*)>& scanFile) {
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
    // A term met in a path lies in its folder or in its name, unless it
    // holds the separator that ends the folder. So, unless a term holds a
    // separator, a folder's terms are counted once for all its files, and a
    // file's whole path is put together only when its folder and its name
    // both hold terms, which might then be the same term.
    bool termsHoldSeparators = false;
    for (int32_t t = 0; t < terms.count(); ++t) {
        const std::string_view text(terms.term(t).text, terms.term(t).length);
        termsHoldSeparators = termsHoldSeparators || text.find_first_of("/\\") != text.npos;
    }
    uint32_t countedFolder = UINT32_MAX;
    int32_t folderTerms = 0;
    std::string entryPath;
    const auto termsInPath = [&](const char* record) {
        const uint32_t folder = folderNumberOf(record);
        if (!termsHoldSeparators) {
            if (folder != countedFolder) {
                countedFolder = folder;
                folderTerms = terms.countTermsIn(folderText(folder).data());  // NUL-ended
            }
            const int32_t nameTerms = terms.countTermsIn(nameOf(record));
            if (folderTerms == 0 || nameTerms == 0) return folderTerms + nameTerms;
        }
        entryPath.assign(folderText(folder)).append(nameOf(record));
        return terms.countTermsIn(entryPath.c_str());
    };
    for (int32_t i = 0; i < count(); ++i) {
        if (static_cast<size_t>(i) + kRowsAhead < entries_.size())
            __builtin_prefetch(textAt(entries_[i + kRowsAhead].pathAt));
        FileMemoryEntry& e = entries_[i];
        searched_[i] = e.binary;  // binary files stay skipped for the whole run
        e.credited = false;
        e.priority = e.priority > kDecayPerRun ? e.priority - kDecayPerRun : 0;
        const int64_t key = termsInPath(textAt(e.pathAt)) * kKeyPerPathTerm + e.priority;
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
        paths.emplace_back(path(r.index));
    const uint64_t clearsAtStart = clearCount_;
    for (const std::string& path : paths) {
        // Emptied from inside the pump (an option toggle): the pass is over.
        if (clearCount_ != clearsAtStart) return;
        scanFile(path.c_str());
    }
}

std::vector<int32_t> FileMemory::indexesToSave() const {
    // In a large memory most files have decayed to 0: they are not ordered.
    std::vector<int32_t> order;
    for (int32_t i = 0; i < count(); ++i) {
        if (entries_[i].priority > 0) order.push_back(i);
    }
    orderByPriority(order, [this](int32_t i) { return entries_[i].priority; });
    return order;
}

}  // namespace tarvo
