#include "object_reaper.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace arvsdk {
namespace {

// Made on first use and never destroyed: its thread may still be busy
// while the process exits.
struct Reaper {
  std::mutex mutex;
  std::condition_variable wake;
  std::deque<std::function<void()>> jobs;

  Reaper() {
    std::thread([this] { Run(); }).detach();
  }

  void Run() {
    while (true) {
      std::function<void()> job;
      {
        std::unique_lock lock(mutex);
        wake.wait(lock, [&] { return !jobs.empty(); });
        job = std::move(jobs.front());
        jobs.pop_front();
      }
      job();
    }
  }
};

}  // namespace

void RunLater(std::function<void()> job) {
  static Reaper* const reaper = new Reaper;
  {
    std::lock_guard lock(reaper->mutex);
    reaper->jobs.push_back(std::move(job));
  }
  reaper->wake.notify_one();
}

}  // namespace arvsdk
