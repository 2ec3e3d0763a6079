// Drawing helpers shared by the themed controls: frame cutting, nine-grid and three-part
// stretching, tiling, gradients, window shapes from bitmaps and small geometry helpers.
// The pixel work is portable and draws into a TBitmap (a DIB section on Windows).
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Bitmap.h"
#include "framework/Graphics.h"

// Rectangles (framework TRect) are (left, top, right, bottom), right and bottom exclusive.

// The key colour of every skin bitmap (clFuchsia, a colour value 00BBGGRR).
constexpr uint32_t kSkinKeyColor = 0x00FF00FF;

// Frame frameIndex (from 1) of frameCount equal frames side by side. The last frame is the
// rightmost columns, so a remainder of the division is skipped left of it. source and dest may
// be the same bitmap. A frame count below 1 or an index outside 1..frameCount empties dest.
void PickBitmapFrame(const TBitmap& source, TBitmap& dest, int frameCount, int frameIndex);

// Copies source rectangle src of bitmap into dst of canvas, scaled by nearest neighbour
// (what a colour-on-colour stretch gives). With transparentKey set, source pixels of that
// colour value are not drawn. Both rectangles are clipped to their bitmaps.
void StretchCopy(TBitmap& canvas, const TRect& dst, const TBitmap& bitmap, const TRect& src,
                 const uint32_t* transparentKey);

// One piece of a nine-grid drawing: where it comes from, where it goes and how it is drawn.
struct NineGridPiece {
  TRect Source;
  TRect Target;
  bool Corner = false;  // corners are copied 1:1, the rest stretched with the key transparent
};
// The nine pieces in drawing order: top-left, bottom-left, left edge, top-right, bottom-right,
// right edge, top edge, centre, bottom edge. Pieces with an empty target are not drawn.
std::vector<NineGridPiece> NineGridPieces(int bitmapWidth, int bitmapHeight, const TRect& rect);
void DrawNineGrid(TBitmap& canvas, const TBitmap& bitmap, const TRect& rect, bool transparent);

// A bitmap of three equal parts (left, middle, right) drawn across rect; the middle stretches.
// With transparent, pixels of keyColor (a system colour resolved first) are left out.
void DrawThreePart(TBitmap& canvas, const TBitmap& bitmap, const TRect& rect, bool transparent,
                   uint32_t keyColor);

// Tiles the picture from the canvas origin, one tile beyond rect's size in each direction.
// With transparentKey set, pixels of that colour value are left out.
void TileDrawPicture(TBitmap& canvas, const TBitmap& picture, const TRect& rect,
                     const uint32_t* transparentKey = nullptr);

// The rectangles (x1, y, x2 + 1, y + 1) of every maximal run of pixels whose colour differs
// from keyColor, row by row. A system colour constant as key matches no pixel.
std::vector<TRect> BitmapRegionRuns(const TBitmap& bitmap, uint32_t keyColor);
// Windows: shapes the window (an HWND) to BitmapRegionRuns and hands it the region.
void SetBitmapWindowRegion(void* window, const TBitmap& bitmap, uint32_t keyColor);

// All four edges count as inside.
bool PointInRect(const TPoint& point, const TRect& rect);

// Windows: the work area of the monitor nearest mainFormWindow (an HWND), or the primary work
// area when there is no main form.
TRect GetWorkAreaRect(void* mainFormWindow);

// Sets left, top, width and height, in that order, through the control's own setters.
template <class Control>
void SetControlBoundsRect(Control& control, const TRect& rect) {
  control.SetLeft(rect.Left);
  control.SetTop(rect.Top);
  control.SetWidth(rect.Right - rect.Left);
  control.SetHeight(rect.Bottom - rect.Top);
}

uint32_t MakeRGB(int red, int green, int blue);
struct TvelRGB {
  uint8_t Red = 0, Green = 0, Blue = 0;
  friend bool operator==(const TvelRGB&, const TvelRGB&) = default;
};
// Resolves a system colour constant (high bit set, index in the low byte) to a plain colour.
uint32_t ResolveSystemColor(uint32_t color);
TvelRGB SplitRGB(uint32_t color);

void DrawVerticalGradient(TBitmap& canvas, const TRect& rect, uint32_t fromColor, uint32_t toColor);
void DrawHorizontalGradient(TBitmap& canvas, const TRect& rect, uint32_t fromColor, uint32_t toColor);

// Fills rect (clipped to the canvas) with a colour value.
void FillRectColor(TBitmap& canvas, const TRect& rect, uint32_t color);

class TComponent;
// True when the component's class, as registered for stored layouts, or one of its bases
// publishes a property of that name (compared without regard to case).
bool HasProperty(const TComponent& component, std::string_view name);

// The facts IsFormActive decides on, gathered by the caller from the application and form.
struct FormActivity {
  bool HasMainForm = false;
  bool MainFormIsMdiFrame = false;
  bool FormIsMainForm = false;
  bool FormAbsent = false;
  bool ApplicationActive = false;
  bool FormIsActiveMdiChild = false;  // the MDI client reports the form's window as active
  bool FormActiveFlag = false;
};
bool IsFormActive(const FormActivity& facts);

// The width of a GBK text as drawn with the canvas's current font.
using TextWidthFn = std::function<int(std::string_view text)>;
// text when it fits in maxWidth; otherwise its longest prefix of whole characters (at least
// one) that fits with "..." appended; the whole text when not even that fits.
std::string FitTextWithEllipsis(const TextWidthFn& textWidth, const std::string& text, int maxWidth);

// Windows: paints what parentWindow (an HWND) shows under a child at (left, top) of its
// client area into dc (an HDC), so that the child can look see-through. Nothing without a parent.
void PaintParentBackground(void* dc, void* parentWindow, int left, int top);
