#include <gtest/gtest.h>

#include "installer/BaseDef.h"
#include "installer/Describe.h"
#include "installer/SetupCheck.h"

namespace {

std::span<const uint8_t> Span(const std::string& s) { return {reinterpret_cast<const uint8_t*>(s.data()), s.size()}; }

// A sound record of two files and one shortcut over a 10-byte pack.
SetupConfig SoundRecord() {
  SetupConfig c;
  SetupConfigRecord& r = c.MutableRecord();
  r.ProductName.Assign("Demo");
  r.PublisherKey.Assign("Pub");
  r.ProductFolder.Assign("Demo");
  r.Files[0].Name.Assign("\\a.txt");
  r.Files[0].Size.Set(4);
  r.Files[1].Name.Assign("\\sub\\b.txt");
  r.Files[1].Offset.Set(4);
  r.Files[1].Size.Set(6);
  r.FileCount.Set(2);
  r.Shortcuts[0].Caption.Assign("Start");
  r.ShortcutCount.Set(1);
  return c;
}

std::vector<std::string> Fields(const SetupConfig& c) {
  std::vector<std::string> out;
  for (const auto& p : CheckSetupRecord(c, 10)) out.push_back(p.field);
  return out;
}

TEST(SetupCheck, ReportsRecordsThatBreakAnInstall) {
  EXPECT_TRUE(Fields(SoundRecord()).empty());
  struct Case {
    const char* what;
    void (*damage)(SetupConfigRecord&);
    const char* field;
  };
  const Case cases[] = {
      {"empty name", [](SetupConfigRecord& r) { r.ProductName.Assign(""); }, "ProductName"},
      {"name with ?", [](SetupConfigRecord& r) { r.ProductName.Assign("a?"); }, "ProductName"},
      {"name with \\", [](SetupConfigRecord& r) { r.ProductName.Assign("a\\b"); }, "ProductName"},
      {"empty publisher key", [](SetupConfigRecord& r) { r.PublisherKey.Assign(""); }, "PublisherKey"},
      {"empty folder", [](SetupConfigRecord& r) { r.ProductFolder.Assign(""); }, "ProductFolder"},
      {"wildcard", [](SetupConfigRecord& r) { r.Files[1].Name.Assign("\\*.txt"); }, "Files[1].Name"},
      {"parent", [](SetupConfigRecord& r) { r.Files[1].Name.Assign("\\..\\evil.txt"); }, "Files[1].Name"},
      {"same name", [](SetupConfigRecord& r) { r.Files[1].Name.Assign("\\A.TXT"); }, "Files[1].Name"},
      {"caption with \\", [](SetupConfigRecord& r) { r.Shortcuts[0].Caption.Assign("a\\b"); }, "Shortcuts[0].Caption"},
      {"shortcut to an unused row", [](SetupConfigRecord& r) { r.Shortcuts[0].FileIndex.Set(2); }, "Shortcuts[0].FileIndex"},
      {"file count above 256", [](SetupConfigRecord& r) { r.FileCount.Set(257); }, "FileCount"},
      {"shortcut count below 0", [](SetupConfigRecord& r) { r.ShortcutCount.Set(-1); }, "ShortcutCount"},
      {"length byte above capacity", [](SetupConfigRecord& r) { r.ReleaseDate.length = 9; }, "ReleaseDate"},
      {"slice past the pack", [](SetupConfigRecord& r) { r.Files[1].Size.Set(7); }, "Files[1]"},
      {"impossible date", [](SetupConfigRecord& r) { r.RecordDate.Assign("20130231"); }, "RecordDate"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetupConfig config = SoundRecord();
    c.damage(config.MutableRecord());
    std::vector<std::string> fields = Fields(config);
    ASSERT_FALSE(fields.empty());
    EXPECT_EQ(fields[0], c.field);
    EXPECT_FALSE(DescribeSetup(config, Span("0123456789"), {}).problems.empty());
  }
}

TEST(SetupCheck, GbkTrailBytesAreNoSeparators) {
  // 0x5C and 0x7C as trail bytes of double-byte characters.
  EXPECT_EQ(NameComponentProblem("\x95\x5C\x95\x7C"), "");
  EXPECT_EQ(FileNameProblem("\\\x95\x5C.txt"), "");
  EXPECT_NE(NameComponentProblem("nul.txt"), "");
  EXPECT_EQ(NameComponentProblem("nullable"), "");
  // Two GBK characters whose trail bytes are 'a' and 'A' are different names.
  SetupConfig config = SoundRecord();
  config.MutableRecord().Files[0].Name.Assign("\\\x81\x61");
  config.MutableRecord().Files[1].Name.Assign("\\\x81\x41");
  EXPECT_TRUE(Fields(config).empty());
  EXPECT_EQ(DateProblem("20240229"), "");
  EXPECT_NE(DateProblem("20230229"), "");
}

TEST(SetupCheck, ReportPrintsEveryTextWholeAndEscaped) {
  SetupConfig config = SoundRecord();
  config.MutableRecord().ProductName.Assign(std::string("A\0B\x1B[2J\"\xFF", 9));
  config.MutableRecord().Category.Assign("说明");
  SetupReport rep = DescribeSetup(config, Span("0123456789"), {});
  EXPECT_NE(rep.text.find("ProductName: \"A\\x00B\\x1B[2J\\x22\\xFF\"\n"), std::string::npos) << rep.text;
  EXPECT_NE(rep.text.find("Category: \"说明\""), std::string::npos);
  EXPECT_EQ(rep.text.find('\0'), std::string::npos);
  EXPECT_NE(rep.text.find("licence: 0 bytes"), std::string::npos);  // the report goes on past the NUL
}

TEST(SetupCheck, ResourceStreamsMustEndWhereTheyDeclareAndPassTheirCheck) {
  SetupConfig config = SoundRecord();
  Bytes good = CompressResource(config.Bytes());
  std::string ini(reinterpret_cast<const char*>(good.data()), good.size());
  EXPECT_TRUE(CheckResources(Span(ini), Span(ini), Span("x")).empty());
  struct Case {
    const char* what;
    std::string resource;
  };
  std::string shortU = ini, trailing = ini + "x", badCheck = ini;
  shortU[0] = static_cast<char>(shortU[0] - 1);  // U one byte short of the stream
  badCheck.back() ^= 1;                          // Adler-32 changed
  const Case cases[] = {{"empty", ""},
                        {"U short of the stream", shortU},
                        {"bytes after the stream", trailing},
                        {"check value changed", badCheck},
                        {"cut short", ini.substr(0, ini.size() - 5)}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_NE(ResourceStreamProblem(Span(c.resource)), "");
  }
  EXPECT_EQ(CheckResources(Span(ini), Span(ini), {})[0].field, "Protocol");
  std::string small = "\x01\0\0\0" + std::string(reinterpret_cast<const char*>(CompressResource(Span("a")).data() + 4),
                                                 CompressResource(Span("a")).size() - 4);
  EXPECT_EQ(CheckResources(Span(small), Span(ini), Span("x"))[0].field, "SETUPINI");  // not a whole record

  // Every single-bit flip of the stream either is reported or leaves the record as it was.
  for (size_t bit = 32; bit < ini.size() * 8; bit += 5) {
    std::string flipped = ini;
    flipped[bit / 8] ^= static_cast<char>(1 << (bit % 8));
    if (!ResourceStreamProblem(Span(flipped)).empty()) continue;
    Bytes out = DecompressResource(Span(flipped));
    ASSERT_TRUE(std::equal(out.data(), out.data() + out.size(), config.Bytes().begin())) << "bit " << bit;
  }
}

}  // namespace
