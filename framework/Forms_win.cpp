// Top-level forms: window styles, closing, focus tracking, tab navigation, layouts.
#include "framework/Forms.h"

#include <algorithm>

#include "framework/Application.h"
#include "framework/Menus.h"
#include "framework/ResourceStream.h"
#include "framework/Text.h"

TForm::TForm(TComponent* owner) : TCustomControl(owner) {
  SetVisible(false);
  SetColor(clBtnFace);
  SetBounds(0, 0, 320, 240);
}

TForm::~TForm() = default;

// OnDestroy runs here rather than in the destructor: by the time ~TForm runs, a derived
// form's members are gone, and its handler would use freed memory.
void TForm::BeforeDestruction() {
  TCustomControl::BeforeDestruction();
  if (destroyFired_) return;
  destroyFired_ = true;
  if (OnDestroy) {
    try {
      OnDestroy(this);
    } catch (...) {
      Application->HandleException();
    }
  }
}

std::string TForm::Key(std::string_view name) { return LowerText(name); }

void TForm::LoadLayout(std::string_view text) {
  RegisterFrameworkClasses();
  for (auto& [key, field] : fields_) field.bound = false;
  TLayoutReadOptions options;
  options.methods = &methods_;
  options.rootClass = "TForm";
  options.onCreated = [this](TComponent* c) {
    auto it = fields_.find(Key(c->Name()));
    if (it == fields_.end()) return;
    it->second.bind(c);
    it->second.bound = true;
  };
  ReadLayoutText(*this, text, options);
  for (auto& [key, field] : fields_)
    if (!field.bound) throw ELayoutError("Field " + field.name + " not found in the layout");
}

void TForm::CreateFromLayout(std::string_view text) {
  LoadLayout(text);
  DoCreate();
}

void TForm::CreateFromLayoutResource(const std::string& name) {
  TResourceStream stream(nullptr, name);
  CreateFromLayout(std::string_view(reinterpret_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size())));
}

void TForm::DoCreate() {
  if (!OnCreate) return;
  try {
    OnCreate(this);
  } catch (...) {
    Application->HandleException();
  }
}

void TForm::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.style &= ~(WS_CHILD | WS_VISIBLE | WS_TABSTOP);
  p.classStyle = CS_DBLCLKS;
  switch (borderStyle_) {
    case bsNone: p.style |= WS_POPUP; break;
    case bsSingle: p.style |= WS_CAPTION | WS_BORDER; break;
    case bsSizeable: p.style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
      p.style |= WS_POPUP | WS_CAPTION;
      p.exStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      break;
    case bsToolWindow:
      p.style |= WS_CAPTION;
      p.exStyle |= WS_EX_TOOLWINDOW;
      break;
    case bsSizeToolWin:
      p.style |= WS_CAPTION | WS_THICKFRAME;
      p.exStyle |= WS_EX_TOOLWINDOW;
      break;
  }
  if (borderStyle_ != bsNone && (borderIcons_ & biSystemMenu)) {
    p.style |= WS_SYSMENU;
    if (borderStyle_ != bsDialog && borderStyle_ != bsToolWindow && borderStyle_ != bsSizeToolWin) {
      if (borderIcons_ & biMinimize) p.style |= WS_MINIMIZEBOX;
      if (borderIcons_ & biMaximize) p.style |= WS_MAXIMIZEBOX;
    }
  }
  if (clientWidth_ >= 0 || clientHeight_ >= 0) {
    RECT r{0, 0, clientWidth_ >= 0 ? clientWidth_ : Width(), clientHeight_ >= 0 ? clientHeight_ : Height()};
    AdjustWindowRectEx(&r, p.style, menu_ != nullptr, p.exStyle);
    p.width = r.right - r.left;
    p.height = r.bottom - r.top;
  }
  if (position_ == poScreenCenter || position_ == poDesktopCenter || position_ == poMainFormCenter ||
      position_ == poOwnerFormCenter) {
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    p.x = work.left + (work.right - work.left - p.width) / 2;
    p.y = work.top + (work.bottom - work.top - p.height) / 2;
  }
}

void TForm::CreateWnd() {
  TCustomControl::CreateWnd();
  if (menu_) menu_->AttachTo(Handle());
  // The window's real rectangle is the form's bounds from here on.
  RECT r;
  GetWindowRect(Handle(), &r);
  syncingBounds_ = true;
  TControl::SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
  syncingBounds_ = false;
  clientWidth_ = clientHeight_ = -1;
  Realign();
}

