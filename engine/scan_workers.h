// Several file scanners side by side, for tarvo-find. The run still walks
// on its own thread: it queues each file it would read, with the result
// sink's bar for it. Workers on threads of their own, and the run's own
// scanner whenever the run would otherwise wait, open and scan the queued
// files, each into the file's own results; the run takes the files back
// strictly in the order it queued them, keeping the file memory as it does.
// So the results reach the sink, and the counters and the file memory
// change, exactly as one scanner would have left them.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
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
    std::string path;
    // With several scanners: the held folder (see ScanWorkers::queue) and
    // the file's name in it, from path + nameAt; -1 to open by path.
    intptr_t folder = -1;
    size_t nameAt = 0;
    int32_t heldAt = -1;  // its folder's place among the held ones
    bool onSyntaxList = false;
    bool opened = false;  // the scanner could open it
    // It could not, for want of file descriptors: the run opens it again
    // (see ScanWorkers::makeRoom), as that is nothing about the file.
    bool wantedDescriptors = false;
    ScanFileReader file;
    FileResults results;
    ScanOutcome outcome;
};

class ScanWorkers {
public:
    // `threads` scanners in all: the run's own `scanner`, and threads - 1
    // workers. `host` is the run's, pumped only on the run's own thread and
    // told on each scanner's own when a file's scan begins.
    ScanWorkers(int32_t threads, SearchHost& host, const SearchRequest& request,
                FileScanner& scanner);
    ScanWorkers(const ScanWorkers&) = delete;
    ScanWorkers& operator=(const ScanWorkers&) = delete;
    ~ScanWorkers();

    // Every worker's scanner takes the terms; none may be scanning.
    void setTerms(const TermTable& terms);

    // The job to fill with the next file. Waits while every job is in
    // flight, taking back (through `done`) those that have come back.
    ScanJob& nextJob(const std::function<void(ScanJob&)>& done);
    // Queues the job nextJob gave, its path set and its results started.
    // `folder` and `name`: the walk's open listing and the file's name in
    // it (see ScanFileReader::open); a scanner opens the file by that name
    // in a handle of its own on the folder, held until the folder's queued
    // files are taken back.
    void queue(intptr_t folder = -1, const char* name = nullptr);
    // Whether a queued job not yet taken back is for this path.
    bool inFlight(const char* path) const;
    // Takes back every queued job, in order, through `done`.
    void finish(const std::function<void(ScanJob&)>& done);
    // After an open failed for want of file descriptors: waits until no
    // scanner is opening or reading a file, lets go every held folder (the
    // files queued in them are opened by path instead) and holds none for
    // the rest of the run, then calls `retry` (which opens again what could
    // not be opened) before the scanners go on. On the run's thread, between
    // two jobs taken back.
    void makeRoom(const std::function<void()>& retry);

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
    // The run's thread makes progress: it takes back the oldest job if it is
    // done, else scans a queued one itself, else waits for the oldest.
    void advance(std::unique_lock<std::mutex>& lock, const std::function<void(ScanJob&)>& done);
    // Takes back the oldest job once it is done; false when it is not (or
    // there is none) yet. Called with `lock` held; releases it around `done`.
    bool takeBack(std::unique_lock<std::mutex>& lock, const std::function<void(ScanJob&)>& done,
                  bool wait);
    // Scans the oldest queued job not yet begun with `scanner`; false when
    // there is none. Called with `lock` held; releases it around the scan.
    bool scanNext(std::unique_lock<std::mutex>& lock, FileScanner& scanner);
    // The place of the held folder at `path`, the walk's open `folder`,
    // counting one more file in it; -1 when it cannot be held.
    int32_t holdFolderOf(std::string_view path, intptr_t folder);
    void releaseFolderOf(const ScanJob& job);

    SearchHost& host_;
    FileScanner& scanner_;  // the run's own
    WorkerHost workerHost_;
    std::vector<std::unique_ptr<Worker>> workers_;
    // The jobs form a ring, by positions counted on: taken back before
    // `back_`, scanned or being scanned before `scanned_`, queued before
    // `queued_`. Done jobs are marked in `done_`.
    std::vector<ScanJob> jobs_;
    std::vector<bool> done_;
    uint64_t back_ = 0, scanned_ = 0, queued_ = 0;
    int64_t waitingLines_ = 0;  // the lines kept by the done jobs not taken back
    // The paths of the jobs queued and not taken back, by their hashes:
    // each job's, and how many of those jobs fall in each bucket, so that a
    // path not in flight (nearly every one) is told so by one counter. The
    // run's thread alone uses them.
    std::vector<size_t> jobHashes_;
    std::vector<uint32_t> queuedInBucket_;  // a power of two of buckets
    // Folders held open for the queued files listed in them, the run's
    // thread alone using them. A folder is held from its first queued file
    // until the walk has gone on and its files are taken back; it is found
    // again by its path when the walk comes back from a subfolder.
    struct HeldFolder {
        std::string path;
        intptr_t handle = -1;  // -1: the place is free
        int32_t files = 0;     // queued and not taken back
    };
    std::vector<HeldFolder> folders_;
    int32_t currentFolder_ = -1;  // the folder of the file queued last
    int32_t scanning_ = 0;        // jobs begun and not done
    bool paused_ = false;         // makeRoom waits: no job is begun
    bool quit_ = false;
    std::mutex mutex_;
    std::condition_variable queuedOne_;  // workers wait here for a job
    std::condition_variable doneOne_;    // the run waits here for the oldest job
};

}  // namespace tarvo
