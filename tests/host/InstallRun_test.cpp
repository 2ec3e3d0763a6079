#include <gtest/gtest.h>

#include <map>
#include <set>

#include "TestProduct.h"
#include "framework/Exceptions.h"
#include "installer/InstallRun.h"
#include "installer/Startup.h"

namespace {

const std::string kTrail5C = "\x87\x5c";

// Records what the run does to the copying page, one entry per call.
class RecordingView : public CopyPageView {
 public:
  std::vector<std::string> log;
  std::vector<int> progress;
  void SetWorkLbCaption(const std::string& t) override { log.push_back("work:" + t); }
  void SetWorkLbWidth(int w) override { log.push_back("work.width:" + std::to_string(w)); }
  void RepaintWorkLb() override { log.push_back("work.repaint"); }
  void SetFNameLbCaption(const std::string& t) override { log.push_back("file:" + t); }
  void SetFNameLbWidth(int w) override { log.push_back("file.width:" + std::to_string(w)); }
  void RepaintFNameLb() override { log.push_back("file.repaint"); }
  void HideFNameLb() override { log.push_back("file.hide"); }
  void SetCopyProgressPosition(int p) override {
    log.push_back("progress:" + std::to_string(p));
    progress.push_back(p);
  }
};

class InstallRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake.exePath = "E:\\setup.exe";
    fake.AddDir("E:\\");
    fake.AddDrive("C:\\", kDriveFixed);
    fake.AddDrive("E:\\", kDriveRemovable);
    AddUserProfile(fake);
  }
  // Starts up, creates the target folder as the wizard does, and runs.
  void Prepare() {
    product.Install(fake);
    ASSERT_EQ(FormCreate(fake, form).outcome, StartupOutcome::Ready);
    ASSERT_TRUE(MakeDirs(fake, form.Config.TargetFolder()));
  }
  void Run() {
    Prepare();
    RunInstallation(fake, form, view);
  }
  std::string Message(const std::string& path) { return std::string(kFileErrorText) + path; }
  const std::string T = "E:\\KORVA-Y";
  const std::string kPrograms = "C:\\users\\test\\Start Menu\\Programs\\";
  const std::string kDesktop = "C:\\users\\test\\Desktop\\";
  FakePlatform fake;
  TestProduct product;
  MainFormState form;
  RecordingView view;
};

TEST_F(InstallRunTest, SampleTableWritesEveryFileAndStepsTheBar) {
  product.AddFile("\\Blue.ssk", "skin");
  product.AddFile("\\KORVA-Y.exe", "MZ program");
  product.AddFile("\\Readme.txt", "readme");
  product.AddFile("\\Help\\Guide.txt", "guide");
  product.AddFile("\\Changes.txt", "");
  product.AddFile("\\Settings.ini", "[s]");
  Run();
  EXPECT_EQ(fake.FileContent(T + "\\Blue.ssk"), "skin");
  EXPECT_EQ(fake.FileContent(T + "\\Help\\Guide.txt"), "guide");
  EXPECT_EQ(fake.FileContent(T + "\\Changes.txt"), "");
  EXPECT_EQ(fake.FileCountUnder(T), 7u);  // six files and K_rv.cx
  EXPECT_EQ(view.progress, (std::vector<int>{0, 16, 33, 50, 66, 83}));
  EXPECT_TRUE(fake.dialogs.empty());
  EXPECT_FALSE(form.InstallRunning);
  // K_rv.cx is the resource as shipped, byte for byte.
  std::vector<uint8_t> ini = product.ConfigResource();
  EXPECT_EQ(fake.FileContent(T + "\\K_rv.cx"), std::string(ini.begin(), ini.end()));
}

TEST_F(InstallRunTest, CopyingPageShowsEachStepInOrder) {
  product.AddFile("\\a.txt", "a");
  product.AddFile("\\" + std::string(40, 'x') + "\\b.txt", "b");
  Run();
  std::vector<std::string> expected = {
      "work:正在复制文件...", "work.width:300", "work.repaint",
      "file:" + T + "\\a.txt", "file.width:300", "file.repaint", "progress:0",
      "file:E:\\...\\b.txt", "file.width:300", "file.repaint", "progress:50",
      "work:正在注册相关信息...", "work.repaint", "file.hide", "file.repaint",
      "work:正在创建快捷方式...", "work.repaint"};
  EXPECT_EQ(view.log, expected);
}

