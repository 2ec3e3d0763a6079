// Drives another process's windows the way a user would, from outside: finds its windows,
// reads their texts, clicks controls by posting mouse messages, answers message boxes and
// takes screenshots through the X server. Used by the end-to-end tests and the walkthrough.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace robot {

// A started program and what became of it.
class Process {
 public:
  // Starts exe (a Windows path) with no arguments, in its own folder. Throws
  // std::runtime_error on failure.
  explicit Process(const std::wstring& exe);
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  DWORD Id() const { return pi_.dwProcessId; }
  // Waits up to timeoutMs for the process to end; true when it has.
  bool WaitExit(DWORD timeoutMs);
  DWORD ExitCode() const;
  bool Running() const;
  void Kill();

 private:
  PROCESS_INFORMATION pi_{};
};

std::wstring Text(HWND w);
std::wstring ClassOf(HWND w);

// Polls every 20 ms until pred gives a window or timeoutMs passes; null on timeout.
HWND WaitFor(const std::function<HWND()>& find, DWORD timeoutMs);

// A visible top-level window of the process, of the class (empty: any) whose caption
// satisfies match (null: any).
HWND TopWindow(DWORD pid, const std::wstring& cls, const std::function<bool(const std::wstring&)>& match = nullptr);
// Every descendant of parent (depth first, in z-order) satisfying pred.
std::vector<HWND> Children(HWND parent, const std::function<bool(HWND)>& pred);
HWND ChildWithText(HWND parent, const std::wstring& text, bool visibleOnly = true);

// A message box (#32770) of the process.
struct Box {
  HWND hwnd = nullptr;
  std::wstring caption, text;
  explicit operator bool() const { return hwnd != nullptr; }
};
Box WaitBox(DWORD pid, DWORD timeoutMs);
// Presses the box's button with this ID (IDOK 1, IDYES 6, IDNO 7) and waits until it closes.
void Press(const Box& box, int id);

// Clicks the middle of a control with the left button (posted, so a click that opens a
// modal box does not block the robot).
void Click(HWND control);
// Clicks at a point of a window's client area (for controls drawn without a window).
void ClickAt(HWND window, int x, int y);
// Replaces an edit control's text.
void SetEditText(HWND edit, const std::wstring& text);

// What a control of another process's form shows, windowless ones included, as the form
// answers a WM_COPYDATA query with the given dwData (see the installer's kControlQuery).
struct ControlView {
  bool found = false;
  int left = 0, top = 0, width = 0, height = 0;
  bool visible = false;
  std::wstring text;
};
ControlView QueryControl(HWND form, ULONG_PTR queryId, const std::string& name);

// Saves the window's area of the screen as a PNG through ImageMagick's import (run as a
// Unix program). False when no display or import is available.
bool Screenshot(HWND window, const std::string& unixPath);

// Waits until the process has processed everything sent to it so far (or timeoutMs).
void Settle(HWND window, DWORD timeoutMs = 2000);

}  // namespace robot
