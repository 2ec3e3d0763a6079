// The themed button's Win32 side: state and message handling, the double-buffered paint,
// the repeat timer and the stored properties.
#include "skin/VELButton.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "framework/Text.h"
#include "skin/VELControlThemes.h"
#include "skin/VELMgr.h"
#include "skin/VELPublic.h"

static_assert(ssShift == kShiftMask && ssAlt == kAltMask && ssCtrl == kCtrlMask);

namespace {
constexpr UINT_PTR kRepeatTimerId = 1;
constexpr TColor kCaptionGrey = 0x808080;
// The form's modal result lives on its window until the framework's form carries one.
constexpr wchar_t kModalResultProp[] = L"vxModalResult";

// Blanks and control characters at either end do not count as a caption.
bool BlankCaption(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

}  // namespace

int FormModalResult(TForm& form) {
  if (!form.HandleAllocated()) return 0;
  return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(form.Handle(), kModalResultProp)));
}

void SetFormModalResult(TForm& form, int result) {
  SetPropW(form.Handle(), kModalResultProp, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(result)));
}

// ---------------------------------------------------------------- TvelRepeatTimer

TvelRepeatTimer::TvelRepeatTimer(HWND window, UINT_PTR id, int interval) : window_(window), id_(id) {
  if (window && interval > 0) running_ = SetTimer(window, id, static_cast<UINT>(interval), nullptr) != 0;
}

TvelRepeatTimer::~TvelRepeatTimer() {
  if (running_) KillTimer(window_, id_);
}

// ---------------------------------------------------------------- TvelCustomButton

TvelCustomButton::TvelCustomButton(TComponent* owner) : TCustomControl(owner) {
  // Double clicks and child controls are kept out by CreateParams and by owning none.
  OnClick = nullptr;
  SetTabStop(true);
  SetUIStyle(DefaultStyleFor(owner));
}

TvelCustomButton::~TvelCustomButton() {
  timer_.reset();
  if (fileTheme_) RemoveFreeNotification(fileTheme_);
}

void TvelCustomButton::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  // A double click arrives as two single clicks.
  params.classStyle &= ~CS_DBLCLKS;
}

void TvelCustomButton::CreateWnd() {
  TCustomControl::CreateWnd();
  active_ = default_;
}

void TvelCustomButton::SetAutoSize(bool v) {
  autoSize_ = v;
  ApplyAutoSize();
  Repaint();
}

void TvelCustomButton::ApplyAutoSize() {
  if (!autoSize_) return;
  // The built-in bitmap of the style itself: FromThemeFile has none and gives the default.
  TBitmap whole;
  try {
    GetThemeBitmap(uiStyle_, 1, &whole, 0, 0);
  } catch (const std::exception&) {
    whole.SetSize(0, 0);
  }
  const TPoint size = AutoSizeFromBitmap(whole.Width(), whole.Height());
  SetHeight(size.Y);
  SetWidth(size.X);
}

void TvelCustomButton::SetCaption(const std::string& v) {
  caption_ = v;
  if (Text() != v) SetText(v);
  CaptionSet();
  Repaint();
}

void TvelCustomButton::TextChanged() {
  const std::string text = Text();
  if (text != caption_) SetCaption(text);
}

void TvelCustomButton::SetDefault(bool v) {
  default_ = v;
  if (!HandleAllocated()) return;
  if (TForm* form = ParentForm()) form->FocusChanged(form->ActiveControl());
}

void TvelCustomButton::SetTransparent(bool v) {
  transparent_ = v;
  TransparentSet();
  Repaint();
}

void TvelCustomButton::TransparentSet() {
  faceTransparent_ = transparent_;
  Repaint();
}

void TvelCustomButton::SetUIStyle(TvelUIStyle style) {
  uiStyle_ = style;
  StyleSet();
  Repaint();
}

void TvelCustomButton::SetFileTheme(TvelFileTheme* theme) {
  LinkFileTheme(*this, fileTheme_, theme);
  SetUIStyle(uiStyle_);
}

void TvelCustomButton::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (FileThemeRemoved(fileTheme_, component, operation)) SetUIStyle(TvelUIStyle::DeepBlue);
}

void TvelCustomButton::SetFocusedRectMargin(int v) {
  focusedRectMargin_ = v;
  Repaint();
}

void TvelCustomButton::SetEnabled(bool enabled) {
  TCustomControl::SetEnabled(enabled);
  EnabledSet();
  Repaint();
}

void TvelCustomButton::FontChanged() { FontSet(); }

