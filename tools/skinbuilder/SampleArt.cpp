#include "tools/skinbuilder/SampleArt.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr uint32_t kKey = 0xFF00FF;  // pixels: 0x00RRGGBB

// The Blue palette.
constexpr uint32_t kTitleTop = 0x5A9EEA, kTitleBottom = 0x1D5BB0, kTitleShine = 0xA8D0F8, kTitleEdge = 0x123F7A;
constexpr uint32_t kFrameLight = 0x4F8FDC, kFrameDark = 0x163F7C;
constexpr uint32_t kForm = 0xEAF2FC, kBorder = 0x3C78C3, kBorderDark = 0x1F4E96, kGlyph = 0xFFFFFF;
constexpr uint32_t kGrey = 0xA8B4C4, kGreyFill = 0xE4E8EE;

struct Rect {
  int x, y, w, h;
};

void Fill(TBitmap& b, Rect r, uint32_t c) {
  for (int y = std::max(r.y, 0); y < std::min(r.y + r.h, b.Height()); ++y)
    for (int x = std::max(r.x, 0); x < std::min(r.x + r.w, b.Width()); ++x) b.SetPixel(x, y, c);
}

// Signed distance from pixel centre (px, py) to a rounded rectangle; negative inside.
double RoundRectDistance(Rect r, double radius, double px, double py) {
  double cx = r.x + r.w / 2.0, cy = r.y + r.h / 2.0;
  double hx = r.w / 2.0 - radius, hy = r.h / 2.0 - radius;
  double dx = std::fabs(px - cx) - hx, dy = std::fabs(py - cy) - hy;
  double outside = std::hypot(std::max(dx, 0.0), std::max(dy, 0.0));
  return outside + std::min(std::max(dx, dy), 0.0) - radius;
}

// A rounded face: outside the shape the key colour (hard edge, so that no pink fringe shows
// when the key is left out), a one-pixel border, inside a fill by row. corners: which of
// top-left, top-right, bottom-right, bottom-left are rounded (bits 1, 2, 4, 8).
void Face(TBitmap& b, Rect r, double radius, int corners, uint32_t border, const std::function<uint32_t(int, int)>& fill,
          uint32_t outside = kKey) {
  for (int y = std::max(r.y, 0); y < std::min(r.y + r.h, b.Height()); ++y)
    for (int x = std::max(r.x, 0); x < std::min(r.x + r.w, b.Width()); ++x) {
      double px = x + 0.5, py = y + 0.5;
      bool left = px < r.x + r.w / 2.0, top = py < r.y + r.h / 2.0;
      int corner = top ? (left ? 1 : 2) : (left ? 8 : 4);
      double d = RoundRectDistance(r, (corners & corner) ? radius : 0.0, px, py);
      if (d > 0)
        b.SetPixel(x, y, outside);
      else if (d > -1.0)
        b.SetPixel(x, y, border);
      else
        b.SetPixel(x, y, fill(x - r.x, y - r.y));
    }
}

// Anti-aliased strokes blended onto what is there (glyphs sit inside faces, never on the key).
void Blend(TBitmap& b, int x, int y, uint32_t c, double coverage) {
  if (x < 0 || y < 0 || x >= b.Width() || y >= b.Height() || coverage <= 0) return;
  b.SetPixel(x, y, MixPixel(b.GetPixel(x, y), c, coverage));
}
void Line(TBitmap& b, double x0, double y0, double x1, double y1, double width, uint32_t c) {
  int minX = static_cast<int>(std::floor(std::min(x0, x1) - width)), maxX = static_cast<int>(std::ceil(std::max(x0, x1) + width));
  int minY = static_cast<int>(std::floor(std::min(y0, y1) - width)), maxY = static_cast<int>(std::ceil(std::max(y0, y1) + width));
  double vx = x1 - x0, vy = y1 - y0, len2 = vx * vx + vy * vy;
  for (int y = minY; y <= maxY; ++y)
    for (int x = minX; x <= maxX; ++x) {
      double px = x + 0.5, py = y + 0.5;
      double t = len2 > 0 ? std::clamp(((px - x0) * vx + (py - y0) * vy) / len2, 0.0, 1.0) : 0.0;
      double d = std::hypot(px - (x0 + t * vx), py - (y0 + t * vy));
      Blend(b, x, y, c, width / 2 + 0.5 - d);
    }
}
void Disc(TBitmap& b, double cx, double cy, double r, uint32_t c) {
  for (int y = static_cast<int>(cy - r - 1); y <= static_cast<int>(cy + r + 1); ++y)
    for (int x = static_cast<int>(cx - r - 1); x <= static_cast<int>(cx + r + 1); ++x)
      Blend(b, x, y, c, r + 0.5 - std::hypot(x + 0.5 - cx, y + 0.5 - cy));
}

