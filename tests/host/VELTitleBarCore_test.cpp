#include <gtest/gtest.h>

#include "skin/VELTitleBarCore.h"

namespace {

int SevenPerByte(std::string_view text) { return 7 * static_cast<int>(text.size()); }

TEST(TitleBarCore, ButtonFramesAndStyleMetrics) {
  const struct {
    TvelTitleBarBtnType type;
    bool restore;
    int frame;
  } frames[] = {{velMax, false, 7}, {velMax, true, 10}, {velMin, false, 13}, {velClose, true, 16},
                {velHelp, false, 4}, {velControlBox, false, 1}, {velCustom, false, 0}};
  for (const auto& f : frames) EXPECT_EQ(TitleButtonFirstFrame(f.type, f.restore), f.frame) << f.type;

  TitleStyleMetrics deepBlue = BuiltinTitleMetrics(TvelUIStyle::DeepBlue, false);
  EXPECT_EQ(deepBlue.ButtonTop, 2);
  EXPECT_EQ(deepBlue.MinFormWidth, 130);
  EXPECT_EQ(deepBlue.MinFormHeight, 50);
  TitleStyleMetrics glass = BuiltinTitleMetrics(TvelUIStyle::BlueGlass, true);
  EXPECT_EQ(glass.LeftBtnXOffset, 4);
  EXPECT_EQ(glass.RightBtnXOffset, -3);
  EXPECT_EQ(glass.ButtonTop, 3);  // 6, less 3 on a form frame
  EXPECT_EQ(glass.ControlBoxTop, 3);
  EXPECT_EQ(glass.RoundCorner, 11);

  // 342 / 18 = 19 per button; four buttons and a right offset of 2.
  EXPECT_EQ(FileThemeMinFormWidth(40, 30, 20, false, 342, 4, 2), 40 + 78);
  EXPECT_EQ(FileThemeMinFormWidth(40, 100, 20, false, 342, 4, 2), 140);
  EXPECT_EQ(FileThemeMinFormWidth(40, 30, 90, true, 342, 4, 2), 40 + 30 + 90 + 16);
}

TEST(TitleBarCore, SectionListsPerTheme) {
  const std::vector<TitleSectionSpec> builtin{{10, true, velLeft, false}, {12, true, velRight, false}, {11, false, velClient, false}};
  EXPECT_EQ(BuiltinTitleSections(), builtin);
  const std::vector<TitleSectionSpec> three{{0, true, velLeft, false}, {1, false, velClient, false}, {2, true, velRight, false}};
  EXPECT_EQ(FileThemeTitleSections(false), three);
  const std::vector<TitleSectionSpec> five{{0, true, velLeft, false}, {1, false, velLeft, true}, {2, true, velLeft, false},
                                           {3, false, velClient, false}, {4, true, velRight, false}};
  EXPECT_EQ(FileThemeTitleSections(true), five);
}

std::vector<TRect> Targets(const TitleBackgroundLayout& l) {
  std::vector<TRect> out;
  for (const TitlePiece& p : l.Pieces) out.push_back(p.Target);
  return out;
}

TEST(TitleBarCore, SectionWalk) {
  TitleBackgroundInput in;
  in.BufferWidth = 400;
  in.BufferHeight = 29;
  in.Sections = {{velLeft, false, 97, 97, 32}, {velRight, false, 97, 97, 32}, {velClient, false, 10, 98, 32}};
  TitleBackgroundLayout plain = LayoutTitleBackground(in, SevenPerByte);
  EXPECT_EQ(Targets(plain), (std::vector<TRect>{{0, 0, 97, 32}, {303, 0, 400, 32}, {97, 0, 303, 32}}));
  EXPECT_EQ(plain.Pieces[1].Mode, TitlePieceMode::KeyedOverBackground);
  EXPECT_EQ(plain.Pieces[2].Mode, TitlePieceMode::Stretch);

  in.OnFormFrame = true;
  in.BorderAnswer = 1;
  TitleBackgroundLayout framed = LayoutTitleBackground(in, SevenPerByte);
  EXPECT_EQ(framed.X0, -1);
  EXPECT_EQ(framed.Y0, -3);
  EXPECT_EQ(framed.StripWidth, 402);
  EXPECT_EQ(framed.StripHeight, 32);
  EXPECT_EQ(Targets(framed), (std::vector<TRect>{{-1, -3, 96, 29}, {304, -3, 401, 29}, {96, -3, 304, 29}}));
  in.BorderAnswer = 0;
  EXPECT_EQ(LayoutTitleBackground(in, SevenPerByte).X0, -3);

  // Five sections: the caption section is as wide as its text plus the left offset, less
  // the last left section, plus 17.
  TitleBackgroundInput five;
  five.BufferWidth = 300;
  five.LeftBtnXOffset = 5;
  five.ButtonsWidth = 60;
  five.Caption = "Hello";
  five.Sections = {{velLeft, false, 20, 20, 25}, {velLeft, true, 10, 4, 25}, {velLeft, false, 30, 30, 25},
                   {velClient, false, 10, 2, 25}, {velRight, false, 25, 25, 25}};
  TitleBackgroundLayout l = LayoutTitleBackground(five, SevenPerByte);
  EXPECT_EQ(l.CaptionSection, 1);
  EXPECT_EQ(l.CaptionText, "Hello");
  EXPECT_EQ(Targets(l), (std::vector<TRect>{{0, 0, 20, 25}, {20, 0, 57, 25}, {57, 0, 87, 25}, {275, 0, 300, 25}, {87, 0, 275, 25}}));
  // Room is 300 - 5 - 60 - 30 - 21 = 184 pixels: 26 characters at 7 each.
  five.Caption = std::string(40, 'x');
  l = LayoutTitleBackground(five, SevenPerByte);
  EXPECT_LE(SevenPerByte(l.CaptionText), 184);
  EXPECT_EQ(l.CaptionText.substr(l.CaptionText.size() - 3), "...");
}

TEST(TitleBarCore, ButtonsRightToLeftAndHotTest) {
  TitleForegroundInput in;
  in.BufferWidth = 300;
  in.ButtonTop = 2;
  in.ControlBoxTop = 2;
  in.Buttons = {{velControlBox, true, true, 19, 19}, {velClose, true, true, 19, 19}, {velMax, true, true, 19, 19},
                {velMin, true, true, 19, 19}};
  const struct {
    const char* what;
    TPoint pointer;
    int hot;
  } probes[] = {
      {"close, right edge inclusive", {299, 2}, 1},  {"close, left edge", {280, 20}, 1},
      {"maximize, right edge", {279, 5}, 2},          {"minimize", {245, 10}, 3},
      {"control box picture", {0, 2}, 0},             {"below the buttons", {285, 22}, -1},
      {"caption", {150, 10}, -1},
  };
  for (const auto& p : probes) {
    in.Pointer = p.pointer;
    TitleForegroundLayout l = LayoutTitleForeground(in);
    EXPECT_EQ(l.Hot, p.hot) << p.what;
    ASSERT_EQ(l.Buttons.size(), 3u);
    EXPECT_EQ(l.Buttons[0].Rect, (TRect{280, 2, 299, 21}));  // close: no interval
    EXPECT_EQ(l.Buttons[1].Rect.Left, 260);
    EXPECT_EQ(l.Buttons[2].Rect.Left, 240);
    EXPECT_EQ(l.ControlBoxRect, (TRect{3, 2, 19, 18}));  // the 16 x 16 application icon
    EXPECT_EQ(l.CaptionLeft, 21);
  }

  // A negative right offset never pushes a button past the right edge less 1; a button
  // without its pictures takes no room and is never hot; the control box as pictures.
  in.RightBtnXOffset = -3;
  in.Buttons[2].HasPictures = false;
  in.DrawAppIcon = false;
  in.LeftBtnXOffset = 10;
  in.Pointer = {265, 5};
  TitleForegroundLayout l = LayoutTitleForeground(in);
  ASSERT_EQ(l.Buttons.size(), 2u);
  EXPECT_EQ(l.Buttons[0].Rect.Left, 280);
  EXPECT_EQ(l.Buttons[1].Button, 3);
  EXPECT_EQ(l.Buttons[1].Rect.Left, 260);
  EXPECT_EQ(l.Hot, 3);
  EXPECT_EQ(l.ControlBoxRect, (TRect{7, 1, 26, 20}));  // x = 10 - (0 - 1) - 4, one higher
  EXPECT_EQ(l.CaptionLeft, 7 + 19 + 5);

  in.Buttons[0].Visible = false;
  in.LeftBtnXOffset = 0;
  EXPECT_EQ(LayoutTitleForeground(in).CaptionLeft, 6);  // no control box at x 0
}

TEST(TitleBarCore, CaptionShorteningAndPlacement) {
  const struct {
    std::string caption;
    int room;
    std::string result;
  } cases[] = {
      {"Setup", 35, "Setup"},
      {"Setup", 34, "S..."},
      {"abc\xC4\xE3\xBA\xC3\xCA\xC0\xBD\xE7", 63, "abc\xC4\xE3..."},  // a GBK character goes whole
      {"Setup", 3, "..."},
      {"", 0, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ShortenCaption(SevenPerByte, c.caption, c.room), c.result) << c.room;

  EXPECT_EQ(TitleCaptionPos(true, TvelUIStyle::FromThemeFile, false, 21, 240, 50, 8, 2), (TPoint{21, 5}));
  EXPECT_EQ(TitleCaptionPos(false, TvelUIStyle::Protein, false, 21, 240, 50, 8, 2), (TPoint{21, 5}));
  EXPECT_EQ(TitleCaptionPos(false, TvelUIStyle::MacOS, true, 21, 240, 50, 8, 4), (TPoint{180, 4}));
}

TEST(TitleBarCore, RulesAndPlacesOfTheForm) {
  const std::vector<TvelTitleBarBtnType> types{velControlBox, velClose, velMax};
  EXPECT_FALSE(OnlyOneControlBoxAllowed(types, 1, velControlBox));
  EXPECT_TRUE(OnlyOneControlBoxAllowed(types, 0, velControlBox));  // its own value again
  EXPECT_TRUE(OnlyOneControlBoxAllowed(types, 1, velHelp));
  EXPECT_FALSE(OnlyOneClientSectionAllowed({velLeft, velClient}, 0, velClient));
  EXPECT_TRUE(OnlyOneClientSectionAllowed({velLeft, velRight}, 0, velClient));

  ControlBoxMenuState s = ControlBoxMenuEnabling({{velMin, false, true, 19, 19}, {velMax, true, false, 0, 0}, {velHelp, true, true, 1, 1}});
  EXPECT_FALSE(s.Minimize);
  EXPECT_TRUE(s.Maximize);
  EXPECT_FALSE(s.Close);

  EXPECT_EQ(TitleMaximizedBounds({0, 0, 1024, 740}), (TRect{-2, -2, 1026, 739}));
  EXPECT_EQ(ControlBoxMenuPoint({-5, 30}, false), (TPoint{0, 30}));
  EXPECT_EQ(ControlBoxMenuPoint({-5, 30}, true), (TPoint{171, 30}));
}

}  // namespace
