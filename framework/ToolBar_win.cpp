// The thin tool bar and its text buttons.
#include "framework/ToolBar.h"

#include <algorithm>
#include <mutex>

#include "framework/Forms.h"
#include "framework/Menus.h"

namespace {
constexpr int kButtonMargin = 7;  // left and right of a caption

// While a bar's drop-down is open: the menu loop's messages are offered to this first, so
// the pointer over another button or Left and Right move to the neighbouring drop-down.
std::function<bool(MSG&)> menuLoopFilter;

LRESULT CALLBACK MenuLoopFilter(int code, WPARAM wParam, LPARAM lParam) {
  if (code == MSGF_MENU && menuLoopFilter && menuLoopFilter(*reinterpret_cast<MSG*>(lParam))) return 1;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL CALLBACK CountVisibleMenu(HWND w, LPARAM count) {
  wchar_t cls[16] = {};
  GetClassNameW(w, cls, 16);
  if (lstrcmpW(cls, L"#32768") == 0 && IsWindowVisible(w)) ++*reinterpret_cast<int*>(count);
  return TRUE;
}

// Whether the highlighted item of menu opens a sub-menu of its own.
bool HighlightedOpensSubMenu(HMENU menu) {
  for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE | MIIM_SUBMENU;
    if (GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info) && (info.fState & MFS_HILITE))
      return info.hSubMenu != nullptr;
  }
  return false;
}
}  // namespace

// ---------------------------------------------------------------- TToolButton

TToolButton::TToolButton(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 23, 22); }

TToolButton::~TToolButton() {
  if (menuItem_) RemoveFreeNotification(menuItem_);
  if (TToolBar* bar = ToolBar()) bar->ButtonGone(this);
}

TToolBar* TToolButton::ToolBar() const { return dynamic_cast<TToolBar*>(Parent()); }

void TToolButton::SetMenuItem(TMenuItem* item) {
  if (menuItem_) RemoveFreeNotification(menuItem_);
  menuItem_ = item;
  if (!item) return;
  FreeNotification(item);
  SetText(item->Caption());
  SetEnabled(item->Enabled());
}

unsigned TToolButton::State() const {
  return (hot_ ? tbsHot : 0u) | (down_ ? tbsPressed : 0u) | (Enabled() ? 0u : tbsDisabled);
}

void TToolButton::SetHot(bool hot) {
  if (hot_ == hot) return;
  hot_ = hot;
  Invalidate();
}

void TToolButton::SetDown(bool down) {
  if (down_ == down) return;
  down_ = down;
  Invalidate();
}

void TToolButton::Paint(TCanvas& canvas) {
  TRect r{0, 0, Width(), Height()};
  TToolBar* bar = ToolBar();
  bool defaultDraw = true;
  if (bar && bar->OnCustomDrawButton) bar->OnCustomDrawButton(bar, this, canvas, r, State(), defaultDraw);
  if (!defaultDraw) return;
  bool flat = bar && bar->Flat();
  if (down_)
    canvas.Frame3D(r, clBtnShadow, clBtnHighlight);
  else if (hot_ || !flat)
    canvas.Frame3D(r, clBtnHighlight, clBtnShadow);
  canvas.Brush.Style = bsClear;
  canvas.Font = Font();
  canvas.Font.SetColor(Enabled() ? Font().Color() : clGrayText);
  TRect text = r;
  if (down_) text = text.Offset(1, 1);
  canvas.DrawText(Caption(), text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void TToolButton::MouseEnter() {
  TGraphicControl::MouseEnter();
  if (Enabled()) SetHot(true);
}

void TToolButton::MouseLeave() {
  TGraphicControl::MouseLeave();
  SetHot(false);
  SetDown(false);
}

void TToolButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button != mbLeft || !Enabled()) return;
  // A button with a menu drops it down on the press, as a menu bar does.
  if (menuItem_ && menuItem_->Count() > 0) {
    pressing_ = false;
    if (TToolBar* bar = ToolBar()) bar->DropDown(this);
    return;
  }
  SetDown(true);
}

void TToolButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  SetDown(false);
  TGraphicControl::MouseUp(button, shift, x, y);
}

void TToolButton::CancelMode() {
  TGraphicControl::CancelMode();
  SetDown(false);
}

void TToolButton::Click() {
  if (!Enabled()) return;
  if (menuItem_ && menuItem_->Count() > 0) {
    if (TToolBar* bar = ToolBar()) bar->DropDown(this);
    return;
  }
  TGraphicControl::Click();
  if (menuItem_) menuItem_->Click();
}

