// The scanner's file reads on POSIX: open, pread and fstat; the
// read-ahead hints with posix_fadvise.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "engine/held_folders.h"
#include "engine/scan_file_reader.h"
#include "engine/scan_read_ahead.h"

namespace tarvo {

namespace {

// O_NONBLOCK: a FIFO put where a remembered file was must not hold the
// search in open(); it has no effect on regular files.
int openForReading(const char* path, intptr_t folder, const char* name) {
    constexpr int kFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK;
    return folder >= 0 ? ::openat(static_cast<int>(folder), name, kFlags) : ::open(path, kFlags);
}

// The size of an open regular file; -1 for anything else.
int64_t regularFileSize(int fd) {
    struct stat info;
    return fstat(fd, &info) == 0 && S_ISREG(info.st_mode) ? info.st_size : -1;
}

}  // namespace

ScanFileReader::~ScanFileReader() {
    close();
}

bool ScanFileReader::open(const char* path, intptr_t folder, const char* name) {
    close();
    const int fd = openForReading(path, folder, name);
    if (fd < 0) return false;
    // A listed regular file is taken at the listing's word (see
    // readFirstBytes). Had another kind of file taken its place since, its
    // first read fails (pread refuses a directory or a FIFO) or fills the
    // buffer, and its type is asked then.
    const int64_t size = folder >= 0 ? -1 : regularFileSize(fd);
    if (folder < 0 && size < 0) {
        ::close(fd);
        return false;
    }
    handle_ = fd;
    startReads(size);
    return true;
}

int32_t ScanFileReader::readFirstBytes(char* buffer, int32_t bytes) {
    if (fileSize_ >= 0)
        return readFile(0, buffer, static_cast<int32_t>(std::min<int64_t>(fileSize_, bytes)));
    const int fd = static_cast<int>(handle_);
    ssize_t got;
    do {
        got = ::pread(fd, buffer, bytes, 0);
    } while (got < 0 && errno == EINTR);
    if (got < 0) return 0;
    // A regular file's read comes back short only at its end.
    if (got < bytes) {
        fileSize_ = got;
        return static_cast<int32_t>(got);
    }
    fileSize_ = regularFileSize(fd);
    return static_cast<int32_t>(std::clamp<int64_t>(fileSize_, 0, got));
}

void ScanFileReader::close() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
    handle_ = -1;
    startReads(-1);
}

int32_t ScanFileReader::readFile(int64_t offset, char* buffer, int32_t bytes) {
    int32_t got = 0;
    while (got < bytes) {
        const ssize_t n =
            ::pread(static_cast<int>(handle_), buffer + got, bytes - got, offset + got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // the end, or an error: the file ends here for the scanner
        got += static_cast<int32_t>(n);
    }
    return got;
}

intptr_t holdFolder(intptr_t folder) {
    return folder >= 0 ? ::fcntl(static_cast<int>(folder), F_DUPFD_CLOEXEC, 0) : -1;
}

void releaseFolder(intptr_t held) {
    if (held >= 0) ::close(static_cast<int>(held));
}

bool openFailedForWantOfDescriptors() {
    return errno == EMFILE || errno == ENFILE;
}

int32_t openFilesAllowed() {
    rlimit files;
    if (getrlimit(RLIMIT_NOFILE, &files) != 0) return INT32_MAX;
    return static_cast<int32_t>(std::min<rlim_t>(files.rlim_cur, INT32_MAX));
}

int32_t foldersToHold() {
    constexpr int32_t kMaxHeldFolders = 512;
    return std::min(openFilesAllowed() / 2, kMaxHeldFolders);
}

bool ScanReadAhead::wantsNext() {
    if (filesBeforeProbe_ == 0) return true;
    --filesBeforeProbe_;
    return false;
}

void ScanReadAhead::fileListed(const char* path, intptr_t folder, const char* name, int32_t bytes) {
    const int fd = openForReading(path, folder, name);
    if (fd < 0) return;
    // A read that may not wait fails with EAGAIN when the first page is not
    // in the page cache (it also starts reading that page); an empty file
    // tells nothing.
    char first;
    iovec into = {&first, 1};
    const ssize_t got = preadv2(fd, &into, 1, 0, RWF_NOWAIT);
    if (got < 0 && errno == EAGAIN) {
        posix_fadvise(fd, 0, bytes, POSIX_FADV_WILLNEED);  // the pages stay after the close
    } else if (got > 0) {
        filesBeforeProbe_ = kReadAheadProbeEvery - 1;
    }
    ::close(fd);
}

}  // namespace tarvo
