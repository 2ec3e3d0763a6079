#include "tests/e2e/Wizard.h"

#include <commctrl.h>

namespace e2e {

Wizard::Wizard(const std::wstring& exe, DWORD waitMs, const std::function<void(DWORD pid)>& onStart) : proc_(exe) {
  DWORD pid = proc_.Id();
  if (onStart) onStart(pid);
  main_ = robot::WaitFor(
      [&]() -> HWND {
        if (!proc_.Running()) return reinterpret_cast<HWND>(-1);
        return robot::TopWindow(pid, L"", [](const std::wstring& t) { return t == kCaption; });
      },
      waitMs);
  if (main_ == reinterpret_cast<HWND>(-1)) main_ = nullptr;
}

HWND Wizard::Sheet(int index) const {
  // Found once by caption, then remembered: while the installer is busy it answers no
  // messages, but the pages' visibility can still be read.
  if (sheets_[index] && IsWindow(sheets_[index])) return sheets_[index];
  std::wstring name = L"Sheet" + std::to_wstring(index);
  auto found = robot::Children(main_, [&](HWND w) { return robot::Text(w) == name; });
  return sheets_[index] = found.empty() ? nullptr : found.front();
}

int Wizard::Page() const {
  int visible = -1;
  for (int i = 0; i < 6; ++i) {
    HWND s = Sheet(i);
    if (visible < 0 && s && IsWindowVisible(s)) visible = i;
  }
  return visible;
}

bool Wizard::WaitPage(int page, DWORD ms) const {
  return robot::WaitFor([&]() -> HWND { return Page() == page ? main_ : nullptr; }, ms) != nullptr;
}

HWND Wizard::Button(const std::wstring& caption) const {
  auto found = robot::Children(main_, [&](HWND w) { return GetParent(w) == main_ && robot::Text(w) == caption; });
  for (HWND w : found)
    if (IsWindowVisible(w)) return w;
  return found.empty() ? nullptr : found.front();
}

bool Wizard::ButtonShown(const std::wstring& caption) const {
  HWND b = Button(caption);
  return b && IsWindowVisible(b);
}

std::wstring Wizard::UserClick(HWND control) {
  if (!control) return {};
  RECT r;
  GetWindowRect(control, &r);
  POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ScreenToClient(main_, &p);
  HWND top = ChildWindowFromPointEx(main_, p, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED);
  if (!top || top == main_) top = control;
  std::wstring text = robot::Text(top);
  robot::Click(top);
  return text;
}

HWND Wizard::FolderEdit() const {
  HWND sheet = Sheet(2);
  auto found = robot::Children(sheet, [](HWND w) {
    std::wstring c = robot::ClassOf(w);
    for (auto& ch : c) ch = static_cast<wchar_t>(towlower(ch));
    return c.find(L"edit") != std::wstring::npos;
  });
  return found.empty() ? nullptr : found.front();
}

HWND Wizard::Progress() const {
  auto found = robot::Children(main_, [](HWND w) {
    // The framework's progress bar superclasses the common control under its own class name.
    std::wstring c = robot::ClassOf(w);
    return c == PROGRESS_CLASSW || c == L"TProgressBar";
  });
  return found.empty() ? nullptr : found.front();
}

int Wizard::ProgressPosition() const {
  DWORD_PTR pos = 0;
  SendMessageTimeoutW(Progress(), PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 2000, &pos);
  return static_cast<int>(pos);
}

HWND Wizard::StartProgramCheck() const {
  return robot::ChildWithText(main_, L"\u600e\u6837\u52a0\u5bc6\uff1f\u770b\u770b\u4f7f\u7528\u6559\u7a0b", false);
}

void Wizard::RequestClose() { PostMessageW(main_, WM_SYSCOMMAND, SC_CLOSE, 0); }

}  // namespace e2e
