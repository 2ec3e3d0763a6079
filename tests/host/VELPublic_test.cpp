// Drawing helpers: frame cutting, nine-grid and three-part pieces, tiling, gradients,
// region runs, geometry and text fitting, checked on plain bitmaps.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Component.h"
#include "framework/Streaming.h"
#include "skin/VELPublic.h"

namespace {

// A bitmap whose every pixel names its position: x above bit 8, y in the low byte.
TBitmap Coordinates(int w, int h) {
  TBitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, static_cast<uint32_t>(x) << 8 | static_cast<uint32_t>(y));
  return b;
}
int SrcX(uint32_t px) { return static_cast<int>(px >> 8 & 0xFFFF); }
int SrcY(uint32_t px) { return static_cast<int>(px & 0xFF); }

TEST(PickBitmapFrame, FramesAndRemainder) {
  struct Case {
    int width, frames, index, firstColumn, frameWidth;
  } cases[] = {
      {231, 3, 1, 0, 77},  {231, 3, 2, 77, 77}, {231, 3, 3, 154, 77}, {53, 4, 1, 0, 13},
      {53, 4, 3, 26, 13},  {53, 4, 4, 40, 13},  {342, 18, 18, 323, 19}, {52, 4, 2, 13, 13},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "/" + std::to_string(c.frames) + "#" + std::to_string(c.index));
    TBitmap src = Coordinates(c.width, 5), dst;
    PickBitmapFrame(src, dst, c.frames, c.index);
    ASSERT_EQ(dst.Width(), c.frameWidth);
    ASSERT_EQ(dst.Height(), 5);
    EXPECT_EQ(SrcX(dst.GetPixel(0, 0)), c.firstColumn);
    EXPECT_EQ(SrcX(dst.GetPixel(c.frameWidth - 1, 4)), c.firstColumn + c.frameWidth - 1);
    EXPECT_EQ(SrcY(dst.GetPixel(3, 4)), 4);
  }
}

TEST(PickBitmapFrame, SourceMayBeDest) {
  TBitmap b = Coordinates(231, 27);
  PickBitmapFrame(b, b, 3, 2);
  ASSERT_EQ(b.Width(), 77);
  EXPECT_EQ(SrcX(b.GetPixel(0, 0)), 77);
  EXPECT_EQ(SrcX(b.GetPixel(76, 26)), 153);
}

TEST(PickBitmapFrame, BadCountOrIndexGivesEmpty) {
  for (auto [n, i] : std::vector<std::pair<int, int>>{{0, 1}, {-1, 1}, {3, 0}, {3, 4}, {3, -2}}) {
    TBitmap src = Coordinates(30, 4), dst = Coordinates(2, 2);
    PickBitmapFrame(src, dst, n, i);
    EXPECT_TRUE(dst.Empty()) << n << " " << i;
  }
  TBitmap empty, dst;
  PickBitmapFrame(empty, dst, 3, 1);
  EXPECT_TRUE(dst.Empty());
}

TEST(NineGrid, ButtonFrameIntoLargerButton) {
  const std::vector<NineGridPiece> p = NineGridPieces(77, 27, {0, 0, 91, 30});
  ASSERT_EQ(p.size(), 9u);
  struct Expect {
    const char* piece;
    TRect target, source;
  } expected[] = {
      {"top-left", {0, 0, 38, 13}, {0, 0, 38, 13}},
      {"bottom-left", {0, 18, 38, 30}, {0, 15, 38, 27}},
      {"left edge", {0, 13, 38, 18}, {0, 13, 38, 14}},
      {"top-right", {54, 0, 91, 13}, {40, 0, 77, 13}},
      {"bottom-right", {54, 18, 91, 30}, {40, 15, 77, 27}},
      {"right edge", {54, 13, 91, 18}, {40, 14, 77, 15}},
      {"top edge", {38, 0, 54, 13}, {38, 0, 40, 13}},
      {"centre", {38, 13, 54, 17}, {38, 13, 40, 14}},
      {"bottom edge", {37, 17, 54, 30}, {38, 14, 40, 27}},
  };
  for (size_t i = 0; i < 9; ++i) {
    SCOPED_TRACE(expected[i].piece);
    EXPECT_EQ(p[i].Target, expected[i].target);
    EXPECT_EQ(p[i].Source, expected[i].source);
    EXPECT_EQ(p[i].Corner, i == 0 || i == 1 || i == 3 || i == 4);
  }
}

