// The real setup.exe driven page by page, as a user would, under the same Wine server; the
// removable drive E: is simulated by e2e.sh. Each test starts from a machine on which the
// product was never installed.
#include <gtest/gtest.h>
#include <aclapi.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "framework/Text.h"
#include "installer/BaseDef.h"
#include "installer/MainForm.h"
#include "installer/Pages.h"
#include "installer/Platform_win.h"
#include "installer/SetupConfig.h"
#include "installer/SetupData.h"
#include "resources/sample/app/Uninstaller.h"
#include "tests/e2e/Wizard.h"

namespace {

using e2e::Wizard;

const std::wstring kProduct = L"Vexaro U\u76d8\u52a0\u5bc6";
const std::wstring kKeyPublisher = L"Software\\KorvaSoft";
const std::wstring kKeyInstalled = L"Software\\KorvaSoft\\KORVA-Y";
const std::wstring kKeyUninstall = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + kProduct;
const std::wstring kTarget = L"E:\\KORVA-Y";

std::wstring Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? GbkToWide(v) : std::wstring();
}

std::wstring SetupExe() { return Env("VX_SETUP_EXE"); }

std::wstring ShellFolder(const wchar_t* name) {
  wchar_t buf[MAX_PATH] = {};
  DWORD size = sizeof buf;
  RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", name,
               RRF_RT_REG_SZ, nullptr, buf, &size);
  return buf;
}

std::wstring RegString(const std::wstring& key, const wchar_t* name) {
  wchar_t buf[1024] = {};
  DWORD size = sizeof buf;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
    return L"<missing>";
  return buf;
}

DWORD RegDword(const std::wstring& key, const wchar_t* name) {
  DWORD v = 0xDEAD, size = sizeof v;
  RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_REG_DWORD, nullptr, &v, &size);
  return v;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<uint8_t> ReadAll(const std::wstring& path) {
  std::vector<uint8_t> data;
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return data;
  DWORD size = GetFileSize(f, nullptr), got = 0;
  data.resize(size);
  if (size) ReadFile(f, data.data(), size, &got, nullptr);
  CloseHandle(f);
  return data;
}

void RemoveTree(const std::wstring& dir) {
  std::wstring from = dir + L'\0';
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NO_UI;
  SHFileOperationW(&op);
}

struct LinkInfo {
  std::wstring path, arguments, workingDir, icon;
  int iconIndex = -1;
};

LinkInfo ReadLink(const std::wstring& file) {
  LinkInfo info;
  CoInitialize(nullptr);
  IShellLinkW* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link)))) {
    IPersistFile* pf = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&pf)))) {
      if (SUCCEEDED(pf->Load(file.c_str(), STGM_READ))) {
        wchar_t buf[MAX_PATH] = {};
        link->GetPath(buf, MAX_PATH, nullptr, SLGP_RAWPATH);
        info.path = buf;
        link->GetArguments(buf, MAX_PATH);
        info.arguments = buf;
        link->GetWorkingDirectory(buf, MAX_PATH);
        info.workingDir = buf;
        link->GetIconLocation(buf, MAX_PATH, &info.iconIndex);
        info.icon = buf;
      }
      pf->Release();
    }
    link->Release();
  }
  CoUninitialize();
  return info;
}

// The product as setup.exe carries it, decoded through the installer's own readers.
struct Embedded {
  SetupConfig config;
  std::vector<uint8_t> iniResource;
  Bytes pack;
};

Embedded ReadEmbedded(const std::wstring& exe) {
  Embedded e;
  HMODULE mod = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  Win32Platform platform(mod);
  auto ini = platform.Resource(kConfigResource);
  e.iniResource.assign(ini.begin(), ini.end());
  e.config.Load(DecompressResource(ini).view());
  e.pack = DecompressResource(platform.Resource(kPackResource));
  FreeLibrary(mod);
  return e;
}

// What a control of the wizard shows, windowless labels included.
robot::ControlView Control(Wizard& w, const char* name) { return robot::QueryControl(w.Window(), kControlQuery, name); }

void ExpectHeader(Wizard& w, const std::wstring& title, const std::wstring& subtitle) {
  EXPECT_EQ(Control(w, "Label8").text, title);
  EXPECT_EQ(Control(w, "Label12").text, subtitle);
}

// The licence as the memo holds it: the Protocol resource's lines, joined by CR LF.
std::wstring LicenceText(const std::wstring& exe) {
  HMODULE mod = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  Win32Platform platform(mod);
  auto res = platform.Resource(kLicenceResource);
  std::string text;
  for (const std::string& line : LicenceLines({reinterpret_cast<const char*>(res.data()), res.size()}))
    text += (text.empty() ? "" : "\r\n") + line;
  FreeLibrary(mod);
  return GbkToWide(text);
}

class InstallTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(SetupExe().empty()) << "VX_SETUP_EXE is not set (run through e2e.sh)";
    Clean();
  }
  void TearDown() override { Clean(); }
  void Clean() {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kKeyPublisher.c_str());
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kKeyUninstall.c_str());
    RemoveTree(kTarget);
    RemoveTree(L"C:\\VxE2E");
    RemoveTree(L"E:\\VxTrail");
    RemoveTree(ShellFolder(L"Programs") + L"\\" + kProduct);
    for (const wchar_t* name : {L"\\Vexaro U\u76d8\u52a0\u5bc6.lnk", L"\\\u52a0\u5bc6\u76d8\u5e2e\u52a9.lnk",
                                L"\\Vexaro U\u76d8\u52a0\u5bc6 (\u5b89\u5168\u6a21\u5f0f).lnk"})
      DeleteFileW((ShellFolder(L"Desktop") + name).c_str());
  }
  // Screenshots go to the artefacts folder as NAME.png when a display is there.
  void Shot(Wizard& w, const std::string& name) {
    if (const char* dir = std::getenv("VX_ARTEFACTS")) {
      w.Settle();
      Sleep(150);
      robot::Screenshot(w.Window(), std::string(dir) + "/" + name + ".png");
    }
  }
  // From the welcome page to the folder page, agreeing to the licence.
  void ToFolderPage(Wizard& w) {
    ASSERT_TRUE(w.WaitPage(0));
    w.UserClick(e2e::kNext);
    ASSERT_TRUE(w.WaitPage(1));
    EXPECT_EQ(w.UserClick(e2e::kNext), e2e::kAgree);  // Agree lies over Next
    ASSERT_TRUE(w.WaitPage(2));
  }
  // Presses Next on the folder page and answers every message with OK; returns the texts.
  std::vector<std::wstring> NextOnFolderPage(Wizard& w) {
    std::vector<std::wstring> texts;
    w.UserClick(e2e::kNext);
    for (;;) {
      robot::Box box = w.Box(1500);
      if (!box) break;
      texts.push_back(box.text);
      robot::Press(box, IDOK);
    }
    w.Settle();
    return texts;
  }
};

