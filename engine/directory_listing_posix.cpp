// The directory listing on POSIX: opendir/readdir. Entries are classified
// without following directory links, so the walk can never loop through a
// link to one of its own ancestors, and lists no folder links.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdlib>

#include "engine/directory_listing.h"

namespace tarvo {

namespace {

// A regular file is read; a directory is walked; everything else is passed
// over: reading a FIFO, socket or device could block the search.
EntryKind kindOfMode(mode_t mode) {
    if (S_ISREG(mode)) return EntryKind::File;
    if (S_ISDIR(mode)) return EntryKind::Directory;
    return EntryKind::Skipped;
}

// A link counts only when it leads to a regular file; a link to a directory
// (it could loop) or a dangling link is skipped.
EntryKind kindOfLink(int directory, const char* name) {
    struct stat target;
    if (fstatat(directory, name, &target, 0) != 0) return EntryKind::Skipped;
    return S_ISREG(target.st_mode) ? EntryKind::File : EntryKind::Skipped;
}

EntryKind kindOf(DIR* listing, const dirent& entry) {
    int directory = dirfd(listing);
    switch (entry.d_type) {
        case DT_REG:
            return EntryKind::File;
        case DT_DIR:
            return EntryKind::Directory;
        case DT_LNK:
            return kindOfLink(directory, entry.d_name);
        case DT_UNKNOWN:
            break;  // some file systems don't fill d_type
        default:
            return EntryKind::Skipped;
    }
    struct stat own;
    if (fstatat(directory, entry.d_name, &own, AT_SYMLINK_NOFOLLOW) != 0) {
        return EntryKind::Skipped;  // vanished since readdir: nothing to read
    }
    if (S_ISLNK(own.st_mode)) return kindOfLink(directory, entry.d_name);
    return kindOfMode(own.st_mode);
}

}  // namespace

bool realFolderPath(const std::string& path, std::string& real) {
    char* resolved = realpath(path.empty() ? "/" : path.c_str(), nullptr);
    if (resolved == nullptr) return false;
    real = resolved;
    std::free(resolved);
    if (real == "/") real.clear();
    return true;
}

DirectoryListing::~DirectoryListing() {
    close();
}

bool DirectoryListing::open(const std::string& path) {
    close();
    path_ = path.empty() ? "/" : path;
    DIR* listing = opendir(path_.c_str());
    if (listing == nullptr) return false;
    handle_ = listing;
    return true;
}

bool DirectoryListing::next(DirectoryEntry& entry) {
    if (handle_ == nullptr) return false;
    DIR* listing = static_cast<DIR*>(handle_);
    // readdir reports the end and a failure alike by a null result; it does
    // not go on after a failure, so there is nothing to retry.
    const dirent* found = readdir(listing);
    if (found == nullptr) return false;
    entry.name = found->d_name;
    entry.kind = kindOf(listing, *found);
    return true;
}

intptr_t DirectoryListing::folder() const {
    return handle_ != nullptr ? dirfd(static_cast<DIR*>(handle_)) : -1;
}

void DirectoryListing::close() {
    if (handle_ != nullptr) closedir(static_cast<DIR*>(handle_));
    handle_ = nullptr;
}

}  // namespace tarvo
