// Folders held open for the files queued in them, so that several scanners
// open each file by name in its folder (see ScanWorkers); the twins are the
// reader's (scan_file_reader_posix.cpp, _win32.cpp).
#pragma once

#include <cstdint>

namespace tarvo {

// A handle of its own on a folder the walk has open (see
// DirectoryListing::folder), so that files listed there can still be opened
// by name in it once the walk has closed its listing; -1 when there is none
// (always on Windows, whose files are opened by path). Released with
// releaseFolder.
intptr_t holdFolder(intptr_t folder);
void releaseFolder(intptr_t held);
// How many folders may be held at once: half the files the process may
// have open, at most 512; the other half is left to the walk's listings and
// the files being read. Should they run out all the same, the run lets the
// folders go (see ScanWorkers::makeRoom). 0 on Windows.
int32_t foldersToHold();

}  // namespace tarvo
