// setup.exe's entry point. For now it loads and verifies the embedded product; the
// wizard takes over once the framework and the skin are in place.
#include <windows.h>

#include "framework/Exceptions.h"
#include "framework/Text.h"
#include "installer/Platform_win.h"
#include "installer/SetupData.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  Win32Platform platform;
  SetupConfig config;
  try {
    std::string exe = platform.ExePath();
    std::string staging = exe.substr(0, exe.rfind('\\') + 1) + "tmp.cx";
    WriteConfigResource(platform, staging);
    LoadConfiguration(platform, staging, config);
    platform.RemoveFile(staging);
    auto pack = LoadPack(platform);
    return VerifyPack(platform, *pack, config) ? 0 : 1;
  } catch (const Exception& e) {
    MessageBoxW(nullptr, GbkToWide(e.what()).c_str(), L"setup", MB_OK | MB_ICONERROR);
    return 1;
  }
}
