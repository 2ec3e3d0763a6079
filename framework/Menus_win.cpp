// Menus on Win32: each TMenu becomes a real menu (rebuilt whole after a change), a main menu
// sits in its form's menu bar, a popup menu is tracked from a hidden window of its own, and
// owner-drawn items are measured and drawn through the menu's MeasureItem and DrawItem.
#include <windows.h>

#include <algorithm>
#include <cctype>

#include "framework/Application.h"
#include "framework/Canvas.h"
#include "framework/Forms.h"
#include "framework/ImageList.h"
#include "framework/Menus.h"
#include "framework/Text.h"

namespace {
void AppendItems(HMENU menu, const TMenuItem& parent, bool ownerDraw) {
  for (int i = 0; i < parent.Count(); ++i) {
    TMenuItem& item = *parent.Items(i);
    if (!item.Visible()) continue;
    std::wstring text;
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA;
    info.wID = static_cast<UINT>(item.Command());
    info.dwItemData = reinterpret_cast<ULONG_PTR>(&item);
    if (item.IsLine()) {
      info.fType = MFT_SEPARATOR;
    } else {
      std::string shortcut = item.ShortCutText();
      text = GbkToWide(shortcut.empty() ? item.Caption() : item.Caption() + "\t" + shortcut);
      info.fMask |= MIIM_STRING;
      info.dwTypeData = text.data();
      info.fType = MFT_STRING;
      if (item.RadioItem()) info.fType |= MFT_RADIOCHECK;
    }
    if (ownerDraw) info.fType |= MFT_OWNERDRAW;
    info.fState = (item.Checked() ? MFS_CHECKED : 0) | (item.Enabled() ? 0 : MFS_DISABLED) |
                  (item.Default() ? MFS_DEFAULT : 0);
    if (item.Count() > 0) {
      HMENU sub = CreatePopupMenu();
      AppendItems(sub, item, ownerDraw);
      info.fMask |= MIIM_SUBMENU;
      info.hSubMenu = sub;
    }
    InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &info);
  }
}

TMenuItem* ItemOf(UINT command) { return TMenuItem::FromCommand(static_cast<int>(command)); }

// The window popup menus report to: hidden, answering the owner-draw messages.
LRESULT CALLBACK PopupHostProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  intptr_t result = 0;
  if (HandleMenuMessage(msg, wParam, lParam, result)) return result;
  return DefWindowProcW(window, msg, wParam, lParam);
}

HWND PopupHost() {
  static HWND host = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = PopupHostProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TPopupMenuHost";
    RegisterClassW(&wc);
    return CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           wc.hInstance, nullptr);
  }();
  return host;
}
}  // namespace

void* TMenu::BuildHandle() {
  HMENU menu = mainMenu_ ? CreateMenu() : CreatePopupMenu();
  AppendItems(menu, *items_, OwnerDraw());
  return menu;
}

void* TMenu::Handle() {
  if (!handle_) handle_ = BuildHandle();
  return handle_;
}

void TMenu::DestroyHandle() {
  if (!handle_) return;
  if (window_ && IsWindow(static_cast<HWND>(window_)) && GetMenu(static_cast<HWND>(window_)) == handle_)
    SetMenu(static_cast<HWND>(window_), nullptr);
  DestroyMenu(static_cast<HMENU>(handle_));
  handle_ = nullptr;
}

void TMenu::MeasureItem(TMenuItem& item, TCanvas& canvas, int& width, int& height) {
  if (item.OnMeasureItem) {
    item.OnMeasureItem(&item, canvas, width, height);
    return;
  }
  if (item.IsLine()) {
    height = GetSystemMetrics(SM_CYMENU) / 2;
    width = 0;
    return;
  }
  std::string shortcut = item.ShortCutText();
  TPoint text = canvas.TextExtent(item.Caption());
  width = text.X + (shortcut.empty() ? 0 : canvas.TextWidth(shortcut) + 16) + 32;
  height = std::max<int>(text.Y + 4, GetSystemMetrics(SM_CYMENU));
}

