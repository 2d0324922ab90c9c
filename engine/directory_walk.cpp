#include "engine/directory_walk.h"

#include <deque>
#include <utility>

#include "engine/directory_listing.h"
#include "engine/file_scanner.h"
#include "engine/path_list.h"
#include "engine/system_path.h"
#include "engine/wide_text.h"

namespace tarvo {

namespace {

// Enough files in flight to keep a disk's queue busy, few enough that
// their first windows stay in the page cache until they are scanned.
constexpr int32_t kReadAheadFiles = 16;

// A root that is not a listable directory may still name a file. The
// scanner's reader opens only regular files, without blocking on a FIFO or
// a device, and with nothing between the test and the open to race.
bool isReadableFile(const std::string& path) {
    ScanFileReader file;
    return file.open(path.c_str());
}

// The empty root is the root directory: its entries become "/name". False
// when the joined path is longer than the system can name.
bool childPath(const std::string& path, const std::string& name, std::string& child) {
    child.assign(path);
    child += kPathSeparator;
    child += name;
    return systemCanName(child);
}

void reportRoot(SearchHost& host, const std::string& message) {
    host.reportError(message.c_str());
}

}  // namespace

DirectoryWalk::DirectoryWalk(SearchHost& host, const SearchRequest& request, SearchStats& stats,
                             FileVisitor visitFile)
    : host_(host), request_(request), stats_(stats), visitFile_(std::move(visitFile)) {}

void DirectoryWalk::walkDirectory(const std::string& path, int depth) {
    if (!running()) return;

    // A root is held to kMaxPathLength characters, counted as Windows counts
    // them; the paths built below it only to what the system can name, and
    // those beyond are counted and passed over before they get here.
    if (depth == 0 && toUtf16(path).size() > static_cast<size_t>(kMaxPathLength)) {
        const std::string limit = std::to_string(kMaxPathLength);
        reportRoot(host_, "Error: the path is longer than " + limit + " characters: " + path);
        return;
    }
    DirectoryListing listing;
    if (!listing.open(path)) {
        if (isReadableFile(path)) {
            visitFile_(path.c_str(), -1, nullptr);  // a root naming a single file
        } else if (depth == 0) {
            reportRoot(host_, "Error: can't open directory " + path);
        }
        return;  // an unlistable subdirectory is passed over silently
    }
    levels_.resize(depth);
    levels_.push_back(Level{&path, false, false, {}});

    // Entries are listed up to kReadAheadFiles files beyond the one being
    // scanned, each file handed to the read-ahead as it is listed.
    std::deque<DirectoryEntry> listed;
    int32_t filesListed = 0;
    bool listingEnded = false;
    DirectoryEntry entry;
    std::string child;
    for (;;) {
        while (!listingEnded && filesListed <= kReadAheadFiles) {
            if (!listing.next(entry)) {
                listingEnded = true;
            } else if (entry.kind != EntryKind::Skipped) {
                if (entry.kind == EntryKind::File) {
                    ++filesListed;
                    // An excluded file is never opened: nothing to read ahead.
                    if (readAhead_.wantsNext() && childPath(path, entry.name, child) &&
                        !matchesExtensionList(child, request_.excludeList)) {
                        readAhead_.fileListed(child.c_str(), listing.folder(), entry.name.c_str(),
                                              kScanWindowSize);
                    }
                }
                listed.push_back(std::move(entry));
            }
        }
        if (listed.empty()) return;
        entry = std::move(listed.front());
        listed.pop_front();
        const bool isDirectory =
            entry.kind == EntryKind::Directory || entry.kind == EntryKind::FolderLink;
        if (!isDirectory) --filesListed;
        // Recursive is read live, at every entry.
        if (isDirectory &&
            (!request_.options.recursive || entry.name == "." || entry.name == "..")) {
            continue;
        }
        if (!childPath(path, entry.name, child)) {
            ++stats_.pathsTooLong;
            continue;
        }
        if (entry.kind == EntryKind::FolderLink && leadsBack(child, depth)) continue;

        if (isDirectory) {
            walkDirectory(child, depth + 1);  // depth first, at once
        } else {
            visitFile_(child.c_str(), listing.folder(), entry.name.c_str());
        }
        if (!running()) return;  // the listing closes on the way out
    }
}

// Entering a link whose target is a folder being listed, or holds one, would
// list the same folders again and again, one level deeper each time. Only
// links are resolved, and the folders being listed only once a link is met
// below them, each once. A link or folder the system cannot resolve is
// taken to lead back: it is not entered.
bool DirectoryWalk::leadsBack(const std::string& link, int depth) {
    std::string target;
    if (!realFolderPath(link, target)) return true;
    for (int i = 0; i <= depth; ++i) {
        Level& level = levels_[static_cast<size_t>(i)];
        if (!level.resolved) {
            level.resolved = true;
            level.known = realFolderPath(*level.path, level.real);
        }
        if (!level.known || liesUnderRoot(level.real, target, true)) return true;
    }
    return false;
}

}  // namespace tarvo
