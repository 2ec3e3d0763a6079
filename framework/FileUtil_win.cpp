#include <windows.h>
#include <objbase.h>

#include "framework/FileUtil.h"
#include "framework/Text.h"

bool FileExists(const std::string& path) {
  DWORD attr = GetFileAttributesW(GbkToWide(path).c_str());
  return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
  DWORD attr = GetFileAttributesW(GbkToWide(path).c_str());
  return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool RemoveFile(const std::string& path) { return DeleteFileW(GbkToWide(path).c_str()) != 0; }

std::string TempFolder() {
  wchar_t buf[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH + 1, buf);
  std::string folder = n && n <= MAX_PATH ? WideToGbk(std::wstring_view(buf, n)) : std::string();
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return folder;
}

namespace {
std::string Folder(const wchar_t* buf, UINT n) {
  if (n == 0 || n >= MAX_PATH) return std::string();
  std::string folder = WideToGbk(std::wstring_view(buf, n));
  if (folder.back() != '\\') folder += '\\';
  return folder;
}
}  // namespace

std::string ExeFolder() {
  wchar_t buf[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return std::string();
  std::wstring path(buf, n);
  return WideToGbk(path.substr(0, path.rfind(L'\\') + 1));
}

std::string WindowsFolder() {
  wchar_t buf[MAX_PATH];
  return Folder(buf, GetWindowsDirectoryW(buf, MAX_PATH));
}

std::string SystemFolder() {
  wchar_t buf[MAX_PATH];
  return Folder(buf, GetSystemDirectoryW(buf, MAX_PATH));
}

std::string NewGuidText() {
  GUID guid;
  if (FAILED(CoCreateGuid(&guid))) return {};
  wchar_t text[40];
  int n = StringFromGUID2(guid, text, 40);
  return n > 1 ? WideToGbk(std::wstring_view(text, static_cast<size_t>(n - 1))) : std::string();
}
