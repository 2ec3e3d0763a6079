// The themed menus' decisions that need no window: the values a style gives a menu, the size
// of an item, and where and in which colours and pictures an item's parts are drawn.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "framework/Graphics.h"
#include "skin/VELThemes.h"

// The published look of a themed menu, with the constructor's values.
struct TvelMenuLook {
  int MenuItemHeight = 21;
  int SeparatorHeight = 21;
  int BarWidth = 0;
  uint32_t BarColor = clBtnFace, BarToColor = clBtnFace;
  uint32_t Color = clWhite;
  uint32_t SeparatorColor = 0x808080;
  uint32_t SelectedBorderColor = clHighlight, SelectedColor = clHighlight;
  uint32_t SelectedFontColor = clWhite, FontColor = clWhite;
  uint32_t BorderColor = clBlack;
  bool FlatMenu = false;
  std::string FontName = "MS Sans Serif";
  int FontSize = 8;
  int FontCharset = 1;
  bool UseSystemFont = true;
};

// What the UIStyle setter does to the look: bar width, heights and separator colour by style,
// then the colours from the file theme (fileColor by item number) when it serves, else from
// the built-in items of the effective style.
void ApplyMenuStyle(TvelMenuLook& look, TvelUIStyle style, bool fileThemeReady,
                    const std::function<int32_t(int index)>& fileColor);

// A caption of exactly "-".
inline bool IsMenuSeparator(const std::string& caption) { return caption == "-"; }

// Width and height of an item: a separator is SeparatorHeight high, others at least
// MenuItemHeight; the width is caption + shortcut text + BarWidth + 40.
TPoint MeasureMenuItem(const TvelMenuLook& look, const std::string& caption, int captionWidth, int captionHeight,
                       int shortcutWidth);

struct TvelMenuItemState {
  std::string Caption;
  bool Selected = false;
  bool Enabled = true;
  bool Checked = false;
  bool Radio = false;  // a radio item: checked, it shows a round dot instead of the check mark
  bool Default = false;
  int ImageIndex = -1;
  int ImageCount = 0;  // images in the menu's Images
  int ShortcutWidth = 0;
  bool RightToLeft = false;
};

// Where an item's parts go. Drawn in this order: bitmap or bar and fill (and frame), the
// separator line, caption and shortcut, check frame or check mark, image.
struct TvelMenuItemLayout {
  // MacOS: a skin bitmap, its top BitmapRows rows stretched over the item; else null.
  const char* Bitmap = nullptr;
  int BitmapRows = 0;
  TRect Bar;  // empty for none
  uint32_t BarColor = 0, BarToColor = 0;
  bool BarGradient = false;
  TRect Fill;  // empty for none
  uint32_t FillColor = 0;
  bool Framed = false;  // Fill framed in FrameColor
  uint32_t FrameColor = 0;

  bool Line = false;  // a separator line (drawn with LineTo: the end point is left out)
  TPoint LineFrom, LineTo;
  uint32_t LineColor = 0;

  uint32_t TextColor = 0;
  bool Bold = false;
  TRect CaptionRect;     // single line, vertically centred
  bool CaptionRight = false;  // right-aligned (right to left)
  int ShortcutX = 0;     // left edge of the shortcut text, vertically centred in the item

  bool CheckFrame = false;  // 19 x 19 black frame around a 17 x 17 SelectedColor fill
  TRect CheckFrameRect;
  uint32_t CheckFillColor = 0;
  bool CheckMark = false;  // the check-mark image
  bool RadioMark = false;  // or, for a radio item, the dot (DrawMenuRadioMark) in TextColor
  TPoint CheckMarkAt;      // top-left corner of either, a 16 x 16 cell
  bool Image = false;  // the item's image from Images
  TPoint ImageAt;
  bool Greyed = false;  // check mark and image drawn greyed
};

TvelMenuItemLayout LayoutMenuItem(const TvelMenuLook& look, TvelUIStyle style, const TvelMenuItemState& item,
                                  const TRect& r);

// The radio item's mark: a round dot of the given pixel colour (0x00RRGGBB), smoothed at its
// edge, in the middle of the 16 x 16 cell at (x, y) where a check mark would be; clipped to
// target.
void DrawMenuRadioMark(TBitmap& target, int x, int y, uint32_t pixel);

// A flat menu window's frame over its screen rectangle window = (L, T, R, B): one-pixel
// outlines Outer (outer colour) and Inner (white) just inside it, then the edge colour filling
// the bottom row, the right column and the top row, drawn in that order.
struct TvelFlatMenuFrame {
  TRect Outer, Inner;
  TRect Edges[3];  // bottom row, right column, top row
};
TvelFlatMenuFrame FlatMenuFrameGeometry(const TRect& window);

// The frame colour of a flat menu window: the file theme's form colour, else built-in item 15.
uint32_t FlatMenuFrameColor(TvelUIStyle style, bool fileThemeReady, const std::function<int32_t(int index)>& fileColor);
