// The form frame's shapes and frame pieces from a skin file's outline bitmaps and numbers:
// any sizes, key colours and row limits must give rectangles without reading outside the
// bitmaps.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzCursor.h"
#include "skin/VELFormCore.h"

namespace {
TBitmap Outline(FuzzCursor& in) {
  int w = in.Byte() % 48, h = in.Byte() % 48;
  TBitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, in.Byte() & 1 ? 0xFF00FF : in.U32());
  return b;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzCursor in{data, size};
  TvelFileRegionInput r;
  r.Width = static_cast<int>(in.U32() % 2048) - 8;
  r.Height = static_cast<int>(in.U32() % 2048) - 8;
  r.TitleRegion = in.Byte() & 1;
  r.BottomRegion = in.Byte() & 1;
  r.TitleMinY = in.Int();
  r.TitleMaxY = in.Int();
  r.BottomMinY = in.Int();
  r.BottomMaxY = in.Int();
  TBitmap title = Outline(in), bottom = Outline(in);
  r.TitleStrip = &title;
  r.BottomBorder = &bottom;
  FileThemeFormRegion(r);
  BuiltinFormRegion(r.Width, r.Height, in.Int(), in.Int(), in.Byte() & 1);

  TvelFramePaintInput p;
  p.Width = r.Width;
  p.Height = r.Height;
  p.BorderWidth = in.Int() % 64;
  p.InsetLeft = in.Byte() % 16;
  p.InsetTop = in.Byte() % 16;
  p.FileTheme = in.Byte() & 1;
  p.LeftBorderWidth = in.Byte();
  p.BottomBorderHeight = in.Byte();
  p.SeparateBottom = in.Byte() & 1;
  for (int i = 0; i < 3; ++i) {
    p.PicWidth[i] = in.Byte();
    p.PicHeight[i] = in.Byte();
    p.BottomPartWidth[i] = in.Byte();
  }
  LayoutFormFrame(p);
  // Thicknesses come clamped from the host, border sizes from bitmaps.
  TvelFrameMetrics m{ClampFrameThickness(in.Int()), ClampFrameThickness(in.Int()), in.Int() % 64,
                     static_cast<int>(in.U32() % 32768), static_cast<int>(in.U32() % 32768),
                     static_cast<int>(in.U32() % 32768)};
  FrameClientRequest(m, 0, 0, r.Width, r.Height);
  FrameBorderAnswer(m);
  return 0;
}
