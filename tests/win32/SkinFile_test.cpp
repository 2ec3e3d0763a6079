// The Windows side of skin files: temporary folder and GUID names, and a skin loaded through
// them with GBK paths.
#include <gtest/gtest.h>
#include <windows.h>

#include <regex>

#include "framework/Application.h"
#include "framework/FileUtil.h"
#include "framework/Forms.h"
#include "framework/Streams.h"
#include "framework/Text.h"
#include "skin/VEL2SkinWriter.h"
#include "skin/VELMgr.h"

namespace {

TEST(SkinFileWin, TempFolderAndGuid) {
  std::string temp = TempFolder();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), '\\');
  std::string a = NewGuidText(), b = NewGuidText();
  EXPECT_TRUE(std::regex_match(a, std::regex("\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}"))) << a;
  EXPECT_NE(a, b);
}

TEST(SkinFileWin, ThemeFileFolders) {
  for (const std::string& folder : {ExeFolder(), WindowsFolder(), SystemFolder()}) {
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\');
    DWORD attr = GetFileAttributesW(GbkToWide(folder).c_str());
    EXPECT_TRUE(attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY)) << folder;
  }
  // A file of the system folder is found by its name alone.
  EXPECT_EQ(ResolveThemeFile("C:\\nowhere\\kernel32.dll"), SystemFolder() + "kernel32.dll");
  EXPECT_EQ(ResolveThemeFile("C:\\nowhere\\no-such-skin.ssk"), "");
}

TEST(SkinFileWin, LoadsFromAGbkPathAndLeavesNoTemporaryFile) {
  std::string dir = TempFolder() + "\xC6\xA4\xB7\xF4";  // "皮肤" in GBK
  CreateDirectoryW(GbkToWide(dir).c_str(), nullptr);
  std::string skin = dir + "\\Blue.ssk";
  std::vector<Sk2Item> items = {Sk2Item::Integer("SKIN2_FORMCOLOR", 0xFCF2EA), Sk2Item::Boolean("SKIN2_BUTTONTRANS", true)};
  std::vector<uint8_t> file = BuildSkinContainer(BuildSk2Data(items));
  {
    TFileStream out(skin, FileMode::Create);
    out.WriteBuffer(file.data(), file.size());
  }
  auto countTemp = [] {
    WIN32_FIND_DATAW fd;
    int n = 0;
    HANDLE h = FindFirstFileW(GbkToWide(TempFolder() + "{*}").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do ++n;
      while (FindNextFileW(h, &fd));
      FindClose(h);
    }
    return n;
  };
  int before = countTemp();
  TvelFileThemeMgr mgr;
  ASSERT_TRUE(mgr.LoadSkinFile(skin, ""));
  EXPECT_EQ(mgr.GetColor(2), 0xFCF2EA);
  EXPECT_EQ(mgr.GetBool(5), 1);
  EXPECT_EQ(countTemp(), before);
  EXPECT_TRUE(FileExists(skin));
  EXPECT_TRUE(RemoveFile(skin));
  EXPECT_FALSE(FileExists(skin));
  RemoveDirectoryW(GbkToWide(dir).c_str());
}

// A skin control as the file theme sees it.
class RecordingThemable : public TComponent, public IvelThemable {
 public:
  using TComponent::TComponent;
  const char* ClassName() const override { return "TvelRecording"; }
  void SetFileTheme(TvelFileTheme* theme) override {
    theme_ = theme;
    ++sets;
  }
  TvelFileTheme* GetFileTheme() const override { return theme_; }
  void SetUIStyle(TvelUIStyle) override {}
  TvelUIStyle GetUIStyle() const override { return TvelUIStyle::FromThemeFile; }
  bool IsFormFrame() const override { return true; }
  int sets = 0;

 private:
  TvelFileTheme* theme_ = nullptr;
};

TEST(SkinFileWin, ThemeOnAFormRereadsItsControls) {
  std::string skin = TempFolder() + "ThemeOnAForm.ssk";
  std::vector<Sk2Item> items = {Sk2Item::Integer("SKIN2_FORMCOLOR", 0xFCF2EA)};
  std::vector<uint8_t> file = BuildSkinContainer(BuildSk2Data(items));
  {
    TFileStream out(skin, FileMode::Create);
    out.WriteBuffer(file.data(), file.size());
  }
  ASSERT_NE(Application, nullptr);  // the application object sets up the window classes
  TForm form(nullptr);
  EXPECT_TRUE(IsFormComponent(&form));
  auto* theme = new TvelFileTheme(&form);
  auto* control = new RecordingThemable(&form);
  control->SetFileTheme(theme);
  theme->SetThemeFile(skin);
  EXPECT_TRUE(theme->Ready());
  EXPECT_EQ(control->sets, 3);  // its own assignment, then none and back
  form.HandleNeeded();
  theme->SetThemeFile(skin);  // a second skin on a themed form with a window: frame recomputed
  EXPECT_EQ(control->sets, 5);
  RemoveFile(skin);
}

}  // namespace
