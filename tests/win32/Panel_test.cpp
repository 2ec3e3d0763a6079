// The themed panels driven by real window messages and painted into DIB sections: folding
// and unfolding, the fold button's frames, the style rules and their order against stored
// properties, the wizard's header and the picture panel. Pictures of the panels are written
// beside the test program (the build folder) for a look by eye.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Canvas.h"
#include "framework/Exceptions.h"
#include "framework/FileUtil.h"
#include "framework/Forms.h"
#include "framework/Streams.h"
#include "framework/StdCtrls.h"
#include "skin/VEL2SkinWriter.h"
#include "skin/VELControlThemes.h"
#include "skin/VELImagePanel.h"
#include "skin/VELMgr.h"
#include "skin/VELPublic.h"
#include "skin/VELThemes.h"
#include "tests/win32/Render.h"

namespace {

constexpr TvelUIStyle kStyles[] = {TvelUIStyle::MacOS, TvelUIStyle::WinXP, TvelUIStyle::DeepBlue,
                                   TvelUIStyle::Protein, TvelUIStyle::BlueGlass};
const char* StyleName(TvelUIStyle s) {
  static const char* names[] = {"FromThemeFile", "MacOS", "WinXP", "DeepBlue", "Protein", "BlueGlass"};
  return names[static_cast<int>(s)];
}

constexpr uint32_t kOrangePixel = 0xFF9900;  // TColor 39423 as a DIB pixel

// Pictures for a look by eye go to the test's working folder, inside the build tree.
void SaveShot(const TBitmap& bitmap, const std::string& name) {
  CreateDirectoryW(L"panel-shots", nullptr);
  const Bytes bmp = bitmap.SaveToBmp();
  std::ofstream("panel-shots\\" + name + ".bmp", std::ios::binary)
      .write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
}

void PointerTo(TWinControl& control, int x, int y) {
  POINT p{x, y};
  ClientToScreen(control.Handle(), &p);
  SetCursorPos(p.x, p.y);
}

class PanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterImagePanelClasses();
    form = std::make_unique<TForm>(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(40, 40, 400, 300);
    form->Show();
  }
  void TearDown() override {
    SetSkinBitmapLoader(nullptr);
    form.reset();
  }
  TvelPanel* NewPanel(TvelUIStyle style, int width = 300, int height = 120) {
    auto* panel = new TvelPanel(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(10, 10, width, panel->Height());
    panel->SetHeight(height);
    panel->SetUIStyle(style);
    panel->SetCaption("Panel");
    Application->ProcessMessages();
    return panel;
  }
  // Moves the pointer onto the fold button, then clicks it with real messages.
  void ClickFoldButton(TvelPanel& panel) {
    const TRect hit = panel.FoldButtonHitRect();
    const int x = (hit.Left + hit.Right) / 2, y = (hit.Top + hit.Bottom) / 2;
    PointerTo(panel, x, y);
    const LPARAM at = MAKELPARAM(x, y);
    SendMessageW(panel.Handle(), WM_MOUSEMOVE, 0, at);
    SendMessageW(panel.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(panel.Handle(), WM_LBUTTONUP, 0, at);
  }
  std::unique_ptr<TForm> form;
};

TEST_F(PanelTest, ConstructedExpandedWithTheDefaultStyleAndWhiteBody) {
  auto* panel = new TvelPanel(form.get());
  EXPECT_EQ(panel->UIStyle(), TvelUIStyle::DeepBlue);  // no form frame on the form
  EXPECT_EQ(panel->Width(), 100);
  EXPECT_EQ(panel->Height(), 100);
  EXPECT_EQ(panel->FullHeight(), 100);
  EXPECT_TRUE(panel->Expanded());
  EXPECT_TRUE(panel->ShowButton());
  EXPECT_EQ(panel->Color(), clWhite);
  EXPECT_EQ(panel->TitleBitmap().Height(), 20);
}

TEST_F(PanelTest, StyleSetsStripBorderAndCaptionColours) {
  struct Row {
    TvelUIStyle style;
    int strip;
    TColor border, caption;
  } rows[] = {
      {TvelUIStyle::MacOS, 21, 0x7F7F7F, clBlack},     {TvelUIStyle::WinXP, 21, 0x686868, clBlack},
      {TvelUIStyle::DeepBlue, 20, clBlack, clWhite},   {TvelUIStyle::Protein, 21, clBlack, clWhite},
      {TvelUIStyle::BlueGlass, 21, clBlack, clWhite},  {TvelUIStyle::FromThemeFile, 20, clBlack, clWhite},
  };
  TvelPanel* panel = NewPanel(TvelUIStyle::MacOS);
  for (const Row& row : rows) {
    SCOPED_TRACE(StyleName(row.style));
    panel->SetColor(clRed);
    panel->SetBorderColor(clRed);
    panel->SetCaptionFontColor(clRed);
    panel->SetUIStyle(row.style);
    EXPECT_EQ(panel->TitleBitmap().Height(), row.strip);
    EXPECT_EQ(panel->BorderColor(), row.border);
    EXPECT_EQ(panel->CaptionFontColor(), row.caption);
    EXPECT_EQ(panel->Color(), clWhite);
    EXPECT_EQ(panel->FullHeight(), 120);  // the relayout leaves the height as it was
  }
}

TEST_F(PanelTest, AlignedChildrenSitBelowTheStripInsideTheBorder) {
  TvelPanel* panel = NewPanel(TvelUIStyle::MacOS, 300, 120);
  auto* child = new TvelCustomPanel(form.get());
  child->SetParent(panel);
  child->SetAlign(alClient);
  EXPECT_EQ(child->BoundsRect(), (TRect{3, 21 + 3, 300 - 3, 120 - 3}));
  // A new strip height lays the children out again.
  panel->SetUIStyle(TvelUIStyle::DeepBlue);
  EXPECT_EQ(child->BoundsRect(), (TRect{3, 20 + 3, 300 - 3, 120 - 3}));
}

TEST_F(PanelTest, PushAndPopStepByFifteenAndFireTheirEvents) {
  TvelPanel* panel = NewPanel(TvelUIStyle::MacOS, 300, 100);
  std::vector<int> heights;
  int pushes = 0, pops = 0;
  panel->OnResize = [&](TComponent*) { heights.push_back(panel->Height()); };
  panel->OnPush = [&](TComponent* sender) {
    EXPECT_EQ(sender, panel);
    ++pushes;
  };
  panel->OnPop = [&](TComponent*) { ++pops; };

  panel->Push();
  EXPECT_EQ(heights, (std::vector<int>{85, 70, 55, 40, 25, 21}));
  EXPECT_EQ(panel->Height(), 21);
  EXPECT_EQ(panel->FullHeight(), 100);
  EXPECT_FALSE(panel->Expanded());
  EXPECT_FALSE(panel->Animating());
  EXPECT_EQ(pushes, 1);

  // While folded, Height only records the height to unfold to.
  panel->SetHeight(110);
  EXPECT_EQ(panel->Height(), 21);
  heights.clear();
  panel->Pop();
  EXPECT_EQ(heights, (std::vector<int>{36, 51, 66, 81, 96, 110}));
  EXPECT_EQ(panel->Height(), 110);
  EXPECT_TRUE(panel->Expanded());
  EXPECT_EQ(pops, 1);
}

TEST_F(PanelTest, AnEmptyStripFoldsToTwentyPixels) {
  SetSkinBitmapLoader([](const std::string& name, TBitmap& out) {
    if (name == "WINXP_SIDECHENNEL_BAR") {
      out = TBitmap();
      return true;
    }
    return LoadModuleSkinBitmap(name, out);
  });
  TvelPanel* panel = NewPanel(TvelUIStyle::WinXP, 300, 100);
  ASSERT_TRUE(panel->TitleBitmap().Empty());
  panel->Push();
  EXPECT_EQ(panel->Height(), 20);
}

TEST_F(PanelTest, PanelsAlignedToASideNeitherFoldNorShowTheButton) {
  for (TAlign align : {alLeft, alRight, alClient}) {
    SCOPED_TRACE(static_cast<int>(align));
    auto* host = new TvelPanel(form.get());
    host->SetParent(form.get());
    host->SetBounds(0, 0, 300, 200);
    TvelPanel* panel = new TvelPanel(form.get());
    panel->SetParent(host);
    panel->SetAlign(align);
    const int height = panel->Height();
    try {
      panel->Push();
      ADD_FAILURE() << "Push did not raise";
    } catch (const Exception& e) {
      EXPECT_STREQ(e.what(), "Can't push when Align is alClient, alLeft or alRight.");
    }
    EXPECT_EQ(panel->Height(), height);
    EXPECT_TRUE(panel->Expanded());
    EXPECT_FALSE(panel->Animating());
    EXPECT_FALSE(panel->FoldButtonShown());

    // The strip is drawn where the button would be, and a click there does nothing.
    ClickFoldButton(*panel);
    EXPECT_TRUE(panel->Expanded());
    EXPECT_FALSE(panel->FoldButtonHot());
    const TBitmap shot = Render(*panel);
    const TRect hit = panel->FoldButtonHitRect();
    for (int x = hit.Left; x < hit.Right; ++x)
      EXPECT_EQ(shot.GetPixel(x, 10), shot.GetPixel(30, 10)) << x;
    delete host;
  }
  // alTop and alBottom fold.
  TvelPanel* top = NewPanel(TvelUIStyle::DeepBlue);
  top->SetAlign(alTop);
  top->Push();
  EXPECT_EQ(top->Height(), 20);
}

TEST_F(PanelTest, FoldButtonFrameFollowsThePointerAndTheFoldState) {
  TBitmap buttons;
  LoadSkinBitmap("PANEL_BUTTON", buttons);
  TBitmap frames[5];
  for (int i = 1; i <= 4; ++i) PickBitmapFrame(buttons, frames[i], 4, i);

  TvelPanel* panel = NewPanel(TvelUIStyle::BlueGlass, 300, 120);
  const TRect hit = panel->FoldButtonHitRect();
  EXPECT_EQ(hit, (TRect{300 - 18, 4, 300 - 5, 16}));
  const int drawX = 300 - 13 - 4, drawY = (hit.Bottom - 12) / 2 + 2;
  // Which frame the button shows, told by its pixels other than the key colour.
  auto shownFrame = [&]() {
    const TBitmap shot = Render(*panel);
    for (int i = 1; i <= 4; ++i) {
      bool same = true;
      for (int y = 0; y < 12 && same; ++y)
        for (int x = 0; x < 13 && same; ++x) {
          const uint32_t p = frames[i].GetPixel(x, y);
          if (p != 0xFF00FF && shot.GetPixel(drawX + x, drawY + y) != p) same = false;
        }
      if (same) return i;
    }
    return 0;
  };
  struct Row {
    const char* where;
    int x, y;
    bool hot;
  } rows[] = {
      {"centre", (hit.Left + hit.Right) / 2, 10, true}, {"left edge", hit.Left, hit.Top, true},
      {"right and bottom edges", hit.Right, hit.Bottom, true}, {"left of it", hit.Left - 1, 10, false},
      {"below it", hit.Left + 3, hit.Bottom + 1, false},      {"body", 50, 80, false},
  };
  for (bool expanded : {true, false}) {
    if (!expanded) panel->Push();
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(row.where) + (expanded ? " unfolded" : " folded"));
      if (!expanded && row.y >= panel->Height()) continue;
      PointerTo(*panel, row.x, row.y);
      EXPECT_EQ(shownFrame(), (expanded ? 1 : 3) + (row.hot ? 1 : 0));
      EXPECT_EQ(panel->FoldButtonHot(), row.hot);
    }
  }
}

