#include <gtest/gtest.h>

#include <deque>
#include <functional>

#include "TestProduct.h"
#include "installer/Startup.h"

namespace {

// A double-byte character whose second byte is a backslash.
const std::string kTrail5C = "\x87\x5c";

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake.exePath = "D:\\Downloads\\setup.exe";
    fake.AddDir("D:\\Downloads");
    fake.AddDrive("C:\\", kDriveFixed);
    fake.AddDrive("D:\\", kDriveFixed);
  }
  StartupResult Start() {
    product.Install(fake, goodChecksum);
    return FormCreate(fake, form);
  }
  const std::string kStateKey = "\\Software\\KorvaSoft\\KORVA-Y";
  FakePlatform fake;
  TestProduct product;
  MainFormState form;
  bool goodChecksum = true;
};

TEST_F(StartupTest, FirstStartWithoutRemovableDrive) {
  product.AddFile("\\a.txt", "abc");
  StartupResult r = Start();
  EXPECT_EQ(r.outcome, StartupOutcome::Ready);
  EXPECT_EQ(form.LabelPFCaption, "C:\\");
  EXPECT_EQ(form.ApplicationTitle, "Vexaro U盘加密 安装向导");
  EXPECT_EQ(form.PublisherKeyPath, "\\Software\\KorvaSoft");
  EXPECT_EQ(form.InstalledStateKeyPath, kStateKey);
  EXPECT_FALSE(form.InstalledFlag);
  EXPECT_EQ(form.Config.TargetFolder(), "C:\\KORVA-Y");
  EXPECT_TRUE(fake.dialogs.empty());
  ASSERT_FALSE(form.PackResource.empty());
  EXPECT_EQ(PackInflater(form.PackResource).Size(), 3u);
  EXPECT_EQ(form.PageIndex, 0);
  // The staged file is gone and the installed-state key was left behind, empty.
  EXPECT_FALSE(fake.FileExists("D:\\Downloads\\tmp.cx"));
  EXPECT_TRUE(fake.RegKeyExists(RegRoot::LocalMachine, kStateKey));
  EXPECT_EQ(fake.RegValueCount(RegRoot::LocalMachine, kStateKey), 0u);
}

TEST(ButtonUClick, LastRemovableDriveInListOrderWins) {
  struct Case {
    const char* what;
    std::vector<std::pair<std::string, int>> drives;
    const char* caption;
  } cases[] = {
      {"no drives", {}, "C:\\"},
      {"fixed only", {{"C:\\", 3}, {"D:\\", 3}}, "C:\\"},
      {"two removable", {{"C:\\", 3}, {"E:\\", 2}, {"F:\\", 5}, {"G:\\", 2}}, "G:\\"},
      {"floppy counts", {{"A:\\", 2}, {"C:\\", 3}, {"F:\\", 2}}, "F:\\"},
      {"cd-rom does not", {{"C:\\", 3}, {"E:\\", 5}}, "C:\\"},
  };
  for (const Case& c : cases) {
    FakePlatform fake;
    fake.drives = c.drives;
    MainFormState form;
    ButtonUClick(fake, form);
    EXPECT_EQ(form.LabelPFCaption, c.caption) << c.what;
  }
}

TEST_F(StartupTest, RemovableDriveGivesTheDefaultFolder) {
  fake.AddDrive("E:\\", kDriveRemovable);
  fake.AddDrive("G:\\", kDriveRemovable);
  Start();
  EXPECT_EQ(form.Config.TargetFolder(), "G:\\KORVA-Y");
}

TEST(StagingPath, BesideTheExecutable) {
  EXPECT_EQ(StagingPath("E:\\setup.exe"), "E:\\tmp.cx");
  EXPECT_EQ(StagingPath("D:\\Downloads\\setup.exe"), "D:\\Downloads\\tmp.cx");
  // The trail byte 0x5C of a double-byte character is no folder separator.
  EXPECT_EQ(StagingPath("D:\\A" + kTrail5C + "\\setup.exe"), "D:\\A" + kTrail5C + "\\tmp.cx");
  EXPECT_EQ(StagingPath("D:\\" + kTrail5C + "setup.exe"), "D:\\tmp.cx");
}

TEST_F(StartupTest, StagingAtADriveRoot) {
  fake.exePath = "E:\\setup.exe";
  fake.AddDir("E:\\");
  fake.AddFile("E:\\tmp.cx", "stale");  // a leftover is replaced, then removed
  EXPECT_EQ(Start().outcome, StartupOutcome::Ready);
  EXPECT_FALSE(fake.FileExists("E:\\tmp.cx"));
  EXPECT_EQ(form.Config.Record().ProductFolder.Text(), "KORVA-Y");
}

