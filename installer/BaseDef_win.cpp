// The folder picker.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <memory>

#include "framework/Text.h"
#include "installer/BaseDef.h"

namespace {
struct IdListFree {
  void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};
using UniqueIdList = std::unique_ptr<ITEMIDLIST, IdListFree>;
}  // namespace

std::string BrowseForFolder(int root, const std::string& title) {
  HWND owner = GetActiveWindow();
  LPITEMIDLIST rootList = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(owner, root, &rootList))) return {};
  UniqueIdList rootOwned(rootList);
  auto displayName = std::make_unique<wchar_t[]>(MAX_PATH);
  std::wstring wtitle = GbkToWide(title);
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.pidlRoot = rootList;
  info.pszDisplayName = displayName.get();
  info.lpszTitle = wtitle.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  UniqueIdList picked(SHBrowseForFolderW(&info));
  if (!picked) return {};
  wchar_t path[MAX_PATH];
  if (!SHGetPathFromIDListW(picked.get(), path)) return {};
  return WideToGbk(path);
}
