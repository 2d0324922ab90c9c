#include "engine/directory_walk.h"

#include <algorithm>
#include <deque>
#include <utility>

#include "engine/directory_listing.h"
#include "engine/file_filters.h"
#include "engine/path_list.h"
#include "engine/scan_file_reader.h"
#include "engine/scan_window.h"
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
                             FileVisitor visitFile, RoomMaker makeRoom, bool readAhead)
    : host_(host),
      request_(request),
      stats_(stats),
      visitFile_(std::move(visitFile)),
      makeRoom_(std::move(makeRoom)),
      readingAhead_(readAhead),
      ignores_(kFileNamesFoldCase) {}

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
    bool opened = listing.open(path);
    // Too many files open is nothing about the folder: once the run has let
    // go of what it can, the folder is listed; else it is said, not passed
    // over.
    bool wanted = !opened && openFailedForWantOfDescriptors();
    if (wanted) {
        makeRoom_([&] {
            opened = listing.open(path);
            wanted = !opened && openFailedForWantOfDescriptors();
        });
    }
    if (wanted) {
        reportRoot(host_, "Error: too many files open to list " + path);
        return;
    }
    if (!opened) {
        if (isReadableFile(path)) {
            // A root naming a single file: read unless its type is left out.
            if (readsFileOfType(request_, path)) {
                visitFile_(path.c_str(), -1, nullptr);
            } else {
                ++stats_.skippedByFilters;
            }
        } else if (depth == 0) {
            reportRoot(host_, "Error: can't open directory " + path);
        }
        return;  // an unlistable subdirectory is passed over silently
    }
    levels_.resize(depth);
    levels_.push_back(Level{&path, false, false, {}});

    // With Skip Ignored Files the whole listing is read first: whether the
    // folder holds ".git" and a .gitignore decides about every entry, and
    // the file system lists them in any order.
    const bool ignoring = request_.options.skipIgnoredFiles;
    std::vector<DirectoryEntry> held;
    size_t nextHeld = 0;
    if (ignoring) {
        bool holdsGit = false;
        const char* rulesName = nullptr;
        for (DirectoryEntry entry; listing.next(entry);)
            held.push_back(std::move(entry));
        for (const DirectoryEntry& entry : held) {
            holdsGit =
                holdsGit || (entry.kind != EntryKind::Skipped && ignores_.isGitName(entry.name));
            if (entry.kind == EntryKind::File && ignores_.isRulesName(entry.name))
                rulesName = entry.name.c_str();
        }
        ignores_.enterFolder(path, depth, holdsGit, rulesName, listing.folder());
    }
    const auto nextListed = [&](DirectoryEntry& entry) {
        if (!ignoring) return listing.next(entry);
        if (nextHeld == held.size()) return false;
        entry = std::move(held[nextHeld++]);
        return true;
    };

    // Entries are listed up to kReadAheadFiles files beyond the one being
    // scanned, each file handed to the read-ahead as it is listed; what the
    // filters leave out is counted then and never listed.
    std::deque<DirectoryEntry> listed;
    int32_t filesListed = 0;
    bool listingEnded = false;
    DirectoryEntry entry;
    std::string child;
    for (;;) {
        while (!listingEnded && filesListed <= kReadAheadFiles) {
            if (!nextListed(entry)) {
                listingEnded = true;
            } else if (entry.kind != EntryKind::Skipped) {
                const bool fits = childPath(path, entry.name, child);
                if (leftOut(entry, child, depth, ignoring)) {
                    ++stats_.skippedByFilters;
                    continue;
                }
                if (entry.kind == EntryKind::File) {
                    ++filesListed;
                    if (fits && readingAhead_ && readAhead_.wantsNext()) {
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

// A folder is left out by name or by Git's rules, a file by its type or by
// Git's rules; inside a work tree ".git" always is. Folders count only where
// Recursive would enter them.
bool DirectoryWalk::leftOut(const DirectoryEntry& entry, const std::string& path, int depth,
                            bool ignoring) {
    const bool isDirectory = entry.kind != EntryKind::File;
    if (isDirectory) {
        if (!request_.options.recursive || entry.name == "." || entry.name == "..") return false;
        if (isSkippedFolder(entry.name, request_.skipFolders)) return true;
    } else if (!readsFileOfType(request_, path)) {
        return true;
    }
    return ignoring && ignores_.inWorkTree(depth) &&
           (ignores_.isGitName(entry.name) || ignores_.ignores(depth, entry.name, isDirectory));
}

bool DirectoryWalk::readsRemembered(const std::string& path,
                                    const std::vector<std::string>& roots) {
    const bool ignoring = request_.options.skipIgnoredFiles;
    if (request_.skipFolders.empty() && !ignoring) return true;
    const auto root = std::find_if(roots.begin(), roots.end(), [&](const std::string& r) {
        return path != r && liesUnderRoot(path, r, true);
    });
    if (root == roots.end()) return true;
    const std::string_view below = std::string_view(path).substr(root->size() + 1);
    for (size_t at = 0, end; (end = below.find(kPathSeparator, at)) != std::string_view::npos;
         at = end + 1) {
        if (isSkippedFolder(below.substr(at, end - at), request_.skipFolders)) return false;
    }
    return !ignoring || !ignores_.ignoresBelow(*root, below);
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
