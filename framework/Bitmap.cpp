#include "framework/Bitmap.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#endif

namespace {
#if defined(__x86_64__) || defined(__i386__)
// Blue, green, red to 0x00RRGGBB words, four pixels per shuffle of twelve bytes; returns
// how many pixels it converted, leaving at least two for the caller so that no load
// reaches past the row's bytes.
__attribute__((target("ssse3"))) int64_t Row24Ssse3(const uint8_t* src, uint32_t* dst, int64_t width) {
  const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
  int64_t x = 0;
  for (; x + 6 <= width; x += 4) {
    const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 3 * x));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + x), _mm_shuffle_epi8(in, spread));
  }
  return x;
}

bool HaveSsse3() {
  static const bool have = __builtin_cpu_supports("ssse3");
  return have;
}
#endif
}  // namespace

TBitmap& TBitmap::operator=(TBitmap&& other) noexcept {
  if (this != &other) {
    Free();
    bits_ = other.bits_;
    handle_ = other.handle_;
    width_ = other.width_;
    height_ = other.height_;
    other.bits_ = nullptr;
    other.handle_ = nullptr;
    other.width_ = other.height_ = 0;
  }
  return *this;
}

void TBitmap::SetSize(int width, int height) {
  Free();
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
      static_cast<int64_t>(width) * height > kMaxPixels)
    return;
  Allocate(width, height);
}

TBitmap TBitmap::Clone() const {
  TBitmap copy;
  if (!Empty()) {
    copy.SetSize(width_, height_);
    std::memcpy(copy.bits_, bits_, static_cast<size_t>(width_) * static_cast<size_t>(height_) * 4);
  }
  return copy;
}

void TBitmap::Fill(uint32_t rgb) {
  for (int y = 0; y < height_; ++y) {
    uint32_t* r = Row(y);
    for (int x = 0; x < width_; ++x) r[x] = rgb & 0xFFFFFF;
  }
}

namespace {

uint32_t LE16(const uint8_t* p) { return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8; }
uint32_t LE32(const uint8_t* p) { return LE16(p) | LE16(p + 2) << 16; }

// Extracts a channel selected by mask and scales it to 0..255.
uint32_t Channel(uint32_t value, uint32_t mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (!((mask >> shift) & 1)) ++shift;
  uint32_t m = mask >> shift;
  uint32_t v = (value & mask) >> shift;
  return static_cast<uint32_t>((static_cast<uint64_t>(v) * 255 + m / 2) / m);
}

void PutLE16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void PutLE32(uint8_t* p, uint32_t v) {
  PutLE16(p, v);
  PutLE16(p + 2, v >> 16);
}

}  // namespace

bool TBitmap::ReadBmpSize(std::span<const uint8_t> b, int& width, int& height) {
  const size_t n = b.size();
  if (n < 14 + 12 || b[0] != 'B' || b[1] != 'M') return false;
  const uint8_t* p = b.data();
  uint32_t headerSize = LE32(p + 14);
  if (headerSize < 12 || 14 + static_cast<uint64_t>(headerSize) > n) return false;
  if (headerSize != 12 && headerSize < 40) return false;
  // The OS/2 core header has 16-bit sizes, the others 32-bit ones; a negative height means
  // rows from the top.
  int64_t w = headerSize == 12 ? LE16(p + 18) : static_cast<int32_t>(LE32(p + 18));
  int64_t h = headerSize == 12 ? static_cast<int16_t>(LE16(p + 20)) : static_cast<int32_t>(LE32(p + 22));
  if (h < 0) h = -h;
  if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide || w * h > kMaxPixels) return false;
  width = static_cast<int>(w), height = static_cast<int>(h);
  return true;
}