TEST_F(InstallTest, FullInstallationOntoTheUsbDrive) {
  Embedded product = ReadEmbedded(SetupExe());
  Wizard w(SetupExe());
  ASSERT_TRUE(w.Found());
  ASSERT_TRUE(w.WaitPage(0));
  EXPECT_FALSE(w.ButtonShown(e2e::kBack));
  Shot(w, "page0-welcome");
  w.UserClick(e2e::kNext);
  ASSERT_TRUE(w.WaitPage(1));
  EXPECT_TRUE(w.ButtonShown(e2e::kAgree));
  Shot(w, "page1-licence");
  EXPECT_EQ(w.UserClick(e2e::kNext), e2e::kAgree);
  ASSERT_TRUE(w.WaitPage(2));
  EXPECT_EQ(w.FolderText(), kTarget);  // the default folder lies on the removable drive
  Shot(w, "page2-folder");
  EXPECT_TRUE(NextOnFolderPage(w).empty());
  ASSERT_TRUE(w.WaitPage(3));
  Shot(w, "page3-ready");
  w.UserClick(e2e::kNext);
  ASSERT_TRUE(w.WaitPage(5, 60000));
  EXPECT_EQ(w.ProgressPosition(), 85);  // seven files: 0, 14, 28, 42, 57, 71, 85
  EXPECT_FALSE(w.ButtonShown(e2e::kNext));
  EXPECT_TRUE(w.ButtonShown(e2e::kFinish));
  Shot(w, "page5-finish");

  // Files: each row's slice of the pack, and the configuration as shipped.
  const SetupConfig& c = product.config;
  ASSERT_EQ(c.FileCount(), 7);
  for (int i = 0; i < c.FileCount(); ++i) {
    const SetupFileEntry& f = c.File(i);
    std::wstring path = kTarget + GbkToWide(f.Name.Text());
    SCOPED_TRACE(WideToGbk(path));
    std::vector<uint8_t> data = ReadAll(path);
    ASSERT_EQ(data.size(), static_cast<size_t>(f.Size.Get()));
    EXPECT_TRUE(std::equal(data.begin(), data.end(), product.pack.data() + f.Offset.Get()));
  }
  EXPECT_EQ(ReadAll(kTarget + L"\\K_rv.cx"), product.iniResource);

  // Registry records and the uninstall entry.
  EXPECT_EQ(RegString(kKeyPublisher, L"Site"), L"http://www.korva.example/");
  EXPECT_EQ(RegString(kKeyPublisher, L"Author"), GbkToWide(c.Record().AuthorName.Text()));
  EXPECT_EQ(RegDword(kKeyInstalled, L"Setup"), 1u);
  EXPECT_EQ(RegString(kKeyInstalled, L"Version"), L"3.2.0");
  EXPECT_EQ(RegString(kKeyInstalled, L"Folder"), kTarget);
  EXPECT_EQ(RegString(kKeyInstalled, L"Date"), L"20131120");
  EXPECT_EQ(RegString(kKeyUninstall, L"DisplayName"), kProduct);
  EXPECT_EQ(RegString(kKeyUninstall, L"UninstallString"), kTarget + L"\\uninstall.exe");

  // Shortcuts: desktop for kinds 0, 2 and 255; the program group for 1, 2, 255 and the uninstaller.
  std::wstring desktop = ShellFolder(L"Desktop"), group = ShellFolder(L"Programs") + L"\\" + kProduct;
  LinkInfo main = ReadLink(desktop + L"\\Vexaro U\u76d8\u52a0\u5bc6.lnk");
  EXPECT_EQ(main.path, kTarget + L"\\KORVA-Y.exe");
  EXPECT_EQ(main.workingDir, kTarget + L"\\");
  EXPECT_EQ(main.icon, kTarget + L"\\KORVA-Y.exe");
  EXPECT_EQ(main.iconIndex, 0);
  EXPECT_EQ(ReadLink(desktop + L"\\Vexaro U\u76d8\u52a0\u5bc6 (\u5b89\u5168\u6a21\u5f0f).lnk").arguments, L"/safe");
  EXPECT_EQ(ReadLink(desktop + L"\\\u52a0\u5bc6\u76d8\u5e2e\u52a9.lnk").path, kTarget + L"\\Help\\Guide.txt");
  EXPECT_FALSE(Exists(desktop + L"\\\u4f7f\u7528\u8bf4\u660e.lnk"));  // kind 1: group only
  EXPECT_EQ(ReadLink(group + L"\\\u4f7f\u7528\u8bf4\u660e.lnk").path, kTarget + L"\\Readme.txt");
  EXPECT_EQ(ReadLink(group + L"\\Vexaro U\u76d8\u52a0\u5bc6.lnk").path, kTarget + L"\\KORVA-Y.exe");
  EXPECT_FALSE(Exists(group + L"\\\u52a0\u5bc6\u76d8\u5e2e\u52a9.lnk"));  // kind 0: desktop only
  EXPECT_EQ(ReadLink(group + L"\\\u5378\u8f7dVexaro U\u76d8\u52a0\u5bc6.lnk").path, kTarget + L"\\uninstall.exe");

  // Closing is refused on the finish page; Finish with the box cleared ends the program.
  w.RequestClose();
  w.Settle();
  EXPECT_FALSE(w.Box(500));
  EXPECT_TRUE(w.Proc().Running());
  robot::Click(w.StartProgramCheck());
  w.Settle();
  w.UserClick(e2e::kFinish);
  EXPECT_TRUE(w.Proc().WaitExit(10000));
  EXPECT_EQ(w.Proc().ExitCode(), 0u);  // ended by the terminate request, not by a fault
}

