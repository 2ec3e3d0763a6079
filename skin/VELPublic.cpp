// Portable part of the drawing helpers: everything that works on pixels and geometry.
#include "skin/VELPublic.h"

#include <algorithm>

#include "framework/Component.h"
#include "framework/Streaming.h"

void PickBitmapFrame(const TBitmap& source, TBitmap& dest, int frameCount, int frameIndex) {
  if (frameCount < 1 || frameIndex < 1 || frameIndex > frameCount) {
    dest.SetSize(0, 0);
    return;
  }
  const int w = source.Width() / frameCount;
  const int h = source.Height();
  const int left = frameIndex == frameCount ? source.Width() - w : w * (frameIndex - 1);
  // Through a temporary, so that source and dest may be the same bitmap.
  TBitmap frame(w, h);
  for (int y = 0; y < frame.Height(); ++y) std::copy_n(source.Row(y) + left, w, frame.Row(y));
  dest = std::move(frame);
}

void StretchCopy(TBitmap& canvas, const TRect& dst, const TBitmap& bitmap, const TRect& src,
                 const uint32_t* transparentKey) {
  const int dw = dst.Width(), dh = dst.Height(), sw = src.Width(), sh = src.Height();
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  const int x0 = std::max(dst.Left, 0), x1 = std::min(dst.Right, canvas.Width());
  const int y0 = std::max(dst.Top, 0), y1 = std::min(dst.Bottom, canvas.Height());
  const uint32_t keyPixel = transparentKey ? ColorToPixel(*transparentKey) : 0;
  for (int y = y0; y < y1; ++y) {
    const int sy = src.Top + static_cast<int>(static_cast<int64_t>(y - dst.Top) * sh / dh);
    if (sy < 0 || sy >= bitmap.Height()) continue;
    const uint32_t* in = bitmap.Row(sy);
    uint32_t* out = canvas.Row(y);
    for (int x = x0; x < x1; ++x) {
      const int sx = src.Left + static_cast<int>(static_cast<int64_t>(x - dst.Left) * sw / dw);
      if (sx < 0 || sx >= bitmap.Width()) continue;
      const uint32_t px = in[sx] & 0xFFFFFF;
      if (transparentKey && px == keyPixel) continue;
      out[x] = px;
    }
  }
}

namespace {

int NonNegative(int v) { return v < 0 ? 0 : v; }

enum class Keep { TopLeft, BottomLeft, TopRight, BottomRight };

// A corner: the smaller of its source and its share of the target, cut from the source so
// that the outer corner stays; placed against the same corner of the target.
NineGridPiece CornerPiece(const TRect& source, int partW, int partH, Keep keep, int anchorX, int anchorY) {
  const int w = NonNegative(std::min(source.Width(), partW));
  const int h = NonNegative(std::min(source.Height(), partH));
  const bool left = keep == Keep::TopLeft || keep == Keep::BottomLeft;
  const bool top = keep == Keep::TopLeft || keep == Keep::TopRight;
  NineGridPiece p;
  p.Corner = true;
  p.Source.Left = left ? source.Left : source.Right - w;
  p.Source.Right = p.Source.Left + w;
  p.Source.Top = top ? source.Top : source.Bottom - h;
  p.Source.Bottom = p.Source.Top + h;
  if (w == 0 || h == 0) {
    p.Target = {anchorX, anchorY, anchorX, anchorY};
    return p;
  }
  p.Target.Left = left ? anchorX : anchorX - w;
  p.Target.Top = top ? anchorY : anchorY - h;
  p.Target.Right = p.Target.Left + w;
  p.Target.Bottom = p.Target.Top + h;
  return p;
}

}  // namespace

