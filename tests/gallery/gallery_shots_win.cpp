// Starts the skin gallery, clicks every item of its look group in turn and keeps a screenshot
// of the window in each look: look-1-MacOS.png ... look-6-Blue.ssk.png; then, in the same
// look, of its popup menu opened by a right click with the second item selected:
// menu-1-MacOS.png ... menu-6-Blue.ssk.png; and of its main menu's View drop-down opened from
// the keyboard (Alt+V): mainmenu-1-MacOS.png ... mainmenu-6-Blue.ssk.png.
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

// The ASCII tail of an item's text ("皮肤文件 Blue.ssk" gives "Blue.ssk").
std::string ShotName(int index, const std::wstring& text) {
  std::wstring tail = text.substr(text.find_last_of(L' ') == std::wstring::npos ? 0 : text.find_last_of(L' ') + 1);
  std::string ascii;
  for (wchar_t c : tail) ascii += c < 128 ? static_cast<char>(c) : '_';
  return "look-" + std::to_string(index + 1) + "-" + ascii + ".png";
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

// Opens the form's popup menu with a right click, selects its second item, keeps a
// screenshot of the menu and closes it with Escape.
bool ShootPopup(HWND form, const std::string& path) {
  PostMessageW(form, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(200, 120));
  PostMessageW(form, WM_RBUTTONUP, 0, MAKELPARAM(200, 120));
  auto open = [] {
    HWND m = FindWindowW(L"#32768", nullptr);
    return m && IsWindowVisible(m) ? m : nullptr;
  };
  HWND menu = robot::WaitFor(open, 5000);
  if (!menu) return false;
  for (int i = 0; i < 2; ++i) {
    PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 1);
    PostMessageW(menu, WM_KEYUP, VK_DOWN, 0xC0000001);
  }
  Sleep(500);
  const bool shot = robot::Screenshot(menu, path);
  PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 1);
  robot::WaitFor([&] { return open() ? nullptr : form; }, 5000);
  return shot;
}

// Opens the main menu's View drop-down as Alt+V does, selects its third item (the
// keyboard opens it with the first selected), keeps a screenshot of it and closes the menu.
bool ShootMainMenu(HWND form, const std::string& path) {
  PostMessageW(form, WM_SYSCOMMAND, SC_KEYMENU, 'v');
  auto open = [] {
    HWND m = FindWindowW(L"#32768", nullptr);
    return m && IsWindowVisible(m) ? m : nullptr;
  };
  HWND menu = robot::WaitFor(open, 5000);
  if (!menu) return false;
  for (int i = 0; i < 2; ++i) {
    PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 1);
    PostMessageW(menu, WM_KEYUP, VK_DOWN, 0xC0000001);
  }
  Sleep(500);
  const bool shot = robot::Screenshot(menu, path);
  for (int i = 0; i < 2; ++i) PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 1);
  robot::WaitFor([&] { return open() ? nullptr : form; }, 5000);
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
  for (size_t i = 0; i < looks.size(); ++i) {
    robot::Click(looks[i]);
    WaitPainted(form);
    const std::string path = UnixPath(folder) + "/" + ShotName(static_cast<int>(i), robot::Text(looks[i]));
    if (robot::Screenshot(form, path)) {
      std::printf("%s\n", path.c_str());
    } else {
      std::fprintf(stderr, "no screenshot: %s\n", path.c_str());
      ++failures;
    }
    const std::string menuPath = UnixPath(folder) + "/menu" + ShotName(static_cast<int>(i), robot::Text(looks[i])).substr(4);
    if (ShootPopup(form, menuPath)) {
      std::printf("%s\n", menuPath.c_str());
    } else {
      std::fprintf(stderr, "no screenshot of the open menu: %s\n", menuPath.c_str());
      ++failures;
    }
    const std::string mainPath = UnixPath(folder) + "/mainmenu" + ShotName(static_cast<int>(i), robot::Text(looks[i])).substr(4);
    if (ShootMainMenu(form, mainPath)) {
      std::printf("%s\n", mainPath.c_str());
    } else {
      std::fprintf(stderr, "no screenshot of the open main menu: %s\n", mainPath.c_str());
      ++failures;
    }
    if (!gallery.Running()) {
      std::fprintf(stderr, "the gallery ended after look %zu\n", i + 1);
      return 1;
    }
  }
  gallery.Kill();
  return failures == 0 ? 0 : 1;
}
