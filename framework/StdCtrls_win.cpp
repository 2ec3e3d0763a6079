// Standard controls: labels, bevels, images, speed buttons, edits, memos, buttons, check
// boxes, progress bars.
#include "framework/StdCtrls.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/Text.h"

namespace {
// A measuring DC with the font selected, for auto-sizing without a window.
TRect MeasureText(const TFont& font, const std::string& text, unsigned flags, int width) {
  // One DC per thread serves every measurement; the canvas puts its state back each time.
  thread_local UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  TCanvas canvas(dc.get());
  canvas.Font.Assign(font);
  TRect r{0, 0, width, 0};
  canvas.DrawText(text.empty() ? std::string(" ") : text, r, flags | DT_CALCRECT);
  return r;
}

// A copy of frame index of count equal frames laid side by side.
TBitmap Frame(const TBitmap& source, int count, int index) {
  if (count <= 1 || source.Empty()) return source.Clone();
  int w = source.Width() / count;
  TBitmap out(w, source.Height());
  for (int y = 0; y < source.Height(); ++y)
    std::copy_n(source.Row(y) + static_cast<size_t>(w) * static_cast<size_t>(index), w, out.Row(y));
  return out;
}
}  // namespace

// ---------------------------------------------------------------- TLabel

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(0, 0, 65, 17);
  SetParentColor(true);
}

void TLabel::SetAutoSize(bool v) {
  autoSize_ = v;
  AdjustBounds();
}
void TLabel::SetTransparent(bool v) {
  transparent_ = v;
  Invalidate();
}
void TLabel::SetWordWrap(bool v) {
  wordWrap_ = v;
  AdjustBounds();
  Invalidate();
}
void TLabel::SetAlignment(TAlignment v) {
  alignment_ = v;
  Invalidate();
}
void TLabel::SetLayout(TTextLayout v) {
  layout_ = v;
  Invalidate();
}
void TLabel::SetShowAccelChar(bool v) {
  showAccelChar_ = v;
  AdjustBounds();
  Invalidate();
}

unsigned TLabel::DrawFlags() const {
  unsigned flags = DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : 0);
  if (alignment_ == taCenter) flags |= DT_CENTER;
  if (alignment_ == taRightJustify) flags |= DT_RIGHT;
  if (!showAccelChar_) flags |= DT_NOPREFIX;
  return flags;
}

void TLabel::AdjustBounds() {
  if (!autoSize_ || Loading()) return;
  TRect r = MeasureText(Font(), Caption(), DrawFlags() & ~(DT_CENTER | DT_RIGHT), wordWrap_ ? Width() : 0x3FFF);
  int left = Left();
  int width = wordWrap_ ? Width() : r.Width();
  if (alignment_ == taRightJustify) left += Width() - width;
  SetBounds(left, Top(), width, r.Height());
}

void TLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TLabel::TextChanged() {
  AdjustBounds();
  Invalidate();
}

void TLabel::FontChanged() {
  AdjustBounds();
  Invalidate();
}

void TLabel::Paint(TCanvas& canvas) {
  TRect client = ClientRect();
  if (!transparent_) {
    canvas.Brush.Color = Color();
    canvas.FillRect(client);
  }
  canvas.Brush.Style = bsClear;
  TRect r = client;
  unsigned flags = DrawFlags();
  if (layout_ != tlTop) {
    TRect calc = client;
    canvas.DrawText(Caption(), calc, flags | DT_CALCRECT);
    int offset = client.Height() - calc.Height();
    r.Top += layout_ == tlCenter ? offset / 2 : offset;
  }
  if (!Enabled()) {
    // Disabled text is embossed: highlight below and right, shadow on top.
    canvas.Font.SetColor(clBtnHighlight);
    TRect shifted = r.Offset(1, 1);
    canvas.DrawText(Caption(), shifted, flags);
    canvas.Font.SetColor(clBtnShadow);
  }
  canvas.DrawText(Caption(), r, flags);
}

bool TLabel::DialogChar(int ch, TShiftState shift) {
  if (!FocusControl || !showAccelChar_ || !(shift & ssAlt)) return false;
  int accel = AcceleratorOf(Caption());
  int lower = LowerAscii(ch);
  if (!accel || accel != lower || !FocusControl->CanFocus()) return false;
  FocusControl->SetFocus();
  return true;
}

