// The control model's Win32 side: window classes, the window procedure that binds objects
// at creation, message dispatch, mouse tracking, double-buffered painting.
#include "framework/Controls.h"

#include <commctrl.h>

#include <algorithm>
#include <map>

#include "framework/Application.h"
#include "framework/Exceptions.h"
#include "framework/Forms.h"
#include "framework/Menus.h"
#include "framework/Text.h"

LRESULT CALLBACK FrameworkWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

namespace {
// Window procedures of the system classes we superclass, by our class name.
// Never destroyed: windows of forms destroyed at exit still look their class up here.
std::map<std::wstring, WNDPROC>& BaseProcs() {
  static auto* procs = new std::map<std::wstring, WNDPROC>;
  return *procs;
}

// The control whose window is being created: it is bound at the first message.
thread_local TWinControl* creatingControl = nullptr;
// The control under the pointer, as last reported by MouseEnter.
TControl* mouseControl = nullptr;

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

WNDPROC EnsureClass(const TCreateParams& p) {
  auto& procs = BaseProcs();
  auto it = procs.find(p.className);
  if (it != procs.end()) return it->second;
  WNDCLASSEXW wc{sizeof wc};
  WNDPROC base = DefWindowProcW;
  if (!p.baseClass.empty()) {
    if (!GetClassInfoExW(nullptr, p.baseClass.c_str(), &wc))
      throw Exception("Window class " + WideToGbk(p.baseClass) + " not found");
    base = wc.lpfnWndProc;
    wc.cbSize = sizeof wc;
  } else {
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.style = p.classStyle;
  }
  wc.lpfnWndProc = FrameworkWindowProc;
  wc.hInstance = Instance();
  wc.lpszClassName = p.className.c_str();
  wc.style &= ~CS_GLOBALCLASS;
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw Exception("Cannot register window class: " + SystemErrorText(GetLastError()));
  procs[p.className] = base;
  return base;
}

WNDPROC ProcForWindow(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  auto it = BaseProcs().find(name);
  return it == BaseProcs().end() ? DefWindowProcW : it->second;
}

LPCWSTR CursorResource(TCursor c) {
  switch (c) {
    case crCross: return IDC_CROSS;
    case crIBeam: return IDC_IBEAM;
    case crSizeAll: return IDC_SIZEALL;
    case crSizeNS: return IDC_SIZENS;
    case crSizeWE: return IDC_SIZEWE;
    case crUpArrow: return IDC_UPARROW;
    case crHourGlass: return IDC_WAIT;
    case crNo: return IDC_NO;
    case crHandPoint: return IDC_HAND;
    default: return IDC_ARROW;
  }
}

TShiftState MouseShift(WPARAM wParam) {
  TShiftState s = KeyboardShiftState() & ssAlt;
  if (wParam & MK_SHIFT) s |= ssShift;
  if (wParam & MK_CONTROL) s |= ssCtrl;
  if (wParam & MK_LBUTTON) s |= ssLeft;
  if (wParam & MK_RBUTTON) s |= ssRight;
  if (wParam & MK_MBUTTON) s |= ssMiddle;
  return s;
}

// The pop-up hint: shown half a second after the pointer came over a control with a hint,
// hidden when it leaves or presses.
namespace hint {
UniqueWindow tip;
TControl* pending = nullptr;
UINT_PTR timer = 0;
std::wstring text;
bool added = false;

void Hide() {
  pending = nullptr;
  if (timer) KillTimer(nullptr, timer);
  timer = 0;
  if (tip && added) {
    TTTOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.hwnd = tip.get();
    ti.uId = 1;
    SendMessageW(tip.get(), TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&ti));
  }
}

void CALLBACK Fire(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  timer = 0;
  TControl* c = pending;
  if (!c || c->Hint().empty()) return;
  if (!tip) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    tip.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0,
                              0, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
    if (!tip) return;
  }
  text = GbkToWide(c->Hint());
  TTTOOLINFOW ti{};
  ti.cbSize = TTTOOLINFOW_V2_SIZE;
  ti.uFlags = TTF_TRACK | TTF_ABSOLUTE;
  ti.hwnd = tip.get();
  ti.uId = 1;
  ti.lpszText = text.data();
  if (!added) {
    added = SendMessageW(tip.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)) != 0;
  } else {
    SendMessageW(tip.get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
  }
  POINT pt;
  GetCursorPos(&pt);
  SendMessageW(tip.get(), TTM_TRACKPOSITION, 0, MAKELPARAM(pt.x, pt.y + 20));
  SendMessageW(tip.get(), TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&ti));
}

