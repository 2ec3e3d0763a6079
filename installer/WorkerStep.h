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
    if (step_ || done_) return;
    step_ = std::move(step);
    try {
      worker_ = std::thread(step_);
    } catch (const std::system_error&) {
      // Collect runs the step.
    }
  }
  // Waits for the step, or runs it here (step, when given, is the one to run if Start was
  // never called); afterwards does nothing.
  void Collect(const std::function<void()>& step = {}) {
    if (done_) return;
    if (worker_.joinable())
      worker_.join();
    else if (step_)
      step_();
    else if (step)
      step();
    done_ = true;
  }
  // Waits for a running step without running one that never started.
  void Join() {
    if (worker_.joinable()) worker_.join();
  }

 private:
  std::function<void()> step_;
  std::thread worker_;
  bool done_ = false;
};
