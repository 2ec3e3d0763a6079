// A start-up step run on a worker thread while the main thread does other work, and
// collected where its result is needed. Without a thread to be had, the step runs where it
// is collected, so the caller sees the same result either way.
#pragma once
#include <functional>
#include <system_error>
#include <thread>
#include <utility>

class WorkerStep {
 public:
  WorkerStep() = default;
  ~WorkerStep() { Join(); }
  WorkerStep(const WorkerStep&) = delete;
  WorkerStep& operator=(const WorkerStep&) = delete;

  // Starts step on a worker; a second call, or one after Collect, does nothing.
  void Start(std::function<void()> step) {
    if (started_ || done_) return;
    started_ = true;
    try {
      worker_ = std::thread(std::move(step));
    } catch (const std::system_error&) {
      // Collect runs the step.
    }
  }
  // Waits for the step started on the worker, or runs step here when there is none;
  // afterwards does nothing.
  void Collect(const std::function<void()>& step) {
    if (done_) return;
    if (worker_.joinable())
      worker_.join();
    else
      step();
    done_ = true;
  }
  // Waits for a running step without running one that never started.
  void Join() {
    if (worker_.joinable()) worker_.join();
  }

 private:
  std::thread worker_;
  bool started_ = false;
  bool done_ = false;
};
