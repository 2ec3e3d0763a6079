#include "installer/BaseDef.h"

#include <zlib.h>

#if defined(__x86_64__) || defined(__i386__)
#include <emmintrin.h>
#endif

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

uint32_t ReadBE32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 |
         static_cast<uint32_t>(p[3]);
}

uint32_t ReadLE32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

constexpr uint32_t kAdlerBase = 65521;
// The most bytes after which the two sums still fit 32 bits before they are reduced.
constexpr size_t kAdlerRun = 5552;

void AdlerScalar(uint32_t& a, uint32_t& b, uint32_t& sum, const uint8_t* p, size_t n) {
  while (n) {
    size_t run = std::min(n, kAdlerRun);
    n -= run;
    uint32_t bytes = 0;
    for (size_t i = 0; i < run; ++i) {
      bytes += p[i];
      a += p[i];
      b += a;
    }
    p += run;
    sum += bytes;
    a %= kAdlerBase;
    b %= kAdlerBase;
  }
}

#if defined(__x86_64__) || defined(__i386__)
#define VX_ADLER_SSE2 1
__attribute__((target("sse2"))) uint32_t LaneTotal(__m128i v) {
  v = _mm_add_epi32(v, _mm_shuffle_epi32(v, _MM_SHUFFLE(2, 3, 0, 1)));
  v = _mm_add_epi32(v, _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 0, 3, 2)));
  return static_cast<uint32_t>(_mm_cvtsi128_si32(v));
}

// Sixteen bytes at a time: a takes their plain sum (psadbw), b the sum weighted 16..1 plus
// 16 times the a it had before each block; whole blocks up to kAdlerRun bytes, then reduced.
__attribute__((target("sse2"))) void AdlerSse2(uint32_t& a, uint32_t& b, uint32_t& sum, const uint8_t*& p,
                                                size_t& n) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i weightsLow = _mm_setr_epi16(16, 15, 14, 13, 12, 11, 10, 9);
  const __m128i weightsHigh = _mm_setr_epi16(8, 7, 6, 5, 4, 3, 2, 1);
  while (n >= 16) {
    const size_t blocks = std::min(n, kAdlerRun) / 16;
    n -= blocks * 16;
    __m128i va = zero, before = zero, vb = zero;
    for (size_t k = 0; k < blocks; ++k, p += 16) {
      const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      before = _mm_add_epi32(before, va);
      va = _mm_add_epi32(va, _mm_sad_epu8(x, zero));
      vb = _mm_add_epi32(vb, _mm_madd_epi16(_mm_unpacklo_epi8(x, zero), weightsLow));
      vb = _mm_add_epi32(vb, _mm_madd_epi16(_mm_unpackhi_epi8(x, zero), weightsHigh));
    }
    const uint32_t bytes = LaneTotal(va);
    b += a * static_cast<uint32_t>(blocks * 16) + LaneTotal(_mm_add_epi32(vb, _mm_slli_epi32(before, 4)));
    a += bytes;
    sum += bytes;
    a %= kAdlerBase;
    b %= kAdlerBase;
  }
}

bool HaveSse2() {
#ifdef __x86_64__
  return true;
#else
  static const bool have = __builtin_cpu_supports("sse2");
  return have;
#endif
}
#endif

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
    // The check value is taken below, in one pass with the byte sum, and compared with the
    // stream's trailer where zlib would have compared it.
    inflateValidate(&state->z, 0);
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
    uint32_t adler = Adler32AndSum(adlerB_ << 16 | adlerA_, {next, got}, byteSum_);
    adlerA_ = adler & 0xFFFF;
    adlerB_ = adler >> 16;
    next += got;
    left -= got;
    produced_ += got;
    if (rc == Z_STREAM_END) {
      // The trailer is the four bytes zlib consumed last, most significant first.
      if (ReadBE32(z.next_in - 4) != (adlerB_ << 16 | adlerA_)) throw EDecompressionError();
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
    done += piece.size();
  }
  if (byteSum) *byteSum = inflater.ByteSum();
  return out;
}

uint32_t PackResourceSum(std::span<const uint8_t> resource, const std::atomic<bool>* cancel) {
  PackInflater inflater(resource);
  std::unique_ptr<uint8_t[]> buffer(new uint8_t[kSumPiece]);
  while (inflater.Produced() < inflater.Size()) {
    if (cancel && cancel->load(std::memory_order_relaxed)) return 0;
    std::span<uint8_t> piece(buffer.get(), static_cast<size_t>(std::min<uint64_t>(kSumPiece, inflater.Size() - inflater.Produced())));
    inflater.Read(piece);
  }
  return inflater.ByteSum();
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

uint32_t Adler32AndSum(uint32_t adler, std::span<const uint8_t> data, uint32_t& byteSum) {
  uint32_t a = adler & 0xFFFF, b = adler >> 16;
  const uint8_t* p = data.data();
  size_t n = data.size();
#ifdef VX_ADLER_SSE2
  if (HaveSse2()) AdlerSse2(a, b, byteSum, p, n);
#endif
  AdlerScalar(a, b, byteSum, p, n);
  return b << 16 | a;
}