TEST_F(PanelTest, ClicksOnTheFoldButtonFoldAndUnfold) {
  TvelPanel* panel = NewPanel(TvelUIStyle::Protein, 300, 120);
  ClickFoldButton(*panel);
  EXPECT_FALSE(panel->Expanded());
  EXPECT_EQ(panel->Height(), 21);
  ClickFoldButton(*panel);
  EXPECT_TRUE(panel->Expanded());
  EXPECT_EQ(panel->Height(), 120);
  // The right button and a left click away from the button do nothing.
  const TRect hit = panel->FoldButtonHitRect();
  PointerTo(*panel, hit.Left + 2, hit.Top + 2);
  SendMessageW(panel->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(hit.Left + 2, hit.Top + 2));
  SendMessageW(panel->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(hit.Left + 2, hit.Top + 2));
  SendMessageW(panel->Handle(), WM_RBUTTONUP, 0, MAKELPARAM(hit.Left + 2, hit.Top + 2));
  EXPECT_TRUE(panel->Expanded());
  // The pointer jumps from the lit button straight into the body, then clicks there.
  EXPECT_TRUE(panel->FoldButtonHot());
  PointerTo(*panel, 40, 60);
  SendMessageW(panel->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(40, 60));
  SendMessageW(panel->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 60));
  SendMessageW(panel->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(40, 60));
  EXPECT_FALSE(panel->FoldButtonHot());
  EXPECT_TRUE(panel->Expanded());
}

