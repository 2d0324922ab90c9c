// The scanner's view of one file: its size, reads straight into
// the scan window, and positioned reads of single lines. The file's own
// bytes are read with open/pread (and fstat) on POSIX and with CreateFileW/
// ReadFile on Windows (scan_file_reader_posix.cpp, _win32.cpp): no stdio
// buffer stands between the file and the window. Read from its start with
// readStart, a file is read as text (engine/text_encoding.h): a UTF-16 file
// is decoded whole (such files are rare and small) and then read from
// memory; a UTF-8 byte-order mark is passed over.
#pragma once

#include <cstdint>
#include <string>

namespace tarvo {

class ScanFileReader {
public:
    ScanFileReader() = default;
    ScanFileReader(const ScanFileReader&) = delete;
    ScanFileReader& operator=(const ScanFileReader&) = delete;
    ~ScanFileReader();

    // False when the path names nothing that can be read as a regular file
    // (missing, not permitted, a directory, a FIFO or a device). Given the
    // open folder that holds the file and the file's name in it, POSIX
    // opens the name relative to the folder: the same file, without the
    // system looking up every folder of the path again. Such a file was
    // listed there as a regular file, on a file system whose files hold
    // what their sizes say (see DirectoryListing::folder), so POSIX asks
    // neither its type nor its size at open (a system call per file is a
    // good part of a warm search): readStart learns them.
    bool open(const char* path, intptr_t folder = -1, const char* name = nullptr);
    void close();

    // The size taken at open, or by the first read where open did not take
    // it; after a readStart, the text's size. -1 when it could not be taken
    // (or not yet).
    int64_t size() const { return size_; }

    // Reads up to `bytes` bytes from the file's start, as text: after it,
    // size() is the text's size and every read reads the text. Only the
    // first bytes are looked at: a file without a mark costs nothing more.
    // Where open did not take the size, this read does (see open). 0 with
    // size() -1 when the file cannot be read as a regular file after all.
    int32_t readStart(char* buffer, int32_t bytes);

    // Reads up to `bytes` bytes where the last read ended, going on after
    // short reads; fewer only at size() or the end of the file or on an
    // error.
    int32_t read(char* buffer, int32_t bytes);

    // Reads up to `bytes` bytes from `offset`, as read does, and moves the
    // position read goes on from to their end.
    int32_t readAt(int64_t offset, char* buffer, int32_t bytes);

private:
    // Up to `bytes` of the file's own bytes from `offset` (the twins).
    int32_t readFile(int64_t offset, char* buffer, int32_t bytes);
    // The file's first bytes, up to `bytes` and at most its size; where open
    // did not take the size, learns it (the twins).
    int32_t readFirstBytes(char* buffer, int32_t bytes);
    // Reads start over on a file of `size` bytes just opened, or on none (-1).
    void startReads(int64_t size);

    // A UTF-16 file of more bytes is read as its bytes: decoding it would
    // hold up to one and a half times its size in memory.
    static constexpr int64_t kMaxDecodedFileSize = 64 << 20;

    intptr_t handle_ = -1;   // a file descriptor, or a HANDLE; -1 when closed
    int64_t fileSize_ = -1;  // the file's size at open or first read
    int64_t size_ = -1;      // the size reads read: the file's, or its text's
    int64_t skipped_ = 0;    // the UTF-8 mark's bytes the reads pass over
    int64_t position_ = 0;   // where read goes on
    bool decoded_ = false;   // reads read text_
    std::string text_;       // a UTF-16 file's text as UTF-8
};

// A handle of its own on a folder the walk has open (see
// DirectoryListing::folder), so that files listed there can still be opened
// by name in it once the walk has closed its listing; -1 when there is none
// (always on Windows, whose files are opened by path). Released with
// releaseFolder.
intptr_t holdFolder(intptr_t folder);
void releaseFolder(intptr_t held);
// How many folders may be held at once: half the files the process may
// have open, at most 512; the other half is left to the walk's listings and
// the files being read. 0 on Windows.
int32_t foldersToHold();

// Starts reading the files the walk has listed but not yet opened, so that on
// a cold cache the disk serves several files at once while the ones before
// them are scanned. Each hint costs an open, which a warm cache does not
// repay: after a file is found in the page cache, only one file in
// kReadAheadProbeEvery is looked at until one is not. POSIX only; on Windows
// the files are opened for sequential reading instead.
class ScanReadAhead {
public:
    static constexpr int32_t kReadAheadProbeEvery = 64;

    // Whether the next file listed is to be looked at; asked first, so a
    // warm run does not even build the paths of the files it passes over.
    bool wantsNext();
    // `path` will be opened after the files listed before it, and its first
    // `bytes` bytes read at once. `folder` and `name` as for
    // ScanFileReader::open.
    void fileListed(const char* path, intptr_t folder, const char* name, int32_t bytes);

private:
    int32_t filesBeforeProbe_ = 0;
};

}  // namespace tarvo