// The installed-state record, one row per stored situation.
TEST_F(StartupTest, InstalledStateDecidesTheDefaultFolder) {
  struct Case {
    const char* what;
    std::function<void(FakePlatform&)> set;
    bool flag;
    const char* saved;
    const char* target;
  } cases[] = {
      {"nothing stored", [](FakePlatform&) {}, false, "", "C:\\KORVA-Y"},
      {"saved folder exists",
       [&](FakePlatform& f) {
         f.SetRegDword(RegRoot::LocalMachine, kStateKey, "Setup", 0);
         f.SetRegString(RegRoot::LocalMachine, kStateKey, "Folder", "D:\\Old\\KORVA-Y");
         f.AddDir("D:\\Old\\KORVA-Y");
       },
       false, "D:\\Old\\KORVA-Y", "D:\\Old\\KORVA-Y"},
      {"saved folder deleted since",
       [&](FakePlatform& f) {
         f.SetRegDword(RegRoot::LocalMachine, kStateKey, "Setup", 0);
         f.SetRegString(RegRoot::LocalMachine, kStateKey, "Folder", "D:\\Gone");
       },
       false, "D:\\Gone", "C:\\KORVA-Y"},
      {"three-byte folder is a root",
       [&](FakePlatform& f) {
         f.SetRegDword(RegRoot::LocalMachine, kStateKey, "Setup", 0);
         f.SetRegString(RegRoot::LocalMachine, kStateKey, "Folder", "D:\\");
       },
       false, "D:\\", "C:\\KORVA-Y"},
      {"Setup missing ends the step",
       [&](FakePlatform& f) {
         f.SetRegString(RegRoot::LocalMachine, kStateKey, "Folder", "D:\\Old");
         f.AddDir("D:\\Old");
       },
       false, "", "C:\\KORVA-Y"},
      {"Setup stored as a string ends the step",
       [&](FakePlatform& f) {
         f.SetRegString(RegRoot::LocalMachine, kStateKey, "Setup", "1");
         f.SetRegString(RegRoot::LocalMachine, kStateKey, "Folder", "D:\\Old");
         f.AddDir("D:\\Old");
       },
       false, "", "C:\\KORVA-Y"},
      {"Version of another type ends the step after Setup",
       [&](FakePlatform& f) {
         f.SetRegDword(RegRoot::LocalMachine, kStateKey, "Setup", 0);
         f.SetRegDword(RegRoot::LocalMachine, kStateKey, "Version", 3);
         f.SetRegString(RegRoot::LocalMachine, kStateKey, "Folder", "D:\\Old");
         f.AddDir("D:\\Old");
       },
       false, "", "C:\\KORVA-Y"},
      {"key cannot be opened",
       [&](FakePlatform& f) {
         f.SetRegDword(RegRoot::LocalMachine, kStateKey, "Setup", 1);
         f.MakeKeyUnwritable(RegRoot::LocalMachine, "\\Software");
       },
       false, "", "C:\\KORVA-Y"},
  };
  for (const Case& c : cases) {
    FakePlatform f;
    f.exePath = fake.exePath;
    f.AddDir("D:\\Downloads");
    product.Install(f);
    c.set(f);
    MainFormState s;
    EXPECT_EQ(FormCreate(f, s).outcome, StartupOutcome::Ready) << c.what;
    EXPECT_EQ(s.InstalledFlag, c.flag) << c.what;
    EXPECT_EQ(s.SavedFolder, c.saved) << c.what;
    EXPECT_EQ(s.Config.TargetFolder(), c.target) << c.what;
    EXPECT_TRUE(f.dialogs.empty()) << c.what;
  }
}

TEST_F(StartupTest, EarlierInstallationAsksAndNoEndsWithoutThePack) {
  fake.SetRegDword(RegRoot::LocalMachine, kStateKey, "Setup", 1);
  fake.SetRegString(RegRoot::LocalMachine, kStateKey, "Folder", "D:\\Old");
  fake.AddDir("D:\\Old");
  fake.confirmAnswers = {false};
  EXPECT_EQ(Start().outcome, StartupOutcome::DeclinedOverwrite);
  ASSERT_EQ(fake.dialogs.size(), 1u);
  EXPECT_EQ(fake.dialogs[0], "Vexaro软件已经安装,覆盖原来以前的吗?  ");
  EXPECT_TRUE(form.PackResource.empty());
  EXPECT_EQ(form.PageIndex, -1);
  EXPECT_EQ(form.Config.TargetFolder(), "D:\\Old");
  EXPECT_EQ(fake.RegValueCount(RegRoot::LocalMachine, kStateKey), 2u);  // left as it was
}

TEST_F(StartupTest, EarlierInstallationAnsweredYesGoesOn) {
  fake.SetRegDword(RegRoot::LocalMachine, kStateKey, "Setup", 1);
  EXPECT_EQ(Start().outcome, StartupOutcome::Ready);
  EXPECT_TRUE(form.InstalledFlag);
  EXPECT_EQ(fake.dialogs.size(), 1u);
  EXPECT_FALSE(form.PackResource.empty());
}

