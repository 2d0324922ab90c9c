// The directory listing on Windows: FindFirstFileExA / FindNextFileA.
#include <windows.h>

#include "engine/directory_listing_win32.h"

namespace tarvo {

namespace {

// FindNextFileA can fail transiently (a network share dropping a packet);
// a listing that keeps failing this many times in a row is given up, so a
// broken directory cannot hold the walk forever.
constexpr int kMaxConsecutiveListingFailures = 10;

// FindFirstFileExA already returns the first entry, so it is held here until
// the first call of next().
struct FindState {
    HANDLE find = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAA data = {};
    bool pending = false;
};

}  // namespace

EntryKind entryKindOf(uint32_t attributes) {
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return EntryKind::File;
    // Following a junction or directory link can loop until paths overflow.
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return EntryKind::Skipped;
    return EntryKind::Directory;
}

DirectoryListing::~DirectoryListing() {
    close();
}

bool DirectoryListing::open(const std::string& path) {
    close();
    path_ = path;
    // The empty path is the root: "\*" lists the root of the current drive.
    std::string pattern = path + "\\*";
    auto* state = new FindState;
    // The basic level leaves out the 8.3 short name, which the walk never
    // reads; the large fetch asks the file system for bigger batches per
    // call, which counts in directories of thousands of sources.
    state->find = FindFirstFileExA(pattern.c_str(), FindExInfoBasic, &state->data,
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
        while (!FindNextFileA(state->find, &state->data)) {
            if (GetLastError() == ERROR_NO_MORE_FILES) return false;
            if (++failures >= kMaxConsecutiveListingFailures) return false;
        }
    }
    state->pending = false;
    entry.name = state->data.cFileName;
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
