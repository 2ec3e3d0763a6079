#include <gtest/gtest.h>

#include "TestProduct.h"
#include "installer/AuxActions.h"
#include "installer/InstallRun.h"
#include "installer/Startup.h"
#include "resources/sample/app/Uninstaller.h"

namespace {

const std::string kFolder = "E:\\KORVA-Y", kSelf = kFolder + "\\uninstall.exe";
const std::string kGroup = "C:\\users\\test\\Start Menu\\Programs\\Vexaro U盘加密";
const std::string kDesktop = "C:\\users\\test\\Desktop";

// The sample's shape, installed by the real run onto the fake machine, beside what other
// programs keep in the same places.
class UninstallerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    product.AddFile("\\Blue.ssk", "skin");
    int exe = product.AddFile("\\KORVA-Y.exe", "MZ");
    int guide = product.AddFile("\\Help\\Deep\\Guide.txt", "guide");
    product.AddFile("\\uninstall.exe", "MZ uninstall");
    product.AddFile("\\*.txt", "");
    product.AddShortcut("Vexaro", exe, 2);
    product.AddShortcut("帮助", guide, 0);
    product.AddShortcut("说明", guide, 1);
    product.AddRegistryValue("Lang", true, "Software\\KorvaSoft\\Prefs", 1);
    product.AddRegistryValue("Count", false, "\\Software\\Shared", 2);
    product.AddRegistryValue("Never", false, "\\Software\\Shared", 3);
    product.Install(fake);
    AddUserProfile(fake);
    fake.exePath = "E:\\setup.exe";
    fake.AddDrive("E:\\", kDriveRemovable);
    fake.AddDir("E:\\");
    StartupResult started = FormCreate(fake, form);
    ASSERT_EQ(started.outcome, StartupOutcome::Ready) << started.errorText;
    form.Config.SetTargetFolder(kFolder);
    fake.AddDir(kFolder);
    NullCopyPageView page;
    RunInstallation(fake, form, page);
    ASSERT_TRUE(fake.FileExists(kFolder + "\\K_rv.cx"));
    // Not the installation's: they stay.
    fake.SetRegString(RegRoot::CurrentUser, "Software\\KorvaSoft\\Prefs", "Theme", "Blue");
    fake.SetRegString(RegRoot::LocalMachine, "\\Software\\Shared", "Never", "theirs");
    fake.AddFile(kDesktop + "\\Other.lnk", "");
    fake.processes = {{1, "KORVA-Y.exe"}, {2, "KORVA-AUX.exe"}, {3, "uninstall.exe"}, {4, "notepad.exe"}};
    fake.dialogs.clear();
    fake.messages.clear();
  }
  const FakeRegValue* Machine(const std::string& key, const std::string& name) {
    return fake.RegValue(RegRoot::LocalMachine, key, name);
  }
  TestProduct product;
  FakePlatform fake;
  MainFormState form;
};

