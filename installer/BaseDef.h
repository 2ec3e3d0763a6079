// Compressed resources (a 4-byte little-endian size U, then a zlib stream) and the pack's
// byte sum.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <span>

#include "framework/Bytes.h"
#include "framework/Streams.h"
#include "installer/DeflateDecoder.h"

// Deflate cannot expand data by more than about 1032:1; a U beyond what the compressed
// bytes could produce is refused before anything is allocated.
constexpr uint64_t kMaxInflateRatio = 1032;

// Inflates a CompressedResource piece by piece into the caller's buffers, so that a pack of
// any size passes through the decoder's own ~330 KiB. Checks and errors are those of
// DecompressResource: the constructor rejects fewer than 4 bytes and an impossible U; reads
// raise EReadError when the stream ends or its input runs out before U bytes, and
// EDecompressionError on corrupt data or a wrong check value (compared when the stream ends
// at or before U bytes). Nothing beyond U is ever produced: what follows the U-th byte,
// damaged or not, is never read. On an error, Produced() counts the bytes that came out
// before it.
class PackInflater {
 public:
  explicit PackInflater(std::span<const uint8_t> resource);
  ~PackInflater();
  PackInflater(const PackInflater&) = delete;
  PackInflater& operator=(const PackInflater&) = delete;

  uint64_t Size() const { return size_; }          // U
  uint64_t Produced() const { return produced_; }  // bytes handed out or skipped so far
  // PackByteSum of the bytes produced so far: taken in the same pass over each piece as the
  // stream's check value.
  uint32_t ByteSum() const { return byteSum_; }
  // Fills out whole; asking for more than Size() - Produced() is an EReadError.
  void Read(std::span<uint8_t> out);
  // Inflates and drops count bytes (checked and summed like the rest).
  void Skip(uint64_t count);

 private:
  // The next decoded bytes, at most max (> 0) of them, taken into the check value and the
  // byte sum; valid until the next call.
  std::span<const uint8_t> Next(size_t max);
  [[noreturn]] void Fail() const;
  // The stream's trailer was read and is not the check value of the bytes produced.
  bool TrailerDiffers() const;
  void CheckEndAtSize();

  const uint8_t* in_;
  size_t inLeft_;
  uint64_t size_ = 0;
  uint64_t produced_ = 0;
  uint32_t adlerA_ = 1, adlerB_ = 0;  // the check value of the bytes produced so far
  uint32_t byteSum_ = 0;
  std::unique_ptr<DeflateDecoder> decoder_;  // started at the first byte asked for
  std::span<const uint8_t> pending_;         // decoded, not yet handed out
};

// Decompresses a CompressedResource straight into a buffer of exactly U bytes.
// Fewer than 4 bytes, a negative or impossible U, or a stream that ends or runs out of
// input before U bytes: EReadError ("Stream read error"). Corrupt data: EDecompressionError
// ("Error"). Surplus output beyond U is never produced. When byteSum is given it receives
// PackByteSum of the output, taken while each piece is still in the cache.
Bytes DecompressResource(std::span<const uint8_t> resource, uint32_t* byteSum = nullptr);

// Replaces a memory stream holding a CompressedResource with the U decompressed bytes.
// The stream's position is left at 0.
void DecompressInPlace(TMemoryStream& stream);

// PackByteSum of a CompressedResource's contents, inflated through one small buffer that is
// used over and over and so stays in the cache; nothing pack-sized is allocated. Errors as
// DecompressResource. When cancel becomes true the work stops early and the result is 0.
uint32_t PackResourceSum(std::span<const uint8_t> resource, const std::atomic<bool>* cancel = nullptr);

// The builder's side: U, then the data compressed by zlib at level 9 (header 78 DA).
Bytes CompressResource(std::span<const uint8_t> data);

// Sum of all bytes, each 0..255, in 32 bits with wrap-around.
uint32_t PackByteSum(std::span<const uint8_t> data);

// The zlib stream's check value (Adler-32) carried on over data, as (b << 16) | a, together
// with the bytes' PackByteSum added into byteSum; one pass, with SSE2 where the processor
// has it.
uint32_t Adler32AndSum(uint32_t adler, std::span<const uint8_t> data, uint32_t& byteSum);

#ifdef _WIN32
#include <string>
// The shell's modal folder picker rooted at a special folder (a CSIDL value), offering
// file-system folders only. The chosen folder's path ("C:\" for a root, else without a
// trailing backslash), or empty when cancelled or not a file-system folder.
std::string BrowseForFolder(int root, const std::string& title);
#endif
