// Drawing checked pixel by pixel on DIB sections: the canvas, double-buffered control
// painting and windowless children drawn by their parent.
#include <gtest/gtest.h>
#include <windows.h>

#include "framework/Canvas.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"

namespace {

constexpr uint32_t kRed = 0xFF0000, kWhite = 0xFFFFFF, kBlue = 0x0000FF, kGreen = 0x00FF00;

TEST(Canvas, FillsFramesAndCopiesBitmaps) {
  TBitmap target(20, 10);
  TBitmap source(4, 2);
  source.Fill(kGreen);
  source.SetPixel(1, 0, 0xFF00FF);  // key colour
  {
    TBitmapCanvas canvas(target);
    canvas.Brush.Color = clWhite;
    canvas.FillRect({0, 0, 20, 10});
    canvas.Brush.Color = clRed;
    canvas.FrameRect({1, 1, 5, 5});
    canvas.Frame3D({6, 0, 10, 4}, clBlue, clRed);
    canvas.Draw(12, 0, source);
    canvas.DrawTransparent(Bounds(12, 4, 4, 2), source, clFuchsia);
    canvas.StretchDraw(Bounds(16, 0, 4, 4), source);
  }
  struct Row {
    const char* what;
    int x, y;
    uint32_t pixel;
  } rows[] = {
      {"background", 0, 0, kWhite},     {"frame corner", 1, 1, kRed},      {"frame inside", 2, 2, kWhite},
      {"frame right edge", 4, 3, kRed}, {"3D top-left", 6, 0, kBlue},       {"3D bottom-right", 9, 3, kRed},
      {"3D inside", 7, 1, kWhite},      {"copied", 12, 0, kGreen},          {"copied key", 13, 0, 0xFF00FF},
      {"transparent key", 13, 4, kWhite}, {"transparent body", 12, 4, kGreen}, {"stretched", 19, 3, kGreen},
  };
  for (const Row& r : rows) EXPECT_EQ(target.GetPixel(r.x, r.y), r.pixel) << r.what;
}

TEST(Canvas, TextIsDrawnInTheFontColourAndMeasured) {
  TBitmap target(60, 20);
  TBitmapCanvas canvas(target);
  canvas.Brush.Color = clWhite;
  canvas.FillRect({0, 0, 60, 20});
  canvas.Font.SetColor(clRed);
  canvas.Font.SetHeight(-12);
  EXPECT_GT(canvas.TextWidth("安装"), canvas.TextWidth("a"));
  EXPECT_GT(canvas.TextHeight("安装"), 8);
  canvas.Brush.Style = bsClear;
  canvas.TextOut(2, 2, "安装");
  int red = 0, other = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 60; ++x) {
      uint32_t p = target.GetPixel(x, y);
      if (p == kRed) ++red;
      else if (p != kWhite) ++other;
    }
  EXPECT_GT(red + other, 20);  // antialiased edges may blend, the strokes are red
  EXPECT_GT(red, 0);
}

class TSquares : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  int paints = 0;
  void Paint(TCanvas& canvas) override {
    ++paints;
    canvas.Brush.Color = clRed;
    canvas.FillRect({2, 2, 6, 6});
  }
};

class TSpill : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  // Draws far beyond its bounds: the parent clips it.
  void Paint(TCanvas& canvas) override {
    canvas.Brush.Color = clBlue;
    canvas.FillRect({-50, -50, 500, 500});
  }
};

TEST(ControlPainting, OneBufferHoldsTheControlAndItsWindowlessChildren) {
  TForm form(nullptr);
  auto* control = new TSquares(&form);
  control->SetParent(&form);
  control->SetBounds(0, 0, 40, 30);
  control->SetColor(clWhite);
  auto* spill = new TSpill(&form);
  spill->SetParent(control);
  spill->SetBounds(20, 10, 5, 4);
  auto* hidden = new TSpill(&form);
  hidden->SetParent(control);
  hidden->SetBounds(30, 20, 5, 5);
  hidden->Hide();

  TBitmap dib(50, 40);
  dib.Fill(kGreen);
  {
    TBitmapCanvas target(dib);
    control->PaintTo(target.Handle(), 5, 5);
  }
  EXPECT_EQ(control->paints, 1);
  struct Row {
    const char* what;
    int x, y;
    uint32_t pixel;
  } rows[] = {
      {"outside the control", 2, 2, kGreen},    {"background", 5, 5, kWhite},
      {"painted square", 8, 8, kRed},           {"square edge", 10, 10, kRed},
      {"after the square", 11, 11, kWhite},     {"child", 25, 15, kBlue},
      {"child last pixel", 29, 18, kBlue},      {"clipped right", 30, 15, kWhite},
      {"clipped below", 25, 19, kWhite},        {"hidden child", 36, 26, kWhite},
      {"beyond the control", 45, 35, kGreen},
  };
  for (const Row& r : rows) EXPECT_EQ(dib.GetPixel(r.x, r.y), r.pixel) << r.what;

  // A target clipped to part of the control gets the same pixels there, and only there:
  // the paint goes through a buffer of just that part.
  TBitmap part(50, 40);
  part.Fill(kGreen);
  {
    TBitmapCanvas target(part);
    IntersectClipRect(target.Handle(), 20, 12, 32, 20);
    control->PaintTo(target.Handle(), 5, 5);
  }
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 50; ++x) {
      const bool inside = x >= 20 && x < 32 && y >= 12 && y < 20;
      ASSERT_EQ(part.GetPixel(x, y), inside ? dib.GetPixel(x, y) : kGreen) << x << "," << y;
    }

  // The window answers erase-background with 1 and paints into a DC it is given.
  HWND h = control->Handle();
  TBitmap second(40, 30);
  TBitmapCanvas canvas(second);
  EXPECT_EQ(SendMessageW(h, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Handle()), 0), 1);
  EXPECT_EQ(second.GetPixel(0, 0), 0u);  // nothing was erased
  SendMessageW(h, WM_PAINT, reinterpret_cast<WPARAM>(canvas.Handle()), 0);
  EXPECT_EQ(second.GetPixel(3, 3), kRed);
  EXPECT_EQ(second.GetPixel(22, 12), kBlue);
}