void Schedule(TControl* c) {
  Hide();
  if (!c->ShowHint() || c->Hint().empty()) return;
  pending = c;
  timer = SetTimer(nullptr, 0, 500, Fire);
}
}  // namespace hint

void SetMouseControl(TControl* control) {
  if (mouseControl == control) return;
  TControl* old = mouseControl;
  mouseControl = control;
  if (old) old->MouseLeave();
  // MouseLeave may have destroyed or replaced things; only enter what is still current.
  if (control && mouseControl == control) control->MouseEnter();
}
}  // namespace

TShiftState KeyboardShiftState() {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

LRESULT CALLBACK FrameworkWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* control = reinterpret_cast<TWinControl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!control && creatingControl && !creatingControl->handle_) {
    control = creatingControl;
    control->handle_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
  }
  if (!control) return CallWindowProcW(ProcForWindow(window), window, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    LRESULT r = control->DefaultHandler(msg, wParam, lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    control->handle_ = nullptr;
    return r;
  }
  // Errors escaping an event handler end here: the top-level handler shows them and the
  // message loop goes on.
  try {
    return control->Dispatch(msg, wParam, lParam);
  } catch (...) {
    Application->HandleException();
    return 0;
  }
}

// ---------------------------------------------------------------- TControl

TControl::TControl(TComponent* owner) : TComponent(owner) {
  font_.OnChange = [this] {
    if (!inFontChange_) parentFont_ = false;
    FontChanged();
  };
}

TControl::~TControl() {
  if (mouseControl == this) mouseControl = nullptr;
  if (hint::pending == this) hint::Hide();
  font_.OnChange = nullptr;
  if (parent_) parent_->RemoveControl(this);
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
  if (popupMenu_) RemoveFreeNotification(popupMenu_);
  popupMenu_ = menu;
  if (menu) FreeNotification(menu);
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

void TControl::SetParentComponent(TComponent* parent) {
  if (auto* w = dynamic_cast<TWinControl*>(parent)) SetParent(w);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent_ == parent) return;
  if (parent == this) throw Exception("A control cannot be its own parent");
  if (parent_) parent_->RemoveControl(this);
  parent_ = nullptr;
  if (parent) {
    parent->InsertControl(this);
    parent_ = parent;
    ParentFontChanged();
    ParentColorChanged();
  }
  if (auto* w = dynamic_cast<TWinControl*>(this)) {
    if (w->handle_) {
      if (parent && parent->handle_) {
        ::SetParent(w->handle_, parent->handle_);
      } else {
        w->DestroyWnd();
      }
    } else if (parent && parent->handle_ && w->Visible()) {
      w->CreateWnd();
    }
    w->UpdateShowing();
  } else {
    Invalidate();
  }
}

TForm* TControl::ParentForm() const {
  const TControl* c = this;
  while (c->parent_) c = c->parent_;
  return dynamic_cast<TForm*>(const_cast<TControl*>(c));
}

void TControl::SetBounds(int left, int top, int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  bool moved = left != left_ || top != top_;
  bool sized = width != width_ || height != height_;
  if (!moved && !sized) return;
  if (!dynamic_cast<TWinControl*>(this)) Invalidate();
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  BoundsChanged(moved, sized);
}

void TControl::BoundsChanged(bool, bool sized) {
  Invalidate();
  if (sized) Resize();
  if (parent_ && align_ != alNone) parent_->Realign();
}

void TControl::SetAlign(TAlign align) {
  if (align_ == align) return;
  align_ = align;
  if (parent_) parent_->Realign();
}

