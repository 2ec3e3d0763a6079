#include <windows.h>

#include "framework/Exceptions.h"
#include "framework/ResourceStream.h"
#include "framework/Text.h"

TResourceStream::TResourceStream(void* module, const std::string& name) {
  HMODULE mod = static_cast<HMODULE>(module);
  std::wstring wname = GbkToWide(name);
  HRSRC info = FindResourceW(mod, wname.c_str(), MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (!info) throw EResNotFound(name);
  HGLOBAL global = LoadResource(mod, info);
  const void* data = global ? LockResource(global) : nullptr;
  if (!data) throw EResNotFound(name);
  SetPointer(data, SizeofResource(mod, info));
}