std::vector<NineGridPiece> NineGridPieces(int bw, int bh, const TRect& rect) {
  const int hw = bw / 2, hh = bh / 2;
  const int W = rect.Right - rect.Left, H = rect.Bottom - rect.Top;
  const int hW = W / 2, hH = H / 2;
  // The rectangle is taken to start at the canvas origin; right and bottom are rect's own.
  NineGridPiece tl = CornerPiece({0, 0, hw, hh}, hW, hH, Keep::TopLeft, 0, 0);
  NineGridPiece bl = CornerPiece({0, bh - hh + 1, hw, bh}, hW, hH - 1, Keep::BottomLeft, 0, rect.Bottom);
  NineGridPiece tr = CornerPiece({bw - hw + 1, 0, bw, hh}, hW - 1, hH, Keep::TopRight, rect.Right, 0);
  NineGridPiece br = CornerPiece({bw - hw + 1, bh - hh + 1, bw, bh}, hW - 1, hH - 1, Keep::BottomRight,
                                 rect.Right, rect.Bottom);
  const TRect& TL = tl.Target;
  const TRect& BL = bl.Target;
  const TRect& TR = tr.Target;
  const TRect& BR = br.Target;

  auto edge = [](TRect source, const TRect& target, char side) {
    // Cut across the edge to the piece's thickness, keeping the outer side.
    if (side == 'L' && source.Width() > target.Width()) source.Right = source.Left + NonNegative(target.Width());
    if (side == 'R' && source.Width() > target.Width()) source.Left = source.Right - NonNegative(target.Width());
    if (side == 'T' && source.Height() > target.Height()) source.Bottom = source.Top + NonNegative(target.Height());
    if (side == 'B' && source.Height() > target.Height()) source.Top = source.Bottom - NonNegative(target.Height());
    return NineGridPiece{source, target, false};
  };
  std::vector<NineGridPiece> pieces;
  pieces.reserve(9);
  pieces.push_back(tl);
  pieces.push_back(bl);
  pieces.push_back(edge({0, hh, hw, bh - hh}, {0, TL.Bottom, TL.Right, BL.Top}, 'L'));
  pieces.push_back(tr);
  pieces.push_back(br);
  pieces.push_back(edge({bw - hw + 1, bh - hh, bw, hh + 2}, {TR.Left, TR.Bottom, TR.Right, BR.Top}, 'R'));
  pieces.push_back(edge({hw, 0, bw - hw + 1, hh}, {TL.Right, 0, TR.Left, TL.Bottom}, 'T'));
  pieces.push_back(edge({hw, hh, bw - hw + 1, bh - hh}, {TL.Right, TL.Bottom, TR.Left, BR.Top - 1}, 'C'));
  pieces.push_back(edge({hw, bh - hh, bw - hw + 1, bh}, {TL.Right - 1, BL.Top - 1, BR.Left, BR.Bottom}, 'B'));
  return pieces;
}

void DrawNineGrid(TBitmap& canvas, const TBitmap& bitmap, const TRect& rect, bool transparent) {
  const uint32_t key = kSkinKeyColor;
  for (const NineGridPiece& p : NineGridPieces(bitmap.Width(), bitmap.Height(), rect)) {
    if (p.Target.Empty()) continue;
    // Corners are copied 1:1 (source and target have the same size); their transparency
    // follows the flag, the stretched pieces always leave the key colour out.
    StretchCopy(canvas, p.Target, bitmap, p.Source, p.Corner && !transparent ? nullptr : &key);
  }
}

void DrawThreePart(TBitmap& canvas, const TBitmap& bitmap, const TRect& rect, bool transparent,
                   uint32_t keyColor) {
  const int pw = bitmap.Width() / 3, ph = bitmap.Height();
  if (pw <= 0 || ph <= 0) return;
  // A system colour as key means the colour it stands for, as an image list's mask takes it.
  const uint32_t resolvedKey = ResolveSystemColor(keyColor);
  const uint32_t* key = transparent ? &resolvedKey : nullptr;
  if (rect.Width() < pw) {
    const int w = NonNegative(rect.Width());
    StretchCopy(canvas, {rect.Left, rect.Top, rect.Left + w, rect.Top + ph}, bitmap, {0, 0, w, ph}, key);
    return;
  }
  StretchCopy(canvas, {rect.Left, rect.Top, rect.Left + pw, rect.Top + ph}, bitmap, {0, 0, pw, ph}, key);
  StretchCopy(canvas, {rect.Right - pw, rect.Top, rect.Right, rect.Top + ph}, bitmap, {2 * pw, 0, 3 * pw, ph}, key);
  StretchCopy(canvas, {rect.Left + pw, rect.Top, rect.Right - pw, rect.Top + ph}, bitmap, {pw, 0, 2 * pw, ph}, key);
}

void TileDrawPicture(TBitmap& canvas, const TBitmap& picture, const TRect& rect, const uint32_t* transparentKey) {
  const int pw = picture.Width(), ph = picture.Height();
  if (pw <= 0 || ph <= 0) return;
  const TRect whole{0, 0, pw, ph};
  // Tiles that start beyond the canvas draw nothing, so stop there as well.
  const int xEnd = std::min(pw + rect.Width(), canvas.Width());
  const int yEnd = std::min(ph + rect.Height(), canvas.Height());
  for (int x = 0; x < xEnd; x += pw)
    for (int y = 0; y < yEnd; y += ph) StretchCopy(canvas, {x, y, x + pw, y + ph}, picture, whole, transparentKey);
}

std::vector<TRect> BitmapRegionRuns(const TBitmap& bitmap, uint32_t keyColor) {
  std::vector<TRect> runs;
  for (int y = 0; y < bitmap.Height(); ++y) {
    const uint32_t* row = bitmap.Row(y);
    int x = 0;
    while (x < bitmap.Width()) {
      while (x < bitmap.Width() && PixelToColor(row[x] & 0xFFFFFF) == keyColor) ++x;
      if (x == bitmap.Width()) break;
      const int start = x;
      while (x < bitmap.Width() && PixelToColor(row[x] & 0xFFFFFF) != keyColor) ++x;
      runs.push_back({start, y, x, y + 1});
    }
  }
  return runs;
}

