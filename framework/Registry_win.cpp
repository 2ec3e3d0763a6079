#include "framework/Registry.h"

#include <vector>

#include "framework/Exceptions.h"
#include "framework/Text.h"

namespace {
[[noreturn]] void Fail(const char* what, const std::string& name) {
  throw ERegistryException(std::string(what) + " '" + name + "'");
}
}  // namespace

void TRegistry::SetRootKey(HKEY root) {
  CloseKey();
  root_ = root;
}

bool TRegistry::OpenKey(const std::string& path, bool canCreate) {
  CloseKey();
  size_t start = path.find_first_not_of('\\');
  std::wstring wpath = start == std::string::npos ? std::wstring() : GbkToWide(std::string_view(path).substr(start));
  HKEY key = nullptr;
  LONG rc = canCreate ? RegCreateKeyExW(root_, wpath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access_, nullptr,
                                        &key, nullptr)
                      : RegOpenKeyExW(root_, wpath.c_str(), 0, access_, &key);
  if (rc != ERROR_SUCCESS) return false;
  current_.reset(key);
  return true;
}

int32_t TRegistry::ReadInteger(const std::string& name) {
  std::wstring wname = GbkToWide(name);
  DWORD type = 0, data = 0, size = sizeof data;
  if (!current_ || RegQueryValueExW(current_.get(), wname.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data),
                                    &size) != ERROR_SUCCESS) {
    // A value too large for a DWORD exists but has the wrong type.
    if (current_ && RegQueryValueExW(current_.get(), wname.c_str(), nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS)
      Fail("Invalid data type for", name);
    Fail("Failed to get data for", name);
  }
  if (type != REG_DWORD || size != sizeof data) Fail("Invalid data type for", name);
  return static_cast<int32_t>(data);
}

std::string TRegistry::ReadString(const std::string& name) {
  if (!current_) return {};
  std::wstring wname = GbkToWide(name);
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(current_.get(), wname.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
  if (type != REG_SZ && type != REG_EXPAND_SZ) Fail("Invalid data type for", name);
  // The value may change between the two calls; retry while it grows.
  std::vector<wchar_t> buf;
  LONG rc;
  do {
    buf.assign(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(buf.size() * sizeof(wchar_t));
    rc = RegQueryValueExW(current_.get(), wname.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &size);
  } while (rc == ERROR_MORE_DATA);
  if (rc != ERROR_SUCCESS) return {};
  if (type != REG_SZ && type != REG_EXPAND_SZ) Fail("Invalid data type for", name);
  size_t n = size / sizeof(wchar_t);
  while (n > 0 && buf[n - 1] == L'\0') --n;
  return WideToGbk(std::wstring_view(buf.data(), n));
}

bool TRegistry::ValueExists(const std::string& name) {
  return current_ &&
         RegQueryValueExW(current_.get(), GbkToWide(name).c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
  std::wstring wvalue = GbkToWide(value);
  DWORD bytes = static_cast<DWORD>((wvalue.size() + 1) * sizeof(wchar_t));
  if (!current_ || RegSetValueExW(current_.get(), GbkToWide(name).c_str(), 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(wvalue.c_str()), bytes) != ERROR_SUCCESS)
    Fail("Failed to set data for", name);
}

void TRegistry::WriteInteger(const std::string& name, int32_t value) {
  DWORD data = static_cast<DWORD>(value);
  if (!current_ || RegSetValueExW(current_.get(), GbkToWide(name).c_str(), 0, REG_DWORD,
                                  reinterpret_cast<const BYTE*>(&data), sizeof data) != ERROR_SUCCESS)
    Fail("Failed to set data for", name);
}