TEST_F(InstallTest, PageTextsOnTheForm) {
  Embedded product = ReadEmbedded(SetupExe());
  const std::wstring licence = LicenceText(SetupExe());
  Wizard w(SetupExe());
  ASSERT_TRUE(w.Found());
  ASSERT_TRUE(w.WaitPage(0));
  ExpectHeader(w, L"Vexaro\u5b89\u88c5\u7a0b\u5e8f", L"\u672c\u5b89\u88c5\u7a0b\u5e8f\u5c06" + kProduct + L"\u8f6f\u4ef6\u5b89\u88c5\u5230\u60a8\u7684\u8ba1\u7b97\u673a\u4e0a");
  EXPECT_EQ(Control(w, "NameLb").text, kProduct);
  EXPECT_EQ(Control(w, "VerLb").text, L"3.2.0");
  EXPECT_EQ(Control(w, "DateLb").text, L"2013\u5e7411\u670813\u65e5");
  robot::ControlView intro = Control(w, "IntroLb");
  EXPECT_EQ(intro.text, GbkToWide(product.config.Record().Description.Text()));
  EXPECT_EQ(intro.width, 245);
  EXPECT_EQ(intro.height, 80);
  // The licence, shown once however often its page is visited.
  for (int visit = 0; visit < 3; ++visit) {
    w.UserClick(e2e::kNext);
    ASSERT_TRUE(w.WaitPage(1));
    ExpectHeader(w, L"\u8f6f\u4ef6\u8bb8\u53ef\u534f\u8bae", L"\u8bf7\u8ba4\u771f\u9605\u8bfb\u672c\u8f6f\u4ef6\u7684\u8bb8\u53ef\u534f\u8bae");
    EXPECT_EQ(Control(w, "ProtocolMM").text, licence) << "visit " << visit;
    if (visit < 2) {
      w.UserClick(e2e::kBack);
      ASSERT_TRUE(w.WaitPage(0));
    }
  }
  EXPECT_FALSE(licence.empty());
  w.UserClick(e2e::kNext);  // Agree
  ASSERT_TRUE(w.WaitPage(2));
  ExpectHeader(w, L"\u9009\u62e9\u5b89\u88c5\u76ee\u6807\u6587\u4ef6\u5939", L"\u60a8\u6240\u9009\u62e9\u7684\u6587\u4ef6\u5939\u5c06\u5b58\u653e\u8be5\u8f6f\u4ef6\u7684\u6240\u6709\u6587\u4ef6");
  EXPECT_TRUE(NextOnFolderPage(w).empty());
  ASSERT_TRUE(w.WaitPage(3));
  ExpectHeader(w, L"\u5f00\u59cb\u5b89\u88c5", L"\u9009\u62e9\u7ed3\u675f,\u5373\u5c06\u5f00\u59cb\u5b89\u88c5\u5de5\u4f5c");
  robot::ControlView folder = Control(w, "FolderLb");
  EXPECT_EQ(folder.text, kTarget);
  EXPECT_EQ(folder.width, 200);
  w.UserClick(e2e::kNext);
  ASSERT_TRUE(w.WaitPage(5, 60000));
  w.Settle();
  ExpectHeader(w, L"\u5b89\u88c5\u5b8c\u6bd5", L"\u5df2\u7ecf\u5b8c\u6210\u672c\u8f6f\u4ef6\u7684\u6240\u6709\u5b89\u88c5\u5de5\u4f5c");
  EXPECT_EQ(Control(w, "Label6").text, L"\u8bf7\u53cc\u51fb\u684c\u9762\u7684" + kProduct + L"\u56fe\u6807\u8fd0\u884c\u8f6f\u4ef6\u3002");
  EXPECT_FALSE(Control(w, "NoSuchControl").found);
}

TEST_F(InstallTest, FolderPageMessages) {
  Wizard w(SetupExe());
  ASSERT_TRUE(w.Found());
  ToFolderPage(w);
  const std::wstring noFolder = L"\u8bf7\u9009\u62e9\u76ee\u6807\u6587\u4ef6\u5939!";
  const std::wstring fullPath = L"\u5fc5\u987b\u6307\u5b9a\u5b8c\u5168\u8def\u5f84!\r\n\u6bd4\u5982:\r\nC:\\KORVA-Y";
  const std::wstring root = L"\u4e0d\u80fd\u5b89\u88c5\u5230\u9a71\u52a8\u5668\u7684\u6839\u76ee\u5f55\u4e0b!";
  const std::wstring createFailed = L"\u521b\u5efa\u5b50\u6587\u4ef6\u5939\u5931\u8d25\uff01";
  const std::wstring noUsb =
      L"\u5b89\u88c5\u63d0\u793a\uff1a\u672a\u68c0\u6d4b\u5230U\u76d8\uff01\u5fc5\u987b\u5b89\u88c5\u5230U\u76d8\u624d"
      L"\u80fd\u6b63\u5e38\u4f7f\u7528\uff01";
  struct Case {
    std::wstring text;
    std::vector<std::wstring> messages;
    int page;
  };
  const Case cases[] = {
      {L"   ", {noFolder}, 2},
      {L"Tools\\App", {fullPath}, 2},
      {L"\\\\server\\share\\app", {fullPath}, 2},
      {L"E:", {root}, 2},
      {L"E:\\", {root}, 2},
      {L"Q:\\New\\App", {createFailed, noUsb}, 2},  // no drive Q:; Q:\ is not the USB drive
      {L"e:\\Lower", {noUsb}, 3},                    // the drive comparison is exact
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(WideToGbk(c.text));
    w.SetFolderText(c.text);
    EXPECT_EQ(NextOnFolderPage(w), c.messages);
    ASSERT_TRUE(w.WaitPage(c.page, 3000));
    if (c.page == 3) {
      w.UserClick(e2e::kBack);
      ASSERT_TRUE(w.WaitPage(2));
      EXPECT_EQ(w.FolderText(), c.text);  // as accepted
    }
  }
  // Blanks around the text are trimmed and written back; missing levels are created; a
  // folder on the fixed disk draws the warning and is accepted.
  w.SetFolderText(L"  C:\\VxE2E\\New\\Deeper  ");
  EXPECT_EQ(NextOnFolderPage(w), std::vector<std::wstring>{noUsb});
  ASSERT_TRUE(w.WaitPage(3));
  EXPECT_TRUE(Exists(L"C:\\VxE2E\\New\\Deeper"));
  w.UserClick(e2e::kBack);
  ASSERT_TRUE(w.WaitPage(2));
  EXPECT_EQ(w.FolderText(), L"C:\\VxE2E\\New\\Deeper");
  // A folder that does not fit the record's 128 bytes is refused before anything is made.
  const std::wstring tooLong = L"E:\\VxLong\\" + std::wstring(120, L'a');
  w.SetFolderText(tooLong);
  EXPECT_EQ(NextOnFolderPage(w), std::vector<std::wstring>{GbkToWide(kFolderTooLongText)});
  EXPECT_EQ(w.Page(), 2);
  EXPECT_FALSE(Exists(L"E:\\VxLong"));
  // Trailing backslashes are dropped before the folder is stored.
  w.SetFolderText(L"E:\\VxTrail\\\\");
  EXPECT_TRUE(NextOnFolderPage(w).empty());
  ASSERT_TRUE(w.WaitPage(3));
  EXPECT_EQ(Control(w, "FolderLb").text, L"E:\\VxTrail");
  EXPECT_EQ(w.FolderText(), L"E:\\VxTrail");
}

