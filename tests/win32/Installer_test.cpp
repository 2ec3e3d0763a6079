// The installer's decisions with the real services inside the throwaway Wine prefix: a
// run of the embedded sample product, the sibling-program terminations and the drive probe.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdlib>
#include <filesystem>

#include "framework/Registry.h"
#include "framework/Text.h"
#include "installer/AuxActions.h"
#include "installer/BaseDef.h"
#include "installer/InstallRun.h"
#include "installer/Platform_win.h"
#include "installer/PubDef.h"
#include "installer/Startup.h"

namespace {

// The real services, with the dialogs recorded instead of shown.
class QuietPlatform : public Win32Platform {
 public:
  std::vector<std::string> messages;
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  bool Confirm(const std::string& text) override {
    messages.push_back(text);
    return true;
  }
};

class NullView : public NullCopyPageView {
 public:
  std::vector<int> progress;
  void SetCopyProgressPosition(int p) override { progress.push_back(p); }
};

std::string ExeFolder() {
  wchar_t buf[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH);
  return FolderPart(WideToGbk(std::wstring_view(buf, n)));
}

std::string TempFolder() {
  wchar_t buf[MAX_PATH];
  DWORD n = GetTempPathW(MAX_PATH, buf);
  return WideToGbk(std::wstring_view(buf, n));
}

std::string FileBytes(const std::string& path) {
  Win32Platform p;
  Bytes b = p.ReadWholeFile(path);
  return std::string(reinterpret_cast<const char*>(b.data()), b.size());
}

struct LinkInfo {
  std::string target, arguments, workingDirectory, iconPath;
  int iconIndex = -1;
};

// Reads a shortcut file back through the shell-link object.
LinkInfo ReadLink(const std::string& file) {
  LinkInfo info;
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link))))
    return info;
  IPersistFile* persist = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
    if (SUCCEEDED(persist->Load(GbkToWide(file).c_str(), STGM_READ))) {
      wchar_t buf[MAX_PATH * 2];
      if (SUCCEEDED(link->GetPath(buf, MAX_PATH * 2, nullptr, SLGP_RAWPATH))) info.target = WideToGbk(buf);
      if (SUCCEEDED(link->GetArguments(buf, MAX_PATH * 2))) info.arguments = WideToGbk(buf);
      if (SUCCEEDED(link->GetWorkingDirectory(buf, MAX_PATH * 2))) info.workingDirectory = WideToGbk(buf);
      int index = -1;
      if (SUCCEEDED(link->GetIconLocation(buf, MAX_PATH * 2, &index))) {
        info.iconPath = WideToGbk(buf);
        info.iconIndex = index;
      }
    }
    persist->Release();
  }
  link->Release();
  return info;
}

class SampleInstall : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    root = TempFolder() + "vx安装测试";
    std::filesystem::remove_all(GbkToWide(root));
  }
  void TearDown() override {
    std::filesystem::remove_all(GbkToWide(root));
    const std::string product = form.Config.Record().ProductName.Text();
    if (!product.empty()) {
      std::error_code ec;
      std::filesystem::remove_all(GbkToWide(GetProgramsDir(platform) + "\\" + product), ec);
      for (const char* name : {"Vexaro U盘加密", "加密盘帮助", "Vexaro U盘加密 (安全模式)"})
        DeleteFileW(GbkToWide(GetDesktopDir(platform) + "\\" + name + ".lnk").c_str());
      RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\KorvaSoft");
      RegDeleteTreeW(HKEY_LOCAL_MACHINE, GbkToWide(std::string(kUninstallKeyPrefix).substr(1) + product).c_str());
    }
    CoUninitialize();
  }
  std::string root;
  QuietPlatform platform;
  MainFormState form;
};

