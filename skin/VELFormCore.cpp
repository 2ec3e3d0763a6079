// Geometry of the themed form frame; see VELFormCore.h.
#include "skin/VELFormCore.h"

#include <algorithm>

namespace {
int AtLeast4(int v) { return std::max(v, 4); }
}  // namespace

int ClampFrameThickness(int value) { return value < 0 || value > 12 ? 4 : value; }

TRect FrameClientRequest(const TvelFrameMetrics& m, int x, int y, int cx, int cy) {
  int bt = AtLeast4(m.BottomThickness), lt = AtLeast4(m.LeftThickness);
  TRect r;
  r.Top = y + 4 - bt;
  if (m.LeftBorderWidth > 0 || m.RightBorderWidth > 0) {
    r.Left = x + AtLeast4(m.LeftBorderWidth) - lt + 1;
    r.Right = x + cx + lt - AtLeast4(m.RightBorderWidth) - 1;
  } else {
    r.Left = x + 4 - lt;
    r.Right = x + cx + lt - 4;
  }
  if (m.BottomBorderHeight > 0)
    r.Bottom = y + cy + bt - AtLeast4(m.BottomBorderHeight) - 1;
  else if (m.BorderWidth == 3)
    r.Bottom = y + cy + bt - 4;
  else
    r.Bottom = y + cy + bt - m.BorderWidth - 2;
  return r;
}

int FrameBorderAnswer(const TvelFrameMetrics& m) {
  if (m.LeftBorderWidth > 0) return AtLeast4(m.LeftBorderWidth);
  // A form measured without a frame (bsNone before it became a dialog) has thickness 0.
  return std::max(m.BottomThickness - 1, 0);
}

std::vector<TvelRegionShape> BuiltinFormRegion(int width, int height, int roundCorner, int roundCornerBottom,
                                               bool titleBarVisible) {
  std::vector<TvelRegionShape> out;
  if (width <= 0 || height <= 0) return out;
  int top = titleBarVisible ? std::max(roundCorner, 0) : 0;
  int bottom = titleBarVisible ? std::max(roundCornerBottom, 0) : 0;
  int half = height / 2;
  if (top > 0) {
    out.push_back({{0, 0, width, half}, top});
    out.push_back({{0, std::min(top / 2, half), width, half}, 0});  // bottom corners squared
  } else {
    out.push_back({{0, 0, width, half}, 0});
  }
  if (bottom > 0) {
    out.push_back({{0, half, width, height}, bottom});
    out.push_back({{0, half, width, std::max(height - bottom / 2, half)}, 0});  // top corners squared
  } else {
    out.push_back({{0, half, width, height}, 0});
  }
  std::erase_if(out, [](const TvelRegionShape& s) { return s.Rect.Empty(); });
  return out;
}

void AppendOutlineRows(std::vector<TRect>& out, const TBitmap& outline, int top, int fullWidth, uint32_t keyColor,
                       int minY, int maxY) {
  int rows = outline.Height();
  if (rows <= 0 || fullWidth <= 0) return;
  if (minY == -1) minY = 0;
  int runsFrom = std::clamp(minY, 0, rows);
  int runsTo = minY >= maxY ? rows - 1 : std::min(maxY, rows - 1);  // inclusive
  if (runsFrom > 0) out.push_back({0, top, fullWidth, top + runsFrom});
  int width = std::min(outline.Width(), fullWidth);
  uint32_t key = ColorToPixel(keyColor) & 0xFFFFFF;
  for (int y = runsFrom; y <= runsTo; ++y) {
    const uint32_t* row = outline.Row(y);
    int x = 0;
    while (x < width) {
      while (x < width && (row[x] & 0xFFFFFF) == key) ++x;
      int start = x;
      while (x < width && (row[x] & 0xFFFFFF) != key) ++x;
      if (x > start) out.push_back({start, top + y, x, top + y + 1});
    }
  }
  int fullFrom = std::max(runsTo + 1, runsFrom);
  if (fullFrom < rows) out.push_back({0, top + fullFrom, fullWidth, top + rows});
}

