// Menus on real Win32 menus: a form's main menu and a popup menu from a stored layout, chosen
// by window messages and by a robot typing into the open menu; the themed menus' owner-draw
// answers and the pixels of a drawn item in every style.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "framework/Application.h"
#include "framework/Canvas.h"
#include "framework/Forms.h"
#include "framework/ImageList.h"
#include "framework/Menus.h"
#include "skin/VELMainMenu.h"
#include "skin/VELPopupMenu.h"
#include "skin/VELPublic.h"
#include "tests/win32/MenuRobot.h"

namespace {

using menu_robot::ActOnNextMenu;
using menu_robot::OpenMenuWindow;
using menu_robot::TypeIntoNextMenu;
void StopRobot() { menu_robot::Stop(); }

const char* kLayout = R"(object MenuForm: TForm
  BorderStyle = bsNone
  ClientWidth = 300
  ClientHeight = 200
  Menu = MainMenu1
  PopupMenu = Popup1
  object MainMenu1: TMainMenu
    object FileItem: TMenuItem
      Caption = '&File'
      object OpenItem: TMenuItem
        Caption = '&Open'
        ShortCut = 16463
        OnClick = Chosen
      end
      object GoneItem: TMenuItem
        Caption = 'Gone'
        Enabled = False
        OnClick = Chosen
      end
      object SmallItem: TMenuItem
        Caption = 'Small'
        RadioItem = True
        AutoCheck = True
        Checked = True
      end
      object LargeItem: TMenuItem
        Caption = 'Large'
        RadioItem = True
        AutoCheck = True
      end
    end
  end
  object Popup1: TPopupMenu
    object CutItem: TMenuItem
      Caption = 'Cut'
      OnClick = Chosen
    end
    object WrapItem: TMenuItem
      Caption = 'Wrap'
      AutoCheck = True
    end
  end
end)";

class MenusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<TForm>(nullptr);
    form->AddMethod("Chosen", [this](TComponent* sender) { chosen.push_back(sender->Name()); });
    form->LoadLayout(kLayout);
    form->Show();
    Application->ProcessMessages();
  }
  TMenuItem* Item(const char* name) { return dynamic_cast<TMenuItem*>(form->FindComponent(name)); }
  void Command(TMenuItem* item) { SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(item->Command(), 0), 0); }
  UINT State(TMenuItem* item) {
    return GetMenuState(GetMenu(form->Handle()), static_cast<UINT>(item->Command()), MF_BYCOMMAND);
  }
  std::unique_ptr<TForm> form;
  std::vector<std::string> chosen;
};

TEST_F(MenusTest, MainMenuInTheFormsBar) {
  HMENU bar = GetMenu(form->Handle());
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(GetMenuItemCount(bar), 1);
  EXPECT_EQ(GetMenuItemCount(GetSubMenu(bar, 0)), 4);
  // The layout's client height is the height below the bar.
  EXPECT_EQ(form->ClientHeight(), 200);
  wchar_t text[32] = {};
  GetMenuStringW(bar, static_cast<UINT>(Item("OpenItem")->Command()), text, 32, MF_BYCOMMAND);
  EXPECT_STREQ(text, L"&Open\tCtrl+O");
  EXPECT_TRUE(State(Item("GoneItem")) & MF_GRAYED);

  Command(Item("OpenItem"));
  Command(Item("GoneItem"));  // disabled: its handler does not run
  EXPECT_EQ(chosen, std::vector<std::string>{"OpenItem"});

  // A radio item chosen is checked in the rebuilt bar and its partner is cleared.
  Command(Item("LargeItem"));
  EXPECT_TRUE(State(Item("LargeItem")) & MF_CHECKED);
  EXPECT_FALSE(State(Item("SmallItem")) & MF_CHECKED);
  Item("FileItem")->SetVisible(false);
  EXPECT_EQ(GetMenuItemCount(GetMenu(form->Handle())), 0);
}

