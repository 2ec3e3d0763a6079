#include "installer/BaseDef.h"

#include <zlib.h>

#if defined(__x86_64__) || defined(__i386__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cstring>

#include "framework/Exceptions.h"

namespace {
// How much the verification decodes between looks at its cancel flag.
constexpr size_t kSumPiece = 256 * 1024;

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

}  // namespace

PackInflater::PackInflater(std::span<const uint8_t> resource) {
  if (resource.size() < 4) throw EReadError();
  int32_t declared = static_cast<int32_t>(ReadLE32(resource.data()));
  in_ = resource.data() + 4;
  inLeft_ = resource.size() - 4;
  if (declared < 0) throw EReadError();
  size_ = static_cast<uint32_t>(declared);
  if (size_ > static_cast<uint64_t>(inLeft_) * kMaxInflateRatio) throw EReadError();
}

PackInflater::~PackInflater() = default;

bool PackInflater::TrailerDiffers() const {
  return decoder_->HasTrailer() && decoder_->Trailer() != (adlerB_ << 16 | adlerA_);
}

void PackInflater::Fail() const {
  switch (decoder_->state()) {
    case DeflateDecoder::State::Corrupt: throw EDecompressionError();
    case DeflateDecoder::State::Ended:
      // The stream ended before U bytes: a wrong check value is reported first.
      if (TrailerDiffers()) throw EDecompressionError();
      throw EReadError();
    default: throw EReadError();  // the input ran out
  }
}

std::span<const uint8_t> PackInflater::Next(size_t max) {
  if (!decoder_) decoder_ = std::make_unique<DeflateDecoder>(std::span<const uint8_t>(in_, inLeft_));
  if (pending_.empty()) {
    pending_ = decoder_->Decode();
    if (pending_.empty()) Fail();
  }
  std::span<const uint8_t> out = pending_.first(std::min(max, pending_.size()));
  pending_ = pending_.subspan(out.size());
  uint32_t adler = Adler32AndSum(adlerB_ << 16 | adlerA_, out, byteSum_);
  adlerA_ = adler & 0xFFFF;
  adlerB_ = adler >> 16;
  produced_ += out.size();
  return out;
}

// At U bytes the stream should end, and its check value is compared when it does. Whatever
// follows instead (more data, or damage after the U-th byte) is surplus that is never read.
void PackInflater::CheckEndAtSize() {
  if (!pending_.empty()) return;
  if (decoder_->state() == DeflateDecoder::State::Running && !decoder_->Decode().empty()) return;
  if (decoder_->state() == DeflateDecoder::State::Ended && TrailerDiffers()) throw EDecompressionError();
}

void PackInflater::Read(std::span<uint8_t> out) {
  if (out.size() > size_ - produced_) throw EReadError();
  for (size_t done = 0; done < out.size();) {
    std::span<const uint8_t> piece = Next(out.size() - done);
    std::memcpy(out.data() + done, piece.data(), piece.size());
    done += piece.size();
  }
  if (!out.empty() && produced_ == size_) CheckEndAtSize();
}

void PackInflater::Skip(uint64_t count) {
  if (count > size_ - produced_) throw EReadError();
  if (count == 0) return;
  while (count) count -= Next(static_cast<size_t>(std::min<uint64_t>(count, SIZE_MAX))).size();
  if (produced_ == size_) CheckEndAtSize();
}

Bytes DecompressResource(std::span<const uint8_t> resource, uint32_t* byteSum) {
  if (byteSum) *byteSum = 0;
  PackInflater inflater(resource);
  if (inflater.Size() > SIZE_MAX) throw EReadError();
  Bytes out(static_cast<size_t>(inflater.Size()));
  inflater.Read({out.data(), out.size()});
  if (byteSum) *byteSum = inflater.ByteSum();
  return out;
}

uint32_t PackResourceSum(std::span<const uint8_t> resource, const std::atomic<bool>* cancel) {
  // The decoder's own buffer is the only one: each piece is summed where it was decoded.
  PackInflater inflater(resource);
  while (inflater.Produced() < inflater.Size()) {
    if (cancel && cancel->load(std::memory_order_relaxed)) return 0;
    inflater.Skip(std::min<uint64_t>(kSumPiece, inflater.Size() - inflater.Produced()));
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
