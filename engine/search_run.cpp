#include "engine/search_run.h"

#include "engine/file_filters.h"
#include "engine/path_list.h"

namespace tarvo {

SearchRun::SearchRun(SearchHost& host, const SearchRequest& request, FileMemory& memory,
                     ResultSink& results, int32_t threads)
    : host_(host),
      request_(request),
      memory_(memory),
      results_(results),
      walk_(
          host, request, stats_,
          [this](const char* path, intptr_t folder, const char* name) {
              scanFile(path, folder, name);
          },
          [this](const std::function<void()>& retry) { makeRoom(retry); }),
      scanner_(host, request) {
    if (threads > 1) workers_ = std::make_unique<ScanWorkers>(threads, host, request, scanner_);
    scanner_.setTerms(terms_);
}

void SearchRun::prepareRun() {
    stats_ = SearchStats{};
    walk_.startSearch();
    terms_.parseTerms(request_.findText);
    scanner_.setTerms(terms_);
    if (workers_) workers_->setTerms(terms_);
    roots_ = parsePathList(request_.pathText);
}

// No step tests RunState: the walk and the scanner test it on entry, so after
// a stop the remaining roots return at once and the results gathered so far
// are still credited.
void SearchRun::runSearch() {
    prepareRun();
    results_.clearResults();
    // A Path that names nothing searches nothing, and says so like a root
    // that cannot be opened: the remembered files alone, wherever they lie,
    // are not what was asked for.
    if (roots_.empty()) {
        host_.reportError("Error: the Path names no folder or file to search");
        return;
    }
    // Remembered files are held to the walk's filters: a memory kept under
    // other filters (or a .gitignore changed since) reads no file the walk
    // would leave out.
    memory_.rememberedFilesPass(terms_, [this](const char* path) {
        if (walk_.readsRemembered(path, roots_)) scanFile(path);
    });
    for (const std::string& root : roots_)
        walk_.walkDirectory(root, 0);
    if (workers_) workers_->finish([this](ScanJob& job) { takeBack(job); });
    memory_.creditResults(results_);
}

// The file memory changes in the order the files come, whether one scanner
// reads them or several: when a file is opened (one scanner) or taken back
// (several), on the run's thread either way.
void SearchRun::scanFile(const char* path, intptr_t folder, const char* name) {
    host_.pumpMessages();
    if (!running()) return;
    // The walk has asked already; a remembered file is asked here.
    if (!readsFileOfType(request_, path)) return;
    if (memory_.isSearched(path)) return;

    if (workers_) {
        // A file still in flight counts as searched: it is not marked yet.
        if (workers_->inFlight(path)) return;
        ScanJob& job = workers_->nextJob([this](ScanJob& done) { takeBack(done); });
        job.path = path;
        job.onSyntaxList = matchesExtensionList(path, request_.highlightList);
        job.results.start(results_.entryBar(path));
        workers_->queue(folder, name);
        return;
    }
    ScanJob& job = job_;
    job.path = path;
    job.opened = job.file.open(path, folder, name);
    job.wantedDescriptors = !job.opened && openFailedForWantOfDescriptors();
    if (job.wantedDescriptors) openAgain(job);
    remember(job);
    if (!job.opened) return;
    job.onSyntaxList = matchesExtensionList(path, request_.highlightList);
    job.results.start(results_.entryBar(path));
    job.outcome = scanner_.scanFile(job.file, path, job.onSyntaxList, job.results, stats_.matches);
    job.file.close();
    takeBack(job);
}

// Only the scanners side by side hold descriptors the run can let go of:
// the folders held for the files queued.
void SearchRun::makeRoom(const std::function<void()>& retry) {
    if (workers_) {
        workers_->makeRoom(retry);
    } else {
        retry();
    }
}

// A file that could not be opened for want of file descriptors, opened
// again by path once the run has made room; if it still cannot be, that is
// said, as the file is not known to be unreadable.
void SearchRun::openAgain(ScanJob& job) {
    makeRoom([&] {
        job.opened = job.file.open(job.path.c_str());
        job.wantedDescriptors = !job.opened && openFailedForWantOfDescriptors();
    });
    if (job.wantedDescriptors)
        host_.reportError(("Error: too many files open to read " + job.path).c_str());
}

// A file that cannot be opened is forgotten (vanished or moved); one that
// opens is remembered and marked searched before it is read, so every way
// on reads it at most once per run, whatever the scan comes to. A file that
// could not be opened for want of descriptors is neither.
void SearchRun::remember(const ScanJob& job) {
    const char* path = job.path.c_str();
    if (!job.opened) {
        if (!job.wantedDescriptors) memory_.remove(path);
        return;
    }
    memory_.add(path, 0);
    memory_.markSearched(path);
}

// A scanned file's lines, counters and binary mark, in the order the files
// were handed to the scanners.
void SearchRun::takeBack(ScanJob& job) {
    if (workers_) {
        // Taken back in order, so the file is read here, on the run's
        // thread, with the same outcome as had its scanner opened it.
        if (job.wantedDescriptors && running()) {
            openAgain(job);
            if (job.opened)
                job.outcome =
                    scanner_.scanFile(job.file, job.path.c_str(), job.onSyntaxList, job.results, 0);
            job.file.close();
        }
        remember(job);
        if (!job.opened) return;
    }
    const ScanOutcome& outcome = job.outcome;
    if (outcome.end == ScanEnd::Binary) {
        memory_.markBinary(job.path.c_str());
        return;
    }
    // Lines scored before a stop are kept too. Then the counters, then the
    // refresh request, so a repaint from inside the next pump shows a
    // consistent state.
    job.results.handTo(results_, job.path.c_str());
    stats_.matches += outcome.matches;
    if (outcome.end == ScanEnd::Read) {
        ++stats_.files;
        stats_.lines += outcome.lines;
        stats_.bytes += outcome.bytes;
    }
    host_.requestRefresh();
}

}  // namespace tarvo
