#include "pixel/pool.hpp"

#ifndef _WIN32
#include <pthread.h>
#include <sched.h>
#include <signal.h>
#endif

#include <atomic>
#include <charconv>
#include <condition_variable>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace tessary::pixel {
namespace detail {

// The rows of one sum_rows call. It lives on the caller's stack, so the worker
// that accounts for the last rows signals completion while holding `mutex`:
// the caller cannot wake and destroy it before that worker is done with it.
struct Job {
    Job(const RowSum& work_, std::uint64_t rows) : work(work_), remaining(rows) {}

    void fail(std::exception_ptr failure) noexcept {
        failed.store(true, std::memory_order_relaxed);
        std::lock_guard lock(mutex);
        if (!error) error = std::move(failure);
    }

    // `rows` were counted (into `sum`) or abandoned after a failure.
    void account(std::uint64_t sum, std::uint64_t rows) noexcept {
        total.fetch_add(sum, std::memory_order_relaxed);
        if (remaining.fetch_sub(rows, std::memory_order_acq_rel) == rows) {
            std::lock_guard lock(mutex);
            done = true;
            finished.notify_all();
        }
    }

    const RowSum work;
    std::atomic<std::uint64_t> total{0};
    std::atomic<std::uint64_t> remaining;
    std::atomic<bool> failed{false};
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;         // guarded by mutex
    std::exception_ptr error;  // guarded by mutex
};

struct Task {
    Job* job;
    std::uint64_t begin;
    std::uint64_t end;
};

}  // namespace detail

namespace {

// Threads started while this lives block every signal, so the kernel hands
// signals to the interpreter's own threads: a Ctrl-C that landed on a worker
// would not interrupt the main thread's sleep or wait.
#ifndef _WIN32
class SignalsBlocked {
public:
    SignalsBlocked() noexcept {
        sigset_t all;
        sigfillset(&all);
        pthread_sigmask(SIG_SETMASK, &all, &previous_);
    }
    ~SignalsBlocked() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    SignalsBlocked(const SignalsBlocked&) = delete;
    SignalsBlocked& operator=(const SignalsBlocked&) = delete;

private:
    sigset_t previous_;
};
#else
// Windows delivers Ctrl-C on a thread of its own: there is nothing to block.
struct SignalsBlocked {
    SignalsBlocked() noexcept {}
};
#endif

}  // namespace

class Pool {
public:
    explicit Pool(std::size_t workers) {
        threads_.reserve(workers);
        const SignalsBlocked blocked;
        try {
            for (std::size_t i = 0; i < workers; ++i) threads_.emplace_back([this] { work(); });
        } catch (...) {
            stop();
            throw;
        }
    }

    Pool(const Pool&) = delete;
    Pool& operator=(const Pool&) = delete;

    // Throws (std::bad_alloc) only when nothing was queued.
    void submit(const detail::Task& task) {
        {
            std::lock_guard lock(mutex_);
            queue_.push_back(task);
            queued_.fetch_add(1, std::memory_order_relaxed);
        }
        wake_.notify_one();
    }

private:
    // Only for a pool whose construction failed; a working pool is never stopped.
    void stop() noexcept {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        for (std::thread& thread : threads_) thread.join();
    }

    void work() noexcept {
        std::unique_lock lock(mutex_);
        for (;;) {
            idle_.fetch_add(1, std::memory_order_relaxed);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            idle_.fetch_sub(1, std::memory_order_relaxed);
            if (stopping_) return;
            const detail::Task task = queue_.front();
            queue_.pop_front();
            queued_.fetch_sub(1, std::memory_order_relaxed);
            lock.unlock();
            run(task);
            lock.lock();
        }
    }

    // A worker sits idle with no queued task to take: worth handing it half a run.
    bool wants_work() const noexcept {
        return idle_.load(std::memory_order_relaxed) > queued_.load(std::memory_order_relaxed);
    }

    bool try_submit(const detail::Task& task) noexcept {
        try {
            submit(task);
            return true;
        } catch (...) {
            return false;  // no room to queue: keep the rows and count them here
        }
    }

