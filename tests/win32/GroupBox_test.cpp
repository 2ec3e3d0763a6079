// The themed check box, radio button, group box and groups driven by real window messages
// and painted into DIB sections: clicks, keys, accelerators, the focus frame, a stored
// layout, file-theme marks and their removal, and pixels of the paint.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Canvas.h"
#include "framework/FileUtil.h"
#include "framework/Forms.h"
#include "framework/Streams.h"
#include "skin/VEL2SkinWriter.h"
#include "skin/VELCheckBox.h"
#include "skin/VELGroupBox.h"
#include "skin/VELMgr.h"
#include "skin/VELPublic.h"
#include "skin/VELRadioGroup.h"

namespace {

// Painted twice: an auto-sized control takes its size in the first paint.
TBitmap Render(TWinControl& control) {
  for (int pass = 0;; ++pass) {
    TBitmap out(control.Width(), control.Height());
    {
      TBitmapCanvas canvas(out);
      control.PaintWindow(canvas);
    }
    GdiFlush();
    if (pass == 1) return out;
  }
}

void Press(TWinControl& c, UINT down, UINT up) {
  SendMessageW(c.Handle(), down, MK_LBUTTON, MAKELPARAM(4, 4));
  SendMessageW(c.Handle(), up, 0, MAKELPARAM(4, 4));
}

// Posted like typed keys, so they go through the message loop's dialog handling.
void Key(HWND w, UINT key) {
  PostMessageW(w, WM_KEYDOWN, key, 1);
  PostMessageW(w, WM_KEYUP, key, 0xC0000001);
  Application->ProcessMessages();
}

// A skin whose check box marks are six plain frames (frame n filled with n * 0x10) and radio
// marks four frames (n * 0x20), so a probe tells which frame was drawn.
std::string WriteMarksSkin() {
  std::vector<Sk2Item> items = {Sk2Item::Integer("SKIN2_CONTROLBORDERCOLOR", 0x0000C0),
                                Sk2Item::Integer("SKIN2_CONTROLFONTCOLOR", 0x00C000)};
  // Radio marks leave out their bottom-left pixel's colour: that corner is fuchsia.
  auto strip = [](int frames, int side, uint32_t step, bool keyCorner) {
    TBitmap b(frames * side, side);
    for (int x = 0; x < b.Width(); ++x)
      for (int y = 0; y < side; ++y) b.SetPixel(x, y, static_cast<uint32_t>(x / side + 1) * step);
    if (keyCorner)
      for (int f = 0; f < frames; ++f) b.SetPixel(f * side, side - 1, 0xFF00FF);
    return b.SaveToBmp();
  };
  const Bytes checks = strip(6, 15, 0x10, false), radios = strip(4, 15, 0x20, true);
  items.push_back(Sk2Item::Bitmap("SKIN2_CHECKBOX", {checks.data(), checks.size()}));
  items.push_back(Sk2Item::Bitmap("SKIN2_RADIOBUTTON", {radios.data(), radios.size()}));
  const std::vector<uint8_t> file = BuildSkinContainer(BuildSk2Data(items));
  const std::string path = TempFolder() + "GroupMarks.ssk";
  TFileStream out(path, FileMode::Create);
  out.WriteBuffer(file.data(), file.size());
  return path;
}

class GroupBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterVelRadioGroupClasses();
    form = std::make_unique<TForm>(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(40, 40, 420, 320);
    form->Show();
  }
  template <class T>
  T* Add(int x, int y, const std::string& caption) {
    auto* c = new T(form.get());
    c->SetParent(form.get());
    c->SetLeft(x);
    c->SetTop(y);
    if (!caption.empty()) c->SetText(caption);
    Application->ProcessMessages();
    return c;
  }
  std::unique_ptr<TForm> form;
  int clicks = 0;
};