std::function<uint32_t(int, int)> Vertical(uint32_t top, uint32_t bottom, int h) {
  return [=](int, int y) { return MixPixel(top, bottom, h > 1 ? y / double(h - 1) : 0); };
}
std::function<uint32_t(int, int)> Horizontal(uint32_t left, uint32_t right, int w) {
  return [=](int x, int) { return MixPixel(left, right, w > 1 ? x / double(w - 1) : 0); };
}
// The title strip's shading: a glossy upper half over a deeper lower half.
uint32_t TitleShade(int y, int h) {
  double t = y / double(h - 1);
  uint32_t c = t < 0.45 ? MixPixel(kTitleShine, kTitleTop, t / 0.45) : MixPixel(kTitleTop, kTitleBottom, (t - 0.45) / 0.55);
  return y == h - 1 ? kTitleEdge : c;
}

TBitmap TitlePiece(int w, int h, int roundCorners) {
  TBitmap b(w, h);
  // The face reaches past the bitmap below and on the sides that continue into the next
  // piece, so that only the top and the outer sides get the dark edge.
  int left = (roundCorners & 1) ? 0 : -8, right = (roundCorners & 2) ? w : w + 8;
  Face(b, {left, 0, right - left, h + 8}, 7, roundCorners, kTitleEdge, [h](int, int y) { return TitleShade(y, h); });
  return b;
}

// Title buttons: control box, help, maximize, restore, minimize, close; each normal, hot, down.
TBitmap TitleButtons() {
  const int s = 22;
  TBitmap b(18 * s, s);
  b.Fill(kKey);
  for (int kind = 0; kind < 6; ++kind)
    for (int state = 0; state < 3; ++state) {
      int x0 = (kind * 3 + state) * s;
      bool close = kind == 5;
      uint32_t top = state == 0 ? 0x7DB4F0 : state == 1 ? (close ? 0xF08A7E : 0x9CCBFA) : (close ? 0xB0322A : 0x2C64B0);
      uint32_t bottom = state == 0 ? 0x2C6CC4 : state == 1 ? (close ? 0xD0443A : 0x4A8CDC) : (close ? 0xD85A4E : 0x4F8CD8);
      Face(b, {x0 + 2, 2, s - 4, s - 4}, 4, 15, state == 2 ? 0x0E2F60 : 0x1A4788, Vertical(top, bottom, s - 4));
      double cx = x0 + s / 2.0, cy = s / 2.0;
      switch (kind) {
        case 0:  // control box: a small window
          Fill(b, {x0 + 7, 7, 8, 8}, 0xF4F8FF);
          Fill(b, {x0 + 7, 7, 8, 2}, 0x1D5BB0);
          Line(b, x0 + 7, 7, x0 + 7, 15, 1, 0x0E2F60);
          break;
        case 1:  // help: a question mark
          Line(b, cx - 3, cy - 3, cx - 1.5, cy - 5, 1.6, kGlyph);
          Line(b, cx - 1.5, cy - 5, cx + 1.5, cy - 5, 1.6, kGlyph);
          Line(b, cx + 1.5, cy - 5, cx + 3, cy - 3, 1.6, kGlyph);
          Line(b, cx + 3, cy - 3, cx, cy, 1.6, kGlyph);
          Line(b, cx, cy, cx, cy + 1.5, 1.6, kGlyph);
          Disc(b, cx, cy + 4.5, 1.1, kGlyph);
          break;
        case 2:  // maximize: a window outline
          Line(b, cx - 4.5, cy - 4, cx + 4.5, cy - 4, 2, kGlyph);
          Line(b, cx - 4.5, cy - 4, cx - 4.5, cy + 4.5, 1.3, kGlyph);
          Line(b, cx + 4.5, cy - 4, cx + 4.5, cy + 4.5, 1.3, kGlyph);
          Line(b, cx - 4.5, cy + 4.5, cx + 4.5, cy + 4.5, 1.3, kGlyph);
          break;
        case 3:  // restore: two windows
          Line(b, cx - 1.5, cy - 5, cx + 5, cy - 5, 1.6, kGlyph);
          Line(b, cx + 5, cy - 5, cx + 5, cy + 1, 1.2, kGlyph);
          Line(b, cx - 5, cy - 1.5, cx + 1.5, cy - 1.5, 1.8, kGlyph);
          Line(b, cx - 5, cy - 1.5, cx - 5, cy + 5, 1.2, kGlyph);
          Line(b, cx + 1.5, cy - 1.5, cx + 1.5, cy + 5, 1.2, kGlyph);
          Line(b, cx - 5, cy + 5, cx + 1.5, cy + 5, 1.2, kGlyph);
          break;
        case 4:  // minimize: a bar
          Line(b, cx - 4.5, cy + 3.5, cx + 4.5, cy + 3.5, 2.2, kGlyph);
          break;
        case 5:  // close: a cross
          Line(b, cx - 4, cy - 4, cx + 4, cy + 4, 2.2, kGlyph);
          Line(b, cx + 4, cy - 4, cx - 4, cy + 4, 2.2, kGlyph);
          break;
      }
    }
  return b;
}