void TForm::SetMenu(TMainMenu* menu) {
  if (menu == menu_) return;
  if (menu_) {
    menu_->AttachTo(nullptr);
    RemoveFreeNotification(menu_);
  }
  menu_ = menu;
  if (menu) FreeNotification(menu);
  if (!HandleAllocated()) return;
  // Keeps the client area's size while the bar comes or goes.
  int width = ClientWidth(), height = ClientHeight();
  if (menu) menu->AttachTo(Handle());
  clientWidth_ = width;
  clientHeight_ = height;
  ApplyClientSize();
}

void TForm::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation == opRemove && component == menu_) menu_ = nullptr;
}

TRect TForm::ClientRect() const {
  if (HandleAllocated()) {
    RECT r;
    GetClientRect(const_cast<TForm*>(this)->Handle(), &r);
    return {0, 0, r.right, r.bottom};
  }
  return {0, 0, clientWidth_ >= 0 ? clientWidth_ : Width(), clientHeight_ >= 0 ? clientHeight_ : Height()};
}

void TForm::ApplyClientSize() {
  if (!HandleAllocated()) return;
  HWND h = Handle();
  RECT r{0, 0, clientWidth_ >= 0 ? clientWidth_ : ClientWidth(), clientHeight_ >= 0 ? clientHeight_ : ClientHeight()};
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(h, GWL_STYLE)), GetMenu(h) != nullptr,
                     static_cast<DWORD>(GetWindowLongPtrW(h, GWL_EXSTYLE)));
  clientWidth_ = clientHeight_ = -1;
  SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
}

void TForm::SetClientWidth(int width) {
  clientWidth_ = width;
  ApplyClientSize();
}

void TForm::SetClientHeight(int height) {
  clientHeight_ = height;
  ApplyClientSize();
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
  borderStyle_ = style;
  if (HandleAllocated()) {
    TCreateParams p;
    CreateParams(p);
    SetWindowLongPtrW(Handle(), GWL_STYLE, (GetWindowLongPtrW(Handle(), GWL_STYLE) & WS_VISIBLE) | p.style);
    SetWindowLongPtrW(Handle(), GWL_EXSTYLE, p.exStyle);
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  }
}

void TForm::SetBorderIcons(unsigned icons) {
  borderIcons_ = icons;
  if (HandleAllocated()) SetBorderStyle(borderStyle_);
}

void TForm::SetMinWidth(int width) {
  minWidth_ = std::max(width, 0);
  if (minWidth_ > Width()) SetWidth(minWidth_);
}

void TForm::SetMinHeight(int height) {
  minHeight_ = std::max(height, 0);
  if (minHeight_ > Height()) SetHeight(minHeight_);
}

void TForm::RecalcFrame() {
  if (HandleAllocated())
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TForm::BoundsChanged(bool moved, bool sized) {
  if (syncingBounds_) {
    if (sized) Resize();
    return;
  }
  TCustomControl::BoundsChanged(moved, sized);
}

void TForm::SetVisible(bool visible) {
  if (visible && !HandleAllocated()) Handle();
  TCustomControl::SetVisible(visible);
  if (visible && HandleAllocated()) {
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
    TWinControl* target = activeControl_;
    if (!target || !target->CanFocus()) {
      activeControl_ = nullptr;
      SelectNext(nullptr, true);
    } else {
      target->SetFocus();
    }
    UpdateShowing();
  }
}

bool TForm::Showing() const {
  return Visible() && HandleAllocated() && IsWindowVisible(const_cast<TForm*>(this)->Handle());
}

bool TForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TForm::Close() {
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  if (OnClose) OnClose(this, action);
  if (action == caNone) return;
  if (Application->MainForm() == this) {
    Application->Terminate();
  } else if (action == caHide || action == caFree) {
    Hide();
  } else if (action == caMinimize && HandleAllocated()) {
    ShowWindow(Handle(), SW_MINIMIZE);
  }
}

void TForm::SetActiveControl(TWinControl* control) {
  activeControl_ = control;
  if (control && Showing() && control->CanFocus()) control->SetFocus();
}

void TForm::SetFocusedControl(TWinControl* control) {
  if (focusedControl_ == control) return;
  TWinControl* old = focusedControl_;
  focusedControl_ = control;
  if (control != this) activeControl_ = control;
  if (old && old->OnExit) old->OnExit(old);
  if (control && control->OnEnter) control->OnEnter(control);
  FocusChanged(control);
}

void TForm::ControlRemoved(TControl* control) {
  if (auto* w = dynamic_cast<TWinControl*>(control)) {
    if (activeControl_ && w->ContainsControl(activeControl_)) activeControl_ = nullptr;
    if (focusedControl_ && w->ContainsControl(focusedControl_)) focusedControl_ = nullptr;
  }
}

namespace {
void CollectTabStops(TWinControl* parent, std::vector<TWinControl*>& out) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    auto* w = dynamic_cast<TWinControl*>(parent->Controls(i));
    if (!w || !w->Visible() || !w->Enabled()) continue;
    if (w->TabStop()) out.push_back(w);
    CollectTabStops(w, out);
  }
}
}  // namespace

