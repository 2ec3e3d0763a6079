// A canvas over a device context (usually the DIB of a double buffer): pen, brush and font
// realised at each drawing call, text in GBK, bitmap copies. Win32 only.
#pragma once
#include <windows.h>

#include <span>
#include <string>

#include "framework/Bitmap.h"
#include "framework/Graphics.h"
#include "framework/Handles.h"

// A TColor as GDI takes it: system colours resolved through GetSysColor.
COLORREF ColorToRGB(TColor color);
// A GDI font for the description.
UniqueFont CreateFontHandle(const TFont& font);

enum TPenStyle { psSolid, psDash, psDot, psClear };
enum TBrushStyle { bsSolid, bsClear };

struct TPen {
  TColor Color = clBlack;
  int Width = 1;
  TPenStyle Style = psSolid;
};
struct TBrush {
  TColor Color = clWhite;
  TBrushStyle Style = bsSolid;
};

class TCanvas {
 public:
  // The DC is borrowed; the canvas restores its state (selected objects, modes) on
  // destruction.
  explicit TCanvas(HDC dc);
  virtual ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  HDC Handle() const { return dc_; }
  TPen Pen;
  TBrush Brush;
  TFont Font;

  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Polyline(std::span<const TPoint> points);
  // Outline with the pen, inside with the brush (right and bottom edges excluded, as GDI).
  void Rectangle(const TRect& r);
  void RoundRect(const TRect& r, int cornerWidth, int cornerHeight);
  void Ellipse(const TRect& r);
  void FillRect(const TRect& r);
  // One-pixel frame in the brush colour.
  void FrameRect(const TRect& r);
  // Top-left lines in one colour, bottom-right in the other, width pixels deep.
  void Frame3D(const TRect& r, TColor topLeft, TColor bottomRight, int width = 1);
  void DrawFocusRect(const TRect& r);

  // Text is drawn over the brush colour, or over what is there when the brush is clear.
  void TextOut(int x, int y, const std::string& text);
  void TextRect(const TRect& r, int x, int y, const std::string& text);
  // DrawTextW with DT_* flags; with DT_CALCRECT the rectangle is updated. Returns the height.
  int DrawText(const std::string& text, TRect& r, unsigned flags);
  TPoint TextExtent(const std::string& text);
  int TextWidth(const std::string& text) { return TextExtent(text).X; }
  int TextHeight(const std::string& text) { return TextExtent(text).Y; }

  void Draw(int x, int y, const TBitmap& bitmap);
  void StretchDraw(const TRect& dest, const TBitmap& bitmap);
  // Copies bitmap into dest, leaving the pixels of the key colour (a TColor) out.
  void DrawTransparent(const TRect& dest, const TBitmap& bitmap, TColor keyColor);
  void CopyRect(const TRect& dest, HDC source, const TRect& sourceRect);

  TColor Pixel(int x, int y) const;
  void SetPixel(int x, int y, TColor color);

 protected:
  void Attach(HDC dc);
  void Detach();

 private:
  void UsePen();
  void UseBrush();
  void UseFont();
  HDC dc_ = nullptr;
  int saved_ = 0;
  UniquePen pen_;
  TPen penMade_;
  UniqueBrush brush_;
  TBrush brushMade_;
  UniqueFont font_;
  TFont fontMade_;
};

// A canvas drawing into a TBitmap's DIB section through a memory DC of its own.
class TBitmapCanvas : public TCanvas {
 public:
  explicit TBitmapCanvas(TBitmap& bitmap);
  ~TBitmapCanvas() override;

 private:
  UniqueMemoryDc memDc_;
  HGDIOBJ oldBitmap_ = nullptr;
};

// A bitmap from an RT_BITMAP resource of module (null: the executable) by name. Raises
// EResNotFound when missing, Exception when the bytes are not a readable bitmap.
TBitmap LoadBitmapResource(HMODULE module, const std::string& name);
// The same without raising: false when missing or unreadable.
bool TryLoadBitmapResource(HMODULE module, const std::string& name, TBitmap& out);
