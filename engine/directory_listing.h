// One directory listing, entry by entry, in the order the file system gives.
// Implemented with FindFirstFileExW/FindNextFileW on Windows and
// opendir/readdir on POSIX (directory_listing_win32.cpp, _posix.cpp).
#pragma once

#include <cstdint>
#include <string>

namespace tarvo {

enum class EntryKind {
    File,        // scanned
    Directory,   // walked when Recursive is on ("." and ".." included; the walk skips them)
    FolderLink,  // Windows only: a folder that is a reparse point (junction, directory
                 // link, mounted folder, cloud placeholder), walked like a directory
                 // unless it leads back to a folder being listed
    Skipped,     // never followed: FIFOs, sockets and devices (reading them could
                 // block), and on POSIX links to directories, as grep -r leaves them
};

struct DirectoryEntry {
    std::string name;
    EntryKind kind = EntryKind::File;
};

// The folder's path with every link on the way resolved and no separator at
// its end ("" for the root directory), for telling whether a folder link
// leads back to a folder being listed. False when the system cannot say.
bool realFolderPath(const std::string& path, std::string& real);

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
    // Windows, whose calls open by path only.
    intptr_t folder() const;

private:
    void close();
    void* handle_ = nullptr;  // DIR* or a FindFirstFileExW handle with its pending entry
    std::string path_;
    bool byName_ = false;  // folder() gives the folder
};

}  // namespace tarvo
