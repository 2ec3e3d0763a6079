#include <gtest/gtest.h>

#include "TestProduct.h"
#include "framework/Exceptions.h"
#include "installer/PubDef.h"

namespace {

const std::string kTrail5C = "\x87\x5c";  // a double-byte character ending in 0x5C

TEST(LastPos, FindsTheLastWholeCharacterOccurrence) {
  EXPECT_EQ(LastPos("\\", "C:\\a\\b.txt"), 5);
  EXPECT_EQ(LastPos("/", "C:\\a\\b.txt"), 0);
  EXPECT_EQ(LastPos("abc", "ab"), 0);
  EXPECT_EQ(LastPos("ab", "abxab"), 4);
  EXPECT_EQ(LastPos("", "abc"), 0);
  // GB2312 text has no trail byte below 0xA1: positions are plain byte positions.
  EXPECT_EQ(LastPos("\\", "C:\\软件\\说明.txt"), 8);
  // A trail byte 0x5C is not a backslash.
  EXPECT_EQ(LastPos("\\", "C:\\a\\" + kTrail5C), 5);
  EXPECT_EQ(LastPos("\\", kTrail5C), 0);
}

TEST(ShortenPath, CutsLongPathsToRootAndTail) {
  std::string p40 = "D:\\" + std::string(26, 'x') + "\\Readme.txt";
  ASSERT_EQ(p40.size(), 40u);
  EXPECT_EQ(ShortenPath(p40, 40), p40);
  std::string p41 = "D:\\" + std::string(27, 'x') + "\\Readme.txt";
  EXPECT_EQ(ShortenPath(p41, 40), "D:\\...\\Readme.txt");
  std::string p57 = "D:\\" + std::string(39, 'y') + "\\bin\\Readme.txt";
  ASSERT_EQ(p57.size(), 57u);
  EXPECT_EQ(ShortenPath(p57, 40), "D:\\...\\Readme.txt");
  // No backslash: the tail is the first 40 bytes.
  std::string flat(50, 'z');
  EXPECT_EQ(ShortenPath(flat, 40), "zzz...\\" + std::string(40, 'z'));
  // The tail is at most 40 bytes, whatever the width.
  std::string longName = "D:\\" + std::string(60, 'n');
  EXPECT_EQ(ShortenPath(longName, 10), "D:\\...\\" + std::string(40, 'n'));
  // A name holding a trail byte 0x5C keeps its whole characters.
  std::string gbk = "D:\\" + std::string(40, 'p') + "\\A" + kTrail5C + "B.txt";
  EXPECT_EQ(ShortenPath(gbk, 40), "D:\\...\\A" + kTrail5C + "B.txt");
}

TEST(FolderPart, UpToTheLastBackslash) {
  EXPECT_EQ(FolderPart("D:\\App\\Help\\Guide.txt"), "D:\\App\\Help\\");
  EXPECT_EQ(FolderPart("E:\\setup.exe"), "E:\\");
  EXPECT_EQ(FolderPart("setup.exe"), "");
  EXPECT_EQ(FolderPart("D:\\App\\" + kTrail5C + ".txt"), "D:\\App\\");
}

class FakeFolders : public ::testing::Test {
 protected:
  FakePlatform fake;
};

TEST_F(FakeFolders, MakeDirsCreatesLevelByLevel) {
  fake.AddDir("D:\\");
  EXPECT_TRUE(MakeDirs(fake, "D:\\A\\B"));
  EXPECT_TRUE(fake.DirectoryExists("D:\\A"));
  EXPECT_TRUE(fake.DirectoryExists("D:\\A\\B"));
  EXPECT_TRUE(MakeDirs(fake, "D:\\A\\B\\C\\"));  // a trailing backslash changes nothing
  EXPECT_TRUE(fake.DirectoryExists("D:\\A\\B\\C"));
  EXPECT_TRUE(MakeDirs(fake, ""));
}

TEST_F(FakeFolders, MakeDirsStopsAtAFileAndKeepsWhatItMade) {
  fake.AddDir("D:\\");
  fake.AddFile("D:\\A", "a file");
  EXPECT_FALSE(MakeDirs(fake, "D:\\A\\B"));
  EXPECT_EQ(fake.DirCountUnder("D:\\"), 0u);
  fake.AddDir("D:\\X");
  fake.unwritableFolders.insert("D:\\X\\Y");
  EXPECT_FALSE(MakeDirs(fake, "D:\\X\\Y\\Z\\W"));
  EXPECT_TRUE(fake.DirectoryExists("D:\\X\\Y"));  // made before the failure, and kept
  EXPECT_FALSE(fake.DirectoryExists("D:\\X\\Y\\Z"));
  EXPECT_FALSE(MakeDirs(fake, "Q:\\App"));  // a drive that is not there
}

TEST_F(FakeFolders, MakeDirsDoesNotSplitADoubleByteCharacter) {
  fake.AddDir("D:\\");
  std::string path = "D:\\A" + kTrail5C + "B\\C";
  EXPECT_TRUE(MakeDirs(fake, path));
  EXPECT_TRUE(fake.DirectoryExists("D:\\A" + kTrail5C + "B"));
  EXPECT_FALSE(fake.DirectoryExists("D:\\A\x87"));
  EXPECT_EQ(fake.DirCountUnder("D:\\"), 2u);
}

TEST_F(FakeFolders, ShellFoldersComeFromTheRegistry) {
  EXPECT_EQ(GetDesktopDir(fake), "");
  EXPECT_EQ(GetProgramsDir(fake), "");
  AddUserProfile(fake);
  EXPECT_EQ(GetDesktopDir(fake), "C:\\users\\test\\Desktop");
  EXPECT_EQ(GetProgramsDir(fake), "C:\\users\\test\\Start Menu\\Programs");
  fake.SetRegDword(RegRoot::CurrentUser, kShellFoldersKey, "Desktop", 7);
  EXPECT_THROW(GetDesktopDir(fake), ERegistryException);
}

TEST_F(FakeFolders, ShellLinkStoresTargetIconAndWorkingDirectory) {
  AddUserProfile(fake);
  CreateDesktopShortcut(fake, "E:\\KORVA-Y\\KORVA-Y.exe", "加密", "/safe");
  ASSERT_EQ(fake.linkOrder, std::vector<std::string>{"C:\\users\\test\\Desktop\\加密.lnk"});
  const ShellLinkData& link = fake.links.begin()->second;
  EXPECT_EQ(link.target, "E:\\KORVA-Y\\KORVA-Y.exe");
  EXPECT_EQ(link.arguments, "/safe");
  EXPECT_EQ(link.iconPath, "E:\\KORVA-Y\\KORVA-Y.exe");
  EXPECT_EQ(link.iconIndex, 0);
  EXPECT_EQ(link.workingDirectory, "E:\\KORVA-Y\\");
  EXPECT_EQ(fake.comDepth, 0);
  EXPECT_EQ(fake.comInitCount, 1);
}

TEST_F(FakeFolders, GroupShortcutMakesAndEntersTheGroup) {
  AddUserProfile(fake);
  CreateGroupShortcut(fake, "Vexaro", "E:\\App\\a.exe", "A", "");
  const std::string group = "C:\\users\\test\\Start Menu\\Programs\\Vexaro";
  EXPECT_TRUE(fake.DirectoryExists(group));
  EXPECT_EQ(fake.currentDir, group);
  EXPECT_EQ(fake.linkOrder, std::vector<std::string>{group + "\\A.lnk"});
}

TEST_F(FakeFolders, GroupThatCannotBeEnteredRaises) {
  AddUserProfile(fake);
  fake.unwritableFolders.insert("C:\\USERS\\TEST\\START MENU\\PROGRAMS");
  EXPECT_THROW(CreateGroupShortcut(fake, "Vexaro", "E:\\App\\a.exe", "A", ""), EInOutError);
  fake.AddDir("C:\\users\\test\\Start Menu\\Programs\\Locked");
  fake.unenterableFolders.insert("C:\\USERS\\TEST\\START MENU\\PROGRAMS\\LOCKED");
  EXPECT_THROW(CreateGroupShortcut(fake, "Locked", "E:\\App\\a.exe", "A", ""), EInOutError);
  EXPECT_TRUE(fake.links.empty());
  EXPECT_EQ(fake.comInitCount, 0);
}

TEST_F(FakeFolders, MissingShellFoldersCreateNothingSilently) {
  AddUserProfile(fake);
  fake.SetRegValue(RegRoot::CurrentUser, kShellFoldersKey, "Desktop", {FakeRegType::String, "", 0});
  CreateDesktopShortcut(fake, "E:\\a.exe", "A", "");
  fake.SetRegString(RegRoot::CurrentUser, kShellFoldersKey, "Programs", "C:\\nowhere");
  CreateGroupShortcut(fake, "G", "E:\\a.exe", "A", "");
  EXPECT_TRUE(fake.links.empty());
  EXPECT_TRUE(fake.dialogs.empty());
}

TEST_F(FakeFolders, ComIsBalancedAlsoWhenTheLinkObjectFails) {
  AddUserProfile(fake);
  fake.shellLinkFails = true;
  EXPECT_THROW(CreateDesktopShortcut(fake, "E:\\a.exe", "A", ""), Exception);
  EXPECT_EQ(fake.comDepth, 0);
  fake.shellLinkFails = false;
  fake.comInitFails = true;
  CreateDesktopShortcut(fake, "E:\\a.exe", "A", "");  // no COM: no shortcut, no message
  EXPECT_TRUE(fake.links.empty());
  EXPECT_EQ(fake.comDepth, 0);
}

}  // namespace
