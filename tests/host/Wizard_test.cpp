#include <gtest/gtest.h>

#include "TestProduct.h"
#include "installer/Startup.h"
#include "installer/Wizard.h"

namespace {

// The form as the decisions see it: pages shown, FolderEd, Agree and termination.
class FakeWizard : public WizardView {
 public:
  std::vector<int> shown;
  std::string folder;
  bool agreeVisible = false, agreeAway = false, startProgram = true, terminated = false;
  int repaints = 0;
  NullCopyPageView copyPage;
  void ShowPage(int index) override { shown.push_back(index); }
  void RepaintBeforeRun() override { ++repaints; }
  std::string FolderText() override { return folder; }
  void SetFolderText(const std::string& text) override { folder = text; }
  void SetAgreeVisible(bool v) override { agreeVisible = v; }
  void MoveAgreeOutOfView() override { agreeAway = true; }
  bool StartProgramChecked() override { return startProgram; }
  CopyPageView& CopyPage() override { return copyPage; }
  void Terminate() override { terminated = true; }
  // What the user sees over Next: Agree only while it is visible and in place.
  bool AgreeSeen() const { return agreeVisible && !agreeAway; }
};

class WizardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake.AddDir("C:\\");
    fake.AddDir("D:\\");
    fake.AddDir("E:\\");
    form.Config.MutableRecord().ProductFolder.Assign("KORVA-Y");
    form.Config.MutableRecord().ProductName.Assign("Vexaro U盘加密");
    form.PageIndex = 0;
  }
  bool Validate(const std::string& text) {
    view.folder = text;
    fake.messages.clear();
    return ValidateTargetFolder(fake, form, view);
  }
  FakePlatform fake;
  MainFormState form;
  FakeWizard view;
};

TEST_F(WizardTest, FolderChecksInOrder) {
  const std::string noUsb = kNoUsbDriveText;
  struct Case {
    const char* what;
    std::string labelPF, text, trimmed;
    bool accepted;
    std::vector<std::string> messages;
  } cases[] = {
      {"blank", "E:\\", " \t ", "", false, {kNoFolderText}},
      {"no drive", "E:\\", "Tools\\App", "Tools\\App", false, {kNotFullPathText}},
      {"network path", "E:\\", "\\\\server\\share\\app", "\\\\server\\share\\app", false, {kNotFullPathText}},
      {"bare drive", "E:\\", "D:", "D:", false, {kDriveRootText}},
      {"drive root", "E:\\", "D:\\", "D:\\", false, {kDriveRootText}},
      {"trimmed, on the removable drive", "E:\\", "  E:\\Tools\\App  ", "E:\\Tools\\App", true, {}},
      {"case differs from the drive", "E:\\", "e:\\App", "e:\\App", true, {noUsb}},
      {"no removable drive, C:", "C:\\", "C:\\App", "C:\\App", true, {noUsb}},
      {"no removable drive, D: warns twice", "C:\\", "D:\\New\\Deeper", "D:\\New\\Deeper", true, {noUsb, noUsb}},
      {"missing drive", "E:\\", "Q:\\App", "Q:\\App", false, {kCreateFolderFailedText, noUsb}},
      {"trailing backslashes dropped", "E:\\", " E:\\Tools\\\\ ", "E:\\Tools", true, {}},
      {"a drive root keeps one", "E:\\", "E:\\\\", "E:\\", false, {kDriveRootText}},
      {"trail byte 0x5C is no backslash", "E:\\", "E:\\\xB1\x5C", "E:\\\xB1\x5C", true, {}},
  };
  for (const Case& c : cases) {
    form.LabelPFCaption = c.labelPF;
    form.Config.SetTargetFolder("unchanged");
    EXPECT_EQ(Validate(c.text), c.accepted) << c.what;
    EXPECT_EQ(view.folder, c.trimmed) << c.what;
    EXPECT_EQ(fake.messages, c.messages) << c.what;
    EXPECT_EQ(form.Config.TargetFolder(), c.accepted ? c.trimmed : "unchanged") << c.what;
  }
  EXPECT_TRUE(fake.DirectoryExists("D:\\New"));
  EXPECT_TRUE(fake.DirectoryExists("D:\\New\\Deeper"));
}

