#pragma once

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace quendrix {

/// The threads a run uses: `requested`, or one per core for 0, never more than `tasks`.
inline int threadCount(int requested, int tasks) {
    const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
    return std::max(1, std::min(requested > 0 ? requested : cores, tasks));
}

/// Runs task(index, worker) for every index below `count` on `threads` threads, each worker
/// (0 .. threads - 1) taking the next index as it becomes free. Tasks write only their own
/// results, so the order they run in does not show. The first exception a task throws is
/// thrown again here once every thread has stopped.
template <class Task> void parallelFor(int count, int threads, const Task& task) {
    std::atomic<int> next{0};
    std::exception_ptr failure;
    std::mutex failureLock;
    auto work = [&](int worker) {
        for (int i = next++; i < count; i = next++) {
            try {
                task(i, worker);
            } catch (...) {
                const std::lock_guard lock(failureLock);
                if (!failure) {
                    failure = std::current_exception();
                }
                next = count;
            }
        }
    };
    std::vector<std::thread> pool;
    for (int w = 1; w < threads; ++w) {
        try {
            pool.emplace_back(work, w);
        } catch (const std::system_error&) {
            break; // the threads already started, and this one, share the work
        }
    }
    work(0);
    for (std::thread& t : pool) {
        t.join();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

} // namespace quendrix
