// Work done on worker threads and handed back in the order it was given:
// an archive is written in order while its members (or the pieces of one
// stream) are compressed on every core.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace arc {

class OrderedWork {
 public:
  // workers 0: one per core, at most 8. At most `inFlight` jobs wait or run at once
  // (0: twice the workers), which bounds the memory their data takes.
  explicit OrderedWork(unsigned workers = 0, size_t inFlight = 0);
  // Waits for the running jobs; what was not delivered is dropped.
  ~OrderedWork();
  OrderedWork(const OrderedWork&) = delete;
  OrderedWork& operator=(const OrderedWork&) = delete;

  // Queues `work` for a worker. `deliver` runs later on the calling
  // thread, in submission order, once `work` is done; an exception of
  // `work` is thrown there instead. While too many jobs are in flight,
  // Submit delivers the oldest first.
  void Submit(std::function<void()> work, std::function<void()> deliver);
  // Delivers everything submitted.
  void Drain();

  unsigned Workers() const { return static_cast<unsigned>(threads_.size()); }

 private:
  struct Job {
    std::function<void()> work, deliver;
    std::exception_ptr error;
    bool done = false;
  };
  void Serve();
  void Stop();
  void DeliverOldest();

  std::mutex mutex_;
  std::condition_variable wake_, finished_;
  std::deque<std::shared_ptr<Job>> pending_;  // not yet taken by a worker
  std::deque<std::shared_ptr<Job>> order_;    // not yet delivered
  size_t limit_;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace arc