TEST_F(StartupTest, DamagedPackAsks) {
  product.AddFile("\\a.txt", "abc");
  goodChecksum = false;
  fake.confirmAnswers = {false};
  EXPECT_EQ(Start().outcome, StartupOutcome::DeclinedPack);
  EXPECT_EQ(fake.dialogs, std::vector<std::string>{"文件资源校核不完整,继续吗?"});
  EXPECT_EQ(form.PageIndex, -1);

  FakePlatform again;
  again.exePath = fake.exePath;
  again.AddDir("D:\\Downloads");
  product.Install(again, false);
  MainFormState s;
  EXPECT_EQ(FormCreate(again, s).outcome, StartupOutcome::Ready);  // Yes installs from the pack as loaded
  EXPECT_EQ(s.PageIndex, 0);
}

// The work overlapped with the verification runs once the overwrite question is answered
// Yes and before the mismatch question; a throwing one changes nothing.
TEST_F(StartupTest, WorkWhileVerifyingRunsBeforeTheChecksumIsNeeded) {
  struct Case {
    const char* what;
    bool installed, goodSum, throws;
    std::deque<bool> answers;
    StartupOutcome outcome;
    int runs;
    size_t dialogsBefore;  // dialogs already shown when it ran
  } cases[] = {
      {"first start", false, true, false, {}, StartupOutcome::Ready, 1, 0},
      {"overwrite answered Yes", true, true, false, {true}, StartupOutcome::Ready, 1, 1},
      {"overwrite answered No", true, true, false, {false}, StartupOutcome::DeclinedOverwrite, 0, 0},
      {"damaged pack declined", false, false, false, {false}, StartupOutcome::DeclinedPack, 1, 0},
      {"it throws", false, true, true, {}, StartupOutcome::Ready, 1, 0},
  };
  for (const Case& c : cases) {
    FakePlatform f;
    f.exePath = fake.exePath;
    f.AddDir("D:\\Downloads");
    if (c.installed) f.SetRegDword(RegRoot::LocalMachine, kStateKey, "Setup", 1);
    f.confirmAnswers = c.answers;
    product.Install(f, c.goodSum);
    MainFormState s;
    int runs = 0;
    size_t dialogsBefore = 0;
    StartupResult r = FormCreate(f, s, [&] {
      ++runs;
      dialogsBefore = f.dialogs.size();
      if (c.throws) throw std::runtime_error("no window");
    });
    EXPECT_EQ(r.outcome, c.outcome) << c.what;
    EXPECT_EQ(runs, c.runs) << c.what;
    EXPECT_EQ(dialogsBefore, c.dialogsBefore) << c.what;
  }
}

TEST_F(StartupTest, UnwritableExecutableFolderFailsWithTheCreationError) {
  fake.unwritableFolders.insert("D:\\DOWNLOADS");
  StartupResult r = Start();
  EXPECT_EQ(r.outcome, StartupOutcome::Failed);
  EXPECT_EQ(r.errorText.rfind("Cannot create file \"D:\\Downloads\\tmp.cx\". ", 0), 0u) << r.errorText;
  EXPECT_EQ(form.ApplicationTitle, "");  // the steps after the error did not run
  EXPECT_TRUE(form.PackResource.empty());
  EXPECT_TRUE(fake.dialogs.empty());  // the caller shows the error box
}

TEST_F(StartupTest, MissingPackFailsAfterTheTitle) {
  product.Install(fake);
  FakePlatform f;
  f.exePath = fake.exePath;
  f.AddDir("D:\\Downloads");
  f.SetResource("SETUPINI", product.ConfigResource());
  StartupResult r = FormCreate(f, form);
  EXPECT_EQ(r.outcome, StartupOutcome::Failed);
  EXPECT_EQ(r.errorText, "Resource SETUPPACK not found");
  EXPECT_EQ(form.ApplicationTitle, "Vexaro U盘加密 安装向导");
  EXPECT_FALSE(f.FileExists("D:\\Downloads\\tmp.cx"));
}

TEST_F(StartupTest, CorruptStagedConfigurationFailsAndLeavesNoStagingFile) {
  FakePlatform f;
  f.exePath = fake.exePath;
  f.AddDir("D:\\Downloads");
  f.SetResource("SETUPINI", {0x10, 0, 0, 0, 0x78, 0xDA, 0xFF, 0xFF, 0xFF});
  StartupResult r = FormCreate(f, form);
  EXPECT_EQ(r.outcome, StartupOutcome::Failed);
  EXPECT_EQ(r.errorText, "Error");
  EXPECT_FALSE(f.FileExists("D:\\Downloads\\tmp.cx"));
}

