// One directory listing, entry by entry, in the order the file system gives.
// Implemented with FindFirstFileExA/FindNextFileA on Windows and
// opendir/readdir on POSIX (directory_listing_win32.cpp, _posix.cpp).
#pragma once

#include <cstdint>
#include <string>

namespace tarvo {

enum class EntryKind {
    File,       // scanned
    Directory,  // walked when Recursive is on ("." and ".." included; the walk skips them)
    Skipped,    // never followed: directory links and junctions (they can loop),
                // FIFOs, sockets and devices (reading them could block)
};

struct DirectoryEntry {
    std::string name;
    EntryKind kind = EntryKind::File;
};

class DirectoryListing {
public:
    DirectoryListing() = default;
    DirectoryListing(const DirectoryListing&) = delete;
    DirectoryListing& operator=(const DirectoryListing&) = delete;
    ~DirectoryListing();

    // Opens the listing of `path` (the empty path lists the root directory).
    bool open(const std::string& path);
    // The next entry; false at the end or when the listing keeps failing.
    bool next(DirectoryEntry& entry);
    // The listed folder, open, for opening its entries by name alone (see
    // ScanFileReader::open): a descriptor on POSIX, on a file system whose
    // regular files hold what their sizes say; -1 elsewhere, and on
    // Windows, whose ANSI calls open by path only.
    intptr_t folder() const;

private:
    void close();
    void* handle_ = nullptr;  // DIR* or a FindFirstFileExA handle with its pending entry
    std::string path_;
    bool byName_ = false;  // folder() gives the folder
};

}  // namespace tarvo
