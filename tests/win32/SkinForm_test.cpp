// The shaped skin window on a real form: the frameless window, the glyph's shape and sizes,
// the region-changed event, the outline without a glyph, and the caption-drag message that
// any mouse button on the control sends to the form.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Canvas.h"
#include "framework/Forms.h"
#include "skin/VELSkinForm.h"

namespace {

// A 400 x 300 glyph: a blue face with its four 10 x 10 corners in the key colour.
TBitmap CorneredGlyph() {
  TBitmap glyph(400, 300);
  glyph.Fill(0x2040C0);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) {
      glyph.SetPixel(x, y, 0xFF00FF);
      glyph.SetPixel(399 - x, y, 0xFF00FF);
      glyph.SetPixel(x, 299 - y, 0xFF00FF);
      glyph.SetPixel(399 - x, 299 - y, 0xFF00FF);
    }
  return glyph;
}

class SkinFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<TForm>(nullptr);
    form->SetBorderStyle(bsDialog);
    form->SetBounds(60, 60, 560, 340);
    form->SetClientWidth(537);
    form->SetClientHeight(298);
    form->SetColor(clWhite);
    skin = new TvelSkinForm(form.get());
    skin->SetParent(form.get());
    skin->OnRegionChanged = [this](TComponent* sender) {
      EXPECT_EQ(sender, skin);
      ++regionChanges;
    };
  }
  std::unique_ptr<TForm> form;
  TvelSkinForm* skin = nullptr;
  int regionChanges = 0;
};

TEST_F(SkinFormTest, TheFormLosesItsFrameAndCaption) {
  EXPECT_EQ(form->BorderStyle(), bsNone);
  const LONG_PTR style = GetWindowLongPtrW(form->Handle(), GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, 0);
  EXPECT_EQ(style & WS_THICKFRAME, 0);
  EXPECT_EQ(skin->TransparentColor(), clFuchsia);
  EXPECT_EQ(skin->Width(), 200);
  EXPECT_EQ(skin->Height(), 100);
}

TEST_F(SkinFormTest, AGlyphSizesTheControlAndTheFormAndShapesTheWindow) {
  skin->SetBounds(0, 8, 537, 289);
  skin->SetGlyph(CorneredGlyph());
  EXPECT_EQ(regionChanges, 1);
  EXPECT_EQ(skin->BoundsRect(), (TRect{0, 0, 400, 300}));
  EXPECT_EQ(form->ClientWidth(), 400);
  EXPECT_EQ(form->ClientHeight(), 300);

  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(form->Handle(), region), ERROR);
  RECT box{};
  GetRgnBox(region, &box);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.top, 0);
  EXPECT_EQ(box.right, 400);
  EXPECT_EQ(box.bottom, 300);
  struct Row {
    int x, y;
    bool inside;
  } rows[] = {{0, 0, false}, {9, 9, false}, {10, 0, true}, {399, 150, true}, {390, 295, false}, {200, 299, true}};
  for (const Row& row : rows) EXPECT_EQ(PtInRegion(region, row.x, row.y) != FALSE, row.inside) << row.x << "," << row.y;
  DeleteObject(region);

  // The caller keeps its bitmap; the control holds a copy.
  TBitmap mine = CorneredGlyph();
  skin->SetGlyph(mine);
  mine.SetPixel(200, 150, 0);
  EXPECT_EQ(skin->Glyph().GetPixel(200, 150), 0x2040C0u);
  EXPECT_EQ(regionChanges, 2);
  skin->SetTransparentColor(clBlack);  // a key no pixel has: the whole rectangle
  EXPECT_EQ(regionChanges, 3);
  region = CreateRectRgn(0, 0, 0, 0);
  GetWindowRgn(form->Handle(), region);
  EXPECT_TRUE(PtInRegion(region, 0, 0));
  DeleteObject(region);
}

TEST_F(SkinFormTest, WithoutAGlyphOnlyTheOutlineIsPaintedAndNothingIsShaped) {
  skin->SetBounds(0, 8, 537, 289);
  skin->SetTransparentColor(clLime);
  EXPECT_EQ(regionChanges, 0);
  EXPECT_EQ(skin->TransparentColor(), clLime);
  EXPECT_EQ(skin->BoundsRect(), (TRect{0, 8, 537, 297}));
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(form->Handle(), region), ERROR);  // no region: a plain rectangle
  DeleteObject(region);

  // White underneath: the control paints its outline and leaves the inside alone.
  TBitmap shot(form->ClientWidth(), form->ClientHeight());
  shot.Fill(0xFFFFFF);
  {
    TBitmapCanvas canvas(shot);
    form->PaintWindow(canvas);
  }
  GdiFlush();
  for (int x = 0; x < 537; ++x) {
    EXPECT_EQ(shot.GetPixel(x, 8), 0u) << x;
    EXPECT_EQ(shot.GetPixel(x, 296), 0u) << x;
  }
  for (int y = 8; y < 297; ++y) {
    EXPECT_EQ(shot.GetPixel(0, y), 0u) << y;
    EXPECT_EQ(shot.GetPixel(536, y), 0u) << y;
  }
  EXPECT_EQ(shot.GetPixel(1, 9), 0xFFFFFFu);
  EXPECT_EQ(shot.GetPixel(268, 150), 0xFFFFFFu);
  const Bytes bmp = shot.SaveToBmp();
  CreateDirectoryW(L"panel-shots", nullptr);
  if (FILE* f = std::fopen("panel-shots\\skinform-outline.bmp", "wb")) {
    std::fwrite(bmp.data(), 1, bmp.size(), f);
    std::fclose(f);
  }
}

