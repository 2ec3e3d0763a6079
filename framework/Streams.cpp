#include "framework/Streams.h"

#include <algorithm>
#include <cstring>

#include "framework/Exceptions.h"

Bytes::Bytes(const void* src, size_t size) : Bytes(size) {
  if (size) std::memcpy(data_.get(), src, size);
}

int64_t TStream::Size() {
  int64_t pos = Seek(0, SeekOrigin::Current);
  int64_t end = Seek(0, SeekOrigin::End);
  Seek(pos, SeekOrigin::Begin);
  return end;
}

void TStream::ReadBuffer(void* buffer, size_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError();
}

void TStream::WriteBuffer(const void* buffer, size_t count) {
  if (count != 0 && Write(buffer, count) != count) throw EWriteError();
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  constexpr size_t kChunk = 1 << 16;
  std::unique_ptr<uint8_t[]> buf(new uint8_t[kChunk]);
  int64_t left = count;
  while (left > 0) {
    size_t n = static_cast<size_t>(std::min<int64_t>(left, kChunk));
    source.ReadBuffer(buf.get(), n);
    WriteBuffer(buf.get(), n);
    left -= static_cast<int64_t>(n);
  }
  return count;
}

size_t TCustomMemoryStream::Read(void* buffer, size_t count) {
  if (pos_ >= size_) return 0;
  size_t n = std::min(count, size_ - pos_);
  std::memcpy(buffer, data_ + pos_, n);
  pos_ += n;
  return n;
}

size_t TCustomMemoryStream::Write(const void*, size_t) { return 0; }

int64_t TCustomMemoryStream::Seek(int64_t offset, SeekOrigin origin) {
  int64_t base = origin == SeekOrigin::Begin ? 0
                 : origin == SeekOrigin::Current ? static_cast<int64_t>(pos_)
                                                 : static_cast<int64_t>(size_);
  int64_t p = base + offset;
  pos_ = p < 0 ? 0 : static_cast<size_t>(p);
  return static_cast<int64_t>(pos_);
}

void TMemoryStream::Reserve(size_t capacity) {
  if (capacity <= capacity_) return;
  size_t grown = std::max(capacity, capacity_ + capacity_ / 2);
  std::unique_ptr<uint8_t[]> next(new uint8_t[grown]);
  if (size_) std::memcpy(next.get(), data_, size_);
  buf_ = std::move(next);
  capacity_ = grown;
  data_ = buf_.get();
}

size_t TMemoryStream::Write(const void* buffer, size_t count) {
  if (count == 0) return 0;
  size_t end = pos_ + count;
  if (end < pos_) return 0;
  Reserve(end);
  std::memcpy(buf_.get() + pos_, buffer, count);
  if (end > size_) size_ = end;
  pos_ = end;
  return count;
}

void TMemoryStream::SetSize(size_t size) {
  Reserve(size);
  size_ = size;
  if (pos_ > size_) pos_ = size_;
}

void TMemoryStream::Clear() {
  buf_.reset();
  capacity_ = size_ = pos_ = 0;
  data_ = nullptr;
}

void TMemoryStream::Adopt(Bytes&& bytes) {
  size_t n = bytes.size();
  Clear();
  buf_ = bytes.TakeArray();
  capacity_ = size_ = n;
  data_ = buf_.get();
}

Bytes TMemoryStream::Release() {
  Bytes out = capacity_ == size_ ? Bytes(std::move(buf_), size_) : Bytes(data_, size_);
  Clear();
  return out;
}
