#include "installer/WizardArt.h"

#include <algorithm>
#include <cmath>

namespace {

// Blends colour over the pixel by coverage (0..1).
void Blend(TBitmap& b, int x, int y, uint32_t colour, double coverage) {
  if (x < 0 || y < 0 || x >= b.Width() || y >= b.Height() || coverage <= 0) return;
  b.SetPixel(x, y, MixPixel(b.GetPixel(x, y), colour, coverage));
}

// A rounded rectangle filled with a vertical gradient, edges anti-aliased.
// crisp: no partial coverage, for pictures drawn over a key colour.
void RoundRect(TBitmap& b, double x0, double y0, double x1, double y1, double r, uint32_t top, uint32_t bottom,
               bool crisp = false) {
  for (int y = static_cast<int>(y0) - 1; y <= static_cast<int>(y1) + 1; ++y)
    for (int x = static_cast<int>(x0) - 1; x <= static_cast<int>(x1) + 1; ++x) {
      double px = x + 0.5, py = y + 0.5;
      double cx = std::clamp(px, x0 + r, x1 - r), cy = std::clamp(py, y0 + r, y1 - r);
      double d = std::hypot(px - cx, py - cy) - r;
      double cover = std::clamp(0.5 - d, 0.0, 1.0);
      if (crisp) cover = cover >= 0.5 ? 1.0 : 0.0;
      Blend(b, x, y, MixPixel(top, bottom, (py - y0) / std::max(1.0, y1 - y0)), cover);
    }
}

// A thick anti-aliased line segment.
void Line(TBitmap& b, double ax, double ay, double bx, double by, double w, uint32_t colour) {
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      double px = x + 0.5, py = y + 0.5;
      double vx = bx - ax, vy = by - ay;
      double t = std::clamp(((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy), 0.0, 1.0);
      double d = std::hypot(px - (ax + t * vx), py - (ay + t * vy)) - w / 2;
      Blend(b, x, y, colour, std::clamp(0.5 - d, 0.0, 1.0));
    }
}

}  // namespace

TBitmap FolderGlyph() {
  // Background: a colour that appears nowhere else, taken from the bottom-left pixel.
  constexpr uint32_t kBack = 0xFF00FF;
  TBitmap b(16, 16);
  b.Fill(kBack);
  RoundRect(b, 1, 2, 8, 6, 1, 0xC98A1E, 0xC98A1E, true);     // tab
  RoundRect(b, 1, 4, 15, 14, 1, 0xC98A1E, 0xC98A1E, true);   // outline
  RoundRect(b, 2, 5, 14, 13, 0.5, 0xF6CF5A, 0xDDA22C, true);  // body
  RoundRect(b, 3, 7, 15, 14, 0.5, 0xFFE79A, 0xF0B840, true);  // front flap
  b.SetPixel(0, 15, kBack);
  return b;
}

TBitmap FinishPicture() {
  TBitmap b(48, 48);
  b.Fill(0xFFFFFF);
  RoundRect(b, 14, 3, 28, 11, 1.5, 0xC8CCD4, 0x9AA0AA);   // connector
  RoundRect(b, 10, 10, 32, 44, 4, 0x3F8FE0, 0x1C5AA8);    // drive body
  RoundRect(b, 13, 14, 29, 22, 2, 0xEAF3FF, 0xB8D4F4);    // label
  RoundRect(b, 22, 24, 46, 46, 11, 0x4CC35A, 0x23913A);   // tick disc
  Line(b, 28, 35, 32.5, 40, 3.2, 0xFFFFFF);
  Line(b, 32.5, 40, 40, 30, 3.2, 0xFFFFFF);
  return b;
}
