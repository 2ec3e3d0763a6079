// The gallery's themed frame under Wine: in each look, screenshots of the window active,
// inactive and maximized (frame-1-MacOS-active.png ... frame-6-Blue.ssk-maximized.png).
// Needs an X display; exits 77 without one.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/Robot.h"

namespace {

std::string Ascii(const std::wstring& text) {
  std::wstring tail = text.substr(text.find_last_of(L' ') == std::wstring::npos ? 0 : text.find_last_of(L' ') + 1);
  std::string out;
  for (wchar_t c : tail) out += c < 128 ? static_cast<char>(c) : '_';
  return out;
}

// A Unix path as Wine's Z: drive shows it.
std::wstring WindowsPath(std::wstring p) {
  if (!p.empty() && p[0] == L'/') p = L"Z:" + p;
  std::replace(p.begin(), p.end(), L'/', L'\\');
  return p;
}

void Painted(HWND form) {
  robot::Settle(form);
  Sleep(400);  // the X server shows what Wine drew a moment later
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: frame_shots GALLERY.EXE SHOTS_FOLDER\n");
    return 64;
  }
  if (!GetEnvironmentVariableW(L"DISPLAY", nullptr, 0)) {
    std::printf("no X display: no screenshots taken\n");
    return 77;
  }
  std::wstring folder = argv[2];
  std::string unixFolder(folder.begin(), folder.end());
  CreateDirectoryW(WindowsPath(folder).c_str(), nullptr);
  robot::Process gallery(WindowsPath(argv[1]));
  HWND form = robot::WaitFor([&] { return robot::TopWindow(gallery.Id(), L"TGalleryForm"); }, 30000);
  if (!form) {
    std::fprintf(stderr, "the gallery window did not appear\n");
    return 1;
  }
  std::vector<HWND> looks =
      robot::Children(form, [](HWND c) { return robot::ClassOf(c) == L"TvelRadioGroupButton"; });
  auto at = [](HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    return std::pair{r.left, r.top};
  };
  std::sort(looks.begin(), looks.end(), [&](HWND a, HWND b) { return at(a) < at(b); });
  int failures = 0;
  auto shoot = [&](size_t look, const char* state) {
    std::string path = unixFolder + "/frame-" + std::to_string(look + 1) + "-" + Ascii(robot::Text(looks[look])) +
                       "-" + state + ".png";
    if (robot::Screenshot(form, path))
      std::printf("%s\n", path.c_str());
    else
      ++failures;
  };
  for (size_t i = 0; i < looks.size(); ++i) {
    robot::Click(looks[i]);
    SendMessageW(form, WM_ACTIVATE, WA_ACTIVE, 0);
    Painted(form);
    shoot(i, "active");
    SendMessageW(form, WM_ACTIVATE, WA_INACTIVE, 0);
    Painted(form);
    shoot(i, "inactive");
    ShowWindow(form, SW_MAXIMIZE);
    SendMessageW(form, WM_ACTIVATE, WA_ACTIVE, 0);
    Painted(form);
    shoot(i, "maximized");
    ShowWindow(form, SW_RESTORE);
    Painted(form);
  }
  gallery.Kill();
  return failures == 0 && looks.size() == 6 ? 0 : 1;
}