TEST_F(InstallTest, BrowseFillsTheFolderBox) {
  Wizard w(SetupExe());
  ASSERT_TRUE(w.Found());
  ToFolderPage(w);
  // The browse button is drawn by its page at (408, 99), 25 x 20.
  auto browse = [&] { robot::ClickAt(w.PageWindow(2), 408 + 12, 99 + 10); };
  browse();
  robot::Box picker = w.Box();
  ASSERT_TRUE(picker);
  robot::Press(picker, IDCANCEL);
  EXPECT_EQ(w.FolderText(), kTarget);  // cancelled: unchanged
  // The picker opens on the desktop; taking it gives the desktop folder + \ + ProductFolder.
  browse();
  picker = w.Box();
  ASSERT_TRUE(picker);
  robot::Press(picker, IDOK);
  w.Settle();
  EXPECT_EQ(w.FolderText(), ShellFolder(L"Desktop") + L"\\KORVA-Y");
  // Cancel answered Yes ends the program.
  w.UserClick(e2e::kCancel);
  robot::Box q = w.Box();
  ASSERT_TRUE(q);
  robot::Press(q, IDYES);
  EXPECT_TRUE(w.Proc().WaitExit(10000));
  EXPECT_EQ(w.Proc().ExitCode(), 0u);
}

TEST_F(InstallTest, BackAgreeAndCancel) {
  Wizard w(SetupExe());
  ASSERT_TRUE(w.Found());
  ASSERT_TRUE(w.WaitPage(0));
  w.UserClick(e2e::kNext);
  ASSERT_TRUE(w.WaitPage(1));
  // Back from the licence page hides Agree; Next shows it again.
  w.UserClick(e2e::kBack);
  ASSERT_TRUE(w.WaitPage(0));
  EXPECT_FALSE(w.ButtonShown(e2e::kAgree));
  EXPECT_FALSE(w.ButtonShown(e2e::kBack));
  w.UserClick(e2e::kNext);
  ASSERT_TRUE(w.WaitPage(1));
  EXPECT_TRUE(w.ButtonShown(e2e::kAgree));
  // Cancel answered No leaves the page and Agree as they were.
  w.UserClick(e2e::kCancel);
  robot::Box q = w.Box();
  ASSERT_TRUE(q);
  EXPECT_EQ(q.caption, L"Confirm");
  EXPECT_EQ(robot::Text(GetDlgItem(q.hwnd, IDYES)), L"Yes");
  EXPECT_EQ(robot::Text(GetDlgItem(q.hwnd, IDNO)), L"No");
  robot::Press(q, IDNO);
  EXPECT_EQ(w.Page(), 1);
  EXPECT_TRUE(w.ButtonShown(e2e::kAgree));
  // Agree once; afterwards it stays out of view and Next leaves the licence page.
  EXPECT_EQ(w.UserClick(e2e::kNext), e2e::kAgree);
  ASSERT_TRUE(w.WaitPage(2));
  w.UserClick(e2e::kBack);
  ASSERT_TRUE(w.WaitPage(1));
  EXPECT_EQ(w.UserClick(e2e::kNext), e2e::kNext);
  ASSERT_TRUE(w.WaitPage(2));
  EXPECT_TRUE(NextOnFolderPage(w).empty());
  ASSERT_TRUE(w.WaitPage(3));
  w.UserClick(e2e::kBack);
  ASSERT_TRUE(w.WaitPage(2));
  EXPECT_EQ(w.FolderText(), kTarget);
  // Closing the window asks the same question; Yes ends the program.
  w.RequestClose();
  robot::Box close = w.Box();
  ASSERT_TRUE(close);
  robot::Press(close, IDYES);
  EXPECT_TRUE(w.Proc().WaitExit(10000));
  EXPECT_EQ(w.Proc().ExitCode(), 0u);  // ended by the terminate request, not by a fault
}