void TControl::SetVisible(bool visible) {
  if (visible_ == visible) return;
  if (!visible) Invalidate();
  visible_ = visible;
  if (visible) Invalidate();
  VisibleChanged();
  if (parent_ && align_ != alNone) parent_->Realign();
}

bool TControl::Showing() const { return visible_ && parent_ && parent_->Showing(); }

void TControl::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  EnabledChanged();
}

void TControl::SetText(const std::string& text) {
  if (text_ == text) return;
  text_ = text;
  TextChanged();
}

void TControl::SetParentFont(bool v) {
  parentFont_ = v;
  if (v) ParentFontChanged();
}

void TControl::SetColor(TColor color) {
  parentColor_ = false;
  if (color_ == color) return;
  color_ = color;
  ColorChanged();
}

void TControl::SetParentColor(bool v) {
  parentColor_ = v;
  if (v) ParentColorChanged();
}

void TControl::ParentFontChanged() {
  if (!parentFont_ || !parent_) return;
  inFontChange_ = true;
  font_.Assign(parent_->Font());
  inFontChange_ = false;
}

void TControl::ParentColorChanged() {
  if (!parentColor_ || !parent_) return;
  if (color_ != parent_->Color()) {
    color_ = parent_->Color();
    ColorChanged();
  }
}

HWND TControl::HostWindow(TPoint* offset) const {
  TPoint o{0, 0};
  const TControl* c = this;
  while (c && !dynamic_cast<const TWinControl*>(c)) {
    o.X += c->left_;
    o.Y += c->top_;
    c = c->parent_;
  }
  if (offset) *offset = o;
  auto* w = static_cast<const TWinControl*>(c);
  return w ? w->handle_ : nullptr;
}

void TControl::Invalidate() {
  TPoint o;
  HWND host = HostWindow(&o);
  if (!host) return;
  RECT r{o.X, o.Y, o.X + width_, o.Y + height_};
  InvalidateRect(host, &r, FALSE);
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::Update() {
  if (HWND host = HostWindow(nullptr)) UpdateWindow(host);
}

void TControl::Paint(TCanvas&) {}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  hint::Hide();
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}
void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}
void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}
void TControl::Click() {
  if (OnClick) OnClick(this);
}
void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}
void TControl::MouseEnter() {
  mouseInside_ = true;
  hint::Schedule(this);
  if (OnMouseEnter) OnMouseEnter(this);
}
void TControl::MouseLeave() {
  mouseInside_ = false;
  if (hint::pending == this || hint::pending == nullptr) hint::Hide();
  if (OnMouseLeave) OnMouseLeave(this);
}
void TControl::CancelMode() { pressing_ = false; }
bool TControl::DialogKey(int, TShiftState) { return false; }
bool TControl::DialogChar(int, TShiftState) { return false; }
void TControl::FocusChanged(TWinControl*) {}
void TControl::TextChanged() { Invalidate(); }
void TControl::FontChanged() { Invalidate(); }
void TControl::EnabledChanged() { Invalidate(); }
void TControl::VisibleChanged() {}
void TControl::ColorChanged() { Invalidate(); }
void TControl::Resize() {
  if (OnResize) OnResize(this);
}

int TControl::AcceleratorOf(const std::string& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    auto b = static_cast<unsigned char>(caption[i]);
    if (b >= 0x81) {
      ++i;  // a GBK character's trail byte may look like '&'
      continue;
    }
    if (caption[i] == '&') {
      if (caption[i + 1] == '&') {
        ++i;
        continue;
      }
      char c = caption[i + 1];
      return LowerAscii(static_cast<unsigned char>(c));
    }
  }
  return 0;
}

// ---------------------------------------------------------------- TWinControl

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  BeginDestroying();
  // Children go first, while this window still exists for them to leave.
  while (!controls_.empty()) controls_.back()->Free();
  if (handle_) {
    HWND h = handle_;
    // Detached first: the messages of the destruction must not reach a half-destroyed object.
    SetWindowLongPtrW(h, GWLP_USERDATA, 0);
    handle_ = nullptr;
    DestroyWindow(h);
  }
}