TEST(NineGrid, EvenHeightLeavesLeftEdgeSourceEmpty) {
  const std::vector<NineGridPiece> p = NineGridPieces(78, 26, {0, 0, 100, 40});
  EXPECT_EQ(p[2].Source.Height(), 0);             // left edge
  EXPECT_EQ(p[5].Source, (TRect{40, 13, 78, 15}));  // right edge: two rows
  EXPECT_EQ(p[6].Source.Width(), 1);              // top edge: one column for an even width
}

TEST(NineGrid, SmallRectangleCutsCornersKeepingOuterParts) {
  const std::vector<NineGridPiece> p = NineGridPieces(77, 27, {0, 0, 20, 10});
  EXPECT_EQ(p[0].Target, (TRect{0, 0, 10, 5}));
  EXPECT_EQ(p[0].Source, (TRect{0, 0, 10, 5}));
  EXPECT_EQ(p[1].Target, (TRect{0, 6, 10, 10}));
  EXPECT_EQ(p[1].Source, (TRect{0, 23, 10, 27}));
  EXPECT_EQ(p[3].Target, (TRect{11, 0, 20, 5}));
  EXPECT_EQ(p[3].Source, (TRect{68, 0, 77, 5}));
  EXPECT_EQ(p[4].Source, (TRect{68, 23, 77, 27}));
  // The bottom edge is thinner than its source: its bottom rows are kept.
  EXPECT_EQ(p[8].Target, (TRect{9, 5, 11, 10}));
  EXPECT_EQ(p[8].Source, (TRect{38, 22, 40, 27}));
  // Everything still gets covered.
  TBitmap canvas(20, 10), face = Coordinates(77, 27);
  canvas.Fill(0x123456);
  DrawNineGrid(canvas, face, {0, 0, 20, 10}, false);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) EXPECT_NE(canvas.GetPixel(x, y), 0x123456u) << x << "," << y;
}

TEST(NineGrid, OnePixelWideDrawsNoCorners) {
  for (const NineGridPiece& piece : NineGridPieces(77, 27, {0, 0, 1, 30}))
    if (piece.Corner) {
      EXPECT_TRUE(piece.Target.Empty());
    }
}

TEST(NineGrid, DrawsPiecesAndKeyTransparency) {
  TBitmap face = Coordinates(77, 27);
  face.SetPixel(0, 0, 0xFF00FF);   // key in a corner
  face.SetPixel(38, 13, 0xFF00FF); // key in the stretched centre column
  for (bool transparent : {false, true}) {
    TBitmap canvas(91, 30);
    canvas.Fill(0x010203);
    DrawNineGrid(canvas, face, {0, 0, 91, 30}, transparent);
    EXPECT_EQ(canvas.GetPixel(0, 0), transparent ? 0x010203u : 0xFF00FFu);
    EXPECT_EQ(canvas.GetPixel(90, 0), face.GetPixel(76, 0));
    EXPECT_EQ(canvas.GetPixel(90, 29), face.GetPixel(76, 26));
    EXPECT_EQ(canvas.GetPixel(0, 29), face.GetPixel(0, 26));
    EXPECT_EQ(canvas.GetPixel(5, 15), face.GetPixel(5, 13));  // left edge stretches row 13
    EXPECT_EQ(SrcY(canvas.GetPixel(60, 15)), 14);              // right edge: row 14
    // The centre's key pixel is never drawn whatever the flag says.
    EXPECT_EQ(canvas.GetPixel(38, 13), 0x010203u);
    EXPECT_EQ(SrcX(canvas.GetPixel(53, 14)), 39);
  }
}