// Denies writing values under a key for as long as this Wine server runs.
void LockKey(const std::wstring& path) {
  HKEY key;
  RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  EXPLICIT_ACCESSW ea{};
  ea.grfAccessPermissions = KEY_READ;
  ea.grfAccessMode = SET_ACCESS;
  ea.grfInheritance = NO_INHERITANCE;
  ea.Trustee.TrusteeForm = TRUSTEE_IS_NAME;
  ea.Trustee.ptstrName = const_cast<wchar_t*>(L"EVERYONE");
  PACL acl = nullptr;
  SetEntriesInAclW(1, &ea, nullptr, &acl);
  SECURITY_DESCRIPTOR sd;
  InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
  SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE);
  SetSecurityDescriptorControl(&sd, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
  RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd);
  LocalFree(acl);
  RegCloseKey(key);
}

void UnlockKey(const std::wstring& path) {
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, WRITE_DAC, &key) != ERROR_SUCCESS) return;
  SECURITY_DESCRIPTOR sd;
  InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
  SetSecurityDescriptorDacl(&sd, TRUE, nullptr, FALSE);  // no DACL: everyone
  RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd);
  RegCloseKey(key);
}

TEST_F(InstallTest, FailedRunHoldsTheCopyingPageUntilClosed) {
  LockKey(kKeyPublisher);
  Wizard w(SetupExe());
  ASSERT_TRUE(w.Found());
  ToFolderPage(w);
  EXPECT_TRUE(NextOnFolderPage(w).empty());
  ASSERT_TRUE(w.WaitPage(3));
  w.UserClick(e2e::kNext);
  robot::Box error = w.Box(30000);
  ASSERT_TRUE(error);
  EXPECT_EQ(error.text, L"Failed to set data for 'Site'.");
  EXPECT_EQ(error.caption, kProduct + L" \u5b89\u88c5\u5411\u5bfc");
  Shot(w, "page4-failed-run");
  robot::Press(error, IDOK);
  EXPECT_EQ(w.Page(), 4);
  ExpectHeader(w, L"\u6b63\u5728\u5b89\u88c5...", L"\u5b89\u88c5\u7a0b\u5e8f\u6b63\u5728\u590d\u5236\u6587\u4ef6,\u6ce8\u518c\u4fe1\u606f,\u521b\u5efa\u5feb\u6377\u65b9\u5f0f");
  EXPECT_TRUE(Exists(kTarget + L"\\K_rv.cx"));  // written before the registry step
  // The run ended early: closing is allowed without a question.
  w.RequestClose();
  EXPECT_TRUE(w.Proc().WaitExit(10000));
  EXPECT_EQ(w.Proc().ExitCode(), 0u);  // ended by the terminate request, not by a fault
  UnlockKey(kKeyPublisher);
}

TEST_F(InstallTest, SecondStartAsksBeforeOverwriting) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKeyInstalled.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  DWORD one = 1;
  RegSetValueExW(key, L"Setup", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
  RegCloseKey(key);
  robot::Process p(SetupExe());
  robot::Box q = robot::WaitBox(p.Id(), 20000);
  ASSERT_TRUE(q);
  EXPECT_EQ(q.caption, L"Confirm");
  EXPECT_EQ(q.text, L"Vexaro\u8f6f\u4ef6\u5df2\u7ecf\u5b89\u88c5,\u8986\u76d6\u539f\u6765\u4ee5\u524d\u7684\u5417?  ");
  robot::Press(q, IDNO);
  EXPECT_TRUE(p.WaitExit(10000));
  EXPECT_EQ(p.ExitCode(), 0u);
}

TEST_F(InstallTest, StagingFailureIsReportedAndEnds) {
  // A folder standing where the staging file goes makes its creation fail, as an
  // unwritable executable folder would.
  const std::wstring dir = L"C:\\VxE2E\\ReadOnly";
  ASSERT_EQ(SHCreateDirectoryExW(nullptr, (dir + L"\\tmp.cx").c_str(), nullptr), ERROR_SUCCESS);
  ASSERT_TRUE(CopyFileW(SetupExe().c_str(), (dir + L"\\setup.exe").c_str(), FALSE));
  robot::Process p(dir + L"\\setup.exe");
  robot::Box error = robot::WaitBox(p.Id(), 20000);
  ASSERT_TRUE(error);
  EXPECT_EQ(error.caption, L"setup");  // the product's title is not known yet
  EXPECT_EQ(error.text.rfind(L"Cannot create file \"" + dir + L"\\tmp.cx\". ", 0), 0u) << WideToGbk(error.text);
  // Ends in a full stop: appended, or the system text's own ideographic one.
  EXPECT_TRUE(error.text.back() == L'.' || error.text.back() == L'\u3002') << WideToGbk(error.text);
  robot::Press(error, IDOK);
  EXPECT_TRUE(p.WaitExit(10000));
  EXPECT_EQ(p.ExitCode(), 0u);
  // Nothing was installed or recorded.
  EXPECT_FALSE(Exists(kTarget));
  EXPECT_EQ(RegString(kKeyInstalled, L"Folder"), L"<missing>");
}