TWinControl* TWinControl::FromHandle(HWND window) {
  if (!window) return nullptr;
  if (reinterpret_cast<WNDPROC>(GetClassLongPtrW(window, GCLP_WNDPROC)) != FrameworkWindowProc) return nullptr;
  return reinterpret_cast<TWinControl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

HWND TWinControl::Handle() {
  if (!handle_ && !creating_) {
    if (Parent() && !Parent()->handle_) Parent()->Handle();
    if (!handle_) CreateWnd();
  }
  return handle_;
}

void TWinControl::CreateParams(TCreateParams& p) {
  p.className = GbkToWide(ClassName());
  p.style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  if (Parent()) {
    p.style |= WS_CHILD;
    p.parentWindow = Parent()->handle_;
  }
  if (Visible()) p.style |= WS_VISIBLE;
  if (!Enabled()) p.style |= WS_DISABLED;
  if (tabStop_) p.style |= WS_TABSTOP;
  p.x = Left();
  p.y = Top();
  p.width = Width();
  p.height = Height();
}

void TWinControl::CreateWnd() {
  TCreateParams p;
  CreateParams(p);
  if (p.style & WS_CHILD && !p.parentWindow) return;  // waits for a parent with a window
  defProc_ = EnsureClass(p);
  creating_ = true;
  TWinControl* previous = creatingControl;
  creatingControl = this;
  std::wstring text = GbkToWide(TControl::Text());
  HWND h = CreateWindowExW(p.exStyle, p.className.c_str(), text.c_str(), p.style, p.x, p.y, p.width, p.height,
                           p.parentWindow, nullptr, Instance(), this);
  DWORD error = GetLastError();
  creatingControl = previous;
  creating_ = false;
  if (!h) throw Exception("Error creating window: " + SystemErrorText(error));
  handle_ = h;
  SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  // Later children lie above earlier ones, as they do in the layout, whenever each window
  // is made: under the first later sibling that has one, otherwise on top.
  if (Parent() && Parent()->handle_) {
    HWND above = HWND_TOP;
    const auto& siblings = Parent()->controls_;
    auto it = std::find(siblings.begin(), siblings.end(), this);
    if (it != siblings.end())
      for (++it; it != siblings.end(); ++it)
        if (auto* w = dynamic_cast<TWinControl*>(*it); w && w->handle_) {
          above = w->handle_;
          break;
        }
    SetWindowPos(h, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  ApplyFont();
  // Hidden children get their windows when they are first shown (or their Handle is asked
  // for): a wizard's later pages cost nothing until they are reached.
  for (TControl* c : controls_)
    if (auto* w = dynamic_cast<TWinControl*>(c); w && !w->handle_ && w->Visible()) w->CreateWnd();
  UpdateShowing();
}

void TWinControl::DestroyWnd() {
  if (!handle_) return;
  StoreText(Text());
  HWND h = handle_;
  DestroyWindow(h);
  handle_ = nullptr;
}

void TWinControl::RecreateWnd() {
  if (!handle_) return;
  DestroyWnd();
  if (!Parent() || Parent()->handle_) CreateWnd();
}

LRESULT TWinControl::DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!handle_) return 0;
  return CallWindowProcW(defProc_ ? defProc_ : DefWindowProcW, handle_, msg, wParam, lParam);
}

LRESULT TWinControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  return SendMessageW(Handle(), msg, wParam, lParam);
}

void TWinControl::InsertControl(TControl* control) {
  controls_.push_back(control);
  control->Invalidate();
}

void TWinControl::RemoveControl(TControl* control) {
  if (captureControl_ == control) captureControl_ = nullptr;
  if (mouseControl == control) mouseControl = nullptr;
  control->Invalidate();
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
  if (TForm* form = ParentForm()) form->ControlRemoved(control);
}

bool TWinControl::ContainsControl(const TControl* control) const {
  for (const TControl* c = control; c; c = c->Parent())
    if (c == this) return true;
  return false;
}

