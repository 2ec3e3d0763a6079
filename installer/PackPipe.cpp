#include "installer/PackPipe.h"

#include <algorithm>
#include <system_error>

#include "framework/Exceptions.h"

PackPipe::PackPipe(std::span<const uint8_t> resource) : inflater_(resource), size_(inflater_.Size()) {
  // A pack of one piece has nothing to overlap: the reader needs all of it before it writes.
  if (size_ <= kPieceSize) return;
  try {
    worker_ = std::thread([this] { Work(); });
  } catch (const std::system_error&) {
    // Next inflates on the reader's thread.
  }
}

PackPipe::~PackPipe() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  if (worker_.joinable()) worker_.join();
}

bool PackPipe::Fill(Slot& slot) {
  slot.size = 0;
  uint64_t before = inflater_.Produced();
  size_t want = static_cast<size_t>(std::min<uint64_t>(kPieceSize, size_ - before));
  if (want == 0) return false;
  try {
    inflater_.Read({slot.data.data(), want});
  } catch (...) {
    // The bytes that came out before the error are still handed on.
    slot.size = static_cast<size_t>(inflater_.Produced() - before);
    error_ = std::current_exception();
    return false;
  }
  slot.size = want;
  return true;
}

void PackPipe::Work() {
  for (uint64_t k = 0;; ++k) {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [&] { return stop_ || k - released_ < kSlots; });
      if (stop_) return;
    }
    bool more = Fill(slots_[k % kSlots]);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (slots_[k % kSlots].size) filled_ = k + 1;
      if (!more) finished_ = true;
    }
    changed_.notify_all();
    if (!more) return;
  }
}

std::span<const uint8_t> PackPipe::Next(uint64_t max) {
  if (max == 0 || position_ >= size_) throw EReadError();
  std::unique_lock<std::mutex> lock(mutex_);
  if (filled_ > released_ && offset_ == slots_[released_ % kSlots].size) {
    ++released_;
    offset_ = 0;
    changed_.notify_all();
  }
  if (!worker_.joinable() && filled_ == released_ && !finished_) {
    bool more = Fill(slots_[released_ % kSlots]);
    if (slots_[released_ % kSlots].size) ++filled_;
    if (!more) finished_ = true;
  }
  changed_.wait(lock, [&] { return filled_ > released_ || finished_; });
  if (filled_ == released_) {
    if (error_) std::rethrow_exception(error_);
    throw EReadError();
  }
  const Slot& slot = slots_[released_ % kSlots];
  size_t n = static_cast<size_t>(std::min<uint64_t>(max, slot.size - offset_));
  std::span<const uint8_t> out(slot.data.data() + offset_, n);
  offset_ += n;
  position_ += n;
  return out;
}

void PackPipe::Skip(uint64_t count) {
  while (count) count -= Next(count).size();
}