TEST_F(InstallRunTest, WildcardRowsArePassedOverWithoutProgress) {
  product.AddFile("\\a.txt", "a");
  product.AddFile("\\Sub\\*.txt", "never");
  product.AddFile("\\c.txt", "c");
  Run();
  EXPECT_EQ(view.progress, (std::vector<int>{0, 66}));
  EXPECT_FALSE(fake.DirectoryExists(T + "\\Sub"));
  EXPECT_EQ(fake.FileCountUnder(T), 3u);
}

TEST_F(InstallRunTest, UnwritableFileIsReportedAndTheRunGoesOn) {
  product.AddFile("\\a.txt", "new a");
  product.AddFile("\\b.txt", "new b");
  product.AddFile("\\c.txt", "new c");
  Prepare();
  fake.AddFile(T + "\\a.txt", "old a, much longer than the new one");  // replaced
  fake.AddFile(T + "\\b.txt", "old b", /*readOnly=*/true);
  fake.AddFile(T + "\\c.txt", "old hidden c", false, /*hidden=*/true);  // deleted, then made anew
  RunInstallation(fake, form, view);
  EXPECT_EQ(fake.FileContent(T + "\\a.txt"), "new a");
  EXPECT_EQ(fake.FileContent(T + "\\b.txt"), "old b");
  EXPECT_EQ(fake.FileContent(T + "\\c.txt"), "new c");
  EXPECT_EQ(fake.messages, std::vector<std::string>{Message(T + "\\b.txt")});
  EXPECT_EQ(view.progress, (std::vector<int>{0, 33, 66}));
  EXPECT_FALSE(form.InstallRunning);
}

TEST_F(InstallRunTest, FolderThatCannotBeMadeSkipsTheRowSilently) {
  product.AddFile("\\Sub\\a.txt", "a");
  product.AddFile("\\b.txt", "b");
  Prepare();
  fake.AddFile(T + "\\Sub", "a file where the folder should be");
  RunInstallation(fake, form, view);
  EXPECT_TRUE(fake.messages.empty());
  EXPECT_EQ(view.progress, std::vector<int>{50});
}

// Rows that would write outside the target folder or outside the pack: not written,
// reported like a file that cannot be written.
TEST_F(InstallRunTest, RowsOutsideTheFolderOrThePackAreRefused) {
  struct Row {
    const char* what;
    std::string name;
    int32_t offset, size;
  } rows[] = {
      {"parent component", "\\..\\evil.txt", 0, 1},
      {"parent inside the path", "\\Help\\..\\..\\evil.txt", 0, 1},
      {"parent with trailing dots", "\\Help\\...\\evil.txt", 0, 1},
      {"parent through a slash", "\\Help/../../evil.txt", 0, 1},
      {"drive", "\\C:\\evil.txt", 0, 1},
      {"stream", "\\a.txt:hidden", 0, 1},
      {"no leading backslash", "evil.txt", 0, 1},
      {"slice past the end", "\\big.bin", 0, 1000},
      {"negative offset", "\\neg.bin", -1, 1},
      {"negative size", "\\negsize.bin", 0, -1},
      {"offset and size overflow", "\\wrap.bin", 0x7fffffff, 0x7fffffff},
  };
  product.AddFile("\\ok.txt", "0123456789");
  auto& r = product.config.MutableRecord();
  int n = 1;
  for (const Row& row : rows) {
    r.Files[n].Name.Assign(row.name);
    r.Files[n].Offset.Set(row.offset);
    r.Files[n].Size.Set(row.size);
    ++n;
  }
  r.FileCount.Set(n);
  Prepare();
  fake.AddDir(T + "\\Help");
  size_t dirsBefore = fake.DirCountUnder("E:\\");
  RunInstallation(fake, form, view);
  ASSERT_EQ(fake.messages.size(), std::size(rows));
  for (size_t i = 0; i < std::size(rows); ++i)
    EXPECT_EQ(fake.messages[i], Message(T + rows[i].name)) << rows[i].what;
  EXPECT_EQ(fake.FileContent(T + "\\ok.txt"), "0123456789");
  EXPECT_EQ(fake.FileCountUnder("E:\\"), 2u);  // ok.txt and K_rv.cx
  EXPECT_FALSE(fake.FileExists("E:\\evil.txt"));
  EXPECT_EQ(fake.DirCountUnder("E:\\"), dirsBefore);
  EXPECT_EQ(view.progress.size(), std::size(rows) + 1);
}