// ---------------------------------------------------------------- TBevel

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 50, 50); }

void TBevel::SetShape(TBevelShape v) {
  shape_ = v;
  Invalidate();
}
void TBevel::SetStyle(TBevelStyle v) {
  style_ = v;
  Invalidate();
}

void TBevel::Paint(TCanvas& canvas) {
  TColor c1 = style_ == bsLowered ? clBtnShadow : clBtnHighlight;
  TColor c2 = style_ == bsLowered ? clBtnHighlight : clBtnShadow;
  int w = Width(), h = Height();
  auto line = [&](TColor c, int x1, int y1, int x2, int y2) {
    canvas.Pen.Color = c;
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
  };
  switch (shape_) {
    case bsBox: canvas.Frame3D({0, 0, w, h}, c1, c2); break;
    case bsFrame:
      canvas.Frame3D({1, 1, w, h}, c2, c2);
      canvas.Frame3D({0, 0, w - 1, h - 1}, c1, c1);
      break;
    case bsTopLine:
      line(c1, 0, 0, w, 0);
      line(c2, 0, 1, w, 1);
      break;
    case bsBottomLine:
      line(c1, 0, h - 2, w, h - 2);
      line(c2, 0, h - 1, w, h - 1);
      break;
    case bsLeftLine:
      line(c1, 0, 0, 0, h);
      line(c2, 1, 0, 1, h);
      break;
    case bsRightLine:
      line(c1, w - 2, 0, w - 2, h);
      line(c2, w - 1, 0, w - 1, h);
      break;
    case bsSpacer: break;
  }
}

// ---------------------------------------------------------------- TImage

TImage::TImage(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 105, 105); }

void TImage::SetPicture(TBitmap picture) {
  picture_ = std::move(picture);
  if (AutoSize && !picture_.Empty()) SetBounds(Left(), Top(), picture_.Width(), picture_.Height());
  Invalidate();
}

void TImage::Paint(TCanvas& canvas) {
  if (picture_.Empty()) return;
  TRect dest = Bounds(0, 0, picture_.Width(), picture_.Height());
  if (Stretch) {
    dest = ClientRect();
  } else if (Center) {
    dest = dest.Offset((Width() - picture_.Width()) / 2, (Height() - picture_.Height()) / 2);
  }
  if (Transparent) {
    canvas.DrawTransparent(dest, picture_, PixelToColor(picture_.GetPixel(0, picture_.Height() - 1)));
  } else if (Stretch) {
    canvas.StretchDraw(dest, picture_);
  } else {
    canvas.Draw(dest.Left, dest.Top, picture_);
  }
}

// ---------------------------------------------------------------- TSpeedButton

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 23, 22); }

void TSpeedButton::SetGlyph(TBitmap glyph) {
  glyph_ = std::move(glyph);
  Invalidate();
}
void TSpeedButton::SetNumGlyphs(int n) {
  numGlyphs_ = std::clamp(n, 1, 4);
  Invalidate();
}
void TSpeedButton::SetFlat(bool v) {
  flat_ = v;
  Invalidate();
}