TControl* TWinControl::ControlAtPos(TPoint p, bool allowDisabled) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = *it;
    if (dynamic_cast<TWinControl*>(c)) continue;  // windows take their own mouse messages
    if (c->Visible() && (allowDisabled || c->Enabled()) && c->BoundsRect().Contains(p)) return c;
  }
  return nullptr;
}

void TWinControl::SetTabStop(bool v) {
  tabStop_ = v;
  if (handle_) {
    LONG_PTR style = GetWindowLongPtrW(handle_, GWL_STYLE);
    SetWindowLongPtrW(handle_, GWL_STYLE, v ? style | WS_TABSTOP : style & ~WS_TABSTOP);
  }
}

int TWinControl::TabOrder() const {
  if (!Parent()) return -1;
  int order = 0;
  for (TControl* c : Parent()->controls_) {
    if (c == this) return order;
    if (dynamic_cast<TWinControl*>(c)) ++order;
  }
  return -1;
}

void TWinControl::SetTabOrder(int order) {
  // Tab order is the order among windowed siblings; moving keeps the z-order of windows.
  if (!Parent() || order < 0) return;
  auto& list = Parent()->controls_;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  int seen = 0;
  auto it = list.begin();
  for (; it != list.end(); ++it) {
    if (!dynamic_cast<TWinControl*>(*it)) continue;
    if (seen++ == order) break;
  }
  list.insert(it, this);
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

bool TWinControl::CanFocus() const {
  for (const TControl* c = this; c; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

void TWinControl::SetFocus() {
  if (!CanFocus()) throw Exception("Cannot focus a disabled or invisible window");
  ::SetFocus(Handle());
}

void TWinControl::SetText(const std::string& text) {
  if (Text() == text) return;
  StoreText(text);
  if (handle_) SetWindowTextW(handle_, GbkToWide(text).c_str());
  TextChanged();
}

std::string TWinControl::Text() const {
  if (!handle_) return TControl::Text();
  int n = GetWindowTextLengthW(handle_);
  std::wstring w(static_cast<size_t>(n) + 1, L'\0');
  n = GetWindowTextW(handle_, w.data(), n + 1);
  w.resize(static_cast<size_t>(std::max(n, 0)));
  return WideToGbk(w);
}

void TWinControl::SetVisible(bool visible) {
  if (Visible() == visible) return;
  TControl::SetVisible(visible);
  if (handle_)
    ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE);
  else if (visible && Parent() && Parent()->handle_)
    CreateWnd();
  UpdateShowing();
}

void TWinControl::SetEnabled(bool enabled) {
  if (Enabled() == enabled) return;
  if (handle_) EnableWindow(handle_, enabled);
  TControl::SetEnabled(enabled);
}

bool TWinControl::Showing() const { return showing_; }

void TWinControl::UpdateShowing() {
  bool showing = handle_ && Visible() && (Parent() ? Parent()->showing_ : IsWindowVisible(handle_) != FALSE);
  if (showing != showing_) {
    showing_ = showing;
    ShowingChanged();
  }
  for (TControl* c : controls_)
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->UpdateShowing();
}

void TWinControl::ShowingChanged() {}

void TWinControl::Invalidate() {
  if (handle_) InvalidateRect(handle_, nullptr, FALSE);
}

void TWinControl::Repaint() {
  if (!handle_) return;
  InvalidateRect(handle_, nullptr, FALSE);
  UpdateWindow(handle_);
}

void TWinControl::BoundsChanged(bool moved, bool sized) {
  if (handle_ && !creating_) {
    SetWindowPos(handle_, nullptr, Left(), Top(), Width(), Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE | (moved ? 0 : SWP_NOMOVE) | (sized ? 0 : SWP_NOSIZE));
  }
  if (sized) Realign();
  TControl::BoundsChanged(moved, sized);
}

void TWinControl::Realign() {
  TRect r = ClientRect();
  AlignControls(r);
}

void TWinControl::AlignControls(TRect& rect) {
  for (TAlign pass : {alTop, alBottom, alLeft, alRight, alClient}) {
    for (TControl* c : controls_) {
      if (c->Align() != pass || !c->Visible()) continue;
      switch (pass) {
        case alTop:
          c->SetBounds(rect.Left, rect.Top, rect.Width(), c->Height());
          rect.Top += c->Height();
          break;
        case alBottom:
          c->SetBounds(rect.Left, rect.Bottom - c->Height(), rect.Width(), c->Height());
          rect.Bottom -= c->Height();
          break;
        case alLeft:
          c->SetBounds(rect.Left, rect.Top, c->Width(), rect.Height());
          rect.Left += c->Width();
          break;
        case alRight:
          c->SetBounds(rect.Right - c->Width(), rect.Top, c->Width(), rect.Height());
          rect.Right -= c->Width();
          break;
        default:
          c->SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
          break;
      }
    }
  }
}

void TWinControl::PaintTo(HDC dc, int x, int y) {
  if (Width() <= 0 || Height() <= 0) return;
  // Only the part the target can show is painted: a see-through child asks its parent for
  // the few pixels under itself, and a partial update needs no more than its box.
  TRect area{0, 0, Width(), Height()};
  RECT clip;
  const int kind = GetClipBox(dc, &clip);
  if (kind == NULLREGION) return;
  if (kind != ERROR) area = IntersectRect(area, {clip.left - x, clip.top - y, clip.right - x, clip.bottom - y});
  if (area.Empty()) return;
  TBitmap buffer(area.Width(), area.Height());
  {
    TBitmapCanvas canvas(buffer);
    SetViewportOrgEx(canvas.Handle(), -area.Left, -area.Top, nullptr);
    PaintWindow(canvas);
  }
  TCanvas target(dc);
  target.Draw(x + area.Left, y + area.Top, buffer);
}

void TWinControl::PaintWindow(TCanvas& canvas) {
  canvas.Font.Assign(Font());
  canvas.Brush.Color = Color();
  canvas.FillRect(ClientRect());
  Paint(canvas);
  PaintControls(canvas);
}

void TWinControl::PaintControls(TCanvas& canvas) {
  HDC dc = canvas.Handle();
  for (TControl* c : controls_) {
    if (dynamic_cast<TWinControl*>(c) || !c->Visible() || c->Width() <= 0 || c->Height() <= 0) continue;
    int saved = SaveDC(dc);
    POINT origin;
    GetViewportOrgEx(dc, &origin);
    SetViewportOrgEx(dc, origin.x + c->Left(), origin.y + c->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
    {
      TCanvas sub(dc);
      sub.Font.Assign(c->Font());
      sub.Brush.Color = c->Color();
      c->Paint(sub);
    }
    RestoreDC(dc, saved);
  }
}

bool TWinControl::DialogKey(int key, TShiftState shift) {
  std::vector<TControl*> list = controls_;
  for (TControl* c : list)
    if (c->DialogKey(key, shift)) return true;
  return false;
}

bool TWinControl::DialogChar(int ch, TShiftState shift) {
  std::vector<TControl*> list = controls_;
  for (TControl* c : list)
    if (c->DialogChar(ch, shift)) return true;
  return false;
}

void TWinControl::FocusChanged(TWinControl* focused) {
  std::vector<TControl*> list = controls_;
  for (TControl* c : list) c->FocusChanged(focused);
}

void TWinControl::ParentFontChanged() { TControl::ParentFontChanged(); }

void TWinControl::ParentColorChanged() { TControl::ParentColorChanged(); }

void TWinControl::FontChanged() {
  ApplyFont();
  Invalidate();
  for (TControl* c : controls_) c->ParentFontChanged();
}

void TWinControl::ColorChanged() {
  Invalidate();
  for (TControl* c : controls_) c->ParentColorChanged();
}

void TWinControl::ApplyFont() {
  if (!handle_) return;
  UniqueFont font = CreateFontHandle(Font());
  SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
  fontHandle_ = std::move(font);  // the window no longer uses the old one
}

HBRUSH TWinControl::ColorBrush() {
  if (!colorBrush_ || brushColor_ != Color()) {
    colorBrush_.reset(CreateSolidBrush(ColorToRGB(Color())));
    brushColor_ = Color();
  }
  return colorBrush_.get();
}

LRESULT TWinControl::CtlColor(HDC dc) {
  SetTextColor(dc, ColorToRGB(Font().Color()));
  SetBkColor(dc, ColorToRGB(Color()));
  return reinterpret_cast<LRESULT>(ColorBrush());
}

void TWinControl::CommandNotify(WORD) {}

void TWinControl::TrackMouse(TControl* target) {
  if (target) {
    TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, handle_, 0};
    TrackMouseEvent(&t);
  }
  SetMouseControl(target);
}

void TWinControl::MouseMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  TPoint p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  TShiftState shift = MouseShift(wParam);
  TControl* inside = ClientRect().Contains(p) ? ControlAtPos(p) : nullptr;
  if (!inside && ClientRect().Contains(p)) inside = this;
  TControl* target = captureControl_ ? captureControl_ : (inside ? inside : this);
  if (msg == WM_MOUSEMOVE) TrackMouse(inside == target || !captureControl_ ? inside : nullptr);
  TPoint local = target == this ? p : TPoint{p.X - target->Left(), p.Y - target->Top()};
  TMouseButton button = (msg == WM_RBUTTONDOWN || msg == WM_RBUTTONUP)   ? mbRight
                        : (msg == WM_MBUTTONDOWN || msg == WM_MBUTTONUP) ? mbMiddle
                                                                         : mbLeft;
  switch (msg) {
    case WM_MOUSEMOVE:
      target->MouseMove(shift, local.X, local.Y);
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (msg != WM_RBUTTONDOWN && msg != WM_MBUTTONDOWN) {
        if (customPaint_ && target == this && tabStop_ && CanFocus() && GetFocus() != handle_) ::SetFocus(handle_);
        if (customPaint_ || target != this) {
          captureControl_ = target;
          target->pressing_ = true;
          SetCapture(handle_);
        }
      }
      if (msg == WM_LBUTTONDBLCLK) {
        target->DblClick();
        target->MouseDown(mbLeft, shift | ssDouble, local.X, local.Y);
      } else {
        target->MouseDown(button, shift, local.X, local.Y);
      }
      break;
    default: {  // button up
      bool wasPressed = target->pressing_ && msg == WM_LBUTTONUP;
      if (msg == WM_LBUTTONUP) {
        // Only a capture taken here is released: system controls hold their own.
        bool ours = captureControl_ != nullptr;
        target->pressing_ = false;
        captureControl_ = nullptr;
        if (ours && GetCapture() == handle_) ReleaseCapture();
      }
      target->MouseUp(button, shift, local.X, local.Y);
      // A press and release on the same custom or graphic control is a click.
      if (wasPressed && (customPaint_ || target != this) && TRect{0, 0, target->Width(), target->Height()}.Contains(local))
        target->Click();
      break;
    }
  }
}

LRESULT TWinControl::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (windowProc_) return windowProc_(msg, wParam, lParam);
  return WndProc(msg, wParam, lParam);
}

