// The pack's bytes in order, inflated on a worker thread a few pieces ahead of the reader,
// so that the inflate of the next files overlaps the writing of the current one. Memory:
// kSlots pieces of kPieceSize beside the inflater's own state, whatever the pack's size.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <span>
#include <thread>

#include "framework/Bytes.h"
#include "installer/BaseDef.h"

class PackPipe {
 public:
  static constexpr size_t kPieceSize = 256 * 1024;
  static constexpr size_t kSlots = 4;

  // Reads U at once (errors as PackInflater's constructor), then starts the worker; for a
  // pack of one piece, or without a thread to be had, the reader inflates each piece itself.
  explicit PackPipe(std::span<const uint8_t> resource);
  ~PackPipe();
  PackPipe(const PackPipe&) = delete;
  PackPipe& operator=(const PackPipe&) = delete;

  uint64_t Size() const { return size_; }
  uint64_t Position() const { return position_; }
  // The next bytes of the pack, between 1 and max of them (max > 0), valid until the next
  // call. Raises the inflater's error once the bytes before it are used up; asking past
  // the end is an EReadError.
  std::span<const uint8_t> Next(uint64_t max);
  void Skip(uint64_t count);

 private:
  struct Slot {
    Bytes data{kPieceSize};
    size_t size = 0;
  };
  void Work();
  // Inflates the next piece into its slot; false once the pack is done or broken.
  bool Fill(Slot& slot);

  PackInflater inflater_;
  const uint64_t size_;
  uint64_t position_ = 0;
  Slot slots_[kSlots];
  std::mutex mutex_;
  std::condition_variable changed_;
  uint64_t filled_ = 0;    // pieces inflated
  uint64_t released_ = 0;  // pieces the reader is done with
  size_t offset_ = 0;      // the reader's place in piece released_
  bool finished_ = false;  // the worker stopped: at the end, or at error_
  bool stop_ = false;
  std::exception_ptr error_;
  std::thread worker_;
};
