// Themed menu items without a window: style values, sizes and the layout of each kind of item.
#include <gtest/gtest.h>

#include "skin/VELMenuCore.h"
#include "skin/VELPublic.h"

namespace {

TEST(VELMenuCore, StyleValues) {
  struct Row {
    TvelUIStyle style;
    bool fileReady;
    int itemHeight, separatorHeight;
    uint32_t separatorColor, barColor, color, selectedColor;
  } rows[] = {
      {TvelUIStyle::MacOS, false, 20, 12, 0x000000, GetThemeColor(TvelUIStyle::MacOS, 23),
       GetThemeColor(TvelUIStyle::MacOS, 21), GetThemeColor(TvelUIStyle::MacOS, 19)},
      {TvelUIStyle::Protein, false, 21, 5, MakeRGB(132, 130, 132), GetThemeColor(TvelUIStyle::Protein, 23),
       GetThemeColor(TvelUIStyle::Protein, 21), GetThemeColor(TvelUIStyle::Protein, 19)},
      // A file theme that cannot serve gives DeepBlue's colours.
      {TvelUIStyle::FromThemeFile, false, 21, 5, MakeRGB(132, 130, 132), GetThemeColor(TvelUIStyle::DeepBlue, 23),
       GetThemeColor(TvelUIStyle::DeepBlue, 21), GetThemeColor(TvelUIStyle::DeepBlue, 19)},
      // A ready one gives item n the colour 1000 + n.
      {TvelUIStyle::FromThemeFile, true, 21, 5, MakeRGB(132, 130, 132), 1009, 1011, 1013},
  };
  for (const Row& r : rows) {
    TvelMenuLook look;
    ApplyMenuStyle(look, r.style, r.fileReady, [](int i) { return 1000 + i; });
    SCOPED_TRACE(static_cast<int>(r.style));
    EXPECT_EQ(look.BarWidth, 26);
    EXPECT_EQ(look.MenuItemHeight, r.itemHeight);
    EXPECT_EQ(look.SeparatorHeight, r.separatorHeight);
    EXPECT_EQ(look.SeparatorColor, r.separatorColor);
    EXPECT_EQ(look.BarColor, r.barColor);
    EXPECT_EQ(look.Color, r.color);
    EXPECT_EQ(look.SelectedColor, r.selectedColor);
  }
  TvelMenuLook file;
  ApplyMenuStyle(file, TvelUIStyle::FromThemeFile, true, [](int i) { return 1000 + i; });
  EXPECT_EQ(file.BarToColor, 1010u);
  EXPECT_EQ(file.FontColor, 1012u);
  EXPECT_EQ(file.SelectedBorderColor, 1014u);
  EXPECT_EQ(file.SelectedFontColor, 1015u);
  EXPECT_EQ(FlatMenuFrameColor(TvelUIStyle::FromThemeFile, true, [](int i) { return 1000 + i; }), 1002u);
  EXPECT_EQ(FlatMenuFrameColor(TvelUIStyle::WinXP, true, nullptr), GetThemeColor(TvelUIStyle::WinXP, 15));
}

TEST(VELMenuCore, MeasuresSeparatorsAndItems) {
  TvelMenuLook look;
  ApplyMenuStyle(look, TvelUIStyle::DeepBlue, false, nullptr);
  struct Row {
    const char* caption;
    int textHeight;
    TPoint size;
  } rows[] = {
      {"-", 12, {30 + 10 + 26 + 40, 5}},
      {"--", 12, {30 + 10 + 26 + 40, 21}},  // only a lone "-" is a separator
      {" -", 12, {30 + 10 + 26 + 40, 21}},
      {"Tall", 25, {30 + 10 + 26 + 40, 25}},
  };
  for (const Row& r : rows) EXPECT_EQ(MeasureMenuItem(look, r.caption, 30, r.textHeight, 10), r.size) << r.caption;
}

TEST(VELMenuCore, LayoutPerStyleAndState) {
  TvelMenuLook look;
  ApplyMenuStyle(look, TvelUIStyle::WinXP, false, nullptr);
  look.BarToColor = 0x123456;
  const TRect r{0, 10, 150, 31};

  TvelMenuItemState plain{"Open"};
  plain.ShortcutWidth = 30;
  TvelMenuItemLayout l = LayoutMenuItem(look, TvelUIStyle::WinXP, plain, r);
  EXPECT_EQ(l.Bar, (TRect{0, 10, 26, 31}));
  EXPECT_TRUE(l.BarGradient);
  EXPECT_EQ(l.Fill, (TRect{26, 10, 150, 31}));
  EXPECT_EQ(l.FillColor, look.Color);
  EXPECT_FALSE(l.Framed);
  EXPECT_EQ(l.CaptionRect, (TRect{30, 10, 150, 31}));
  EXPECT_EQ(l.ShortcutX, 150 - 30 - 16);
  EXPECT_EQ(l.TextColor, look.FontColor);

  TvelMenuItemState selected = plain;
  selected.Selected = true;
  selected.Default = true;
  l = LayoutMenuItem(look, TvelUIStyle::WinXP, selected, r);
  EXPECT_TRUE(l.Bar.Empty());
  EXPECT_EQ(l.Fill, r);
  EXPECT_EQ(l.FillColor, look.SelectedColor);
  EXPECT_TRUE(l.Framed);
  EXPECT_EQ(l.FrameColor, look.SelectedBorderColor);
  EXPECT_EQ(l.TextColor, look.SelectedFontColor);
  EXPECT_TRUE(l.Bold);

  // Selected but disabled: drawn as not selected, in grey, marks greyed.
  TvelMenuItemState disabled = selected;
  disabled.Enabled = false;
  disabled.Checked = true;
  l = LayoutMenuItem(look, TvelUIStyle::WinXP, disabled, r);
  EXPECT_FALSE(l.Framed);
  EXPECT_EQ(l.TextColor, MakeRGB(128, 128, 128));
  EXPECT_TRUE(l.CheckMark);
  EXPECT_EQ(l.CheckMarkAt, (TPoint{4, 13}));
  EXPECT_TRUE(l.Greyed);

  TvelMenuItemState line{"-"};
  l = LayoutMenuItem(look, TvelUIStyle::WinXP, line, r);
  EXPECT_TRUE(l.Line);
  EXPECT_EQ(l.LineFrom, (TPoint{30, 12}));
  EXPECT_EQ(l.LineTo, (TPoint{148, 12}));
  EXPECT_EQ(l.LineColor, MakeRGB(132, 130, 132));
}

TEST(VELMenuCore, MacOSBitmapsImagesAndRightToLeft) {
  TvelMenuLook look;
  ApplyMenuStyle(look, TvelUIStyle::MacOS, false, nullptr);
  const TRect r{0, 0, 120, 20};
  struct Row {
    const char* caption;
    bool selected, enabled;
    const char* bitmap;
    int rows;
  } rows[] = {{"-", false, true, "MACOS_MENU_BAR", 12},
              {"A", false, true, "MACOS_MENU_BAR", 20},
              {"A", true, true, "MACOS_MENU_SELECT", 20},
              {"A", true, false, "MACOS_MENU_BAR", 20}};
  for (const Row& row : rows) {
    TvelMenuItemState s{row.caption};
    s.Selected = row.selected;
    s.Enabled = row.enabled;
    TvelMenuItemLayout l = LayoutMenuItem(look, TvelUIStyle::MacOS, s, r);
    EXPECT_STREQ(l.Bitmap, row.bitmap);
    EXPECT_EQ(l.BitmapRows, row.rows);
    EXPECT_FALSE(l.Line);
    EXPECT_TRUE(l.Bar.Empty());
  }

  // A checked item with an image gets the frame instead of the check mark; an index outside
  // Images draws no image.
  TvelMenuItemState image{"A"};
  image.Checked = true;
  image.ImageIndex = 1;
  image.ImageCount = 2;
  image.RightToLeft = true;
  TvelMenuItemLayout l = LayoutMenuItem(look, TvelUIStyle::DeepBlue, image, r);
  EXPECT_TRUE(l.CheckFrame);
  EXPECT_FALSE(l.CheckMark);
  EXPECT_EQ(l.CheckFrameRect, (TRect{98, 1, 117, 20}));
  EXPECT_EQ(l.ImageAt, (TPoint{100, 3}));
  EXPECT_EQ(l.Bar, (TRect{94, 0, 120, 20}));
  EXPECT_TRUE(l.CaptionRight);
  EXPECT_EQ(l.CaptionRect, (TRect{26, 0, 116, 20}));
  EXPECT_EQ(l.ShortcutX, 30);
  image.ImageIndex = 2;
  l = LayoutMenuItem(look, TvelUIStyle::DeepBlue, image, r);
  EXPECT_FALSE(l.Image);
  EXPECT_TRUE(l.CheckMark);

  TvelMenuItemState line{"-"};
  line.RightToLeft = true;
  l = LayoutMenuItem(look, TvelUIStyle::DeepBlue, line, r);
  EXPECT_EQ(l.LineFrom, (TPoint{2, 2}));
  EXPECT_EQ(l.LineTo, (TPoint{90, 2}));
}

TEST(VELMenuCore, RadioMarkInsteadOfCheckMark) {
  TvelMenuLook look;
  ApplyMenuStyle(look, TvelUIStyle::DeepBlue, false, nullptr);
  TvelMenuItemState radio{"A"};
  radio.Checked = radio.Radio = true;
  TvelMenuItemLayout l = LayoutMenuItem(look, TvelUIStyle::DeepBlue, radio, {0, 0, 120, 20});
  EXPECT_TRUE(l.RadioMark);
  EXPECT_FALSE(l.CheckMark);
  EXPECT_EQ(l.CheckMarkAt, (TPoint{4, 3}));
  radio.ImageIndex = 0;  // with an image: the frame, as for a check item
  radio.ImageCount = 1;
  l = LayoutMenuItem(look, TvelUIStyle::DeepBlue, radio, {0, 0, 120, 20});
  EXPECT_FALSE(l.RadioMark);
  EXPECT_TRUE(l.CheckFrame);

  // A round dot in the cell's middle, solid inside, blended at its edge, clipped.
  TBitmap b(16, 16);
  b.Fill(0xFFFFFF);
  DrawMenuRadioMark(b, 0, 0, 0x000000);
  EXPECT_EQ(b.GetPixel(7, 7), 0u);
  EXPECT_EQ(b.GetPixel(8, 8), 0u);
  EXPECT_EQ(b.GetPixel(2, 2), 0xFFFFFFu);
  EXPECT_EQ(b.GetPixel(4, 4), 0xFFFFFFu);  // outside the disc's corner
  const uint32_t edge = b.GetPixel(4, 7);
  EXPECT_TRUE(edge != 0 && edge != 0xFFFFFFu);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) EXPECT_EQ(b.GetPixel(x, y), b.GetPixel(15 - x, 15 - y)) << x << "," << y;
  DrawMenuRadioMark(b, -10, 12, 0x000000);  // mostly outside: no crash
}

TEST(VELMenuCore, FlatMenuFrameGeometry) {
  const TvelFlatMenuFrame f = FlatMenuFrameGeometry({100, 50, 200, 150});
  EXPECT_EQ(f.Outer, (TRect{100, 51, 199, 149}));
  EXPECT_EQ(f.Inner, (TRect{101, 52, 198, 148}));
  EXPECT_EQ(f.Edges[0], (TRect{100, 149, 200, 150}));  // bottom row B - 1
  EXPECT_EQ(f.Edges[1], (TRect{199, 50, 200, 150}));   // right column R - 1
  EXPECT_EQ(f.Edges[2], (TRect{100, 50, 200, 51}));    // top row T
}

}  // namespace
