// The themed form frame on a real window: the host's caption goes, the shape follows the
// size and the style, the menu bar and Alt+Space open their menus, the title bar's buttons
// act on the framed form.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/FileUtil.h"
#include "framework/Streams.h"
#include "skin/VEL2SkinWriter.h"
#include "skin/VELControlThemes.h"
#include "skin/VELForm.h"
#include "skin/VELMainMenu.h"
#include "skin/VELPublic.h"
#include "tests/win32/MenuRobot.h"

namespace {

const char* kLayout = R"(object Host: TForm
  Left = 40
  Top = 30
  Width = 420
  Height = 300
  BorderStyle = %s
  object Menu1: TvelMainMenu
    object FileItem: TMenuItem
      Caption = '&File'
      object OpenItem: TMenuItem
        Caption = '&Open'
        OnClick = Chosen
      end
    end
    object EditItem: TMenuItem
      Caption = '&Edit'
      object CopyItem: TMenuItem
        Caption = '&Copy'
        OnClick = Chosen
      end
    end
    object HelpItem: TMenuItem
      Caption = '&Help'
      Enabled = False
    end
  end
  object Frame: TvelForm
    UIStyle = BlueGlass
    Caption = 'Framed'
    Menu = Menu1
  end
end)";

class FormFrameTest : public ::testing::Test {
 protected:
  void Load(const char* borderStyle = "bsSizeable") {
    RegisterVelFormClasses();
    form = std::make_unique<TForm>(nullptr);
    form->AddMethod("Chosen", [this](TComponent* sender) { chosen.push_back(sender->Name()); });
    char text[2048];
    snprintf(text, sizeof text, kLayout, borderStyle);
    form->LoadLayout(text);
    frame = dynamic_cast<TvelForm*>(form->FindComponent("Frame"));
    ASSERT_NE(frame, nullptr);
    form->Show();
    Application->ProcessMessages();
  }
  void TearDown() override {
    form.reset();
    Application->ProcessMessages();
  }
  HWND Window() { return form->Handle(); }
  // Whether a window point lies inside the window's region (no region: the whole window).
  bool InShape(int x, int y) {
    UniqueRgn region(CreateRectRgn(0, 0, 0, 0));
    if (GetWindowRgn(Window(), region.get()) == ERROR) return true;
    return PtInRegion(region.get(), x, y) != FALSE;
  }
  RECT Box() {
    UniqueRgn region(CreateRectRgn(0, 0, 0, 0));
    GetWindowRgn(Window(), region.get());
    RECT r{};
    GetRgnBox(region.get(), &r);
    return r;
  }
  void Resize(int w, int h) {
    SetWindowPos(Window(), nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER);
    Application->ProcessMessages();
  }
  std::unique_ptr<TForm> form;
  TvelForm* frame = nullptr;
  std::vector<std::string> chosen;
};