TEST_F(PanelTest, ClicksDuringTheFoldAnimationAreIgnored) {
  TvelPanel* panel = NewPanel(TvelUIStyle::DeepBlue, 300, 200);
  int pushes = 0, pops = 0;
  panel->OnPush = [&](TComponent*) { ++pushes; };
  panel->OnPop = [&](TComponent*) { ++pops; };
  // A second click waits in the queue and arrives during the first fold's animation.
  const TRect hit = panel->FoldButtonHitRect();
  const LPARAM at = MAKELPARAM((hit.Left + hit.Right) / 2, (hit.Top + hit.Bottom) / 2);
  PostMessageW(panel->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(panel->Handle(), WM_LBUTTONUP, 0, at);
  ClickFoldButton(*panel);
  Application->ProcessMessages();
  EXPECT_EQ(pushes, 1);
  EXPECT_EQ(pops, 0);
  EXPECT_FALSE(panel->Expanded());
  EXPECT_EQ(panel->Height(), 20);
}

TEST_F(PanelTest, APanelDestroyedWhileFoldingEndsTheAnimation) {
  TvelPanel* panel = NewPanel(TvelUIStyle::MacOS, 300, 200);
  constexpr UINT kDestroy = WM_APP + 211;
  // A message waiting in the queue destroys the panel during the first animation step.
  Application->OnMessage = [&](MSG& msg) {
    if (msg.message != kDestroy) return false;
    delete panel;
    return true;
  };
  PostMessageW(form->Handle(), kDestroy, 0, 0);
  int pushes = 0;
  panel->OnPush = [&](TComponent*) { ++pushes; };
  panel->Push();
  Application->OnMessage = nullptr;
  EXPECT_EQ(pushes, 0);
  EXPECT_EQ(form->ControlCount(), 0);
}

const char* kHeaderLayout = R"(object HeaderForm: TForm
  Left = 0
  Top = 0
  BorderStyle = bsNone
  ClientHeight = 120
  ClientWidth = 560
  Color = clWindow
  object velPanel1: TvelPanel
    Left = 0
    Top = 0
    Width = 537
    UIStyle = MacOS
    BorderColor = clBlack
    Font.Charset = GB2312_CHARSET
    Font.Color = clGray
    Font.Height = -12
    Font.Name = '宋体'
    Font.Style = [fsBold]
    Caption = ' -= K O R V A =- '
    ShowButton = False
    Height = 89
    CaptionFontColor = 39423
    Color = 39423
    object Label8: TLabel
      Left = 16
      Top = 41
      Width = 120
      Height = 12
      Caption = '欢迎'
      Font.Color = clWhite
      Font.Height = -12
      Font.Style = [fsBold]
      Transparent = True
    end
  end
end
)";

