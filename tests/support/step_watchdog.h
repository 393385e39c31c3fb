#pragma once
// A bound on every step of a long test run: a background thread ends the process with the name of
// the step when one step takes longer than the bound, so a hang fails the test at once and says
// where, instead of waiting for the test runner's overall timeout.
//
//   StepWatchdog watchdog(std::chrono::seconds(20));
//   watchdog.Step("page Herz: zoom 5");
//   ...

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace ostrelin::test {

class StepWatchdog {
 public:
  explicit StepWatchdog(std::chrono::milliseconds bound)
      : bound_(bound), thread_([this] { Watch(); }) {}
  ~StepWatchdog() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      done_ = true;
    }
    wake_.notify_one();
    thread_.join();
  }
  StepWatchdog(const StepWatchdog&) = delete;
  StepWatchdog& operator=(const StepWatchdog&) = delete;

  // Starts the next step; the bound runs afresh from now.
  void Step(std::string name) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      step_ = std::move(name);
      ++count_;
    }
    wake_.notify_one();
  }

 private:
  void Watch() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!done_) {
      const unsigned long seen = count_;
      if (!wake_.wait_for(lock, bound_, [&] { return done_ || count_ != seen; })) {
        std::fprintf(stderr, "step \"%s\" took longer than %lld ms: the atlas hangs\n",
                     step_.c_str(), static_cast<long long>(bound_.count()));
        std::fflush(stderr);
        std::abort();
      }
    }
  }

  const std::chrono::milliseconds bound_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::string step_ = "start";
  unsigned long count_ = 0;
  bool done_ = false;
  std::thread thread_;
};

}  // namespace ostrelin::test