TEST_F(StartupTest, LongProductNameIsNotCutInTheTitle) {
  product.config.MutableRecord().ProductName.Assign(std::string(128, 'N'));
  Start();
  EXPECT_EQ(form.ApplicationTitle.size(), 137u);
}

// With the verification and the probe of drives, staged record and registry started on
// workers before the form is built, every end of the start-up is the one the
// single-threaded sequence reaches: same outcome, same questions in the same order, same
// error text, same state.
TEST(StartupWorker, EndsAsWithoutIt) {
  struct Case {
    const char* what;
    std::function<void(FakePlatform&, TestProduct&)> set;
    std::deque<bool> answers;
    StartupOutcome outcome;
  } cases[] = {
      {"ready", [](FakePlatform&, TestProduct&) {}, {}, StartupOutcome::Ready},
      {"overwrite answered No", [](FakePlatform& f, TestProduct&) {
         f.SetRegDword(RegRoot::LocalMachine, "\\Software\\KorvaSoft\\KORVA-Y", "Setup", 1);
       }, {false}, StartupOutcome::DeclinedOverwrite},
      {"overwrite Yes, damaged pack No", [](FakePlatform& f, TestProduct& p) {
         f.SetRegDword(RegRoot::LocalMachine, "\\Software\\KorvaSoft\\KORVA-Y", "Setup", 1);
         p.Install(f, false);
       }, {true, false}, StartupOutcome::DeclinedPack},
      {"damaged pack Yes", [](FakePlatform& f, TestProduct& p) { p.Install(f, false); }, {true}, StartupOutcome::Ready},
      {"pack stream cut short", [](FakePlatform& f, TestProduct& p) {
         Bytes b = CompressResource(p.pack);
         f.SetResource("SETUPPACK", std::vector<uint8_t>(b.data(), b.data() + b.size() / 2));
       }, {}, StartupOutcome::Failed},
      {"pack missing", [](FakePlatform& f, TestProduct& p) {
         FakePlatform bare;
         bare.SetResource("SETUPINI", p.ConfigResource());
         f = std::move(bare);
       }, {}, StartupOutcome::Failed},
      {"configuration cannot be staged", [](FakePlatform& f, TestProduct&) {
         f.unwritableFolders.insert("D:\\DOWNLOADS");
         f.AddDrive("E:\\", kDriveRemovable);
       }, {}, StartupOutcome::Failed},
      {"removable drive, earlier folder kept", [](FakePlatform& f, TestProduct&) {
         f.AddDrive("C:\\", kDriveFixed);
         f.AddDrive("F:\\", kDriveRemovable);
         f.SetRegDword(RegRoot::LocalMachine, "\\Software\\KorvaSoft\\KORVA-Y", "Setup", 0);
         f.SetRegString(RegRoot::LocalMachine, "\\Software\\KorvaSoft\\KORVA-Y", "Folder", "D:\\Old");
         f.AddDir("D:\\Old");
       }, {}, StartupOutcome::Ready},
  };
  TestProduct product;
  product.AddFile("\\big.bin", MixedBytes(512 << 10, 7));
  for (const Case& c : cases) {
    StartupResult results[2];
    std::vector<std::string> dialogs[2];
    std::string state[2];
    for (int threaded = 0; threaded < 2; ++threaded) {
      FakePlatform f;
      product.Install(f);
      c.set(f, product);
      f.exePath = "D:\\Downloads\\setup.exe";
      f.AddDir("D:\\Downloads");
      f.confirmAnswers = c.answers;
      MainFormState form;
      StartupProbe probe;
      if (threaded) {
        probe.Start(f);
        form.PackCheck = std::make_unique<PackVerification>();
        form.PackCheck->Start(f);
      }
      results[threaded] = FormCreate(f, form, {}, threaded ? &probe : nullptr);
      dialogs[threaded] = f.dialogs;
      state[threaded] = form.LabelPFCaption + "|" + form.ApplicationTitle + "|" + form.Config.TargetFolder() + "|" +
                        form.InstalledStateKeyPath + "|" + std::to_string(form.InstalledFlag) + "|" +
                        form.SavedFolder + "|" + std::to_string(f.FileExists("D:\\Downloads\\tmp.cx"));
      EXPECT_EQ(form.PackResource.empty(), results[threaded].outcome != StartupOutcome::Ready &&
                                               results[threaded].outcome != StartupOutcome::DeclinedPack)
          << c.what;
    }
    EXPECT_EQ(results[0].outcome, c.outcome) << c.what;
    EXPECT_EQ(results[1].outcome, results[0].outcome) << c.what;
    EXPECT_EQ(results[1].errorText, results[0].errorText) << c.what;
    EXPECT_EQ(dialogs[1], dialogs[0]) << c.what;
    EXPECT_EQ(state[1], state[0]) << c.what;
  }
}

}  // namespace