TEST_F(MenusTest, PopupByRightClickChosenByKeys) {
  // Right click on the form: the popup opens, the robot picks the first item.
  TypeIntoNextMenu({VK_DOWN, VK_RETURN});
  SendMessageW(form->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 20));
  SendMessageW(form->Handle(), WM_RBUTTONUP, 0, MAKELPARAM(20, 20));
  EXPECT_EQ(chosen, std::vector<std::string>{"CutItem"});
  // Popup at a point: the second item, an AutoCheck item, toggles.
  auto* popup = dynamic_cast<TPopupMenu*>(form->FindComponent("Popup1"));
  TypeIntoNextMenu({VK_DOWN, VK_DOWN, VK_RETURN});
  popup->Popup(100, 100);
  EXPECT_TRUE(Item("WrapItem")->Checked());
  // Escape closes it without a choice.
  TypeIntoNextMenu({VK_ESCAPE});
  popup->Popup(100, 100);
  EXPECT_EQ(chosen.size(), 1u);
  EXPECT_TRUE(Item("WrapItem")->Checked());
}

TEST(VelMenus, StoredPropertiesAndStyleRules) {
  RegisterVelMenuClasses();
  TForm form(nullptr);
  form.LoadLayout(R"(object F: TForm
  object Theme: TvelFileTheme
  end
  object Pop: TvelPopupMenu
    UIStyle = MacOS
    MenuItemHeight = 30
    BarWidth = 12
    Color = clRed
    FontName = 'Tahoma'
    UseSystemFont = False
  end
  object Bar: TvelMainMenu
    OwnerDraw = False
    UIStyle = MacOS
    MenuItemHeight = 30
    SeparatorHeight = 9
  end
end)");
  auto* pop = dynamic_cast<TvelPopupMenu*>(form.FindComponent("Pop"));
  auto* bar = dynamic_cast<TvelMainMenu*>(form.FindComponent("Bar"));
  ASSERT_TRUE(pop && bar);
  EXPECT_EQ(pop->MenuItemHeight(), 20);  // a popup ignores it while MacOS
  EXPECT_EQ(pop->Look().BarWidth, 12);
  EXPECT_EQ(pop->Look().Color, clRed);
  EXPECT_EQ(pop->Look().FontName, "Tahoma");
  EXPECT_FALSE(pop->Look().UseSystemFont);
  EXPECT_EQ(bar->MenuItemHeight(), 30);   // a main menu stores it
  EXPECT_EQ(bar->SeparatorHeight(), 12);  // both ignore this one while MacOS
  EXPECT_TRUE(bar->OwnerDraw());
  // The theme goes: the popup forgets it and falls back to DeepBlue.
  pop->SetFileTheme(dynamic_cast<TvelFileTheme*>(form.FindComponent("Theme")));
  form.FindComponent("Theme")->Free();
  EXPECT_EQ(pop->FileTheme(), nullptr);
  EXPECT_EQ(pop->UIStyle(), TvelUIStyle::DeepBlue);
  EXPECT_EQ(pop->Look().SeparatorHeight, 5);
}

// Records what the system asked for and was answered.
class TProbedPopup : public TvelPopupMenu {
 public:
  using TvelPopupMenu::TvelPopupMenu;
  void MeasureItem(TMenuItem& item, TCanvas& canvas, int& width, int& height) override {
    TvelPopupMenu::MeasureItem(item, canvas, width, height);
    measured[item.Caption()] = {width, height};
  }
  void DrawItem(TMenuItem& item, TCanvas& canvas, const TRect& rect, bool selected) override {
    TvelPopupMenu::DrawItem(item, canvas, rect, selected);
    drawn[item.Caption()] = rect;
  }
  std::map<std::string, TPoint> measured;
  std::map<std::string, TRect> drawn;
};

TMenuItem* AddItem(TMenu& menu, const std::string& caption, TShortCut shortCut = 0) {
  auto* item = new TMenuItem(&menu);
  item->SetCaption(caption);
  item->SetShortCut(shortCut);
  menu.Items()->Add(item);
  return item;
}

