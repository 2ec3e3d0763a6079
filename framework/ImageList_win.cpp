// Image lists on a canvas: the covered area is read back into a bitmap, the image composed
// onto it portably and the result copied back, so transparent pixels keep what was there.
#include "framework/Canvas.h"
#include "framework/ImageList.h"

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const {
  if (index < 0 || index >= Count()) return;
  TBitmap area(width_, height_);
  {
    TBitmapCanvas c(area);
    c.CopyRect({0, 0, width_, height_}, canvas.Handle(), Bounds(x, y, width_, height_));
  }
  GdiFlush();
  DrawTo(area, 0, 0, index, enabled);
  canvas.Draw(x, y, area);
}