bool PointInRect(const TPoint& p, const TRect& r) {
  return p.X >= r.Left && p.X <= r.Right && p.Y >= r.Top && p.Y <= r.Bottom;
}

uint32_t MakeRGB(int red, int green, int blue) {
  return static_cast<uint32_t>(red & 0xFF) | static_cast<uint32_t>(green & 0xFF) << 8 |
         static_cast<uint32_t>(blue & 0xFF) << 16;
}

TvelRGB SplitRGB(uint32_t color) {
  const uint32_t c = ResolveSystemColor(color);
  return {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c >> 16)};
}

void FillRectColor(TBitmap& canvas, const TRect& rect, uint32_t color) {
  const uint32_t px = ColorToPixel(color & 0xFFFFFF);
  const int x0 = std::max(rect.Left, 0), x1 = std::min(rect.Right, canvas.Width());
  const int y0 = std::max(rect.Top, 0), y1 = std::min(rect.Bottom, canvas.Height());
  for (int y = y0; y < y1; ++y) std::fill(canvas.Row(y) + x0, canvas.Row(y) + std::max(x0, x1), px);
}

namespace {

// c_from + Trunc((c_to - c_from) / span * step), in floating point, truncated toward zero.
uint32_t GradientColor(const TvelRGB& from, const TvelRGB& to, int span, int step) {
  auto channel = [&](int a, int b) {
    return a + static_cast<int>(static_cast<double>(b - a) / span * step);
  };
  return MakeRGB(channel(from.Red, to.Red), channel(from.Green, to.Green), channel(from.Blue, to.Blue));
}

}  // namespace

void DrawVerticalGradient(TBitmap& canvas, const TRect& rect, uint32_t fromColor, uint32_t toColor) {
  if (rect.Bottom <= rect.Top) return;
  const TvelRGB from = SplitRGB(fromColor), to = SplitRGB(toColor);
  const int span = rect.Bottom - rect.Top;
  auto row = [&](int y, uint32_t color) { FillRectColor(canvas, {rect.Left, y, rect.Right, y + 1}, color); };
  row(rect.Top, MakeRGB(from.Red, from.Green, from.Blue));
  for (int y = rect.Top + 1; y <= rect.Bottom - 2; ++y) row(y, GradientColor(from, to, span, y - rect.Top - 1));
  row(rect.Bottom - 1, MakeRGB(to.Red, to.Green, to.Blue));
}

void DrawHorizontalGradient(TBitmap& canvas, const TRect& rect, uint32_t fromColor, uint32_t toColor) {
  if (rect.Right <= rect.Left) return;
  const TvelRGB from = SplitRGB(fromColor), to = SplitRGB(toColor);
  const int span = rect.Right - rect.Left;
  auto column = [&](int x, uint32_t color) { FillRectColor(canvas, {x, rect.Top, x + 1, rect.Bottom}, color); };
  column(rect.Left, MakeRGB(from.Red, from.Green, from.Blue));
  for (int x = rect.Left + 1; x <= rect.Right - 2; ++x) column(x, GradientColor(from, to, span, x - rect.Left));
  column(rect.Right - 1, MakeRGB(to.Red, to.Green, to.Blue));
}

bool HasProperty(const TComponent& component, std::string_view name) {
  const TComponentClass* cls = FindComponentClass(component.ClassName());
  return cls && cls->FindProperty(name);
}

bool IsFormActive(const FormActivity& f) {
  if (!f.HasMainForm) return f.FormActiveFlag;
  if (f.MainFormIsMdiFrame && f.FormIsMainForm) return true;
  if (!f.ApplicationActive) return false;
  if (f.FormAbsent || f.FormIsMainForm) return true;
  if (f.MainFormIsMdiFrame) return f.FormIsActiveMdiChild || f.FormActiveFlag;
  return f.FormActiveFlag;
}

namespace {

// Byte offsets where GBK characters end: a lead byte 81..FE takes the next byte with it.
std::vector<size_t> CharacterEnds(const std::string& text) {
  std::vector<size_t> ends;
  size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<uint8_t>(text[i]);
    i += (b >= 0x81 && b <= 0xFE && i + 1 < text.size()) ? 2 : 1;
    ends.push_back(i);
  }
  return ends;
}

}  // namespace

std::string FitTextWithEllipsis(const TextWidthFn& textWidth, const std::string& text, int maxWidth) {
  if (textWidth(text) <= maxWidth) return text;
  const std::vector<size_t> ends = CharacterEnds(text);
  // Longest first; never cut a double-byte character in two.
  for (size_t n = ends.size(); n-- > 1;) {
    std::string candidate = text.substr(0, ends[n - 1]) + "...";
    if (textWidth(candidate) <= maxWidth) return candidate;
  }
  return text;
}
