// artgen OUTDIR: writes every built-in theme bitmap as a BMP file and theme_art.rc, the
// resource script fragment that embeds them.
#include <cstdio>
#include <string>

#include "tools/artgen/ThemeArt.h"

namespace {

bool WriteFile(const std::string& path, const void* data, size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: artgen OUTDIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  const std::vector<ThemeArtImage> images = GenerateThemeArt();
  for (const ThemeArtImage& image : images) {
    const Bytes bmp = image.Bitmap.SaveToBmp(24);
    if (!WriteFile(dir + "/" + image.File, bmp.data(), bmp.size())) {
      std::fprintf(stderr, "artgen: cannot write %s/%s\n", dir.c_str(), image.File.c_str());
      return 1;
    }
  }
  const std::string rc = ThemeArtRc(images);
  if (!WriteFile(dir + "/theme_art.rc", rc.data(), rc.size())) {
    std::fprintf(stderr, "artgen: cannot write %s/theme_art.rc\n", dir.c_str());
    return 1;
  }
  return 0;
}
