#include <windows.h>

#include <cstring>
#include <mutex>
#include <new>
#include <vector>

#include "framework/Bitmap.h"

namespace {
// Under Wine the first write to each page of a new DIB section is slow (tens of
// microseconds a page), and the skin controls make and drop several small bitmaps in every
// paint. Sections that are freed are therefore kept, a few and small ones only, and handed
// to the next bitmap of the same size, cleared.
struct SpareSection {
  int width, height;
  HBITMAP handle;
  uint32_t* bits;
};
constexpr size_t kMaxSpares = 48;
constexpr size_t kMaxSpareBytes = 512 * 1024;

std::mutex& SpareLock() {
  static std::mutex lock;
  return lock;
}
std::vector<SpareSection>& Spares() {
  static auto* spares = new std::vector<SpareSection>;  // lives to the end of the program
  return *spares;
}
}  // namespace

void TBitmap::Allocate(int width, int height) {
  {
    std::lock_guard<std::mutex> guard(SpareLock());
    auto& spares = Spares();
    for (auto it = spares.rbegin(); it != spares.rend(); ++it) {
      if (it->width != width || it->height != height) continue;
      handle_ = it->handle;
      bits_ = it->bits;
      spares.erase(std::next(it).base());
      std::memset(bits_, 0, static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
      width_ = width;
      height_ = height;
      return;
    }
  }
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
  if (handle_) {
    const size_t bytes = static_cast<size_t>(width_) * static_cast<size_t>(height_) * 4;
    HBITMAP deleted = static_cast<HBITMAP>(handle_);
    if (bytes <= kMaxSpareBytes) {
      std::lock_guard<std::mutex> guard(SpareLock());
      auto& spares = Spares();
      if (spares.size() == kMaxSpares) {
        std::swap(deleted, spares.front().handle);  // the oldest spare goes instead
        spares.erase(spares.begin());
      } else {
        deleted = nullptr;
      }
      spares.push_back({width_, height_, static_cast<HBITMAP>(handle_), bits_});
    }
    if (deleted) DeleteObject(deleted);
  }
  handle_ = nullptr;
  bits_ = nullptr;
  width_ = height_ = 0;
}
