// uninstall.exe, the sample product's uninstaller. Started from its shortcut or from the
// uninstall entry, it removes the installation (Uninstaller.h) and then itself: a copy in
// the temporary folder waits for it to end, deletes it and the emptied product folder, and
// is itself left for the next start of Windows. Where the copy cannot be made or started,
// the original and its folder are left for the next start instead.
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <string>

#include "framework/Application.h"
#include "framework/Text.h"
#include "installer/Platform_win.h"
#include "resources/sample/app/Uninstaller.h"

namespace {
constexpr wchar_t kCleanupSwitch[] = L"/cleanup";

std::wstring TempFolder() {
  wchar_t temp[MAX_PATH + 1] = {};
  DWORD n = GetTempPathW(MAX_PATH + 1, temp);
  return n && n <= MAX_PATH ? std::wstring(temp, n) : std::wstring();
}

void RemoveAtNextStart(const std::wstring& path) { MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT); }

// The copy's part: argv = exe /cleanup HANDLE ORIGINAL [FOLDER]; HANDLE is the inherited
// handle of the uninstaller's process.
int Cleanup(int argc, wchar_t** argv) {
  auto parent = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(_wcstoui64(argv[2], nullptr, 10)));
  WaitForSingleObject(parent, 60000);
  CloseHandle(parent);
  const std::wstring original = argv[3];
  // The system may hold the image a moment after the process has ended.
  bool gone = false;
  for (int i = 0; i < 50 && !gone; ++i) {
    gone = DeleteFileW(original.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
    if (!gone) Sleep(100);
  }
  if (!gone) RemoveAtNextStart(original);
  if (argc > 4 && !RemoveDirectoryW(argv[4])) RemoveAtNextStart(argv[4]);
  wchar_t self[MAX_PATH] = {};
  if (GetModuleFileNameW(nullptr, self, MAX_PATH)) RemoveAtNextStart(self);
  return 0;
}

void RemoveSelf(const std::wstring& self, const std::wstring& folder, bool folderToo) {
  const std::wstring temp = TempFolder();
  const std::wstring copy = temp + L"uninstall-" + std::to_wstring(GetCurrentProcessId()) + L".exe";
  HANDLE me = nullptr;
  if (!temp.empty() && CopyFileW(self.c_str(), copy.c_str(), FALSE) &&
      DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &me, SYNCHRONIZE, TRUE, 0)) {
    std::wstring command = L"\"" + copy + L"\" " + kCleanupSwitch + L" " +
                           std::to_wstring(reinterpret_cast<uintptr_t>(me)) + L" \"" + self + L"\"";
    if (folderToo) command += L" \"" + folder + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    BOOL started = CreateProcessW(copy.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, temp.c_str(),
                                  &si, &pi);
    CloseHandle(me);
    if (started) {
      CloseHandle(pi.hThread);
      CloseHandle(pi.hProcess);
      return;
    }
  }
  DeleteFileW(copy.c_str());
  RemoveAtNextStart(self);
  if (folderToo) RemoveAtNextStart(folder);
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv && argc >= 4 && lstrcmpiW(argv[1], kCleanupSwitch) == 0) return Cleanup(argc, argv);
  LocalFree(argv);
  // The product folder must not stay open as this process's current folder.
  SetCurrentDirectoryW(TempFolder().c_str());
  Win32Platform platform;
  const std::string self = platform.ExePath();
  UninstallResult result;
  try {
    result = RunUninstall(platform, self, [](const SetupConfig& config) {
      Application->SetTitle(config.Record().ProductName.Text() + kUninstallTitleSuffix);
    });
  } catch (...) {
    Application->HandleException();
    return 1;
  }
  if (result.outcome == UninstallOutcome::RecordUnreadable) return 2;
  if (result.outcome == UninstallOutcome::Done)
    RemoveSelf(GbkToWide(self), GbkToWide(result.folder), result.folderEmptied);
  return 0;
}