TEST(ControlPainting, StandardGraphicControlsDrawIntoTheParentsBuffer) {
  TForm form(nullptr);
  form.SetColor(clWhite);
  form.SetClientWidth(100);
  form.SetClientHeight(60);
  auto* label = new TLabel(&form);
  label->SetParent(&form);
  label->SetTransparent(true);
  label->Font().SetColor(clBlue);
  label->SetLeft(2);
  label->SetCaption("安装");
  EXPECT_GT(label->Width(), 10);  // sized to its text
  auto* bevel = new TBevel(&form);
  bevel->SetParent(&form);
  bevel->SetShape(bsTopLine);
  bevel->SetBounds(0, 40, 100, 2);
  auto* image = new TImage(&form);
  image->SetParent(&form);
  image->SetBounds(60, 0, 10, 10);
  TBitmap picture(4, 4);
  picture.Fill(kRed);
  picture.SetPixel(0, 3, kGreen);  // bottom-left: the transparent colour
  picture.SetPixel(1, 1, kGreen);
  image->Transparent = true;
  image->SetPicture(std::move(picture));

  TBitmap dib(100, 60);
  {
    TBitmapCanvas target(dib);
    form.PaintTo(target.Handle(), 0, 0);
  }
  int blue = 0;
  for (int y = 0; y < label->Height(); ++y)
    for (int x = 0; x < label->Width() + 2; ++x)
      if (dib.GetPixel(x, y) == kBlue) ++blue;
  EXPECT_GT(blue, 0) << "label text";
  EXPECT_EQ(dib.GetPixel(50, 40), ColorToPixel(ColorToRGB(clBtnShadow))) << "bevel shadow line";
  EXPECT_EQ(dib.GetPixel(50, 41), ColorToPixel(ColorToRGB(clBtnHighlight))) << "bevel light line";
  EXPECT_EQ(dib.GetPixel(60, 0), kRed) << "image";
  EXPECT_EQ(dib.GetPixel(61, 1), kWhite) << "image key colour";
  EXPECT_EQ(dib.GetPixel(50, 50), kWhite) << "form background";
}

TEST(Canvas, ReusedBitmapsAndDcsStartClean) {
  // Freed sections and memory DCs are handed out again: a section comes back cleared, and a
  // DC with none of the last user's objects or modes.
  for (int round = 0; round < 3; ++round) {
    TBitmap b(13, 7);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 13; ++x) ASSERT_EQ(b.GetPixel(x, y), 0u) << round;
    TBitmapCanvas canvas(b);
    EXPECT_EQ(GetBkMode(canvas.Handle()), OPAQUE);
    EXPECT_EQ(GetTextColor(canvas.Handle()), RGB(0, 0, 0));
    canvas.Brush.Style = bsClear;
    canvas.Font.SetColor(clRed);
    canvas.TextOut(0, 0, "W");
    b.Fill(kWhite);
  }
}

TEST(BitmapResources, MissingOnesAreReported) {
  TBitmap b;
  EXPECT_FALSE(TryLoadBitmapResource(nullptr, "NO_SUCH_BITMAP", b));
  EXPECT_THROW(LoadBitmapResource(nullptr, "NO_SUCH_BITMAP"), EResNotFound);
}

}  // namespace

namespace {

static_assert(!std::is_copy_constructible_v<UniqueBrush> && std::is_move_constructible_v<UniqueBrush>);
static_assert(!std::is_copy_constructible_v<ScopedSelect>);

TEST(Handles, OwnersReleaseOnceAndSelectionsAreRestored) {
  UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  HGDIOBJ original = GetCurrentObject(dc.get(), OBJ_BRUSH);
  UniqueBrush red(CreateSolidBrush(RGB(255, 0, 0)));
  HBRUSH raw = red.get();
  {
    ScopedSelect select(dc.get(), red.get());
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), raw);
  }
  EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), original);
  UniqueBrush moved = std::move(red);
  EXPECT_FALSE(red);
  EXPECT_EQ(moved.get(), raw);
  moved.reset();
  EXPECT_EQ(GetObjectType(raw), 0u);  // deleted
  UniqueHandle none(INVALID_HANDLE_VALUE);
  EXPECT_FALSE(none);  // never closed
}

}  // namespace