TEST(ThreePart, PartsAndNarrowRectangle) {
  TBitmap bmp = Coordinates(30, 6);
  TBitmap canvas(60, 10);
  DrawThreePart(canvas, bmp, {5, 2, 45, 8}, false, 0x00FF00FF);
  EXPECT_EQ(SrcX(canvas.GetPixel(5, 2)), 0);
  EXPECT_EQ(SrcX(canvas.GetPixel(14, 2)), 9);
  EXPECT_EQ(SrcX(canvas.GetPixel(35, 3)), 20);
  EXPECT_EQ(SrcX(canvas.GetPixel(44, 7)), 29);
  EXPECT_EQ(SrcX(canvas.GetPixel(15, 2)), 10);  // middle stretched from column 10 ...
  EXPECT_EQ(SrcX(canvas.GetPixel(34, 2)), 19);  // ... to 19
  EXPECT_EQ(canvas.GetPixel(45, 2), 0u);

  TBitmap narrow(60, 10);
  DrawThreePart(narrow, bmp, {5, 2, 12, 8}, false, 0x00FF00FF);
  EXPECT_EQ(SrcX(narrow.GetPixel(11, 2)), 6);
  EXPECT_EQ(narrow.GetPixel(12, 2), 0u);

  TBitmap keyed = Coordinates(30, 6);
  keyed.SetPixel(1, 1, 0x0000FF);  // colour value 00FF0000
  TBitmap canvas2(60, 10);
  DrawThreePart(canvas2, keyed, {0, 0, 40, 6}, true, 0x00FF0000);
  EXPECT_EQ(canvas2.GetPixel(1, 1), 0u);
  // A system colour key stands for its colour (clBtnFace: D4D0C8 here), not for its bits.
  TBitmap face = Coordinates(30, 6);
  face.SetPixel(2, 2, 0xD4D0C8);
  face.SetPixel(3, 2, 0x0F0000);
  TBitmap canvas3(40, 6);
  DrawThreePart(canvas3, face, {0, 0, 40, 6}, true, 0x8000000F);
  EXPECT_EQ(canvas3.GetPixel(2, 2), 0u);
  EXPECT_EQ(canvas3.GetPixel(3, 2), 0x0F0000u);
}

TEST(TileDrawPicture, FromOriginOneTileBeyond) {
  TBitmap pic = Coordinates(3, 2);
  TBitmap canvas(20, 20);
  TileDrawPicture(canvas, pic, {4, 4, 10, 7});
  // x runs 0, 3, ..., while x < 3 + 6 → tiles at 0, 3, 6; y: 0, 2, 4 while y < 2 + 3.
  EXPECT_EQ(canvas.GetPixel(0, 0), pic.GetPixel(0, 0));
  EXPECT_EQ(canvas.GetPixel(8, 5), pic.GetPixel(2, 1));
  EXPECT_EQ(canvas.GetPixel(9, 0), 0u);
  EXPECT_EQ(canvas.GetPixel(0, 6), 0u);
  TBitmap none;
  TileDrawPicture(canvas, none, {0, 0, 20, 20});  // draws nothing, no crash
  // With a key, the key's pixels leave what was there.
  const uint32_t key = PixelToColor(pic.GetPixel(1, 0));
  canvas.Fill(0x123456);
  TileDrawPicture(canvas, pic, {0, 0, 6, 4}, &key);
  EXPECT_EQ(canvas.GetPixel(4, 2), 0x123456u);
  EXPECT_EQ(canvas.GetPixel(5, 2), pic.GetPixel(2, 0));
}

TEST(Gradients, VerticalRows) {
  TBitmap canvas(4, 12);
  const uint32_t from = MakeRGB(255, 10, 0), to = MakeRGB(0, 210, 100);
  DrawVerticalGradient(canvas, {1, 1, 3, 11}, from, to);  // height 10
  EXPECT_EQ(canvas.GetPixel(1, 1), ColorToPixel(from));
  EXPECT_EQ(canvas.GetPixel(2, 10), ColorToPixel(to));
  for (int y = 2; y <= 9; ++y) {
    const int step = y - 1 - 1;
    const int r = 255 + static_cast<int>(-255.0 / 10 * step);
    const int g = 10 + static_cast<int>(200.0 / 10 * step);
    const int b = 0 + static_cast<int>(100.0 / 10 * step);
    EXPECT_EQ(canvas.GetPixel(1, y), ColorToPixel(MakeRGB(r, g, b))) << y;
    EXPECT_EQ(canvas.GetPixel(2, y), canvas.GetPixel(1, y));
  }
  EXPECT_EQ(canvas.GetPixel(1, 2), ColorToPixel(from));  // step 0 repeats the top colour
  EXPECT_EQ(canvas.GetPixel(1, 4), ColorToPixel(MakeRGB(204, 50, 20)));
  EXPECT_EQ(canvas.GetPixel(0, 5), 0u);
  EXPECT_EQ(canvas.GetPixel(3, 5), 0u);
}