TEST_F(UninstallerTest, RemovesWhatTheInstallationMadeAndKeepsTheUsersFiles) {
  fake.AddFile(kFolder + "\\Help\\Mine.txt", "mine");
  fake.SetRegString(RegRoot::LocalMachine, "\\Software\\KorvaSoft\\Other", "Folder", "E:\\Other");
  UninstallResult r = RunUninstall(fake, kSelf);
  EXPECT_EQ(r.outcome, UninstallOutcome::Done);
  EXPECT_FALSE(r.folderEmptied);
  EXPECT_EQ(fake.dialogs, (std::vector<std::string>{"您确实要从计算机中完全删除“Vexaro U盘加密”及其所有组件吗?",
                                                    std::string("Vexaro U盘加密") + kUninstalledTail +
                                                        kUserFilesKeptText + kFolder}));
  // Files: the user's file and the running uninstaller are all that is left.
  std::vector<std::string> files = fake.FileKeys();
  std::erase_if(files, [](const std::string& f) { return f.rfind("E:\\", 0) != 0; });
  EXPECT_EQ(files, (std::vector<std::string>{"E:\\KORVA-Y\\HELP\\MINE.TXT", "E:\\KORVA-Y\\UNINSTALL.EXE"}));
  EXPECT_FALSE(fake.DirectoryExists(kFolder + "\\Help\\Deep"));
  EXPECT_TRUE(fake.DirectoryExists(kFolder + "\\Help"));
  // Shortcuts and the group; the desktop keeps what is not ours.
  EXPECT_TRUE(fake.links.empty());
  EXPECT_FALSE(fake.DirectoryExists(kGroup));
  EXPECT_TRUE(fake.FileExists(kDesktop + "\\Other.lnk"));
  // Registry: our values and keys go, other programs' stay.
  EXPECT_FALSE(fake.RegKeyExists(RegRoot::LocalMachine, "\\Software\\KorvaSoft\\KORVA-Y"));
  EXPECT_FALSE(fake.RegKeyExists(RegRoot::LocalMachine, std::string(kUninstallKeyPrefix) + "Vexaro U盘加密"));
  EXPECT_TRUE(fake.RegKeyExists(RegRoot::LocalMachine, kUninstallKeyPrefix));
  EXPECT_EQ(Machine("\\Software\\KorvaSoft", "Site"), nullptr);
  EXPECT_NE(Machine("\\Software\\KorvaSoft\\Other", "Folder"), nullptr);  // so the publisher key stays
  EXPECT_EQ(fake.RegValue(RegRoot::CurrentUser, "Software\\KorvaSoft\\Prefs", "Lang"), nullptr);
  EXPECT_NE(fake.RegValue(RegRoot::CurrentUser, "Software\\KorvaSoft\\Prefs", "Theme"), nullptr);
  EXPECT_EQ(Machine("\\Software\\Shared", "Count"), nullptr);
  EXPECT_NE(Machine("\\Software\\Shared", "Never"), nullptr);  // type 3: the install wrote nothing
  // The siblings and the product's program were ended; the uninstaller itself and others not.
  ASSERT_EQ(fake.processes.size(), 2u);
  EXPECT_EQ(fake.processes[0].exeName, "uninstall.exe");
}

TEST_F(UninstallerTest, EmptiedFolderAndPublisherKeyGo) {
  UninstallResult r = RunUninstall(fake, kSelf);
  EXPECT_TRUE(r.folderEmptied);
  EXPECT_EQ(r.folder, kFolder);
  EXPECT_EQ(fake.messages, std::vector<std::string>{std::string("Vexaro U盘加密") + kUninstalledTail});
  EXPECT_EQ(fake.ListDir(kFolder), std::vector<std::string>{"UNINSTALL.EXE"});
  EXPECT_FALSE(fake.RegKeyExists(RegRoot::LocalMachine, "\\Software\\KorvaSoft"));
}

TEST_F(UninstallerTest, UnreadableRecordOrNoRemovesNothing) {
  const size_t files = fake.FileKeys().size(), links = fake.links.size();
  const std::vector<uint8_t> good(fake.FileContent(kFolder + "\\K_rv.cx").begin(),
                                  fake.FileContent(kFolder + "\\K_rv.cx").end());
  Bytes shortRecord = CompressResource(std::vector<uint8_t>(1000, 0));
  struct Case {
    const char* what;
    std::string record;  // empty: no file
    bool answer;
    UninstallOutcome outcome;
  } cases[] = {
      {"missing", "", true, UninstallOutcome::RecordUnreadable},
      {"not compressed", "garbage bytes", true, UninstallOutcome::RecordUnreadable},
      {"cut short", std::string(good.begin(), good.begin() + 40), true, UninstallOutcome::RecordUnreadable},
      {"too short a record", std::string(shortRecord.data(), shortRecord.data() + shortRecord.size()), true,
       UninstallOutcome::RecordUnreadable},
      {"declined", std::string(good.begin(), good.end()), false, UninstallOutcome::Declined},
  };
  for (const Case& c : cases) {
    fake.RemoveFile(kFolder + "\\K_rv.cx");
    if (!c.record.empty()) fake.AddFile(kFolder + "\\K_rv.cx", c.record);
    fake.messages.clear();
    fake.confirmAnswers = {c.answer};
    EXPECT_EQ(RunUninstall(fake, kSelf).outcome, c.outcome) << c.what;
    EXPECT_EQ(fake.messages.size(), c.answer ? 1u : 0u) << c.what;
    if (c.answer) {
      EXPECT_EQ(fake.messages[0], kRecordUnreadableText + kFolder + "\\K_rv.cx") << c.what;
    }
    EXPECT_EQ(fake.FileKeys().size(), files - (c.record.empty() ? 1 : 0)) << c.what;
    EXPECT_EQ(fake.links.size(), links) << c.what;
    EXPECT_NE(Machine("\\Software\\KorvaSoft\\KORVA-Y", "Folder"), nullptr) << c.what;
    EXPECT_EQ(fake.processes.size(), 4u) << c.what;
  }
}

}  // namespace