void TSpeedButton::Paint(TCanvas& canvas) {
  TRect r = ClientRect();
  bool pressed = Pressing() && MouseInControl();
  bool hot = MouseInControl() && Enabled();
  if (!flat_) {
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    DrawFrameControl(canvas.Handle(), &rc, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
  } else if (pressed) {
    canvas.Frame3D(r, clBtnShadow, clBtnHighlight);
  } else if (hot) {
    canvas.Frame3D(r, clBtnHighlight, clBtnShadow);
  }
  int shift = pressed ? 1 : 0;
  int textLeft = 0;
  if (!glyph_.Empty()) {
    int index = 0;
    if (!Enabled() && numGlyphs_ > 1) index = 1;
    else if (pressed && numGlyphs_ > 2) index = 2;
    TBitmap image = Frame(glyph_, numGlyphs_, index);
    uint32_t key = image.GetPixel(0, image.Height() - 1);
    if (!Enabled() && numGlyphs_ == 1) {
      // No disabled image: every drawn pixel in the shadow colour.
      uint32_t grey = ColorToPixel(ColorToRGB(clBtnShadow));
      for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
          if (image.GetPixel(x, y) != key) image.SetPixel(x, y, grey);
    }
    int x = Caption().empty() ? (Width() - image.Width()) / 2 : 4;
    int y = (Height() - image.Height()) / 2;
    canvas.DrawTransparent(Bounds(x + shift, y + shift, image.Width(), image.Height()), image, PixelToColor(key));
    textLeft = x + image.Width() + 4;
  }
  if (!Caption().empty()) {
    canvas.Brush.Style = bsClear;
    if (!Enabled()) canvas.Font.SetColor(clGrayText);
    TRect t{textLeft + shift, shift, Width() + shift, Height() + shift};
    canvas.DrawText(Caption(), t, DT_SINGLELINE | DT_VCENTER | (glyph_.Empty() ? DT_CENTER : 0));
  }
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  Invalidate();
}
void TSpeedButton::MouseMove(TShiftState shift, int x, int y) { TGraphicControl::MouseMove(shift, x, y); }
void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseUp(button, shift, x, y);
  Invalidate();
}
void TSpeedButton::MouseEnter() {
  TGraphicControl::MouseEnter();
  Invalidate();
}
void TSpeedButton::MouseLeave() {
  TGraphicControl::MouseLeave();
  Invalidate();
}
void TSpeedButton::CancelMode() {
  TGraphicControl::CancelMode();
  Invalidate();
}

// ---------------------------------------------------------------- TEdit

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
  customPaint_ = false;
  SetBounds(0, 0, 121, 21);
  SetColor(clWindow);
  SetTabStop(true);
}

void TEdit::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.baseClass = L"EDIT";
  p.style |= ES_AUTOHSCROLL | (readOnly_ ? ES_READONLY : 0);
  if (borderStyle_ == bsSingleBorder) {
    if (Ctl3D) p.exStyle |= WS_EX_CLIENTEDGE;
    else p.style |= WS_BORDER;
  }
}

void TEdit::CreateWnd() {
  TWinControl::CreateWnd();
  if (HandleAllocated() && maxLength_ > 0) SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void TEdit::Recreate() { RecreateWnd(); }

void TEdit::SetReadOnly(bool v) {
  readOnly_ = v;
  if (HandleAllocated()) SendMessageW(Handle(), EM_SETREADONLY, v, 0);
}

void TEdit::SetMaxLength(int v) {
  maxLength_ = std::max(v, 0);
  if (HandleAllocated()) SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void TEdit::SetBorderStyle(TBorderStyle v) {
  borderStyle_ = v;
  Recreate();
}

void TEdit::CommandNotify(WORD code) {
  if (code == EN_CHANGE && !Loading()) {
    TextChanged();
    if (OnChange) OnChange(this);
  }
}

LRESULT TEdit::CtlColor(HDC dc) { return TWinControl::CtlColor(dc); }

void TEdit::TextChanged() {
  TWinControl::TextChanged();
  // With a window, EN_CHANGE reports the change; without one, nobody else would.
  if (!HandleAllocated() && !Loading() && OnChange) OnChange(this);
}

// ---------------------------------------------------------------- TMemo

TMemo::TMemo(TComponent* owner) : TEdit(owner) { SetBounds(0, 0, 185, 89); }

void TMemo::CreateParams(TCreateParams& p) {
  TEdit::CreateParams(p);
  p.style &= ~ES_AUTOHSCROLL;
  p.style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
  if (!wordWrap_ || scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) p.style |= ES_AUTOHSCROLL;
  if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) p.style |= WS_VSCROLL;
  if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) p.style |= WS_HSCROLL;
}

std::vector<std::string> TMemo::Lines() const {
  std::vector<std::string> lines;
  std::string text = Text();
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

void TMemo::SetLines(const std::vector<std::string>& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) text += "\r\n";
    text += lines[i];
  }
  SetText(text);
}

void TMemo::AddLine(const std::string& line) {
  std::string text = Text();
  SetText(text.empty() ? line : text + "\r\n" + line);
}