TEST_F(WizardTest, FolderThatDoesNotFitTheRecordIsRefused) {
  form.LabelPFCaption = "E:\\";
  const std::string fits = "E:\\" + std::string(125, 'a');
  EXPECT_TRUE(Validate(fits));
  EXPECT_EQ(form.Config.TargetFolder(), fits);
  // One byte more, and the case where 128 bytes would end inside a double-byte character
  // (its lead byte would join the next backslash): refused before anything is created.
  for (const std::string& text : {"E:\\" + std::string(126, 'b'),
                                  "C:\\T1\\" + std::string(123, 'a') + "\\盘xyz"}) {
    form.Config.SetTargetFolder("unchanged");
    EXPECT_FALSE(Validate(text));
    EXPECT_EQ(fake.messages, std::vector<std::string>{kFolderTooLongText});
    EXPECT_EQ(form.Config.TargetFolder(), "unchanged");
  }
  EXPECT_EQ(fake.DirCountUnder("C:\\"), 0u);
  EXPECT_EQ(fake.DirCountUnder("E:\\"), 1u);
}

TEST_F(WizardTest, DoubledBackslashNamesOneSeparatorAsOnWindows) {
  fake.AddDir("E:\\KORVA-Y");
  fake.WriteNewFile("E:\\KORVA-Y\\\\K_rv.cx", std::vector<uint8_t>{'x'});
  EXPECT_EQ(fake.FileContent("e:\\korva-y\\K_rv.cx"), "x");
  EXPECT_TRUE(fake.DirectoryExists("E:\\\\KORVA-Y\\\\"));
  EXPECT_FALSE(fake.DirectoryExists("\\\\KORVA-Y"));  // a network path keeps its two
}

TEST_F(WizardTest, PagesForwardWithAgreeAndBack) {
  fake.processes = {{1, "KORVA-AUX.exe"}, {2, "AUX-H-Up.exe"}};
  NextClick(fake, form, view);  // welcome -> licence, Agree shown over Next
  EXPECT_EQ(form.PageIndex, 1);
  EXPECT_TRUE(view.AgreeSeen());
  EXPECT_TRUE(fake.processes.empty());  // both siblings ended first
  BackClick(form, view);
  EXPECT_EQ(form.PageIndex, 0);
  EXPECT_FALSE(view.AgreeSeen());
  NextClick(fake, form, view);
  EXPECT_TRUE(view.AgreeSeen());  // shown once more before the first agreement
  AgreeClick(fake, form, view);
  EXPECT_EQ(form.PageIndex, 2);
  EXPECT_FALSE(view.AgreeSeen());  // out of view for good, though Next made it visible
  EXPECT_TRUE(view.agreeVisible);
  BackClick(form, view);
  NextClick(fake, form, view);  // Next on the licence page once Agree is away
  EXPECT_EQ(form.PageIndex, 2);
  EXPECT_EQ(view.shown, (std::vector<int>{1, 0, 1, 2, 1, 2}));
}

TEST_F(WizardTest, BackOnPagesWithoutAPredecessorDoesNothing) {
  for (int page : {0, 4, 5}) {
    form.PageIndex = page;
    view.shown.clear();
    BackClick(form, view);
    EXPECT_EQ(form.PageIndex, page);
    EXPECT_TRUE(view.shown.empty());
  }
  form.PageIndex = 3;
  BackClick(form, view);
  EXPECT_EQ(form.PageIndex, 2);
}

TEST_F(WizardTest, InvalidFolderStaysOnThePage) {
  form.PageIndex = 2;
  view.folder = "";
  NextClick(fake, form, view);
  EXPECT_EQ(form.PageIndex, 2);
  EXPECT_TRUE(view.shown.empty());
}