TEST(IsSafeRelativeName, KeepsDoubleByteNames) {
  EXPECT_TRUE(IsSafeRelativeName("\\说明.txt"));
  EXPECT_TRUE(IsSafeRelativeName("\\A" + kTrail5C + "\\b.txt"));
  EXPECT_TRUE(IsSafeRelativeName("\\" + kTrail5C + ".."));  // the dots follow a whole character
  EXPECT_TRUE(IsSafeRelativeName("\\a..b\\.c"));
  EXPECT_FALSE(IsSafeRelativeName("\\a\\.. \\b"));
  EXPECT_FALSE(IsSafeRelativeName(""));
}

TEST_F(InstallRunTest, DoubleByteNameLandsInItsOwnFolder) {
  std::string sub = "\\A" + kTrail5C + "B";
  product.AddFile(sub + "\\x.txt", "x");
  Run();
  EXPECT_EQ(fake.FileContent(T + sub + "\\x.txt"), "x");
  EXPECT_FALSE(fake.DirectoryExists(T + "\\A\x87"));
}

TEST_F(InstallRunTest, RegistryRecordsWithNamesTypesAndOrder) {
  product.AddFile("\\Uninstall.EXE", "u");
  Run();
  auto str = [&](const std::string& key, const std::string& name) {
    const FakeRegValue* v = fake.RegValue(RegRoot::LocalMachine, key, name);
    EXPECT_TRUE(v && v->type == FakeRegType::String) << key << " " << name;
    return v ? v->text : "";
  };
  const std::string pub = "\\Software\\KorvaSoft", state = pub + "\\KORVA-Y";
  const std::string uninstall = std::string(kUninstallKeyPrefix) + "Vexaro U盘加密";
  EXPECT_EQ(str(pub, "Site"), "http://www.korva.example/");
  EXPECT_EQ(str(pub, "Author"), "作者");
  const FakeRegValue* setup = fake.RegValue(RegRoot::LocalMachine, state, "Setup");
  ASSERT_TRUE(setup);
  EXPECT_EQ(*setup, (FakeRegValue{FakeRegType::Dword, {}, 1}));
  EXPECT_EQ(str(state, "Version"), "3.2.0");
  EXPECT_EQ(str(state, "Folder"), T);
  EXPECT_EQ(str(state, "Date"), "20131120");
  EXPECT_EQ(str(uninstall, "DisplayName"), "Vexaro U盘加密");
  EXPECT_EQ(str(uninstall, "UninstallString"), T + "\\uninstall.exe");
  std::vector<std::string> names;
  for (const std::string& w : fake.registryWrites) names.push_back(w.substr(w.find('|') + 1));
  EXPECT_EQ(names, (std::vector<std::string>{"Site", "Author", "Setup", "Version", "Folder", "Date", "DisplayName",
                                             "UninstallString"}));
}

