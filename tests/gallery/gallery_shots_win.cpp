// Starts the skin gallery (a window under its themed frame), clicks every item of its look
// group in turn and keeps, in each look N:
//   look-N-LOOK.png             the window, active;
//   menu-N-LOOK.png             its popup menu opened by a right click, second item selected;
//   mainmenu-N-LOOK.png         its main menu's View drop-down opened from the keyboard (Alt+V);
//   frame-N-LOOK-inactive.png   the window inactive;
//   frame-N-LOOK-maximized.png  the window maximized (then restored).
// LOOK is the ASCII tail of the look's caption (MacOS ... Blue.ssk).
// Usage: gallery_shots GALLERY.EXE SHOTS_FOLDER (either path Unix or Windows). Exit 77 when
// there is no X display to take screenshots from.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/Robot.h"

namespace {

std::wstring WindowsPath(std::wstring p) {
  if (!p.empty() && p[0] == L'/') p = L"Z:" + p;
  for (auto& c : p)
    if (c == L'/') c = L'\\';
  return p;
}

std::string UnixPath(const std::wstring& p) {
  std::string out(p.begin(), p.end());
  if (out.size() > 2 && out[1] == ':') out = out.substr(2);
  for (auto& c : out)
    if (c == '\\') c = '/';
  return out;
}

// "-N-" and the ASCII tail of look N's caption ("皮肤文件 Blue.ssk" gives "-6-Blue.ssk").
std::string ShotName(int index, const std::wstring& text) {
  std::wstring tail = text.substr(text.find_last_of(L' ') == std::wstring::npos ? 0 : text.find_last_of(L' ') + 1);
  std::string ascii;
  for (wchar_t c : tail) ascii += c < 128 ? static_cast<char>(c) : '_';
  std::string name = "-";  // built step by step: GCC 12 mis-warns (-Wrestrict) on "-" + string chains
  name += std::to_string(index + 1);
  name += '-';
  name += ascii;
  return name;
}

// Waits until neither the window nor any of its children has anything left to paint.
void WaitPainted(HWND form) {
  for (int i = 0; i < 100; ++i) {
    robot::Settle(form);
    const auto pending = robot::Children(form, [](HWND c) { return GetUpdateRect(c, nullptr, FALSE) != 0; });
    if (pending.empty() && !GetUpdateRect(form, nullptr, FALSE)) break;
    Sleep(20);
  }
  Sleep(300);  // the X server shows what Wine drew a moment later
}

HWND OpenMenuWindow() {
  HWND m = FindWindowW(L"#32768", nullptr);
  return m && IsWindowVisible(m) ? m : nullptr;
}

// Waits for the drop-down that open() brings up, selects its third row (the keyboard opens a
// main menu with the first selected, a right click with none: two presses either way), keeps
// a screenshot of it and closes the menu with Escape.
template <class Open>
bool ShootMenu(HWND form, Open open, const std::string& path) {
  open();
  HWND menu = robot::WaitFor(OpenMenuWindow, 5000);
  if (!menu) return false;
  for (int i = 0; i < 2; ++i) {
    PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 1);
    PostMessageW(menu, WM_KEYUP, VK_DOWN, 0xC0000001);
  }
  Sleep(500);
  const bool shot = robot::Screenshot(menu, path);
  for (int i = 0; i < 2; ++i) PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 1);
  robot::WaitFor([&] { return OpenMenuWindow() ? nullptr : form; }, 5000);
  return shot;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: gallery_shots GALLERY.EXE SHOTS_FOLDER\n");
    return 64;
  }
  if (!GetEnvironmentVariableW(L"DISPLAY", nullptr, 0)) {
    std::printf("no X display: no screenshots taken\n");
    return 77;
  }
  const std::wstring folder = WindowsPath(argv[2]);
  CreateDirectoryW(folder.c_str(), nullptr);
  robot::Process gallery(WindowsPath(argv[1]));
  HWND form = robot::WaitFor([&] { return robot::TopWindow(gallery.Id(), L"TGalleryForm"); }, 30000);
  if (!form) {
    std::fprintf(stderr, "the gallery window did not appear\n");
    return 1;
  }
  std::vector<HWND> looks =
      robot::Children(form, [](HWND c) { return robot::ClassOf(c) == L"TvelRadioGroupButton"; });
  // In item order: the group fills its columns top to bottom.
  auto at = [](HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    return std::pair{r.left, r.top};
  };
  std::sort(looks.begin(), looks.end(), [&](HWND a, HWND b) { return at(a) < at(b); });
  if (looks.size() != 6) {
    std::fprintf(stderr, "expected 6 looks, found %zu\n", looks.size());
    return 1;
  }
  int failures = 0;
  auto keep = [&](bool shot, const std::string& path) {
    if (shot) {
      std::printf("%s\n", path.c_str());
    } else {
      std::fprintf(stderr, "no screenshot: %s\n", path.c_str());
      ++failures;
    }
  };
  for (size_t i = 0; i < looks.size(); ++i) {
    robot::Click(looks[i]);
    WaitPainted(form);
    const std::string look = ShotName(static_cast<int>(i), robot::Text(looks[i]));  // "-N-LOOK"
    const std::string base = UnixPath(folder) + "/";
    keep(robot::Screenshot(form, base + "look" + look + ".png"), base + "look" + look + ".png");
    keep(ShootMenu(form,
                   [&] {
                     PostMessageW(form, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(200, 120));
                     PostMessageW(form, WM_RBUTTONUP, 0, MAKELPARAM(200, 120));
                   },
                   base + "menu" + look + ".png"),
         base + "menu" + look + ".png");
    keep(ShootMenu(form, [&] { PostMessageW(form, WM_SYSCOMMAND, SC_KEYMENU, 'v'); }, base + "mainmenu" + look + ".png"),
         base + "mainmenu" + look + ".png");
    SendMessageW(form, WM_ACTIVATE, WA_INACTIVE, 0);
    WaitPainted(form);
    keep(robot::Screenshot(form, base + "frame" + look + "-inactive.png"), base + "frame" + look + "-inactive.png");
    ShowWindow(form, SW_MAXIMIZE);
    SendMessageW(form, WM_ACTIVATE, WA_ACTIVE, 0);
    WaitPainted(form);
    keep(robot::Screenshot(form, base + "frame" + look + "-maximized.png"), base + "frame" + look + "-maximized.png");
    ShowWindow(form, SW_RESTORE);
    WaitPainted(form);
    if (!gallery.Running()) {
      std::fprintf(stderr, "the gallery ended after look %zu\n", i + 1);
      return 1;
    }
  }
  gallery.Kill();
  return failures == 0 ? 0 : 1;
}
