// The title bar's decisions, free of windows: which sections a style builds, where the
// section strip, the window buttons, the control box and the caption go, which button the
// pointer is over, the minimum form size and the rules of one control box and one client
// section. VELTitleBar_win.cpp draws what these compute.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "framework/Graphics.h"
#include "skin/VELPublic.h"
#include "skin/VELThemes.h"

enum TvelTitleBarBtnType { velMax = 0, velMin = 1, velClose = 2, velHelp = 3, velControlBox = 4, velCustom = 5 };
enum TvelTitleBarAlign { velLeft = 0, velRight = 1, velClient = 2 };

// Title button bitmaps hold 18 frames, three per kind (normal, pointer over, pressed).
constexpr int kTitleButtonFrames = 18;
// First frame (from 1) of a type's three pictures; restore for a maximize button of a
// maximized form. 0 for a custom button, which keeps its own pictures.
int TitleButtonFirstFrame(TvelTitleBarBtnType type, bool restore);

// A section the title bar builds from its style: the picture is built-in item Item for a
// built-in style, file-theme bitmap Item for a file theme.
struct TitleSectionSpec {
  int Item = 0;
  bool AutoSize = false;
  TvelTitleBarAlign Align = velLeft;
  bool CapSec = false;
  friend bool operator==(const TitleSectionSpec&, const TitleSectionSpec&) = default;
};
std::vector<TitleSectionSpec> BuiltinTitleSections();
std::vector<TitleSectionSpec> FileThemeTitleSections(bool fiveSections);

// The values a built-in style gives the title bar.
struct TitleStyleMetrics {
  int LeftBtnXOffset = 0, RightBtnXOffset = 0;
  int ButtonTop = 0, ControlBoxTop = 0;
  int MinFormWidth = 0, MinFormHeight = 0;
  int RoundCorner = 0;
};
// onFormFrame: the title bar sits on a form frame, which draws its buttons 3 pixels higher.
TitleStyleMetrics BuiltinTitleMetrics(TvelUIStyle style, bool onFormFrame);
// A file theme's minimum form width from its section bitmaps' widths and the title buttons.
int FileThemeMinFormWidth(int bar1Width, int bar3Width, int bar5Width, bool fiveSections, int buttonBitmapWidth,
                          int buttonCount, int rightBtnXOffset);

// The layout of the section strip. Coordinates are the title bar's (the strip bitmap is
// placed at (X0, Y0) of it).
struct TitleSectionInput {
  TvelTitleBarAlign Align = velLeft;
  bool CapSec = false;
  int Width = 0;  // the section's Width property
  int PictureWidth = 0, PictureHeight = 0;
};
struct TitleBackgroundInput {
  int BufferWidth = 0, BufferHeight = 0;
  bool OnFormFrame = false;
  int BorderAnswer = 0;  // the form frame's answer to WM_FRAMEBORDERQUERY
  int LeftBtnXOffset = 0;
  int ButtonsWidth = 0;  // sum over all buttons of PicNormal width + ButtonInterval
  std::string Caption;
  std::vector<TitleSectionInput> Sections;
};
enum class TitlePieceMode { Natural, Stretch, KeyedOverBackground };
struct TitlePiece {
  int Section = 0;
  TRect Target;  // in title bar coordinates; stretched pieces fill it
  TitlePieceMode Mode = TitlePieceMode::Natural;
};
struct TitleBackgroundLayout {
  int X0 = 0, Y0 = 0;
  int StripWidth = 0, StripHeight = 0;
  int CaptionSection = -1;    // -1 without a caption section
  std::string CaptionText;    // the caption section's fitted caption
  std::vector<TitlePiece> Pieces;  // in drawing order, the client section last
};
TitleBackgroundLayout LayoutTitleBackground(const TitleBackgroundInput& in, const TextWidthFn& textWidth);

// The window buttons, the control box and the caption.
struct TitleButtonInput {
  TvelTitleBarBtnType Type = velCustom;
  bool Visible = true;
  bool HasPictures = false;  // all three pictures hold a graphic
  int Width = 0, Height = 0;  // of PicNormal
};
struct TitleForegroundInput {
  int BufferWidth = 0;
  int BorderAnswer = 0;
  int LeftBtnXOffset = 0, RightBtnXOffset = 0;
  int ButtonInterval = 0;
  int ButtonTop = 0, ControlBoxTop = 0;
  bool DrawAppIcon = true;
  std::vector<TitleButtonInput> Buttons;
  TPoint Pointer{-1000000, -1000000};  // client coordinates
};
enum class TitleButtonState { Normal, MouseOn, MouseDown };
struct TitleButtonPlace {
  int Button = 0;
  TRect Rect;  // where PicNormal goes
};
struct TitleForegroundLayout {
  std::vector<TitleButtonPlace> Buttons;  // drawn, in collection order (control box excluded)
  int Hot = -1;                           // button index under the pointer, -1 for none
  int ControlBox = -1;                    // the control-box button drawn, -1 for none
  TRect ControlBoxRect;                   // its picture (or, with the app icon, the 16 x 16 icon)
  int CaptionLeft = 0;                    // X after the control box
  int ButtonsLeft = 0;                    // C: left of the leftmost right-hand button
};
TitleForegroundLayout LayoutTitleForeground(const TitleForegroundInput& in);

// The caption shortened one character at a time, "..." appended, until its width is at most
// room; unchanged when it fits. Nothing fits: "...".
std::string ShortenCaption(const TextWidthFn& textWidth, const std::string& caption, int room);
// Where the caption is written: with a file theme at (x, captionTop - 3), with a built-in
// style at (x, buttonTop), 3 lower for Protein; right to left it ends 10 pixels left of
// buttonsLeft.
TPoint TitleCaptionPos(bool fileTheme, TvelUIStyle style, bool rightToLeft, int captionLeft, int buttonsLeft,
                       int textWidth, int captionTop, int buttonTop);

// The bounds of a maximized form that sits on no form frame: the work area grown by 2 to the
// left, top and right and shrunk by 1 at the bottom.
TRect TitleMaximizedBounds(const TRect& workArea);
// Where the control-box menu opens, in screen coordinates: the title bar's bottom-left
// corner, 176 pixels further right for a right-to-left caption, never left of 0.
TPoint ControlBoxMenuPoint(const TPoint& bottomLeft, bool rightToLeft);

// The two "only one" rules: whether item index may take the value when the others hold
// those of values (the item's own entry is ignored).
bool OnlyOneControlBoxAllowed(const std::vector<TvelTitleBarBtnType>& types, int index, TvelTitleBarBtnType value);
bool OnlyOneClientSectionAllowed(const std::vector<TvelTitleBarAlign>& aligns, int index, TvelTitleBarAlign value);
extern const char* const kOnlyOneControlBoxText;
extern const char* const kOnlyOneClientSectionText;

// The built-in control-box menu: its captions (GBK) and which of them are enabled.
extern const char* const kControlBoxMenuCaptions[4];
struct ControlBoxMenuState {
  bool Minimize = false, Maximize = false, Close = false;
};
// Minimize needs a visible minimize button, maximize/restore a visible maximize button and
// close a visible close button.
ControlBoxMenuState ControlBoxMenuEnabling(const std::vector<TitleButtonInput>& buttons);
