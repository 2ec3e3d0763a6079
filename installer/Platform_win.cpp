#include "installer/Platform_win.h"

#include <windows.h>

#include "framework/Exceptions.h"
#include "framework/ResourceStream.h"
#include "framework/Streams.h"
#include "framework/Text.h"

std::span<const uint8_t> Win32Platform::Resource(const std::string& name) {
  TResourceStream res(module_, name);
  return {res.Memory(), static_cast<size_t>(res.Size())};
}

std::string Win32Platform::ExePath() {
  std::wstring buf(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n < buf.size()) {
      buf.resize(n);
      return WideToGbk(buf);
    }
    buf.resize(buf.size() * 2);
  }
}

bool Win32Platform::FileExists(const std::string& path) {
  DWORD a = GetFileAttributesW(GbkToWide(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Platform::DirectoryExists(const std::string& path) {
  DWORD a = GetFileAttributesW(GbkToWide(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Platform::RemoveFile(const std::string& path) { return DeleteFileW(GbkToWide(path).c_str()) != 0; }

bool Win32Platform::MakeDir(const std::string& path) { return CreateDirectoryW(GbkToWide(path).c_str(), nullptr) != 0; }

void Win32Platform::WriteNewFile(const std::string& path, std::span<const uint8_t> data) {
  TFileStream f(path, FileMode::Create);
  f.WriteBuffer(data.data(), data.size());
}

Bytes Win32Platform::ReadWholeFile(const std::string& path) {
  TFileStream f(path, FileMode::OpenRead);
  int64_t size = f.Size();
  if (size < 0 || static_cast<uint64_t>(size) > SIZE_MAX / 2) throw EReadError();
  Bytes out(static_cast<size_t>(size));
  f.ReadBuffer(out.data(), out.size());
  return out;
}

bool Win32Platform::Confirm(const std::string& text) {
  return MessageBoxW(GetActiveWindow(), GbkToWide(text).c_str(), L"Confirm", MB_YESNO | MB_ICONQUESTION) == IDYES;
}