TEST(VelMenus, OwnerDrawAnsweredWithMeasuredSizes) {
  RegisterVelMenuClasses();
  TProbedPopup popup(nullptr);
  AddItem(popup, "Open", 'O' | scCtrl);
  AddItem(popup, "-");
  AddItem(popup, "Close");
  TypeIntoNextMenu({VK_ESCAPE});
  popup.Popup(50, 50);
  ASSERT_EQ(popup.measured.size(), 3u);
  EXPECT_EQ(popup.measured["-"].Y, 5);
  EXPECT_EQ(popup.measured["Open"].Y, 21);
  // Caption, shortcut, bar and 40 pixels: the shortcut makes "Open" wider than "Close".
  EXPECT_GT(popup.measured["Open"].X, popup.measured["Close"].X);
  ASSERT_EQ(popup.drawn.size(), 3u);
  for (const auto& [caption, size] : popup.measured) EXPECT_EQ(popup.drawn[caption].Height(), size.Y) << caption;

  // The same answers through the window message.
  MEASUREITEMSTRUCT mis{};
  mis.CtlType = ODT_MENU;
  mis.itemID = static_cast<UINT>(popup.Items()->Items(2)->Command());
  intptr_t result = 0;
  ASSERT_TRUE(HandleMenuMessage(WM_MEASUREITEM, 0, reinterpret_cast<intptr_t>(&mis), result));
  EXPECT_EQ(static_cast<int>(mis.itemWidth), popup.measured["Close"].X);
  popup.SetUIStyle(TvelUIStyle::MacOS);
  popup.SetMenuItemHeight(40);  // ignored while MacOS
  ASSERT_TRUE(HandleMenuMessage(WM_MEASUREITEM, 0, reinterpret_cast<intptr_t>(&mis), result));
  EXPECT_EQ(mis.itemHeight, 20u);
  TvelMainMenu main(nullptr);
  main.SetUIStyle(TvelUIStyle::MacOS);
  main.SetMenuItemHeight(40);  // stored on a main menu
  EXPECT_EQ(main.MenuItemHeight(), 40);
}

TBitmap DrawOne(TvelMenuSkin& skin, TMenuItem& item, bool selected) {
  TBitmap out(150, 21);
  {
    TBitmapCanvas canvas(out);
    skin.DrawSkinItem(item, canvas, {0, 0, 150, 21}, selected);
  }
  GdiFlush();
  return out;
}
uint32_t At(const TBitmap& b, int x, int y) { return PixelToColor(b.GetPixel(x, y)); }

TEST(VelMenus, DrawnItemPixelsPerStyle) {
  RegisterVelMenuClasses();
  TvelPopupMenu popup(nullptr);
  TMenuItem* item = AddItem(popup, "Open");
  TMenuItem* line = AddItem(popup, "-");
  for (TvelUIStyle style : {TvelUIStyle::MacOS, TvelUIStyle::WinXP, TvelUIStyle::DeepBlue, TvelUIStyle::Protein,
                            TvelUIStyle::BlueGlass, TvelUIStyle::FromThemeFile}) {
    SCOPED_TRACE(static_cast<int>(style));
    popup.SetUIStyle(style);
    const TvelMenuLook& look = popup.Look();
    const TBitmap plain = DrawOne(popup, *item, false), selected = DrawOne(popup, *item, true);
    const TBitmap separator = DrawOne(popup, *line, false);
    if (style == TvelUIStyle::MacOS) {
      TBitmap bar, select;
      LoadSkinBitmap("MACOS_MENU_BAR", bar);
      LoadSkinBitmap("MACOS_MENU_SELECT", select);
      EXPECT_EQ(plain.GetPixel(0, 0), bar.GetPixel(0, 0));
      EXPECT_EQ(selected.GetPixel(0, 0), select.GetPixel(0, 0));
      EXPECT_EQ(separator.GetPixel(0, 0), bar.GetPixel(0, 0));
      continue;
    }
    EXPECT_EQ(At(plain, 0, 1), ResolveSystemColor(look.BarColor));
    EXPECT_EQ(At(plain, 148, 1), ResolveSystemColor(look.Color));
    EXPECT_EQ(At(selected, 0, 0), ResolveSystemColor(look.SelectedBorderColor));
    EXPECT_EQ(At(selected, 148, 2), ResolveSystemColor(look.SelectedColor));
    EXPECT_EQ(At(separator, 100, 2), ResolveSystemColor(look.SeparatorColor));
    EXPECT_EQ(At(separator, 100, 4), ResolveSystemColor(look.Color));
  }

  // A checked item shows the check mark at (4, 3); greyed when disabled.
  popup.SetUIStyle(TvelUIStyle::DeepBlue);
  item->SetChecked(true);
  TBitmap mark;
  LoadSkinBitmap("MENU_CHECKED", mark);
  int mx = -1, my = -1;
  for (int y = 0; y < mark.Height() && mx < 0; ++y)
    for (int x = 0; x < mark.Width() && mx < 0; ++x)
      if (mark.GetPixel(x, y) != 0xFFFFFF) mx = x, my = y;
  ASSERT_GE(mx, 0);
  EXPECT_EQ(DrawOne(popup, *item, false).GetPixel(4 + mx, 3 + my), mark.GetPixel(mx, my));
  item->SetEnabled(false);
  EXPECT_EQ(DrawOne(popup, *item, false).GetPixel(4 + mx, 3 + my), GreyedPixel(mark.GetPixel(mx, my)));
}