TEST_F(GroupBoxTest, MouseClicksAndDoubleClicks) {
  auto* box = Add<TvelCheckBox>(10, 10, "Box");
  auto* radio = Add<TvelRadioButton>(10, 40, "Radio");
  int dbl = 0;
  box->OnClick = radio->OnClick = [this](TComponent*) { ++clicks; };
  radio->OnDblClick = [&dbl](TComponent*) { ++dbl; };
  // A quick second press of a check box is another press: two toggles, two events.
  Press(*box, WM_LBUTTONDOWN, WM_LBUTTONUP);
  Press(*box, WM_LBUTTONDOWN, WM_LBUTTONUP);
  EXPECT_FALSE(box->Checked());
  EXPECT_EQ(clicks, 2);
  EXPECT_TRUE(box->Focused());
  // A radio button's double click is delivered as one: selected once, OnDblClick once.
  Press(*radio, WM_LBUTTONDOWN, WM_LBUTTONUP);
  Press(*radio, WM_LBUTTONDBLCLK, WM_LBUTTONUP);
  EXPECT_TRUE(radio->Checked());
  EXPECT_EQ(clicks, 3);
  EXPECT_EQ(dbl, 1);
}

TEST_F(GroupBoxTest, SpaceAndEnterToggleOnlyCheckBoxesAndAcceleratorsClick) {
  auto* box = Add<TvelCheckBox>(10, 10, "&Apple");
  auto* radio = Add<TvelRadioButton>(10, 40, "&Radio");
  box->SetFocus();
  Key(box->Handle(), VK_SPACE);
  EXPECT_TRUE(box->Checked());
  Key(box->Handle(), VK_RETURN);
  EXPECT_FALSE(box->Checked());
  radio->SetFocus();
  Key(radio->Handle(), VK_SPACE);
  EXPECT_FALSE(radio->Checked());
  // The accelerator takes the focus and clicks, with or without Alt.
  PostMessageW(radio->Handle(), WM_CHAR, 'a', 1);
  Application->ProcessMessages();
  EXPECT_TRUE(box->Checked());
  EXPECT_TRUE(box->Focused());
  PostMessageW(box->Handle(), WM_SYSCHAR, 'R', 1 << 29);
  Application->ProcessMessages();
  EXPECT_TRUE(radio->Checked());
}

TEST_F(GroupBoxTest, RadioButtonsExcludeWithinTheirGroupIndex) {
  auto* a = Add<TvelRadioButton>(10, 10, "a");
  auto* b = Add<TvelRadioButton>(10, 30, "b");
  auto* other = Add<TvelRadioButton>(10, 50, "other");
  other->SetGroupIndex(1);
  a->SetChecked(true);
  other->SetChecked(true);
  b->SetChecked(true);
  EXPECT_FALSE(a->Checked());
  EXPECT_TRUE(other->Checked());
}

TEST_F(GroupBoxTest, ArrowKeysMoveTheSelectionOfARadioGroup) {
  auto* group = Add<TvelRadioGroup>(10, 10, "");
  group->SetItems({"one", "two", "three"});
  group->OnClick = [this](TComponent*) { ++clicks; };
  group->SetItemIndex(0);
  EXPECT_EQ(clicks, 1);
  group->SetFocus();  // passes the focus to the selected item
  EXPECT_TRUE(group->ItemButton(0)->Focused());
  Key(group->ItemButton(0)->Handle(), VK_DOWN);
  EXPECT_EQ(group->ItemIndex(), 1);
  Key(group->ItemButton(1)->Handle(), VK_UP);
  Key(group->ItemButton(0)->Handle(), VK_UP);  // wraps round to the last
  EXPECT_EQ(group->ItemIndex(), 2);
  EXPECT_EQ(clicks, 4);
  // Out-of-range indexes change nothing and -1 clears silently.
  group->SetItemIndex(7);
  EXPECT_EQ(group->ItemIndex(), 2);
  group->SetItemIndex(-1);
  EXPECT_EQ(group->ItemIndex(), -1);
  EXPECT_EQ(clicks, 4);
}

