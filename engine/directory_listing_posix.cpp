// The directory listing on POSIX: the folder opened, its entries read with
// getdents64 into a buffer of the listing's own, and fstatfs for the
// folder's file system. opendir would add a system call per folder (an
// fstat to size its buffer) and an allocation; a walk opens every folder
// of the tree. Entries are classified without following directory links,
// so the walk can never loop through a link to one of its own ancestors,
// and lists no folder links.
#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "engine/directory_listing.h"

namespace tarvo {

namespace {

// What one getdents64 call fills: as glibc's readdir takes, most folders
// in one call and the end of the listing in the next.
constexpr size_t kListingBuffer = 32 * 1024;

// An open folder and the entries read from it but not yet handed out.
struct OpenListing {
    int fd = -1;
    size_t at = 0;      // the next entry in `bytes`
    size_t filled = 0;  // bytes getdents64 put there
    alignas(dirent64) char bytes[kListingBuffer];
};

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

EntryKind kindOf(int directory, const dirent64& entry) {
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

// Whether the regular files of the file system holding an open folder
// hold what their sizes say, so that one read of a file can tell its size
// (see ScanFileReader::open): the file systems of disks and of memory. Not
// those that make their files up as they are read (proc, sysfs and the
// like, whose files mostly say 0 bytes), nor network and user-space file
// systems, whose reads may come back short or sizes lag behind.
bool sizesHoldTrue(int folder) {
    struct statfs info;
    if (fstatfs(folder, &info) != 0) return false;
    switch (static_cast<uint32_t>(info.f_type)) {
        case EXT4_SUPER_MAGIC:  // ext2 and ext3 too
        case XFS_SUPER_MAGIC:
        case BTRFS_SUPER_MAGIC:
        case F2FS_SUPER_MAGIC:
        case TMPFS_MAGIC:
        case RAMFS_MAGIC:
        case OVERLAYFS_SUPER_MAGIC:
        case SQUASHFS_MAGIC:
        case EROFS_SUPER_MAGIC_V1:
        case MSDOS_SUPER_MAGIC:
        case EXFAT_SUPER_MAGIC:
            return true;
        default:
            return false;
    }
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
    // O_NONBLOCK as opendir has it: nothing that is not a folder is opened
    // (O_DIRECTORY), and a FIFO put in its place must not block the open.
    const int fd = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    OpenListing* listing = new OpenListing;
    listing->fd = fd;
    handle_ = listing;
    byName_ = sizesHoldTrue(fd);
    return true;
}

bool DirectoryListing::next(DirectoryEntry& entry) {
    if (handle_ == nullptr) return false;
    OpenListing& listing = *static_cast<OpenListing*>(handle_);
    if (listing.at == listing.filled) {
        // The end and a failure both end the listing, as readdir's null
        // result does; an interrupted call is made again.
        ssize_t got;
        do {
            got = getdents64(listing.fd, listing.bytes, sizeof listing.bytes);
        } while (got < 0 && errno == EINTR);
        if (got <= 0) return false;
        listing.at = 0;
        listing.filled = static_cast<size_t>(got);
    }
    const dirent64& found = *reinterpret_cast<const dirent64*>(listing.bytes + listing.at);
    listing.at += found.d_reclen;
    entry.name = found.d_name;
    entry.kind = kindOf(listing.fd, found);
    return true;
}

intptr_t DirectoryListing::folder() const {
    return handle_ != nullptr && byName_ ? static_cast<OpenListing*>(handle_)->fd : -1;
}

void DirectoryListing::close() {
    if (handle_ == nullptr) return;
    OpenListing* listing = static_cast<OpenListing*>(handle_);
    ::close(listing->fd);
    delete listing;
    handle_ = nullptr;
}

}  // namespace tarvo
