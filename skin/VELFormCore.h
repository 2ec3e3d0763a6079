// The themed form frame's decisions that need no window: the client rectangle it leaves
// inside a host form's frame, the border width it tells its title bar, the window shape
// (rounded halves or the file theme's title and bottom outlines), which frame pieces its
// non-client paint draws, and the sizes it imposes on the host.
#pragma once
#include <cstdint>
#include <vector>

#include "framework/Bitmap.h"
#include "framework/Graphics.h"
#include "skin/VELThemes.h"

// A measured frame thickness of the host form: 0..12 is kept, anything else becomes 4.
int ClampFrameThickness(int value);

// What the non-client arithmetic knows of the frame.
struct TvelFrameMetrics {
  int BottomThickness = 4;  // measured, clamped
  int LeftThickness = 4;
  int BorderWidth = 1;
  // File-theme border pictures: 0 when the theme has none (or a built-in style is used).
  int LeftBorderWidth = 0, RightBorderWidth = 0, BottomBorderHeight = 0;
};

// The rectangle WM_NCCALCSIZE hands on to the host's own procedure, from the window position
// (x, y, cx, cy); that procedure then takes the system frame off it.
TRect FrameClientRequest(const TvelFrameMetrics& m, int x, int y, int cx, int cy);
// The answer to WM_FRAMEBORDERQUERY (never negative).
int FrameBorderAnswer(const TvelFrameMetrics& m);

// One part of a window region: a rectangle (right and bottom exclusive), rounded with corner
// diameter Diameter when it is above 0.
struct TvelRegionShape {
  TRect Rect;
  int Diameter = 0;
  bool operator==(const TvelRegionShape&) const = default;
};

// The built-in shape of a W x H window: the upper half rounded by roundCorner at its top
// corners, the lower half rounded by roundCornerBottom at its bottom corners (-1 counts as 0;
// both count as 0 while the title bar is hidden). The union of the shapes is the region.
std::vector<TvelRegionShape> BuiltinFormRegion(int width, int height, int roundCorner, int roundCornerBottom,
                                               bool titleBarVisible);

// The rows of a file-theme outline bitmap placed at y = top: rows above minY and below maxY
// at full width, the rows between as the runs of pixels that are not keyColor (a colour,
// 00BBGGRR). minY -1 counts as 0; minY >= maxY takes the runs down to the last row.
void AppendOutlineRows(std::vector<TRect>& out, const TBitmap& outline, int top, int fullWidth, uint32_t keyColor,
                       int minY, int maxY);

struct TvelFileRegionInput {
  int Width = 0, Height = 0;
  uint32_t KeyColor = clFuchsia;
  const TBitmap* TitleStrip = nullptr;   // used when the title flag is set
  const TBitmap* BottomBorder = nullptr; // used when the bottom flag is set
  bool TitleRegion = false, BottomRegion = false;
  int TitleMinY = -1, TitleMaxY = -1, BottomMinY = -1, BottomMaxY = -1;
};
// The file theme's shape: outline rows of the title strip, the full-width band between, the
// outline rows of the bottom border.
std::vector<TRect> FileThemeFormRegion(const TvelFileRegionInput& in);

// One drawing step of the frame paint, in window coordinates.
struct TvelFramePiece {
  enum Kind { Fill, Gradient, Picture, Arc } Kind = Fill;
  TRect Dest;
  uint32_t Color = 0, ToColor = 0;  // Fill; Gradient (vertical)
  int Source = 0;                   // Picture: which picture (see TvelFramePaintInput)
  TRect SourceRect;                 // Picture: stretched from here into Dest
  TRect Clip;                       // Picture: drawn only inside (empty: no clip)
  bool RightArc = false;            // Arc: the top-right corner, else the top-left
};

struct TvelFramePaintInput {
  int Width = 0, Height = 0;            // window
  int InsetLeft = 3, InsetTop = 3, InsetRight = 3, InsetBottom = 3;  // frame around the client area
  int BorderWidth = 1;
  uint32_t BorderColor = 0, Color = 0, MenuBarColor = 0, MenuBarToColor = 0;
  int RoundCorner = 0;
  bool Designing = false;
  bool TitleBarVisible = true;
  int TitleBarHeight = 0;
  // The title bar's three usable sections' pictures (0 left, 1 right, 2 client); size 0 when
  // the title bar has no three usable sections.
  int PicWidth[3] = {0, 0, 0}, PicHeight[3] = {0, 0, 0};
  bool MenuBarVisible = false;
  int MenuBarTop = 0, MenuBarHeight = 0;  // client coordinates
  // File theme: pictures 3 left border, 4 right border, 5 bottom (three parts in one), or
  // 6, 7, 8 bottom left, middle, right when SeparateBottom.
  bool FileTheme = false;
  int LeftBorderWidth = 0, RightBorderWidth = 0, BottomBorderHeight = 0;
  bool SeparateBottom = false;
  int BottomPartWidth[3] = {0, 0, 0};
};

// The pieces PaintFormFrame draws, in order.
std::vector<TvelFramePiece> LayoutFormFrame(const TvelFramePaintInput& in);

// The host form's minimum height under a frame.
inline int FormMinimumHeight(int menuBarHeight, int titleBarHeight, int bottomBorderHeight) {
  return menuBarHeight + titleBarHeight + bottomBorderHeight + 3;
}
// Where a maximized framed form goes: the work area grown by 2 pixels left, top and right and
// shrunk by 1 at the bottom.
inline TRect MaximizedFormBounds(const TRect& workArea) {
  return {workArea.Left - 2, workArea.Top - 2, workArea.Right + 2, workArea.Bottom - 1};
}

// How one menu-bar item is drawn.
struct TvelMenuBarItemLook {
  bool SelectBitmap = false;  // MacOS hot or pressed: MACOS_MENU_SELECT stretched
  bool Filled = false;        // other styles hot or pressed: filled and framed
  uint32_t FillColor = 0, FrameColor = 0, TextColor = 0;
};
// fileColors: the file theme's colours 0 to 8 when a file theme serves, else null.
TvelMenuBarItemLook MenuBarItemLook(TvelUIStyle style, bool hotOrPressed, bool enabled, const int32_t* fileColors);
