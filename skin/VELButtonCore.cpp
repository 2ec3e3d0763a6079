// Portable part of the themed button: state to frame, glyph placement, auto-size, dialog
// keys and the disabled picture look.
#include "skin/VELButtonCore.h"

int ButtonFaceFrame(bool enabled, bool pressed, bool hot) {
  if (!enabled) return 1;
  if (pressed) return 3;
  return hot ? 2 : 1;
}

TvelGlyphPlacement PlaceGlyph(TButtonLayout layout, int width, int height, int tw, int th, int gw, int gh,
                              int spacing, bool pressed) {
  TvelGlyphPlacement p;
  if (gw == 2 * gh) {
    gw = gh;
    p.TwoImages = true;
  }
  p.ImageWidth = gw;
  int gx = 0, gy = 0, tx = 0, ty = 0;
  // C++ division truncates toward zero, as the layout rules ask for.
  switch (layout) {
    case blGlyphLeft:
      gx = (width - tw - gw - spacing) / 2;
      gy = (height - gh) / 2;
      tx = gx + gw + spacing;
      ty = (height - th) / 2;
      break;
    case blGlyphRight:
      gx = (width + tw + spacing - gw) / 2;
      gy = (height - gh) / 2;
      tx = gx - tw - spacing;
      ty = (height - th) / 2;
      break;
    case blGlyphTop:
      gx = (width - gw) / 2;
      gy = (height - th - gh - spacing) / 2;
      tx = (width - tw) / 2;
      ty = gy + gh + spacing;
      break;
    case blGlyphBottom:
      gx = (width - gw) / 2;
      gy = (height + th + spacing - gh) / 2;
      tx = (width - tw) / 2;
      ty = gy - th - spacing;
      break;
  }
  p.TextOrigin = {tx, ty};
  if (pressed) {
    ++gx;
    ++gy;
  }
  p.Glyph = {gx, gy};
  return p;
}

TPoint AutoSizeFromBitmap(int bitmapWidth, int bitmapHeight) {
  const int w = bitmapWidth == 0 ? 74 : bitmapWidth;
  const int h = bitmapHeight == 0 ? 21 : bitmapHeight;
  return {w / 3, h};
}

bool DialogKeyClicks(int key, unsigned shiftState, bool active, bool cancel) {
  if (shiftState & (kShiftMask | kAltMask | kCtrlMask)) return false;
  return (key == kVkReturn && active) || (key == kVkEscape && cancel);
}

bool ActiveAfterFocusChange(bool focusIsThemedButton, bool focusIsThis, bool defaultButton) {
  return focusIsThemedButton ? focusIsThis : defaultButton;
}

void DrawDisabledImage(TBitmap& canvas, int x, int y, const TBitmap& picture, const TRect& source,
                       const uint32_t* keyColor) {
  const uint32_t keyPixel = keyColor ? ColorToPixel(*keyColor) : 0;
  auto dark = [&](int sx, int sy) {
    const uint32_t px = picture.GetPixel(sx, sy);
    if (keyColor && px == keyPixel) return false;
    const uint32_t r = (px >> 16) & 0xFF, g = (px >> 8) & 0xFF, b = px & 0xFF;
    return (r * 30 + g * 59 + b * 11) / 100 < 192;
  };
  const int left = source.Left < 0 ? 0 : source.Left, top = source.Top < 0 ? 0 : source.Top;
  const int right = source.Right > picture.Width() ? picture.Width() : source.Right;
  const int bottom = source.Bottom > picture.Height() ? picture.Height() : source.Bottom;
  // The highlight goes first so that the shadow copy covers it where both fall.
  for (int pass = 0; pass < 2; ++pass) {
    const int offset = pass == 0 ? 1 : 0;
    const uint32_t colour = pass == 0 ? 0xFFFFFF : 0x808080;
    for (int sy = top; sy < bottom; ++sy) {
      const int cy = y + (sy - source.Top) + offset;
      if (cy < 0 || cy >= canvas.Height()) continue;
      for (int sx = left; sx < right; ++sx) {
        const int cx = x + (sx - source.Left) + offset;
        if (cx < 0 || cx >= canvas.Width() || !dark(sx, sy)) continue;
        canvas.SetPixel(cx, cy, colour);
      }
    }
  }
}
