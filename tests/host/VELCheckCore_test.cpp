// The check controls' and group boxes' window-free rules: mark frames, auto-size and focus
// geometry, the group box frame, item arrangement, ItemIndex, radio exclusion and events.
#include <gtest/gtest.h>

#include "skin/VELCheckCore.h"
#include "skin/VELPublic.h"

namespace {

TEST(VELCheckCore, MarkFramePerLayoutAndState) {
  struct Row {
    bool six, checked, enabled;
    TvelMarkFrame frame;
  } rows[] = {
      {false, true, true, {4, 1}}, {false, false, true, {4, 2}}, {false, true, false, {4, 3}},
      {false, false, false, {4, 4}},
      // A file theme's check box bitmap: frames 2 and 5 are never shown.
      {true, true, true, {6, 1}}, {true, false, true, {6, 3}}, {true, true, false, {6, 4}},
      {true, false, false, {6, 6}},
  };
  for (const Row& r : rows)
    EXPECT_EQ(CheckMarkFrame(r.six, r.checked, r.enabled), r.frame) << r.six << r.checked << r.enabled;
}

TEST(VELCheckCore, SixFrameMarkCutsTheRightColumns) {
  // 6 frames of 17 pixels, each filled with its own number: frame 6 of a disabled unchecked box.
  TBitmap strip(6 * 17, 17);
  for (int x = 0; x < strip.Width(); ++x)
    for (int y = 0; y < 17; ++y) strip.SetPixel(x, y, static_cast<uint32_t>(x / 17 + 1));
  const TvelMarkFrame f = CheckMarkFrame(true, false, false);
  TBitmap mark;
  PickBitmapFrame(strip, mark, f.Count, f.Index);
  ASSERT_EQ(mark.Width(), 17);
  EXPECT_EQ(mark.GetPixel(0, 0), 6u);
  EXPECT_EQ(mark.GetPixel(16, 16), 6u);
}

TEST(VELCheckCore, AutoSizeAndLayout) {
  // Empty caption: mark width + 8 wide; height from the taller of mark and text.
  EXPECT_EQ(CheckBoxAutoSize(13, 13, 12, 0), (TPoint{21, 18}));
  EXPECT_EQ(CheckBoxAutoSize(15, 17, 12, 40), (TPoint{63, 21}));

  // 93 x 17, mark 13 x 13, text 12 high: (17-12)/2 = 2, (17-13)/2 = 2.
  const TvelCheckLayout ltr = LayoutCheckBox(93, 17, 13, 13, 12, false);
  EXPECT_EQ(ltr.Mark, (TPoint{1, 2}));
  EXPECT_EQ(ltr.Caption, (TRect{17, 2, 93, 17}));
  EXPECT_EQ(ltr.Focus, (TRect{16, 2, 93, 16}));
  const TvelCheckLayout rtl = LayoutCheckBox(93, 17, 13, 13, 12, true);
  EXPECT_EQ(rtl.Mark, (TPoint{79, 2}));
  EXPECT_EQ(rtl.Caption, (TRect{0, 2, 76, 17}));
  EXPECT_EQ(rtl.Focus, (TRect{0, 2, 78, 16}));
  // A mark taller than the control: the division truncates toward zero, not down.
  EXPECT_EQ(LayoutCheckBox(20, 9, 13, 13, 12, false).Mark.Y, -2);
}

TEST(VELCheckCore, GroupBoxFrameLeavesACaptionGap) {
  const TRect client{0, 0, 185, 105};
  const TvelGroupFrame f = GroupBoxFrame(client, 185, 12, 40, false, false);
  const std::vector<TPoint> line{{2, 7}, {0, 7}, {0, 104}, {184, 104}, {184, 7}, {46, 7}};
  EXPECT_EQ(f.Line, line);
  EXPECT_EQ(f.Caption, (TPoint{5, 0}));
  // Without a caption the frame closes on its start.
  EXPECT_EQ(GroupBoxFrame(client, 185, 12, 0, true, false).Line.back(), (TPoint{0, 7}));
  const TvelGroupFrame r = GroupBoxFrame(client, 185, 12, 40, false, true);
  EXPECT_EQ(r.Line.front(), (TPoint{182, 7}));
  EXPECT_EQ(r.Line.back(), (TPoint{138, 7}));
  EXPECT_EQ(r.Caption, (TPoint{139, 0}));
  EXPECT_EQ(GroupBoxAlignRect(client, 12), (TRect{3, 17, 182, 102}));
}

TEST(VELCheckCore, ItemsFillColumnsTopToBottom) {
  // Five items in two columns of a 200 x 100 group, font 12, TopMargin 8: rows = 3,
  // avail = 98 - 20 = 78, row height 26, column width 95.
  const int widths[5] = {50, 50, 50, 50, 50};
  const std::vector<TPoint> at = ArrangeItemButtons(widths, 2, {0, 0, 200, 100}, 200, 12, 8, false);
  const std::vector<TPoint> want{{8, 20}, {8, 46}, {8, 72}, {103, 20}, {103, 46}};
  EXPECT_EQ(at, want);
  const std::vector<TPoint> rtl = ArrangeItemButtons(widths, 2, {0, 0, 200, 100}, 200, 12, 8, true);
  EXPECT_EQ(rtl[0], (TPoint{142, 20}));
  EXPECT_EQ(rtl[3], (TPoint{47, 20}));
}

TEST(VELCheckCore, RowRemainderIsHalvedAboveTheFirstRow) {
  const int widths[3] = {10, 10, 10};
  // avail = bottom - 2 - (12 + 8): 70 gives no remainder, 71 a remainder of 2, halved to 1.
  struct Row {
    int height, firstTop, rowHeight;
  } rows[] = {{92, 20, 23}, {93, 21, 23}, {94, 20, 24}};
  for (const Row& r : rows) {
    const std::vector<TPoint> at = ArrangeItemButtons(widths, 1, {0, 0, 100, r.height}, 100, 12, 8, false);
    ASSERT_EQ(at.size(), 3u);
    EXPECT_EQ(at[0].Y, r.firstTop) << r.height;
    EXPECT_EQ(at[1].Y - at[0].Y, r.rowHeight) << r.height;
  }
  EXPECT_TRUE(ArrangeItemButtons(widths, 0, {0, 0, 100, 92}, 100, 12, 8, false).empty());
  EXPECT_TRUE(ArrangeItemButtons({}, 2, {0, 0, 100, 92}, 100, 12, 8, false).empty());
}

TEST(VELCheckCore, SetterRules) {
  EXPECT_FALSE(ColumnsAccepted(0));
  EXPECT_FALSE(ColumnsAccepted(-3));
  EXPECT_TRUE(ColumnsAccepted(1));
  EXPECT_TRUE(TopMarginAccepted(0));
  EXPECT_FALSE(TopMarginAccepted(-1));
  EXPECT_TRUE(ItemIndexAccepted(-1, 3));
  EXPECT_TRUE(ItemIndexAccepted(2, 3));
  EXPECT_FALSE(ItemIndexAccepted(7, 3));
  EXPECT_FALSE(ItemIndexAccepted(-2, 3));
  EXPECT_FALSE(ItemIndexAccepted(0, 0));
  const bool none[3] = {false, false, false}, two[3] = {false, true, true};
  EXPECT_EQ(ItemIndexOf(none), -1);
  EXPECT_EQ(ItemIndexOf(two), 1);
}

TEST(VELCheckCore, RadioExclusionStaysInItsGroupIndex) {
  const TvelRadioSibling kids[] = {
      {true, 0, true},   // cleared
      {false, 0, true},  // a check box: left alone
      {true, 1, true},   // another GroupIndex
      {true, 0, false},  // self
      {true, 0, true},   // cleared
  };
  EXPECT_EQ(SiblingsToUncheck(kids, 3), (std::vector<int>{0, 4}));
  EXPECT_TRUE(SiblingsToUncheck(kids, 9).empty());
}

TEST(VELCheckCore, ToggleEventAndFocusRules) {
  using K = TvelCheckKind;
  EXPECT_FALSE(CheckedAfterToggle(K::CheckBox, true, true));
  EXPECT_TRUE(CheckedAfterToggle(K::RadioButton, true, true));
  EXPECT_FALSE(CheckedAfterToggle(K::RadioGroupButton, false, false));
  EXPECT_TRUE(CheckedAfterToggle(K::RadioGroupButton, false, true));

  // Loading suppresses every event; a radio button fires only when it became checked.
  for (K k : {K::CheckBox, K::RadioButton, K::CheckGroupButton, K::RadioGroupButton})
    EXPECT_FALSE(CheckedChangeFires(k, true, true));
  EXPECT_TRUE(CheckedChangeFires(K::CheckBox, false, false));
  EXPECT_FALSE(CheckedChangeFires(K::RadioGroupButton, false, false));
  EXPECT_TRUE(CheckedChangeFires(K::RadioGroupButton, true, false));

  EXPECT_FALSE(NeedsFocusFrame(K::CheckBox, false, true, false, false));
  EXPECT_TRUE(NeedsFocusFrame(K::CheckGroupButton, false, true, false, false));
  EXPECT_TRUE(NeedsFocusFrame(K::RadioGroupButton, false, false, true, true));
  EXPECT_FALSE(NeedsFocusFrame(K::RadioGroupButton, false, true, true, false));
}

}  // namespace
