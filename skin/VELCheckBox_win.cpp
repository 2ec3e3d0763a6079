// The themed check box and radio button on Win32: state, keys and accelerators, the
// double-buffered paint and the stored properties.
#include "skin/VELCheckBox.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "framework/StdCtrls.h"
#include "framework/Streaming.h"
#include "framework/Text.h"
#include "skin/VELControlThemes.h"
#include "skin/VELMgr.h"
#include "skin/VELPublic.h"

// ---------------------------------------------------------------- TvelCheckBox

TvelCheckBox::TvelCheckBox(TComponent* owner) : TCustomControl(owner) {
  SetBounds(Left(), Top(), 93, 17);
  SetColor(clWindow);
  SetParentColor(true);
  SetTabStop(true);
  SetUIStyle(DefaultStyleFor(owner));
}

TvelCheckBox::~TvelCheckBox() {
  if (fileTheme_) RemoveFreeNotification(fileTheme_);
}

void TvelCheckBox::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  // The second press of a double click is another press.
  params.classStyle &= ~CS_DBLCLKS;
}

void TvelCheckBox::SetChecked(bool value) {
  if (value == checked_) return;
  checked_ = value;
  Invalidate();
  CheckedChanged();
}

void TvelCheckBox::CheckedChanged() {
  if (CheckedChangeFires(Kind(), checked_, Loading()) && OnClick) OnClick(this);
}

void TvelCheckBox::Toggle() {
  BeforeToggle();
  SetChecked(CheckedAfterToggle(Kind(), checked_, GroupCanModify()));
}

void TvelCheckBox::SetUIStyle(TvelUIStyle style) {
  uiStyle_ = style;
  Invalidate();
}

void TvelCheckBox::SetFileTheme(TvelFileTheme* theme) {
  LinkFileTheme(*this, fileTheme_, theme);
  SetUIStyle(uiStyle_);
}

void TvelCheckBox::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (FileThemeRemoved(fileTheme_, component, operation)) SetUIStyle(TvelUIStyle::DeepBlue);
}

void TvelCheckBox::SetTransparent(bool value) {
  transparent_ = value;
  Invalidate();
}

void TvelCheckBox::SetAutoSize(bool value) {
  autoSize_ = value;
  Invalidate();
}

void TvelCheckBox::SetBiDiMode(TBiDiMode mode) {
  biDiMode_ = mode;
  Invalidate();
}

void TvelCheckBox::SetEnabled(bool enabled) {
  TCustomControl::SetEnabled(enabled);
  Invalidate();
}

void TvelCheckBox::TextChanged() { Invalidate(); }
void TvelCheckBox::FontChanged() {
  TCustomControl::FontChanged();
  Invalidate();
}
void TvelCheckBox::FocusChanged(TWinControl* focused) {
  TCustomControl::FocusChanged(focused);
  Invalidate();
}

bool TvelCheckBox::NeedsFocusFrame() const {
  return ::NeedsFocusFrame(Kind(), TabStop(), Focused(), false, checked_);
}

bool TvelCheckBox::UsesFileTheme(TvelUIStyle& effectiveStyle) const {
  return UseFileTheme(fileTheme_ && fileTheme_->Ready(), uiStyle_, effectiveStyle);
}

void TvelCheckBox::FetchMark(TBitmap& mark) const {
  TvelUIStyle style;
  const bool fromFile = UsesFileTheme(style);
  const TvelMarkFrame f = CheckMarkFrame(fromFile && BuiltinGlyphItem() == 3, checked_, Enabled());
  try {
    if (fromFile)
      fileTheme_->GetBitmapFrame(FileThemeGlyphIndex(), mark, f.Count, f.Index);
    else
      GetThemeBitmap(style, BuiltinGlyphItem(), &mark, 4, f.Index);
  } catch (const std::exception&) {
    // A mark that cannot be had does not stop the paint: the caption is drawn without it.
    mark.SetSize(0, 0);
  }
}

void TvelCheckBox::ApplyAutoSize(TCanvas& canvas, const TBitmap& mark) {
  const TPoint size = CheckBoxAutoSize(mark.Width(), mark.Height(), canvas.TextHeight("W"), canvas.TextWidth(Caption()));
  if (size.X != Width() || size.Y != Height()) SetBounds(Left(), Top(), size.X, size.Y);
}

