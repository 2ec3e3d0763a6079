// The themed button's window-free rules: face frame per state, glyph and caption placement,
// auto-size, dialog keys, the active flag and the disabled picture look.
#include <gtest/gtest.h>

#include "skin/VELButtonCore.h"

namespace {

TEST(VELButtonCore, FaceFrameFollowsDisabledThenPressedThenHot) {
  struct Row {
    bool enabled, pressed, hot;
    int frame;
  } rows[] = {
      {true, false, false, 1}, {true, false, true, 2}, {true, true, false, 3}, {true, true, true, 3},
      {false, false, false, 1}, {false, true, true, 1},  // disabled shows frame 1 whatever else holds
  };
  for (const Row& r : rows)
    EXPECT_EQ(ButtonFaceFrame(r.enabled, r.pressed, r.hot), r.frame) << r.enabled << r.pressed << r.hot;
}

TEST(VELButtonCore, GlyphPlacementPerLayout) {
  // A 91 x 30 button, caption 40 x 13, glyph 16 x 16, spacing 4.
  struct Row {
    const char* what;
    TButtonLayout layout;
    TPoint glyph, text;
  } rows[] = {
      {"left", blGlyphLeft, {15, 7}, {35, 8}},     // (91-40-16-4)/2 = 15; text at 15+16+4
      {"right", blGlyphRight, {59, 7}, {15, 8}},   // (91+40+4-16)/2 = 59; text at 59-40-4
      {"top", blGlyphTop, {37, -1}, {25, 19}},     // (30-13-16-4)/2 = -3/2 = -1, toward zero
      {"bottom", blGlyphBottom, {37, 15}, {25, -2}},  // (30+13+4-16)/2 = 15; text at 15-13-4
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    const TvelGlyphPlacement p = PlaceGlyph(r.layout, 91, 30, 40, 13, 16, 16, 4, false);
    EXPECT_EQ(p.Glyph, r.glyph);
    EXPECT_EQ(p.TextOrigin, r.text);
    EXPECT_FALSE(p.TwoImages);
    EXPECT_EQ(p.ImageWidth, 16);
  }
}

TEST(VELButtonCore, DivisionTruncatesTowardZeroForNegativeSpace) {
  // (20 - 40 - 16 - 5) / 2 = -41 / 2 = -20 (not -21 as a floor would give).
  const TvelGlyphPlacement p = PlaceGlyph(blGlyphLeft, 20, 10, 40, 13, 16, 16, 5, false);
  EXPECT_EQ(p.Glyph.X, -20);
  EXPECT_EQ(p.Glyph.Y, -3);  // (10 - 16) / 2
  EXPECT_EQ(p.TextOrigin.X, -20 + 16 + 5);
  EXPECT_EQ(p.TextOrigin.Y, -1);  // (10 - 13) / 2
}

TEST(VELButtonCore, TwoImageGlyphIsMeasuredByOneImage) {
  const TvelGlyphPlacement two = PlaceGlyph(blGlyphLeft, 91, 30, 40, 13, 32, 16, 4, false);
  EXPECT_TRUE(two.TwoImages);
  EXPECT_EQ(two.ImageWidth, 16);
  EXPECT_EQ(two.Glyph, (TPoint{15, 7}));
  const TvelGlyphPlacement wide = PlaceGlyph(blGlyphLeft, 91, 30, 40, 13, 33, 16, 4, false);
  EXPECT_FALSE(wide.TwoImages);
  EXPECT_EQ(wide.ImageWidth, 33);
}

TEST(VELButtonCore, PressedMovesTheGlyphButNotTheStoredTextOrigin) {
  const TvelGlyphPlacement up = PlaceGlyph(blGlyphRight, 91, 30, 40, 13, 16, 16, 4, false);
  const TvelGlyphPlacement down = PlaceGlyph(blGlyphRight, 91, 30, 40, 13, 16, 16, 4, true);
  EXPECT_EQ(down.Glyph, (TPoint{up.Glyph.X + 1, up.Glyph.Y + 1}));
  EXPECT_EQ(down.TextOrigin, up.TextOrigin);
}

TEST(VELButtonCore, AutoSizeTakesOneFrameOfTheWholeBitmap) {
  struct Row {
    const char* what;
    int w, h;
    TPoint size;
  } rows[] = {
      {"no bitmap (FromThemeFile)", 0, 0, {24, 21}},
      {"BlueGlass", 231, 27, {77, 27}},
      {"WinXP", 54, 21, {18, 21}},
      {"MacOS", 252, 23, {84, 23}},
      {"DeepBlue", 222, 21, {74, 21}},
      {"width only missing", 0, 30, {24, 30}},
      {"remainder dropped", 100, 20, {33, 20}},
  };
  for (const Row& r : rows) EXPECT_EQ(AutoSizeFromBitmap(r.w, r.h), r.size) << r.what;
}

TEST(VELButtonCore, DialogKeysNeedNoModifier) {
  struct Row {
    const char* what;
    int key;
    unsigned shift;
    bool active, cancel, clicks;
  } rows[] = {
      {"Enter on the active button", kVkReturn, 0, true, false, true},
      {"Enter on an inactive button", kVkReturn, 0, false, true, false},
      {"Ctrl+Enter", kVkReturn, kCtrlMask, true, false, false},
      {"Shift+Enter", kVkReturn, kShiftMask, true, false, false},
      {"Alt+Enter", kVkReturn, kAltMask, true, false, false},
      {"Esc on a Cancel button", kVkEscape, 0, false, true, true},
      {"Esc on another button", kVkEscape, 0, true, false, false},
      {"Ctrl+Esc", kVkEscape, kCtrlMask, false, true, false},
      {"Space is no dialog key", kVkSpace, 0, true, true, false},
  };
  for (const Row& r : rows) EXPECT_EQ(DialogKeyClicks(r.key, r.shift, r.active, r.cancel), r.clicks) << r.what;
}

TEST(VELButtonCore, ActiveFlagFollowsTheFocus) {
  EXPECT_TRUE(ActiveAfterFocusChange(true, true, false));    // this button took the focus
  EXPECT_FALSE(ActiveAfterFocusChange(true, false, true));   // another themed button did
  EXPECT_TRUE(ActiveAfterFocusChange(false, false, true));   // an edit did: Default decides
  EXPECT_FALSE(ActiveAfterFocusChange(false, false, false));
}

TEST(VELButtonCore, DisabledImageEmbossesDarkPixelsOnly) {
  TBitmap picture(3, 1);
  picture.SetPixel(0, 0, 0x000000);  // dark: drawn
  picture.SetPixel(1, 0, 0xFFFFFF);  // light: vanishes
  picture.SetPixel(2, 0, 0xFF00FF);  // key colour: left out
  TBitmap canvas(6, 4);
  canvas.Fill(0x123456);
  const uint32_t key = 0xFF00FF;
  DrawDisabledImage(canvas, 1, 1, picture, {0, 0, 3, 1}, &key);
  EXPECT_EQ(canvas.GetPixel(1, 1), 0x808080u);  // grey copy in place
  EXPECT_EQ(canvas.GetPixel(2, 2), 0xFFFFFFu);  // white copy one down and right
  EXPECT_EQ(canvas.GetPixel(2, 1), 0x123456u);
  EXPECT_EQ(canvas.GetPixel(3, 1), 0x123456u);
  EXPECT_EQ(canvas.GetPixel(3, 2), 0x123456u);
  // Without a key, fuchsia is dark enough to draw.
  DrawDisabledImage(canvas, 1, 1, picture, {0, 0, 3, 1}, nullptr);
  EXPECT_EQ(canvas.GetPixel(3, 1), 0x808080u);
}

TEST(VELButtonCore, DisabledImageClipsToCanvasAndPicture) {
  TBitmap picture(4, 4);
  picture.Fill(0x000000);
  TBitmap canvas(3, 3);
  canvas.Fill(0xABCDEF);
  // Partly off every edge, and a source larger than the picture: nothing outside is touched.
  DrawDisabledImage(canvas, -2, 1, picture, {-1, -1, 9, 9}, nullptr);
  DrawDisabledImage(canvas, 2, -3, picture, {0, 0, 4, 4}, nullptr);
  EXPECT_EQ(canvas.GetPixel(0, 2), 0x808080u);
  EXPECT_EQ(canvas.GetPixel(2, 0), 0x808080u);
}

}  // namespace
