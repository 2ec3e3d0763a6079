#include "installer/Platform_win.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <tlhelp32.h>
#include <wininet.h>

#include "framework/Dialogs.h"
#include "framework/Exceptions.h"
#include "framework/Handles.h"
#include "framework/Registry.h"
#include "framework/ResourceStream.h"
#include "framework/Streams.h"
#include "framework/Text.h"
#include "installer/BaseDef.h"
#include "installer/PubDef.h"

namespace {
HKEY RootHandle(RegRoot root) {
  switch (root) {
    case RegRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
    case RegRoot::CurrentUser: return HKEY_CURRENT_USER;
    case RegRoot::LocalMachine: break;
  }
  return HKEY_LOCAL_MACHINE;
}

class Win32RegistryAccess : public RegistryAccess {
 public:
  Win32RegistryAccess(RegRoot root, uint32_t access) : reg_(access) { reg_.SetRootKey(RootHandle(root)); }
  bool OpenKey(const std::string& path, bool canCreate) override { return reg_.OpenKey(path, canCreate); }
  bool ReadBool(const std::string& name) override { return reg_.ReadBool(name); }
  std::string ReadString(const std::string& name) override { return reg_.ReadString(name); }
  void WriteString(const std::string& name, const std::string& value) override { reg_.WriteString(name, value); }
  void WriteInteger(const std::string& name, int32_t value) override { reg_.WriteInteger(name, value); }
  void CloseKey() override { reg_.CloseKey(); }

  bool DeleteValue(const std::string& name) override {
    return reg_.CurrentKey() && RegDeleteValueW(reg_.CurrentKey(), GbkToWide(name).c_str()) == ERROR_SUCCESS;
  }

  bool DeleteKeyIfEmpty(const std::string& path) override {
    reg_.CloseKey();
    size_t from = path.find_first_not_of('\\');
    if (from == std::string::npos) return false;  // never the root itself
    std::wstring sub = GbkToWide(path.substr(from));
    HKEY raw = nullptr;
    if (RegOpenKeyExW(reg_.RootKey(), sub.c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) return false;
    UniqueHKey key(raw);
    DWORD subkeys = 1, values = 1;
    if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS ||
        subkeys || values)
      return false;
    key.reset();
    return RegDeleteKeyW(reg_.RootKey(), sub.c_str()) == ERROR_SUCCESS;
  }

 private:
  TRegistry reg_;
};
}  // namespace

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

bool Win32Platform::RemoveDir(const std::string& path) {
  return RemoveDirectoryW(GbkToWide(path).c_str()) != 0;
}

std::vector<std::string> Win32Platform::ListDir(const std::string& path) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW d;
  HANDLE find = FindFirstFileW(GbkToWide(path + "\\*").c_str(), &d);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    std::wstring_view n = d.cFileName;
    if (n != L"." && n != L"..") names.push_back(WideToGbk(n));
  } while (FindNextFileW(find, &d));
  FindClose(find);
  return names;
}

unsigned long Win32Platform::ChangeDir(const std::string& path) {
  if (SetCurrentDirectoryW(GbkToWide(path).c_str())) return 0;
  DWORD code = GetLastError();
  return code ? code : ERROR_PATH_NOT_FOUND;
}

void Win32Platform::WriteNewFile(const std::string& path, std::span<const uint8_t> data) {
  TFileStream f(path, FileMode::Create);
  f.WriteBuffer(data.data(), data.size());
}

std::unique_ptr<TStream> Win32Platform::CreateNewFile(const std::string& path) {
  return std::make_unique<TFileStream>(path, FileMode::Create);
}

Bytes Win32Platform::ReadWholeFile(const std::string& path) {
  TFileStream f(path, FileMode::OpenRead);
  int64_t size = f.Size();
  if (size < 0 || static_cast<uint64_t>(size) > SIZE_MAX / 2) throw EReadError();
  Bytes out(static_cast<size_t>(size));
  f.ReadBuffer(out.data(), out.size());
  return out;
}

std::string Win32Platform::LogicalDriveStrings() {
  wchar_t buf[260];
  DWORD n = GetLogicalDriveStringsW(260, buf);
  if (n == 0 || n >= 260) return {};
  return WideToGbk(std::wstring_view(buf, n));
}

int Win32Platform::DriveType(const std::string& root) {
  return static_cast<int>(GetDriveTypeW(GbkToWide(root).c_str()));
}

std::unique_ptr<RegistryAccess> Win32Platform::Registry(RegRoot root, uint32_t access) {
  return std::make_unique<Win32RegistryAccess>(root, access);
}

bool Win32Platform::ComInitialize() {
  HRESULT hr = CoInitialize(nullptr);
  return hr == S_OK || hr == S_FALSE;
}

void Win32Platform::ComUninitialize() { CoUninitialize(); }

void Win32Platform::SaveShellLink(const ShellLinkData& link) { SaveShellLinkFile(link); }

std::vector<ProcessEntry> Win32Platform::Processes() {
  std::vector<ProcessEntry> list;
  UniqueHandle snap(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snap) return list;
  PROCESSENTRY32W e{};
  e.dwSize = sizeof e;
  for (BOOL ok = Process32FirstW(snap.get(), &e); ok; ok = Process32NextW(snap.get(), &e))
    list.push_back({e.th32ProcessID, WideToGbk(e.szExeFile)});
  return list;
}

bool Win32Platform::EndProcess(uint32_t id, uint32_t exitCode) {
  UniqueHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, id));
  return process && TerminateProcess(process.get(), exitCode);
}

bool Win32Platform::ConnectedState(uint32_t& flags) {
  DWORD f = 0;
  BOOL connected = InternetGetConnectedState(&f, 0);
  flags = f;
  return connected != FALSE;
}

void Win32Platform::ShellOpen(const std::string& verb, const std::string& file, const std::string& parameters,
                              int showCommand) {
  std::wstring wverb = GbkToWide(verb), wfile = GbkToWide(file), wparams = GbkToWide(parameters);
  ShellExecuteW(nullptr, verb.empty() ? nullptr : wverb.c_str(), wfile.c_str(),
                parameters.empty() ? nullptr : wparams.c_str(), nullptr, showCommand);
}

void Win32Platform::ShowMessage(const std::string& text) { ::ShowMessage(text); }

bool Win32Platform::Confirm(const std::string& text) { return ConfirmDialog(text); }

std::string Win32Platform::PickFolder(int rootCsidl, const std::string& title) {
  return BrowseForFolder(rootCsidl, title);
}