// Push button: normal, hot, down; 81 x 23 each.
TBitmap Button() {
  const int w = 81, h = 23;
  TBitmap b(3 * w, h);
  const uint32_t tops[3] = {0xFBFDFF, 0xFFFFFF, 0xA9C9F0};
  const uint32_t bottoms[3] = {0xC9DDF6, 0xB3D4FA, 0xDCEAFB};
  const uint32_t borders[3] = {kBorder, 0x2A6BD1, kBorderDark};
  for (int i = 0; i < 3; ++i) {
    Face(b, {i * w, 0, w, h}, 3.5, 15, borders[i], [&, i](int, int y) {
      double t = y / double(h - 1);
      // A glassy highlight in the upper half.
      return t < 0.5 ? MixPixel(tops[i], MixPixel(tops[i], bottoms[i], 0.35), t * 2) : MixPixel(MixPixel(tops[i], bottoms[i], 0.55), bottoms[i], (t - 0.5) * 2);
    });
    if (i == 1)  // the hot frame has an inner glow line
      for (int x = i * w + 3; x < i * w + w - 3; ++x) b.SetPixel(x, 1, 0xFFFFFF);
  }
  return b;
}

// Check marks, size s: checked, mixed, unchecked, then the same three disabled.
TBitmap CheckBoxes(int s) {
  TBitmap b(6 * s, s);
  b.Fill(kForm);
  int box = s - 4;
  for (int i = 0; i < 6; ++i) {
    bool disabled = i >= 3;
    int state = i % 3;  // 0 checked, 1 mixed, 2 unchecked
    int x0 = i * s + 2, y0 = 2;
    Face(b, {x0, y0, box, box}, 1.5, 15, disabled ? kGrey : kBorder,
         Vertical(disabled ? kGreyFill : 0xDCE9FA, disabled ? 0xF4F6F8 : 0xFFFFFF, box), kForm);
    uint32_t mark = disabled ? 0x8A96A8 : 0x1D5BB0;
    double u = box / 13.0;
    if (state == 0) {
      Line(b, x0 + 3 * u, y0 + 6.5 * u, x0 + 5.5 * u, y0 + 9.5 * u, 1.8 * u, mark);
      Line(b, x0 + 5.5 * u, y0 + 9.5 * u, x0 + 10 * u, y0 + 3.5 * u, 1.8 * u, mark);
    } else if (state == 1) {
      int m = std::max(2, box / 4);
      Fill(b, {x0 + m + 1, y0 + m + 1, box - 2 * m - 2, box - 2 * m - 2}, mark);
    }
  }
  return b;
}

