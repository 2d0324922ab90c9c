// The scanner's view of one file: its size, reads straight into
// the scan window, and positioned reads of single lines. The file's own
// bytes are read with open/pread (and fstat) on POSIX and with CreateFileW/
// ReadFile on Windows (scan_file_reader_posix.cpp, _win32.cpp): no stdio
// buffer stands between the file and the window. Read from its start with
// readStart, a file is read as text (engine/text_encoding.h): a UTF-8
// byte-order mark is passed over, and a UTF-16 file is decoded as it is
// read, a stretch of kDecodeStretch bytes at a time, so a file of any size
// takes the same memory (see Utf16Text).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tarvo {

// A place in a file's text from which reading can start over without
// reading what comes before it: an offset in the text, and the offset in the
// file's own bytes where the same character begins.
struct TextPlace {
    int64_t text = 0;
    int64_t file = 0;
};

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
    // it; after a readStart, the text's size (of a UTF-16 text, past 2 GiB,
    // a size past that). -1 when it could not be taken (or not yet).
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

    // After a readStart: the place of text offset `offset`, a character's
    // start. In a UTF-16 file this decodes from the place of the stretch
    // before it, or from the place last found when that lies nearer, so the
    // places of ascending offsets take one pass over the text.
    TextPlace placeOf(int64_t offset);
    // Reads as readAt does, from the text of a file just opened, given the
    // place placeOf gave for `offset` (or an earlier one) when the file was
    // read before: only the file's first bytes and those from the place on
    // are read, so a UTF-16 file's text is not decoded or counted from its
    // start. The text then has no known end: reads end where the file does.
    int32_t readFrom(TextPlace place, int64_t offset, char* buffer, int32_t bytes);

private:
    // A UTF-16 file's text: stretches of the file decoded one at a time,
    // each from a place where a stretch begins, and the text of the last
    // one decoded. The places are found when readStart counts the text, a
    // stretch after the other, so that going back in the text decodes one
    // stretch, not everything before it. A place takes 16 bytes per
    // kDecodeStretch bytes of file.
    struct Utf16Text {
        bool bigEndian = false;
        std::vector<TextPlace> places;  // ascending; the first is the text's start
        std::unique_ptr<char[]> bytes;  // room for one stretch of the file
        std::string text;               // what the stretch at `decoded` decodes to
        TextPlace decoded = {-1, -1};
        int64_t decodedEnd = 0;  // file offset after the bytes the stretch took
        TextPlace found;         // placeOf's last answer
    };
    // Bytes of a UTF-16 file decoded at once.
    static constexpr int32_t kDecodeStretch = 64 << 10;
    // No reader of a text reads past 2 GiB (the scanner's line offsets are
    // 32-bit): a longer UTF-16 text is counted no further.
    static constexpr int64_t kMaxCountedText = INT32_MAX;

    // Reads start over as text in a UTF-16 file, from `start`.
    void startUtf16(bool bigEndian, TextPlace start);
    // Counts the text of a UTF-16 file from its start, noting where each
    // stretch begins: its size, or more than kMaxCountedText.
    int64_t countUtf16Text();
    // The last place known at or before text offset `offset`.
    TextPlace placeBefore(int64_t offset) const;
    // Decodes a stretch of a UTF-16 file that holds text offset `offset`
    // and, where the stretch allows, the `wanted` bytes after it, going on
    // from the last place before it; false past the file's end.
    bool decodeStretchHolding(int64_t offset, int64_t wanted);
    // Decodes from `place` at most kDecodeStretch bytes of the file, and no
    // more than give `most` bytes of text.
    void decodeStretch(TextPlace place, int64_t most);
    int32_t readUtf16(int64_t offset, char* buffer, int32_t bytes);

    // Up to `bytes` of the file's own bytes from `offset` (the twins).
    int32_t readFile(int64_t offset, char* buffer, int32_t bytes);
    // The file's first bytes, up to `bytes` and at most its size; where open
    // did not take the size, learns it (the twins).
    int32_t readFirstBytes(char* buffer, int32_t bytes);
    // Reads start over on a file of `size` bytes just opened, or on none (-1).
    void startReads(int64_t size);

    intptr_t handle_ = -1;              // a file descriptor, or a HANDLE; -1 when closed
    int64_t fileSize_ = -1;             // the file's size at open or first read
    int64_t size_ = -1;                 // the size reads read: the file's, or its text's
    int64_t skipped_ = 0;               // the UTF-8 mark's bytes the reads pass over
    int64_t position_ = 0;              // where read goes on
    std::unique_ptr<Utf16Text> utf16_;  // reads decode a UTF-16 file
};

// Whether the open that failed last on this thread, a file's or a folder
// listing's, failed for want of file descriptors (too many files open in
// the process or the system): nothing about the file itself, and mended by
// closing others. Asked at once after the failed open.
bool openFailedForWantOfDescriptors();

// How many files the process may have open at once (RLIMIT_NOFILE's soft
// limit); INT32_MAX where there is no such limit (Windows).
int32_t openFilesAllowed();

}  // namespace tarvo
