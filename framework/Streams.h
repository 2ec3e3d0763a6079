// Byte streams: the abstract stream, memory streams (a borrowed read-only view, or an
// owned growable buffer) and file streams. Module-resource streams are Windows-only
// (ResourceStream.h).
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "framework/Bytes.h"

enum class SeekOrigin { Begin, Current, End };

class TStream {
 public:
  virtual ~TStream() = default;
  // Reads up to count bytes; returns how many were read.
  virtual size_t Read(void* buffer, size_t count) = 0;
  // Writes up to count bytes; returns how many were written.
  virtual size_t Write(const void* buffer, size_t count) = 0;
  virtual int64_t Seek(int64_t offset, SeekOrigin origin) = 0;
  virtual int64_t Size();

  int64_t Position() { return Seek(0, SeekOrigin::Current); }
  void SetPosition(int64_t pos) { Seek(pos, SeekOrigin::Begin); }
  // Exact-count forms: fewer bytes than asked raise EReadError / EWriteError.
  void ReadBuffer(void* buffer, size_t count);
  void WriteBuffer(const void* buffer, size_t count);
  // Copies count bytes from source at its position; count 0 copies all of source from 0.
  int64_t CopyFrom(TStream& source, int64_t count);
};

// A stream over memory it does not own (a module resource, a caller's buffer). Read-only.
class TCustomMemoryStream : public TStream {
 public:
  TCustomMemoryStream() = default;
  TCustomMemoryStream(const void* data, size_t size) { SetPointer(data, size); }
  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override { return static_cast<int64_t>(size_); }
  const uint8_t* Memory() const { return data_; }

 protected:
  void SetPointer(const void* data, size_t size) {
    data_ = static_cast<const uint8_t*>(data);
    size_ = size;
  }
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t pos_ = 0;
};

// An owned, growable memory stream.
class TMemoryStream : public TCustomMemoryStream {
 public:
  TMemoryStream() = default;
  size_t Write(const void* buffer, size_t count) override;
  void SetSize(size_t size);
  void Clear();
  uint8_t* MutableMemory() { return buf_.get(); }
  // Takes over a buffer as the stream's whole contents, without copying; position 0.
  void Adopt(Bytes&& bytes);
  // Gives the contents away as a buffer of exactly Size() bytes; the stream is left empty.
  Bytes Release();

 private:
  void Reserve(size_t capacity);
  std::unique_ptr<uint8_t[]> buf_;
  size_t capacity_ = 0;
};

enum class FileMode {
  Create,         // create or truncate, read and write, exclusive
  OpenRead,       // existing file, read only, others may read and write
  OpenReadWrite,  // existing file, read and write
};

// A stream over a file. Paths are GBK text. Failing to open raises EFCreateError (Create)
// or EFOpenError (the others), each with the system's error text.
class TFileStream : public TStream {
 public:
  TFileStream(const std::string& path, FileMode mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;
  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  // Asks the system for the file's size in one call, leaving the position alone; -1 on failure.
  int64_t Size() override;
  const std::string& FileName() const { return path_; }

 private:
  std::string path_;
  intptr_t handle_ = -1;
};
