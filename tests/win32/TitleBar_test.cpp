// The themed title bar on a plain form, driven by window messages and real input: its
// buttons minimize, maximize, restore and close the form, double clicks, the control-box
// menu, dragging, the two rule dialogs, a stored layout, and pixels per style on a DIB.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <thread>

#include "framework/Application.h"
#include "framework/Canvas.h"
#include "framework/FileUtil.h"
#include "framework/Forms.h"
#include "framework/Streams.h"
#include "framework/Text.h"
#include "skin/VEL2SkinWriter.h"
#include "skin/VELMgr.h"
#include "skin/VELPublicControls.h"
#include "skin/VELTitleBar.h"
#include "tests/win32/BoxRobot.h"
#include "tests/win32/MenuRobot.h"
#include "tests/win32/Render.h"

namespace {

TPoint Centre(const TRect& r) { return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }

// Keys typed into the next popup menu that opens; before typing, `seen` runs with the menu open.
void TypeIntoNextMenu(std::vector<UINT> keys, std::function<void()> seen = nullptr) {
  menu_robot::ActOnNextMenu([keys = std::move(keys), seen = std::move(seen)](HWND menu) {
    if (seen) seen();
    menu_robot::Keys(menu, keys);
  });
}

class TitleBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterVelTitleBarClasses();
    form = std::make_unique<TForm>(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(60, 50, 420, 240);
    bar = new TvelTitleBar(form.get());
    bar->SetParent(form.get());
    bar->SetCaption("Title");
    form->Show();
    Application->ProcessMessages();
    Render(*bar);
  }
  void Move(TPoint p) { SendMessageW(bar->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(p.X, p.Y)); }
  void Click(TPoint p) {
    Move(p);
    SendMessageW(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.X, p.Y));
    SendMessageW(bar->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(p.X, p.Y));
    Application->ProcessMessages();
  }
  void DoubleClick(TPoint p) {
    Move(p);
    SendMessageW(bar->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(p.X, p.Y));
    SendMessageW(bar->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(p.X, p.Y));
    Application->ProcessMessages();
  }
  // Where button index was placed by the last paint.
  TPoint ButtonAt(int index) {
    for (const TitleButtonPlace& p : bar->ForegroundLayout().Buttons)
      if (p.Button == index) return Centre(p.Rect);
    ADD_FAILURE() << "button " << index << " not drawn";
    return {};
  }
  TPoint IconAt() {
    return {bar->ForegroundLayout().ControlBoxRect.Left + 2, bar->ControlBoxTop() + 2};
  }
  HWND Window() { return form->Handle(); }
  std::unique_ptr<TForm> form;
  TvelTitleBar* bar = nullptr;
};

TEST_F(TitleBarTest, NewBarDrawsCloseMaxMinRightToLeftAndTheIconAtTheLeft) {
  ASSERT_EQ(bar->Buttons().Count(), 4);
  const TvelTitleBarBtnType types[] = {velControlBox, velClose, velMax, velMin};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(bar->Buttons().Items(i)->ButtonType(), types[i]);
  const TitleForegroundLayout& l = bar->ForegroundLayout();
  ASSERT_EQ(l.Buttons.size(), 3u);
  EXPECT_EQ(l.Buttons[0].Button, 1);
  EXPECT_GT(l.Buttons[0].Rect.Left, l.Buttons[1].Rect.Left);
  EXPECT_GT(l.Buttons[1].Rect.Left, l.Buttons[2].Rect.Left);
  EXPECT_LE(l.Buttons[0].Rect.Right, bar->Width() - 1);
  EXPECT_EQ(l.ControlBox, 0);
  EXPECT_LT(l.ControlBoxRect.Right, 30);
  EXPECT_EQ(bar->Align(), alTop);
  EXPECT_EQ(bar->Height(), 32);  // DeepBlue's left section
  EXPECT_EQ(bar->DrawnCaption(), "Title");
}