bool TBitmap::LoadFromBmp(std::span<const uint8_t> b, TBitmap& out) {
  int w, h;
  if (!ReadBmpSize(b, w, h)) return false;
  const size_t n = b.size();
  const uint8_t* p = b.data();
  uint64_t pixelOffset = LE32(p + 10);
  uint32_t headerSize = LE32(p + 14);
  int64_t width = w, height = h;
  uint32_t bpp, compression = 0, colorsUsed = 0;
  size_t paletteEntry = 4;
  if (headerSize == 12) {  // OS/2 core header
    bpp = LE16(p + 24);
    paletteEntry = 3;
  } else {
    bpp = LE16(p + 28);
    compression = LE32(p + 30);
    colorsUsed = LE32(p + 46);
  }
  bool topDown = (headerSize == 12 ? static_cast<int16_t>(LE16(p + 20)) : static_cast<int32_t>(LE32(p + 22))) < 0;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;

  uint32_t masks[3] = {0, 0, 0};
  if (compression == 3) {  // BI_BITFIELDS: masks follow a 40-byte header, or sit inside a larger one
    if (bpp != 16 && bpp != 32) return false;
    if (14 + 40 + 12 > n) return false;
    for (int i = 0; i < 3; ++i) masks[i] = LE32(p + 14 + 40 + 4 * i);
  } else if (compression != 0) {
    return false;
  } else if (bpp == 16) {
    masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
  } else if (bpp == 32) {
    masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
  }

  uint32_t palette[256] = {};
  if (bpp <= 8) {
    uint64_t count = colorsUsed ? colorsUsed : (1u << bpp);
    if (count > 256) return false;
    uint64_t palStart = 14 + static_cast<uint64_t>(headerSize) + (compression == 3 ? 12 : 0);
    if (palStart + count * paletteEntry > n) return false;
    for (uint64_t i = 0; i < count; ++i) {
      const uint8_t* e = p + palStart + i * paletteEntry;
      palette[i] = static_cast<uint32_t>(e[2]) << 16 | static_cast<uint32_t>(e[1]) << 8 | e[0];
    }
  }

  uint64_t stride = ((static_cast<uint64_t>(width) * bpp + 31) / 32) * 4;
  if (pixelOffset > n || stride * static_cast<uint64_t>(height) > n - pixelOffset) return false;

  TBitmap bmp(static_cast<int>(width), static_cast<int>(height));
  if (bmp.Empty()) return false;
  for (int64_t row = 0; row < height; ++row) {
    const uint8_t* src = p + pixelOffset + static_cast<uint64_t>(row) * stride;
    uint32_t* dst = bmp.Row(static_cast<int>(topDown ? row : height - 1 - row));
    if (bpp == 24) {
      // Blue, green, red in memory are the low three bytes of a little-endian word: four
      // pixels from three words, then one load and a mask per pixel, bytes for the last one,
      // whose fourth byte may lie past the data.
      int64_t x = 0;
#if defined(__x86_64__) || defined(__i386__)
      if (HaveSsse3()) x = Row24Ssse3(src, dst, width);
#endif
      for (; x + 4 < width; x += 4) {
        uint32_t a = LE32(src + 3 * x), b = LE32(src + 3 * x + 4), c = LE32(src + 3 * x + 8);
        dst[x] = a & 0xFFFFFFu;
        dst[x + 1] = (a >> 24 | b << 8) & 0xFFFFFFu;
        dst[x + 2] = (b >> 16 | c << 16) & 0xFFFFFFu;
        dst[x + 3] = c >> 8;
      }
      for (; x + 1 < width; ++x) dst[x] = LE32(src + 3 * x) & 0xFFFFFFu;
      dst[x] = static_cast<uint32_t>(src[3 * x + 2]) << 16 | static_cast<uint32_t>(src[3 * x + 1]) << 8 | src[3 * x];
      continue;
    }
    for (int64_t x = 0; x < width; ++x) {
      uint32_t px;
      switch (bpp) {
        case 1: px = palette[(src[x >> 3] >> (7 - (x & 7))) & 1]; break;
        case 4: px = palette[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 15]; break;
        case 8: px = palette[src[x]]; break;
        case 24: px = static_cast<uint32_t>(src[3 * x + 2]) << 16 | static_cast<uint32_t>(src[3 * x + 1]) << 8 | src[3 * x]; break;
        default: {
          uint32_t v = bpp == 16 ? LE16(src + 2 * x) : LE32(src + 4 * x);
          px = Channel(v, masks[0]) << 16 | Channel(v, masks[1]) << 8 | Channel(v, masks[2]);
        }
      }
      dst[x] = px;
    }
  }
  out = std::move(bmp);
  return true;
}

Bytes TBitmap::SaveToBmp(int bitsPerPixel) const {
  const int bpp = bitsPerPixel == 32 ? 32 : 24;
  const size_t stride = ((static_cast<size_t>(width_) * bpp + 31) / 32) * 4;
  const size_t dataSize = stride * static_cast<size_t>(height_);
  Bytes out(54 + dataSize);
  uint8_t* p = out.data();
  std::memset(p, 0, 54 + dataSize);
  p[0] = 'B';
  p[1] = 'M';
  PutLE32(p + 2, static_cast<uint32_t>(54 + dataSize));
  PutLE32(p + 10, 54);
  PutLE32(p + 14, 40);
  PutLE32(p + 18, static_cast<uint32_t>(width_));
  PutLE32(p + 22, static_cast<uint32_t>(height_));
  PutLE16(p + 26, 1);
  PutLE16(p + 28, static_cast<uint32_t>(bpp));
  PutLE32(p + 34, static_cast<uint32_t>(dataSize));
  PutLE32(p + 38, 2835);
  PutLE32(p + 42, 2835);
  for (int y = 0; y < height_; ++y) {
    uint8_t* dst = p + 54 + static_cast<size_t>(height_ - 1 - y) * stride;
    const uint32_t* src = Row(y);
    for (int x = 0; x < width_; ++x) {
      uint32_t px = src[x];
      dst[0] = static_cast<uint8_t>(px);
      dst[1] = static_cast<uint8_t>(px >> 8);
      dst[2] = static_cast<uint8_t>(px >> 16);
      if (bpp == 32) dst[3] = 0;
      dst += bpp / 8;
    }
  }
  return out;
}

uint32_t MixPixel(uint32_t a, uint32_t b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  auto channel = [&](int shift) {
    double x = ((a >> shift) & 0xFF) * (1 - t) + ((b >> shift) & 0xFF) * t;
    return static_cast<uint32_t>(std::lround(x)) << shift;
  };
  return channel(16) | channel(8) | channel(0);
}