// Radio marks, 15 x 15: checked, unchecked, checked disabled, unchecked disabled. The
// bottom-left pixel is the key colour, which the radio button leaves out.
TBitmap RadioButtons() {
  const int s = 15;
  TBitmap b(4 * s, s);
  b.Fill(kKey);
  for (int i = 0; i < 4; ++i) {
    bool checked = i % 2 == 0, disabled = i >= 2;
    double cx = i * s + 7.5, cy = 7.5;
    for (int y = 0; y < s; ++y)
      for (int x = i * s; x < i * s + s; ++x) {
        double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
        if (d > 6.6) continue;
        b.SetPixel(x, y, d > 5.6 ? (disabled ? kGrey : kBorder)
                                 : MixPixel(disabled ? kGreyFill : 0xDCE9FA, disabled ? 0xF4F6F8 : 0xFFFFFF, (y - 2) / 10.0));
      }
    if (checked) Disc(b, cx, cy, 2.8, disabled ? 0x8A96A8 : 0x1D5BB0);
  }
  return b;
}

// A three-state arrow button of 17 x 17 (normal, hot, down); dir 0 up, 1 down, 2 none (thumb).
TBitmap ScrollButton(int dir) {
  const int s = 17;
  TBitmap b(3 * s, s);
  for (int i = 0; i < 3; ++i) {
    uint32_t top = i == 2 ? 0xA9C9F0 : i == 1 ? 0xFFFFFF : 0xF2F7FE, bottom = i == 2 ? 0xD0E2F8 : i == 1 ? 0xB9D7FA : 0xC9DDF6;
    Face(b, {i * s, 0, s, s}, 2.5, 15, i == 2 ? kBorderDark : kBorder, Vertical(top, bottom, s), kForm);
    double cx = i * s + 8.5, cy = 8.5;
    if (dir == 0) {
      Line(b, cx - 3.5, cy + 1.5, cx, cy - 2, 1.6, kBorderDark);
      Line(b, cx, cy - 2, cx + 3.5, cy + 1.5, 1.6, kBorderDark);
    } else if (dir == 1) {
      Line(b, cx - 3.5, cy - 1.5, cx, cy + 2, 1.6, kBorderDark);
      Line(b, cx, cy + 2, cx + 3.5, cy - 1.5, 1.6, kBorderDark);
    } else {
      for (int k = -2; k <= 2; k += 2) Line(b, cx - 3, cy + k, cx + 3, cy + k, 1, 0x7AA5DC);
    }
  }
  return b;
}

TBitmap ProgressTrack(int w, int h) {
  TBitmap b(w, h);
  Face(b, {0, 0, w, h}, 3, 15, kBorder, w > h ? Vertical(0xD5E3F4, 0xFFFFFF, h) : Horizontal(0xD5E3F4, 0xFFFFFF, w), kForm);
  return b;
}

TBitmap ProgressFill(int w, int h) {
  TBitmap b(w, h);
  bool across = w < h;  // a vertical bar's fill is shaded left to right
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      double t = across ? x / double(w - 1) : y / double(h - 1);
      b.SetPixel(x, y, t < 0.45 ? MixPixel(0xB7DAFF, 0x4E95E8, t / 0.45) : MixPixel(0x2C75D6, 0x5BA4F0, (t - 0.45) / 0.55));
    }
  return b;
}

TBitmap Slider(int w, int h, int frames) {
  TBitmap b(frames * w, h);
  for (int i = 0; i < frames; ++i) {
    uint32_t top = i == 1 ? 0xFFFFFF : 0xF2F7FE, bottom = i == 2 ? 0x8FB8EC : i == 1 ? 0xB9D7FA : 0xC9DDF6;
    Face(b, {i * w, 0, w, h}, 3, 15, kBorderDark, w < h ? Vertical(top, bottom, h) : Horizontal(top, bottom, w), kKey);
  }
  return b;
}

TBitmap Tabs() {
  const int w = 60, h = 22;
  TBitmap b(3 * w, h);
  const uint32_t tops[3] = {0xFFFFFF, 0xF2F8FF, 0xE0ECFA}, bottoms[3] = {0xF4F8FE, 0xD2E4FA, 0xC3D8F3};
  for (int i = 0; i < 3; ++i)
    Face(b, {i * w, 0, w, h + 6}, 4, 3, i == 0 ? kBorder : 0x6E9AD4, Vertical(tops[i], bottoms[i], h), kKey);
  for (int x = w; x < 3 * w; ++x) b.SetPixel(x, h - 1, kBorder);  // inactive tabs stand on the line
  return b;
}

TBitmap Gradient(int w, int h, uint32_t top, uint32_t bottom) {
  TBitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, MixPixel(top, bottom, y / double(h - 1)));
  return b;
}

