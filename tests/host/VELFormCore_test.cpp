// The themed form frame without a window: client request, border answer, shapes, frame pieces.
#include <gtest/gtest.h>

#include <algorithm>

#include "skin/VELFormCore.h"

namespace {

TEST(VELFormCore, ThicknessClampAndBorderAnswer) {
  for (auto [in, out] : {std::pair{-1, 4}, {0, 0}, {3, 3}, {12, 12}, {13, 4}, {400, 4}})
    EXPECT_EQ(ClampFrameThickness(in), out) << in;
  TvelFrameMetrics m;
  m.BottomThickness = 4;
  EXPECT_EQ(FrameBorderAnswer(m), 3);
  m.BottomThickness = 0;  // measured on a borderless form: never a negative width
  EXPECT_EQ(FrameBorderAnswer(m), 0);
  m.LeftBorderWidth = 2;  // a file-theme side border answers its width, at least 4
  EXPECT_EQ(FrameBorderAnswer(m), 4);
  m.LeftBorderWidth = 9;
  EXPECT_EQ(FrameBorderAnswer(m), 9);
}

TEST(VELFormCore, ClientRequestBranches) {
  struct Row {
    const char* what;
    int bottomT, leftT, borderWidth, leftB, rightB, bottomB;
    TRect expect;  // for x 100, y 50, cx 300, cy 200
  } rows[] = {
      {"thickness 4, border 1", 4, 4, 1, 0, 0, 0, {100, 50, 400, 251}},
      {"thin frame counts as 4", 3, 2, 1, 0, 0, 0, {100, 50, 400, 251}},
      {"thick frame", 8, 6, 1, 0, 0, 0, {98, 46, 402, 255}},
      {"border 3 keeps 4 rows", 4, 4, 3, 0, 0, 0, {100, 50, 400, 250}},
      {"border 2", 4, 4, 2, 0, 0, 0, {100, 50, 400, 250}},
      {"file side borders", 4, 4, 1, 6, 2, 0, {103, 50, 399, 251}},
      {"file bottom border", 4, 4, 1, 0, 0, 9, {100, 50, 400, 244}},
      {"thin file bottom counts as 4", 4, 4, 1, 0, 0, 1, {100, 50, 400, 249}},
  };
  for (const Row& r : rows) {
    TvelFrameMetrics m{r.bottomT, r.leftT, r.borderWidth, r.leftB, r.rightB, r.bottomB};
    EXPECT_EQ(FrameClientRequest(m, 100, 50, 300, 200), r.expect) << r.what;
  }
}

// Whether (x, y) lies in the union of shapes, taking rounded corners as circles.
bool InShapes(const std::vector<TvelRegionShape>& shapes, int x, int y) {
  for (const auto& s : shapes) {
    const TRect& r = s.Rect;
    if (x < r.Left || x >= r.Right || y < r.Top || y >= r.Bottom) continue;
    if (s.Diameter <= 0) return true;
    double rad = s.Diameter / 2.0;
    double cx = std::clamp(x + 0.5, r.Left + rad, r.Right - rad), cy = std::clamp(y + 0.5, r.Top + rad, r.Bottom - rad);
    if ((x + 0.5 - cx) * (x + 0.5 - cx) + (y + 0.5 - cy) * (y + 0.5 - cy) <= rad * rad) return true;
  }
  return false;
}

TEST(VELFormCore, BuiltinRegionCorners) {
  struct Row {
    const char* what;
    int top, bottom;
    bool titleVisible;
    bool topCut, bottomCut;
  } rows[] = {
      {"BlueGlass rounds the top only", 11, 0, true, true, false},
      {"round corner 0 is a rectangle", 0, 0, true, false, false},
      {"both halves rounded", 13, 9, true, true, true},
      {"-1 bottom counts as 0", 13, -1, true, true, false},
      {"hidden title bar squares all corners", 11, 9, false, false, false},
  };
  for (const Row& r : rows) {
    auto shapes = BuiltinFormRegion(200, 120, r.top, r.bottom, r.titleVisible);
    SCOPED_TRACE(r.what);
    EXPECT_EQ(!InShapes(shapes, 0, 0), r.topCut);
    EXPECT_EQ(!InShapes(shapes, 199, 0), r.topCut);
    EXPECT_EQ(!InShapes(shapes, 0, 119), r.bottomCut);
    EXPECT_EQ(!InShapes(shapes, 199, 119), r.bottomCut);
    // Middle edges are always inside; nothing outside the window.
    for (auto [x, y] : {std::pair{0, 59}, {0, 60}, {199, 60}, {100, 0}, {100, 119}}) EXPECT_TRUE(InShapes(shapes, x, y));
    EXPECT_FALSE(InShapes(shapes, 200, 60));
    EXPECT_FALSE(InShapes(shapes, 100, 120));
  }
  EXPECT_TRUE(BuiltinFormRegion(0, 10, 11, 0, true).empty());
}

TEST(VELFormCore, OutlineRows) {
  // 6 x 5 outline: key pixels (K) mark the cut-away parts.
  const char* rows[] = {"KK..KK", "K....K", ".K..K.", "......", "KKKKKK"};
  TBitmap b(6, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) b.SetPixel(x, y, rows[y][x] == 'K' ? ColorToPixel(clFuchsia) : 0x336699);
  struct Row {
    const char* what;
    int minY, maxY;
    std::vector<TRect> expect;
  } cases[] = {
      {"runs on rows 0..2, full rows after", 0, 2,
       {{2, 10, 4, 11}, {1, 11, 5, 12}, {0, 12, 1, 13}, {2, 12, 4, 13}, {5, 12, 6, 13}, {0, 13, 8, 15}}},
      {"full rows above minY", 2, 3, {{0, 10, 8, 12}, {0, 12, 1, 13}, {2, 12, 4, 13}, {5, 12, 6, 13}, {0, 13, 6, 14}, {0, 14, 8, 15}}},
      {"minY >= maxY runs to the last row; a key row adds nothing", 3, 1, {{0, 10, 8, 13}, {0, 13, 6, 14}}},
      {"maxY beyond the bitmap is cut", -1, 99,
       {{2, 10, 4, 11}, {1, 11, 5, 12}, {0, 12, 1, 13}, {2, 12, 4, 13}, {5, 12, 6, 13}, {0, 13, 6, 14}}},
      {"minY beyond the bitmap is full", 40, 50, {{0, 10, 8, 15}}},
  };
  for (const auto& c : cases) {
    std::vector<TRect> out;
    AppendOutlineRows(out, b, 10, 8, clFuchsia, c.minY, c.maxY);
    EXPECT_EQ(out, c.expect) << c.what;
  }
}

TEST(VELFormCore, FileRegionBand) {
  TBitmap title(4, 3), bottom(4, 2);
  title.Fill(0x123456);
  bottom.Fill(0x123456);
  TvelFileRegionInput in;
  in.Width = 4;
  in.Height = 20;
  in.TitleStrip = &title;
  in.BottomBorder = &bottom;
  in.TitleRegion = in.BottomRegion = true;
  in.TitleMaxY = in.BottomMaxY = 99;
  auto rects = FileThemeFormRegion(in);
  ASSERT_FALSE(rects.empty());
  EXPECT_NE(std::find(rects.begin(), rects.end(), TRect{0, 3, 4, 18}), rects.end());
  in.TitleRegion = in.BottomRegion = false;
  EXPECT_EQ(FileThemeFormRegion(in), (std::vector<TRect>{{0, 0, 4, 20}}));
}

TEST(VELFormCore, FramePieces) {
  TvelFramePaintInput in;
  in.Width = 100;
  in.Height = 80;
  in.BorderWidth = 1;
  in.BorderColor = 0x111111;
  in.Color = 0x222222;
  in.TitleBarHeight = 30;
  in.PicWidth[0] = in.PicWidth[1] = in.PicWidth[2] = 10;
  in.PicHeight[0] = in.PicHeight[1] = in.PicHeight[2] = 30;
  in.RoundCorner = 11;
  auto has = [](const std::vector<TvelFramePiece>& v, auto pred) { return std::any_of(v.begin(), v.end(), pred); };
  auto pieces = LayoutFormFrame(in);
  // Left frame columns 1..2 from the first picture's leftmost 2 columns; arcs for 11 / border 1.
  EXPECT_TRUE(has(pieces, [](auto& p) {
    return p.Kind == TvelFramePiece::Picture && p.Source == 0 && p.Dest == TRect{1, 0, 3, 30} &&
           p.SourceRect == TRect{0, 0, 2, 30};
  }));
  EXPECT_TRUE(has(pieces, [](auto& p) { return p.Kind == TvelFramePiece::Arc && p.RightArc; }));
  // The top rows run from column 2 to column 96 (W - 4) inclusive, the right picture ending at W - 1.
  EXPECT_TRUE(has(pieces, [](auto& p) {
    return p.Kind == TvelFramePiece::Picture && p.Source == 1 && p.Dest == TRect{90, 0, 100, 30} &&
           p.Clip == TRect{2, 0, 97, 3};
  }));
  EXPECT_TRUE(has(pieces, [](auto& p) { return p.Kind == TvelFramePiece::Fill && p.Dest == TRect{0, 79, 100, 80}; }));
  in.RoundCorner = 0;
  EXPECT_FALSE(has(LayoutFormFrame(in), [](auto& p) { return p.Kind == TvelFramePiece::Arc; }));
  // Hidden title bar: a border row on top and Color rows below it.
  in.TitleBarVisible = false;
  pieces = LayoutFormFrame(in);
  EXPECT_EQ(pieces[0].Dest, (TRect{0, 0, 100, 1}));
  EXPECT_EQ(pieces[1].Dest, (TRect{1, 1, 99, 3}));
  // Menu bar ends take a gradient when its two colours differ.
  in.TitleBarVisible = true;
  in.MenuBarVisible = true;
  in.MenuBarTop = 30;
  in.MenuBarHeight = 22;
  in.MenuBarColor = 1;
  in.MenuBarToColor = 2;
  pieces = LayoutFormFrame(in);
  EXPECT_TRUE(has(pieces, [](auto& p) { return p.Kind == TvelFramePiece::Gradient && p.Dest == TRect{1, 33, 3, 55}; }));
}

TEST(VELFormCore, MenuBarItemLooks) {
  auto mac = MenuBarItemLook(TvelUIStyle::MacOS, true, true, nullptr);
  EXPECT_TRUE(mac.SelectBitmap);
  EXPECT_EQ(mac.TextColor, GetThemeColor(TvelUIStyle::MacOS, 20));
  auto xp = MenuBarItemLook(TvelUIStyle::WinXP, true, true, nullptr);
  EXPECT_TRUE(xp.Filled);
  EXPECT_EQ(xp.FillColor, GetThemeColor(TvelUIStyle::WinXP, 19));
  EXPECT_EQ(xp.FrameColor, GetThemeColor(TvelUIStyle::WinXP, 18));
  int32_t file[9] = {0, 1, 2, 3, 4, 55, 66, 77, 88};
  auto f = MenuBarItemLook(TvelUIStyle::FromThemeFile, true, true, file);
  EXPECT_EQ(f.FillColor, 55u);
  EXPECT_EQ(f.TextColor, 77u);
  EXPECT_EQ(MenuBarItemLook(TvelUIStyle::FromThemeFile, false, true, file).TextColor, 88u);
  EXPECT_EQ(MenuBarItemLook(TvelUIStyle::DeepBlue, true, false, nullptr).TextColor, 0x808080u);
  EXPECT_FALSE(MenuBarItemLook(TvelUIStyle::DeepBlue, true, false, nullptr).Filled);
}

}  // namespace
