// The themed button's decisions and pixel work that need no window: which face frame a state
// shows, where glyph and caption stand, the auto-size rule, the keys that click it, and the
// grey embossed look of a disabled picture.
#pragma once
#include <cstdint>

#include "framework/Bitmap.h"
#include "framework/Graphics.h"

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// Frames of the three-frame button bitmap: 1 normal (also disabled), 2 mouse over, 3 pressed.
int ButtonFaceFrame(bool enabled, bool pressed, bool hot);

// Where DrawFace puts the glyph and the caption; TextOrigin is stored by the button and read
// by its caption drawing, Glyph already moved by one pixel for a pressed button.
struct TvelGlyphPlacement {
  TPoint Glyph;
  TPoint TextOrigin;
  int ImageWidth = 0;  // one image of the glyph: half of it when it holds two
  bool TwoImages = false;
};
TvelGlyphPlacement PlaceGlyph(TButtonLayout layout, int width, int height, int textWidth, int textHeight,
                              int glyphWidth, int glyphHeight, int spacing, bool pressed);

// The size AutoSize gives from the whole built-in button bitmap: one frame of it, with a
// missing bitmap counting as 74 x 21 (so 24 x 21).
TPoint AutoSizeFromBitmap(int bitmapWidth, int bitmapHeight);

// Dialog keys: Enter clicks the active button, Esc a Cancel button, each only with no
// Shift, Ctrl or Alt down.
constexpr int kVkReturn = 0x0D, kVkEscape = 0x1B, kVkSpace = 0x20;
bool DialogKeyClicks(int key, unsigned shiftState, bool active, bool cancel);
// Shift flags as the framework's TShiftState spells them.
constexpr unsigned kShiftMask = 1, kAltMask = 2, kCtrlMask = 4;

// The active flag after the focus moved: on when this button took it, off when another
// themed button did, Default otherwise.
bool ActiveAfterFocusChange(bool focusIsThemedButton, bool focusIsThis, bool defaultButton);

// Draws picture at (x, y) in the disabled look: its dark pixels (the key colour left out) as a
// white copy one pixel down and right under a grey one; light pixels vanish.
void DrawDisabledImage(TBitmap& canvas, int x, int y, const TBitmap& picture, const TRect& source,
                       const uint32_t* keyColor);
