// GDI side of the canvas and bitmap resources.
#include "framework/Canvas.h"

#include <cstring>
#include <mutex>
#include <vector>

#include "framework/Exceptions.h"
#include "framework/Text.h"

COLORREF ColorToRGB(TColor color) {
  if (IsSystemColor(color)) return GetSysColor(static_cast<int>(color & 0xFF));
  return color & 0xFFFFFF;
}

UniqueFont CreateFontHandle(const TFont& font) {
  LOGFONTW lf{};
  lf.lfHeight = font.Height();
  lf.lfWeight = (font.Style() & fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (font.Style() & fsItalic) ? 1 : 0;
  lf.lfUnderline = (font.Style() & fsUnderline) ? 1 : 0;
  lf.lfStrikeOut = (font.Style() & fsStrikeOut) ? 1 : 0;
  lf.lfCharSet = static_cast<BYTE>(font.Charset());
  lf.lfQuality = DEFAULT_QUALITY;
  std::wstring name = GbkToWide(font.Name());
  lstrcpynW(lf.lfFaceName, name.c_str(), LF_FACESIZE);
  return UniqueFont(CreateFontIndirectW(&lf));
}

TCanvas::TCanvas(HDC dc) { Attach(dc); }

void TCanvas::Attach(HDC dc) {
  dc_ = dc;
  saved_ = dc ? SaveDC(dc) : 0;
  // Force the first use of each object to create it.
  penMade_.Width = -1;
  brushMade_.Style = static_cast<TBrushStyle>(-1);
  fontMade_.SetHeight(0x7FFFFFFF);
}

TCanvas::~TCanvas() { Detach(); }

void TCanvas::Detach() {
  // Puts the DC's own objects back before ours are deleted.
  if (dc_ && saved_) RestoreDC(dc_, saved_);
  dc_ = nullptr;
  saved_ = 0;
}

void TCanvas::UsePen() {
  if (!pen_ || Pen.Color != penMade_.Color || Pen.Width != penMade_.Width || Pen.Style != penMade_.Style) {
    int style = Pen.Style == psDash ? PS_DASH : Pen.Style == psDot ? PS_DOT : Pen.Style == psClear ? PS_NULL : PS_SOLID;
    UniquePen pen(CreatePen(style, Pen.Width, ColorToRGB(Pen.Color)));
    SelectObject(dc_, pen.get());
    pen_ = std::move(pen);  // the old pen is no longer selected when it is deleted here
    penMade_ = Pen;
  }
}

void TCanvas::UseBrush() {
  if (!brush_ || Brush.Color != brushMade_.Color || Brush.Style != brushMade_.Style) {
    UniqueBrush brush(Brush.Style == bsClear ? static_cast<HBRUSH>(nullptr) : CreateSolidBrush(ColorToRGB(Brush.Color)));
    SelectObject(dc_, brush ? static_cast<HGDIOBJ>(brush.get()) : GetStockObject(NULL_BRUSH));
    brush_ = std::move(brush);
    brushMade_ = Brush;
    if (!brush_) brush_.reset(nullptr);
  }
  if (Brush.Style == bsClear) {
    SetBkMode(dc_, TRANSPARENT);
  } else {
    SetBkMode(dc_, OPAQUE);
    SetBkColor(dc_, ColorToRGB(Brush.Color));
  }
}

void TCanvas::UseFont() {
  if (!font_ || !Font.SameAs(fontMade_)) {
    UniqueFont font = CreateFontHandle(Font);
    SelectObject(dc_, font.get());
    font_ = std::move(font);
    fontMade_.Assign(Font);
  }
  SetTextColor(dc_, ColorToRGB(Font.Color()));
}

void TCanvas::MoveTo(int x, int y) { MoveToEx(dc_, x, y, nullptr); }

void TCanvas::LineTo(int x, int y) {
  UsePen();
  ::LineTo(dc_, x, y);
}

void TCanvas::Polyline(std::span<const TPoint> points) {
  UsePen();
  std::vector<POINT> p;
  for (const TPoint& t : points) p.push_back({t.X, t.Y});
  ::Polyline(dc_, p.data(), static_cast<int>(p.size()));
}

void TCanvas::Rectangle(const TRect& r) {
  UsePen();
  UseBrush();
  ::Rectangle(dc_, r.Left, r.Top, r.Right, r.Bottom);
}

void TCanvas::RoundRect(const TRect& r, int cw, int ch) {
  UsePen();
  UseBrush();
  ::RoundRect(dc_, r.Left, r.Top, r.Right, r.Bottom, cw, ch);
}

void TCanvas::Ellipse(const TRect& r) {
  UsePen();
  UseBrush();
  ::Ellipse(dc_, r.Left, r.Top, r.Right, r.Bottom);
}

void TCanvas::FillRect(const TRect& r) {
  if (Brush.Style == bsClear) return;
  UniqueBrush brush(CreateSolidBrush(ColorToRGB(Brush.Color)));
  RECT rc{r.Left, r.Top, r.Right, r.Bottom};
  ::FillRect(dc_, &rc, brush.get());
}

void TCanvas::FrameRect(const TRect& r) {
  UniqueBrush brush(CreateSolidBrush(ColorToRGB(Brush.Color)));
  RECT rc{r.Left, r.Top, r.Right, r.Bottom};
  ::FrameRect(dc_, &rc, brush.get());
}

void TCanvas::Frame3D(const TRect& r, TColor topLeft, TColor bottomRight, int width) {
  UniqueBrush tl(CreateSolidBrush(ColorToRGB(topLeft)));
  UniqueBrush br(CreateSolidBrush(ColorToRGB(bottomRight)));
  TRect c = r;
  for (int i = 0; i < width && !c.Empty(); ++i) {
    RECT top{c.Left, c.Top, c.Right - 1, c.Top + 1}, left{c.Left, c.Top, c.Left + 1, c.Bottom - 1};
    RECT bottom{c.Left, c.Bottom - 1, c.Right, c.Bottom}, right{c.Right - 1, c.Top, c.Right, c.Bottom};
    ::FillRect(dc_, &top, tl.get());
    ::FillRect(dc_, &left, tl.get());
    ::FillRect(dc_, &bottom, br.get());
    ::FillRect(dc_, &right, br.get());
    c = c.Inflate(-1, -1);
  }
}

void TCanvas::DrawFocusRect(const TRect& r) {
  RECT rc{r.Left, r.Top, r.Right, r.Bottom};
  ::DrawFocusRect(dc_, &rc);
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  UseFont();
  UseBrush();
  std::wstring w = GbkToWide(text);
  ::TextOutW(dc_, x, y, w.c_str(), static_cast<int>(w.size()));
}

void TCanvas::TextRect(const TRect& r, int x, int y, const std::string& text) {
  UseFont();
  UseBrush();
  std::wstring w = GbkToWide(text);
  RECT rc{r.Left, r.Top, r.Right, r.Bottom};
  ::ExtTextOutW(dc_, x, y, ETO_CLIPPED | (Brush.Style == bsClear ? 0 : ETO_OPAQUE), &rc, w.c_str(),
                static_cast<UINT>(w.size()), nullptr);
}

int TCanvas::DrawText(const std::string& text, TRect& r, unsigned flags) {
  UseFont();
  UseBrush();
  std::wstring w = GbkToWide(text);
  RECT rc{r.Left, r.Top, r.Right, r.Bottom};
  int h = ::DrawTextW(dc_, w.c_str(), static_cast<int>(w.size()), &rc, flags);
  if (flags & DT_CALCRECT) r = {rc.left, rc.top, rc.right, rc.bottom};
  return h;
}

TPoint TCanvas::TextExtent(const std::string& text) {
  UseFont();
  std::wstring w = GbkToWide(text);
  SIZE size{};
  GetTextExtentPoint32W(dc_, w.c_str(), static_cast<int>(w.size()), &size);
  return {size.cx, size.cy};
}

namespace {
// Memory DCs are slow to make and delete under Wine, and every paint of a control uses
// several; a few that are done with are kept for the next use. A DC comes back with its
// state restored and only its own objects selected.
std::mutex& SpareDcLock() {
  static std::mutex lock;
  return lock;
}
std::vector<HDC>& SpareDcs() {
  static auto* spares = new std::vector<HDC>;  // lives to the end of the program
  return *spares;
}
constexpr size_t kMaxSpareDcs = 16;

HDC TakeMemoryDc() {
  {
    std::lock_guard<std::mutex> guard(SpareDcLock());
    if (!SpareDcs().empty()) {
      HDC dc = SpareDcs().back();
      SpareDcs().pop_back();
      return dc;
    }
  }
  return CreateCompatibleDC(nullptr);
}

void GiveBackMemoryDc(HDC dc) {
  if (!dc) return;
  {
    std::lock_guard<std::mutex> guard(SpareDcLock());
    if (SpareDcs().size() < kMaxSpareDcs) {
      SpareDcs().push_back(dc);
      return;
    }
  }
  DeleteDC(dc);
}

// A memory DC with the bitmap's DIB selected, for one copy.
class SourceDc {
 public:
  explicit SourceDc(const TBitmap& bitmap) : dc_(TakeMemoryDc()), select_(dc_.dc, static_cast<HGDIOBJ>(bitmap.Handle())) {}
  HDC get() const { return dc_.dc; }

 private:
  struct Pooled {
    HDC dc;
    ~Pooled() { GiveBackMemoryDc(dc); }
  } dc_;
  ScopedSelect select_;  // leaves before the DC goes back
};
}  // namespace

void TCanvas::Draw(int x, int y, const TBitmap& bitmap) {
  if (bitmap.Empty()) return;
  SourceDc src(bitmap);
  BitBlt(dc_, x, y, bitmap.Width(), bitmap.Height(), src.get(), 0, 0, SRCCOPY);
}

void TCanvas::StretchDraw(const TRect& dest, const TBitmap& bitmap) {
  if (bitmap.Empty() || dest.Empty()) return;
  SourceDc src(bitmap);
  int oldMode = SetStretchBltMode(dc_, COLORONCOLOR);
  StretchBlt(dc_, dest.Left, dest.Top, dest.Width(), dest.Height(), src.get(), 0, 0, bitmap.Width(), bitmap.Height(),
             SRCCOPY);
  SetStretchBltMode(dc_, oldMode);
}

void TCanvas::DrawTransparent(const TRect& dest, const TBitmap& bitmap, TColor keyColor) {
  if (bitmap.Empty() || dest.Empty()) return;
  SourceDc src(bitmap);
  TransparentBlt(dc_, dest.Left, dest.Top, dest.Width(), dest.Height(), src.get(), 0, 0, bitmap.Width(),
                 bitmap.Height(), ColorToRGB(keyColor));
}

void TCanvas::CopyRect(const TRect& dest, HDC source, const TRect& s) {
  if (dest.Width() == s.Width() && dest.Height() == s.Height()) {
    BitBlt(dc_, dest.Left, dest.Top, dest.Width(), dest.Height(), source, s.Left, s.Top, SRCCOPY);
  } else {
    StretchBlt(dc_, dest.Left, dest.Top, dest.Width(), dest.Height(), source, s.Left, s.Top, s.Width(), s.Height(),
               SRCCOPY);
  }
}

TColor TCanvas::Pixel(int x, int y) const { return ::GetPixel(dc_, x, y); }

void TCanvas::SetPixel(int x, int y, TColor color) { ::SetPixelV(dc_, x, y, ColorToRGB(color)); }

TBitmapCanvas::TBitmapCanvas(TBitmap& bitmap) : TCanvas(nullptr), memDc_(TakeMemoryDc()) {
  oldBitmap_ = SelectObject(memDc_.get(), static_cast<HGDIOBJ>(bitmap.Handle()));
  Attach(memDc_.get());
}

TBitmapCanvas::~TBitmapCanvas() {
  // The DC state goes back first, then the DIB leaves the DC, then the DC is deleted.
  Detach();
  if (memDc_ && oldBitmap_) SelectObject(memDc_.get(), oldBitmap_);
  GiveBackMemoryDc(memDc_.release());
}

bool TryLoadBitmapResource(HMODULE module, const std::string& name, TBitmap& out) {
  std::wstring wname = GbkToWide(name);
  HRSRC res = FindResourceW(module, wname.c_str(), MAKEINTRESOURCEW(2) /* RT_BITMAP */);
  if (!res) return false;
  HGLOBAL loaded = LoadResource(module, res);
  DWORD size = SizeofResource(module, res);
  const auto* dib = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
  if (!dib || size < sizeof(BITMAPINFOHEADER)) return false;
  // The resource is a packed DIB; a BMP file is the same with a file header in front whose
  // pixel offset skips the info header and the colour table.
  BITMAPINFOHEADER info;
  memcpy(&info, dib, sizeof info);
  uint64_t offset = 14 + uint64_t(info.biSize);
  if (info.biBitCount <= 8) {
    uint64_t colors = info.biClrUsed ? info.biClrUsed : (uint64_t(1) << info.biBitCount);
    offset += colors * 4;
  } else if (info.biCompression == BI_BITFIELDS && info.biSize == sizeof(BITMAPINFOHEADER)) {
    offset += 12;
  } else if (info.biClrUsed) {
    offset += uint64_t(info.biClrUsed) * 4;
  }
  if (offset > 14 + uint64_t(size)) return false;
  std::vector<uint8_t> file(14 + size_t(size));
  uint32_t fileSize = static_cast<uint32_t>(file.size());
  uint32_t off = static_cast<uint32_t>(offset);
  file[0] = 'B';
  file[1] = 'M';
  memcpy(&file[2], &fileSize, 4);
  memcpy(&file[10], &off, 4);
  memcpy(&file[14], dib, size);
  return TBitmap::LoadFromBmp(file, out);
}

TBitmap LoadBitmapResource(HMODULE module, const std::string& name) {
  TBitmap out;
  if (!FindResourceW(module, GbkToWide(name).c_str(), MAKEINTRESOURCEW(2))) throw EResNotFound(name);
  if (!TryLoadBitmapResource(module, name, out)) throw Exception("Bitmap image is not valid");
  return out;
}
