// A robot for menus opened by the code under test: a timer on the test's own thread (menus
// run a modal loop that still dispatches timers) finds the open menu window and acts on it.
#pragma once
#include <windows.h>

#include <functional>

namespace menu_robot {

// A named CALLBACK: a lambda converts to a cdecl pointer, which 32-bit Windows rejects here.
inline BOOL CALLBACK FindVisibleMenu(HWND w, LPARAM out) {
  wchar_t cls[16] = {};
  GetClassNameW(w, cls, 16);
  if (lstrcmpW(cls, L"#32768") != 0 || !IsWindowVisible(w)) return TRUE;
  *reinterpret_cast<HWND*>(out) = w;
  return FALSE;
}

// The visible menu window, or null.
inline HWND OpenMenuWindow() {
  HWND found = nullptr;
  EnumWindows(FindVisibleMenu, reinterpret_cast<LPARAM>(&found));
  return found;
}

inline std::function<void(HWND)>& PendingAction() {
  static std::function<void(HWND)> action;
  return action;
}

inline void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
  HWND menu = OpenMenuWindow();
  if (!menu) return;
  KillTimer(nullptr, id);
  auto action = std::move(PendingAction());
  PendingAction() = nullptr;
  if (action) action(menu);
}

// Runs action with the next menu window that opens; returns the timer to stop it with.
inline UINT_PTR ActOnNextMenu(std::function<void(HWND)> action) {
  PendingAction() = std::move(action);
  return SetTimer(nullptr, 0, 30, Tick);
}

// Types keys into the menu window.
inline void Keys(HWND menu, std::initializer_list<UINT> keys) {
  for (UINT key : keys) {
    PostMessageW(menu, WM_KEYDOWN, key, 1);
    PostMessageW(menu, WM_KEYUP, key, 0xC0000001);
  }
}

inline void Stop(UINT_PTR timer) {
  KillTimer(nullptr, timer);
  PendingAction() = nullptr;
}

}  // namespace menu_robot
