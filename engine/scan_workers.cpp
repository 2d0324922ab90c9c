#include "engine/scan_workers.h"

#include <chrono>

namespace tarvo {

namespace {

// Files in flight per scanner: enough that a long file holds the others up
// only briefly, few enough that the lines the files keep stay small.
constexpr int32_t kJobsPerThread = 4;
// How often the run's thread looks at its host while it waits for a file:
// a stop (Ctrl+C) is seen this soon.
constexpr auto kPumpEvery = std::chrono::milliseconds(50);

}  // namespace

ScanWorkers::ScanWorkers(int32_t threads, SearchHost& host, const SearchRequest& request)
    : host_(host), jobs_(static_cast<size_t>(threads) * kJobsPerThread), done_(jobs_.size()) {
    for (int32_t i = 0; i < threads; ++i)
        workers_.push_back(std::make_unique<Worker>(workerHost_, request));
    for (const std::unique_ptr<Worker>& worker : workers_)
        worker->thread = std::thread([this, &worker = *worker] { work(worker); });
}

ScanWorkers::~ScanWorkers() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    queuedOne_.notify_all();
    for (const std::unique_ptr<Worker>& worker : workers_)
        worker->thread.join();
}

void ScanWorkers::setTerms(const TermTable& terms) {
    for (const std::unique_ptr<Worker>& worker : workers_)
        worker->scanner.setTerms(terms);
    workerHost_.stopped = false;  // a new run
}

ScanJob& ScanWorkers::nextJob(const std::function<void(ScanJob&)>& done) {
    std::unique_lock lock(mutex_);
    while (queued_ - back_ == jobs_.size())
        takeBack(lock, done, true);
    while (takeBack(lock, done, false)) {
    }
    return jobs_[queued_ % jobs_.size()];
}

void ScanWorkers::queue() {
    {
        std::lock_guard lock(mutex_);
        ++queued_;
    }
    queuedOne_.notify_one();
}

void ScanWorkers::finish(const std::function<void(ScanJob&)>& done) {
    std::unique_lock lock(mutex_);
    while (back_ != queued_)
        takeBack(lock, done, true);
}

bool ScanWorkers::takeBack(std::unique_lock<std::mutex>& lock,
                           const std::function<void(ScanJob&)>& done, bool wait) {
    // The run stopped between files: the workers leave theirs too.
    if (host_.runState() != RunState::Running) workerHost_.stopped = true;
    if (back_ == queued_) return false;
    const size_t at = back_ % jobs_.size();
    while (!done_[at]) {
        if (!wait) return false;
        if (doneOne_.wait_for(lock, kPumpEvery) == std::cv_status::timeout) {
            lock.unlock();
            host_.pumpMessages();
            lock.lock();
            if (host_.runState() != RunState::Running) workerHost_.stopped = true;
        }
    }
    done_[at] = false;
    ++back_;  // the run's thread alone reuses it, after `done`
    lock.unlock();
    done(jobs_[at]);
    lock.lock();
    return true;
}

void ScanWorkers::work(Worker& worker) {
    std::unique_lock lock(mutex_);
    for (;;) {
        queuedOne_.wait(lock, [this] { return quit_ || scanned_ != queued_; });
        if (quit_) return;
        const size_t at = scanned_++ % jobs_.size();
        ScanJob& job = jobs_[at];
        lock.unlock();
        // After a stop the files not begun stay unread, as with one scanner.
        job.outcome = workerHost_.runState() == RunState::Running
                          ? worker.scanner.scanFile(job.file, job.path.c_str(), job.onSyntaxList,
                                                    job.results, 0)
                          : ScanOutcome{};
        job.file.close();
        lock.lock();
        done_[at] = true;
        doneOne_.notify_one();
    }
}

}  // namespace tarvo
