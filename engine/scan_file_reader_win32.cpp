// The scanner's file reads on Windows: CreateFileW and ReadFile, each read
// at an OVERLAPPED offset.
#include <windows.h>

#include <algorithm>

#include "engine/held_folders.h"
#include "engine/scan_file_reader.h"
#include "engine/scan_read_ahead.h"
#include "engine/system_path_win32.h"

namespace tarvo {

namespace {

HANDLE handleOf(intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

ScanFileReader::~ScanFileReader() {
    close();
}

bool ScanFileReader::open(const char* path, intptr_t, const char*) {
    close();
    // Other programs may go on writing, renaming or deleting the file while
    // it is read, as they could under the C runtime's fopen. Without
    // FILE_FLAG_BACKUP_SEMANTICS a directory cannot be opened.
    HANDLE file = CreateFileW(widePath(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size;
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size)) {
        CloseHandle(file);
        return false;
    }
    handle_ = reinterpret_cast<intptr_t>(file);
    startReads(size.QuadPart);
    return true;
}

void ScanFileReader::close() {
    if (handle_ != -1) CloseHandle(handleOf(handle_));
    handle_ = -1;
    startReads(-1);
}

int32_t ScanFileReader::readFile(int64_t offset, char* buffer, int32_t bytes) {
    int32_t got = 0;
    while (got < bytes) {
        OVERLAPPED at = {};
        const uint64_t position = static_cast<uint64_t>(offset + got);
        at.Offset = static_cast<DWORD>(position);
        at.OffsetHigh = static_cast<DWORD>(position >> 32);
        DWORD n = 0;
        if (!ReadFile(handleOf(handle_), buffer + got, static_cast<DWORD>(bytes - got), &n, &at) ||
            n == 0) {
            break;  // the end, or an error: the file ends here for the scanner
        }
        got += static_cast<int32_t>(n);
    }
    return got;
}

// Open always takes the size here.
int32_t ScanFileReader::readFirstBytes(char* buffer, int32_t bytes) {
    return readFile(0, buffer, static_cast<int32_t>(std::clamp<int64_t>(fileSize_, 0, bytes)));
}

intptr_t holdFolder(intptr_t) {
    return -1;
}

void releaseFolder(intptr_t) {}

// CreateFile and FindFirstFile fail so only when the process or the system
// is out of handles.
bool openFailedForWantOfDescriptors() {
    const DWORD error = GetLastError();
    return error == ERROR_TOO_MANY_OPEN_FILES || error == ERROR_NO_SYSTEM_RESOURCES;
}

int32_t openFilesAllowed() {
    return INT32_MAX;
}

int32_t foldersToHold() {
    return 0;
}

bool ScanReadAhead::wantsNext() {
    return false;
}

void ScanReadAhead::fileListed(const char*, intptr_t, const char*, int32_t) {}

}  // namespace tarvo