void TvelCustomButton::FontSet() {
  // Every paint takes Font afresh; there is no canvas kept between paints to update.
  Repaint();
}

bool TvelCustomButton::UsesFileTheme(TvelUIStyle& effectiveStyle) const {
  return UseFileTheme(fileTheme_ && fileTheme_->Ready(), uiStyle_, effectiveStyle);
}

void TvelCustomButton::GetFace(TBitmap& bitmap, int frame) {
  TvelUIStyle style;
  if (UsesFileTheme(style)) {
    fileTheme_->GetBitmapFrame(15, bitmap, 3, frame);  // SKIN2_BUTTON
  } else {
    GetThemeBitmap(style, 1, &bitmap, 3, frame);
  }
}

void TvelCustomButton::Paint(TCanvas& canvas) {
  TBitmap face;
  try {
    switch (ButtonFaceFrame(Enabled(), pressed_, hot_)) {
      case 3: GetPressedFace(face); break;
      case 2: GetHotFace(face); break;
      default: Enabled() ? GetNormalFace(face) : GetDisabledFace(face); break;
    }
  } catch (const std::exception&) {
    // A face that cannot be had does not stop the paint: a plain white one stands in.
    face.SetSize(74, 21);
    face.Fill(0xFFFFFF);
  }
  if (Width() <= 0 || Height() <= 0) return;
  TBitmap buffer(Width(), Height());
  {
    TvelPaintBuffer bc(buffer);
    if (transparent_) {
      TWinControl* parent = Parent();
      if (auto* sheet = dynamic_cast<TTabSheet*>(parent)) {
        // The sheet draws nothing itself: its parent shows under the button, offset by the
        // sheet's place in it and the button's place on the sheet.
        TWinControl* host = sheet->Parent();
        if (host && host->HandleAllocated())
          PaintParentBackground(bc.Handle(), host->Handle(), sheet->Left() + Left(), sheet->Top() + Top());
      } else if (parent && parent->HandleAllocated()) {
        PaintParentBackground(bc.Handle(), parent->Handle(), Left(), Top());
      }
    } else {
      bc.Brush.Style = bsSolid;
      bc.Brush.Color = Color();
      bc.FillRect(ClientRect());
    }
    DrawFace(bc, face);
    face.SetSize(0, 0);
    if (Focused() && TabStop()) DrawFocus(bc);
    bc.Font = Font();
    canvas.Font = Font();
    if (!BlankCaption(caption_)) DrawCaption(bc, caption_);
    // The bold mark belongs to this paint only, whether or not a caption took it.
    boldCaption_ = false;
  }
  canvas.Draw(0, 0, buffer);
}

void TvelCustomButton::DrawFace(TvelPaintBuffer& canvas, const TBitmap& face) {
  if (face.Empty()) return;
  TBitmap& pixels = canvas.Pixels();
  const uint32_t key = PixelToColor(face.GetPixel(0, 0));
  const uint32_t* transparentKey = faceTransparent_ ? &key : nullptr;
  const TRect whole{0, 0, face.Width(), face.Height()};
  if (Enabled()) {
    StretchCopy(pixels, whole, face, whole, transparentKey);
  } else {
    DrawDisabledImage(pixels, 0, 0, face, whole, transparentKey);
  }
}

void TvelCustomButton::DrawCaption(TCanvas& canvas, const std::string& text) {
  canvas.Brush.Style = bsClear;
  TRect r = ClientRect();
  canvas.Font = Font();
  if (boldCaption_) canvas.Font.SetStyle(canvas.Font.Style() | fsBold);
  auto drawCentred = [&](const TRect& within) {
    TRect t = within;
    canvas.DrawText(text, t, DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
    t = t.Offset((within.Width() - t.Width()) / 2, (within.Height() - t.Height()) / 2);
    canvas.DrawText(text, t, DT_CENTER | DT_EXPANDTABS);
  };
  if (!Enabled()) {
    r = r.Offset(1, 1);
    canvas.Font.SetColor(clWhite);
    drawCentred(r);
    r = ClientRect();
    canvas.Font.SetColor(kCaptionGrey);
  } else if (pressed_) {
    r = r.Offset(1, 1);
  }
  drawCentred(r);
  boldCaption_ = false;
}

void TvelCustomButton::DrawFocus(TCanvas& canvas) {
  canvas.Brush.Style = bsSolid;
  const int m = focusedRectMargin_;
  canvas.DrawFocusRect({m, m, ClientWidth() - m, ClientHeight() - m});
}

void TvelCustomButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    pressed_ = true;
    if (!timer_)
      timer_ = std::make_unique<TvelRepeatTimer>(HandleAllocated() ? Handle() : nullptr, kRepeatTimerId,
                                                 std::max(repeatInterval_, 0));
    if (TabStop() && CanFocus() && Enabled() && Visible()) {
      try {
        SetFocus();
      } catch (const std::exception&) {
        // Taking the focus is a courtesy of the press; failing at it changes nothing.
      }
    }
    Repaint();
  }
  TCustomControl::MouseDown(button, shift, x, y);
}

