// Paints a control (and its children) into a fresh bitmap of its size, as its window would.
#pragma once
#include <windows.h>

#include "framework/Bitmap.h"
#include "framework/Canvas.h"
#include "framework/Controls.h"

inline TBitmap Render(TWinControl& control) {
  TBitmap out(control.Width(), control.Height());
  {
    TBitmapCanvas canvas(out);
    control.PaintWindow(canvas);
  }
  GdiFlush();  // the pixels are read straight from the bitmap
  return out;
}
