// The settings file's system side on POSIX: stat, readlink, an exclusive
// open, fsync and rename.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>

#include "app/settings_file.h"
#include "app/settings_file_system.h"

namespace tarvo {

namespace {

// As many links as the kernel itself follows before it gives up (ELOOP).
constexpr int kMaxLinkHops = 40;
// A name already taken is another save's temporary file; a new random name
// is tried, a few times.
constexpr int kCreateAttempts = 8;

// The file `path` names once its links are followed. The file itself need
// not exist (a link may name a file not written yet); false, with errno set,
// when a link cannot be read or there are too many of them.
bool followLinks(std::string path, std::string& target) {
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        char link[PATH_MAX];
        const ssize_t n = readlink(path.c_str(), link, sizeof link);
        if (n < 0) {
            if (errno != EINVAL && errno != ENOENT) return false;
            target = path;  // not a link, or nothing there yet
            return true;
        }
        if (n == sizeof link) {
            errno = ENAMETOOLONG;
            return false;
        }
        std::string next(link, static_cast<size_t>(n));
        const size_t slash = path.rfind('/');
        // A relative link is read from the folder that holds it.
        if (next[0] != '/' && slash != std::string::npos) next = path.substr(0, slash + 1) + next;
        path = next;
    }
    errno = ELOOP;
    return false;
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

SettingsFileKind settingsFileKind(const char* path) {
    struct stat info;
    if (stat(path, &info) != 0) return SettingsFileKind::Missing;
    return S_ISREG(info.st_mode) ? SettingsFileKind::Regular : SettingsFileKind::Other;
}

FileReplacement::~FileReplacement() {
    if (handle_ >= 0) close(static_cast<int>(handle_));
    if (!temp_.empty()) unlink(temp_.c_str());
}

bool FileReplacement::fail() {
    reason_ = std::strerror(errno);
    return false;
}

bool FileReplacement::refuse(const char* reason) {
    reason_ = reason;
    return false;
}

bool FileReplacement::open(const char* path) {
    if (!followLinks(path, target_)) return fail();
    struct stat old;
    const bool exists = stat(target_.c_str(), &old) == 0;
    if (!exists && errno != ENOENT) return fail();
    if (exists) {
        if (!S_ISREG(old.st_mode)) return refuse(kNotRegularFile);
        // The rename would replace even a file the user may not write, and
        // root may write any file: a file without a single write permission
        // was made read-only on purpose, for root too.
        if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            errno = EACCES;
            return fail();
        }
        if (access(target_.c_str(), W_OK) != 0) return fail();
    }
    int fd = -1;
    for (int attempt = 0; attempt < kCreateAttempts && fd < 0; ++attempt) {
        const std::string temp = temporaryPathFor(target_, static_cast<uint32_t>(getpid()));
        // O_EXCL: never a file or link planted under the name. 0600 until the
        // old mode is set, so nobody else reads it meanwhile.
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) temp_ = temp;
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return fail();
    handle_ = fd;
    if (exists) {
        // Root saving a user's file leaves it the user's. A user outside the
        // file's group cannot keep the group (EPERM): the file then takes the
        // user's own, as any new file would.
        if (fchown(fd, old.st_uid, old.st_gid) != 0 && errno != EPERM) return fail();
        if (fchmod(fd, old.st_mode & 07777) != 0) return fail();
    }
    return true;
}

bool FileReplacement::write(const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(static_cast<int>(handle_), data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail();  // a full disk, a quota
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool FileReplacement::commit() {
    const int fd = static_cast<int>(handle_);
    handle_ = -1;
    // Flushed before the rename: a power cut after it must find the new
    // bytes under the name, not an empty file.
    if (fsync(fd) != 0) {
        const int error = errno;
        close(fd);
        errno = error;
        return fail();
    }
    if (close(fd) != 0) return fail();
    if (rename(temp_.c_str(), target_.c_str()) != 0) return fail();
    temp_.clear();
    // The rename itself is on the disk once the folder is. Some file systems
    // cannot flush a folder; the file is replaced all the same.
    const int folder = ::open(folderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    removeLeftovers();
    return true;
}

void FileReplacement::removeLeftovers() const {
    DIR* folder = opendir(folderOf(target_).c_str());
    if (folder == nullptr) return;
    const std::string name = nameOf(target_);
    const time_t before = time(nullptr) - kLeftoverAgeSeconds;
    while (const dirent* entry = readdir(folder)) {
        if (!isTemporaryNameOf(name, entry->d_name)) continue;
        struct stat info;
        // Younger ones may belong to a save still running beside this one.
        if (fstatat(dirfd(folder), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && info.st_mtime < before) {
            unlinkat(dirfd(folder), entry->d_name, 0);
        }
    }
    closedir(folder);
}

}  // namespace tarvo