void TvelCustomButton::MouseMove(TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  if (x < 0 || y < 0 || x > Width() || y > Height()) {
    hot_ = false;
    pressed_ = false;
    Repaint();
  }
}

void TvelCustomButton::Click() {
  if (pressed_) {
    FreeTimer();
    pressed_ = false;
    Repaint();
  }
  if (Parent())
    if (TForm* form = ParentForm()) SetFormModalResult(*form, modalResult_);
  TCustomControl::Click();
}

void TvelCustomButton::MouseEnter() {
  if (!Designing()) {
    hot_ = true;
    Repaint();
  }
  TCustomControl::MouseEnter();  // fires OnMouseEnter
}

void TvelCustomButton::MouseLeave() {
  TCustomControl::MouseLeave();
  hot_ = false;
  pressed_ = false;
  FreeTimer();
  Repaint();
  if (OnMouseExit) OnMouseExit(this);
}

void TvelCustomButton::CancelMode() {
  TCustomControl::CancelMode();
  hot_ = false;
  pressed_ = false;
  FreeTimer();
  Repaint();
}

bool TvelCustomButton::DialogKey(int key, TShiftState shift) {
  if (DialogKeyClicks(key, shift, active_, cancel_) && CanFocus()) {
    Click();
    return true;
  }
  return TCustomControl::DialogKey(key, shift);
}

bool TvelCustomButton::DialogChar(int ch, TShiftState shift) {
  TCustomControl::DialogChar(ch, shift);
  const int accel = AcceleratorOf(caption_);
  if (accel == 0 || LowerAscii(ch) != accel) return false;
  bool allowed = (shift & ssAlt) != 0;
  if (!allowed) {
    HWND focus = GetFocus();
    allowed = focus && SendMessageW(focus, WM_ISSKINBUTTON, 0, 0) == 1;
  }
  if (!allowed) return false;
  if (Parent() && Parent()->Enabled() && Enabled() && Visible()) {
    Click();
    return true;
  }
  return false;
}

void TvelCustomButton::FocusChanged(TWinControl* focused) {
  TCustomControl::FocusChanged(focused);
  // Only which button Enter clicks changes; nothing drawn depends on it, so there is no
  // repaint (focus itself repaints through WM_SETFOCUS and WM_KILLFOCUS).
  active_ = ActiveAfterFocusChange(dynamic_cast<TvelButton*>(focused) != nullptr, focused == this, default_);
}

LRESULT TvelCustomButton::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_ISSKINBUTTON:
      return 1;
    case WM_KEYDOWN: {
      int key = static_cast<int>(wParam);
      if (OnKeyDown) {
        OnKeyDown(this, key, KeyboardShiftState());
        if (key == 0) return 0;
      }
      if ((key == VK_SPACE || key == VK_RETURN) && Focused() && Enabled()) {
        pressed_ = true;
        Repaint();
      }
      return DefaultHandler(msg, static_cast<WPARAM>(key), lParam);
    }
    case WM_KEYUP: {
      int key = static_cast<int>(wParam);
      if (OnKeyUp) {
        OnKeyUp(this, key, KeyboardShiftState());
        if (key == 0) return 0;
      }
      if ((key == VK_SPACE || key == VK_RETURN) && Focused() && pressed_ && Enabled()) {
        pressed_ = false;
        Repaint();
        Click();
      }
      return DefaultHandler(msg, static_cast<WPARAM>(key), lParam);
    }
    case WM_CHAR:
      if (OnKeyPress) {
        int key = static_cast<int>(wParam);
        OnKeyPress(this, key);
        if (key == 0) return 0;
        wParam = static_cast<WPARAM>(key);
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      LRESULT r = TCustomControl::WndProc(msg, wParam, lParam);
      Repaint();
      return r;
    }
    case WM_SETTEXT: {
      LRESULT r = TCustomControl::WndProc(msg, wParam, lParam);
      TextChanged();
      return r;
    }
    case WM_TIMER:
      if (wParam == kRepeatTimerId) {
        if (OnMouseContinuouslyDown) OnMouseContinuouslyDown(this);
        return 0;
      }
      break;
    default:
      break;
  }
  return TCustomControl::WndProc(msg, wParam, lParam);
}

