// Image lists: cutting strips into images, their masks, composing onto bitmaps, greying, and
// the stored properties.
#include "framework/ImageList.h"

#include <algorithm>

#include "framework/Streaming.h"

TImageList::TImageList(TComponent* owner) : TComponent(owner) {}

void TImageList::SetWidth(int width) {
  width = std::clamp(width, 1, kMaxSize);
  if (width == width_) return;
  width_ = width;
  Clear();
}

void TImageList::SetHeight(int height) {
  height = std::clamp(height, 1, kMaxSize);
  if (height == height_) return;
  height_ = height;
  Clear();
}

int TImageList::AddStrip(const TBitmap& strip, const TColor* maskColor) {
  if (strip.Empty()) return -1;
  const int first = Count();
  // System colours name no fixed pixel: such a mask leaves every pixel opaque.
  const bool masked = maskColor && !IsSystemColor(*maskColor);
  const uint32_t key = masked ? ColorToPixel(*maskColor & 0xFFFFFF) : 0;
  const int count = (strip.Width() + width_ - 1) / width_;
  const int rows = std::min(strip.Height(), height_);
  images_.reserve(images_.size() + static_cast<size_t>(count));
  for (int n = 0; n < count; ++n) {
    Image image;
    const size_t size = static_cast<size_t>(width_) * static_cast<size_t>(height_);
    image.pixels.assign(size, 0);
    image.opaque.assign(size, 0);
    const int left = n * width_;
    const int cols = std::min(width_, strip.Width() - left);
    for (int y = 0; y < rows; ++y)
      for (int x = 0; x < cols; ++x) {
        const uint32_t p = strip.GetPixel(left + x, y);
        if (masked && p == key) continue;
        const size_t at = static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x);
        image.pixels[at] = p;
        image.opaque[at] = 1;
      }
    images_.push_back(std::move(image));
  }
  return first;
}

int TImageList::AddMasked(const TBitmap& strip, TColor maskColor) { return AddStrip(strip, &maskColor); }

int TImageList::Add(const TBitmap& strip) { return AddStrip(strip, nullptr); }

uint32_t TImageList::Pixel(int index, int x, int y) const {
  if (index < 0 || index >= Count() || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return images_[static_cast<size_t>(index)]
      .pixels[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
}

bool TImageList::Opaque(int index, int x, int y) const {
  if (index < 0 || index >= Count() || x < 0 || y < 0 || x >= width_ || y >= height_) return false;
  return images_[static_cast<size_t>(index)]
             .opaque[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)] != 0;
}

uint32_t GreyedPixel(uint32_t pixel) {
  const uint32_t r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
  const uint32_t grey = 128 + (r * 77 + g * 151 + b * 28) / 512;  // brightness / 2
  return grey << 16 | grey << 8 | grey;
}

void TImageList::DrawTo(TBitmap& target, int x, int y, int index, bool enabled) const {
  if (index < 0 || index >= Count()) return;
  const Image& image = images_[static_cast<size_t>(index)];
  const int x0 = std::max(0, -x), y0 = std::max(0, -y);
  const int x1 = std::min(width_, target.Width() - x), y1 = std::min(height_, target.Height() - y);
  for (int row = y0; row < y1; ++row) {
    const size_t at = static_cast<size_t>(row) * static_cast<size_t>(width_);
    const uint8_t* opaque = image.opaque.data() + at;
    const uint32_t* pixels = image.pixels.data() + at;
    for (int col = x0; col < x1; ++col) {
      if (!opaque[col]) continue;
      const uint32_t p = pixels[col];
      target.SetPixel(x + col, y + row, enabled ? p : GreyedPixel(p));
    }
  }
}

void RegisterImageListClass() {
  using R = TReader;
  using V = TLayoutValue;
  if (FindComponentClass("TImageList")) return;
  auto& c = RegisterComponentClass<TImageList>("TImageList", "TComponent");
  c.Prop<TImageList>("Width", [](TImageList& t, const V& v, R&) { t.SetWidth(R::IntRange(v, 1, TImageList::kMaxSize)); });
  c.Prop<TImageList>("Height",
                     [](TImageList& t, const V& v, R&) { t.SetHeight(R::IntRange(v, 1, TImageList::kMaxSize)); });
  c.Prop<TImageList>("MaskColor", [](TImageList& t, const V& v, R&) { t.SetMaskColor(R::Color(v)); });
  c.Prop<TImageList>("Bitmap", [](TImageList& t, const V& v, R&) {
    TBitmap strip;
    const auto& bytes = R::Binary(v);
    if (!bytes.empty() && !TBitmap::LoadFromBmp(bytes, strip)) throw ELayoutError("Bitmap image is not valid");
    t.AddMasked(strip, t.MaskColor());
  });
  for (const char* ignored : {"Left", "Top", "BkColor", "BlendColor", "DrawingStyle", "ImageType", "Masked"})
    c.Property(ignored, [](TComponent&, const V&, R&) {});
}