TEST_F(TitleBarTest, ButtonsMinimizeMaximizeRestoreAndClose) {
  Click(ButtonAt(3));
  EXPECT_TRUE(IsIconic(Window()));
  ShowWindow(Window(), SW_RESTORE);
  Application->ProcessMessages();

  const TBitmap maxPicture = bar->Buttons().Items(2)->PicNormal().Bitmap().Clone();
  Click(ButtonAt(2));
  ASSERT_TRUE(IsZoomed(Window()));
  RECT r;
  GetWindowRect(Window(), &r);
  EXPECT_EQ((TRect{r.left, r.top, r.right, r.bottom}), TitleMaximizedBounds(GetWorkAreaRect()));
  // The maximize button now shows the restore frame.
  TBitmap restore;
  GetThemeBitmap(TvelUIStyle::DeepBlue, 5, &restore, 18, 10);
  const TBitmap& shown = bar->Buttons().Items(2)->PicNormal().Bitmap();
  ASSERT_EQ(shown.Width(), restore.Width());
  EXPECT_EQ(shown.GetPixel(9, 9), restore.GetPixel(9, 9));
  Render(*bar);
  Click(ButtonAt(2));
  EXPECT_FALSE(IsZoomed(Window()));
  EXPECT_EQ(bar->Buttons().Items(2)->PicNormal().Bitmap().GetPixel(9, 9), maxPicture.GetPixel(9, 9));

  Render(*bar);
  Click(ButtonAt(1));
  EXPECT_FALSE(IsWindowVisible(Window()));
}

TEST_F(TitleBarTest, DoubleClicksMaximizeRestoreAndCloseOnTheIcon) {
  const TPoint caption{bar->Width() / 2, 10};
  DoubleClick(caption);
  EXPECT_TRUE(IsZoomed(Window()));
  DoubleClick(caption);
  EXPECT_FALSE(IsZoomed(Window()));
  DoubleClick(IconAt());
  EXPECT_FALSE(IsWindowVisible(Window()));
}

TEST_F(TitleBarTest, ControlBoxMenuOpensEnabledByButtonsAndItsItemsWork) {
  bar->Buttons().Items(3)->SetVisible(false);  // no minimize button: its item is greyed
  std::vector<bool> enabled;
  TypeIntoNextMenu({'X'}, [&] {  // 最大化/还原(&X)
    TMenuItem* items = bar->BuiltinControlBoxMenu().Items();
    for (int i = 0; i < items->Count(); ++i) enabled.push_back(items->Items(i)->Enabled());
  });
  Click(IconAt());
  menu_robot::Stop();
  ASSERT_EQ(enabled.size(), 4u);
  EXPECT_FALSE(enabled[0]);
  EXPECT_TRUE(enabled[1]);
  EXPECT_TRUE(enabled[3]);
  EXPECT_TRUE(IsZoomed(Window()));
  EXPECT_EQ(bar->BuiltinControlBoxMenu().Items()->Items(3)->Caption(), "关闭(&C)");

  TypeIntoNextMenu({'C'});
  Click(IconAt());
  menu_robot::Stop();
  EXPECT_FALSE(IsWindowVisible(Window()));
}

TEST_F(TitleBarTest, ButtonWithoutAPictureIsNeitherDrawnNorHot) {
  const TPoint minAt = ButtonAt(3);
  bar->Buttons().Items(3)->PicMouseOn().Clear();
  Move(minAt);
  for (const TitleButtonPlace& p : bar->ForegroundLayout().Buttons) EXPECT_NE(p.Button, 3);
  EXPECT_EQ(bar->HotIndex(), -1);
  Move(ButtonAt(1));
  EXPECT_EQ(bar->HotIndex(), 1);
}

TEST_F(TitleBarTest, HelpAndCustomButtonsFireTheirEvents) {
  bar->Buttons().Add()->SetButtonType(velHelp);
  TvelTitleBarButton* custom = bar->Buttons().Add();  // velCustom: pictures of its own
  for (TvelPicture* p : {&custom->PicNormal(), &custom->PicMouseOn(), &custom->PicMouseDown()}) p->Assign(TBitmap(12, 12));
  std::vector<int> help, customs;
  bar->OnHelpBtnClick = [&](TComponent* sender, int index) { help.push_back(sender == bar ? index : -1); };
  bar->OnCustomBtnsClick = [&](TComponent* sender, int index) { customs.push_back(sender == bar ? index : -1); };
  Render(*bar);
  Click(ButtonAt(4));
  Click(ButtonAt(5));
  EXPECT_EQ(help, std::vector<int>{4});
  EXPECT_EQ(customs, std::vector<int>{5});
  EXPECT_TRUE(IsWindowVisible(Window()));
  EXPECT_FALSE(IsZoomed(Window()));
}

