#include <windows.h>
#include <objbase.h>

#include "framework/FileUtil.h"
#include "framework/Text.h"

bool FileExists(const std::string& path) {
  DWORD attr = GetFileAttributesW(GbkToWide(path).c_str());
  return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool RemoveFile(const std::string& path) { return DeleteFileW(GbkToWide(path).c_str()) != 0; }

std::string TempFolder() {
  wchar_t buf[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH + 1, buf);
  std::string folder = n && n <= MAX_PATH ? WideToGbk(std::wstring_view(buf, n)) : std::string();
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return folder;
}

std::string NewGuidText() {
  GUID guid;
  if (FAILED(CoCreateGuid(&guid))) return {};
  wchar_t text[40];
  int n = StringFromGUID2(guid, text, 40);
  return n > 1 ? WideToGbk(std::wstring_view(text, static_cast<size_t>(n - 1))) : std::string();
}
