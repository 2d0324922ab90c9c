// Several file scanners on threads of their own, for tarvo-find. The run
// still walks and keeps the file memory on its own thread, in the walk's
// order: it opens each file, takes the result sink's bar for it and queues
// it here. The workers scan the queued files side by side, each into the
// file's own results, and the run takes the files back strictly in the
// order it queued them. So the results reach the sink, and the counters and
// the file memory change, exactly as one scanner would have left them.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/file_results.h"
#include "engine/file_scanner.h"
#include "engine/scan_file_reader.h"
#include "engine/search_host.h"
#include "engine/search_request.h"
#include "engine/term_table.h"

namespace tarvo {

// One file on its way through a scanner.
struct ScanJob {
    ScanFileReader file;
    std::string path;
    bool onSyntaxList = false;
    FileResults results;
    ScanOutcome outcome;
};

class ScanWorkers {
public:
    // `threads` scanners. `host` is the run's, pumped only on the run's own
    // thread while it waits for a file to come back.
    ScanWorkers(int32_t threads, SearchHost& host, const SearchRequest& request);
    ScanWorkers(const ScanWorkers&) = delete;
    ScanWorkers& operator=(const ScanWorkers&) = delete;
    ~ScanWorkers();

    // Every scanner takes the terms; none may be scanning.
    void setTerms(const TermTable& terms);

    // The job to fill with the next file. Waits while every job is in
    // flight, taking back (through `done`) those that have come back.
    ScanJob& nextJob(const std::function<void(ScanJob&)>& done);
    // Queues the job nextJob gave, its file open and its results started.
    // A job not queued is given again by the next nextJob.
    void queue();
    // Takes back every queued job, in order, through `done`.
    void finish(const std::function<void(ScanJob&)>& done);

private:
    // What a worker's scanner pumps: the run's state, as the run's thread
    // last saw it.
    class WorkerHost final : public SearchHost {
    public:
        void pumpMessages() override {}
        RunState runState() const override {
            return stopped.load(std::memory_order_relaxed) ? RunState::Idle : RunState::Running;
        }
        void reportError(const char*) override {}
        void requestRefresh() override {}
        std::atomic<bool> stopped = false;
    };
    struct Worker {
        explicit Worker(WorkerHost& host, const SearchRequest& request) : scanner(host, request) {}
        FileScanner scanner;
        std::thread thread;
    };
    void work(Worker& worker);
    // Takes back the oldest job once it is done; false when it is not (or
    // there is none) yet. Called with `lock` held; releases it around `done`.
    bool takeBack(std::unique_lock<std::mutex>& lock, const std::function<void(ScanJob&)>& done,
                  bool wait);

    SearchHost& host_;
    WorkerHost workerHost_;
    std::vector<std::unique_ptr<Worker>> workers_;
    // The jobs form a ring, by positions counted on: taken back before
    // `back_`, scanned or being scanned before `scanned_`, queued before
    // `queued_`. Done jobs are marked in `done_`.
    std::vector<ScanJob> jobs_;
    std::vector<bool> done_;
    uint64_t back_ = 0, scanned_ = 0, queued_ = 0;
    bool quit_ = false;
    std::mutex mutex_;
    std::condition_variable queuedOne_;  // workers wait here for a job
    std::condition_variable doneOne_;    // the run waits here for the oldest job
};

}  // namespace tarvo
