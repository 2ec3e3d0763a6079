#include <cstdlib>
#include <new>

#include "framework/Bitmap.h"

void TBitmap::Allocate(int width, int height) {
  bits_ = static_cast<uint32_t*>(std::calloc(static_cast<size_t>(width) * static_cast<size_t>(height), 4));
  if (!bits_) throw std::bad_alloc();
  width_ = width;
  height_ = height;
}

void TBitmap::Free() {
  std::free(bits_);
  bits_ = nullptr;
  width_ = height_ = 0;
}
