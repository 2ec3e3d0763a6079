// The drawing helpers over the framework's controls: a parent's background under a control,
// text fitted with a canvas's font, the work area and a form's active look.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "framework/Application.h"
#include "framework/Canvas.h"
#include "framework/Forms.h"
#include "skin/VELPublicControls.h"

namespace {

// A form that paints a colour per 10-pixel column band.
struct BandForm : TForm {
  using TForm::TForm;
  void Paint(TCanvas& canvas) override {
    for (int band = 0; band < 30; ++band) {
      canvas.Brush.Color = RGB(band * 8, 100, 240 - band * 8);
      canvas.FillRect({band * 10, 0, band * 10 + 10, 300});
    }
  }
};

struct Probe : TGraphicControl {
  using TGraphicControl::TGraphicControl;
};

struct DibCanvas {
  explicit DibCanvas(TBitmap& b) : dc(CreateCompatibleDC(nullptr)), old(SelectObject(dc, b.Handle())) {}
  ~DibCanvas() {
    SelectObject(dc, old);
    DeleteDC(dc);
  }
  HDC dc;
  HGDIOBJ old;
};

TEST(SkinHelpers, ParentBackgroundUnderAControl) {
  auto form = std::make_unique<BandForm>(nullptr);
  form->SetBounds(0, 0, 320, 240);
  auto* probe = new Probe(form.get());
  probe->SetParent(form.get());
  probe->SetBounds(25, 40, 30, 20);
  TBitmap out(30, 20);
  out.Fill(0x000001);
  {
    DibCanvas dib(out);
    TCanvas canvas(dib.dc);
    PaintParentBackground(canvas, probe);
  }
  GdiFlush();
  EXPECT_EQ(out.GetPixel(0, 0), ColorToPixel(RGB(16, 100, 224)));   // parent x 25: band 2
  EXPECT_EQ(out.GetPixel(5, 19), ColorToPixel(RGB(24, 100, 216)));  // parent x 30: band 3
  Probe orphan(nullptr);
  TBitmap untouched(4, 4);
  {
    DibCanvas dib(untouched);
    TCanvas canvas(dib.dc);
    PaintParentBackground(canvas, &orphan);
    PaintParentBackground(canvas, nullptr);
  }
  EXPECT_EQ(untouched.GetPixel(1, 1), 0u);
}

TEST(SkinHelpers, TextFittedWithTheCanvasFont) {
  TBitmap b(10, 10);
  DibCanvas dib(b);
  TCanvas canvas(dib.dc);
  const std::string caption = "Setup wizard of the sample product";
  const int full = canvas.TextWidth(caption);
  ASSERT_GT(full, 20);
  EXPECT_EQ(FitTextWithEllipsis(canvas, caption, full), caption);
  const std::string fitted = FitTextWithEllipsis(canvas, caption, full / 2);
  ASSERT_GT(fitted.size(), 3u);
  EXPECT_EQ(fitted.substr(fitted.size() - 3), "...");
  EXPECT_EQ(caption.compare(0, fitted.size() - 3, fitted, 0, fitted.size() - 3), 0);
  EXPECT_LE(canvas.TextWidth(fitted), full / 2);
}

TEST(SkinHelpers, WorkAreaWithoutMainForm) {
  if (Application->MainForm()) GTEST_SKIP() << "a main form is set";
  RECT spi{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &spi, 0);
  EXPECT_EQ(GetWorkAreaRect(), (TRect{spi.left, spi.top, spi.right, spi.bottom}));
}

TEST(SkinHelpers, FormActiveFollowsItsWindow) {
  if (Application->MainForm()) GTEST_SKIP() << "a main form is set";
  TForm hidden(nullptr);
  EXPECT_FALSE(IsFormActive(&hidden));  // no main form: its own flag, off
  TForm shown(nullptr);
  shown.SetBounds(10, 10, 200, 100);
  shown.Show();
  SetActiveWindow(shown.Handle());
  ASSERT_EQ(GetActiveWindow(), shown.Handle());
  EXPECT_TRUE(IsFormActive(&shown));
  EXPECT_FALSE(IsFormActive(&hidden));
}

}  // namespace