TEST_F(InstallRunTest, ExtraValuesByTypeWithErrorsSwallowedPerRow) {
  product.AddRegistryValue("AutoLock", true, "Software\\VxTest\\Options", 0).BoolValue = 7;
  product.AddRegistryValue("Language", false, "\\Software\\VxTest\\Options", 1).StringValue.Assign("简体中文");
  product.AddRegistryValue("Blocked", false, "\\Software\\Locked\\Sub", 1).StringValue.Assign("x");
  product.AddRegistryValue("LockMinutes", true, "\\Software\\VxTest\\Options", 2).IntegerValue.Set(-10);
  product.AddRegistryValue("Ignored", false, "Software\\VxTest\\Options", 3);
  product.AddRegistryValue("Off", true, "Software\\VxTest\\Options", 0).BoolValue = 0;
  fake.MakeKeyUnwritable(RegRoot::LocalMachine, "Software\\Locked");
  Run();
  const std::string key = "Software\\VxTest\\Options";
  EXPECT_EQ(*fake.RegValue(RegRoot::CurrentUser, key, "AutoLock"), (FakeRegValue{FakeRegType::Dword, {}, 1}));
  EXPECT_EQ(*fake.RegValue(RegRoot::LocalMachine, key, "Language"), (FakeRegValue{FakeRegType::String, "简体中文", 0}));
  EXPECT_EQ(*fake.RegValue(RegRoot::CurrentUser, key, "LockMinutes"), (FakeRegValue{FakeRegType::Dword, {}, -10}));
  EXPECT_EQ(*fake.RegValue(RegRoot::CurrentUser, key, "Off"), (FakeRegValue{FakeRegType::Dword, {}, 0}));
  EXPECT_EQ(fake.RegValue(RegRoot::LocalMachine, key, "Ignored"), nullptr);
  EXPECT_EQ(fake.RegValue(RegRoot::LocalMachine, "Software\\Locked\\Sub", "Blocked"), nullptr);
  EXPECT_FALSE(form.InstallRunning);
  EXPECT_TRUE(fake.dialogs.empty());
}

TEST_F(InstallRunTest, ShortcutsByKindThenTheUninstallShortcut) {
  product.AddFile("\\KORVA-Y.exe", "p");
  product.AddFile("\\Readme.txt", "r");
  product.AddShortcut("Both", 0, 2);
  product.AddShortcut("GroupOnly", 1, 1);
  product.AddShortcut("DesktopOnly", 1, 0);
  product.AddShortcut("Safe", 0, 255, "/safe");
  product.AddShortcut("Beyond", 2, 0);  // names no used row: passed over
  product.AddShortcut("Negative", -1, 1);
  Run();
  const std::string group = kPrograms + "Vexaro U盘加密\\";
  EXPECT_EQ(fake.linkOrder, (std::vector<std::string>{group + "Both.lnk", kDesktop + "Both.lnk", group + "GroupOnly.lnk",
                                                      kDesktop + "DesktopOnly.lnk", group + "Safe.lnk",
                                                      kDesktop + "Safe.lnk", group + "卸载Vexaro U盘加密.lnk"}));
  const ShellLinkData& safe = fake.links.at(FakePlatform::Key(kDesktop + "Safe.lnk"));
  EXPECT_EQ(safe.target, T + "\\KORVA-Y.exe");
  EXPECT_EQ(safe.arguments, "/safe");
  EXPECT_EQ(safe.workingDirectory, T + "\\");
  const ShellLinkData& un = fake.links.at(FakePlatform::Key(group + "卸载Vexaro U盘加密.lnk"));
  EXPECT_EQ(un.target, T + "\\uninstall.exe");
  EXPECT_EQ(un.arguments, "");
  EXPECT_EQ(fake.comDepth, 0);
}

TEST_F(InstallRunTest, NoShortcutRowsLeaveOnlyTheUninstallShortcut) {
  Run();
  EXPECT_EQ(fake.linkOrder, std::vector<std::string>{kPrograms + "Vexaro U盘加密\\卸载Vexaro U盘加密.lnk"});
}

TEST_F(InstallRunTest, NoDesktopValueStillMakesGroupShortcuts) {
  product.AddFile("\\a.exe", "a");
  product.AddShortcut("A", 0, 2);
  Prepare();
  fake.SetRegValue(RegRoot::CurrentUser, kShellFoldersKey, "Desktop", {FakeRegType::String, "", 0});
  RunInstallation(fake, form, view);
  EXPECT_EQ(fake.linkOrder.size(), 2u);
  EXPECT_EQ(fake.linkOrder[0], kPrograms + "Vexaro U盘加密\\A.lnk");
}

