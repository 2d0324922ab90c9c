// One search from its request to its end: parse the terms and the roots,
// empty the results, scan the remembered files first, walk every root depth
// first handing each file to the scanner, and credit the results. The run
// decides which files are read and keeps the file memory; the walk finds
// the files and the scanner reads them, on the run's thread or, for
// tarvo-find, on several (see ScanWorkers) with the same outcome.
//
// The request, the file memory and the result store are the host's
// objects, read and written live because the host's message handlers run
// nested inside the search whenever the scanner pumps messages.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/directory_walk.h"
#include "engine/file_memory.h"
#include "engine/file_scanner.h"
#include "engine/result_sink.h"
#include "engine/scan_workers.h"
#include "engine/search_host.h"
#include "engine/search_request.h"
#include "engine/search_stats.h"
#include "engine/term_table.h"

namespace tarvo {

class SearchRun {
public:
    // `threads`: how many scanners read files side by side, the run's own
    // among them; with 1 the run scans alone, as the window program must.
    SearchRun(SearchHost& host, const SearchRequest& request, FileMemory& memory,
              ResultSink& results, int32_t threads = 1);
    SearchRun(const SearchRun&) = delete;
    SearchRun& operator=(const SearchRun&) = delete;

    // Expects the host's RunState to be Running.
    void runSearch();
    // The first steps of runSearch: zero the counters, parse the terms and the
    // roots. A host that scans single files calls it instead of runSearch.
    void prepareRun();
    void walkDirectory(const std::string& path, int depth) { walk_.walkDirectory(path, depth); }
    // Reads one file unless its type is left out (the exclusion list, Only
    // File Types) or it was searched in this run.
    // `folder` and `name`: the walk's open listing and the file's name in
    // it, to open the file by (see ScanFileReader::open).
    void scanFile(const char* path, intptr_t folder = -1, const char* name = nullptr);

    const TermTable& terms() const { return terms_; }
    const SearchStats& stats() const { return stats_; }
    const std::vector<std::string>& roots() const { return roots_; }

private:
    bool running() const { return host_.runState() == RunState::Running; }
    void makeRoom(const std::function<void()>& retry);
    void openAgain(ScanJob& job);
    void remember(const ScanJob& job);
    void takeBack(ScanJob& job);

    SearchHost& host_;
    const SearchRequest& request_;
    FileMemory& memory_;
    ResultSink& results_;

    TermTable terms_;
    std::vector<std::string> roots_;  // the Path text's roots, in order
    SearchStats stats_;
    DirectoryWalk walk_;
    FileScanner scanner_;
    ScanJob job_;                           // the file being scanned, with one thread
    std::unique_ptr<ScanWorkers> workers_;  // with several
};

}  // namespace tarvo
