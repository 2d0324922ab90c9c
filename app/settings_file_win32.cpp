// The settings file's system side on Windows: CreateFileW with CREATE_NEW,
// FlushFileBuffers and MoveFileExW, every path through the wide boundary
// (engine/system_path_win32.h), so a folder named in any script
// (C:\Users\Jürgen, C:\Users\Жанна) is the folder the program reads from.
#include <windows.h>

#include "app/settings_file.h"
#include "app/settings_file_system.h"
#include "engine/system_path.h"
#include "engine/system_path_win32.h"

namespace tarvo {

namespace {

// A name already taken is another save's temporary file; a new random name
// is tried, a few times.
constexpr int kCreateAttempts = 8;
// FILETIME counts 100-nanosecond steps.
constexpr int64_t kFileTimeSecond = 10000000;

HANDLE handleOf(intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// The file a link or junction names; any other path as it is. Windows
// hands it back in the long form, made ordinary again here.
std::string followLinks(const char* path) {
    const std::wstring wide = widePath(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return path;
    HANDLE file =
        CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return path;
    const std::string resolved = pathFromSystem([file](wchar_t* buffer, size_t size) {
        return GetFinalPathNameByHandleW(file, buffer, static_cast<DWORD>(size),
                                         FILE_NAME_NORMALIZED);
    });
    CloseHandle(file);
    return resolved.empty() ? std::string(path) : ordinaryPath(resolved);
}

int64_t fileTimeOf(const FILETIME& time) {
    return static_cast<int64_t>((uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime);
}

}  // namespace

SettingsFileKind settingsFileKind(const char* path) {
    const DWORD attributes = GetFileAttributesW(widePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return SettingsFileKind::Missing;
    // Devices and pipes are refused when the file is opened: the reader
    // takes only files on a disk.
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? SettingsFileKind::Other
                                                   : SettingsFileKind::Regular;
}

FileReplacement::~FileReplacement() {
    if (handle_ != -1) CloseHandle(handleOf(handle_));
    if (!temp_.empty()) DeleteFileW(widePath(temp_).c_str());
}

bool FileReplacement::fail() {
    const DWORD error = GetLastError();
    char text[512];
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             error, 0, text, sizeof text, nullptr);
    // The system's text ends with a full stop and a line break.
    while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n' || text[n - 1] == '.'))
        --n;
    reason_ = n > 0 ? std::string(text, n) : "error " + std::to_string(error);
    return false;
}

bool FileReplacement::refuse(const char* reason) {
    reason_ = reason;
    return false;
}

bool FileReplacement::open(const char* path) {
    target_ = followLinks(path);
    const DWORD attributes = GetFileAttributesW(widePath(target_).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (GetLastError() != ERROR_FILE_NOT_FOUND) return fail();
    } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        return refuse(kNotRegularFile);
    } else if (attributes & FILE_ATTRIBUTE_READONLY) {
        // MoveFileExW would refuse it too, but only after the whole write.
        SetLastError(ERROR_ACCESS_DENIED);
        return fail();
    }
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < kCreateAttempts && file == INVALID_HANDLE_VALUE; ++attempt) {
        const std::string temp = temporaryPathFor(target_, GetCurrentProcessId());
        // CREATE_NEW: never a file planted under the name.
        file = CreateFileW(widePath(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) temp_ = temp;
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (file == INVALID_HANDLE_VALUE) return fail();
    handle_ = reinterpret_cast<intptr_t>(file);
    return true;
}

bool FileReplacement::write(const char* data, size_t size) {
    while (size > 0) {
        const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
        DWORD n = 0;
        if (!WriteFile(handleOf(handle_), data, chunk, &n, nullptr)) return fail();
        data += n;
        size -= n;
    }
    return true;
}

bool FileReplacement::commit() {
    HANDLE file = handleOf(handle_);
    handle_ = -1;
    // Flushed before the rename: a power cut after it must find the new
    // bytes under the name, not an empty file.
    const bool flushed = FlushFileBuffers(file);
    const DWORD error = GetLastError();
    CloseHandle(file);
    if (!flushed) {
        SetLastError(error);
        return fail();
    }
    if (!MoveFileExW(widePath(temp_).c_str(), widePath(target_).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return fail();
    }
    temp_.clear();
    removeLeftovers();
    return true;
}

void FileReplacement::removeLeftovers() const {
    const size_t separator = target_.find_last_of("\\/");
    const std::string folder =
        separator == std::string::npos ? "" : target_.substr(0, separator + 1);
    const std::string name = target_.substr(folder.size());
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(widePath(target_ + ".tmp-*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const int64_t before = fileTimeOf(now) - kLeftoverAgeSeconds * kFileTimeSecond;
    do {
        // Younger ones may belong to a save still running beside this one.
        const std::string foundName = utf8Of(found.cFileName);
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            isTemporaryNameOf(name, foundName) && fileTimeOf(found.ftLastWriteTime) < before) {
            DeleteFileW(widePath(folder + foundName).c_str());
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

}  // namespace tarvo