// Errors that leave the run: the exception propagates and InstallRunning stays set.
TEST_F(InstallRunTest, FixedRegistryValueThatCannotBeSetLeavesTheRun) {
  product.AddFile("\\a.txt", "a");
  product.AddShortcut("A", 0, 0);
  Prepare();
  fake.MakeKeyUnwritable(RegRoot::LocalMachine, "\\Software");
  try {
    RunInstallation(fake, form, view);
    FAIL();
  } catch (const ERegistryException& e) {
    EXPECT_STREQ(e.what(), "Failed to set data for 'Site'");
  }
  EXPECT_TRUE(form.InstallRunning);
  EXPECT_EQ(fake.FileContent(T + "\\a.txt"), "a");  // files already written stay
  EXPECT_TRUE(fake.FileExists(T + "\\K_rv.cx"));
  EXPECT_TRUE(fake.links.empty());
}

TEST_F(InstallRunTest, ConfigCopyThatCannotBeWrittenLeavesTheRun) {
  Prepare();
  fake.AddDir(T + "\\K_rv.cx");  // a folder stands where the copy goes
  EXPECT_THROW(RunInstallation(fake, form, view), EFCreateError);
  EXPECT_TRUE(form.InstallRunning);
  EXPECT_TRUE(fake.registryWrites.empty());
}

TEST_F(InstallRunTest, GroupThatCannotBeEnteredLeavesTheRun) {
  product.AddFile("\\a.exe", "a");
  product.AddShortcut("D", 0, 0);
  product.AddShortcut("G", 0, 1);
  Prepare();
  fake.unwritableFolders.insert(FakePlatform::Key(kPrograms));
  EXPECT_THROW(RunInstallation(fake, form, view), EInOutError);
  EXPECT_TRUE(form.InstallRunning);
  EXPECT_EQ(fake.linkOrder, std::vector<std::string>{kDesktop + "D.lnk"});
}

// Every file under the target folder with its content, to compare two runs.
std::map<std::string, std::string> FilesOf(const FakePlatform& f) {
  std::map<std::string, std::string> files;
  for (const std::string& key : f.FileKeys()) files[key] = f.FileContent(key);
  return files;
}

// Rows' files may be written in any order only when no two of them can reach the same file
// under the spellings the file system takes as one.
TEST(RowsWriteApart, SpellingsOfOneFileClash) {
  struct Case {
    std::vector<std::string> names;
    bool apart;
  } cases[] = {
      {{"\\a.txt", "\\Sub\\a.txt", "\\b.txt", "\\*.txt", "\\*.txt"}, true},
      {{"\\Readme.TXT", "\\rEADME.txt"}, false},
      {{"\\a.txt", "\\a.txt. . "}, false},
      {{"\\Sub\\a.txt", "\\.\\sub//\\a.txt"}, false},
      {{"\\Sub. \\a.txt", "\\sub\\a.txt"}, false},
      {{"\\Sub", "\\SUB\\a.txt"}, false},  // a file where the other needs a folder
      {{"\\SUB\\a.txt", "\\sub"}, false},
      {{"\\PROGRA~1.TXT", "\\program.txt"}, false},
      {{"\\\xA3\xC1.txt", "\\\xA3\xE1.txt"}, false},  // full-width A and a
      {{"\\\xA6\xA1", "\\\xA6\xC1"}, false},          // Greek alpha
      {{"\\\xA7\xA1", "\\\xA7\xD1"}, false},          // Cyrillic a
      {{"\\\xA2\xF1", "\\\xA2\xA1"}, false},          // Roman numeral one
      // Other double-byte letters as they are; a trail byte 0x5C is no separator.
      {{"\\\xCB\xB5\xC3\xF7.txt", "\\\xCB\xB5\xC3\xF8.txt", "\\\xD5\\a.txt", "\\\xD5"}, true},
      {{"\\..\\a.txt", "\\..\\a.txt"}, true},  // outside the folder: never written
  };
  for (const Case& c : cases) {
    SetupConfig config;
    auto& r = config.MutableRecord();
    for (size_t i = 0; i < c.names.size(); ++i) r.Files[i].Name.Assign(c.names[i]);
    r.FileCount.Set(static_cast<int32_t>(c.names.size()));
    EXPECT_EQ(RowsWriteApart(config, "E:\\KORVA-Y"), c.apart) << c.names[0] << " " << c.names[1];
  }
}