TEST_F(TitleBarTest, LongCaptionEndsInEllipsis) {
  bar->SetCaption(std::string(200, 'W'));
  Render(*bar);
  const std::string& shown = bar->DrawnCaption();
  ASSERT_GT(shown.size(), 3u);
  EXPECT_EQ(shown.substr(shown.size() - 3), "...");
  EXPECT_LT(shown.size(), 60u);
}

TEST_F(TitleBarTest, OnlyOneControlBoxAndOneClientSection) {
  {
    BoxRobot robot(GbkToWide(Application->Title()), IDOK);
    bar->Buttons().Items(1)->SetButtonType(velControlBox);
    EXPECT_EQ(robot.Seen().text, GbkToWide("Sorry, only one button's ButtonType property can be \"velControlBox\""));
  }
  EXPECT_EQ(bar->Buttons().Items(1)->ButtonType(), velClose);
  {
    BoxRobot robot(GbkToWide(Application->Title()), IDOK);
    bar->Sections().Items(0)->SetAlign(velClient);
    EXPECT_EQ(robot.Seen().text, GbkToWide("Sorry, only one section's Align property can be \"velClient\""));
  }
  EXPECT_EQ(bar->Sections().Items(0)->Align(), velLeft);
}

TEST_F(TitleBarTest, RemovedFileThemeFallsBackToDeepBlue) {
  auto* theme = new TvelFileTheme(form.get());
  bar->SetUIStyle(TvelUIStyle::BlueGlass);
  bar->SetFileTheme(theme);
  theme->Free();
  EXPECT_EQ(bar->FileTheme(), nullptr);
  EXPECT_EQ(bar->UIStyle(), TvelUIStyle::DeepBlue);
}

TEST_F(TitleBarTest, StoredLayoutFillsCustomSectionsAndButtons) {
  TForm stored(nullptr);
  stored.LoadLayout(R"(object F: TForm
  object Bar: TvelTitleBar
    Custom = True
    UIStyle = MacOS
    Sections = <
      item
        Align = velClient
        Width = 40
      end>
    Buttons = <
      item
        ButtonType = velClose
        ControlBoxMenu = Menu1
      end
      item
        ButtonType = velHelp
        Visible = False
      end>
    ButtonInterval = 3
    Caption = 'Stored'
  end
  object Menu1: TvelPopupMenu
  end
end)");
  auto* loaded = dynamic_cast<TvelTitleBar*>(stored.FindComponent("Bar"));
  ASSERT_NE(loaded, nullptr);
  ASSERT_EQ(loaded->Sections().Count(), 1);
  EXPECT_EQ(loaded->Sections().Items(0)->Align(), velClient);
  EXPECT_TRUE(loaded->Sections().Items(0)->Stretch());
  ASSERT_EQ(loaded->Buttons().Count(), 2);
  EXPECT_EQ(loaded->Buttons().Items(1)->ButtonType(), velHelp);
  EXPECT_FALSE(loaded->Buttons().Items(1)->Visible());
  EXPECT_TRUE(loaded->Buttons().Items(0)->HasPictures());
  EXPECT_EQ(loaded->Buttons().Items(0)->ControlBoxMenu(), stored.FindComponent("Menu1"));
  EXPECT_EQ(loaded->ButtonInterval(), 3);
  EXPECT_EQ(loaded->Caption(), "Stored");
}

// Left and right sections, and the close button, as the style's bitmaps give them.
TEST_F(TitleBarTest, PixelsPerStyle) {
  for (TvelUIStyle style : {TvelUIStyle::MacOS, TvelUIStyle::WinXP, TvelUIStyle::DeepBlue, TvelUIStyle::Protein,
                            TvelUIStyle::BlueGlass}) {
    SCOPED_TRACE(static_cast<int>(style));
    bar->SetUIStyle(style);
    const TBitmap shot = Render(*bar);
    TBitmap left, right, close;
    GetThemeBitmap(style, 10, &left, 0, 0);
    GetThemeBitmap(style, 12, &right, 0, 0);
    GetThemeBitmap(style, 5, &close, 18, 16);
    const int h = bar->Height(), w = bar->Width();
    ASSERT_EQ(h, left.Height());
    EXPECT_EQ(shot.GetPixel(1, h - 1), left.GetPixel(1, h - 1));
    uint32_t rightPixel = right.GetPixel(right.Width() - 1, h - 1);
    if (rightPixel == ColorToPixel(kSkinKeyColor)) rightPixel = ColorToPixel(GetThemeColor(style, 15));
    EXPECT_EQ(shot.GetPixel(w - 1, h - 1), rightPixel);
    const TRect at = bar->ForegroundLayout().Buttons.at(0).Rect;
    const int cx = close.Width() / 2, cy = close.Height() / 2;
    const uint32_t key = close.GetPixel(0, close.Height() - 1);
    if (!GetThemeBool(style, 6) || close.GetPixel(cx, cy) != key) {
      EXPECT_EQ(shot.GetPixel(at.Left + cx, at.Top + cy), close.GetPixel(cx, cy));
    }
  }
}

