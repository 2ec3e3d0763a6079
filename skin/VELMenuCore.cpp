// Style values, item sizes and item layout of the themed menus.
#include "skin/VELMenuCore.h"

#include <algorithm>

#include "skin/VELMgr.h"
#include "skin/VELPublic.h"

void ApplyMenuStyle(TvelMenuLook& look, TvelUIStyle style, bool fileThemeReady,
                    const std::function<int32_t(int index)>& fileColor) {
  look.BarWidth = 26;
  if (style == TvelUIStyle::MacOS) {
    look.MenuItemHeight = 20;
    look.SeparatorHeight = 12;
    look.SeparatorColor = clBlack;
  } else {
    look.MenuItemHeight = 21;
    look.SeparatorHeight = 5;
    look.SeparatorColor = MakeRGB(132, 130, 132);
  }
  TvelUIStyle effective;
  if (UseFileTheme(fileThemeReady, style, effective) && fileColor) {
    auto color = [&](int index) { return static_cast<uint32_t>(fileColor(index)); };
    look.BarColor = color(9);    // SKIN2_LEFTBARSTARTCOLOR
    look.BarToColor = color(10);  // SKIN2_LEFTBARENDCOLOR
    look.Color = color(11);       // SKIN2_MENUITEMCOLOR
    look.FontColor = color(12);   // SKIN2_MENUITEMFONTCOLOR
    look.SelectedBorderColor = color(14);
    look.SelectedColor = color(13);
    look.SelectedFontColor = color(15);
    return;
  }
  look.BarColor = look.BarToColor = GetThemeColor(effective, 23);
  look.Color = GetThemeColor(effective, 21);
  look.FontColor = GetThemeColor(effective, 22);
  look.SelectedBorderColor = GetThemeColor(effective, 18);
  look.SelectedColor = GetThemeColor(effective, 19);
  look.SelectedFontColor = GetThemeColor(effective, 20);
}

TPoint MeasureMenuItem(const TvelMenuLook& look, const std::string& caption, int captionWidth, int captionHeight,
                       int shortcutWidth) {
  const int height = IsMenuSeparator(caption) ? look.SeparatorHeight : std::max(captionHeight, look.MenuItemHeight);
  return {captionWidth + shortcutWidth + look.BarWidth + 40, height};
}

namespace {
// The side bar at the left edge (right edge right to left) and Color over the rest.
void BarAndFill(TvelMenuItemLayout& out, const TvelMenuLook& look, const TRect& r, bool rtl) {
  out.Fill = r;
  out.FillColor = look.Color;
  if (look.BarWidth <= 0) return;
  if (rtl) {
    out.Bar = {r.Right - look.BarWidth, r.Top, r.Right, r.Bottom};
    out.Fill.Right = out.Bar.Left;
  } else {
    out.Bar = {r.Left, r.Top, r.Left + look.BarWidth, r.Bottom};
    out.Fill.Left = out.Bar.Right;
  }
  out.BarColor = look.BarColor;
  out.BarToColor = look.BarToColor;
  out.BarGradient = look.BarColor != look.BarToColor;
}
}  // namespace

TvelMenuItemLayout LayoutMenuItem(const TvelMenuLook& look, TvelUIStyle style, const TvelMenuItemState& item,
                                  const TRect& r) {
  TvelMenuItemLayout out;
  const bool mac = style == TvelUIStyle::MacOS;
  const bool rtl = item.RightToLeft;
  if (IsMenuSeparator(item.Caption)) {
    if (mac) {
      out.Bitmap = "MACOS_MENU_BAR";
      out.BitmapRows = 12;
      return out;
    }
    BarAndFill(out, look, r, rtl);
    out.Line = true;
    out.LineColor = look.SeparatorColor;
    const int y = r.Top + 2;
    out.LineFrom = rtl ? TPoint{r.Left + 2, y} : TPoint{r.Left + look.BarWidth + 4, y};
    out.LineTo = rtl ? TPoint{r.Right - look.BarWidth - 4, y} : TPoint{r.Right - 2, y};
    return out;
  }

  const bool highlighted = item.Selected && item.Enabled;
  if (mac) {
    out.Bitmap = highlighted ? "MACOS_MENU_SELECT" : "MACOS_MENU_BAR";
    out.BitmapRows = 20;
  } else if (highlighted) {
    out.Fill = r;
    out.FillColor = look.SelectedColor;
    out.Framed = true;
    out.FrameColor = look.SelectedBorderColor;
  } else {
    BarAndFill(out, look, r, rtl);
  }

  out.TextColor = !item.Enabled ? MakeRGB(128, 128, 128) : item.Selected ? look.SelectedFontColor : look.FontColor;
  out.Bold = item.Default;
  out.CaptionRight = rtl;
  out.CaptionRect = rtl ? TRect{r.Left + look.BarWidth, r.Top, r.Right - 4, r.Bottom}
                        : TRect{r.Left + look.BarWidth + 4, r.Top, r.Right, r.Bottom};
  out.ShortcutX = rtl ? r.Left + look.BarWidth + 4 : r.Right - item.ShortcutWidth - 16;

  const int x = rtl ? r.Right - 20 : r.Left + 4;
  const bool hasImage = item.ImageIndex >= 0 && item.ImageIndex < item.ImageCount;
  if (item.Checked) {
    if (hasImage) {
      out.CheckFrame = true;
      out.CheckFrameRect = Bounds(x - 2, r.Top + 1, 19, 19);
      out.CheckFillColor = look.SelectedColor;
    } else {
      (item.Radio ? out.RadioMark : out.CheckMark) = true;
      out.CheckMarkAt = {x, r.Top + 3};
    }
  }
  if (hasImage) {
    out.Image = true;
    out.ImageAt = {x, r.Top + 3};
  }
  out.Greyed = !item.Enabled;
  return out;
}

void DrawMenuRadioMark(TBitmap& target, int x, int y, uint32_t pixel) {
  // Coverage of a disc of radius 3.5 around the cell's centre, from 4 x 4 samples a pixel.
  constexpr double kCentre = 8.0, kRadius = 3.5;
  for (int row = 4; row < 12; ++row)
    for (int col = 4; col < 12; ++col) {
      const int tx = x + col, ty = y + row;
      if (tx < 0 || ty < 0 || tx >= target.Width() || ty >= target.Height()) continue;
      int inside = 0;
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx) {
          const double dx = col + (sx + 0.5) / 4 - kCentre, dy = row + (sy + 0.5) / 4 - kCentre;
          inside += dx * dx + dy * dy <= kRadius * kRadius;
        }
      if (inside) target.SetPixel(tx, ty, MixPixel(target.GetPixel(tx, ty), pixel, inside / 16.0));
    }
}

TvelFlatMenuFrame FlatMenuFrameGeometry(const TRect& w) {
  TvelFlatMenuFrame f;
  f.Outer = {w.Left, w.Top + 1, w.Right - 1, w.Bottom - 1};
  f.Inner = f.Outer.Inflate(-1, -1);
  f.Edges[0] = {w.Left, w.Bottom - 1, w.Right, w.Bottom};
  f.Edges[1] = {w.Right - 1, w.Top, w.Right, w.Bottom};
  f.Edges[2] = {w.Left, w.Top, w.Right, w.Top + 1};
  return f;
}

uint32_t FlatMenuFrameColor(TvelUIStyle style, bool fileThemeReady,
                            const std::function<int32_t(int index)>& fileColor) {
  TvelUIStyle effective;
  if (UseFileTheme(fileThemeReady, style, effective) && fileColor) return static_cast<uint32_t>(fileColor(2));
  return GetThemeColor(effective, 15);
}
