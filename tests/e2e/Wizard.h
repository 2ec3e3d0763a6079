// The wizard as the end-to-end tests and the walkthrough see it from outside: its window,
// the active page, its buttons by caption, and the clicks a user makes.
#pragma once
#include <functional>
#include <string>

#include "tests/e2e/Robot.h"

namespace e2e {

inline const std::wstring kCaption = L"Vexaro U\u76d8\u52a0\u5bc6\u5b89\u88c5\u5411\u5bfc";  // ProductName + 安装向导
inline const std::wstring kNext = L"\u4e0b\u4e00\u6b65", kBack = L"\u4e0a\u4e00\u6b65", kCancel = L"\u53d6\u6d88",
                          kAgree = L"\u540c\u610f", kFinish = L"\u5b8c\u6210";

class Wizard {
 public:
  // Starts exe and waits for the wizard window. onStart runs first, with the process ID,
  // for what comes before the window (a question at start-up).
  explicit Wizard(const std::wstring& exe, DWORD waitMs = 30000,
                  const std::function<void(DWORD pid)>& onStart = nullptr);
  robot::Process& Proc() { return proc_; }
  HWND Window() const { return main_; }
  bool Found() const { return main_ != nullptr; }
  // The visible page (0 to 5), -1 when none is.
  int Page() const;
  // Waits until the page shows; false on timeout.
  bool WaitPage(int page, DWORD ms = 15000) const;
  HWND Button(const std::wstring& caption) const;
  bool ButtonShown(const std::wstring& caption) const;
  // Clicks where a user would: on whatever window lies on top at the control's centre.
  // Returns the caption of the window that was clicked.
  std::wstring UserClick(HWND control);
  std::wstring UserClick(const std::wstring& buttonCaption) { return UserClick(Button(buttonCaption)); }
  HWND FolderEdit() const;
  std::wstring FolderText() const { return robot::Text(FolderEdit()); }
  void SetFolderText(const std::wstring& text) { robot::SetEditText(FolderEdit(), text); }
  HWND Progress() const;
  // The page's window (its caption is SheetN).
  HWND PageWindow(int index) const { return Sheet(index); }
  int ProgressPosition() const;
  HWND StartProgramCheck() const;
  void Settle() { robot::Settle(main_); }
  // The next message box of the process (empty when none comes within ms).
  robot::Box Box(DWORD ms = 10000) { return robot::WaitBox(proc_.Id(), ms); }
  // Asks the window to close, as the system menu or Alt+F4 would.
  void RequestClose();

 private:
  HWND Sheet(int index) const;
  robot::Process proc_;
  HWND main_ = nullptr;
  mutable HWND sheets_[6] = {};
};

}  // namespace e2e
