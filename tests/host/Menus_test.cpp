// The framework's menu item tree: reading from a layout, radio groups, AutoCheck, disabled
// items, commands and shortcut names.
#include <gtest/gtest.h>

#include "framework/Menus.h"

namespace {

const char* kLayout = R"(object Root: TComponent
  object Main: TMainMenu
    object FileItem: TMenuItem
      Caption = '&File'
      object OpenItem: TMenuItem
        Caption = '&Open'
        ShortCut = 16463
        OnClick = OpenClick
      end
      object Line1: TMenuItem
        Caption = '-'
      end
      object SmallItem: TMenuItem
        Caption = 'Small'
        RadioItem = True
        AutoCheck = True
        Checked = True
        GroupIndex = 1
      end
      object LargeItem: TMenuItem
        Caption = 'Large'
        RadioItem = True
        AutoCheck = True
        GroupIndex = 1
      end
      object GoneItem: TMenuItem
        Caption = 'Gone'
        Enabled = False
        OnClick = OpenClick
      end
    end
  end
  object Popup: TPopupMenu
    OwnerDraw = True
    object CopyItem: TMenuItem
      Caption = 'Copy'
      Default = True
      ImageIndex = 2
    end
  end
end)";

struct Loaded {
  TComponent root{nullptr};
  TMethodTable methods;
  int clicks = 0;
  Loaded() {
    RegisterMenuClasses();
    methods.Add<TNotifyEvent>("OpenClick", [this](TComponent*) { ++clicks; });
    TLayoutReadOptions options;
    options.methods = &methods;
    ReadLayoutText(root, kLayout, options);
  }
  template <class T>
  T* Find(const char* name) {
    return dynamic_cast<T*>(root.FindComponent(name));
  }
};

TEST(Menus, LayoutBuildsTheTree) {
  Loaded l;
  auto* main = l.Find<TMainMenu>("Main");
  auto* popup = l.Find<TPopupMenu>("Popup");
  ASSERT_TRUE(main && popup);
  ASSERT_EQ(main->Items()->Count(), 1);
  TMenuItem* file = main->Items()->Items(0);
  EXPECT_EQ(file->Caption(), "&File");
  ASSERT_EQ(file->Count(), 5);
  EXPECT_TRUE(file->Items(1)->IsLine());
  EXPECT_EQ(file->Items(0)->ShortCutText(), "Ctrl+O");
  EXPECT_EQ(file->Items(0)->GetParentMenu(), main);
  EXPECT_TRUE(main->IsMainMenu());
  EXPECT_FALSE(main->OwnerDraw());
  EXPECT_TRUE(popup->OwnerDraw());
  TMenuItem* copy = popup->Items()->Items(0);
  EXPECT_TRUE(copy->Default());
  EXPECT_EQ(copy->ImageIndex(), 2);
  // Commands find their items only in their own menu.
  EXPECT_EQ(main->FindItem(file->Items(0)->Command()), file->Items(0));
  EXPECT_EQ(popup->FindItem(file->Items(0)->Command()), nullptr);
}

TEST(Menus, ClicksRadioGroupsAndDisabledItems) {
  Loaded l;
  auto* main = l.Find<TMainMenu>("Main");
  auto* small = l.Find<TMenuItem>("SmallItem");
  auto* large = l.Find<TMenuItem>("LargeItem");
  EXPECT_TRUE(main->DispatchCommand(l.Find<TMenuItem>("OpenItem")->Command()));
  EXPECT_EQ(l.clicks, 1);
  // A disabled item's command is swallowed without running its handler.
  EXPECT_TRUE(main->DispatchCommand(l.Find<TMenuItem>("GoneItem")->Command()));
  EXPECT_EQ(l.clicks, 1);
  large->Click();
  EXPECT_TRUE(large->Checked());
  EXPECT_FALSE(small->Checked());
  large->Click();  // a radio item stays checked
  EXPECT_TRUE(large->Checked());
  // A plain AutoCheck item toggles.
  auto* open = l.Find<TMenuItem>("OpenItem");
  open->SetAutoCheck(true);
  open->Click();
  EXPECT_TRUE(open->Checked());
  open->Click();
  EXPECT_FALSE(open->Checked());
}

TEST(Menus, ItemsLeaveTheTreeWhenDestroyed) {
  Loaded l;
  auto* file = l.Find<TMenuItem>("FileItem");
  auto* open = l.Find<TMenuItem>("OpenItem");
  const int command = open->Command();
  open->Free();
  EXPECT_EQ(file->Count(), 4);
  EXPECT_EQ(TMenuItem::FromCommand(command), nullptr);
  // An item cannot take its own ancestor.
  auto* small = l.Find<TMenuItem>("SmallItem");
  small->Add(file);
  EXPECT_EQ(small->Count(), 0);
  // Destroying the menu first leaves its items free-standing.
  l.Find<TMainMenu>("Main")->Free();
  EXPECT_EQ(file->Parent(), nullptr);
  EXPECT_EQ(file->GetParentMenu(), nullptr);
}

TEST(Menus, ShortCutNames) {
  struct Row {
    TShortCut shortCut;
    const char* text;
  } rows[] = {{0, ""},           {'S' | scCtrl, "Ctrl+S"}, {0x74 | scShift, "Shift+F5"}, {0x2E, "Del"},
              {'1' | scAlt, "Alt+1"}, {0x87, "F24"}, {0x0D | scCtrl | scShift, "Shift+Ctrl+Enter"}, {0xBA, ""}};
  for (const Row& r : rows) EXPECT_EQ(ShortCutToText(r.shortCut), r.text) << r.shortCut;
}

TEST(Menus, AcceleratorLetters) {
  struct Row {
    const char* caption;
    char key;
  } rows[] = {{"&File", 'F'},       {"\xCE\xC4\xBC\xFE(&f)", 'F'}, {"a&&b", 0},  {"&&&x", 'X'},
              {"x&", 0},            {"Save &As", 'A'},             {"plain", 0}, {"\xA1&", 0}};
  for (const Row& r : rows) EXPECT_EQ(MenuAccelerator(r.caption), r.key) << r.caption;
}

}  // namespace