TEST(Gradients, HorizontalColumnsAndNoExtent) {
  TBitmap canvas(9, 3);
  DrawHorizontalGradient(canvas, {0, 0, 7, 2}, MakeRGB(0, 0, 0), MakeRGB(100, 255, 7));  // width 7
  for (int x = 1; x <= 5; ++x)
    EXPECT_EQ(canvas.GetPixel(x, 1),
              ColorToPixel(MakeRGB(static_cast<int>(100.0 / 7 * x), static_cast<int>(255.0 / 7 * x),
                                   static_cast<int>(7.0 / 7 * x))))
        << x;
  EXPECT_EQ(canvas.GetPixel(6, 0), ColorToPixel(MakeRGB(100, 255, 7)));
  EXPECT_EQ(canvas.GetPixel(3, 2), 0u);
  TBitmap untouched(4, 4);
  DrawHorizontalGradient(untouched, {3, 0, 3, 4}, 0xFFFFFF, 0xFFFFFF);
  DrawVerticalGradient(untouched, {0, 3, 4, 2}, 0xFFFFFF, 0xFFFFFF);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(untouched.GetPixel(x, y), 0u);
}

TEST(Colors, MakeAndSplit) {
  EXPECT_EQ(MakeRGB(0x12, 0x34, 0x56), 0x00563412u);
  EXPECT_EQ(MakeRGB(0x112, -1, 0x100), 0x0000FF12u);  // each taken as one byte
  EXPECT_EQ(SplitRGB(0x00563412), (TvelRGB{0x12, 0x34, 0x56}));
  // System colour constants resolve first (clBtnFace: the classic scheme's face grey here).
  EXPECT_EQ(SplitRGB(0x8000000F), (TvelRGB{0xD4, 0xD0, 0xC8}));
  EXPECT_EQ(SplitRGB(0xFF000005), (TvelRGB{0xFF, 0xFF, 0xFF}));
}

TEST(RegionRuns, RunsPerRow) {
  TBitmap b(6, 3);
  b.Fill(0xFF00FF);
  b.SetPixel(1, 0, 0x000000);
  b.SetPixel(2, 0, 0x000001);
  b.SetPixel(4, 0, 0x123456);
  b.SetPixel(5, 2, 0x000000);  // last column belongs to the region
  const std::vector<TRect> runs = BitmapRegionRuns(b, kSkinKeyColor);
  EXPECT_EQ(runs, (std::vector<TRect>{{1, 0, 3, 1}, {4, 0, 5, 1}, {5, 2, 6, 3}}));

  TBitmap allKey(5, 5);
  allKey.Fill(0xFF00FF);
  EXPECT_TRUE(BitmapRegionRuns(allKey, kSkinKeyColor).empty());
  // A system colour as key matches nothing; the key is a colour value (00BBGGRR).
  EXPECT_EQ(BitmapRegionRuns(allKey, 0x8000000F).size(), 5u);
  TBitmap blue(2, 1);
  blue.Fill(0x0000FF);
  EXPECT_TRUE(BitmapRegionRuns(blue, 0x00FF0000).empty());
}

TEST(Geometry, PointInRectEdgesInside) {
  const TRect r{10, 20, 30, 40};
  EXPECT_TRUE(PointInRect({10, 20}, r));
  EXPECT_TRUE(PointInRect({30, 40}, r));
  EXPECT_TRUE(PointInRect({30, 25}, r));
  EXPECT_FALSE(PointInRect({31, 25}, r));
  EXPECT_FALSE(PointInRect({15, 19}, r));
  EXPECT_FALSE(PointInRect({9, 41}, r));
}