void TvelCheckBox::Paint(TCanvas& target) {
  TBitmap mark;
  FetchMark(mark);
  if (autoSize_) {
    // One measuring canvas for every check control: it keeps its font between paints.
    static TBitmap measureBitmap(1, 1);
    static TBitmapCanvas measure(measureBitmap);
    measure.Font.Assign(Font());
    ApplyAutoSize(measure, mark);
  }
  const int width = Width(), height = Height();
  if (width <= 0 || height <= 0) return;
  TBitmap buffer(width, height);
  {
    TBitmapCanvas canvas(buffer);
    canvas.Font.Assign(Font());
    if (!transparent_) {
      canvas.Brush.Color = Color();
      canvas.FillRect(ClientRect());
    } else if (auto* sheet = dynamic_cast<TTabSheet*>(Parent())) {
      PaintParentBackground(canvas.Handle(), sheet->Parent() ? sheet->Parent()->Handle() : nullptr, sheet->Left(),
                            sheet->Top());
    } else if (Parent()) {
      PaintParentBackground(canvas.Handle(), Parent()->Handle(), Left(), Top());
    }
    canvas.Brush.Style = bsClear;
    const bool rtl = biDiMode_ == bdRightToLeft && GetSystemMetrics(SM_MIDEASTENABLED);
    const TvelCheckLayout at = LayoutCheckBox(width, height, mark.Width(), mark.Height(), canvas.TextHeight("W"), rtl);
    if (!mark.Empty()) {
      const TRect dest = Bounds(at.Mark.X, at.Mark.Y, mark.Width(), mark.Height());
      if (GlyphTransparent())
        canvas.DrawTransparent(dest, mark, PixelToColor(mark.GetPixel(0, mark.Height() - 1)));
      else
        canvas.Draw(dest.Left, dest.Top, mark);
    }
    TRect caption = at.Caption;
    canvas.DrawText(Caption(), caption, DT_SINGLELINE | (rtl ? DT_RIGHT | DT_RTLREADING : DT_LEFT));
    focusFrame_ = {};
    if (NeedsFocusFrame()) {
      canvas.Brush.Style = bsSolid;
      canvas.DrawFocusRect(at.Focus);
      focusFrame_ = at.Focus;
    }
  }
  target.Draw(0, 0, buffer);
}

void TvelCheckBox::Click() { Toggle(); }

void TvelCheckBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  if (button == mbLeft && CanFocus() && Enabled() && Visible()) {
    try {
      SetFocus();
    } catch (const std::exception&) {
      // Taking the focus is a courtesy of the press; failing at it changes nothing.
    }
  }
}

bool TvelCheckBox::DialogChar(int ch, TShiftState shift) {
  TCustomControl::DialogChar(ch, shift);
  const int accel = AcceleratorOf(Caption());
  if (accel == 0 || accel != LowerAscii(ch)) return false;
  if (!Enabled() || !Visible() || !Parent() || !Parent()->Enabled()) return false;
  if (CanFocus()) {
    try {
      SetFocus();
    } catch (const std::exception&) {
    }
  }
  Click();
  return true;
}

LRESULT TvelCheckBox::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_KEYUP: {
      int key = static_cast<int>(wParam);
      if (OnKeyUp) {
        OnKeyUp(this, key, KeyboardShiftState());
        if (key == 0) return 0;
      }
      if (KeysToggle() && (key == VK_SPACE || key == VK_RETURN) && Focused() && Enabled()) {
        Invalidate();
        Click();
      }
      return DefaultHandler(msg, static_cast<WPARAM>(key), lParam);
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      const LRESULT r = TCustomControl::WndProc(msg, wParam, lParam);
      Invalidate();
      return r;
    }
    case WM_SETTEXT: {
      const LRESULT r = TCustomControl::WndProc(msg, wParam, lParam);
      TextChanged();
      return r;
    }
    default:
      break;
  }
  return TCustomControl::WndProc(msg, wParam, lParam);
}

// ---------------------------------------------------------------- TvelRadioButton

TvelRadioButton::TvelRadioButton(TComponent* owner) : TvelCheckBox(owner) {}

void TvelRadioButton::CreateParams(TCreateParams& params) {
  TvelCheckBox::CreateParams(params);
  params.classStyle |= CS_DBLCLKS;
}

void TvelRadioButton::CheckedChanged() {
  if (Checked()) UncheckSiblings();
  TvelCheckBox::CheckedChanged();
}

