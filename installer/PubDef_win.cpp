// The shell-link object behind CreateShellLink.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "framework/Exceptions.h"
#include "framework/Text.h"
#include "installer/PubDef.h"

namespace {
// Releases a COM interface on every way out.
template <class T>
struct ComRef {
  T* p = nullptr;
  ComRef() = default;
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() {
    if (p) p->Release();
  }
  void** Out() { return reinterpret_cast<void**>(&p); }
};
}  // namespace

void SaveShellLinkFile(const ShellLinkData& link) {
  ComRef<IShellLinkW> shellLink;
  HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, shellLink.Out());
  if (FAILED(hr)) throw Exception(SystemErrorText(static_cast<unsigned long>(hr)));
  shellLink.p->SetPath(GbkToWide(link.target).c_str());
  shellLink.p->SetArguments(GbkToWide(link.arguments).c_str());
  shellLink.p->SetIconLocation(GbkToWide(link.iconPath).c_str(), link.iconIndex);
  shellLink.p->SetWorkingDirectory(GbkToWide(link.workingDirectory).c_str());
  ComRef<IPersistFile> file;
  if (FAILED(shellLink.p->QueryInterface(IID_IPersistFile, file.Out()))) return;
  file.p->Save(GbkToWide(link.fileName).c_str(), FALSE);
}
