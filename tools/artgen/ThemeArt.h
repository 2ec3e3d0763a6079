// The built-in theme artwork: every bitmap resource the five styles and the fixed-name
// controls load, drawn in code so that names, sizes and frame layouts are exact.
#pragma once
#include <string>
#include <vector>

#include "framework/Bitmap.h"

struct ThemeArtImage {
  std::string Name;  // resource name
  std::string File;  // BMP file name beside the .rc fragment
  int Frames = 1;    // equal frames side by side
  TBitmap Bitmap;
};

std::vector<ThemeArtImage> GenerateThemeArt();
// The .rc fragment: one `NAME BITMAP "file.bmp"` line per image.
std::string ThemeArtRc(const std::vector<ThemeArtImage>& images);
