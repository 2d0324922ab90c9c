// The directory listing on Windows: FindFirstFileExW / FindNextFileW.
#include <windows.h>

#include "engine/directory_listing_win32.h"
#include "engine/system_path_win32.h"

namespace tarvo {

namespace {

// FindNextFileW can fail transiently (a network share dropping a packet);
// a listing that keeps failing this many times in a row is given up, so a
// broken directory cannot hold the walk forever.
constexpr int kMaxConsecutiveListingFailures = 10;

// FindFirstFileExW already returns the first entry, so it is held here until
// the first call of next().
struct FindState {
    HANDLE find = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW data = {};
    bool pending = false;
};

}  // namespace

EntryKind entryKindOf(uint32_t attributes) {
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return EntryKind::File;
    // Junctions, directory links, mounted folders and cloud placeholders all
    // carry this bit; the walk resolves them before entering, as they can
    // loop. The reparse tag is not looked at: every kind is walked alike.
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return EntryKind::FolderLink;
    return EntryKind::Directory;
}

bool realFolderPath(const std::string& path, std::string& real) {
    // With the separator "C:" is the drive's root, not the current folder on
    // C:, and the empty path the current drive's root, as in the listing's
    // pattern. Backup semantics open a folder; no access to it is asked.
    HANDLE folder = CreateFileW(widePath(path + '\\').c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE) return false;
    // The system's own name for the folder the links lead to, in the NT form
    // ("\Device\HarddiskVolume3\src"): unlike the drive-letter form it also
    // names a volume mounted on a folder without a letter. The first call
    // may only tell the size needed, NUL included.
    constexpr DWORD kFlags = FILE_NAME_NORMALIZED | VOLUME_NAME_NT;
    std::wstring name(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(folder, name.data(), MAX_PATH, kFlags);
    if (length >= MAX_PATH) {
        name.resize(length);
        length = GetFinalPathNameByHandleW(folder, name.data(), length, kFlags);
    }
    CloseHandle(folder);
    if (length == 0 || length >= name.size()) return false;
    name.resize(length);
    if (name.back() == L'\\') name.pop_back();  // a volume's root
    real = utf8Of(name);
    return true;
}

DirectoryListing::~DirectoryListing() {
    close();
}

bool DirectoryListing::open(const std::string& path) {
    close();
    path_ = path;
    // The empty path is the root: "\*" lists the root of the current drive.
    const std::wstring pattern = widePath(path + "\\*");
    auto* state = new FindState;
    // The basic level leaves out the 8.3 short name, which the walk never
    // reads; the large fetch asks the file system for bigger batches per
    // call, which counts in directories of thousands of sources.
    state->find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &state->data,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (state->find == INVALID_HANDLE_VALUE) {
        delete state;
        return false;
    }
    state->pending = true;
    handle_ = state;
    return true;
}

bool DirectoryListing::next(DirectoryEntry& entry) {
    auto* state = static_cast<FindState*>(handle_);
    if (!state) return false;
    if (!state->pending) {
        int failures = 0;
        while (!FindNextFileW(state->find, &state->data)) {
            if (GetLastError() == ERROR_NO_MORE_FILES) return false;
            if (++failures >= kMaxConsecutiveListingFailures) return false;
        }
    }
    state->pending = false;
    entry.name = utf8Of(state->data.cFileName);
    entry.kind = entryKindOf(state->data.dwFileAttributes);
    return true;
}

intptr_t DirectoryListing::folder() const {
    return -1;
}

void DirectoryListing::close() {
    auto* state = static_cast<FindState*>(handle_);
    if (!state) return;
    FindClose(state->find);
    delete state;
    handle_ = nullptr;
}

}  // namespace tarvo
