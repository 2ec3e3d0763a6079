// Message boxes over MessageBoxW. The confirmation renames its buttons to "Yes" and "No"
// through a CBT hook, because the system's own captions follow the UI language.
#include <windows.h>

#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/Text.h"

namespace {
thread_local HHOOK renameHook = nullptr;

LRESULT CALLBACK RenameButtons(int code, WPARAM wParam, LPARAM lParam) {
  HHOOK hook = renameHook;
  if (code == HCBT_ACTIVATE) {
    auto box = reinterpret_cast<HWND>(wParam);
    wchar_t cls[16] = {};
    GetClassNameW(box, cls, 16);
    if (lstrcmpW(cls, L"#32770") == 0 && GetDlgItem(box, IDYES) && GetDlgItem(box, IDNO)) {
      SetDlgItemTextW(box, IDYES, L"Yes");
      SetDlgItemTextW(box, IDNO, L"No");
      // Only the first activation of the box is ours; later ones must not touch other boxes.
      UnhookWindowsHookEx(hook);
      renameHook = nullptr;
    }
  }
  return CallNextHookEx(hook, code, wParam, lParam);
}

// Boxes are owned by the active window of this thread so that they are modal to the form.
int Box(const std::string& text, const std::wstring& caption, UINT flags) {
  return MessageBoxW(GetActiveWindow(), GbkToWide(text).c_str(), caption.c_str(), flags);
}
}  // namespace

void ShowMessage(const std::string& text) {
  Box(text, GbkToWide(Application->Title()), MB_OK);
}

bool ConfirmDialog(const std::string& text) {
  HHOOK previous = renameHook;
  renameHook = SetWindowsHookExW(WH_CBT, RenameButtons, nullptr, GetCurrentThreadId());
  int answer = Box(text, GbkToWide(kConfirmCaption), MB_YESNO | MB_ICONQUESTION);
  if (renameHook) UnhookWindowsHookEx(renameHook);
  renameHook = previous;
  return answer == IDYES;
}

void ShowErrorBox(const std::string& text) {
  ShowErrorText(ErrorBoxText(text));
}

void ShowErrorText(const std::string& text) {
  Box(text, GbkToWide(Application->Title()), MB_OK | MB_ICONERROR);
}