TEST_F(PanelTest, WizardHeaderFromItsLayoutDrawsStripBorderBodyAndCaption) {
  TForm header(nullptr);
  header.LoadLayout(kHeaderLayout);
  auto* panel = dynamic_cast<TvelPanel*>(header.FindComponent("velPanel1"));
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->UIStyle(), TvelUIStyle::MacOS);
  EXPECT_EQ(panel->Color(), 39423u);
  EXPECT_EQ(panel->CaptionFontColor(), 39423u);
  EXPECT_EQ(panel->BorderColor(), clBlack);
  EXPECT_EQ(panel->BoundsRect(), (TRect{0, 0, 537, 89}));
  EXPECT_FALSE(panel->ShowButton());
  EXPECT_EQ(panel->Font().Style(), fsBold);
  EXPECT_EQ(panel->Font().Height(), -12);
  EXPECT_EQ(panel->Font().Color(), clGray);
  header.Show();
  Application->ProcessMessages();

  const TBitmap shot = Render(*panel);
  SaveShot(shot, "wizard-header");
  TBitmap strip;
  GetThemeBitmap(TvelUIStyle::MacOS, 42, &strip, 0, 0);
  ASSERT_EQ(strip.Height(), 21);
  // The strip: every row is its bitmap's row, across the width but the border columns,
  // right of the caption.
  for (int y = 0; y < 21; ++y)
    for (int x : {200, 400, 519, 525, 535}) EXPECT_EQ(shot.GetPixel(x, y), strip.GetPixel(0, y)) << x << "," << y;
  // The border: black down both sides, along the bottom and at the top corners.
  for (int y = 0; y < 89; ++y) {
    EXPECT_EQ(shot.GetPixel(0, y), 0u) << y;
    EXPECT_EQ(shot.GetPixel(536, y), 0u) << y;
  }
  for (int x = 0; x < 537; ++x) EXPECT_EQ(shot.GetPixel(x, 88), 0u) << x;
  // The body is orange under and around the label.
  for (TPoint p : {TPoint{1, 21}, TPoint{268, 50}, TPoint{535, 87}, TPoint{200, 30}})
    EXPECT_EQ(shot.GetPixel(p.X, p.Y), kOrangePixel) << p.X << "," << p.Y;
  // The caption is drawn in orange on the strip from x = 10; the font's own grey is unused.
  int orange = 0, grey = 0, leftOfCaption = 0;
  for (int y = 0; y < 21; ++y)
    for (int x = 1; x < 180; ++x) {
      const uint32_t p = shot.GetPixel(x, y);
      if (p == strip.GetPixel(0, y)) continue;
      orange += p == kOrangePixel;
      grey += p == 0x808080;
      leftOfCaption += x < 10;
    }
  EXPECT_GT(orange, 40);
  EXPECT_EQ(grey, 0);
  EXPECT_EQ(leftOfCaption, 0);
  // The white label is drawn on the body.
  int white = 0;
  for (int y = 41; y < 53; ++y)
    for (int x = 16; x < 60; ++x) white += shot.GetPixel(x, y) == 0xFFFFFF;
  EXPECT_GT(white, 10);
}