struct Row {
  std::string name;
  int32_t offset, size;
};

// 200 rows over the whole pack, enough for several batches on both copying threads: rows
// whose writing fails, wildcard rows, a name leaving the target folder, a folder that cannot
// be made, empty files and one row larger than a batch.
std::vector<Row> ManyRows(int32_t packSize) {
  std::vector<Row> rows;
  uint32_t x = 7;
  for (int32_t i = 0, offset = 0; i < 200; ++i) {
    x = x * 1103515245u + 12345u;
    int32_t size = i == 90 ? 300000 : i % 31 == 0 ? 0 : static_cast<int32_t>(x >> 16) % 5000;
    size = std::max(0, std::min(size, packSize - offset));
    std::string name = "\\D" + std::to_string(i % 6) + "\\f" + std::to_string(i) + ".bin";
    if (i % 17 == 5) name = "\\Fail" + std::to_string(i) + ".bin";
    if (i % 23 == 7) name = "\\D1\\*.txt";
    if (i == 50) name = "\\..\\out.bin";
    if (i == 60 || i == 61) name = "\\Locked\\Sub\\g" + std::to_string(i) + ".bin";
    rows.push_back({name, offset, size});
    offset += size + (i % 13 == 0 ? 100 : 0);  // a few gaps
  }
  return rows;
}