// 16 x 16 images in one colour each, their top-left pixel in the mask colour.
TImageList* SolidImages(TComponent* owner, std::initializer_list<uint32_t> pixels) {
  auto* list = new TImageList(owner);
  TBitmap strip(16 * static_cast<int>(pixels.size()), 16);
  int x = 0;
  for (uint32_t p : pixels) {
    FillRectColor(strip, {x, 0, x + 16, 16}, PixelToColor(p));
    strip.SetPixel(x, 0, 0xFF00FF);
    x += 16;
  }
  list->AddMasked(strip, clFuchsia);
  return list;
}

TEST(VelMenus, ImagesCheckFramesAndRadioMarks) {
  RegisterVelMenuClasses();
  TvelPopupMenu popup(nullptr);
  popup.SetUIStyle(TvelUIStyle::DeepBlue);
  const TvelMenuLook& look = popup.Look();
  TImageList* images = SolidImages(&popup, {0xFF0000, 0x0000FF});
  popup.SetImages(images);
  TMenuItem* item = AddItem(popup, "Open");
  item->SetImageIndex(1);
  EXPECT_EQ(DrawOne(popup, *item, false).GetPixel(12, 11), 0x0000FFu);
  item->SetEnabled(false);
  EXPECT_EQ(DrawOne(popup, *item, false).GetPixel(12, 11), GreyedPixel(0x0000FF));
  item->SetEnabled(true);
  // Checked with an image: a 19 x 19 black frame at (2, 1), SelectedColor inside, the image
  // over it (its transparent corner shows the fill).
  item->SetChecked(true);
  TBitmap checked = DrawOne(popup, *item, false);
  EXPECT_EQ(At(checked, 2, 1), 0u);
  EXPECT_EQ(At(checked, 20, 19), 0u);
  EXPECT_EQ(At(checked, 3, 2), ResolveSystemColor(look.SelectedColor));
  EXPECT_EQ(At(checked, 4, 3), ResolveSystemColor(look.SelectedColor));
  EXPECT_EQ(checked.GetPixel(5, 3), 0x0000FFu);
  // A checked radio item without an image: a dot in the text colour where the check mark goes.
  TMenuItem* radio = AddItem(popup, "Small");
  radio->SetRadioItem(true);
  radio->SetChecked(true);
  EXPECT_EQ(At(DrawOne(popup, *radio, false), 12, 11), ResolveSystemColor(look.FontColor));
  EXPECT_EQ(At(DrawOne(popup, *radio, true), 12, 11), ResolveSystemColor(look.SelectedFontColor));

  // A main menu reads no Images while its own check-mark list serves (image 0 is the mark).
  TvelMainMenu main(nullptr);
  EXPECT_EQ(main.Images(), nullptr);
  TMenuItem* marked = AddItem(main, "Mark");
  marked->SetImageIndex(0);
  TBitmap mark;
  LoadSkinBitmap("MENU_CHECKED", mark);
  EXPECT_EQ(DrawOne(main, *marked, false).GetPixel(12, 11), mark.GetPixel(8, 8));
  TImageList* given = SolidImages(nullptr, {0x00FF00});
  main.SetImages(given);
  EXPECT_EQ(main.Images(), given);
  EXPECT_EQ(DrawOne(main, *marked, false).GetPixel(12, 11), 0x00FF00u);
  main.SetImages(nullptr);
  EXPECT_EQ(main.Images(), nullptr);
  main.SetImages(given);
  given->Free();  // the given list goes: the own one serves again
  EXPECT_EQ(main.Images(), nullptr);
  EXPECT_EQ(DrawOne(main, *marked, false).GetPixel(12, 11), mark.GetPixel(8, 8));
}