TEST_F(SampleInstall, RunWritesFilesRegistryAndShortcuts) {
  ASSERT_EQ(FormCreate(platform, form).outcome, StartupOutcome::Ready);
  platform.messages.clear();  // an earlier run's overwrite question, if any
  const std::string target = root + "\\KORVA-Y";
  form.Config.SetTargetFolder(target);
  ASSERT_TRUE(MakeDirs(platform, target));
  // A folder standing where a file goes: that file cannot be written, the others are.
  ASSERT_TRUE(platform.MakeDir(target + "\\Readme.txt"));

  NullView view;
  RunInstallation(platform, form, view);
  EXPECT_FALSE(form.InstallRunning);
  EXPECT_EQ(platform.messages, std::vector<std::string>{std::string(kFileErrorText) + target + "\\Readme.txt"});
  EXPECT_EQ(view.progress, (std::vector<int>{0, 14, 28, 42, 57, 71, 85}));

  const SetupConfig& c = form.Config;
  ASSERT_EQ(c.FileCount(), 7);
  Bytes pack = DecompressResource(form.PackResource);
  for (int i = 0; i < c.FileCount(); ++i) {
    std::string name = c.File(i).Name.Text();
    if (name == "\\Readme.txt") continue;
    std::string expected(reinterpret_cast<const char*>(pack.data()) + c.File(i).Offset.Get(),
                         static_cast<size_t>(c.File(i).Size.Get()));
    EXPECT_EQ(FileBytes(target + name), expected) << name;
  }
  auto ini = platform.Resource("SETUPINI");
  EXPECT_EQ(FileBytes(target + "\\K_rv.cx"), std::string(ini.begin(), ini.end()));

  // Every registry value, with its type.
  auto expectString = [](const std::string& key, const std::string& name, const std::string& value) {
    TRegistry reg(KEY_READ);
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey(key, false)) << key;
    EXPECT_EQ(reg.ReadString(name), value) << name;
  };
  expectString("\\Software\\KorvaSoft", "Site", "http://www.korva.example/");
  expectString("\\Software\\KorvaSoft", "Author", "柯尔瓦软件工作室");
  expectString("\\Software\\KorvaSoft\\KORVA-Y", "Version", "3.2.0");
  expectString("\\Software\\KorvaSoft\\KORVA-Y", "Folder", target);
  expectString("\\Software\\KorvaSoft\\KORVA-Y", "Date", "20131120");
  const std::string uninstall = std::string(kUninstallKeyPrefix) + "Vexaro U盘加密";
  expectString(uninstall, "DisplayName", "Vexaro U盘加密");
  expectString(uninstall, "UninstallString", target + "\\uninstall.exe");
  TRegistry state(KEY_READ);
  state.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(state.OpenKey("\\Software\\KorvaSoft\\KORVA-Y", false));
  EXPECT_EQ(state.ReadInteger("Setup"), 1);

  // The shortcut files, read back.
  const std::string group = GetProgramsDir(platform) + "\\Vexaro U盘加密\\";
  const std::string desktop = GetDesktopDir(platform) + "\\";
  ASSERT_NE(group, "\\Vexaro U盘加密\\");
  struct Expected {
    std::string file, target, arguments;
  } links[] = {
      {group + "Vexaro U盘加密.lnk", target + "\\KORVA-Y.exe", ""},
      {desktop + "Vexaro U盘加密.lnk", target + "\\KORVA-Y.exe", ""},
      {group + "使用说明.lnk", target + "\\Readme.txt", ""},
      {desktop + "加密盘帮助.lnk", target + "\\Help\\Guide.txt", ""},
      {group + "Vexaro U盘加密 (安全模式).lnk", target + "\\KORVA-Y.exe", "/safe"},
      {desktop + "Vexaro U盘加密 (安全模式).lnk", target + "\\KORVA-Y.exe", "/safe"},
      {group + "卸载Vexaro U盘加密.lnk", target + "\\uninstall.exe", ""},
  };
  for (const Expected& e : links) {
    LinkInfo info = ReadLink(e.file);
    EXPECT_EQ(info.target, e.target) << e.file;
    EXPECT_EQ(info.arguments, e.arguments) << e.file;
    EXPECT_EQ(info.workingDirectory, FolderPart(e.target)) << e.file;
    EXPECT_EQ(info.iconPath, e.target) << e.file;
    EXPECT_EQ(info.iconIndex, 0) << e.file;
  }
  EXPECT_FALSE(platform.FileExists(desktop + "使用说明.lnk"));  // kind 1: the group only
  EXPECT_FALSE(platform.FileExists(group + "加密盘帮助.lnk"));  // kind 0: the desktop only
}

