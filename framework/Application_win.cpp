// The application object's Win32 side: the message loop and the top-level error handler.
#include <windows.h>

#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/Exceptions.h"
#include "framework/Forms.h"
#include "framework/Text.h"

namespace {
std::string ExeBaseName() {
  wchar_t path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring name(path, n);
  size_t slash = name.find_last_of(L"\\/");
  if (slash != std::wstring::npos) name.erase(0, slash + 1);
  size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos) name.erase(dot);
  return WideToGbk(name);
}

TApplication& TheApplication() {
  static TApplication app;
  return app;
}
}  // namespace

TApplication* const Application = &TheApplication();

TApplication::TApplication() : title_(ExeBaseName()) {}

TApplication::~TApplication() { DestroyForms(); }

TComponent* TApplication::Forms() {
  if (!forms_) forms_ = std::make_unique<TComponent>(nullptr);
  return forms_.get();
}

void TApplication::DestroyForms() {
  mainForm_ = nullptr;
  showMainForm_ = nullptr;
  forms_.reset();
}

void TApplication::Run() {
  // A quit request posted before the loop starts is still in the queue and ends it.
  terminated_ = false;
  if (showMainForm_) {
    try {
      showMainForm_();
    } catch (...) {
      HandleException();
    }
  }
  while (HandleMessage()) {
  }
}

bool TApplication::HandleMessage() {
  if (terminated_) return false;
  MSG msg;
  BOOL got = GetMessageW(&msg, nullptr, 0, 0);
  if (got == 0) {
    terminated_ = true;
    return false;
  }
  // -1: an invalid window handle or message pointer. Nothing to dispatch; keep looping.
  if (got == -1) return true;
  ProcessMessage(msg);
  return !terminated_;
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Put it back so that the loop around this call ends too.
      terminated_ = true;
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    ProcessMessage(msg);
  }
}

bool TApplication::ProcessMessage(MSG& msg) {
  try {
    if (OnMessage && OnMessage(msg)) return true;
    // A hook may remove itself or others: walk a copy.
    if (!messageHooks_.empty()) {
      auto hooks = messageHooks_;
      for (auto& [key, hook] : hooks)
        if (hook(msg)) return true;
    }
  } catch (...) {
    HandleException();
    return true;
  }
  // Tab, Shift+Tab, Enter and Esc move the focus or press buttons within the top-level
  // window; IsDialogMessage translates and dispatches everything else itself.
  try {
    if (IsFrameworkKeyMessage(msg)) return true;
  } catch (...) {
    HandleException();
    return true;
  }
  HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  if (root && IsDialogMessageW(root, &msg)) return true;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
  return true;
}

void TApplication::AddMessageHook(const void* key, std::function<bool(MSG&)> hook) {
  RemoveMessageHook(key);
  messageHooks_.emplace_back(key, std::move(hook));
}

void TApplication::RemoveMessageHook(const void* key) {
  std::erase_if(messageHooks_, [key](const auto& h) { return h.first == key; });
}

void TApplication::Terminate() { PostQuitMessage(0); }

void TApplication::HandleException(std::exception_ptr error) {
  std::string text;
  try {
    if (error) std::rethrow_exception(error);
    return;
  } catch (const std::exception& e) {
    text = e.what();
  } catch (...) {
    text = "Unknown error";
  }
  if (OnException) {
    OnException(text);
    return;
  }
  ShowErrorBox(text);
}