TEST(ImageListOnCanvas, DrawsOverWhatIsThere) {
  TImageList* list = SolidImages(nullptr, {0x0000FF});
  TBitmap target(20, 20);
  target.Fill(0x00FF00);
  {
    TBitmapCanvas canvas(target);
    list->Draw(canvas, 2, 2, 0);
    list->Draw(canvas, 10, 10, 1);  // no such image
  }
  GdiFlush();
  EXPECT_EQ(target.GetPixel(2, 2), 0x00FF00u);  // the image's transparent corner
  EXPECT_EQ(target.GetPixel(3, 2), 0x0000FFu);
  EXPECT_EQ(target.GetPixel(19, 19), 0x00FF00u);
  list->Free();
}

// A form with a themed main menu, chosen from by a robot through the keyboard and the mouse.
const char* kThemedLayout = R"(object MenuForm: TForm
  BorderStyle = bsNone
  ClientWidth = 300
  ClientHeight = 200
  Menu = MainMenu1
  object MainMenu1: TvelMainMenu
    object FileItem: TMenuItem
      Caption = '&File'
      object OpenItem: TMenuItem
        Caption = '&Open'
        OnClick = Chosen
      end
      object GoneItem: TMenuItem
        Caption = '&Gone'
        Enabled = False
        OnClick = Chosen
      end
      object WrapItem: TMenuItem
        Caption = '&Wrap'
        AutoCheck = True
      end
      object SmallItem: TMenuItem
        Caption = '&Small'
        RadioItem = True
        AutoCheck = True
        Checked = True
      end
      object LargeItem: TMenuItem
        Caption = '&Large'
        RadioItem = True
        AutoCheck = True
      end
    end
  end
end)";

class ThemedMainMenuRobot : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterVelMenuClasses();
    form = std::make_unique<TForm>(nullptr);
    form->AddMethod("Chosen", [this](TComponent* sender) { chosen.push_back(sender->Name()); });
    form->LoadLayout(kThemedLayout);
    form->Show();
    SetForegroundWindow(form->Handle());
    Application->ProcessMessages();
  }
  void TearDown() override { StopRobot(); }
  TMenuItem* Item(const char* name) { return dynamic_cast<TMenuItem*>(form->FindComponent(name)); }
  // Opens File as Alt+F does and types the letter into the drop-down.
  void ChooseByKeys(UINT letter) {
    TypeIntoNextMenu({letter});
    SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_KEYMENU, 'f');
    StopRobot();
    Application->ProcessMessages();  // the chosen item's command is posted
  }
  std::unique_ptr<TForm> form;
  std::vector<std::string> chosen;
};

TEST_F(ThemedMainMenuRobot, ChosenByKeyboard) {
  ASSERT_NE(GetMenu(form->Handle()), nullptr);
  ChooseByKeys('O');
  EXPECT_EQ(chosen, std::vector<std::string>{"OpenItem"});
  ChooseByKeys('G');  // disabled: nothing runs
  EXPECT_EQ(chosen.size(), 1u);
  ChooseByKeys('W');
  EXPECT_TRUE(Item("WrapItem")->Checked());
  ChooseByKeys('W');
  EXPECT_FALSE(Item("WrapItem")->Checked());
  ChooseByKeys('L');
  EXPECT_TRUE(Item("LargeItem")->Checked());
  EXPECT_FALSE(Item("SmallItem")->Checked());
}