TEST_F(PanelTest, StoredColoursAfterTheStyleWinAndColoursBeforeItDoNot) {
  struct Row {
    const char* what;
    const char* properties;
    TColor color, border;
  } rows[] = {
      {"nothing stored", "UIStyle = WinXP\n", clWhite, 0x686868},
      {"colours after the style", "UIStyle = WinXP\nBorderColor = clRed\nColor = 39423\n", 39423, clRed},
      {"stored clBtnFace after the style", "UIStyle = WinXP\nColor = clBtnFace\n", clBtnFace, 0x686868},
      {"colours before the style", "Color = 39423\nBorderColor = clRed\nUIStyle = WinXP\n", clWhite, 0x686868},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TForm holder(nullptr);
    holder.LoadLayout(std::string("object F: TForm\n  object P: TvelPanel\n") + row.properties + "  end\nend\n");
    auto* panel = dynamic_cast<TvelPanel*>(holder.FindComponent("P"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->Color(), row.color);
    EXPECT_EQ(panel->BorderColor(), row.border);
  }
}

TEST_F(PanelTest, EveryStyleFoldedAndUnfoldedForALookByEye) {
  for (TvelUIStyle style : kStyles) {
    TvelPanel* panel = NewPanel(style, 300, 90);
    panel->SetCaption(std::string("Panel ") + StyleName(style));
    PointerTo(*panel, 150, 60);
    const TBitmap unfolded = Render(*panel);
    SaveShot(unfolded, std::string("panel-") + StyleName(style) + "-unfolded");
    const TRect hit = panel->FoldButtonHitRect();
    PointerTo(*panel, hit.Left + 6, hit.Top + 6);
    SaveShot(Render(*panel), std::string("panel-") + StyleName(style) + "-hot");
    panel->Push();
    const TBitmap folded = Render(*panel);
    SaveShot(folded, std::string("panel-") + StyleName(style) + "-folded");
    EXPECT_EQ(folded.Height(), panel->TitleBitmap().Height());
    // Folded, the strip and the side borders are all that shows.
    EXPECT_EQ(folded.GetPixel(0, folded.Height() - 1), ColorToPixel(panel->BorderColor()));
    EXPECT_EQ(unfolded.GetPixel(150, 60), 0xFFFFFFu);
    delete panel;
  }
}

// A skin file with the panel's colours, and with or without its caption strip.
std::string WriteSkin(const std::string& name, bool withStrip, bool withColours = true) {
  std::vector<Sk2Item> items = {Sk2Item::Integer("SKIN2_FORMCOLOR", 0xFCF2EA)};
  if (withColours) {
    items.push_back(Sk2Item::Integer("SKIN2_CONTROLBORDERCOLOR", 0x0000C0));
    items.push_back(Sk2Item::Integer("SKIN2_CONTROLFONTCOLOR", 0x00C000));
  }
  TBitmap strip(1, 25);
  strip.Fill(0x3366CC);
  const Bytes bmp = strip.SaveToBmp();
  if (withStrip) items.push_back(Sk2Item::Bitmap("SKIN2_SIDECHANNELTITLE", {bmp.data(), bmp.size()}));
  const std::vector<uint8_t> file = BuildSkinContainer(BuildSk2Data(items));
  const std::string path = TempFolder() + name;
  TFileStream out(path, FileMode::Create);
  out.WriteBuffer(file.data(), file.size());
  return path;
}

TEST_F(PanelTest, FileThemeGivesTheLookOnlyToPanelsThatAskForIt) {
  struct Row {
    const char* what;
    bool withStrip;
    int strip;
    uint32_t stripPixel;
  } rows[] = {{"with its own strip", true, 25, 0x3366CC}, {"without a strip: DeepBlue's", false, 20, 0}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string path = WriteSkin("PanelTheme.ssk", row.withStrip);
    auto* theme = new TvelFileTheme(form.get());
    theme->SetThemeFile(path);
    ASSERT_TRUE(theme->Ready());
    TvelPanel* panel = NewPanel(TvelUIStyle::BlueGlass, 300, 100);
    panel->SetColor(clRed);
    // A built-in style ignores the theme: nothing changes.
    panel->SetFileTheme(theme);
    EXPECT_EQ(panel->GetFileTheme(), theme);
    EXPECT_EQ(panel->Color(), clRed);
    EXPECT_EQ(panel->TitleBitmap().Height(), 21);

    panel->SetUIStyle(TvelUIStyle::FromThemeFile);
    EXPECT_EQ(panel->BorderColor(), 0x0000C0u);
    EXPECT_EQ(panel->CaptionFontColor(), 0x00C000u);
    EXPECT_EQ(panel->Color(), clWhite);
    ASSERT_EQ(panel->TitleBitmap().Height(), row.strip);
    if (row.withStrip) {
      EXPECT_EQ(panel->TitleBitmap().GetPixel(0, 3), row.stripPixel);
    }
    const TBitmap shot = Render(*panel);
    EXPECT_EQ(shot.GetPixel(0, 50), 0xC00000u);  // border colour 0000C0 as a pixel
    delete panel;
    delete theme;
    RemoveFile(path);
  }
}

TEST_F(PanelTest, ColoursASkinLacksComeFromDeepBlue) {
  const std::string path = WriteSkin("PanelTheme3.ssk", true, false);
  auto* theme = new TvelFileTheme(form.get());
  theme->SetThemeFile(path);
  ASSERT_EQ(theme->GetColor(22), -1);
  TvelPanel* panel = NewPanel(TvelUIStyle::FromThemeFile);
  panel->SetFileTheme(theme);
  EXPECT_EQ(panel->TitleBitmap().Height(), 25);
  EXPECT_EQ(panel->BorderColor(), clBlack);
  EXPECT_EQ(panel->CaptionFontColor(), clWhite);
  RemoveFile(path);
}

TEST_F(PanelTest, RemovingTheFileThemeFallsBackToDeepBlueWithTheChildren) {
  const std::string path = WriteSkin("PanelTheme2.ssk", true);
  auto* theme = new TvelFileTheme(form.get());
  theme->SetThemeFile(path);
  TvelPanel* panel = NewPanel(TvelUIStyle::FromThemeFile, 300, 150);
  panel->SetFileTheme(theme);
  ASSERT_EQ(panel->TitleBitmap().Height(), 25);
  // A themable child in its own style, and its child: only direct children hear the panel.
  auto* child = new TvelPanel(form.get());
  child->SetParent(panel);
  child->SetUIStyle(TvelUIStyle::MacOS);
  auto* grandchild = new TvelPanel(form.get());
  grandchild->SetParent(child);
  grandchild->SetUIStyle(TvelUIStyle::WinXP);

  delete theme;
  EXPECT_EQ(panel->GetFileTheme(), nullptr);
  EXPECT_EQ(panel->UIStyle(), TvelUIStyle::DeepBlue);
  EXPECT_EQ(panel->TitleBitmap().Height(), 20);
  EXPECT_EQ(panel->CaptionFontColor(), clWhite);
  EXPECT_EQ(child->UIStyle(), TvelUIStyle::DeepBlue);
  EXPECT_EQ(child->BorderColor(), clBlack);
  EXPECT_EQ(grandchild->UIStyle(), TvelUIStyle::WinXP);
  RemoveFile(path);
}

TEST_F(PanelTest, FileThemeFromALayoutIsResolvedAndReappliesTheStyle) {
  RegisterVelFileThemeClass();
  TForm holder(nullptr);
  holder.LoadLayout(
      "object F: TForm\n  object P: TvelPanel\n    FileTheme = Theme1\n    UIStyle = FromThemeFile\n"
      "    Color = 39423\n  end\n  object Theme1: TvelFileTheme\n  end\nend\n");
  auto* panel = dynamic_cast<TvelPanel*>(holder.FindComponent("P"));
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->GetFileTheme(), holder.FindComponent("Theme1"));
  // References are resolved once the whole layout is read; the FileTheme setter then applies
  // the look again (DeepBlue's, the theme not being ready), over the stored colour.
  EXPECT_EQ(panel->TitleBitmap().Height(), 20);
  EXPECT_EQ(panel->Color(), clWhite);
}