void TForm::SelectNext(TWinControl* current, bool forward) {
  std::vector<TWinControl*> stops;
  CollectTabStops(this, stops);
  if (stops.empty()) return;
  size_t n = stops.size(), at = n;
  for (size_t i = 0; i < n; ++i)
    if (stops[i] == current) at = i;
  size_t next = at == n ? (forward ? 0 : n - 1) : (forward ? (at + 1) % n : (at + n - 1) % n);
  if (stops[next]->CanFocus()) stops[next]->SetFocus();
}

bool TForm::DialogKey(int key, TShiftState shift) {
  if (TCustomControl::DialogKey(key, shift)) return true;
  if (key == VK_TAB && !(shift & (ssCtrl | ssAlt))) {
    SelectNext(focusedControl_, !(shift & ssShift));
    return true;
  }
  return false;
}

void TForm::Paint(TCanvas& canvas) {
  if (OnPaint) OnPaint(this);
  (void)canvas;
}

LRESULT TForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  intptr_t menuResult = 0;
  if ((msg == WM_COMMAND || msg == WM_MEASUREITEM || msg == WM_DRAWITEM || msg == WM_MENUCHAR) &&
      HandleMenuMessage(msg, wParam, lParam, menuResult))
    return menuResult;
  switch (msg) {
    case WM_CLOSE:
      Close();
      return 0;
    case WM_GETMINMAXINFO: {
      LRESULT r = DefaultHandler(msg, wParam, lParam);
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      if (minWidth_ > 0) info->ptMinTrackSize.x = std::max<LONG>(info->ptMinTrackSize.x, minWidth_);
      if (minHeight_ > 0) info->ptMinTrackSize.y = std::max<LONG>(info->ptMinTrackSize.y, minHeight_);
      return r;
    }
    case WM_MOVE:
    case WM_SIZE: {
      LRESULT r = DefaultHandler(msg, wParam, lParam);
      if (!IsIconic(Handle())) {
        RECT rc;
        GetWindowRect(Handle(), &rc);
        syncingBounds_ = true;
        TControl::SetBounds(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
        syncingBounds_ = false;
        if (msg == WM_SIZE) Realign();
      }
      return r;
    }
    case WM_SHOWWINDOW:
      if (wParam) {
        if (OnShow) OnShow(this);
      } else if (OnHide) {
        OnHide(this);
      }
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) {
        if (OnActivate) OnActivate(this);
        if (activeControl_ && activeControl_->CanFocus() && !IsIconic(Handle())) {
          ::SetFocus(activeControl_->Handle());
          return 0;
        }
      } else if (OnDeactivate) {
        OnDeactivate(this);
      }
      break;
    default:
      break;
  }
  return TCustomControl::WndProc(msg, wParam, lParam);
}

bool IsFrameworkKeyMessage(MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN && msg.message != WM_CHAR &&
      msg.message != WM_SYSCHAR)
    return false;
  TWinControl* target = TWinControl::FromHandle(msg.hwnd);
  auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(GetAncestor(msg.hwnd, GA_ROOT)));
  if (!target || !form) return false;
  TShiftState shift = KeyboardShiftState();
  LRESULT wants = SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
  if (msg.message == WM_KEYDOWN) {
    int key = static_cast<int>(msg.wParam);
    bool dialogKey = key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE || key == VK_EXECUTE ||
                     key == VK_CANCEL || (key >= VK_LEFT && key <= VK_DOWN);
    if (!dialogKey || (wants & DLGC_WANTALLKEYS)) return false;
    if (key == VK_TAB && (wants & DLGC_WANTTAB)) return false;
    if (key >= VK_LEFT && key <= VK_DOWN && (wants & DLGC_WANTARROWS)) return false;
    return form->DialogKey(key, shift);
  }
  if (msg.message == WM_SYSCHAR) return form->DialogChar(static_cast<int>(msg.wParam), shift | ssAlt);
  if (msg.message == WM_CHAR && !(wants & DLGC_WANTCHARS)) return form->DialogChar(static_cast<int>(msg.wParam), shift);
  return false;
}