// --- sibling programs ---

struct Child {
  PROCESS_INFORMATION pi{};
  bool started = false;
  ~Child() {
    if (!started) return;
    if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
  }
  void Start(const std::string& exe) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    std::wstring cmd = L"\"" + GbkToWide(exe) + L"\"";
    started = CreateProcessW(GbkToWide(exe).c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                             &pi) != 0;
  }
  bool EndedWith(DWORD code, DWORD waitMs) {
    if (WaitForSingleObject(pi.hProcess, waitMs) != WAIT_OBJECT_0) return false;
    DWORD exit = 0;
    return GetExitCodeProcess(pi.hProcess, &exit) && exit == code;
  }
};

bool Listed(Platform& p, const std::string& name) {
  for (const ProcessEntry& e : p.Processes())
    if (e.exeName == name) return true;
  return false;
}

TEST(SiblingPrograms, EndedByExactNameOnly) {
  Win32Platform platform;
  const std::string dir = ExeFolder() + "siblings\\";
  Child exact1, exact2, otherCase, second;
  exact1.Start(dir + "a\\KORVA-AUX.exe");
  exact2.Start(dir + "b\\KORVA-AUX.exe");
  otherCase.Start(dir + "c\\korva-aux.exe");
  second.Start(dir + "d\\AUX-H-Up.exe");
  ASSERT_TRUE(exact1.started && exact2.started && otherCase.started && second.started);
  for (int i = 0; i < 100 && !(Listed(platform, "KORVA-AUX.exe") && Listed(platform, "korva-aux.exe") &&
                               Listed(platform, "AUX-H-Up.exe"));
       ++i)
    Sleep(50);
  ASSERT_TRUE(Listed(platform, "korva-aux.exe"));

  Button1Click(platform);
  EXPECT_TRUE(exact1.EndedWith(0xFFFFFFFFu, 5000));
  EXPECT_TRUE(exact2.EndedWith(0xFFFFFFFFu, 5000));
  EXPECT_EQ(WaitForSingleObject(otherCase.pi.hProcess, 300), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_EQ(WaitForSingleObject(second.pi.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  Button2Click(platform);
  EXPECT_TRUE(second.EndedWith(0xFFFFFFFFu, 5000));
  EXPECT_EQ(WaitForSingleObject(otherCase.pi.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

// --- the drive probe; the removable drive is set up by the ctest test that sets
// VX_REMOVABLE_ROOT, since the Wine server has to restart to see it ---

TEST(RemovableDrive, FoundByTheProbe) {
  const char* expected = std::getenv("VX_REMOVABLE_ROOT");
  if (!expected) GTEST_SKIP() << "run by the win32_removable_drive test";
  Win32Platform platform;
  EXPECT_EQ(platform.DriveType(expected), kDriveRemovable);
  EXPECT_NE(platform.LogicalDriveStrings().find(expected), std::string::npos);
  MainFormState form;
  ButtonUClick(platform, form);
  EXPECT_EQ(form.LabelPFCaption, expected);
}

TEST(RemovableDrive, NoneMeansTheDesignValue) {
  if (std::getenv("VX_REMOVABLE_ROOT")) GTEST_SKIP();
  Win32Platform platform;
  MainFormState form;
  ButtonUClick(platform, form);
  // A fresh prefix has no removable drive.
  EXPECT_EQ(form.LabelPFCaption, "C:\\");
}

}  // namespace
