#include "installer/BaseDef.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "framework/Exceptions.h"

namespace {
constexpr size_t kInputChunk = 65536;
constexpr size_t kOutputPiece = 256 * 1024;

uint32_t ReadLE32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

// Owns an inflater so that it is ended on every path.
struct Inflater {
  z_stream z{};
  bool live = false;
  Inflater() {
    if (inflateInit(&z) != Z_OK) throw EDecompressionError();
    live = true;
  }
  ~Inflater() {
    if (live) inflateEnd(&z);
  }
};
}  // namespace

Bytes DecompressResource(std::span<const uint8_t> resource, uint32_t* byteSum) {
  if (byteSum) *byteSum = 0;
  if (resource.size() < 4) throw EReadError();
  int32_t declared = static_cast<int32_t>(ReadLE32(resource.data()));
  const uint8_t* in = resource.data() + 4;
  size_t inLeft = resource.size() - 4;
  if (declared < 0) throw EReadError();
  uint64_t u = static_cast<uint32_t>(declared);
  if (u == 0) return Bytes();
  if (u > static_cast<uint64_t>(inLeft) * kMaxInflateRatio || u > SIZE_MAX) throw EReadError();

  Bytes out(static_cast<size_t>(u));
  Inflater inf;
  size_t produced = 0;
  while (produced < out.size()) {
    if (inf.z.avail_in == 0) {
      if (inLeft == 0) throw EReadError();  // input ran out before U bytes
      size_t n = std::min(inLeft, kInputChunk);
      inf.z.next_in = const_cast<Bytef*>(in);
      inf.z.avail_in = static_cast<uInt>(n);
      in += n;
      inLeft -= n;
    }
    // Output in cache-sized pieces, so the sum reads bytes that are still hot.
    size_t room = std::min<size_t>(out.size() - produced, kOutputPiece);
    inf.z.next_out = out.data() + produced;
    inf.z.avail_out = static_cast<uInt>(room);
    int rc = inflate(&inf.z, Z_NO_FLUSH);
    size_t got = room - inf.z.avail_out;
    if (byteSum) *byteSum += PackByteSum({out.data() + produced, got});
    produced += got;
    if (rc == Z_STREAM_END) {
      if (produced < out.size()) throw EReadError();  // stream ended before U bytes
      break;
    }
    if (rc == Z_BUF_ERROR) continue;  // needs more input; the loop supplies it or fails
    if (rc != Z_OK) throw EDecompressionError();
  }
  return out;
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