// A skin with three plain title sections (red, green, blue with a fuchsia right column) and
// title buttons whose frame n is filled with n * 0x0A.
std::string WriteTitleSkin() {
  auto plain = [](int w, int h, uint32_t rgb) {
    TBitmap b(w, h);
    b.Fill(rgb);
    return b;
  };
  TBitmap third = plain(30, 25, 0x0000FF);
  for (int y = 0; y < 25; ++y) third.SetPixel(29, y, 0xFF00FF);
  TBitmap buttons(18 * 15, 15);
  for (int x = 0; x < buttons.Width(); ++x)
    for (int y = 0; y < 15; ++y) buttons.SetPixel(x, y, static_cast<uint32_t>(x / 15 + 1) * 0x0A);
  const Bytes b1 = plain(20, 25, 0xFF0000).SaveToBmp(), b2 = plain(4, 25, 0x00FF00).SaveToBmp(),
              b3 = third.SaveToBmp(), bb = buttons.SaveToBmp();
  std::vector<Sk2Item> items = {
      Sk2Item::Integer("SKIN2_TRANSCOLOR", 0xFF00FF),      Sk2Item::Integer("SKIN2_TITLEFONTCOLOR", 0x123456),
      Sk2Item::Integer("SKIN2_FORMCOLOR", 0x00C0C0),       Sk2Item::Boolean("SKIN2_TITLEFIVESECT", false),
      Sk2Item::Integer("SKIN2_TITLEBARICONPOSX", 5),       Sk2Item::Integer("SKIN2_TITLEBARICONPOSY", 4),
      Sk2Item::Integer("SKIN2_TITLEBARCAPTIONTOP", 6),     Sk2Item::Integer("SKIN2_TITLEBARBUTTONPOSX", 2),
      Sk2Item::Integer("SKIN2_TITLEBARBUTTONPOSY", 5),     Sk2Item::Boolean("SKIN2_TITLEBTNTRANS", false),
      Sk2Item::Bitmap("SKIN2_TITLEBAR1", {b1.data(), b1.size()}), Sk2Item::Bitmap("SKIN2_TITLEBAR2", {b2.data(), b2.size()}),
      Sk2Item::Bitmap("SKIN2_TITLEBAR3", {b3.data(), b3.size()}), Sk2Item::Bitmap("SKIN2_TITLEBUTTONS", {bb.data(), bb.size()})};
  const std::vector<uint8_t> file = BuildSkinContainer(BuildSk2Data(items));
  const std::string path = TempFolder() + "TitleBar.ssk";
  TFileStream out(path, FileMode::Create);
  out.WriteBuffer(file.data(), file.size());
  return path;
}

