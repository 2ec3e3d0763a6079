// A robot for menus opened by the code under test: a timer on the test's own thread (menus
// run a modal loop that still dispatches timers) finds the open menu window and acts on it.
#pragma once
#include <windows.h>

#include <functional>
#include <vector>

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

// The timer still waiting for a menu, 0 once it has acted or was stopped.
inline UINT_PTR& CurrentTimer() {
  static UINT_PTR timer = 0;
  return timer;
}

inline void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
  HWND menu = OpenMenuWindow();
  if (!menu) return;
  KillTimer(nullptr, id);
  if (CurrentTimer() == id) CurrentTimer() = 0;
  auto action = std::move(PendingAction());
  PendingAction() = nullptr;
  if (action) action(menu);  // may ask for the next menu again
}

// Runs action with the next menu window that opens; returns the timer to stop it with.
inline UINT_PTR ActOnNextMenu(std::function<void(HWND)> action) {
  PendingAction() = std::move(action);
  CurrentTimer() = SetTimer(nullptr, 0, 30, Tick);
  return CurrentTimer();
}

// Types keys into the menu window.
inline void Keys(HWND menu, const std::vector<UINT>& keys) {
  for (UINT key : keys) {
    PostMessageW(menu, WM_KEYDOWN, key, 1);
    PostMessageW(menu, WM_KEYUP, key, 0xC0000001);
  }
}

// Types keys into the next menu window that opens.
inline UINT_PTR TypeIntoNextMenu(std::vector<UINT> keys) {
  return ActOnNextMenu([keys = std::move(keys)](HWND menu) { Keys(menu, keys); });
}

// True while a robot still waits for its menu.
inline bool Waiting() { return CurrentTimer() != 0; }

// Stops a robot whose menu never opened, so it cannot act on a later one.
inline void Stop(UINT_PTR timer = 0) {
  if (timer) KillTimer(nullptr, timer);
  if (CurrentTimer()) KillTimer(nullptr, CurrentTimer());
  CurrentTimer() = 0;
  PendingAction() = nullptr;
}

}  // namespace menu_robot
