// An owned, uninitialised byte buffer of fixed size. Used where a std::vector would
// zero-fill megabytes that are about to be overwritten anyway (decompression, file reads).
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

class Bytes {
 public:
  Bytes() = default;
  explicit Bytes(size_t size) : data_(size ? new uint8_t[size] : nullptr), size_(size) {}
  Bytes(const void* src, size_t size);
  Bytes(std::unique_ptr<uint8_t[]> array, size_t size) : data_(std::move(array)), size_(size) {}
  Bytes(Bytes&&) noexcept = default;
  Bytes& operator=(Bytes&&) noexcept = default;
  Bytes(const Bytes&) = delete;
  Bytes& operator=(const Bytes&) = delete;

  uint8_t* data() { return data_.get(); }
  const uint8_t* data() const { return data_.get(); }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  std::span<const uint8_t> view() const { return {data_.get(), size_}; }
  // Hands the array over to the caller; the buffer is left empty.
  std::unique_ptr<uint8_t[]> TakeArray() {
    size_ = 0;
    return std::move(data_);
  }

 private:
  std::unique_ptr<uint8_t[]> data_;
  size_t size_ = 0;
};