TEST(Geometry, SetControlBoundsRectOrder) {
  struct Fake {
    std::vector<std::string> calls;
    void SetLeft(int v) { calls.push_back("L" + std::to_string(v)); }
    void SetTop(int v) { calls.push_back("T" + std::to_string(v)); }
    void SetWidth(int v) { calls.push_back("W" + std::to_string(v)); }
    void SetHeight(int v) { calls.push_back("H" + std::to_string(v)); }
  } control;
  SetControlBoundsRect(control, {5, 6, 25, 16});
  EXPECT_EQ(control.calls, (std::vector<std::string>{"L5", "T6", "W20", "H10"}));
}

TEST(HasProperty, ByRegisteredClassAndBases) {
  struct Themed : TComponent {
    using TComponent::TComponent;
    const char* ClassName() const override { return "TVxThemedProbe"; }
  };
  struct Plain : TComponent {
    using TComponent::TComponent;
    const char* ClassName() const override { return "TVxUnregisteredProbe"; }
  };
  auto ignore = [](TComponent&, const TLayoutValue&, TReader&) {};
  RegisterComponentClass("TVxThemedProbeBase", "").Property("UIStyle", ignore);
  RegisterComponentClass("TVxThemedProbe", "TVxThemedProbeBase").Property("FileTheme", ignore);
  Themed themed(nullptr);
  Plain plain(nullptr);
  EXPECT_TRUE(HasProperty(themed, "FileTheme"));
  EXPECT_TRUE(HasProperty(themed, "uistyle"));  // from the base, any case
  EXPECT_FALSE(HasProperty(themed, "Glyph"));
  EXPECT_FALSE(HasProperty(plain, "UIStyle"));
}

TEST(IsFormActive, DecisionOrder) {
  struct Case {
    const char* what;
    FormActivity facts;
    bool active;
  } cases[] = {
      {"no main form: own flag", {.HasMainForm = false, .FormActiveFlag = true}, true},
      {"no main form, flag off", {.HasMainForm = false, .ApplicationActive = true}, false},
      {"MDI frame itself even when app inactive", {true, true, true, false, false, false, false}, true},
      {"app inactive", {.HasMainForm = true, .ApplicationActive = false, .FormActiveFlag = true}, false},
      {"absent form", {.HasMainForm = true, .FormAbsent = true, .ApplicationActive = true}, true},
      {"main form", {.HasMainForm = true, .FormIsMainForm = true, .ApplicationActive = true}, true},
      {"active MDI child", {.HasMainForm = true, .MainFormIsMdiFrame = true, .ApplicationActive = true, .FormIsActiveMdiChild = true}, true},
      {"other MDI child: own flag", {.HasMainForm = true, .MainFormIsMdiFrame = true, .ApplicationActive = true}, false},
      {"plain form: own flag", {.HasMainForm = true, .ApplicationActive = true, .FormActiveFlag = true}, true},
      {"plain form: flag off", {.HasMainForm = true, .ApplicationActive = true}, false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsFormActive(c.facts), c.active) << c.what;
}

TEST(FitTextWithEllipsis, Prefixes) {
  // Every byte 5 pixels wide.
  const TextWidthFn width = [](std::string_view t) { return static_cast<int>(t.size()) * 5; };
  EXPECT_EQ(FitTextWithEllipsis(width, "Setup", 25), "Setup");
  EXPECT_EQ(FitTextWithEllipsis(width, "Setup wizard", 40), "Setup...");
  EXPECT_EQ(FitTextWithEllipsis(width, "Setup wizard", 20), "S...");
  EXPECT_EQ(FitTextWithEllipsis(width, "Setup wizard", 19), "Setup wizard");  // nothing shorter fits
  EXPECT_EQ(FitTextWithEllipsis(width, "", 0), "");
  // GBK: "安装程序" is four two-byte characters; a cut never splits one.
  const std::string gbk = "\xB0\xB2\xD7\xB0\xB3\xCC\xD0\xF2";
  EXPECT_EQ(FitTextWithEllipsis(width, gbk, 30), "\xB0\xB2...");
  EXPECT_EQ(FitTextWithEllipsis(width, gbk, 34), "\xB0\xB2...");
  EXPECT_EQ(FitTextWithEllipsis(width, gbk, 35), "\xB0\xB2\xD7\xB0...");
}

}  // namespace