TWinControl::TWndMethod TWinControl::WindowProc() {
  if (windowProc_) return windowProc_;
  return [this](UINT msg, WPARAM wParam, LPARAM lParam) { return WndProc(msg, wParam, lParam); };
}

LRESULT TWinControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT:
      if (!customPaint_) break;
      if (wParam) {
        PaintTo(reinterpret_cast<HDC>(wParam), 0, 0);
      } else {
        PaintDC paint(handle_);
        PaintTo(paint.dc(), 0, 0);
      }
      return 0;
    case WM_PRINTCLIENT:
      if (!customPaint_) break;
      PaintTo(reinterpret_cast<HDC>(wParam), 0, 0);
      return 0;
    case WM_ERASEBKGND:
      if (customPaint_) return 1;
      break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      MouseMessage(msg, wParam, lParam);
      // The default handling of a right button release asks for the context menu.
      if (customPaint_) return msg == WM_RBUTTONUP ? DefaultHandler(msg, wParam, lParam) : 0;
      break;
    case WM_CONTEXTMENU: {
      POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      TControl* target = this;
      if (lParam == -1) {  // from the keyboard: the middle of the control
        pt = {Width() / 2, Height() / 2};
        ClientToScreen(handle_, &pt);
      } else {
        POINT local = pt;
        ScreenToClient(handle_, &local);
        if (TControl* child = ControlAtPos({local.x, local.y}); child && !dynamic_cast<TWinControl*>(child))
          target = child;
      }
      for (TControl* c = target; c; c = c->Parent()) {
        if (TPopupMenu* menu = c->PopupMenu()) {
          menu->PopupComponent = target;
          menu->Popup(pt.x, pt.y);
          return 0;
        }
      }
      break;
    }
    case WM_MOUSELEAVE:
      if (mouseControl == this || (mouseControl && mouseControl->Parent() == this &&
                                   !dynamic_cast<TWinControl*>(mouseControl)))
        SetMouseControl(nullptr);
      break;
    case WM_CANCELMODE:
    case WM_CAPTURECHANGED: {
      if (msg == WM_CAPTURECHANGED && reinterpret_cast<HWND>(lParam) == handle_) break;
      TControl* captured = captureControl_;
      captureControl_ = nullptr;
      if (captured && captured != this) captured->CancelMode();
      if (msg == WM_CANCELMODE || pressing_) CancelMode();
      break;
    }
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == handle_) {
        POINT pt;
        GetCursorPos(&pt);
        ScreenToClient(handle_, &pt);
        TControl* c = ControlAtPos({pt.x, pt.y}, true);
        TCursor cursor = c ? c->Cursor() : Cursor();
        if (cursor != crDefault) {
          ::SetCursor(LoadCursorW(nullptr, CursorResource(cursor)));
          return TRUE;
        }
      }
      break;
    case WM_SETFOCUS: {
      LRESULT r = DefaultHandler(msg, wParam, lParam);
      if (TForm* form = ParentForm()) form->SetFocusedControl(this);
      return r;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (OnKeyDown) {
        int key = static_cast<int>(wParam);
        OnKeyDown(this, key, KeyboardShiftState());
        if (key == 0) return 0;
        wParam = static_cast<WPARAM>(key);
      }
      break;
    case WM_SETTEXT: {
      LRESULT r = DefaultHandler(msg, wParam, lParam);
      return r;
    }
    case WM_COMMAND:
      if (lParam) {
        if (TWinControl* child = FromHandle(reinterpret_cast<HWND>(lParam)))
          return child->WndProc(kReflect + msg, wParam, lParam);
      }
      break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
      if (TWinControl* child = FromHandle(reinterpret_cast<HWND>(lParam)))
        return child->WndProc(kReflect + msg, wParam, lParam);
      break;
    case WM_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      if (dis && dis->CtlType != ODT_MENU)
        if (TWinControl* child = FromHandle(dis->hwndItem)) return child->WndProc(kReflect + msg, wParam, lParam);
      break;
    }
    case WM_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(lParam);
      if (hdr)
        if (TWinControl* child = FromHandle(hdr->hwndFrom)) return child->WndProc(kReflect + msg, wParam, lParam);
      break;
    }
    case kReflect + WM_COMMAND:
      CommandNotify(HIWORD(wParam));
      return 0;
    case kReflect + WM_CTLCOLOREDIT:
    case kReflect + WM_CTLCOLORSTATIC:
    case kReflect + WM_CTLCOLORBTN:
    case kReflect + WM_CTLCOLORLISTBOX:
    case kReflect + WM_CTLCOLORSCROLLBAR:
      return CtlColor(reinterpret_cast<HDC>(wParam));
    case WM_MOVE:
    case WM_SIZE: {
      LRESULT r = DefaultHandler(msg, wParam, lParam);
      if (Parent() && !creating_) {
        RECT rc;
        GetWindowRect(handle_, &rc);
        MapWindowPoints(HWND_DESKTOP, Parent()->handle_, reinterpret_cast<POINT*>(&rc), 2);
        TControl::SetBounds(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
      }
      return r;
    }
    default:
      break;
  }
  return DefaultHandler(msg, wParam, lParam);
}
