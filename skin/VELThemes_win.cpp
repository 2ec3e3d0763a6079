// Skin bitmaps from the executable's own BITMAP resources.
#include <windows.h>

#include "framework/Text.h"
#include "skin/VELThemes.h"

bool LoadModuleSkinBitmap(const std::string& name, TBitmap& out) {
  const std::wstring wide = GbkToWide(name);
  HRSRC info = FindResourceW(nullptr, wide.c_str(), MAKEINTRESOURCEW(2));  // RT_BITMAP
  if (!info) return false;
  HGLOBAL global = LoadResource(nullptr, info);
  const void* data = global ? LockResource(global) : nullptr;
  if (!data) return false;
  return LoadBitmapResourceBytes({static_cast<const uint8_t*>(data), SizeofResource(nullptr, info)}, out);
}
