// setupcheck SETUP.EXE: loads a built installer as a data module and reads its embedded
// product through the same resource stream and decoders setup.exe uses, then prints the
// record and the pack check. Exit 0 when everything decodes and verifies.
#include <windows.h>

#include <cstdio>

#include "framework/Exceptions.h"
#include "framework/Text.h"
#include "installer/BaseDef.h"
#include "installer/Describe.h"
#include "installer/Platform_win.h"
#include "installer/SetupData.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: setupcheck SETUP.EXE\n");
    return 64;
  }
  HMODULE mod = LoadLibraryExW(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!mod) {
    std::fprintf(stderr, "setupcheck: cannot load %s: %s\n", GbkToUtf8(WideToGbk(argv[1])).c_str(),
                 GbkToUtf8(SystemErrorText(GetLastError())).c_str());
    return 1;
  }
  int rc = 2;
  try {
    Win32Platform platform(mod);
    SetupConfig config;
    config.Load(DecompressResource(platform.Resource(kConfigResource)).view());
    auto pack = LoadPack(platform);
    SetupReport rep = DescribeSetup(config, {pack->Memory(), static_cast<size_t>(pack->Size())},
                                    platform.Resource(kLicenceResource));
    std::fputs(GbkToUtf8(rep.text).c_str(), stdout);
    rc = rep.checksumMatches && rep.slicesInsidePack ? 0 : 2;
    std::printf("%s\n", rc == 0 ? "setupcheck: resources decode and the pack verifies" : "setupcheck: FAILED");
  } catch (const Exception& e) {
    std::fprintf(stderr, "setupcheck: %s\n", GbkToUtf8(e.what()).c_str());
  }
  FreeLibrary(mod);
  return rc;
}
