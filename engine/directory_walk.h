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

#include "engine/scan_file_reader.h"
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

    // The request is read live: Recursive at every folder entry, the
    // exclude list at every file read ahead. The walk counts the entries it
    // passes over for length (systemCanName) into `stats`.
    DirectoryWalk(SearchHost& host, const SearchRequest& request, SearchStats& stats,
                  FileVisitor visitFile);

    // Walks a root (depth 0) or a folder below one. Goes on only while the
    // run state is Running; a root longer than kMaxPathLength characters, or
    // neither a listable folder nor a readable file, is reported through
    // the host.
    void walkDirectory(const std::string& path, int depth);

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

    SearchHost& host_;
    const SearchRequest& request_;
    SearchStats& stats_;
    FileVisitor visitFile_;
    ScanReadAhead readAhead_;    // kept across folders and roots
    std::vector<Level> levels_;  // the root first; those past the current depth are stale
};

}  // namespace tarvo
