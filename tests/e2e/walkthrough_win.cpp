// The main job's robot: walks setup.exe through its six pages onto the simulated USB drive,
// saves a screenshot of each page, then prints what was installed. With --report it only
// prints what an installation (made by hand) left behind.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <tlhelp32.h>
#include <vector>

#include "tests/e2e/Wizard.h"

namespace {

std::string Utf8(const std::wstring& w) {
  if (w.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

std::wstring RegText(HKEY root, const std::wstring& key, const wchar_t* name) {
  wchar_t buf[1024] = {};
  DWORD size = sizeof buf, type = 0;
  if (RegGetValueW(root, key.c_str(), name, RRF_RT_ANY, &type, buf, &size) != ERROR_SUCCESS) return L"(none)";
  if (type == REG_DWORD) {
    DWORD value;
    std::memcpy(&value, buf, sizeof value);
    return std::to_wstring(value) + L" (REG_DWORD)";
  }
  return L"\"" + std::wstring(buf) + L"\"";
}

void ListFiles(const std::wstring& dir, const std::wstring& shown) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    std::wstring name = fd.cFileName;
    if (name == L"." || name == L"..") continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      ListFiles(dir + L"\\" + name, shown + L"\\" + name);
    } else {
      std::printf("  %-40s %8lu bytes\n", Utf8(shown + L"\\" + name).c_str(), fd.nFileSizeLow);
    }
  } while (FindNextFileW(h, &fd));
  FindClose(h);
}

void ListLinks(const std::wstring& dir) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((dir + L"\\*.lnk").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do std::printf("  %s\\%s\n", Utf8(dir).c_str(), Utf8(fd.cFileName).c_str());
  while (FindNextFileW(h, &fd));
  FindClose(h);
}

int Report() {
  const std::wstring product = L"Vexaro U\u76d8\u52a0\u5bc6";
  const std::wstring installed = L"Software\\KorvaSoft\\KORVA-Y";
  std::wstring folder = RegText(HKEY_LOCAL_MACHINE, installed, L"Folder");
  if (folder == L"(none)") {
    std::printf("nothing was installed\n");
    return 1;
  }
  folder = folder.substr(1, folder.size() - 2);
  std::printf("files in %s:\n", Utf8(folder).c_str());
  ListFiles(folder, folder);
  std::printf("registry:\n");
  for (const wchar_t* v : {L"Site", L"Author"})
    std::printf("  HKLM\\Software\\KorvaSoft %s = %s\n", Utf8(v).c_str(),
                Utf8(RegText(HKEY_LOCAL_MACHINE, L"Software\\KorvaSoft", v)).c_str());
  for (const wchar_t* v : {L"Setup", L"Version", L"Folder", L"Date"})
    std::printf("  HKLM\\%s %s = %s\n", Utf8(installed).c_str(), Utf8(v).c_str(),
                Utf8(RegText(HKEY_LOCAL_MACHINE, installed, v)).c_str());
  std::wstring uninstall = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + product;
  for (const wchar_t* v : {L"DisplayName", L"UninstallString"})
    std::printf("  HKLM\\%s %s = %s\n", Utf8(uninstall).c_str(), Utf8(v).c_str(),
                Utf8(RegText(HKEY_LOCAL_MACHINE, uninstall, v)).c_str());
  std::printf("shortcuts:\n");
  const std::wstring shell = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  std::wstring desktop = RegText(HKEY_CURRENT_USER, shell, L"Desktop");
  std::wstring programs = RegText(HKEY_CURRENT_USER, shell, L"Programs");
  ListLinks(desktop.substr(1, desktop.size() - 2));
  ListLinks(programs.substr(1, programs.size() - 2) + L"\\" + product);
  return 0;
}

// Freezes the installer while the copying page is up, so that it can be photographed.
bool ShootCopyingPage(e2e::Wizard& w, const std::string& path) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < 20000) {
    int page = w.Page();
    if (page == 4) {
      HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
      THREADENTRY32 te{sizeof te};
      std::vector<HANDLE> frozen;
      for (BOOL ok = Thread32First(snap, &te); ok; ok = Thread32Next(snap, &te))
        if (te.th32OwnerProcessID == w.Proc().Id())
          if (HANDLE t = OpenThread(THREAD_SUSPEND_RESUME, FALSE, te.th32ThreadID)) {
            SuspendThread(t);
            frozen.push_back(t);
          }
      CloseHandle(snap);
      bool shot = robot::Screenshot(w.Window(), path);
      for (HANDLE t : frozen) {
        ResumeThread(t);
        CloseHandle(t);
      }
      return shot;
    }
    if (page == 5) return false;
  }
  return false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wstring(argv[1]) == L"--report") return Report();
  if (argc != 3) {
    std::fprintf(stderr, "usage: walkthrough SETUP.EXE SCREENSHOT_DIR (a Unix path) | walkthrough --report\n");
    return 64;
  }
  std::string shots = Utf8(argv[2]);
  auto shot = [&](e2e::Wizard& w, const char* name) {
    w.Settle();
    Sleep(200);
    std::string path = shots + "/" + name + ".png";
    std::printf("%s %s\n", robot::Screenshot(w.Window(), path) ? "saved" : "could not save", path.c_str());
  };
  e2e::Wizard w(argv[1]);
  if (!w.Found()) {
    std::fprintf(stderr, "walkthrough: the wizard did not come up\n");
    return 1;
  }
  auto fail = [&](const char* what) {
    std::fprintf(stderr, "walkthrough: %s (the wizard shows page %d)\n", what, w.Page());
    w.Proc().Kill();
    return 1;
  };
  if (!w.WaitPage(0)) return fail("no welcome page");
  shot(w, "page0-welcome");
  w.UserClick(e2e::kNext);
  if (!w.WaitPage(1)) return fail("no licence page");
  shot(w, "page1-licence");
  w.UserClick(e2e::kNext);  // Agree lies over Next
  if (!w.WaitPage(2)) return fail("no folder page");
  std::printf("target folder: %s\n", Utf8(w.FolderText()).c_str());
  shot(w, "page2-folder");
  w.UserClick(e2e::kNext);
  if (!w.WaitPage(3)) {
    robot::Box box = w.Box(1000);
    std::fprintf(stderr, "walkthrough: message: %s\n", Utf8(box.text).c_str());
    return fail("no ready page");
  }
  shot(w, "page3-ready");
  w.Page();  // finds every page while the installer still answers messages
  w.UserClick(e2e::kNext);
  std::string copying = shots + "/page4-copying.png";
  std::printf("%s %s\n", ShootCopyingPage(w, copying) ? "saved" : "the copying page passed too quickly for",
              copying.c_str());
  if (!w.WaitPage(5, 60000)) return fail("no finish page");
  shot(w, "page5-finish");
  robot::Click(w.StartProgramCheck());  // no tutorial page: there is no network here
  w.Settle();
  w.UserClick(e2e::kFinish);
  if (!w.Proc().WaitExit(10000)) return fail("Finish did not end the installer");
  std::printf("the installer finished\n\n");
  return Report();
}
