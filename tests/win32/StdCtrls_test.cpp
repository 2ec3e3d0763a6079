// Standard controls driven by real messages: labels sizing to their text, edits and memos,
// buttons answering dialog keys, check boxes, speed buttons, alignment and closing a form.
#include <gtest/gtest.h>
#include <windows.h>

#include "framework/Application.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"

namespace {

struct StdCtrls : ::testing::Test {
  void SetUp() override {
    form = new TForm(nullptr);
    form->SetClientWidth(300);
    form->SetClientHeight(200);
  }
  void TearDown() override { delete form; }
  template <class T>
  T* Add() {
    auto* c = new T(form);
    c->SetParent(form);
    return c;
  }
  TForm* form;
};

TEST_F(StdCtrls, LabelsSizeToTheirText) {
  TLabel* label = Add<TLabel>();
  label->SetBounds(100, 10, 10, 10);
  label->SetCaption("软件名称:");
  int oneLine = label->Height();
  int width = label->Width();
  EXPECT_GT(width, 40);
  label->SetCaption("软件名称:软件名称:");
  EXPECT_GT(label->Width(), width);
  EXPECT_EQ(label->Height(), oneLine);
  // Word wrap keeps the width and grows downwards.
  label->SetWordWrap(true);
  label->SetWidth(50);
  label->SetCaption("本安装程序将软件安装到您的计算机上");
  EXPECT_EQ(label->Width(), 50);
  EXPECT_GT(label->Height(), 2 * oneLine);
  // A right-aligned label keeps its right edge.
  TLabel* right = Add<TLabel>();
  right->SetAlignment(taRightJustify);
  right->SetBounds(100, 50, 100, 10);
  right->SetCaption("ab");
  EXPECT_EQ(right->Left() + right->Width(), 200);
  // Without auto size nothing moves.
  right->SetAutoSize(false);
  right->SetBounds(0, 0, 7, 7);
  right->SetCaption("a much longer caption");
  EXPECT_EQ(right->Width(), 7);
}

TEST_F(StdCtrls, EditsReportChangesAndMemosKeepLines) {
  TEdit* edit = Add<TEdit>();
  int changes = 0;
  edit->OnChange = [&](TComponent*) { ++changes; };
  edit->SetText("D:\\Tools");
  SetWindowTextW(edit->Handle(), L"E:\\新");  // as typing would
  EXPECT_EQ(edit->Text(), "E:\\新");
  EXPECT_EQ(changes, 2);

  TMemo* memo = Add<TMemo>();
  memo->SetLines({"一", "", "three"});
  EXPECT_EQ(memo->Text(), "一\r\n\r\nthree");
  EXPECT_EQ(memo->Lines(), (std::vector<std::string>{"一", "", "three"}));
  memo->AddLine("four");
  EXPECT_EQ(memo->Lines().size(), 4u);
  memo->SetScrollBars(ssVertical);  // re-creates the window, keeping the text
  EXPECT_TRUE(GetWindowLongPtrW(memo->Handle(), GWL_STYLE) & WS_VSCROLL);
  EXPECT_EQ(memo->Lines().back(), "four");
}

TEST_F(StdCtrls, ButtonsAnswerEnterAndEscapeAndCarryHiddenActions) {
  TButton* ok = Add<TButton>();
  TButton* cancel = Add<TButton>();
  TButton* hidden = Add<TButton>();
  ok->SetDefault(true);
  cancel->Cancel = true;
  hidden->SetDefault(true);
  hidden->Hide();
  std::vector<std::string> clicks;
  ok->OnClick = [&](TComponent*) { clicks.push_back("ok"); };
  cancel->OnClick = [&](TComponent*) { clicks.push_back("cancel"); };
  hidden->OnClick = [&](TComponent*) { clicks.push_back("hidden"); };
  form->Show();
  cancel->SetCaption("&Back");
  EXPECT_TRUE(form->DialogKey(VK_RETURN, 0));
  EXPECT_TRUE(form->DialogKey(VK_ESCAPE, 0));
  EXPECT_FALSE(form->DialogKey(VK_RETURN, ssCtrl));
  EXPECT_TRUE(form->DialogChar('b', ssAlt));
  EXPECT_FALSE(form->DialogChar('b', 0));
  hidden->Click();
  SendMessageW(ok->Handle(), BM_CLICK, 0, 0);  // a real press comes back as BN_CLICKED
  EXPECT_EQ(clicks, (std::vector<std::string>{"ok", "cancel", "cancel", "hidden", "ok"}));
}

TEST_F(StdCtrls, CheckBoxesFollowClicksAndTheSetter) {
  TCheckBox* box = Add<TCheckBox>();
  int clicks = 0;
  box->OnClick = [&](TComponent*) { ++clicks; };
  box->SetChecked(true);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(SendMessageW(box->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  SendMessageW(box->Handle(), BM_CLICK, 0, 0);
  EXPECT_FALSE(box->Checked());
  EXPECT_EQ(clicks, 2);
  box->SetChecked(false);  // unchanged
  EXPECT_EQ(clicks, 2);
}

TEST_F(StdCtrls, SpeedButtonsDrawTheirGlyphAndClickThroughTheParent) {
  form->SetColor(clWhite);
  TSpeedButton* browse = Add<TSpeedButton>();
  browse->SetFlat(true);
  browse->SetBounds(10, 10, 25, 20);
  TBitmap glyph(8, 6);
  glyph.Fill(0x00C000);
  glyph.SetPixel(0, 5, 0xFF00FF);  // bottom-left: transparent
  glyph.SetPixel(3, 2, 0xFF00FF);
  browse->SetGlyph(std::move(glyph));
  int clicks = 0;
  browse->OnClick = [&](TComponent*) { ++clicks; };
  TBitmap dib(300, 200);
  {
    TBitmapCanvas canvas(dib);
    form->PaintTo(canvas.Handle(), 0, 0);
  }
  // The glyph is centred: (25 - 8) / 2 = 8, (20 - 6) / 2 = 7.
  EXPECT_EQ(dib.GetPixel(10 + 8 + 1, 10 + 7), 0x00C000u);
  EXPECT_EQ(dib.GetPixel(10 + 8 + 3, 10 + 7 + 2), 0xFFFFFFu);  // key colour shows the form
  EXPECT_EQ(dib.GetPixel(10, 10), 0xFFFFFFu);                 // flat: no frame until hot
  HWND f = form->Handle();
  SendMessageW(f, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 15));
  EXPECT_TRUE(browse->Pressing());
  SendMessageW(f, WM_LBUTTONUP, 0, MAKELPARAM(15, 15));
  EXPECT_EQ(clicks, 1);
}

TEST_F(StdCtrls, AlignedControlsShareTheClientArea) {
  TLabel* top = Add<TLabel>();
  top->SetAutoSize(false);
  top->SetHeight(30);
  top->SetAlign(alTop);
  TPageControl* pages = Add<TPageControl>();
  pages->SetAlign(alClient);
  form->HandleNeeded();
  EXPECT_EQ(top->BoundsRect(), (TRect{0, 0, 300, 30}));
  EXPECT_EQ(pages->BoundsRect(), (TRect{0, 30, 300, 200}));
  form->SetClientHeight(250);
  EXPECT_EQ(pages->BoundsRect(), (TRect{0, 30, 300, 250}));
}

TEST_F(StdCtrls, PagesSitInsideTheMarginBelowTheTabs) {
  TPageControl* pages = Add<TPageControl>();
  pages->SetBounds(1, 60, 526, 181);
  pages->SetStyle(tsFlatButtons);
  auto* sheet = new TTabSheet(form);
  sheet->SetPageControl(pages);
  form->HandleNeeded();
  // Tabs shown: the button row and its gap come first.
  EXPECT_EQ(sheet->BoundsRect(), (TRect{4, 4 + 22 + 3, 522, 177}));
  // Every tab hidden: only the margin, so a control at the top of a page is not pushed
  // under whatever overlaps the control's edge.
  sheet->SetTabVisible(false);
  EXPECT_EQ(sheet->BoundsRect(), (TRect{4, 4, 522, 177}));
  pages->SetStyle(tsTabs);
  EXPECT_EQ(sheet->BoundsRect(), (TRect{4, 4, 522, 177}));
  sheet->SetTabVisible(true);
  EXPECT_EQ(sheet->BoundsRect(), (TRect{4, 24, 522, 177}));
}

TEST_F(StdCtrls, ClosingAsksAndTheMainFormTerminates) {
  bool allow = false;
  int asked = 0;
  form->OnCloseQuery = [&](TComponent*, bool& canClose) {
    ++asked;
    canClose = allow;
  };
  form->Show();
  SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(form->Visible());
  allow = true;
  SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(form->Visible());  // not the main form: hidden
}

}  // namespace