TEST_F(PanelTest, RightToLeftCaptionStaysLeftOutsideAMiddleEastSystem) {
  ASSERT_EQ(GetSystemMetrics(SM_MIDEASTENABLED), 0);
  TvelPanel* panel = NewPanel(TvelUIStyle::DeepBlue, 300, 60);
  panel->SetCaption("Caption");
  const TBitmap left = Render(*panel);
  panel->SetBiDiMode(bdRightToLeft);
  const TBitmap rtl = Render(*panel);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 300; ++x) ASSERT_EQ(rtl.GetPixel(x, y), left.GetPixel(x, y)) << x << "," << y;
}

// A stand-in for the themed form frame: the style new controls on its form take.
class FrameProbe : public TCustomControl, public IvelThemable {
 public:
  using TCustomControl::TCustomControl;
  void SetFileTheme(TvelFileTheme* theme) override { log.push_back(theme ? "theme" : "no theme"); }
  void SetUIStyle(TvelUIStyle style) override { log.push_back(StyleName(style)); }
  TvelUIStyle GetUIStyle() const override { return TvelUIStyle::Protein; }
  bool IsFormFrame() const override { return frame; }
  bool frame = true;
  std::vector<std::string> log;
};

TEST_F(PanelTest, NewPanelsTakeTheFormFramesStyleAndContainersReachOnlyThemables) {
  EXPECT_EQ(DefaultStyleFor(nullptr), TvelUIStyle::DeepBlue);
  auto* label = new TLabel(form.get());
  label->SetParent(form.get());
  auto* frame = new FrameProbe(form.get());
  frame->SetParent(form.get());
  EXPECT_EQ(DefaultStyleFor(form.get()), TvelUIStyle::Protein);
  auto* panel = new TvelPanel(form.get());
  EXPECT_EQ(panel->UIStyle(), TvelUIStyle::Protein);
  frame->frame = false;
  EXPECT_EQ(DefaultStyleFor(form.get()), TvelUIStyle::DeepBlue);
  TComponent notAForm(nullptr);
  EXPECT_EQ(DefaultStyleFor(&notAForm), TvelUIStyle::DeepBlue);

  // Broadcast: the label is skipped, the themable child hears FileTheme first, then UIStyle.
  ApplyThemeToChildren(form.get(), TvelUIStyle::BlueGlass, nullptr);
  EXPECT_EQ(frame->log, (std::vector<std::string>{"no theme", "BlueGlass"}));
}

