// Image lists: images of one size (Width x Height, 16 x 16 unless set) cut from bitmap strips,
// each pixel opaque or transparent, drawn by index, normally or greyed for a disabled item.
// Storage, cutting and composing are portable; drawing on a canvas is Win32 only.
//
// Stored layouts give Width and Height first, then MaskColor, then one or more Bitmap strips
// (a BMP file as binary data), each cut into images left to right:
//
//   object Icons: TImageList
//     Width = 16
//     MaskColor = clFuchsia
//     Bitmap = {424D...}
//   end
#pragma once
#include <cstdint>
#include <vector>

#include "framework/Bitmap.h"
#include "framework/Component.h"
#include "framework/Graphics.h"

class TCanvas;

class TImageList : public TComponent {
 public:
  explicit TImageList(TComponent* owner);
  const char* ClassName() const override { return "TImageList"; }

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Sizes are kept within 1..kMaxSize; changing one drops every image.
  void SetWidth(int width);
  void SetHeight(int height);
  static constexpr int kMaxSize = 256;
  // The colour (a TColor) that stored strips mark transparent pixels with.
  TColor MaskColor() const { return maskColor_; }
  void SetMaskColor(TColor color) { maskColor_ = color; }

  int Count() const { return static_cast<int>(images_.size()); }
  // Cuts strip into images of the list's size, left to right: one per Width columns, the
  // last one padded with transparent pixels, as are rows below the strip. Pixels of
  // maskColor (a TColor) become transparent. Returns the index of the first image added,
  // -1 when the strip is empty.
  int AddMasked(const TBitmap& strip, TColor maskColor);
  // Every pixel opaque.
  int Add(const TBitmap& strip);
  void Clear() { images_.clear(); }

  // The image's pixel (0x00RRGGBB) and whether it is opaque.
  uint32_t Pixel(int index, int x, int y) const;
  bool Opaque(int index, int x, int y) const;

  // Copies the opaque pixels of image index onto target with its top-left corner at (x, y),
  // clipped to target; a disabled image is drawn greyed. Nothing for an index out of range.
  void DrawTo(TBitmap& target, int x, int y, int index, bool enabled = true) const;
  // The same on a canvas (Windows).
  void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true) const;

 private:
  // Plain memory, not bitmaps: a DIB section per image would spend a GDI handle on each.
  struct Image {
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, row by row
    std::vector<uint8_t> opaque;   // one per pixel
  };
  int AddStrip(const TBitmap& strip, const TColor* maskColor);
  int width_ = 16, height_ = 16;
  TColor maskColor_ = clFuchsia;
  std::vector<Image> images_;
};

// The greyed form of a pixel (0x00RRGGBB): a grey between 128 (black) and 255 (white) by its
// brightness, so a disabled image keeps its shape, faded.
uint32_t GreyedPixel(uint32_t pixel);

// Makes TImageList known to stored layouts.
void RegisterImageListClass();
