// The directory walk: each root depth first, in the order the file system
// lists the entries (no sorting; files and folders interleaved), every file
// handed on as it is met. It lists a few files ahead of the one it hands on
// and tells the read-ahead about each, so that on a cold cache the disk
// serves several files while the ones before them are scanned.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/directory_listing.h"
#include "engine/ignore_stack.h"
#include "engine/scan_read_ahead.h"
#include "engine/search_host.h"
#include "engine/search_request.h"
#include "engine/search_stats.h"

namespace tarvo {

class DirectoryWalk {
public:
    // A file the walk met. `folder` is the open listing that holds it and
    // `name` its name there, to open it by (see ScanFileReader::open); -1
    // and null for a root naming a file.
    using FileVisitor = std::function<void(const char* path, intptr_t folder, const char* name)>;
    // Lets go of the file descriptors the run can do without, then calls
    // its argument, which opens again what could not be opened for want of
    // them.
    using RoomMaker = std::function<void(const std::function<void()>& retry)>;

    // The request is read live: Recursive at every folder entry, the
    // filters at every entry listed, Skip Ignored Files at every folder. The
    // walk counts the entries it passes over for length (systemCanName), and
    // those the filters leave out, into `stats`.
    // `readAhead`: the files listed are read ahead (off for a caller that
    // never reads them).
    DirectoryWalk(SearchHost& host, const SearchRequest& request, SearchStats& stats,
                  FileVisitor visitFile, RoomMaker makeRoom, bool readAhead = true);

    // Forgets the rule files of Skip Ignored Files the last search read.
    void startSearch() { ignores_.startSearch(); }

    // Walks a root (depth 0) or a folder below one. Goes on only while the
    // run state is Running; a root longer than kMaxPathLength characters, or
    // neither a listable folder nor a readable file, is reported through
    // the host, and so is a folder at any depth that cannot be listed for
    // want of file descriptors even after the run has made room. A root is
    // searched whatever the filters say of its folder.
    void walkDirectory(const std::string& path, int depth);

    // Whether the walk would read a remembered file: none of the folders
    // between the first of `roots` it lies under and the file is one Skip
    // Folders names or Skip Ignored Files leaves out, nor is the file. A
    // file under none of the roots is not asked about.
    bool readsRemembered(const std::string& path, const std::vector<std::string>& roots);

private:
    // A folder being listed: the walk's path to it and, once a folder link
    // is met at or below it, the path with every link resolved.
    struct Level {
        const std::string* path = nullptr;  // walkDirectory's argument, alive while it is listed
        bool resolved = false;
        bool known = false;  // the system could resolve it
        std::string real;
    };

    bool running() const { return host_.runState() == RunState::Running; }
    bool leadsBack(const std::string& link, int depth);
    // Whether a filter leaves out the entry at `path` of the folder at
    // `depth`; `ignoring`: Skip Ignored Files was on when it was listed.
    bool leftOut(const DirectoryEntry& entry, const std::string& path, int depth, bool ignoring);

    SearchHost& host_;
    const SearchRequest& request_;
    SearchStats& stats_;
    FileVisitor visitFile_;
    RoomMaker makeRoom_;
    ScanReadAhead readAhead_;  // kept across folders and roots
    bool readingAhead_;
    IgnoreStack ignores_;        // the rule sets of the folders being listed
    std::vector<Level> levels_;  // the root first; those past the current depth are stale
};

}  // namespace tarvo