void TToolButton::TextChanged() {
  TGraphicControl::TextChanged();
  if (TToolBar* bar = ToolBar()) bar->Realign();
  Invalidate();
}

void TToolButton::EnabledChanged() {
  TGraphicControl::EnabledChanged();
  if (!Enabled()) {
    hot_ = down_ = false;
  }
  Invalidate();
}

// ---------------------------------------------------------------- TToolBar

TToolBar::TToolBar(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 150, 29);
  SetAlign(alTop);
}

void TToolBar::SetFlat(bool v) {
  flat_ = v;
  Invalidate();
}

void TToolBar::SetWrapable(bool v) {
  wrapable_ = v;
  Realign();
}

void TToolBar::SetAutoSize(bool v) {
  autoSize_ = v;
  Realign();
}

void TToolBar::SetButtonHeight(int v) {
  buttonHeight_ = std::max(v, 1);
  Realign();
}

TToolButton* TToolBar::AddButton(const std::string& caption) {
  auto* b = new TToolButton(this);
  b->SetText(caption);
  b->SetParent(this);
  buttons_.push_back(b);
  Realign();
  return b;
}

void TToolBar::ClearButtons() {
  auto gone = buttons_;
  buttons_.clear();
  for (TToolButton* b : gone) b->Free();
  Realign();
  Invalidate();
}

void TToolBar::ButtonGone(TToolButton* button) { std::erase(buttons_, button); }

void TToolBar::BuildFromMenu(TMenuItem* root) {
  ClearButtons();
  if (!root) return;
  for (int i = 0; i < root->Count(); ++i) {
    TMenuItem* item = root->Items(i);
    if (!item->Visible()) continue;
    TToolButton* b = AddButton(item->Caption());
    b->SetMenuItem(item);
  }
}

void TToolBar::RefreshFromMenu() {
  for (TToolButton* b : buttons_)
    if (TMenuItem* item = b->MenuItem()) {
      b->SetText(item->Caption());
      b->SetEnabled(item->Enabled());
    }
  Realign();
  Invalidate();
}

TToolButton* TToolBar::HotButton() const {
  for (TToolButton* b : buttons_)
    if (b->Hot() || b->Down()) return b;
  return nullptr;
}

int TToolBar::ButtonWidth(TToolButton* button) {
  HDC dc = GetDC(nullptr);
  int width;
  {
    TCanvas canvas(dc);
    canvas.Font = button->Font();
    width = canvas.TextWidth(button->Caption());
  }
  ReleaseDC(nullptr, dc);
  return width + 2 * kButtonMargin;
}

std::vector<TRect> TToolBar::ButtonRects(int clientWidth) {
  std::vector<TRect> out;
  int x = 0, y = 0;
  for (TToolButton* b : buttons_) {
    int w = ButtonWidth(b);
    if (wrapable_ && x > 0 && x + w > clientWidth) {
      x = 0;
      y += buttonHeight_;
    }
    out.push_back(Bounds(x, y, w, buttonHeight_));
    x += w;
  }
  return out;
}

void TToolBar::AlignControls(TRect& rect) {
  if (aligning_) return;
  aligning_ = true;
  auto rects = ButtonRects(rect.Width());
  for (size_t i = 0; i < rects.size(); ++i) buttons_[i]->SetBoundsRect(rects[i].Offset(rect.Left, rect.Top));
  if (autoSize_) {
    int rows = rects.empty() ? 1 : rects.back().Bottom / buttonHeight_;
    int h = rows * buttonHeight_;
    if (h != Height()) SetHeight(h);
  }
  aligning_ = false;
}

void TToolBar::Resize() {
  TCustomControl::Resize();
  Realign();
}

void TToolBar::Paint(TCanvas& canvas) {
  canvas.Brush.Color = Color();
  canvas.FillRect({0, 0, Width(), Height()});
}

bool TToolBar::DialogChar(int ch, TShiftState shift) {
  if (!(shift & ssAlt) && !HotButton()) return false;
  int lower = ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch;
  for (TToolButton* b : buttons_) {
    if (!b->Visible() || !b->Enabled() || AcceleratorOf(b->Caption()) != lower) continue;
    b->Click();
    return true;
  }
  return false;
}

int TToolBar::NeighbourWithMenu(int from, int step) const {
  int n = ButtonCount();
  for (int k = 1; k < n; ++k) {
    int i = ((from + step * k) % n + n) % n;
    TToolButton* b = buttons_[static_cast<size_t>(i)];
    if (b->Visible() && b->Enabled() && b->MenuItem() && b->MenuItem()->Count() > 0) return i;
  }
  return -1;
}