void TvelRadioButton::UncheckSiblings() {
  TWinControl* parent = Parent();
  if (!parent) return;
  std::vector<TvelRadioButton*> radios;
  std::vector<TvelRadioSibling> facts;
  int self = -1;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    auto* r = dynamic_cast<TvelRadioButton*>(parent->Controls(i));
    if (r == this) self = static_cast<int>(facts.size());
    radios.push_back(r);
    facts.push_back({r != nullptr, r ? r->groupIndex_ : 0, r && r->Checked()});
  }
  for (int i : SiblingsToUncheck(facts, self)) radios[static_cast<size_t>(i)]->SetChecked(false);
}

void TvelRadioButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TvelCheckBox::MouseDown(button, shift, x, y);
  // The second press of a double click is the double click: its release clicks nothing.
  if (shift & ssDouble) pressing_ = false;
}

LRESULT TvelRadioButton::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != WM_SETFOCUS) return TvelCheckBox::WndProc(msg, wParam, lParam);
  const LRESULT r = TvelCheckBox::WndProc(msg, wParam, lParam);
  // The focus arriving from another item of a radio group (arrow keys) selects this one.
  const HWND from = reinterpret_cast<HWND>(wParam);
  wchar_t cls[32] = {};
  if (from && from != (HandleAllocated() ? Handle() : nullptr) && GetClassNameW(from, cls, 32) &&
      std::wstring(cls) == L"TvelRadioGroupButton")
    Click();
  return r;
}

// ---------------------------------------------------------------- stored properties

namespace {
using R = TReader;
using V = TLayoutValue;

TBiDiMode ReadBiDiMode(const V& v) {
  return R::Enum<TBiDiMode>(v, {{"bdLeftToRight", bdLeftToRight},
                                {"bdRightToLeft", bdRightToLeft},
                                {"bdRightToLeftNoAlign", bdRightToLeftNoAlign},
                                {"bdRightToLeftReadingOnly", bdRightToLeftReadingOnly}});
}

void RegisterClasses() {
  auto& c = RegisterComponentClass<TvelCheckBox>("TvelCheckBox", "TCustomControl");
  c.Prop<TvelCheckBox>("UIStyle", [](TvelCheckBox& t, const V& v, R&) { t.SetUIStyle(ReadUIStyleValue(v)); });
  c.Prop<TvelCheckBox>("FileTheme", [](TvelCheckBox& t, const V& v, R& r) {
    r.ComponentRef(v, [&t](TComponent* target) { t.SetFileTheme(dynamic_cast<TvelFileTheme*>(target)); });
  });
  c.Prop<TvelCheckBox>("BiDiMode", [](TvelCheckBox& t, const V& v, R&) { t.SetBiDiMode(ReadBiDiMode(v)); });
  c.Prop<TvelCheckBox>("AutoSize", [](TvelCheckBox& t, const V& v, R&) { t.SetAutoSize(R::Bool(v)); });
  c.Prop<TvelCheckBox>("Checked", [](TvelCheckBox& t, const V& v, R&) { t.SetChecked(R::Bool(v)); });
  c.Prop<TvelCheckBox>("State", [](TvelCheckBox& t, const V& v, R&) {
    t.SetState(R::Enum<TCheckBoxState>(v, {{"cbUnchecked", cbUnchecked}, {"cbChecked", cbChecked}, {"cbGrayed", cbGrayed}}));
  });
  c.Prop<TvelCheckBox>("Transparent", [](TvelCheckBox& t, const V& v, R&) { t.SetTransparent(R::Bool(v)); });
  c.Prop<TvelCheckBox>("OnKeyUp", [](TvelCheckBox& t, const V& v, R& r) { t.OnKeyUp = r.Method<TKeyEvent>(v); });
  for (const char* ignored : {"PopupMenu", "OnKeyPress", "OnContextPopup", "OnDragDrop", "OnDragOver", "OnEndDock",
                              "OnEndDrag", "OnStartDock", "OnStartDrag"})
    c.Property(ignored, [](TComponent&, const V&, R&) {});

  auto& r = RegisterComponentClass<TvelRadioButton>("TvelRadioButton", "TvelCheckBox");
  r.Prop<TvelRadioButton>("GroupIndex", [](TvelRadioButton& t, const V& v, R&) {
    t.SetGroupIndex(R::IntRange(v, INT32_MIN, INT32_MAX));
  });
}
}  // namespace

void RegisterVelCheckBoxClasses() {
  RegisterFrameworkClasses();
  static std::once_flag once;
  std::call_once(once, RegisterClasses);
}