TEST_F(FormFrameTest, TakesOverTheFrame) {
  Load("bsSingle");
  EXPECT_TRUE(frame->Active());
  EXPECT_EQ(frame->Version(), "6.21");
  EXPECT_EQ(form->BorderStyle(), bsDialog);  // bsSingle becomes a dialog frame
  EXPECT_EQ(GetWindowLongPtrW(Window(), GWL_STYLE) & WS_CAPTION, 0);
  EXPECT_EQ(form->Caption(), "Framed");
  EXPECT_EQ(DefaultStyleFor(form.get()), TvelUIStyle::BlueGlass);  // new controls take the frame's style
  EXPECT_GE(SendMessageW(Window(), WM_FRAMEBORDERQUERY, 0, 0), 0);
  // The client area reaches to within a few pixels of the window's edges.
  RECT window, client;
  GetWindowRect(Window(), &window);
  GetClientRect(Window(), &client);
  MapWindowPoints(Window(), HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
  EXPECT_LE(client.left - window.left, 4);
  EXPECT_LE(client.top - window.top, 4);
  // The title bar on top, the menu bar below it with one button per top-level item.
  ASSERT_NE(frame->TitleBar(), nullptr);
  ASSERT_NE(frame->MenuBar(), nullptr);
  EXPECT_EQ(frame->TitleBar()->Top(), 0);
  EXPECT_EQ(frame->MenuBar()->Top(), frame->TitleBar()->Height());
  ASSERT_EQ(frame->MenuBar()->ButtonCount(), 3);
  EXPECT_FALSE(frame->MenuBar()->Buttons(2)->Enabled());
  EXPECT_EQ(GetMenu(Window()), nullptr);  // the menu lives in the bar
  // A second frame on the same form stays inert; the frame cannot be its own form panel.
  auto* second = new TvelForm(form.get());
  EXPECT_FALSE(second->Active());
  std::string error;
  auto saved = TvelForm::OnRuleError;
  TvelForm::OnRuleError = [&](const std::string& text) { error = text; };
  frame->SetFormPanel(frame);
  TvelForm::OnRuleError = saved;
  EXPECT_EQ(error, "Sorry, you can't select the Form assign to FormPanel property");
  EXPECT_EQ(frame->FormPanel(), nullptr);
}

TEST_F(FormFrameTest, SizeableKeepsItsBorderStyle) {
  Load("bsSizeable");
  EXPECT_EQ(form->BorderStyle(), bsSizeable);
}

TEST(FormFrameLayout, StoredPropertiesReachTheTitleBar) {
  RegisterVelFormClasses();
  TForm form(nullptr);
  form.LoadLayout(R"(object F: TForm
  object Frame: TvelForm
    TitleBarCustom = True
    UIStyle = WinXP
    TitleBarVisible = False
    Caption = 'Stored'
    TitleBarButtons = <
      item
        ButtonType = velClose
      end>
    Font.Name = 'Tahoma'
    MenuBarHeight = 30
    RoundCorner = 5
    Version = '1.0'
  end
end)");
  auto* frame = dynamic_cast<TvelForm*>(form.FindComponent("Frame"));
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(frame->TitleBarCustom());
  EXPECT_EQ(frame->UIStyle(), TvelUIStyle::WinXP);
  EXPECT_FALSE(frame->TitleBarVisible());
  EXPECT_EQ(frame->FrameCaption(), "Stored");
  EXPECT_EQ(form.Caption(), "Stored");
  EXPECT_EQ(frame->TitleBar()->Buttons().Count(), 1);
  EXPECT_EQ(frame->TitleBar()->Font().Name(), "Tahoma");
  EXPECT_EQ(frame->MenuBarHeight(), 30);
  EXPECT_EQ(frame->RoundCorner(), 5);
  EXPECT_EQ(frame->Version(), "6.21");
}

TEST_F(FormFrameTest, ShapeFollowsSizeAndStyle) {
  Load();
  // BlueGlass: rounded top corners, square bottom corners, region as large as the window.
  EXPECT_FALSE(InShape(0, 0));
  EXPECT_TRUE(InShape(200, 0));
  EXPECT_TRUE(InShape(0, form->Height() - 1));
  Resize(500, 360);
  RECT box = Box();
  EXPECT_EQ(box.right, 500);
  EXPECT_EQ(box.bottom, 360);
  EXPECT_FALSE(InShape(499, 0));
  // A style without round corners gives a rectangle.
  frame->SetUIStyle(TvelUIStyle::DeepBlue);
  EXPECT_TRUE(InShape(0, 0));
  // A hidden title bar squares the top corners at the next region update.
  frame->SetUIStyle(TvelUIStyle::BlueGlass);
  EXPECT_FALSE(InShape(0, 0));
  frame->SetTitleBarVisible(false);
  Resize(480, 340);
  EXPECT_TRUE(InShape(0, 0));
  EXPECT_FALSE(frame->TitleBar()->Visible());
  EXPECT_EQ(frame->MenuBar()->Top(), 0);
}

TEST_F(FormFrameTest, MenuBarOpensTheMainMenu) {
  Load();
  TToolButton* file = frame->MenuBar()->Buttons(0);
  HWND bar = frame->MenuBar()->Handle();
  LPARAM at = MAKELPARAM(file->Left() + 5, file->Top() + 5);
  RECT menuRect{};
  UINT_PTR timer = menu_robot::ActOnNextMenu([&](HWND menu) {
    GetWindowRect(menu, &menuRect);
    menu_robot::Keys(menu, {VK_DOWN, VK_RETURN});
  });
  SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(bar, WM_LBUTTONUP, 0, at);
  menu_robot::Stop(timer);
  EXPECT_EQ(chosen, std::vector<std::string>{"OpenItem"});
  // The drop-down opens under the button.
  POINT below{file->Left(), file->Top() + file->Height()};
  ClientToScreen(bar, &below);
  EXPECT_EQ(menuRect.top, below.y);
  // Alt plus the accelerator opens it too (the keyboard's menu command).
  timer = menu_robot::ActOnNextMenu([](HWND menu) { menu_robot::Keys(menu, {VK_DOWN, VK_RETURN}); });
  SendMessageW(Window(), WM_SYSCOMMAND, SC_KEYMENU, 'f');
  menu_robot::Stop(timer);
  EXPECT_EQ(chosen.size(), 2u);
  // Left in the open drop-down moves to the neighbouring one: the disabled Help is skipped,
  // so it wraps round to Edit.
  auto* edit = dynamic_cast<TMenuItem*>(form->FindComponent("EditItem"));
  std::function<void(HWND)> inEdit = [&](HWND menu) {
    MENUITEMINFOW info{sizeof info, MIIM_SUBMENU};
    GetMenuItemInfoW(static_cast<HMENU>(edit->GetParentMenu()->Handle()), edit->Command(), FALSE, &info);
    if (reinterpret_cast<HMENU>(SendMessageW(menu, 0x01E1 /* MN_GETHMENU */, 0, 0)) != info.hSubMenu) {
      timer = menu_robot::ActOnNextMenu(inEdit);
      return;
    }
    menu_robot::Keys(menu, {VK_DOWN, VK_RETURN});
  };
  timer = menu_robot::ActOnNextMenu([&](HWND menu) {
    menu_robot::Keys(menu, {VK_LEFT});
    timer = menu_robot::ActOnNextMenu(inEdit);
  });
  SendMessageW(Window(), WM_SYSCOMMAND, SC_KEYMENU, 'f');
  menu_robot::Stop(timer);
  EXPECT_EQ(chosen.back(), "CopyItem");
}

TEST_F(FormFrameTest, AltSpaceOpensTheControlBoxMenuBelowTheTitleBar) {
  Load();
  RECT menuRect{};
  bool opened = false;
  UINT_PTR timer = menu_robot::ActOnNextMenu([&](HWND menu) {
    opened = true;
    GetWindowRect(menu, &menuRect);
    menu_robot::Keys(menu, {VK_ESCAPE});
  });
  PostMessageW(Window(), WM_SYSCHAR, ' ', 1 << 29);
  Application->ProcessMessages();
  menu_robot::Stop(timer);
  ASSERT_TRUE(opened);
  EXPECT_EQ(menuRect.left, form->Left());
  EXPECT_EQ(menuRect.top, form->Top() + frame->TitleBar()->Height());
}

TEST_F(FormFrameTest, TitleBarButtonsActOnTheFramedForm) {
  Load();
  TvelTitleBar* bar = frame->TitleBar();
  auto index = [&](TvelTitleBarBtnType type) {
    for (int i = 0; i < bar->Buttons().Count(); ++i)
      if (static_cast<TvelTitleBarButton*>(bar->Buttons().Items(i))->ButtonType() == type) return i;
    return -1;
  };
  bar->ExecuteButton(index(velMax));
  Application->ProcessMessages();
  EXPECT_TRUE(IsZoomed(Window()));
  RECT r;
  GetWindowRect(Window(), &r);
  EXPECT_EQ((TRect{r.left, r.top, r.right, r.bottom}), MaximizedFormBounds(GetWorkAreaRect(Window())));
  bar->ExecuteButton(index(velMax));
  Application->ProcessMessages();
  EXPECT_FALSE(IsZoomed(Window()));
  bar->ExecuteButton(index(velMin));
  Application->ProcessMessages();
  EXPECT_TRUE(IsIconic(Window()));
  ShowWindow(Window(), SW_RESTORE);
  bool closed = false;
  form->OnClose = [&](TComponent*, TCloseAction&) { closed = true; };
  bar->ExecuteButton(index(velClose));
  EXPECT_TRUE(closed);
}

TEST_F(FormFrameTest, RemovedFileThemeFallsBackAndRemovalGivesTheCaptionBack) {
  Load();
  auto* theme = new TvelFileTheme(form.get());
  frame->SetFileTheme(theme);
  frame->SetUIStyle(TvelUIStyle::FromThemeFile);
  theme->Free();
  EXPECT_EQ(frame->FileTheme(), nullptr);
  EXPECT_EQ(frame->UIStyle(), TvelUIStyle::DeepBlue);
  frame->Free();
  EXPECT_NE(GetWindowLongPtrW(Window(), GWL_STYLE) & WS_CAPTION, 0);
  SendMessageW(Window(), WM_NCPAINT, 1, 0);  // the form's own procedure answers again
}

// The frame is painted on the whole window's device context: beside the client area, the
// BorderColor band, Color inside it and the title picture's top rows above it.
TEST_F(FormFrameTest, FrameIsPaintedOutsideTheClientArea) {
  Load();
  frame->PaintFormFrame();
  HDC dc = GetWindowDC(Window());
  const int mid = frame->HostForm()->Height() / 2;
  EXPECT_EQ(GetPixel(dc, 0, mid), ColorToRGB(frame->BorderColor()));
  EXPECT_EQ(GetPixel(dc, 1, mid), ColorToRGB(frame->Color()));
  const TBitmap& left = frame->TitleBar()->Sections().Items(0)->Picture().Bitmap();
  ASSERT_GT(left.Width(), 6);
  EXPECT_EQ(GetPixel(dc, 6, 2), ColorToRGB(PixelToColor(left.GetPixel(6, 2))));  // inside the round corner
  ReleaseDC(Window(), dc);
}

// With a file theme the frame's top rows and the columns beside the title bar come from the
// title strip: here its solid red left section, which reaches under the frame.
TEST_F(FormFrameTest, FileThemeFrameTopComesFromTheTitleStrip) {
  Load();
  auto solid = [](int w, int h, uint32_t rgb) {
    TBitmap b(w, h);
    b.Fill(rgb);
    return b.SaveToBmp();
  };
  const Bytes left = solid(40, 28, 0xFF0000), client = solid(8, 28, 0x00FF00), right = solid(12, 28, 0x0000FF);
  const std::vector<Sk2Item> items = {
      Sk2Item::Integer("SKIN2_TRANSCOLOR", 0xFF00FF), Sk2Item::Integer("SKIN2_FORMCOLOR", 0x00C0C0),
      Sk2Item::Bitmap("SKIN2_TITLEBAR1", {left.data(), left.size()}),
      Sk2Item::Bitmap("SKIN2_TITLEBAR2", {client.data(), client.size()}),
      Sk2Item::Bitmap("SKIN2_TITLEBAR3", {right.data(), right.size()})};
  const std::vector<uint8_t> file = BuildSkinContainer(BuildSk2Data(items));
  const std::string path = TempFolder() + "FrameTop.ssk";
  {
    TFileStream out(path, FileMode::Create);
    out.WriteBuffer(file.data(), file.size());
  }
  auto* theme = new TvelFileTheme(form.get());
  theme->SetThemeFile(path);
  ASSERT_TRUE(theme->Ready());
  frame->SetFileTheme(theme);
  frame->SetUIStyle(TvelUIStyle::FromThemeFile);
  frame->PaintFormFrame();
  HDC dc = GetWindowDC(Window());
  EXPECT_EQ(GetPixel(dc, 10, 1), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 1, 10), RGB(255, 0, 0));
  ReleaseDC(Window(), dc);
  RemoveFile(path);
}
}  // namespace