void TToolBar::DropDown(TToolButton* button) {
  while (button) button = DropDownOnce(button);
}

TToolButton* TToolBar::DropDownOnce(TToolButton* button) {
  TMenuItem* item = button->MenuItem();
  TMenu* menu = item ? item->GetParentMenu() : nullptr;
  if (!menu || item->Count() == 0) return nullptr;
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_SUBMENU;
  if (!GetMenuItemInfoW(static_cast<HMENU>(menu->Handle()), static_cast<UINT>(item->Command()), FALSE, &info) ||
      !info.hSubMenu)
    return nullptr;
  TForm* form = ParentForm();
  HWND owner = form ? form->Handle() : Handle();
  RECT r{button->Left(), button->Top(), button->Left() + button->Width(), button->Top() + button->Height()};
  MapWindowPoints(Handle(), HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
  TPMPARAMS params{sizeof params, r};
  ReleaseCapture();
  button->SetHot(true);
  button->SetDown(true);
  Repaint();
  const int current = static_cast<int>(std::find(buttons_.begin(), buttons_.end(), button) - buttons_.begin());
  int next = -1;
  menuLoopFilter = [&](MSG& msg) {
    if (msg.message == WM_MOUSEMOVE) {
      POINT pt = msg.pt;
      if (WindowFromPoint(pt) != Handle()) return false;
      ScreenToClient(Handle(), &pt);
      for (int i = 0; i < ButtonCount(); ++i) {
        TToolButton* b = buttons_[static_cast<size_t>(i)];
        if (i == current || !b->BoundsRect().Contains({pt.x, pt.y})) continue;
        if (b->Enabled() && b->MenuItem() && b->MenuItem()->Count() > 0) {
          next = i;
          EndMenu();
          return true;
        }
      }
      return false;
    }
    if (msg.message != WM_KEYDOWN || (msg.wParam != VK_LEFT && msg.wParam != VK_RIGHT)) return false;
    // Only from the drop-down itself, not from a sub-menu opened inside it.
    int open = 0;
    EnumWindows(CountVisibleMenu, reinterpret_cast<LPARAM>(&open));
    if (open != 1 || (msg.wParam == VK_RIGHT && HighlightedOpensSubMenu(info.hSubMenu))) return false;
    next = NeighbourWithMenu(current, msg.wParam == VK_RIGHT ? 1 : -1);
    if (next < 0) return false;
    EndMenu();
    return true;
  };
  UniqueHook hook(SetWindowsHookExW(WH_MSGFILTER, MenuLoopFilter, nullptr, GetCurrentThreadId()));
  UINT command = TrackPopupMenuEx(info.hSubMenu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_VERTICAL,
                                  r.left, r.bottom, owner, &params);
  hook.reset();
  menuLoopFilter = nullptr;
  PostMessageW(owner, WM_NULL, 0, 0);
  // The bar may have been rebuilt while the menu was open.
  bool stillHere = std::find(buttons_.begin(), buttons_.end(), button) != buttons_.end();
  if (stillHere) {
    POINT pt;
    GetCursorPos(&pt);
    button->SetDown(false);
    button->SetHot(WindowFromPoint(pt) == Handle() && PtInRect(&r, pt));
  }
  if (command) {
    menu->DispatchCommand(static_cast<int>(command));
    return nullptr;
  }
  return stillHere && next >= 0 && next < ButtonCount() ? buttons_[static_cast<size_t>(next)] : nullptr;
}

void RegisterToolBarClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterFrameworkClasses();
    using R = TReader;
    using V = TLayoutValue;
    auto& bar = RegisterComponentClass<TToolBar>("TToolBar", "TCustomControl");
    bar.Prop<TToolBar>("Flat", [](TToolBar& t, const V& v, R&) { t.SetFlat(R::Bool(v)); });
    bar.Prop<TToolBar>("Wrapable", [](TToolBar& t, const V& v, R&) { t.SetWrapable(R::Bool(v)); });
    bar.Prop<TToolBar>("AutoSize", [](TToolBar& t, const V& v, R&) { t.SetAutoSize(R::Bool(v)); });
    bar.Prop<TToolBar>("ButtonHeight", [](TToolBar& t, const V& v, R&) { t.SetButtonHeight(R::IntRange(v, 1, 1000)); });
  });
}