// ---------------------------------------------------------------- TvelButton

TvelButton::TvelButton(TComponent* owner) : TvelCustomButton(owner), glyph_(std::make_unique<TBitmap>()) {
  SetHeight(27);
  SetWidth(80);
  spacing_ = 4;
  // The base constructor set UIStyle before this class's StyleSet could run.
  StyleSet();
}

TvelButton::~TvelButton() { glyph_.reset(); }

void TvelButton::SetGlyph(const TBitmap& picture) {
  *glyph_ = picture.Clone();
  Repaint();
}

void TvelButton::SetLayout(TButtonLayout v) {
  layout_ = v;
  Repaint();
}

void TvelButton::SetSpacing(int v) {
  spacing_ = v;
  Repaint();
}

void TvelButton::StyleSet() {
  TvelUIStyle style;
  if (UsesFileTheme(style)) {
    SetTransparent(FileTheme()->GetBool(5) != 0);                // SKIN2_BUTTONTRANS
    Font().SetColor(static_cast<TColor>(FileTheme()->GetColor(24)));  // SKIN2_BUTTONFONTCOLOR
  } else {
    SetTransparent(GetThemeBool(style, 2) != 0);
    Font().SetColor(clBlack);
  }
}

void TvelButton::DrawFace(TvelPaintBuffer& canvas, const TBitmap& face) {
  canvas.Font = Font();
  DrawNineGrid(canvas.Pixels(), face, ClientRect(), faceTransparent_);
  const TBitmap& glyph = *glyph_;
  if (glyph.Empty()) return;
  const TPoint text = canvas.TextExtent(CaptionText());
  const TvelGlyphPlacement p = PlaceGlyph(layout_, Width(), Height(), text.X, text.Y, glyph.Width(), glyph.Height(),
                                          spacing_, pressed_);
  textOrigin_ = p.TextOrigin;
  const uint32_t key = PixelToColor(glyph.GetPixel(0, 0));
  const int w = p.ImageWidth, h = glyph.Height();
  const TRect target{p.Glyph.X, p.Glyph.Y, p.Glyph.X + w, p.Glyph.Y + h};
  TBitmap& pixels = canvas.Pixels();
  if (p.TwoImages) {
    const TRect source = Enabled() ? TRect{0, 0, w, h} : TRect{w, 0, 2 * w, h};
    StretchCopy(pixels, target, glyph, source, &key);
  } else if (Enabled()) {
    StretchCopy(pixels, target, glyph, {0, 0, w, h}, &key);
  } else {
    DrawDisabledImage(pixels, p.Glyph.X, p.Glyph.Y, glyph, {0, 0, w, h}, &key);
  }
}

void TvelButton::DrawCaption(TCanvas& canvas, const std::string& text) {
  if (glyph_->Empty()) {
    TvelCustomButton::DrawCaption(canvas, text);
    return;
  }
  canvas.Brush.Style = bsClear;
  canvas.Font = Font();
  if (boldCaption_) canvas.Font.SetStyle(canvas.Font.Style() | fsBold);
  TPoint origin = textOrigin_;
  if (!Enabled()) {
    canvas.Font.SetColor(clWhite);
    TRect r{origin.X + 1, origin.Y + 1, Width(), Height()};
    canvas.DrawText(text, r, DT_SINGLELINE);
    canvas.Font.SetColor(kCaptionGrey);
  } else if (pressed_) {
    origin.X += 1;
    origin.Y += 1;
  }
  TRect r{origin.X, origin.Y, Width(), Height()};
  canvas.DrawText(text, r, DT_SINGLELINE);
}

void TvelButton::DrawFocus(TCanvas& canvas) {
  if (UIStyle() == TvelUIStyle::MacOS || UIStyle() == TvelUIStyle::BlueGlass) {
    boldCaption_ = true;
    return;
  }
  TvelCustomButton::DrawFocus(canvas);
}

// ---------------------------------------------------------------- stored properties

