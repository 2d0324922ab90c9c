// The walk's read-ahead; its twins are the reader's
// (scan_file_reader_posix.cpp, _win32.cpp).
#pragma once

#include <cstdint>

namespace tarvo {

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
