#include "installer/BaseDef.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "framework/Exceptions.h"

namespace {
constexpr size_t kInputChunk = 65536;
constexpr size_t kOutputPiece = 256 * 1024;
// The verification's buffer: small enough that each piece is still in the cache when the sum
// reads it, large enough that the inflater's per-call costs stay small.
constexpr size_t kSumPiece = 64 * 1024;

uint32_t ReadLE32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

// zlib's state and window come from operator new, so heap accounting sees them.
voidpf ZAlloc(voidpf, uInt items, uInt size) {
  return ::operator new(static_cast<size_t>(items) * size, std::nothrow);
}
void ZFree(voidpf, voidpf p) { ::operator delete(p); }
}  // namespace

struct PackInflater::State {
  z_stream z{};
};

PackInflater::PackInflater(std::span<const uint8_t> resource) {
  if (resource.size() < 4) throw EReadError();
  int32_t declared = static_cast<int32_t>(ReadLE32(resource.data()));
  in_ = resource.data() + 4;
  inLeft_ = resource.size() - 4;
  if (declared < 0) throw EReadError();
  size_ = static_cast<uint32_t>(declared);
  if (size_ > static_cast<uint64_t>(inLeft_) * kMaxInflateRatio) throw EReadError();
}

PackInflater::~PackInflater() {
  if (z_) inflateEnd(&z_->z);
  delete z_;
}

void PackInflater::Read(std::span<uint8_t> out) {
  if (out.size() > size_ - produced_) throw EReadError();
  if (out.empty()) return;
  if (!z_) {
    auto state = std::make_unique<State>();
    state->z.zalloc = ZAlloc;
    state->z.zfree = ZFree;
    if (inflateInit(&state->z) != Z_OK) throw EDecompressionError();
    z_ = state.release();
  }
  z_stream& z = z_->z;
  uint8_t* next = out.data();
  size_t left = out.size();
  while (left) {
    if (z.avail_in == 0) {
      if (inLeft_ == 0) throw EReadError();  // input ran out before U bytes
      size_t n = std::min(inLeft_, kInputChunk);
      z.next_in = const_cast<Bytef*>(in_);
      z.avail_in = static_cast<uInt>(n);
      in_ += n;
      inLeft_ -= n;
    }
    size_t room = std::min<size_t>(left, kOutputPiece);
    z.next_out = next;
    z.avail_out = static_cast<uInt>(room);
    int rc = inflate(&z, Z_NO_FLUSH);
    size_t got = room - z.avail_out;
    next += got;
    left -= got;
    produced_ += got;
    if (rc == Z_STREAM_END) {
      if (left) throw EReadError();  // stream ended before U bytes
      break;
    }
    if (rc == Z_BUF_ERROR) continue;  // needs more input; the loop supplies it or fails
    if (rc != Z_OK) throw EDecompressionError();
  }
}

void PackInflater::Skip(uint64_t count, std::span<uint8_t> scratch) {
  while (count) {
    size_t n = static_cast<size_t>(std::min<uint64_t>(count, scratch.size()));
    Read(scratch.first(n));
    count -= n;
  }
}

Bytes DecompressResource(std::span<const uint8_t> resource, uint32_t* byteSum) {
  if (byteSum) *byteSum = 0;
  PackInflater inflater(resource);
  if (inflater.Size() > SIZE_MAX) throw EReadError();
  Bytes out(static_cast<size_t>(inflater.Size()));
  // Output in cache-sized pieces, so the sum reads bytes that are still hot.
  for (size_t done = 0; done < out.size();) {
    std::span<uint8_t> piece(out.data() + done, std::min(out.size() - done, kOutputPiece));
    inflater.Read(piece);
    if (byteSum) *byteSum += PackByteSum(piece);
    done += piece.size();
  }
  return out;
}

uint32_t PackResourceSum(std::span<const uint8_t> resource, const std::atomic<bool>* cancel) {
  PackInflater inflater(resource);
  std::unique_ptr<uint8_t[]> buffer(new uint8_t[kSumPiece]);
  uint32_t sum = 0;
  while (inflater.Produced() < inflater.Size()) {
    if (cancel && cancel->load(std::memory_order_relaxed)) return 0;
    std::span<uint8_t> piece(buffer.get(), static_cast<size_t>(std::min<uint64_t>(kSumPiece, inflater.Size() - inflater.Produced())));
    inflater.Read(piece);
    sum += PackByteSum(piece);
  }
  return sum;
}

void DecompressInPlace(TMemoryStream& stream) {
  Bytes out = DecompressResource({stream.Memory(), static_cast<size_t>(stream.Size())});
  stream.Adopt(std::move(out));
}

Bytes CompressResource(std::span<const uint8_t> data) {
  uLongf bound = compressBound(static_cast<uLong>(data.size()));
  Bytes buf(4 + bound);
  uint32_t u = static_cast<uint32_t>(data.size());
  for (int i = 0; i < 4; ++i) buf.data()[i] = static_cast<uint8_t>(u >> (8 * i));
  uLongf len = bound;
  if (compress2(buf.data() + 4, &len, data.data(), static_cast<uLong>(data.size()), 9) != Z_OK)
    throw EDecompressionError();
  return Bytes(buf.data(), 4 + len);
}

uint32_t PackByteSum(std::span<const uint8_t> data) {
  // Eight bytes at a time: the even and odd bytes of each word add into four 16-bit lanes,
  // which are folded into the total before they can overflow (128 words * 2 * 255 < 65536).
  constexpr uint64_t kLanes = 0x00FF00FF00FF00FFull;
  const uint8_t* p = data.data();
  size_t n = data.size();
  uint32_t total = 0;
  while (n >= 8) {
    size_t words = std::min<size_t>(n / 8, 128);
    uint64_t acc = 0;
    for (size_t k = 0; k < words; ++k) {
      uint64_t w;
      std::memcpy(&w, p + 8 * k, 8);
      acc += (w & kLanes) + ((w >> 8) & kLanes);
    }
    acc = (acc & 0x0000FFFF0000FFFFull) + ((acc >> 16) & 0x0000FFFF0000FFFFull);
    total += static_cast<uint32_t>(acc) + static_cast<uint32_t>(acc >> 32);
    p += 8 * words;
    n -= 8 * words;
  }
  while (n--) total += *p++;
  return total;
}
