// Windows side of the drawing helpers: window regions, the work area, system colours and
// painting a parent's background into a child's device context.
#include <windows.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "skin/VELPublic.h"

uint32_t ResolveSystemColor(uint32_t color) {
  if (!(color & 0x80000000u)) return color & 0xFFFFFF;
  return GetSysColor(static_cast<int>(color & 0xFF));
}

void SetBitmapWindowRegion(void* window, const TBitmap& bitmap, uint32_t keyColor) {
  const std::vector<TRect> runs = BitmapRegionRuns(bitmap, keyColor);
  // One region built from all row runs at once rather than a union per run: same shape,
  // without thousands of temporary regions.
  const size_t bytes = sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT);
  std::vector<uint8_t> buffer(bytes);
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  data->rdh.dwSize = sizeof(RGNDATAHEADER);
  data->rdh.iType = RDH_RECTANGLES;
  data->rdh.nCount = static_cast<DWORD>(runs.size());
  data->rdh.nRgnSize = static_cast<DWORD>(runs.size() * sizeof(RECT));
  RECT bounds{0, 0, 0, 0};
  auto* rects = reinterpret_cast<RECT*>(data->Buffer);
  for (size_t i = 0; i < runs.size(); ++i) {
    rects[i] = {runs[i].Left, runs[i].Top, runs[i].Right, runs[i].Bottom};
    if (i == 0) bounds = rects[i];
    bounds.left = std::min(bounds.left, rects[i].left);
    bounds.top = std::min(bounds.top, rects[i].top);
    bounds.right = std::max(bounds.right, rects[i].right);
    bounds.bottom = std::max(bounds.bottom, rects[i].bottom);
  }
  data->rdh.rcBound = bounds;
  HRGN region = runs.empty() ? CreateRectRgn(0, 0, 0, 0)
                             : ExtCreateRegion(nullptr, static_cast<DWORD>(bytes), data);
  if (!region) return;
  // The window owns the region once SetWindowRgn succeeds.
  if (!SetWindowRgn(static_cast<HWND>(window), region, TRUE)) DeleteObject(region);
}

TRect GetWorkAreaRect(void* mainFormWindow) {
  RECT r{};
  if (mainFormWindow) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    HMONITOR monitor = MonitorFromWindow(static_cast<HWND>(mainFormWindow), MONITOR_DEFAULTTONEAREST);
    if (monitor && GetMonitorInfoW(monitor, &info)) return {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
  }
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
  return {r.left, r.top, r.right, r.bottom};
}

void PaintParentBackground(void* dc, void* parentWindow, int left, int top) {
  if (!parentWindow || !dc) return;
  HDC hdc = static_cast<HDC>(dc);
  HWND parent = static_cast<HWND>(parentWindow);
  const int saved = SaveDC(hdc);
  OffsetViewportOrgEx(hdc, -left, -top, nullptr);
  RECT client{};
  GetClientRect(parent, &client);
  IntersectClipRect(hdc, 0, 0, client.right - client.left, client.bottom - client.top);
  SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
  SendMessageW(parent, WM_PAINT, reinterpret_cast<WPARAM>(hdc), 0);
  RestoreDC(hdc, saved);
}