// The streaming copy and the whole-pack copy write the same bytes and show the same: for the
// builder's layout (streamed, with a gap, a wildcard row, an empty file, files larger than
// the write buffer and one whose writing fails half-way, after which the next file must still
// get its own bytes), for many rows over several batches, and for tables the stream cannot
// serve, which fall back.
TEST_F(InstallRunTest, StreamingAndBufferedCopiesWriteTheSameBytes) {
  struct Case {
    const char* what;
    bool streams;
    std::vector<Row> rows;
  } cases[] = {
      {"builder's layout", true,
       {{"\\Blue.ssk", 0, 1000}, {"\\Empty.txt", 1000, 0}, {"\\Big.bin", 1000, 700000}, {"\\Fail.bin", 701000, 300000},
        {"\\Sub\\*.txt", 0, 5}, {"\\Tail.bin", 1001100, 47476}}},
      {"out of order", false, {{"\\b.bin", 600000, 300000}, {"\\a.bin", 0, 600000}}},
      {"overlapping", false, {{"\\a.bin", 0, 500000}, {"\\b.bin", 400000, 400000}}},
      {"outside the pack", false, {{"\\a.bin", 0, 400000}, {"\\b.bin", 1048000, 1000}}},
      {"many rows", true, ManyRows(1 << 20)},
      {"many rows, one file twice", true, ManyRows(1 << 20)},
  };
  cases[5].rows[150].name = "\\d2\\F20.BIN";  // the same file as row 20: the later bytes win
  const std::string pack = MixedBytes(1 << 20, 3);
  for (const Case& c : cases) {
    std::map<std::string, std::string> files[2];
    std::vector<std::string> messages[2], shown[2];
    for (PackAccess access : {PackAccess::Auto, PackAccess::Buffered}) {
      RecordingView rv;
      FakePlatform f;
      f.exePath = "E:\\setup.exe";
      f.AddDir("E:\\");
      f.AddDrive("E:\\", kDriveRemovable);
      TestProduct p;
      p.AddFile("\\x", pack);
      auto& r = p.config.MutableRecord();
      for (size_t i = 0; i < c.rows.size(); ++i) {
        r.Files[i].Name.Assign(c.rows[i].name);
        r.Files[i].Offset.Set(c.rows[i].offset);
        r.Files[i].Size.Set(c.rows[i].size);
      }
      r.FileCount.Set(static_cast<int32_t>(c.rows.size()));
      p.Install(f);
      MainFormState s;
      ASSERT_EQ(FormCreate(f, s).outcome, StartupOutcome::Ready) << c.what;
      ASSERT_TRUE(MakeDirs(f, s.Config.TargetFolder()));
      EXPECT_EQ(SlicesFollowInPackOrder(s.Config, s.Config.TargetFolder(), pack.size()), c.streams) << c.what;
      for (const Row& row : c.rows)
        if (row.name.rfind("\\Fail", 0) == 0) f.failingWrites.insert(FakePlatform::Key(T + row.name));
      f.AddDir(T + "\\Locked");
      f.unwritableFolders.insert(FakePlatform::Key(T + "\\Locked"));
      CopyFiles(f, s, rv, access);
      int side = access == PackAccess::Auto ? 0 : 1;
      files[side] = FilesOf(f);
      messages[side] = f.messages;
      shown[side] = rv.log;
      std::set<std::string> seen;  // the last row to write a file gives its bytes
      for (auto row = c.rows.rbegin(); row != c.rows.rend(); ++row) {
        if (!f.FileExists(T + row->name) || row->name.rfind("\\Fail", 0) == 0) continue;
        if (!seen.insert(FakePlatform::Key(row->name)).second) continue;
        EXPECT_EQ(f.FileContent(T + row->name), pack.substr(row->offset, row->size)) << c.what << row->name;
      }
    }
    EXPECT_EQ(files[0], files[1]) << c.what;
    EXPECT_EQ(messages[0], messages[1]) << c.what;
    EXPECT_EQ(shown[0], shown[1]) << c.what;
    if (c.rows.size() == 200 && c.rows[150].name != "\\d2\\F20.BIN") {
      EXPECT_EQ(files[0].size(), 188u);  // 200 rows less 9 wildcard rows, the outside one and two locked
      EXPECT_EQ(messages[0].size(), 12u);  // the outside row and eleven failing writes (one is empty)
      EXPECT_EQ(messages[0][3], Message(T + "\\..\\out.bin"));
    }
  }
}

// A pack whose stream breaks off after the first file: start-up reports it as before; a run
// over it keeps the file already written, removes the one it was writing and ends with the
// decompressor's error, leaving the wizard on the copying page.
TEST_F(InstallRunTest, PackBreakingOffMidRunEndsTheRunWithItsError) {
  product.AddFile("\\a.txt", "first");
  product.AddFile("\\b.bin", MixedBytes(600000, 5));
  product.AddFile("\\c.txt", "never");
  Prepare();
  Bytes whole = CompressResource(product.pack);
  std::vector<uint8_t> cut(whole.data(), whole.data() + whole.size() / 2);
  form.PackResource = cut;
  try {
    RunInstallation(fake, form, view);
    FAIL();
  } catch (const EReadError& e) {
    EXPECT_STREQ(e.what(), "Stream read error");
  }
  EXPECT_EQ(fake.FileContent(T + "\\a.txt"), "first");
  EXPECT_FALSE(fake.FileExists(T + "\\b.bin"));
  EXPECT_FALSE(fake.FileExists(T + "\\K_rv.cx"));
  EXPECT_TRUE(fake.messages.empty());
  EXPECT_EQ(view.progress, std::vector<int>{0});
  EXPECT_TRUE(form.InstallRunning);

  fake.SetResource("SETUPPACK", cut);
  MainFormState again;
  StartupResult r = FormCreate(fake, again);
  EXPECT_EQ(r.outcome, StartupOutcome::Failed);
  EXPECT_EQ(r.errorText, "Stream read error");
}

}  // namespace

#include "tools/productbuilder/Manifest.h"