TEST_F(GroupBoxTest, FocusFrameFollowsTheKindsRules) {
  auto* box = Add<TvelCheckBox>(10, 10, "Box");
  auto* group = Add<TvelRadioGroup>(10, 40, "");
  group->SetItems({"one", "two"});
  box->SetFocus();
  Render(*box);
  EXPECT_FALSE(box->LastFocusFrame().Empty());
  box->SetTabStop(false);
  Render(*box);
  EXPECT_TRUE(box->LastFocusFrame().Empty());
  // A radio group's item shows the frame only while it is the selected one.
  group->ItemButton(1)->SetFocus();
  Render(*group->ItemButton(0));
  EXPECT_TRUE(group->ItemButton(0)->LastFocusFrame().Empty());
  group->SetItemIndex(0);
  group->SetFocus();
  Render(*group->ItemButton(0));
  EXPECT_FALSE(group->ItemButton(0)->LastFocusFrame().Empty());
}

TEST_F(GroupBoxTest, LayoutLoadsGroupsWithoutFiringEvents) {
  TForm holder(nullptr);
  holder.AddMethod("GroupClick", [this](TComponent*) { ++clicks; });
  holder.LoadLayout(
      "object F: TForm\n"
      "  object G: TvelRadioGroup\n    Left = 8\n    Top = 8\n    Width = 200\n    Height = 100\n"
      "    UIStyle = WinXP\n    Caption = 'Looks'\n"
      "    Items.Strings = (\n      'a'\n      'b'\n      'c'\n      'd'\n      'e')\n"
      "    Columns = 2\n    ItemIndex = 3\n    OnClick = GroupClick\n  end\n"
      "  object C: TvelCheckBox\n    UIStyle = Protein\n    Checked = True\n    Caption = 'x'\n    OnClick = GroupClick\n  end\n"
      "end\n");
  auto* group = dynamic_cast<TvelRadioGroup*>(holder.FindComponent("G"));
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(group->ItemIndex(), 3);
  EXPECT_EQ(group->Caption(), "Looks");
  EXPECT_EQ(group->BorderColor(), 0x686868u);
  EXPECT_EQ(group->Font().Color(), 0xCF4602u);
  // Five items in two columns: three rows, d and e in the second column.
  EXPECT_EQ(group->ItemButton(2)->Left(), 8);
  EXPECT_EQ(group->ItemButton(3)->Left(), 8 + (200 - 10) / 2);
  EXPECT_EQ(group->ItemButton(3)->Top(), group->ItemButton(0)->Top());
  EXPECT_TRUE(dynamic_cast<TvelCheckBox*>(holder.FindComponent("C"))->Checked());
  group->SetItemIndex(1);
  EXPECT_EQ(clicks, 1);
}

TEST_F(GroupBoxTest, GroupBoxFrameAndGreyCaptionWhenDisabled) {
  auto* box = Add<TvelCustomGroupBox>(10, 10, "");
  box->SetUIStyle(TvelUIStyle::MacOS);
  box->SetCaption("WWWW");
  box->Font().SetColor(clBlue);
  box->SetColor(clWhite);
  box->SetEnabled(false);
  const TBitmap shot = Render(*box);
  const int y = 12 / 2 + 1;
  EXPECT_EQ(shot.GetPixel(0, 50), 0x7F7F7Fu);  // the frame keeps BorderColor
  EXPECT_EQ(shot.GetPixel(box->Width() - 1, y), 0x7F7F7Fu);
  EXPECT_EQ(shot.GetPixel(4, y), 0xFFFFFFu);  // the caption's gap
  // Smoothed glyph edges blend into white, so the probe asks for grey ink, never bluish.
  bool grey = false, blue = false;
  for (int x = 5; x < 40; ++x)
    for (int yy = 0; yy < 12; ++yy) {
      const uint32_t p = shot.GetPixel(x, yy);
      const int r = static_cast<int>(p >> 16), g = static_cast<int>((p >> 8) & 0xFF), b = static_cast<int>(p & 0xFF);
      grey |= r == g && g == b && r <= 0xA0;
      blue |= b > r + 0x40;
    }
  EXPECT_TRUE(grey);
  EXPECT_FALSE(blue);
}

