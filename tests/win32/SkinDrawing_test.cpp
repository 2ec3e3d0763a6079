// The drawing helpers' Windows side: theme bitmaps from the module's BITMAP resources,
// window shapes, the work area, system colours and painting a parent's background.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "skin/VELPublic.h"
#include "skin/VELThemes.h"

namespace {

TEST(ThemeResources, EveryBuiltinBitmapLoadsWithItsSize) {
  struct Item {
    int item, frames, w[5], h[5];
  } items[] = {
      {1, 3, {252, 54, 222, 222, 231}, {23, 21, 21, 21, 27}},
      {3, 4, {60, 52, 52, 52, 52}, {17, 13, 13, 13, 13}},
      {4, 4, {64, 52, 52, 52, 52}, {17, 13, 13, 13, 13}},
      {5, 18, {306, 378, 342, 342, 342}, {17, 21, 19, 19, 19}},
      {10, 1, {48, 35, 97, 441, 162}, {23, 29, 32, 23, 33}},
      {11, 1, {49, 37, 98, 1, 179}, {23, 29, 32, 23, 33}},
      {12, 1, {48, 35, 97, 1, 101}, {23, 29, 32, 23, 33}},
      {42, 1, {1, 1, 1, 1, 1}, {21, 21, 20, 21, 21}},
  };
  for (const Item& it : items)
    for (int s = 0; s < 5; ++s) {
      const auto style = static_cast<TvelUIStyle>(s + 1);
      SCOPED_TRACE("item " + std::to_string(it.item) + " style " + std::to_string(s + 1));
      TBitmap whole, frame;
      GetThemeBitmap(style, it.item, &whole, 0, 0);
      EXPECT_EQ(whole.Width(), it.w[s]);
      EXPECT_EQ(whole.Height(), it.h[s]);
      GetThemeBitmap(style, it.item, &frame, it.frames, it.frames);
      EXPECT_EQ(frame.Width(), it.w[s] / it.frames);
      EXPECT_NE(frame.Handle(), nullptr);  // a DIB section GDI can draw
    }
  const struct {
    const char* name;
    int w, h;
  } fixed[] = {{"PANEL_BUTTON", 52, 12},   {"MENU_CHECKED", 16, 16},         {"MACOS_MENU_BAR", 1, 22},
               {"MACOS_MENU_SELECT", 1, 21}, {"MACOS_FORM_BACKGROUND", 8, 8}, {"PROTEIN_FORM_BACKGROUND", 8, 8}};
  for (const auto& f : fixed) {
    TBitmap b;
    LoadSkinBitmap(f.name, b);
    EXPECT_EQ(b.Width(), f.w) << f.name;
    EXPECT_EQ(b.Height(), f.h) << f.name;
  }
  // The key colour survives the trip through the resource: a see-through button corner.
  TBitmap face;
  GetThemeBitmap(TvelUIStyle::BlueGlass, 1, &face, 3, 1);
  EXPECT_EQ(face.GetPixel(0, 0), 0xFF00FFu);
}

TEST(ThemeResources, MissingNameRaises) {
  TBitmap b;
  EXPECT_ANY_THROW(LoadSkinBitmap("NO_SUCH_SKIN_BITMAP", b));
}

HWND MakePopup(int w, int h, WNDPROC proc = DefWindowProcW, const wchar_t* cls = L"VxSkinTestPopup") {
  WNDCLASSW wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = cls;
  RegisterClassW(&wc);
  return CreateWindowExW(0, cls, L"", WS_POPUP, 0, 0, w, h, nullptr, nullptr, wc.hInstance, nullptr);
}

TEST(WindowRegion, ShapeFromBitmap) {
  HWND wnd = MakePopup(40, 30);
  ASSERT_NE(wnd, nullptr);
  TBitmap shape(40, 30);
  shape.Fill(0xFF00FF);
  for (int y = 5; y < 10; ++y)
    for (int x = 30; x < 40; ++x) shape.SetPixel(x, y, 0x102030);  // reaches the last column
  shape.SetPixel(3, 20, 0);
  SetBitmapWindowRegion(wnd, shape, kSkinKeyColor);
  HRGN probe = CreateRectRgn(0, 0, 0, 0);
  ASSERT_EQ(GetWindowRgn(wnd, probe), COMPLEXREGION);
  EXPECT_TRUE(PtInRegion(probe, 39, 5));
  EXPECT_TRUE(PtInRegion(probe, 30, 9));
  EXPECT_TRUE(PtInRegion(probe, 3, 20));
  EXPECT_FALSE(PtInRegion(probe, 29, 5));
  EXPECT_FALSE(PtInRegion(probe, 4, 20));
  EXPECT_FALSE(PtInRegion(probe, 35, 10));

  TBitmap allKey(40, 30);
  allKey.Fill(0xFF00FF);
  SetBitmapWindowRegion(wnd, allKey, kSkinKeyColor);
  EXPECT_EQ(GetWindowRgn(wnd, probe), NULLREGION);
  DeleteObject(probe);
  DestroyWindow(wnd);
}

TEST(WorkArea, PrimaryAndNearestMonitor) {
  RECT spi{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &spi, 0);
  const TRect primary = GetWorkAreaRect(nullptr);
  EXPECT_EQ(primary, (TRect{spi.left, spi.top, spi.right, spi.bottom}));
  EXPECT_FALSE(primary.Empty());
  HWND wnd = MakePopup(10, 10);
  EXPECT_FALSE(GetWorkAreaRect(wnd).Empty());
  DestroyWindow(wnd);
}

TEST(SystemColors, ResolvedThroughTheSystem) {
  EXPECT_EQ(ResolveSystemColor(0x8000000F), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(ResolveSystemColor(0xFF000005), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(ResolveSystemColor(0x00123456), 0x00123456u);
}

// A parent that paints a colour per 10-pixel column band, into the DC it is handed.
LRESULT CALLBACK BandParent(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_ERASEBKGND) return 1;
  if (msg == WM_PAINT && wp) {
    HDC dc = reinterpret_cast<HDC>(wp);
    for (int band = 0; band < 10; ++band) {
      HBRUSH brush = CreateSolidBrush(RGB(band * 20, 100, 200 - band * 10));
      RECT r{band * 10, 0, band * 10 + 10, 100};
      FillRect(dc, &r, brush);
      DeleteObject(brush);
    }
    return 0;
  }
  return DefWindowProcW(wnd, msg, wp, lp);
}

TEST(ParentBackground, PaintsWhatLiesUnderTheChild) {
  HWND parent = MakePopup(100, 100, BandParent, L"VxSkinTestBands");
  ASSERT_NE(parent, nullptr);
  TBitmap canvas(30, 20);
  canvas.Fill(0x000001);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, static_cast<HBITMAP>(canvas.Handle()));
  PaintParentBackground(dc, parent, 25, 40);  // the child sits at (25, 40)
  GdiFlush();
  // Canvas x 0 is parent x 25 (band 2); canvas x 5 is parent x 30 (band 3).
  EXPECT_EQ(canvas.GetPixel(0, 0), ColorToPixel(RGB(40, 100, 180)));
  EXPECT_EQ(canvas.GetPixel(4, 19), ColorToPixel(RGB(40, 100, 180)));
  EXPECT_EQ(canvas.GetPixel(5, 0), ColorToPixel(RGB(60, 100, 170)));
  EXPECT_EQ(canvas.GetPixel(29, 10), ColorToPixel(RGB(100, 100, 150)));
  // The context state is restored: drawing at (0, 0) lands at the canvas origin again.
  SetPixelV(dc, 0, 0, RGB(1, 2, 3));
  GdiFlush();
  EXPECT_EQ(canvas.GetPixel(0, 0), ColorToPixel(RGB(1, 2, 3)));
  PaintParentBackground(dc, nullptr, 0, 0);  // no parent: nothing
  SelectObject(dc, old);
  DeleteDC(dc);
  DestroyWindow(parent);
}

}  // namespace