// ---------------------------------------------------------------- TvelCustomPanel

TBitmap Checker(int w, int h, uint32_t a, uint32_t b) {
  TBitmap bmp(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) bmp.SetPixel(x, y, ((x + y) & 1) ? a : b);
  return bmp;
}

class PicturePanelTest : public PanelTest {
 protected:
  TvelCustomPanel* NewPicturePanel(int w, int h) {
    auto* p = new TvelCustomPanel(form.get());
    p->SetParent(form.get());
    p->SetBounds(20, 20, w, h);
    p->SetColor(clBlue);
    return p;
  }
};

TEST_F(PicturePanelTest, PictureModesNaturalStretchedAndTiled) {
  TvelCustomPanel* p = NewPicturePanel(20, 10);
  TBitmap pic(4, 3);
  pic.Fill(0x112233);
  pic.SetPixel(0, 0, 0xAA0000);
  p->Picture().Assign(pic.Clone());

  TBitmap shot = Render(*p);
  EXPECT_EQ(shot.GetPixel(0, 0), 0xAA0000u);
  EXPECT_EQ(shot.GetPixel(3, 2), 0x112233u);
  EXPECT_EQ(shot.GetPixel(4, 0), 0u);  // nothing is drawn beside a natural-size picture

  p->SetPictureMode(TvelPictureMode::Stretch);
  shot = Render(*p);
  EXPECT_EQ(shot.GetPixel(19, 9), 0x112233u);
  EXPECT_EQ(shot.GetPixel(2, 1), 0xAA0000u);  // the first source pixel covers 5 x 3 pixels

  p->SetPictureMode(TvelPictureMode::Tile);
  shot = Render(*p);
  for (TPoint at : {TPoint{0, 0}, TPoint{4, 0}, TPoint{16, 9}, TPoint{8, 3}})
    EXPECT_EQ(shot.GetPixel(at.X, at.Y), 0xAA0000u) << at.X << "," << at.Y;

  p->Picture().Clear();
  shot = Render(*p);
  EXPECT_EQ(shot.GetPixel(10, 5), 0x0000FFu);  // Color (clBlue) fills a panel without a picture
}