// A copy of setup.exe whose record carries a wrong pack checksum.
std::wstring DamagedCopy() {
  wchar_t tmp[MAX_PATH];
  GetTempPathW(MAX_PATH, tmp);
  std::wstring copy = std::wstring(tmp) + L"setup-damaged.exe";
  CopyFileW(SetupExe().c_str(), copy.c_str(), FALSE);
  Embedded e = ReadEmbedded(SetupExe());
  e.config.MutableRecord().PackChecksum.Set(static_cast<int32_t>(e.config.Record().PackChecksum.GetU() + 1));
  Bytes ini = CompressResource(e.config.Bytes());
  HANDLE h = BeginUpdateResourceW(copy.c_str(), FALSE);
  UpdateResourceW(h, MAKEINTRESOURCEW(10), L"SETUPINI", MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), ini.data(),
                  static_cast<DWORD>(ini.size()));
  EndUpdateResourceW(h, FALSE);
  return copy;
}

TEST_F(InstallTest, DamagedPackAsksAndInstallsOnYes) {
  std::wstring exe = DamagedCopy();
  const std::wstring question = L"\u6587\u4ef6\u8d44\u6e90\u6821\u6838\u4e0d\u5b8c\u6574,\u7ee7\u7eed\u5417?";
  {
    robot::Process p(exe);
    robot::Box q = robot::WaitBox(p.Id(), 20000);
    ASSERT_TRUE(q);
    EXPECT_EQ(q.text, question);
    robot::Press(q, IDNO);
    EXPECT_TRUE(p.WaitExit(10000));
    EXPECT_EQ(p.ExitCode(), 0u);
  EXPECT_EQ(p.ExitCode(), 0u);
  }
  // Yes: the wizard comes up and installs from the pack as loaded.
  std::wstring seen;
  Wizard w(exe, 30000, [&](DWORD pid) {
    robot::Box q = robot::WaitBox(pid, 20000);
    seen = q.text;
    if (q) robot::Press(q, IDYES);
  });
  EXPECT_EQ(seen, question);
  ASSERT_TRUE(w.Found());
  ToFolderPage(w);
  EXPECT_TRUE(NextOnFolderPage(w).empty());
  ASSERT_TRUE(w.WaitPage(3));
  w.UserClick(e2e::kNext);
  ASSERT_TRUE(w.WaitPage(5, 60000));
  EXPECT_TRUE(Exists(kTarget + L"\\Readme.txt"));
  w.Proc().Kill();
  DeleteFileW(exe.c_str());
}

// --- the sample product's uninstaller ---

class UninstallTest : public InstallTest {
 protected:
  // Installs into the default folder on the removable drive through the wizard.
  void Install() {
    Wizard w(SetupExe());
    ASSERT_TRUE(w.Found());
    ToFolderPage(w);
    ASSERT_TRUE(NextOnFolderPage(w).empty());
    ASSERT_TRUE(w.WaitPage(3));
    w.UserClick(e2e::kNext);
    if (!w.WaitPage(5, 60000)) {
      robot::Box box = w.Box(100);
      FAIL() << "no finish page; page " << w.Page() << ", box: " << WideToGbk(box.text);
    }
    robot::Click(w.StartProgramCheck());
    w.Settle();
    w.UserClick(e2e::kFinish);
    ASSERT_TRUE(w.Proc().WaitExit(10000));
    product = ReadEmbedded(SetupExe());
    ASSERT_EQ(GbkToWide(product.config.File(product.config.FileCount() - 1).Name.Text()), L"\\uninstall.exe");
  }
  std::wstring Group() { return ShellFolder(L"Programs") + L"\\" + kProduct; }
  std::wstring UninstallShortcut() { return Group() + L"\\\u5378\u8f7d" + kProduct + L".lnk"; }
  // Answers the question with Yes and returns the closing message's text.
  std::wstring ConfirmAndFinish(robot::Process& p) {
    robot::Box q = robot::WaitBox(p.Id(), 20000);
    EXPECT_TRUE(q);
    if (!q) return {};
    EXPECT_EQ(q.caption, L"Confirm");
    EXPECT_EQ(q.text, GbkToWide(kUninstallQuestionHead) + kProduct + GbkToWide(kUninstallQuestionTail));
    robot::Press(q, IDYES);
    robot::Box done = robot::WaitBox(p.Id(), 30000);
    EXPECT_TRUE(done);
    if (!done) return {};
    EXPECT_EQ(done.caption, kProduct + GbkToWide(kUninstallTitleSuffix));
    robot::Press(done, IDOK);
    EXPECT_TRUE(p.WaitExit(10000));
    EXPECT_EQ(p.ExitCode(), 0u);
    return done.text;
  }
  // What the installation made, apart from the product folder itself.
  void ExpectInstallationGone() {
    for (int i = 0; i < product.config.FileCount(); ++i)
      EXPECT_FALSE(Exists(kTarget + GbkToWide(product.config.File(i).Name.Text())))
          << product.config.File(i).Name.Text();
    EXPECT_FALSE(Exists(kTarget + L"\\K_rv.cx"));
    EXPECT_FALSE(Exists(Group()));
    for (int i = 0; i < product.config.ShortcutCount(); ++i)
      EXPECT_FALSE(Exists(ShellFolder(L"Desktop") + L"\\" + GbkToWide(product.config.Shortcut(i).Caption.Text()) +
                          L".lnk"));
    HKEY key;
    for (const std::wstring& k : {kKeyPublisher, kKeyUninstall}) {
      EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, k.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS) << WideToGbk(k);
    }
  }
  Embedded product;
};

