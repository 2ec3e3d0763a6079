#include <windows.h>

#include <new>

#include "framework/Bitmap.h"

void TBitmap::Allocate(int width, int height) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;  // top-down
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP h = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!h || !bits) throw std::bad_alloc();
  handle_ = h;
  bits_ = static_cast<uint32_t*>(bits);  // a new DIB section is zero-filled
  width_ = width;
  height_ = height;
}

void TBitmap::Free() {
  if (handle_) DeleteObject(static_cast<HBITMAP>(handle_));
  handle_ = nullptr;
  bits_ = nullptr;
  width_ = height_ = 0;
}