TEST_F(PicturePanelTest, TransparentPanelShowsItsParent) {
  auto* back = new TvelCustomPanel(form.get());
  back->SetParent(form.get());
  back->SetBounds(0, 0, 200, 100);
  back->Picture().Assign(Checker(200, 100, 0x00FF00, 0x0000FF));
  auto* front = new TvelCustomPanel(form.get());
  front->SetParent(back);
  front->SetBounds(31, 17, 20, 10);
  front->SetColor(clRed);
  front->SetTransparent(true);
  Application->ProcessMessages();
  const TBitmap shot = Render(*front);
  // The parent's checker shows through at the child's offset.
  EXPECT_EQ(shot.GetPixel(0, 0), ((31 + 17) & 1) ? 0x00FF00u : 0x0000FFu);
  EXPECT_EQ(shot.GetPixel(1, 0), ((32 + 17) & 1) ? 0x00FF00u : 0x0000FFu);
  EXPECT_EQ(shot.GetPixel(5, 5), ((36 + 22) & 1) ? 0x00FF00u : 0x0000FFu);

  // A transparent panel's picture leaves out its bottom-left pixel's colour.
  TBitmap pic(20, 10);
  pic.Fill(0xFF00FF);
  pic.SetPixel(3, 3, 0x123456);
  front->Picture().Assign(std::move(pic));
  EXPECT_TRUE(front->Picture().Transparent());
  const TBitmap withPicture = Render(*front);
  EXPECT_EQ(withPicture.GetPixel(3, 3), 0x123456u);
  EXPECT_EQ(withPicture.GetPixel(0, 0), shot.GetPixel(0, 0));
  // Tiled, the key of every tile lets the parent through as well.
  TBitmap tile(4, 4);
  tile.Fill(0xFF00FF);
  tile.SetPixel(1, 1, 0x123456);
  front->Picture().Assign(std::move(tile));
  front->SetPictureMode(TvelPictureMode::Tile);
  const TBitmap tiled = Render(*front);
  EXPECT_EQ(tiled.GetPixel(5, 5), 0x123456u);
  EXPECT_EQ(tiled.GetPixel(0, 0), shot.GetPixel(0, 0));
  EXPECT_EQ(tiled.GetPixel(5, 6), shot.GetPixel(5, 6));
  front->SetTransparent(false);
  EXPECT_FALSE(front->Picture().Transparent());
}

TEST_F(PicturePanelTest, CaptionAtAFixedPointOrAligned) {
  TvelCustomPanel* p = NewPicturePanel(120, 30);
  p->Font().SetColor(clWhite);
  p->SetCaption("Ab");
  Render(*p);
  EXPECT_EQ(p->CaptionArea(), (TRect{0, 0, 120, 30}));  // aligned: the client area
  // Only X set: still aligned.
  p->SetCaptionPos(5, -1);
  Render(*p);
  EXPECT_EQ(p->CaptionArea(), (TRect{0, 0, 120, 30}));
  p->SetCaptionPos(5, 7);
  const TBitmap shot = Render(*p);
  const TRect area = p->CaptionArea();
  EXPECT_EQ(area.Left, 5);
  EXPECT_EQ(area.Top, 7);
  EXPECT_GT(area.Width(), 4);
  EXPECT_GT(area.Height(), 4);
  int white = 0, outside = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 120; ++x) {
      const bool w = shot.GetPixel(x, y) == 0xFFFFFF;
      white += w;
      outside += w && !PointInRect({x, y}, area);
    }
  EXPECT_GT(white, 5);
  EXPECT_EQ(outside, 0);
  // A blank caption draws nothing.
  p->SetCaption("   ");
  const TBitmap blank = Render(*p);
  for (int x = 0; x < 120; ++x) EXPECT_EQ(blank.GetPixel(x, 12), 0x0000FFu);
}

TEST_F(PicturePanelTest, FitToPictureKeepsTheSidesTheAlignmentFixes) {
  struct Row {
    TAlign align;
    bool width, height;
  } rows[] = {{alNone, true, true}, {alTop, false, true}, {alLeft, true, false}, {alClient, false, false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(static_cast<int>(row.align));
    TvelCustomPanel* p = NewPicturePanel(50, 40);
    p->SetAlign(row.align);
    const int w = p->Width(), h = p->Height();
    p->SetFitPicture(true);
    p->Picture().Assign(TBitmap(17, 13));
    EXPECT_EQ(p->Width(), row.width ? 17 : w);
    EXPECT_EQ(p->Height(), row.height ? 13 : h);
    delete p;
  }
}

class CaptionProbe : public TvelCustomPanel {
 public:
  using TvelCustomPanel::TvelCustomPanel;
  std::vector<TRect> areas;
  int pictureChanges = 0;

 protected:
  void CaptionAreaSet(const TRect& area) override { areas.push_back(area); }
  void PictureChanged() override {
    ++pictureChanges;
    TvelCustomPanel::PictureChanged();
  }
};

TEST_F(PicturePanelTest, TextAndPictureChangesReachTheHooks) {
  auto* p = new CaptionProbe(form.get());
  p->SetParent(form.get());
  p->SetBounds(0, 0, 80, 20);
  p->SetCaption("x");
  Render(*p);
  p->SetCaption("y");
  ASSERT_EQ(p->areas.size(), 2u);
  EXPECT_EQ(p->areas[1], (TRect{0, 0, 80, 20}));
  p->Picture().Assign(TBitmap(2, 2));
  p->Picture().Clear();
  EXPECT_EQ(p->pictureChanges, 2);
}

}  // namespace
