// Colours, fonts and rectangles as plain data, the same on both targets. Turning them into
// GDI objects happens in the canvas (Win32 only).
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// 0x00BBGGRR, or 0x80000000 | the system colour index.
using TColor = uint32_t;

constexpr TColor kSystemColorFlag = 0x80000000u;
constexpr TColor SystemColor(int index) { return kSystemColorFlag | static_cast<uint32_t>(index); }
constexpr bool IsSystemColor(TColor c) { return (c & 0xFF000000u) == kSystemColorFlag; }

constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF,
                 clMoneyGreen = 0xC0DCC0, clSkyBlue = 0xF0CAA6, clCream = 0xF0FBFF, clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF, clDefault = 0x20000000;
constexpr TColor clScrollBar = SystemColor(0), clBackground = SystemColor(1), clActiveCaption = SystemColor(2),
                 clInactiveCaption = SystemColor(3), clMenu = SystemColor(4), clWindow = SystemColor(5),
                 clWindowFrame = SystemColor(6), clMenuText = SystemColor(7), clWindowText = SystemColor(8),
                 clCaptionText = SystemColor(9), clActiveBorder = SystemColor(10),
                 clInactiveBorder = SystemColor(11), clAppWorkSpace = SystemColor(12),
                 clHighlight = SystemColor(13), clHighlightText = SystemColor(14), clBtnFace = SystemColor(15),
                 clBtnShadow = SystemColor(16), clGrayText = SystemColor(17), clBtnText = SystemColor(18),
                 clInactiveCaptionText = SystemColor(19), clBtnHighlight = SystemColor(20),
                 cl3DDkShadow = SystemColor(21), cl3DLight = SystemColor(22), clInfoText = SystemColor(23),
                 clInfoBk = SystemColor(24), clHotLight = SystemColor(26),
                 clGradientActiveCaption = SystemColor(27), clGradientInactiveCaption = SystemColor(28),
                 clMenuHighlight = SystemColor(29), clMenuBar = SystemColor(30);

// "clBtnFace" and the other names above, compared without regard to ASCII case.
std::optional<TColor> IdentToColor(std::string_view ident);
// The name of a named colour, or empty.
std::string ColorToIdent(TColor color);

struct TPoint {
  int X = 0, Y = 0;
  bool operator==(const TPoint&) const = default;
};

struct TRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool Empty() const { return Right <= Left || Bottom <= Top; }
  bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
  TRect Offset(int dx, int dy) const { return {Left + dx, Top + dy, Right + dx, Bottom + dy}; }
  TRect Inflate(int dx, int dy) const { return {Left - dx, Top - dy, Right + dx, Bottom + dy}; }
  bool operator==(const TRect&) const = default;
};
inline TRect Bounds(int left, int top, int width, int height) { return {left, top, left + width, top + height}; }
TRect IntersectRect(const TRect& a, const TRect& b);

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;

constexpr int DEFAULT_CHARSET_VALUE = 1;
constexpr int GB2312_CHARSET_VALUE = 134;

// A font description. Height is in pixels as a GDI LOGFONT takes it (negative: the
// character height without internal leading). OnChange runs after every change.
class TFont {
 public:
  TFont() = default;
  TFont(const TFont& other) { CopyFrom(other); }
  TFont& operator=(const TFont& other) {
    Assign(other);
    return *this;
  }

  const std::string& Name() const { return name_; }
  int Height() const { return height_; }
  // Points at 96 dots per inch.
  int Size() const { return -height_ * 72 / 96; }
  TFontStyles Style() const { return style_; }
  TColor Color() const { return color_; }
  int Charset() const { return charset_; }

  void SetName(const std::string& v) { Set(name_, v); }
  void SetHeight(int v) { Set(height_, v); }
  void SetSize(int points) { SetHeight(-(points * 96 + 36) / 72); }
  void SetStyle(TFontStyles v) { Set(style_, v); }
  void SetColor(TColor v) { Set(color_, v); }
  void SetCharset(int v) { Set(charset_, v); }
  // Copies everything but OnChange, then reports one change if anything differs.
  void Assign(const TFont& other);
  bool SameAs(const TFont& other) const {
    return name_ == other.name_ && height_ == other.height_ && style_ == other.style_ && color_ == other.color_ &&
           charset_ == other.charset_;
  }

  std::function<void()> OnChange;

 private:
  template <class T>
  void Set(T& field, const T& value) {
    if (field == value) return;
    field = value;
    if (OnChange) OnChange();
  }
  void CopyFrom(const TFont& o) {
    name_ = o.name_;
    height_ = o.height_;
    style_ = o.style_;
    color_ = o.color_;
    charset_ = o.charset_;
  }
  std::string name_ = "宋体";
  int height_ = -12;
  TFontStyles style_ = 0;
  TColor color_ = clWindowText;
  int charset_ = DEFAULT_CHARSET_VALUE;
};