TEST_F(GroupBoxTest, MarksComeFromTheThemeFrameOfTheState) {
  auto* box = Add<TvelCheckBox>(10, 10, "");
  auto* radio = Add<TvelRadioButton>(10, 40, "");
  box->SetColor(clWhite);
  radio->SetColor(clRed);
  struct Row {
    bool checked, enabled;
    int frame;
  } rows[] = {{true, true, 1}, {false, true, 2}, {true, false, 3}, {false, false, 4}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.frame);
    TBitmap want;
    GetThemeBitmap(TvelUIStyle::BlueGlass, 3, &want, 4, r.frame);
    box->SetUIStyle(TvelUIStyle::BlueGlass);
    box->SetChecked(r.checked);
    box->SetEnabled(r.enabled);
    const TBitmap shot = Render(*box);
    // An empty caption: mark width + 8 wide; the mark drawn opaque at x = 1.
    EXPECT_EQ(box->Width(), want.Width() + 8);
    const int top = (box->Height() - want.Height()) / 2;
    for (int y = 0; y < want.Height(); y += 3)
      for (int x = 0; x < want.Width(); x += 3) ASSERT_EQ(shot.GetPixel(1 + x, top + y), want.GetPixel(x, y));
  }
  // The radio mark leaves out its bottom-left pixel's colour: the red background shows there.
  radio->SetUIStyle(TvelUIStyle::BlueGlass);
  const TBitmap shot = Render(*radio);
  const int top = (radio->Height() - 13) / 2;
  EXPECT_EQ(shot.GetPixel(1, top + 12), 0xFF0000u);
}

TEST_F(GroupBoxTest, FileThemeMarksAndItsRemoval) {
  auto* theme = new TvelFileTheme(form.get());
  theme->SetThemeFile(WriteMarksSkin());
  ASSERT_TRUE(theme->Ready());
  auto* group = Add<TvelCheckGroup>(10, 10, "");
  group->SetItems({"one"});
  group->SetFileTheme(theme);
  group->SetUIStyle(TvelUIStyle::FromThemeFile);
  EXPECT_EQ(group->BorderColor(), 0x0000C0u);
  auto* item = group->ItemButton(0);
  EXPECT_EQ(item->GetFileTheme(), theme);
  auto* radio = Add<TvelRadioButton>(10, 200, "");
  radio->SetFileTheme(theme);
  radio->SetUIStyle(TvelUIStyle::FromThemeFile);
  // Six frames: a disabled unchecked box shows frame 6, a checked disabled one frame 4;
  // radio marks keep four frames.
  item->SetEnabled(false);
  EXPECT_EQ(Render(*item).GetPixel(8, item->Height() / 2), 0x60u);
  item->SetChecked(true);
  EXPECT_EQ(Render(*item).GetPixel(8, item->Height() / 2), 0x40u);
  EXPECT_EQ(Render(*radio).GetPixel(8, radio->Height() / 2), 0x40u);

  delete theme;  // DeepBlue takes over everywhere
  EXPECT_EQ(group->GetFileTheme(), nullptr);
  EXPECT_EQ(group->UIStyle(), TvelUIStyle::DeepBlue);
  EXPECT_EQ(item->GetFileTheme(), nullptr);
  EXPECT_EQ(item->GetUIStyle(), TvelUIStyle::DeepBlue);
  EXPECT_EQ(radio->UIStyle(), TvelUIStyle::DeepBlue);
  EXPECT_EQ(group->BorderColor(), GetThemeColor(TvelUIStyle::DeepBlue, 25));
  TBitmap want;
  GetThemeBitmap(TvelUIStyle::DeepBlue, 3, &want, 4, 3);
  const TBitmap shot = Render(*item);
  EXPECT_EQ(shot.GetPixel(1 + want.Width() / 2, (item->Height() - want.Height()) / 2 + want.Height() / 2),
            want.GetPixel(want.Width() / 2, want.Height() / 2));
}

}  // namespace