void TMenu::DrawItem(TMenuItem& item, TCanvas& canvas, const TRect& rect, bool selected) {
  if (item.OnDrawItem) {
    item.OnDrawItem(&item, canvas, rect, selected);
    return;
  }
  canvas.Brush.Color = selected ? clHighlight : clMenu;
  canvas.Brush.Style = bsSolid;
  canvas.FillRect(rect);
  if (item.IsLine()) {
    canvas.Pen.Color = clBtnShadow;
    int y = (rect.Top + rect.Bottom) / 2;
    canvas.MoveTo(rect.Left + 2, y);
    canvas.LineTo(rect.Right - 2, y);
    return;
  }
  canvas.Brush.Style = bsClear;
  canvas.Font.SetColor(!item.Enabled() ? clGrayText : selected ? clHighlightText : clMenuText);
  if (item.Checked()) {
    TRect mark{rect.Left + 2, rect.Top, rect.Left + 18, rect.Bottom};
    canvas.DrawText(item.RadioItem() ? "\xA1\xF1" : "\xA1\xCC", mark, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  const TImageList* images = Images();
  if (images && !item.Checked() && item.ImageIndex() >= 0 && item.ImageIndex() < images->Count())
    images->Draw(canvas, rect.Left + 2, rect.Top + (rect.Height() - images->Height()) / 2, item.ImageIndex(),
                 item.Enabled());
  TRect text{rect.Left + 20, rect.Top, rect.Right - 4, rect.Bottom};
  canvas.DrawText(item.Caption(), text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  std::string shortcut = item.ShortCutText();
  if (!shortcut.empty()) canvas.DrawText(shortcut, text, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
}

void TMainMenu::AttachTo(void* window) {
  HWND old = static_cast<HWND>(window_);
  if (old && old != window && IsWindow(old) && HandleAllocated() && GetMenu(old) == Handle()) SetMenu(old, nullptr);
  window_ = window;
  if (window) {
    SetMenu(static_cast<HWND>(window), static_cast<HMENU>(Handle()));
    DrawMenuBar(static_cast<HWND>(window));
  }
}

void TMainMenu::MenuChanged(TMenuItem* item) {
  TMenu::MenuChanged(item);
  if (window_ && IsWindow(static_cast<HWND>(window_))) AttachTo(window_);
}

void TPopupMenu::Popup(int x, int y) {
  if (OnPopup) OnPopup(this);
  HWND host = PopupHost();
  // Without the foreground the menu would not close when the user clicks elsewhere.
  SetForegroundWindow(host);
  UINT command = TrackPopupMenuEx(static_cast<HMENU>(Handle()), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN,
                                  x, y, host, nullptr);
  PostMessageW(host, WM_NULL, 0, 0);
  TComponent* from = PopupComponent;
  if (command) DispatchCommand(static_cast<int>(command));
  if (PopupComponent == from) PopupComponent = nullptr;
}

bool HandleMenuMessage(unsigned msg, uintptr_t wParam, intptr_t lParam, intptr_t& result) {
  switch (msg) {
    case WM_COMMAND:
      // A menu's command: no control window, notification code 0.
      if (lParam || HIWORD(wParam) != 0) return false;
      if (TMenuItem* item = ItemOf(LOWORD(wParam))) {
        if (TMenu* menu = item->GetParentMenu()) {
          menu->DispatchCommand(item->Command());
          result = 0;
          return true;
        }
      }
      return false;
    case WM_MENUCHAR: {
      // The item of this menu whose caption's accelerator is the key: chosen (a sub-menu opens).
      HMENU menu = reinterpret_cast<HMENU>(lParam);
      const wchar_t key = static_cast<wchar_t>(LOWORD(wParam));
      if (!menu || key >= 0x80) return false;
      const int count = GetMenuItemCount(menu);
      for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        TMenuItem* item = ItemOf(info.wID);
        if (!item || !item->GetParentMenu()) continue;
        const char letter = MenuAccelerator(item->Caption());
        if (letter && letter == static_cast<char>(std::toupper(static_cast<int>(key)))) {
          result = MAKELRESULT(i, MNC_EXECUTE);
          return true;
        }
      }
      return false;
    }
    case WM_MEASUREITEM: {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (!mis || mis->CtlType != ODT_MENU) return false;
      TMenuItem* item = ItemOf(mis->itemID);
      TMenu* menu = item ? item->GetParentMenu() : nullptr;
      if (!menu) return false;
      WindowDC dc(nullptr);
      TCanvas canvas(dc.dc());
      canvas.Font = MenuFont();
      int width = static_cast<int>(mis->itemWidth), height = static_cast<int>(mis->itemHeight);
      menu->MeasureItem(*item, canvas, width, height);
      mis->itemWidth = static_cast<UINT>(std::max(width, 0));
      mis->itemHeight = static_cast<UINT>(std::max(height, 0));
      result = TRUE;
      return true;
    }
    case WM_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      if (!dis || dis->CtlType != ODT_MENU) return false;
      TMenuItem* item = ItemOf(dis->itemID);
      TMenu* menu = item ? item->GetParentMenu() : nullptr;
      if (!menu) return false;
      TCanvas canvas(dis->hDC);
      canvas.Font = MenuFont();
      const RECT& r = dis->rcItem;
      menu->DrawItem(*item, canvas, {r.left, r.top, r.right, r.bottom}, (dis->itemState & ODS_SELECTED) != 0);
      result = TRUE;
      return true;
    }
    default:
      return false;
  }
}

TFont MenuFont() {
  TFont font;
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    font.SetName(WideToGbk(metrics.lfMenuFont.lfFaceName));
    font.SetHeight(metrics.lfMenuFont.lfHeight);
    font.SetCharset(metrics.lfMenuFont.lfCharSet);
    if (metrics.lfMenuFont.lfWeight >= FW_BOLD) font.SetStyle(fsBold);
  }
  font.SetColor(clMenuText);
  return font;
}