std::vector<TRect> FileThemeFormRegion(const TvelFileRegionInput& in) {
  std::vector<TRect> out;
  if (in.Width <= 0 || in.Height <= 0) return out;
  bool title = in.TitleRegion && in.TitleStrip && !in.TitleStrip->Empty();
  bool bottom = in.BottomRegion && in.BottomBorder && !in.BottomBorder->Empty();
  int bandTop = title ? std::min(in.TitleStrip->Height(), in.Height) : 0;
  int bandBottom = bottom ? std::max(in.Height - in.BottomBorder->Height(), bandTop) : in.Height;
  if (title) AppendOutlineRows(out, *in.TitleStrip, 0, in.Width, in.KeyColor, in.TitleMinY, in.TitleMaxY);
  if (bandBottom > bandTop) out.push_back({0, bandTop, in.Width, bandBottom});
  if (bottom)
    AppendOutlineRows(out, *in.BottomBorder, in.Height - in.BottomBorder->Height(), in.Width, in.KeyColor,
                      in.BottomMinY, in.BottomMaxY);
  return out;
}

namespace {
void AddFill(std::vector<TvelFramePiece>& out, const TRect& r, uint32_t color) {
  if (r.Empty()) return;
  TvelFramePiece p;
  p.Kind = TvelFramePiece::Fill;
  p.Dest = r;
  p.Color = color;
  out.push_back(p);
}
void AddPicture(std::vector<TvelFramePiece>& out, int source, const TRect& dest, const TRect& src,
                const TRect& clip = {}) {
  if (dest.Empty() || src.Empty()) return;
  TvelFramePiece p;
  p.Kind = TvelFramePiece::Picture;
  p.Source = source;
  p.Dest = dest;
  p.SourceRect = src;
  p.Clip = clip;
  out.push_back(p);
}
// The frame ends beside the menu bar, or Color, down one side between top and bottom.
void AddSide(std::vector<TvelFramePiece>& out, const TvelFramePaintInput& in, int left, int right, int top,
             int bottom) {
  if (right <= left || bottom <= top) return;
  if (!in.MenuBarVisible || in.MenuBarHeight <= 0) {
    AddFill(out, {left, top, right, bottom}, in.Color);
    return;
  }
  int barTop = std::clamp(in.InsetTop + in.MenuBarTop, top, bottom);
  int barBottom = std::clamp(barTop + in.MenuBarHeight, top, bottom);
  AddFill(out, {left, top, right, barTop}, in.Color);
  if (barBottom > barTop) {
    if (in.MenuBarColor == in.MenuBarToColor) {
      AddFill(out, {left, barTop, right, barBottom}, in.MenuBarColor);
    } else {
      TvelFramePiece p;
      p.Kind = TvelFramePiece::Gradient;
      p.Dest = {left, barTop, right, barBottom};
      p.Color = in.MenuBarColor;
      p.ToColor = in.MenuBarToColor;
      out.push_back(p);
    }
  }
  AddFill(out, {left, barBottom, right, bottom}, in.Color);
}
}  // namespace