TEST_F(UninstallTest, FromTheShortcutKeepsTheUsersFile) {
  ASSERT_NO_FATAL_FAILURE(Install());
  const std::wstring mine = kTarget + L"\\Help\\Mine.txt";
  HANDLE f = CreateFileW(mine.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(f, INVALID_HANDLE_VALUE);
  CloseHandle(f);
  // Started as the shell starts a shortcut: its target, in its working folder.
  LinkInfo link = ReadLink(UninstallShortcut());
  EXPECT_EQ(link.workingDir, kTarget + L"\\");
  robot::Process p(link.path);
  EXPECT_EQ(ConfirmAndFinish(p), kProduct + GbkToWide(kUninstalledTail) + GbkToWide(kUserFilesKeptText) + kTarget);
  // The uninstaller's copy removes it once it has ended.
  EXPECT_TRUE(robot::WaitFor([&]() -> HWND { return Exists(kTarget + L"\\uninstall.exe") ? nullptr : HWND(1); },
                             15000));
  ExpectInstallationGone();
  EXPECT_TRUE(Exists(mine));
  EXPECT_EQ(RegString(kKeyInstalled, L"Folder"), L"<missing>");
}

TEST_F(UninstallTest, FromTheUninstallEntryRemovesTheFolder) {
  ASSERT_NO_FATAL_FAILURE(Install());
  // Started in the product folder, as a shell running the entry's command may do.
  robot::Process p(RegString(kKeyUninstall, L"UninstallString"));
  EXPECT_EQ(ConfirmAndFinish(p), kProduct + GbkToWide(kUninstalledTail));
  EXPECT_TRUE(robot::WaitFor([&]() -> HWND { return Exists(kTarget) ? nullptr : HWND(1); }, 15000));
  ExpectInstallationGone();
}

TEST_F(UninstallTest, DamagedOrMissingRecordRemovesNothing) {
  ASSERT_NO_FATAL_FAILURE(Install());
  const std::wstring record = kTarget + L"\\K_rv.cx";
  for (bool missing : {false, true}) {
    SCOPED_TRACE(missing ? "missing" : "damaged");
    if (missing) {
      ASSERT_TRUE(DeleteFileW(record.c_str()));
    } else {
      HANDLE f = CreateFileW(record.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, 0, nullptr);
      DWORD written = 0;
      WriteFile(f, "\x10\x00\x00\x00 damaged", 12, &written, nullptr);
      CloseHandle(f);
    }
    robot::Process p(kTarget + L"\\uninstall.exe");
    robot::Box box = robot::WaitBox(p.Id(), 20000);
    ASSERT_TRUE(box);
    EXPECT_EQ(box.text, GbkToWide(kRecordUnreadableText) + record);
    robot::Press(box, IDOK);
    EXPECT_TRUE(p.WaitExit(10000));
    EXPECT_EQ(p.ExitCode(), 2u);
    for (int i = 0; i < product.config.FileCount(); ++i)
      EXPECT_TRUE(Exists(kTarget + GbkToWide(product.config.File(i).Name.Text())));
    EXPECT_TRUE(Exists(UninstallShortcut()));
    EXPECT_EQ(RegString(kKeyInstalled, L"Folder"), kTarget);
  }
}

}  // namespace