TEST_F(WizardTest, ReadyPageRunsTheInstallationThenFinishes) {
  TestProduct product;
  product.AddFile("\\a.txt", "a");
  product.Install(fake);
  AddUserProfile(fake);
  fake.exePath = "E:\\setup.exe";
  fake.AddDrive("E:\\", kDriveRemovable);
  ASSERT_EQ(FormCreate(fake, form).outcome, StartupOutcome::Ready);
  form.PageIndex = 2;
  view.folder = "E:\\KORVA-Y";
  NextClick(fake, form, view);
  ASSERT_EQ(form.PageIndex, 3);
  NextClick(fake, form, view);
  EXPECT_EQ(view.shown, (std::vector<int>{3, 4, 5}));
  EXPECT_EQ(view.repaints, 1);
  EXPECT_EQ(fake.FileContent("E:\\KORVA-Y\\a.txt"), "a");
  EXPECT_FALSE(view.terminated);
  NextClick(fake, form, view);  // on the finish page Next ends the application
  EXPECT_TRUE(view.terminated);
}

TEST_F(WizardTest, RunEndedByAnErrorStaysOnTheCopyingPage) {
  TestProduct product;
  product.Install(fake);
  fake.exePath = "E:\\setup.exe";
  ASSERT_EQ(FormCreate(fake, form).outcome, StartupOutcome::Ready);
  fake.MakeKeyUnwritable(RegRoot::LocalMachine, "\\Software");
  form.Config.SetTargetFolder("E:\\KORVA-Y");
  fake.AddDir("E:\\KORVA-Y");
  form.PageIndex = 3;
  EXPECT_ANY_THROW(NextClick(fake, form, view));
  EXPECT_EQ(form.PageIndex, 4);
  EXPECT_TRUE(form.InstallRunning);
  // Cancel does nothing now; closing is allowed without a question.
  CancelClick(fake, form, view);
  EXPECT_FALSE(view.terminated);
  EXPECT_TRUE(CloseQuery(fake, form, view));
  EXPECT_TRUE(fake.dialogs.empty());
}

TEST_F(WizardTest, CancelAndCloseAsk) {
  form.PageIndex = 1;
  fake.confirmAnswers = {false, true};
  CancelClick(fake, form, view);
  EXPECT_FALSE(view.terminated);
  EXPECT_EQ(form.PageIndex, 1);
  CancelClick(fake, form, view);
  EXPECT_TRUE(view.terminated);
  EXPECT_EQ(fake.dialogs, (std::vector<std::string>{kCancelQuestion, kCancelQuestion}));

  FakeWizard v2;
  fake.dialogs.clear();
  fake.confirmAnswers = {false, true};
  EXPECT_FALSE(CloseQuery(fake, form, v2));
  EXPECT_FALSE(v2.terminated);
  EXPECT_TRUE(CloseQuery(fake, form, v2));
  EXPECT_TRUE(v2.terminated);
  form.PageIndex = 4;
  CancelClick(fake, form, v2);  // disabled there: nothing, no question
  EXPECT_EQ(fake.dialogs.size(), 2u);
}

TEST_F(WizardTest, FinishOpensTheTutorialWhenTicked) {
  AddUserProfile(fake);
  fake.connected = true;
  fake.connectionFlags = kConnectionLan;
  form.PageIndex = 5;
  EXPECT_FALSE(CloseQuery(fake, form, view));  // refused silently on the finish page
  EXPECT_TRUE(fake.dialogs.empty());
  view.startProgram = false;
  CancelClick(fake, form, view);
  EXPECT_TRUE(view.terminated);
  EXPECT_TRUE(fake.launches.empty());
  FakeWizard ticked;
  CancelClick(fake, form, ticked);
  EXPECT_TRUE(ticked.terminated);
  ASSERT_EQ(fake.launches.size(), 1u);
  EXPECT_EQ(fake.launches[0].parameters, "http://www.korva.example/u-jiaocheng.asp?id=Vexaro U盘加密");
}

TEST_F(WizardTest, BrowseFillsTheFolderText) {
  view.folder = "kept";
  BrowseClick(fake, form, view);  // cancelled
  EXPECT_EQ(view.folder, "kept");
  fake.pickerAnswers = {"E:\\", "E:\\Apps"};
  BrowseClick(fake, form, view);
  EXPECT_EQ(view.folder, "E:\\KORVA-Y");
  BrowseClick(fake, form, view);
  EXPECT_EQ(view.folder, "E:\\Apps\\KORVA-Y");
  ASSERT_EQ(fake.pickerCalls.size(), 3u);
  EXPECT_EQ(fake.pickerCalls[0], (std::pair<int, std::string>{0, "选择安装目标文件夹"}));
}

}  // namespace