std::vector<TvelFramePiece> LayoutFormFrame(const TvelFramePaintInput& in) {
  std::vector<TvelFramePiece> out;
  int W = in.Width, H = in.Height;
  if (W <= 0 || H <= 0) return out;
  int bw = std::max(in.BorderWidth, 0);
  int titleBottom = in.InsetTop + (in.TitleBarVisible ? std::max(in.TitleBarHeight, 0) : 0);

  if (in.FileTheme) {
    // The side pictures are stretched down the sides whole: the source reaches past any
    // picture's height and the drawing clips it to the picture.
    constexpr int kWholeHeight = 1 << 20;
    // The title strip covers the top; the theme's border pictures frame the rest.
    if (!in.TitleBarVisible) AddFill(out, {0, 0, W, in.InsetTop}, in.Color);
    int sideBottom = H - std::max(in.BottomBorderHeight, 0);
    if (in.LeftBorderWidth > 0)
      AddPicture(out, 3, {0, titleBottom, in.LeftBorderWidth, sideBottom}, {0, 0, in.LeftBorderWidth, kWholeHeight});
    AddSide(out, in, in.LeftBorderWidth, in.InsetLeft, titleBottom, sideBottom);
    if (in.RightBorderWidth > 0)
      AddPicture(out, 4, {W - in.RightBorderWidth, titleBottom, W, sideBottom}, {0, 0, in.RightBorderWidth, kWholeHeight});
    AddSide(out, in, W - in.InsetRight, W - in.RightBorderWidth, titleBottom, sideBottom);
    if (in.BottomBorderHeight > 0) {
      int h = in.BottomBorderHeight, top = H - h;
      if (!in.SeparateBottom) {
        int part = in.BottomPartWidth[0];  // one third of the three-part bitmap
        if (W < part) {
          AddPicture(out, 5, {0, top, W, H}, {0, 0, W, h});
        } else {
          AddPicture(out, 5, {0, top, part, H}, {0, 0, part, h});
          AddPicture(out, 5, {part, top, W - part, H}, {part, 0, 2 * part, h});
          AddPicture(out, 5, {W - part, top, W, H}, {2 * part, 0, 3 * part, h});
        }
      } else {
        int lw = in.BottomPartWidth[0], mw = in.BottomPartWidth[1], rw = in.BottomPartWidth[2];
        AddPicture(out, 6, {0, top, lw, H}, {0, 0, lw, h});
        AddPicture(out, 7, {lw, top, W - rw, H}, {0, 0, mw, h});
        AddPicture(out, 8, {W - rw, top, W, H}, {0, 0, rw, h});
      }
    }
    AddFill(out, {in.LeftBorderWidth, H - in.InsetBottom, W - in.RightBorderWidth, H - in.BottomBorderHeight},
            in.Color);
    return out;
  }

  // 1. Top edge.
  bool usable = in.PicWidth[0] > 0 && in.PicWidth[1] > 0 && in.PicWidth[2] > 0;
  if (in.TitleBarVisible && usable) {
    int cols = 3 - bw;
    int w1 = in.PicWidth[0], h1 = in.PicHeight[0], w2 = in.PicWidth[1], h2 = in.PicHeight[1];
    if (cols > 0) {
      AddPicture(out, 0, {bw, 0, 3, h1}, {0, 0, std::min(cols, w1), h1});
      if (w2 <= 2)
        AddPicture(out, 1, {W - 3, 0, W - bw, h2}, {0, 0, w2, h2});
      else
        AddPicture(out, 1, {W - 3, 0, W - bw, h2}, {w2 - cols, 0, w2, h2});
    }
    // Columns 2 to W - 4 inclusive; the composed title ends 3 pixels beyond them, at W - 1.
    TRect clip{2, 0, W - 3, 3};
    int leftEnd = 2 + std::max(w1 - 2, 0);
    int rightStart = W - w2;
    AddPicture(out, 0, {2, 0, leftEnd, h1}, {2, 0, w1, h1}, clip);
    AddPicture(out, 2, {leftEnd, 0, rightStart, in.PicHeight[2]}, {0, 0, in.PicWidth[2], in.PicHeight[2]}, clip);
    AddPicture(out, 1, {rightStart, 0, W, h2}, {0, 0, w2, h2}, clip);
    if (bw == 1 && in.RoundCorner == 11 && !in.Designing) {
      TvelFramePiece arc;
      arc.Kind = TvelFramePiece::Arc;
      arc.Color = in.BorderColor;
      arc.Dest = {0, 0, in.RoundCorner, in.RoundCorner};
      out.push_back(arc);
      arc.Dest = {W - in.RoundCorner - 1, 0, W - 1, in.RoundCorner};
      arc.RightArc = true;
      out.push_back(arc);
    }
  } else if (!in.TitleBarVisible) {
    AddFill(out, {0, 0, W, 1}, in.BorderColor);
    AddFill(out, {bw, 1, W - bw, std::max(in.InsetTop, 1)}, in.Color);
  }
  // 2. Border bands.
  if (bw > 0) {
    AddFill(out, {0, 0, bw, H}, in.BorderColor);
    AddFill(out, {W - bw, 0, W, H}, in.BorderColor);
    AddFill(out, {0, H - bw, W, H}, in.BorderColor);
  }
  // 3. The rest of the frame below the title bar.
  if (bw < 4) {
    int top = in.TitleBarVisible ? titleBottom : std::max(in.InsetTop, 1);
    AddSide(out, in, bw, in.InsetLeft, top, H - bw);
    AddSide(out, in, W - in.InsetRight, W - bw, top, H - bw);
    AddFill(out, {std::max(bw, in.InsetLeft), H - in.InsetBottom, std::min(W - bw, W - in.InsetRight), H - bw},
            in.Color);
  }
  return out;
}

TvelMenuBarItemLook MenuBarItemLook(TvelUIStyle style, bool hotOrPressed, bool enabled, const int32_t* fileColors) {
  TvelMenuBarItemLook look;
  auto color = [&](int fileIndex, int builtinItem) {
    return fileColors ? static_cast<uint32_t>(fileColors[fileIndex]) : GetThemeColor(style, builtinItem);
  };
  if (hotOrPressed && enabled) {
    if (style == TvelUIStyle::MacOS && !fileColors) {
      look.SelectBitmap = true;
      look.TextColor = GetThemeColor(style, 20);
    } else {
      look.Filled = true;
      look.FillColor = color(5, 19);
      look.FrameColor = color(6, 18);
      look.TextColor = color(7, 20);
    }
    return look;
  }
  look.TextColor = enabled ? color(8, 22) : 0x808080u;
  return look;
}