namespace {

// The test product's manifest through the builder: every extra value type, both hives.
TEST(InstallRunManifest, TestProductInstallsItsFilesAndValues) {
  BuiltProduct built;
  std::vector<std::string> errors;
  ASSERT_TRUE(BuildProduct(VX_SOURCE_DIR "/resources/test-product/product.toml", {}, built, errors))
      << (errors.empty() ? "" : errors[0]);
  FakePlatform fake;
  fake.exePath = "F:\\setup.exe";
  fake.AddDir("F:\\");
  fake.AddDrive("F:\\", kDriveRemovable);
  AddUserProfile(fake);
  Bytes ini = CompressResource(built.config.Bytes());
  Bytes pack = CompressResource(built.pack);
  fake.SetResource("SETUPINI", std::vector<uint8_t>(ini.data(), ini.data() + ini.size()));
  fake.SetResource("SETUPPACK", std::vector<uint8_t>(pack.data(), pack.data() + pack.size()));
  MainFormState form;
  ASSERT_EQ(FormCreate(fake, form).outcome, StartupOutcome::Ready);
  ASSERT_EQ(form.Config.TargetFolder(), "F:\\VxTest");
  ASSERT_TRUE(MakeDirs(fake, form.Config.TargetFolder()));
  RecordingView view;
  RunInstallation(fake, form, view);
  EXPECT_TRUE(fake.messages.empty());
  EXPECT_EQ(fake.FileCountUnder("F:\\VxTest"), 3u);
  const std::string key = "Software\\VxTest\\Options";
  EXPECT_EQ(*fake.RegValue(RegRoot::CurrentUser, key, "AutoLock"), (FakeRegValue{FakeRegType::Dword, {}, 1}));
  EXPECT_EQ(*fake.RegValue(RegRoot::LocalMachine, key, "Language"), (FakeRegValue{FakeRegType::String, "简体中文", 0}));
  EXPECT_EQ(*fake.RegValue(RegRoot::CurrentUser, key, "LockMinutes"), (FakeRegValue{FakeRegType::Dword, {}, -10}));
  EXPECT_EQ(fake.RegValue(RegRoot::LocalMachine, key, "Ignored"), nullptr);
  EXPECT_EQ(fake.linkOrder, (std::vector<std::string>{"C:\\users\\test\\Desktop\\说明.lnk",
                                                      "C:\\users\\test\\Start Menu\\Programs\\测试产品\\卸载测试产品.lnk"}));
}

// The sample product as the builder makes it streams, and writes what the whole-pack copy writes.
TEST(InstallRunManifest, SampleProductStreamsTheSameBytesAsBuffered) {
  BuiltProduct built;
  std::vector<std::string> errors;
  // Stand-ins for the three built files the manifest names.
  const std::map<std::string, std::string> vars = {{"BLUE_SSK", VX_SOURCE_DIR "/resources/sample/licence.txt"},
                                                   {"SAMPLE_APP", VX_SOURCE_DIR "/README.md"},
                                                   {"UNINSTALLER", VX_SOURCE_DIR "/README.md"}};
  ASSERT_TRUE(BuildProduct(VX_SOURCE_DIR "/resources/sample/product.toml", vars, built, errors))
      << (errors.empty() ? "" : errors[0]);
  Bytes pack = CompressResource(built.pack);
  std::map<std::string, std::string> files[2];
  for (PackAccess access : {PackAccess::Auto, PackAccess::Buffered}) {
    FakePlatform fake;
    fake.AddDir("E:\\");
    MainFormState form;
    form.Config.Load(built.config.Bytes());
    form.Config.SetTargetFolder("E:\\KORVA-Y");
    ASSERT_TRUE(MakeDirs(fake, "E:\\KORVA-Y"));
    form.PackResource = pack.view();
    EXPECT_TRUE(SlicesFollowInPackOrder(form.Config, "E:\\KORVA-Y", built.pack.size()));
    RecordingView view;
    CopyFiles(fake, form, view, access);
    EXPECT_TRUE(fake.messages.empty());
    files[access == PackAccess::Auto ? 0 : 1] = FilesOf(fake);
  }
  EXPECT_EQ(files[0].size(), 7u);
  EXPECT_EQ(files[0], files[1]);
}

}  // namespace
