#include "common/OrderedWork.h"

#include <algorithm>

namespace arc {

OrderedWork::OrderedWork(unsigned workers, size_t inFlight) {
  if (workers == 0) workers = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
  limit_ = inFlight != 0 ? inFlight : 2 * static_cast<size_t>(workers);
  threads_.reserve(workers);
  try {
    for (unsigned i = 0; i < workers; ++i) threads_.emplace_back([this] { Serve(); });
  } catch (...) {
    Stop();
    throw;
  }
}

OrderedWork::~OrderedWork() { Stop(); }

void OrderedWork::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    pending_.clear();
  }
  wake_.notify_all();
  for (std::thread& t : threads_)
    if (t.joinable()) t.join();
  threads_.clear();
}

void OrderedWork::Serve() {
  for (;;) {
    std::shared_ptr<Job> job;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !pending_.empty(); });
      if (stopping_) return;
      job = std::move(pending_.front());
      pending_.pop_front();
    }
    try {
      job->work();
    } catch (...) {
      job->error = std::current_exception();
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      job->done = true;
    }
    finished_.notify_all();
  }
}

void OrderedWork::DeliverOldest() {
  std::shared_ptr<Job> job;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    finished_.wait(lock, [this] { return order_.front()->done; });
    job = std::move(order_.front());
    order_.pop_front();
  }
  if (job->error) std::rethrow_exception(job->error);
  job->deliver();
}

void OrderedWork::Submit(std::function<void()> work, std::function<void()> deliver) {
  while (order_.size() >= limit_) DeliverOldest();
  auto job = std::make_shared<Job>();
  job->work = std::move(work);
  job->deliver = std::move(deliver);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    order_.push_back(job);
    pending_.push_back(std::move(job));
  }
  wake_.notify_one();
}

void OrderedWork::Drain() {
  while (!order_.empty()) DeliverOldest();
}

}  // namespace arc
