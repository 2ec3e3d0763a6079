// A bitmap with direct pixel access, the same on both targets: a DIB section on Windows
// (so GDI can draw into it and blit from it), a plain buffer on the host. Pixels are
// 32-bit, top-down, 0x00RRGGBB (memory order B, G, R, X).
#pragma once
#include <cstdint>
#include <span>

#include "framework/Bytes.h"

class TBitmap {
 public:
  TBitmap() = default;
  TBitmap(int width, int height) { SetSize(width, height); }
  ~TBitmap() { Free(); }
  TBitmap(TBitmap&& other) noexcept { *this = static_cast<TBitmap&&>(other); }
  TBitmap& operator=(TBitmap&& other) noexcept;
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  TBitmap Clone() const;
  // Reallocates; every pixel becomes 0. Sizes that are negative or beyond kMaxSide make
  // the bitmap empty.
  void SetSize(int width, int height);
  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }

  uint32_t* Row(int y) { return bits_ + static_cast<size_t>(y) * static_cast<size_t>(width_); }
  const uint32_t* Row(int y) const { return bits_ + static_cast<size_t>(y) * static_cast<size_t>(width_); }
  uint32_t GetPixel(int x, int y) const { return Row(y)[x] & 0xFFFFFF; }
  void SetPixel(int x, int y, uint32_t rgb) { Row(y)[x] = rgb & 0xFFFFFF; }
  void Fill(uint32_t rgb);

  // The DIB section's HBITMAP on Windows; nullptr on the host.
  void* Handle() const { return handle_; }

  // Reads a BMP file: 1, 4, 8, 16, 24 or 32 bits per pixel, BI_RGB or BI_BITFIELDS, either
  // row order. False (out untouched) on anything malformed or larger than kMaxPixels.
  static bool LoadFromBmp(std::span<const uint8_t> bytes, TBitmap& out);
  // The width and height a BMP file's header declares (rows of either order), without
  // decoding it. False when the header is malformed or the size beyond kMaxSide or kMaxPixels.
  static bool ReadBmpSize(std::span<const uint8_t> bytes, int& width, int& height);
  // A BMP file of 24 or 32 bits per pixel, bottom-up.
  Bytes SaveToBmp(int bitsPerPixel = 24) const;

  static constexpr int kMaxSide = 32768;
  static constexpr int64_t kMaxPixels = 64 * 1024 * 1024;

 private:
  void Allocate(int width, int height);  // per target: sets bits_ (zeroed) and handle_
  void Free();
  uint32_t* bits_ = nullptr;
  void* handle_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

// Colours are 0x00BBGGRR (TColor); pixels 0x00RRGGBB.
constexpr uint32_t ColorToPixel(uint32_t color) {
  return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}
constexpr uint32_t PixelToColor(uint32_t pixel) { return ColorToPixel(pixel); }
// The pixel t of the way from a to b (t clamped to 0..1), each channel rounded.
uint32_t MixPixel(uint32_t a, uint32_t b, double t);
