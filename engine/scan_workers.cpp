#include "engine/scan_workers.h"

#include "engine/held_folders.h"

#include <bit>
#include <chrono>
#include <cstring>

namespace tarvo {

namespace {

// Files in flight per scanner: enough that the other scanners go on while
// one reads a file of many megabytes (the files are taken back in order,
// so the ones after it wait for it). A finished file waiting holds little:
// its path and the lines it keeps, and those lines are held to a budget.
constexpr int32_t kJobsPerThread = 512;
// The most lines finished files may keep while they wait to be taken back;
// past it the run stops queueing until some are taken back.
constexpr int64_t kWaitingLines = 4 * kMaxResults;
// Buckets of in-flight path hashes per job in flight: few enough to stay
// in the cache, enough that a path not in flight seldom finds its bucket
// taken.
constexpr size_t kBucketsPerJob = 16;
// A sleeping worker is woken once this many files wait, not for each one:
// waking a thread costs a system call, and a worker that is awake takes
// the waiting files one after the other without sleeping.
constexpr uint64_t kWakeWhenWaiting = 4;
// How often the run's thread looks at its host while it waits for a file:
// a stop (Ctrl+C) is seen this soon.
constexpr auto kPumpEvery = std::chrono::milliseconds(50);

// The lock is held for a few instructions at a time, but a thread that
// sleeps for it pays two system calls and wakes late (on a virtual machine,
// tens of microseconds): it tries again this many times first.
constexpr int kSpinsBeforeSleeping = 200;

void lockSoon(std::unique_lock<std::mutex>& lock) {
    for (int i = 0; i < kSpinsBeforeSleeping; ++i) {
        if (lock.try_lock()) return;
    }
    lock.lock();
}

}  // namespace

ScanWorkers::ScanWorkers(int32_t threads, SearchHost& host, const SearchRequest& request,
                         FileScanner& scanner)
    : host_(host),
      scanner_(scanner),
      jobs_(static_cast<size_t>(threads) * kJobsPerThread),
      done_(jobs_.size()),
      jobHashes_(jobs_.size()),
      queuedInBucket_(std::bit_ceil(jobs_.size() * kBucketsPerJob)),
      folders_(static_cast<size_t>(foldersToHold())) {
    for (int32_t i = 1; i < threads; ++i)
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
    for (const HeldFolder& folder : folders_)
        releaseFolder(folder.handle);
}

void ScanWorkers::setTerms(const TermTable& terms) {
    for (const std::unique_ptr<Worker>& worker : workers_)
        worker->scanner.setTerms(terms);
    workerHost_.stopped = false;  // a new run
    if (folders_.empty()) folders_.resize(static_cast<size_t>(foldersToHold()));
}

ScanJob& ScanWorkers::nextJob(const std::function<void(ScanJob&)>& done) {
    std::unique_lock lock(mutex_, std::defer_lock);
    lockSoon(lock);
    while (queued_ - back_ == jobs_.size() || waitingLines_ > kWaitingLines)
        advance(lock, done);
    while (takeBack(lock, done, false)) {
    }
    return jobs_[queued_ % jobs_.size()];
}

void ScanWorkers::queue(intptr_t folder, const char* name) {
    // The run's thread alone moves queued_ and back_ and sets the paths.
    const size_t at = queued_ % jobs_.size();
    ScanJob& job = jobs_[at];
    jobHashes_[at] = std::hash<std::string_view>{}(job.path);
    ++queuedInBucket_[jobHashes_[at] & (queuedInBucket_.size() - 1)];
    job.heldAt = -1;
    const size_t nameLength = name != nullptr ? std::strlen(name) : 0;
    if (folder >= 0 && nameLength > 0 && nameLength < job.path.size()) {
        // The walk's path is the folder's, a separator and the name.
        job.nameAt = job.path.size() - nameLength;
        job.heldAt = holdFolderOf(std::string_view(job.path).substr(0, job.nameAt - 1), folder);
    }
    job.folder = job.heldAt >= 0 ? folders_[job.heldAt].handle : -1;
    bool wake;
    {
        std::unique_lock lock(mutex_, std::defer_lock);
        lockSoon(lock);
        wake = ++queued_ - scanned_ >= kWakeWhenWaiting;
    }
    if (wake) queuedOne_.notify_one();
}

int32_t ScanWorkers::holdFolderOf(std::string_view path, intptr_t folder) {
    auto held = [&](int32_t at) {
        ++folders_[at].files;
        return currentFolder_ = at;
    };
    if (currentFolder_ >= 0 && folders_[currentFolder_].path == path) return held(currentFolder_);
    // The walk went on: the folder left is let go once its files are back.
    if (currentFolder_ >= 0 && folders_[currentFolder_].files == 0) {
        releaseFolder(folders_[currentFolder_].handle);
        folders_[currentFolder_].handle = -1;
    }
    currentFolder_ = -1;
    int32_t free = -1;
    for (int32_t at = 0; at < static_cast<int32_t>(folders_.size()); ++at) {
        if (folders_[at].handle < 0) {
            free = free < 0 ? at : free;
        } else if (folders_[at].path == path) {
            return held(at);
        }
    }
    if (free < 0) return -1;
    folders_[free].handle = holdFolder(folder);
    if (folders_[free].handle < 0) return -1;
    folders_[free].path.assign(path);
    return held(free);
}

void ScanWorkers::releaseFolderOf(const ScanJob& job) {
    if (job.heldAt < 0) return;
    HeldFolder& folder = folders_[job.heldAt];
    if (--folder.files == 0 && job.heldAt != currentFolder_) {
        releaseFolder(folder.handle);
        folder.handle = -1;
    }
}

bool ScanWorkers::inFlight(const char* path) const {
    const size_t hash = std::hash<std::string_view>{}(path);
    if (queuedInBucket_[hash & (queuedInBucket_.size() - 1)] == 0) return false;
    for (uint64_t position = back_; position != queued_; ++position) {
        const size_t at = position % jobs_.size();
        if (jobHashes_[at] == hash && jobs_[at].path == path) return true;
    }
    return false;
}

void ScanWorkers::finish(const std::function<void(ScanJob&)>& done) {
    std::unique_lock lock(mutex_);
    while (back_ != queued_)
        advance(lock, done);
    if (currentFolder_ >= 0) {
        releaseFolder(folders_[currentFolder_].handle);
        folders_[currentFolder_].handle = -1;
        currentFolder_ = -1;
    }
}

void ScanWorkers::makeRoom(const std::function<void()>& retry) {
    std::unique_lock lock(mutex_);
    // A worker may be opening its file in a held folder: none may be begun
    // while the folders go.
    paused_ = true;
    doneOne_.wait(lock, [this] { return scanning_ == 0; });
    for (uint64_t position = back_; position != queued_; ++position) {
        ScanJob& job = jobs_[position % jobs_.size()];
        job.folder = -1;
        job.heldAt = -1;
    }
    for (const HeldFolder& folder : folders_)
        releaseFolder(folder.handle);
    folders_.clear();
    currentFolder_ = -1;
    retry();
    paused_ = false;
    lock.unlock();
    queuedOne_.notify_all();
}

void ScanWorkers::advance(std::unique_lock<std::mutex>& lock,
                          const std::function<void(ScanJob&)>& done) {
    if (!takeBack(lock, done, false) && !scanNext(lock, scanner_)) takeBack(lock, done, true);
}

bool ScanWorkers::takeBack(std::unique_lock<std::mutex>& lock,
                           const std::function<void(ScanJob&)>& done, bool wait) {
    // The run stopped between files: the workers leave theirs too.
    if (host_.runState() != RunState::Running) workerHost_.stopped = true;
    if (back_ == queued_) return false;
    const size_t at = back_ % jobs_.size();
    if (!done_[at] && wait) queuedOne_.notify_all();  // every waiting file gets a scanner
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
    waitingLines_ -= jobs_[at].results.count();
    --queuedInBucket_[jobHashes_[at] & (queuedInBucket_.size() - 1)];
    ++back_;  // the run's thread alone reuses it, after `done`
    lock.unlock();
    // The held folders are the run's thread's alone, and letting one go is
    // a system call: outside the lock.
    releaseFolderOf(jobs_[at]);
    done(jobs_[at]);
    lockSoon(lock);
    return true;
}

bool ScanWorkers::scanNext(std::unique_lock<std::mutex>& lock, FileScanner& scanner) {
    if (scanned_ == queued_ || paused_) return false;
    const size_t at = scanned_++ % jobs_.size();
    ScanJob& job = jobs_[at];
    ++scanning_;
    lock.unlock();
    // After a stop the files not begun stay unread, as with one scanner.
    job.outcome = {};
    host_.scanBegins(job.path.c_str());
    job.opened = job.file.open(job.path.c_str(), job.folder, job.path.c_str() + job.nameAt);
    job.wantedDescriptors = !job.opened && openFailedForWantOfDescriptors();
    if (job.opened && workerHost_.runState() == RunState::Running)
        job.outcome =
            scanner.scanFile(job.file, job.path.c_str(), job.onSyntaxList, job.results, 0);
    job.file.close();
    lockSoon(lock);
    done_[at] = true;
    --scanning_;
    waitingLines_ += job.results.count();
    // The run waits for the oldest job alone, or, making room, for the last
    // one being scanned: any other wakes it for nothing.
    if (at == back_ % jobs_.size() || (paused_ && scanning_ == 0)) doneOne_.notify_one();
    return true;
}

void ScanWorkers::work(Worker& worker) {
    std::unique_lock lock(mutex_);
    for (;;) {
        queuedOne_.wait(lock, [this] { return quit_ || (scanned_ != queued_ && !paused_); });
        if (quit_) return;
        scanNext(lock, worker.scanner);
    }
}

}  // namespace tarvo