// A real click at a screen point: the cursor moves there and the button goes down and up.
void ClickScreen(POINT p) {
  SetCursorPos(p.x, p.y);
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_MOUSE;
  input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, input, sizeof(INPUT));
}

TEST_F(ThemedMainMenuRobot, OpenedByMouse) {
  HWND window = form->Handle();
  RECT file;
  ASSERT_TRUE(GetMenuItemRect(window, GetMenu(window), 0, &file));
  // A real click on File in the bar drops it down; the robot types an item's letter.
  int clicks = 0;
  auto choose = [&](UINT letter) {
    TypeIntoNextMenu({letter});
    // Each time a little further along: two clicks on one spot would make a double click.
    const LONG width = std::max<LONG>(1, file.right - file.left - 6);
    ClickScreen({file.left + 3 + (clicks++ * 5) % width, (file.top + file.bottom) / 2});
    for (int i = 0; i < 50 && (menu_robot::Waiting() || OpenMenuWindow()); ++i) {
      Application->ProcessMessages();
      Sleep(10);
    }
    const bool opened = !menu_robot::Waiting();
    StopRobot();
    Application->ProcessMessages();
    return opened;
  };
  ASSERT_TRUE(choose('O')) << "the drop-down did not open";
  EXPECT_EQ(chosen, std::vector<std::string>{"OpenItem"});
  choose('G');  // disabled
  EXPECT_EQ(chosen.size(), 1u);
  choose('W');
  EXPECT_TRUE(Item("WrapItem")->Checked());
  choose('L');
  EXPECT_TRUE(Item("LargeItem")->Checked());
  EXPECT_FALSE(Item("SmallItem")->Checked());
}

TEST(VelMenus, FlatMenuFrameOnScreen) {
  RegisterVelMenuClasses();
  TvelPopupMenu popup(nullptr);
  popup.SetUIStyle(TvelUIStyle::DeepBlue);
  popup.SetFlatMenu(true);
  AddItem(popup, "Open");
  AddItem(popup, "Close");
  const COLORREF edge = ResolveSystemColor(FlatMenuFrameColor(TvelUIStyle::DeepBlue, false, nullptr));
  static RECT w;
  static std::map<std::string, COLORREF> seen;
  seen.clear();
  // Once the menu is open and has had time to show its drawing, the screen is read.
  struct Reader {
    static void CALLBACK Read(HWND, UINT, UINT_PTR id, DWORD) {
      KillTimer(nullptr, id);
      HWND menu = OpenMenuWindow();
      if (!menu) return;
      GetWindowRect(menu, &w);
      HDC screen = GetDC(nullptr);
      const int mid = (w.top + w.bottom) / 2, x = (w.left + w.right) / 2;
      seen["left outer"] = GetPixel(screen, w.left, mid);
      seen["left white"] = GetPixel(screen, w.left + 1, mid);
      seen["right outer"] = GetPixel(screen, w.right - 2, mid);
      seen["right edge"] = GetPixel(screen, w.right - 1, mid);
      seen["top edge"] = GetPixel(screen, x, w.top);
      seen["top outer"] = GetPixel(screen, x, w.top + 1);
      seen["bottom edge"] = GetPixel(screen, x, w.bottom - 1);
      ReleaseDC(nullptr, screen);
      PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 1);
    }
  };
  ActOnNextMenu([](HWND) { SetTimer(nullptr, 0, 400, Reader::Read); });
  popup.Popup(60, 60);
  StopRobot();
  ASSERT_FALSE(seen.empty()) << "the menu did not open";
  EXPECT_GT(w.right - w.left, 20);
  const std::map<std::string, COLORREF> expected = {
      {"left outer", 0},     {"left white", 0xFFFFFF}, {"right outer", 0}, {"right edge", edge},
      {"top edge", edge},    {"top outer", 0},         {"bottom edge", edge}};
  for (const auto& [where, color] : expected) EXPECT_EQ(seen[where], color) << where;
}

}  // namespace