TEST_F(TitleBarTest, FileThemeSectionsButtonsAndColours) {
  auto* theme = new TvelFileTheme(form.get());
  theme->SetThemeFile(WriteTitleSkin());
  ASSERT_TRUE(theme->Ready());
  bar->SetFileTheme(theme);  // in streaming order: the theme leaves the font colour alone
  bar->SetUIStyle(TvelUIStyle::FromThemeFile);
  ASSERT_EQ(bar->Sections().Count(), 3);
  EXPECT_EQ(bar->Sections().Items(1)->Align(), velClient);
  EXPECT_EQ(bar->Sections().Items(2)->Align(), velRight);
  EXPECT_EQ(bar->Height(), 25);
  EXPECT_EQ(bar->Font().Color(), 0x123456u);
  EXPECT_EQ(bar->MinFormWidth(), 20 + 15 * 4 + 2);  // left section + max(right section, buttons)
  EXPECT_EQ(form->MinWidth(), bar->MinFormWidth());
  bar->SetUIStyle(TvelUIStyle::MacOS);
  EXPECT_EQ(form->MinWidth(), GetThemeInt(TvelUIStyle::MacOS, 13));
  EXPECT_EQ(form->MinHeight(), 50);
  bar->SetUIStyle(TvelUIStyle::FromThemeFile);
  const TBitmap shot = Render(*bar);
  const int w = bar->Width();
  EXPECT_EQ(shot.GetPixel(1, 24), 0xFF0000u);
  EXPECT_EQ(shot.GetPixel(w / 2, 24), 0x00FF00u);
  EXPECT_EQ(shot.GetPixel(w - 2, 24), 0x0000FFu);
  EXPECT_EQ(shot.GetPixel(w - 1, 24), ColorToPixel(0x00C0C0));  // key column over the form colour
  const TRect close = bar->ForegroundLayout().Buttons.at(0).Rect;
  EXPECT_EQ(close.Top, 5);
  EXPECT_EQ(shot.GetPixel(close.Left + 7, close.Top + 7), 16u * 0x0A);
  EXPECT_EQ(bar->TitleStripOverBackground().GetPixel(w - 1, 0), ColorToPixel(0x00C0C0));
}

// A form frame stand-in: a panel that says it is one, on a form answering the border query.
class TFrameHost : public TForm {
 public:
  using TForm::TForm;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
    return msg == WM_FRAMEBORDERQUERY ? 2 : TForm::WndProc(msg, wParam, lParam);
  }
};
class TFakeFrame : public TCustomControl, public IvelThemable {
 public:
  using TCustomControl::TCustomControl;
  void SetFileTheme(TvelFileTheme*) override {}
  void SetUIStyle(TvelUIStyle) override {}
  TvelUIStyle GetUIStyle() const override { return TvelUIStyle::DeepBlue; }
  bool IsFormFrame() const override { return true; }
};

TEST(TitleBarOnFormFrame, StripLaidOutUnderTheBorderAndButtonsRaised) {
  TFrameHost host(nullptr);
  host.SetBorderStyle(bsNone);
  host.SetBounds(80, 80, 300, 200);
  auto* frame = new TFakeFrame(&host);
  frame->SetParent(&host);
  frame->SetAlign(alClient);
  auto* framed = new TvelTitleBar(&host);
  framed->SetParent(frame);
  framed->SetUIStyle(TvelUIStyle::DeepBlue);  // again, now that it knows its parent
  host.Show();
  Application->ProcessMessages();
  const TBitmap shot = Render(*framed);
  EXPECT_EQ(framed->Height(), 29);  // 32, less the 3 rows under the frame's top edge
  EXPECT_EQ(framed->ButtonTop(), -1);
  EXPECT_EQ(framed->TitleStrip().Width(), framed->Width() + 4);
  EXPECT_EQ(framed->TitleStrip().Height(), 32);
  TBitmap left;
  GetThemeBitmap(TvelUIStyle::DeepBlue, 10, &left, 0, 0);
  EXPECT_EQ(shot.GetPixel(1, 28), left.GetPixel(3, 31));  // the strip starts at (-2, -3)
  EXPECT_EQ(framed->TitleStrip().GetPixel(3, 31), left.GetPixel(3, 31));
}

// Real input: a press on the caption hands the form to the system's move loop.
TEST_F(TitleBarTest, DraggingTheCaptionMovesTheForm) {
  RECT before;
  GetWindowRect(Window(), &before);
  POINT start{bar->Width() / 2, 12};
  ClientToScreen(bar->Handle(), &start);
  auto send = [](DWORD flags, int x, int y) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    SendInput(1, &in, sizeof in);
    Sleep(40);
  };
  std::thread hand([&] {
    send(0, start.x, start.y);
    send(MOUSEEVENTF_LEFTDOWN, start.x, start.y);
    for (int i = 1; i <= 6; ++i) send(0, start.x + 10 * i, start.y + 5 * i);
    send(MOUSEEVENTF_LEFTUP, start.x + 60, start.y + 30);
  });
  for (int i = 0; i < 60; ++i) {
    Application->ProcessMessages();
    Sleep(20);
  }
  hand.join();
  Application->ProcessMessages();
  RECT after;
  GetWindowRect(Window(), &after);
  EXPECT_EQ(after.left - before.left, 60);
  EXPECT_EQ(after.top - before.top, 30);
}

}  // namespace
