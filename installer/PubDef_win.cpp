// The shell-link object behind CreateShellLink.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "framework/Exceptions.h"
#include "framework/Handles.h"
#include "framework/Text.h"
#include "installer/PubDef.h"

void SaveShellLinkFile(const ShellLinkData& link) {
  ComPtr<IShellLinkW> shellLink;
  HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(shellLink.put()));
  if (FAILED(hr)) throw Exception(SystemErrorText(static_cast<unsigned long>(hr)));
  shellLink->SetPath(GbkToWide(link.target).c_str());
  shellLink->SetArguments(GbkToWide(link.arguments).c_str());
  shellLink->SetIconLocation(GbkToWide(link.iconPath).c_str(), link.iconIndex);
  shellLink->SetWorkingDirectory(GbkToWide(link.workingDirectory).c_str());
  ComPtr<IPersistFile> file;
  if (FAILED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put())))) return;
  file->Save(GbkToWide(link.fileName).c_str(), FALSE);
}