// Records the caption-drag messages the form receives, and swallows them so that no move
// loop starts inside the test.
struct DragRecorder {
  static inline WNDPROC previous = nullptr;
  static inline std::vector<WPARAM> hits;
  static LRESULT CALLBACK Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCLBUTTONDOWN) {
      hits.push_back(wParam);
      return 0;
    }
    return CallWindowProcW(previous, window, msg, wParam, lParam);
  }
};

TEST_F(SkinFormTest, AnyMouseButtonOnTheControlStartsMovingTheForm) {
  skin->SetBounds(0, 8, 537, 289);
  form->Show();
  Application->ProcessMessages();
  HWND window = form->Handle();
  DragRecorder::hits.clear();
  DragRecorder::previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DragRecorder::Proc)));
  std::vector<TMouseButton> pressed;
  skin->OnMouseDown = [&](TComponent*, TMouseButton button, TShiftState, int x, int y) {
    pressed.push_back(button);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 50 - 8);
  };
  const LPARAM at = MAKELPARAM(100, 50);
  struct Row {
    UINT down, up;
    WPARAM keys;
    TMouseButton button;
  } rows[] = {{WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, mbLeft},
              {WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, mbRight},
              {WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON, mbMiddle}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.down);
    DragRecorder::hits.clear();
    pressed.clear();
    SendMessageW(window, row.down, row.keys, at);
    ASSERT_EQ(DragRecorder::hits.size(), 1u);
    EXPECT_EQ(DragRecorder::hits[0], static_cast<WPARAM>(HTCAPTION));
    EXPECT_EQ(pressed, std::vector<TMouseButton>{row.button});
    EXPECT_EQ(GetCapture(), nullptr);  // released before the move starts
    SendMessageW(window, row.up, 0, at);
  }
  // A press beside the control (above it) is the form's own and moves nothing.
  DragRecorder::hits.clear();
  SendMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(100, 4));
  EXPECT_TRUE(DragRecorder::hits.empty());
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DragRecorder::previous));
}

TEST(SkinFormOwner, NotOnAFormItShapesPaintsAndDragsNothing) {
  TComponent holder(nullptr);
  auto* skin = new TvelSkinForm(&holder);
  int changes = 0;
  skin->OnRegionChanged = [&](TComponent*) { ++changes; };
  skin->SetGlyph(CorneredGlyph());
  skin->SetTransparentColor(clRed);
  EXPECT_EQ(changes, 0);
  EXPECT_TRUE(skin->Glyph().Empty());
  TBitmap shot(50, 50);
  shot.Fill(0x123456);
  {
    TBitmapCanvas canvas(shot);
    skin->Paint(canvas);
  }
  GdiFlush();
  EXPECT_EQ(shot.GetPixel(0, 0), 0x123456u);
  skin->MouseDown(mbRight, 0, 1, 1);  // no form to move: nothing happens
}

std::string Hex(const Bytes& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const uint8_t b = bytes.data()[i];
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

TEST(SkinFormLayout, AStoredGlyphIsShapedOnceByTheTransparentColorAfterIt) {
  RegisterSkinFormClasses();
  TBitmap glyph(60, 40);
  glyph.Fill(0x00FF00);
  glyph.SetPixel(0, 0, 0xFF00FF);
  const std::string layout = "object SkinHost: TForm\n  BorderStyle = bsSingle\n  object Skin: TvelSkinForm\n"
                             "    Left = 0\n    Top = 8\n    Width = 537\n    Height = 289\n"
                             "    Glyph.Data = {" + Hex(glyph.SaveToBmp()) + "}\n"
                             "    TransparentColor = clFuchsia\n    OnRegionChanged = SkinRegionChanged\n  end\nend\n";
  TForm form(nullptr);
  int changes = 0;
  // OnRegionChanged streams after TransparentColor: loading shapes the form before the handler is set.
  form.AddMethod("SkinRegionChanged", TNotifyEvent([&](TComponent*) { ++changes; }));
  form.LoadLayout(layout);
  auto* skin = dynamic_cast<TvelSkinForm*>(form.FindComponent("Skin"));
  ASSERT_NE(skin, nullptr);
  EXPECT_EQ(form.BorderStyle(), bsNone);
  EXPECT_EQ(skin->BoundsRect(), (TRect{0, 0, 60, 40}));
  EXPECT_EQ(form.ClientWidth(), 60);
  EXPECT_EQ(form.ClientHeight(), 40);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(form.Handle(), region), ERROR);
  EXPECT_FALSE(PtInRegion(region, 0, 0));
  EXPECT_TRUE(PtInRegion(region, 1, 0));
  DeleteObject(region);
  EXPECT_EQ(changes, 0);
  skin->SetTransparentColor(clFuchsia);
  EXPECT_EQ(changes, 1);
}

}  // namespace