void TMemo::SetScrollBars(TScrollStyle v) {
  scrollBars_ = v;
  Recreate();
}

void TMemo::SetWordWrap(bool v) {
  wordWrap_ = v;
  Recreate();
}

// ---------------------------------------------------------------- TButton

TButton::TButton(TComponent* owner) : TWinControl(owner) {
  customPaint_ = false;
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
}

void TButton::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.baseClass = L"BUTTON";
  p.style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetDefault(bool v) {
  default_ = v;
  if (HandleAllocated()) SendMessageW(Handle(), BM_SETSTYLE, v ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::CommandNotify(WORD code) {
  if (code == BN_CLICKED) Click();
}

bool TButton::DialogKey(int key, TShiftState shift) {
  if (shift & (ssShift | ssCtrl | ssAlt)) return false;
  bool focused = Focused();
  HWND focus = GetFocus();
  bool otherButtonFocused = !focused && dynamic_cast<TButton*>(TWinControl::FromHandle(focus)) != nullptr;
  bool active = focused || (default_ && !otherButtonFocused);
  if (((key == VK_RETURN && active) || (key == VK_ESCAPE && Cancel)) && CanFocus()) {
    Click();
    return true;
  }
  return false;
}

bool TButton::DialogChar(int ch, TShiftState shift) {
  int accel = AcceleratorOf(Caption());
  int lower = LowerAscii(ch);
  if (!accel || accel != lower || !(shift & ssAlt) || !CanFocus()) return false;
  SetFocus();
  Click();
  return true;
}

// ---------------------------------------------------------------- TCheckBox

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
  customPaint_ = false;
  SetBounds(0, 0, 97, 17);
  SetTabStop(true);
  SetParentColor(true);
}

void TCheckBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.baseClass = L"BUTTON";
  p.style |= BS_AUTOCHECKBOX;
}

void TCheckBox::CreateWnd() {
  TWinControl::CreateWnd();
  if (HandleAllocated()) SendMessageW(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TCheckBox::Checked() const { return checked_; }

void TCheckBox::SetChecked(bool v) {
  if (checked_ == v) return;
  checked_ = v;
  if (HandleAllocated()) SendMessageW(Handle(), BM_SETCHECK, v ? BST_CHECKED : BST_UNCHECKED, 0);
  if (!Loading()) Click();
}

void TCheckBox::CommandNotify(WORD code) {
  if (code != BN_CLICKED) return;
  checked_ = SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
  Click();
}

LRESULT TCheckBox::CtlColor(HDC dc) {
  SetBkMode(dc, TRANSPARENT);
  return TWinControl::CtlColor(dc);
}

bool TCheckBox::DialogChar(int ch, TShiftState shift) {
  int accel = AcceleratorOf(Caption());
  int lower = LowerAscii(ch);
  if (!accel || accel != lower || !(shift & ssAlt) || !CanFocus()) return false;
  SetFocus();
  SetChecked(!checked_);
  return true;
}

// ---------------------------------------------------------------- TProgressBar

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) {
  customPaint_ = false;
  SetBounds(0, 0, 150, 16);
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&icc);
}

void TProgressBar::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.baseClass = PROGRESS_CLASSW;
  if (smooth_) p.style |= PBS_SMOOTH;
}

void TProgressBar::CreateWnd() {
  TWinControl::CreateWnd();
  if (!HandleAllocated()) return;
  SendMessageW(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
  SendMessageW(Handle(), PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::SetMin(int v) {
  min_ = v;
  if (HandleAllocated()) SendMessageW(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
}

void TProgressBar::SetMax(int v) {
  max_ = v;
  if (HandleAllocated()) SendMessageW(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
}

void TProgressBar::SetPosition(int v) {
  position_ = std::clamp(v, min_, std::max(min_, max_));
  if (HandleAllocated()) SendMessageW(Handle(), PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::SetSmooth(bool v) {
  smooth_ = v;
  if (HandleAllocated()) {
    LONG_PTR style = GetWindowLongPtrW(Handle(), GWL_STYLE);
    SetWindowLongPtrW(Handle(), GWL_STYLE, v ? style | PBS_SMOOTH : style & ~PBS_SMOOTH);
    Invalidate();
  }
}
