#include <windows.h>

#include "framework/Text.h"

namespace {
constexpr UINT kGbk = 936;

std::string WideTo(UINT cp, std::wstring_view wide, DWORD flags, BOOL* usedDefault) {
  if (wide.empty()) return {};
  int n = WideCharToMultiByte(cp, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, usedDefault);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(cp, flags, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, usedDefault);
  return out;
}

std::wstring ToWide(UINT cp, std::string_view text, DWORD flags) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(cp, flags, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(cp, flags, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}
}  // namespace

std::wstring GbkToWide(std::string_view gbk) { return ToWide(kGbk, gbk, 0); }

std::string WideToGbk(std::wstring_view wide) { return WideTo(kGbk, wide, 0, nullptr); }

bool Utf8ToGbk(std::string_view utf8, std::string& gbk) {
  if (utf8.empty()) {
    gbk.clear();
    return true;
  }
  if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0) == 0)
    return false;
  std::wstring wide = ToWide(CP_UTF8, utf8, MB_ERR_INVALID_CHARS);
  BOOL usedDefault = FALSE;
  gbk = WideTo(kGbk, wide, WC_NO_BEST_FIT_CHARS, &usedDefault);
  return !usedDefault;
}

std::string GbkToUtf8(std::string_view gbk) {
  std::wstring wide = ToWide(kGbk, gbk, 0);
  return WideTo(CP_UTF8, wide, 0, nullptr);
}

std::string SystemErrorText(unsigned long code) {
  wchar_t* buf = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
  std::wstring text = n && buf ? std::wstring(buf, n) : std::wstring();
  if (buf) LocalFree(buf);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
  if (text.empty()) return "System error " + std::to_string(code);
  return WideToGbk(text);
}