    // Counts the run row by row. Before each row, while other workers are idle,
    // the rows still ahead are halved and the upper half handed to the pool, so
    // the division follows which workers are free, never the pixels.
    void run(const detail::Task& task) noexcept {
        detail::Job& job = *task.job;
        std::uint64_t row = task.begin;
        std::uint64_t end = task.end;
        std::uint64_t sum = 0;
        try {
            while (row < end && !job.failed.load(std::memory_order_relaxed)) {
                if (end - row >= 2 && wants_work()) {
                    const std::uint64_t middle = row + (end - row) / 2;
                    if (try_submit({&job, middle, end})) {
                        end = middle;
                        continue;
                    }
                }
                sum += job.work.count_row(job.work.context, row);
                ++row;
            }
        } catch (...) {
            job.fail(std::current_exception());
        }
        job.account(sum, end - task.begin);
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<detail::Task> queue_;  // guarded by mutex_
    bool stopping_ = false;           // guarded by mutex_
    // Written under mutex_, read without it as a hint for splitting.
    std::atomic<std::size_t> idle_{0};
    std::atomic<std::size_t> queued_{0};
    std::vector<std::thread> threads_;
};

namespace {

constexpr const char* workers_setting = "TESSARY_NUM_THREADS";
constexpr const char* not_started = "The global thread pool has not been initialized.: ";

std::atomic<Pool*> current{nullptr};
std::mutex creation;  // trivially destructible: safe to use up to process exit
#ifndef _WIN32
bool fork_handlers_installed = false;  // guarded by creation

// Holding `creation` across fork() means the child never inherits it locked
// by a thread that does not exist there.
void before_fork() noexcept { creation.lock(); }
void after_fork_in_parent() noexcept { creation.unlock(); }
// The parent's workers did not survive; its pool is left untouched (its mutex
// may have been held at the fork) and a new one is built on next use.
void after_fork_in_child() noexcept {
    current.store(nullptr, std::memory_order_relaxed);
    creation.unlock();
}
#endif

std::size_t configured_workers() noexcept {
    if (const char* text = std::getenv(workers_setting)) {
        const char* last = text + std::strlen(text);
        std::size_t value = 0;
        const auto [stop, error] = std::from_chars(text, last, value);
        if (error == std::errc() && stop == last && value > 0) return value;
    }
#ifdef __linux__
    // The processors this process may run on, which a container or taskset narrows.
    cpu_set_t allowed;
    if (sched_getaffinity(0, sizeof allowed, &allowed) == 0) {
        const int count = CPU_COUNT(&allowed);
        if (count > 0) return static_cast<std::size_t>(count);
    }
#endif
    const unsigned count = std::thread::hardware_concurrency();
    return count > 0 ? count : 1;
}

}  // namespace

Pool& global_pool() {
    if (Pool* pool = current.load(std::memory_order_acquire)) return *pool;
    std::lock_guard lock(creation);
    if (Pool* pool = current.load(std::memory_order_acquire)) return *pool;
#ifndef _WIN32
    if (!fork_handlers_installed) {
        if (const int error = pthread_atfork(before_fork, after_fork_in_parent, after_fork_in_child)) {
            throw std::runtime_error(not_started + std::system_category().message(error));
        }
        fork_handlers_installed = true;
    }
#endif
    Pool* pool = nullptr;
    try {
        // Deliberately never deleted: see pool.hpp.
        pool = new Pool(configured_workers());
    } catch (const std::exception& failure) {
        throw std::runtime_error(std::string(not_started) + failure.what());
    }
    current.store(pool, std::memory_order_release);
    return *pool;
}

std::uint64_t sum_rows(Pool& pool, const RowSum& work, std::uint64_t begin, std::uint64_t end) {
    if (begin >= end) return 0;
    detail::Job job(work, end - begin);
    pool.submit({&job, begin, end});
    std::unique_lock lock(job.mutex);
    job.finished.wait(lock, [&job] { return job.done; });
    if (job.error) std::rethrow_exception(job.error);
    return job.total.load(std::memory_order_relaxed);
}

}  // namespace tessary::pixel