namespace {
using R = TReader;
using V = TLayoutValue;

int ModalResultValue(const V& v) {
  if (v.kind == V::Integer) return R::IntRange(v, INT32_MIN, INT32_MAX);
  return R::Enum<int>(v, {{"mrNone", 0}, {"mrOk", 1}, {"mrCancel", 2}, {"mrAbort", 3}, {"mrRetry", 4},
                          {"mrIgnore", 5}, {"mrYes", 6}, {"mrNo", 7}, {"mrAll", 8}, {"mrNoToAll", 9},
                          {"mrYesToAll", 10}});
}

void RegisterClasses() {
  auto& c = RegisterComponentClass("TvelCustomButton", "TCustomControl");
  c.Prop<TvelCustomButton>("Caption", [](TvelCustomButton& b, const V& v, R&) { b.SetCaption(R::String(v)); });
  c.Prop<TvelCustomButton>("AutoSize", [](TvelCustomButton& b, const V& v, R&) { b.SetAutoSize(R::Bool(v)); });
  for (const char* ignored : {"PopupMenu"}) c.Property(ignored, [](TComponent&, const V&, R&) {});

  auto& b = RegisterComponentClass<TvelButton>("TvelButton", "TvelCustomButton");
  b.Prop<TvelButton>("FileTheme", [](TvelButton& t, const V& v, R& r) {
    r.ComponentRef(v, [&t](TComponent* c) { t.SetFileTheme(dynamic_cast<TvelFileTheme*>(c)); });
  });
  b.Prop<TvelButton>("UIStyle", [](TvelButton& t, const V& v, R&) { t.SetUIStyle(ReadUIStyleValue(v)); });
  b.Prop<TvelButton>("Cancel", [](TvelButton& t, const V& v, R&) { t.SetCancel(R::Bool(v)); });
  b.Prop<TvelButton>("Default", [](TvelButton& t, const V& v, R&) { t.SetDefault(R::Bool(v)); });
  b.Prop<TvelButton>("Transparent", [](TvelButton& t, const V& v, R&) { t.SetTransparent(R::Bool(v)); });
  b.Prop<TvelButton>("ModalResult", [](TvelButton& t, const V& v, R&) { t.SetModalResult(ModalResultValue(v)); });
  b.Prop<TvelButton>("FocusedRectMargin", [](TvelButton& t, const V& v, R&) {
    t.SetFocusedRectMargin(R::IntRange(v, INT32_MIN, INT32_MAX));
  });
  b.Prop<TvelButton>("Glyph.Data", [](TvelButton& t, const V& v, R&) {
    TBitmap picture;
    const auto& bytes = R::Binary(v);
    if (!bytes.empty() && !TBitmap::LoadFromBmp(bytes, picture)) throw ELayoutError("Bitmap image is not valid");
    t.SetGlyph(picture);
  });
  b.Prop<TvelButton>("Glyph.Resource", [](TvelButton& t, const V& v, R&) {
    TBitmap picture;
    if (!TryLoadBitmapResource(nullptr, R::String(v), picture))
      throw ELayoutError("Bitmap resource " + R::String(v) + " not found");
    t.SetGlyph(picture);
  });
  b.Prop<TvelButton>("Layout", [](TvelButton& t, const V& v, R&) {
    t.SetLayout(R::Enum<TButtonLayout>(v, {{"blGlyphLeft", blGlyphLeft}, {"blGlyphRight", blGlyphRight},
                                           {"blGlyphTop", blGlyphTop}, {"blGlyphBottom", blGlyphBottom}}));
  });
  b.Prop<TvelButton>("Spacing",
                     [](TvelButton& t, const V& v, R&) { t.SetSpacing(R::IntRange(v, INT32_MIN, INT32_MAX)); });
  b.Prop<TvelButton>("MouseContinuouslyDownInterval", [](TvelButton& t, const V& v, R&) {
    t.SetMouseContinuouslyDownInterval(R::IntRange(v, INT32_MIN, INT32_MAX));
  });
  b.Prop<TvelButton>("OnMouseExit", [](TvelButton& t, const V& v, R& r) { t.OnMouseExit = r.Method<TNotifyEvent>(v); });
  b.Prop<TvelButton>("OnMouseContinuouslyDown",
                     [](TvelButton& t, const V& v, R& r) { t.OnMouseContinuouslyDown = r.Method<TNotifyEvent>(v); });
  b.Prop<TvelButton>("OnKeyUp", [](TvelButton& t, const V& v, R& r) { t.OnKeyUp = r.Method<TKeyEvent>(v); });
  b.Prop<TvelButton>("OnKeyPress", [](TvelButton& t, const V& v, R& r) { t.OnKeyPress = r.Method<TKeyPressEvent>(v); });
  b.Prop<TvelButton>("ResHandle", [](TvelButton& t, const V& v, R&) {
    t.SetResHandle(static_cast<uint32_t>(R::IntRange(v, INT32_MIN, UINT32_MAX)));
  });
}
}  // namespace

void RegisterVelButtonClasses() {
  RegisterFrameworkClasses();
  static std::once_flag once;
  std::call_once(once, RegisterClasses);
}