TBitmap SideBorder(bool left) {
  TBitmap b(4, 30);
  const uint32_t cols[4] = {kFrameDark, kFrameLight, 0x3270C4, 0x2A5FA8};
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 4; ++x) b.SetPixel(left ? x : 3 - x, y, cols[x]);
  return b;
}

// Bottom border: three 8-pixel parts (left corner, stretchable middle, right corner), 4 high.
TBitmap BottomBorder() {
  TBitmap b(24, 4);
  const uint32_t rows[4] = {0x2A5FA8, 0x3270C4, kFrameLight, kFrameDark};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 24; ++x) b.SetPixel(x, y, rows[y]);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4 - y; ++x) {
      // the corners continue the side borders' shading
      const uint32_t side[4] = {kFrameDark, kFrameLight, 0x3270C4, 0x2A5FA8};
      b.SetPixel(x, y, side[x]);
      b.SetPixel(23 - x, y, side[x]);
    }
  return b;
}

TBitmap CheckedMenuIcon() {
  TBitmap b(16, 16);
  b.Fill(kKey);
  Face(b, {1, 1, 14, 14}, 2, 15, kBorder, Vertical(0xE7F1FD, 0xC4DCF8, 14));
  Line(b, 4, 8, 6.8, 11, 1.8, 0x123F7A);
  Line(b, 6.8, 11, 12, 4.5, 1.8, 0x123F7A);
  return b;
}

}  // namespace

std::vector<std::pair<std::string, TBitmap>> DrawBlueSkinArt() {
  std::vector<std::pair<std::string, TBitmap>> art;
  auto add = [&art](const char* name, TBitmap b) { art.emplace_back(name, std::move(b)); };
  add("SKIN2_TITLEBAR1", TitlePiece(40, 30, 1));
  add("SKIN2_TITLEBAR2", TitlePiece(16, 30, 0));
  add("SKIN2_TITLEBAR3", TitlePiece(120, 30, 2));
  add("SKIN2_TITLEBAR4", TitlePiece(16, 30, 0));
  add("SKIN2_TITLEBAR5", TitlePiece(40, 30, 2));
  add("SKIN2_FORMLEFTBORDER", SideBorder(true));
  add("SKIN2_FORMRIGHTBORDER", SideBorder(false));
  add("SKIN2_FORMBOTTOMBORDER1", BottomBorder());
  add("SKIN2_MINIMIZEDTITLE", TitlePiece(160, 30, 3));
  add("SKIN2_TITLEBUTTONS", TitleButtons());
  add("SKIN2_CHECKEDMENUICON", CheckedMenuIcon());
  add("SKIN2_BUTTON", Button());
  add("SKIN2_CHECKBOX", CheckBoxes(17));
  add("SKIN2_CHECKBOXLIST", CheckBoxes(13));
  add("SKIN2_RADIOBUTTON", RadioButtons());
  add("SKIN2_PROGRESSBAR1", ProgressTrack(24, 14));
  add("SKIN2_PROGRESSBAR2", ProgressFill(8, 14));
  add("SKIN2_PROGRESSBAR3", ProgressTrack(14, 24));
  add("SKIN2_PROGRESSBAR4", ProgressFill(14, 8));
  add("SKIN2_TRACKBAR", ProgressTrack(24, 6));
  add("SKIN2_TRACKBARSLIDER", Slider(11, 20, 3));
  add("SKIN2_TRACKBARVSLIDER", Slider(20, 11, 3));
  add("SKIN2_SCROLLBARUPBUTTON", ScrollButton(0));
  add("SKIN2_SCROLLBAR", Gradient(17, 17, 0xE3ECF8, 0xF4F8FE));
  add("SKIN2_SCROLLBARDOWNBUTTON", ScrollButton(1));
  add("SKIN2_TABCONTROL", Tabs());
  add("SKIN2_TABCONTROLLINE", Gradient(4, 4, kBorder, kBorder));
  add("SKIN2_SIDECHANNELBAR", Gradient(4, 22, 0x5A9EEA, 0x1D5BB0));
  add("SKIN2_SIDECHANNELTITLE", Gradient(4, 22, 0xE4EFFC, 0xB2CEF1));
  add("SKIN2_SCROLLBUTTON", ScrollButton(2));
  return art;
}
