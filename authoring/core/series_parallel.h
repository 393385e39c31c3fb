#pragma once
// Work shared among a few threads: job i of n runs on one of them (the calling one among them),
// in no fixed order; each job writes only what is its own. A series cuts and encodes its planes
// so, a tree transaction unlinks its staged files so.

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <exception>
#include <functional>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace ostrelin {

// Threads for the work of a series: one a core, at most four.
inline size_t SeriesWorkers() {
  return std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 4);
}

// Runs job(i) for every i below n on up to `workers` threads and returns when all are done. An
// exception of a job is thrown again here (the first one caught), after every thread has ended.
template <class Job>
void RunJobs(size_t n, size_t workers, const Job& job) {
  std::atomic<size_t> next{0};
  std::exception_ptr failure;
  std::atomic<bool> failed{false};
  auto work = [&] {
    for (size_t i; (i = next.fetch_add(1)) < n;) {
      try {
        job(i);
      } catch (...) {
        if (!failed.exchange(true)) failure = std::current_exception();
      }
    }
  };
  std::vector<std::thread> threads;
  try {
    for (size_t w = 1; w < std::min(workers, n); ++w) threads.emplace_back(work);
  } catch (const std::system_error&) {
    // No more threads to be had: those there are, this one among them, do the jobs.
  }
  work();
  for (std::thread& t : threads) t.join();
  if (failure) std::rethrow_exception(failure);
}

// A job done beside the caller's work, on a thread of its own where `ownThread` is set and a
// thread is to be had, else by Wait() itself. Wait() returns when the job is done and throws
// again what it threw; the destructor waits for it as well.
class SideJob {
 public:
  SideJob(std::function<void()> job, bool ownThread) : job_(std::move(job)) {
    if (!ownThread) return;
    try {
      thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
      // No thread to be had: Wait() does the job.
    }
  }
  ~SideJob() {
    if (thread_.joinable()) thread_.join();
  }
  SideJob(const SideJob&) = delete;
  SideJob& operator=(const SideJob&) = delete;

  void Wait() {
    if (thread_.joinable()) {
      thread_.join();
    } else if (!done_) {
      Run();
    }
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
  }

 private:
  void Run() {
    try {
      job_();
    } catch (...) {
      failure_ = std::current_exception();
    }
    done_ = true;
  }

  std::function<void()> job_;
  std::exception_ptr failure_;
  bool done_ = false;
  std::thread thread_;
};

}  // namespace ostrelin
