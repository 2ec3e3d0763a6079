// Item names of skin files, in the numbering the themed controls ask for: colours 0..31,
// bitmaps 0..33, integers 0..8 and Booleans 0..8, one table of 84 names.
#pragma once

inline constexpr int kSkin2NameCount = 84;
inline constexpr int kFileThemeColorBase = 0, kFileThemeColorCount = 32;
inline constexpr int kFileThemeBitmapBase = 32, kFileThemeBitmapCount = 34;
inline constexpr int kFileThemeIntBase = 66, kFileThemeIntCount = 9;
inline constexpr int kFileThemeBoolBase = 75, kFileThemeBoolCount = 9;

extern const char* const Skin2ItemNames[kSkin2NameCount];

// The item name of a number in each index space; nullptr outside it.
const char* FileThemeColorName(int index);
const char* FileThemeBitmapName(int index);
const char* FileThemeIntName(int index);
const char* FileThemeBoolName(int index);
