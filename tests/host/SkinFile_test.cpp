// Skin files: container extraction, the SK2 item list, the reader and the theme manager.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "framework/Bitmap.h"
#include "framework/Exceptions.h"
#include "framework/FileUtil.h"
#include "framework/Text.h"
#include "skin/VEL2Define.h"
#include "skin/VEL2SkinReader.h"
#include "skin/VEL2SkinWriter.h"
#include "skin/VELMgr.h"

namespace fs = std::filesystem;
using namespace skin2;

namespace {

std::vector<uint8_t> BmpBytes(int w, int h, uint32_t rgb) {
  TBitmap b(w, h);
  b.Fill(rgb);
  Bytes bytes = b.SaveToBmp(24);
  return std::vector<uint8_t>(bytes.data(), bytes.data() + bytes.size());
}

std::vector<uint8_t> SampleData() {
  std::vector<Sk2Item> items = {
      Sk2Item::Bitmap("SKIN2_BUTTON", BmpBytes(243, 23, 0x3366CC)),
      Sk2Item::Integer("SKIN2_TRANSCOLOR", 0xFF00FF),
      Sk2Item::Integer("SKIN2_TITLEBARICONPOSX", -7),
      Sk2Item::Boolean("SKIN2_BUTTONTRANS", true),
      Sk2Item::Text("SKIN2_AUTHOR", "Blue team"),
      Sk2Item::Integer("skin2_transcolor", 12),  // a second item of the same name: never found
      Sk2Item::Bitmap("SKIN2_CHECKBOX", BmpBytes(102, 17, 0x112233)),
  };
  return BuildSk2Data(items);
}

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}
void WriteAll(const std::string& path, std::span<const uint8_t> bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

uint32_t EndDirOffset(const std::vector<uint8_t>& c) { return Le32(&c[c.size() - kEndRecordSize + kEndDirOffsetField]); }
uint8_t* CentralField(std::vector<uint8_t>& c, int field) { return &c[EndDirOffset(c) + field]; }

// Every test works in its own temporary folder, which is also TMPDIR, so that leftover
// temporary files show.
class SkinFile : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/skinfile_test_XXXXXX";
    dir_ = mkdtemp(pattern);
    const char* old = getenv("TMPDIR");
    oldTmp_ = old ? old : "";
    hadTmp_ = old != nullptr;
    tmp_ = dir_ + "/tmp";
    fs::create_directory(tmp_);
    setenv("TMPDIR", tmp_.c_str(), 1);
  }
  void TearDown() override {
    if (hadTmp_)
      setenv("TMPDIR", oldTmp_.c_str(), 1);
    else
      unsetenv("TMPDIR");
    fs::remove_all(dir_);
  }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  std::string Write(const std::string& name, std::span<const uint8_t> bytes) {
    WriteAll(Path(name), bytes);
    return Path(name);
  }
  bool TempFolderEmpty() const { return fs::is_empty(tmp_); }

  std::string dir_, tmp_, oldTmp_;
  bool hadTmp_ = false;
};

TEST_F(SkinFile, ExtractionResults) {
  const std::vector<uint8_t> content = SampleData();
  SkinContainerOptions encrypted;
  encrypted.Password = "s3cret";
  encrypted.HeaderBytes = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};  // the wrong passwords below fail its check
  SkinContainerOptions descriptor = encrypted;
  descriptor.DataDescriptor = true;
  descriptor.ModTime = 0x9A21;  // check byte 0x9A, differs from the CRC's high byte below
  SkinContainerOptions lower;
  lower.EntryName = "skindata.sk2";
  SkinContainerOptions other;
  other.EntryName = "OTHER.SK2";

  std::vector<uint8_t> plain = BuildSkinContainer(content);
  std::vector<uint8_t> pk = plain;
  pk[0] = 'P';
  std::vector<uint8_t> comment = plain;
  PutLe16(&comment[comment.size() - 2], 3);
  comment.insert(comment.end(), {'a', 'b', 'c'});
  std::vector<uint8_t> tooShortCrc = plain;
  PutLe32(CentralField(tooShortCrc, kCentralUncompressedField), static_cast<uint32_t>(content.size() - 1));
  std::vector<uint8_t> tooLong = plain;
  PutLe32(CentralField(tooLong, kCentralUncompressedField), static_cast<uint32_t>(content.size() + 1));
  std::vector<uint8_t> badDir = plain;
  PutLe32(&badDir[badDir.size() - kEndRecordSize + kEndDirOffsetField], 0xFFFFFFF0u);
  std::vector<uint8_t> badLocal = plain;
  PutLe32(CentralField(badLocal, kCentralLocalOffsetField), 0x7FFFFFF0u);
  // The compressed data cut in half, the directory and end record kept.
  std::vector<uint8_t> cut = plain;
  {
    size_t dataStart = kLocalHeaderSize + 12, dir = EndDirOffset(plain);
    size_t half = (dir - dataStart) / 2;
    cut.erase(cut.begin() + static_cast<long>(dataStart + half), cut.begin() + static_cast<long>(dir));
    PutLe32(&cut[cut.size() - kEndRecordSize + kEndDirOffsetField], static_cast<uint32_t>(dir - (dir - dataStart - half)));
  }
  std::vector<uint8_t> empty = BuildSkinContainer(std::vector<uint8_t>{});
  // A dynamic block whose header declares 287 literal/length codes (HLIT 30): BFINAL 1,
  // BTYPE 2, HLIT 30, HDIST 0, HCLEN 0, then padding.
  std::vector<uint8_t> tooManyCodes = plain;
  {
    size_t dataStart = kLocalHeaderSize + 12;
    const uint8_t header[] = {0x05 | (30 << 3), 0x00, 0x00, 0x00, 0x00, 0x00};
    std::memcpy(&tooManyCodes[dataStart], header, sizeof header);
  }
  std::vector<uint8_t> stored = tooManyCodes;
  PutLe16(CentralField(stored, kCentralMethodField), 0);
  std::vector<uint8_t> encryptedFile = BuildSkinContainer(content, encrypted);
  std::vector<uint8_t> descriptorFile = BuildSkinContainer(content, descriptor);
  ASSERT_NE(Le32(CentralField(descriptorFile, kCentralCrcField)) >> 24, 0x9Au);

  struct Case {
    const char* what;
    const std::vector<uint8_t>* archive;
    const char* password;
    int result;
    const char* reason;  // found in the reason given
    uint32_t maxSize = UINT32_MAX;
  } cases[] = {
      {"plain entry", &plain, "", 0, ""},
      {"plain entry, password ignored", &plain, "whatever", 0, ""},
      {"begins PK", &pk, "", 1, "begin with \"SK\""},
      {"archive comment", &comment, "", 1, "no end record"},
      {"lower-case entry name", nullptr, "", 0, ""},
      {"entry absent", nullptr, "", 1, "has no entry SKINDATA.SK2"},
      {"directory offset past the end", &badDir, "", 1, "has no entry"},
      {"local header past the end", &badLocal, "", 2, "local header lies outside"},
      {"declared size one short", &tooShortCrc, "", 2, "more bytes than it declares"},
      {"declared size one long", &tooLong, "", 2, "decodes to"},
      {"stream cut short", &cut, "", 2, "declares"},
      {"empty entry", &empty, "", 1, "is empty"},
      {"more than 286 length codes", &tooManyCodes, "", 2, "no valid Deflate"},
      {"declared size above the limit", &plain, "", 2, "over the limit of 100", 100},
      {"encrypted, right password", &encryptedFile, "s3cret", 0, ""},
      {"encrypted, wrong password", &encryptedFile, "s3cres", 2, "password is wrong"},
      {"encrypted, empty password", &encryptedFile, "", 2, "no password"},
      {"flag bit 3, right password", &descriptorFile, "s3cret", 0, ""},
      {"flag bit 3, wrong password", &descriptorFile, "other", 2, "password is wrong"},
      {"stored entry", &stored, "", 2, "a stored (uncompressed) entry"},
  };
  std::vector<uint8_t> lowerFile = BuildSkinContainer(content, lower);
  std::vector<uint8_t> otherFile = BuildSkinContainer(content, other);
  cases[4].archive = &lowerFile;
  cases[5].archive = &otherFile;

  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string archive = Write("skin.ssk", *c.archive);
    std::string out = Path("out.sk2");
    std::string reason;
    EXPECT_EQ(ExtractZipEntry(archive, "SKINDATA.SK2", out, c.password, c.maxSize, &reason), c.result);
    EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
    EXPECT_EQ(reason.empty(), c.result == 0) << reason;
    if (c.result == 0) {
      EXPECT_EQ(ReadAll(out), content);
    } else {
      EXPECT_FALSE(FileExists(out));
    }
    RemoveFile(out);
  }
  EXPECT_EQ(ExtractZipEntry(Path("missing.ssk"), "SKINDATA.SK2", Path("out.sk2"), ""), 1);
  EXPECT_FALSE(FileExists(Path("out.sk2")));
}

TEST_F(SkinFile, DecodeStopsAtTheDeclaredSize) {
  // 4 MiB of zeros compress to a few KiB; declared as 10 bytes, no more than that may be
  // decoded into the output before giving up.
  std::vector<uint8_t> zeros(4 << 20);
  std::vector<uint8_t> bomb = BuildSkinContainer(zeros);
  PutLe32(CentralField(bomb, kCentralUncompressedField), 10);
  std::string out = Path("out.sk2");
  EXPECT_EQ(ExtractZipEntry(Write("bomb.ssk", bomb), "SKINDATA.SK2", out, ""), 2);
  EXPECT_FALSE(FileExists(out));
}

// SK2 data with one field of one item header changed.
std::vector<uint8_t> Patched(std::vector<uint8_t> data, int item, int field, uint32_t value) {
  size_t at = kHeaderSize;
  for (int i = 0; i < item; ++i) at = Le32(&data[at + kItemNextField]);
  PutLe32(&data[at + field], value);
  return data;
}

TEST(Sk2Data, ReadsItemsInOrder) {
  Sk2Items items;
  ASSERT_TRUE(ReadSk2Data(SampleData(), items));
  ASSERT_EQ(items.Bitmaps.size(), 2u);
  EXPECT_EQ(items.Bitmaps[0].first, "SKIN2_BUTTON");
  EXPECT_EQ(items.Bitmaps[0].second.Width(), 243);
  EXPECT_EQ(items.Bitmaps[0].second.GetPixel(5, 5), 0x3366CCu);
  EXPECT_EQ(items.Bitmaps[1].second.Height(), 17);
  ASSERT_EQ(items.Integers.size(), 3u);
  EXPECT_EQ(items.Integers[1], (std::pair<std::string, int32_t>("SKIN2_TITLEBARICONPOSX", -7)));
  ASSERT_EQ(items.Booleans.size(), 1u);
  EXPECT_EQ(items.Booleans[0].second, 1);
  ASSERT_EQ(items.Texts.size(), 1u);
  EXPECT_EQ(items.Texts[0].second, "Blue team");
}

TEST(Sk2Data, ChainEdgeCases) {
  const std::vector<uint8_t> good = SampleData();
  // A 64-byte name has no terminator and must not run into the kind byte.
  std::string longName(64, 'N');
  std::vector<Sk2Item> longItems = {Sk2Item::Integer(longName, 5)};
  // Items laid out in reverse order, linked by offsets: order on disk does not matter.
  std::vector<uint8_t> reversed(kHeaderSize + 3 * kItemHeaderSize + 4);
  std::memcpy(reversed.data(), good.data(), kHeaderSize);
  {
    size_t term = kHeaderSize, second = term + kItemHeaderSize, first = second + kItemHeaderSize,
           payload = first + kItemHeaderSize;
    PutLe32(&reversed[kFirstItemField], static_cast<uint32_t>(first));
    std::memcpy(&reversed[first], "FIRST", 5);
    reversed[first + kItemKindField] = 1;
    PutLe32(&reversed[first + kItemPayloadOffsetField], static_cast<uint32_t>(payload));
    PutLe32(&reversed[first + kItemPayloadSizeField], 4);
    PutLe32(&reversed[first + kItemNextField], static_cast<uint32_t>(second));
    std::memcpy(&reversed[second], "SECOND", 6);
    reversed[second + kItemKindField] = 9;  // unknown kind: skipped
    PutLe32(&reversed[second + kItemNextField], static_cast<uint32_t>(term));
    PutLe32(&reversed[payload], 77);
  }
  std::vector<uint8_t> onlyTerminator = BuildSk2Data(std::vector<Sk2Item>{});
  std::vector<uint8_t> notBmp = good;
  notBmp[Le32(&good[kHeaderSize + kItemPayloadOffsetField])] = 'X';
  std::vector<uint8_t> truncated(good.begin(), good.end() - 10);
  std::vector<uint8_t> headerOnly(good.begin(), good.begin() + 20);
  std::vector<uint8_t> firstPastEnd = good;
  PutLe32(&firstPastEnd[kFirstItemField], static_cast<uint32_t>(good.size() - kItemHeaderSize + 1));

  struct Case {
    const char* what;
    std::vector<uint8_t> data;
    bool ok;
    size_t integers;
  } cases[] = {
      {"terminator first", onlyTerminator, true, 0},
      {"64-byte name", BuildSk2Data(longItems), true, 1},
      {"items out of file order", reversed, true, 1},
      {"shorter than the header", headerOnly, false, 0},
      {"first item past the end", firstPastEnd, false, 0},
      {"chain loops to itself", Patched(good, 1, kItemNextField, Le32(&good[kHeaderSize + kItemNextField])), false, 0},
      {"chain loops to the start", Patched(good, 3, kItemNextField, kHeaderSize), false, 0},
      {"next offset past the end", Patched(good, 2, kItemNextField, static_cast<uint32_t>(good.size() - 10)), false, 0},
      {"negative next offset", Patched(good, 2, kItemNextField, 0xFFFFFF00u), false, 0},
      {"bitmap payload past the end", Patched(good, 0, kItemPayloadSizeField, static_cast<uint32_t>(good.size())), false,
       0},
      {"absurd payload size", Patched(good, 4, kItemPayloadSizeField, 0x7FFFFFFFu), false, 0},
      {"negative payload size", Patched(good, 4, kItemPayloadSizeField, 0x80000000u), false, 0},
      {"integer payload past the end", Patched(good, 1, kItemPayloadOffsetField, static_cast<uint32_t>(good.size() - 2)),
       false, 0},
      {"integer of another declared size", Patched(good, 1, kItemPayloadSizeField, 1), true, 3},
      {"bitmap payload not a bitmap", notBmp, false, 0},
      {"terminator cut off", truncated, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Sk2Items items;
    EXPECT_EQ(ReadSk2Data(c.data, items), c.ok);
    EXPECT_EQ(items.Integers.size(), c.integers);
    if (!c.ok) {
      EXPECT_TRUE(items.Bitmaps.empty() && items.Booleans.empty() && items.Texts.empty());
    }
  }
  Sk2Items items;
  ASSERT_TRUE(ReadSk2Data(BuildSk2Data(longItems), items));
  EXPECT_EQ(items.Integers[0].first, longName);
}

TEST(Sk2Data, OnePayloadClaimedOverAndOver) {
  // Many headers pointing at the same bitmap: more payload than the data holds.
  std::vector<uint8_t> bmp = BmpBytes(100, 100, 0x0000FF);
  size_t count = 50;
  std::vector<uint8_t> data(kHeaderSize + bmp.size() + (count + 1) * kItemHeaderSize);
  PutLe32(&data[kFirstItemField], static_cast<uint32_t>(kHeaderSize + bmp.size()));
  std::memcpy(&data[kHeaderSize], bmp.data(), bmp.size());
  for (size_t i = 0; i <= count; ++i) {
    size_t at = kHeaderSize + bmp.size() + i * kItemHeaderSize;
    data[at] = 'B';
    PutLe32(&data[at + kItemPayloadOffsetField], kHeaderSize);
    PutLe32(&data[at + kItemPayloadSizeField], static_cast<uint32_t>(bmp.size()));
    PutLe32(&data[at + kItemNextField], i == count ? 0 : static_cast<uint32_t>(at + kItemHeaderSize));
  }
  Sk2Items items;
  EXPECT_FALSE(ReadSk2Data(data, items));
  EXPECT_TRUE(items.Bitmaps.empty());
}

// A 1-bit BMP of w x h pixels: 1/32 of a byte per pixel, all black.
std::vector<uint8_t> MonoBmp(int w, int h) {
  const uint32_t stride = (static_cast<uint32_t>(w) + 31) / 32 * 4, bits = 14 + 40 + 8;
  std::vector<uint8_t> b(bits + static_cast<size_t>(stride) * h);
  b[0] = 'B', b[1] = 'M';
  PutLe32(&b[2], static_cast<uint32_t>(b.size()));
  PutLe32(&b[10], bits);
  PutLe32(&b[14], 40);
  PutLe32(&b[18], static_cast<uint32_t>(w));
  PutLe32(&b[22], static_cast<uint32_t>(h));
  b[26] = 1, b[28] = 1;
  b[bits - 4] = b[bits - 3] = b[bits - 2] = 0xFF;  // palette: black, white
  return b;
}

// Caps the address space at what the process holds plus `room`, reads, and exits 0 when
// the data was refused.
[[noreturn]] void ReadWithAddressSpaceCap(const std::vector<uint8_t>& data, rlim_t room) {
  long pages = 0;
  std::FILE* f = std::fopen("/proc/self/statm", "r");
  if (!f || std::fscanf(f, "%ld", &pages) != 1) std::_Exit(2);
  std::fclose(f);
  rlim_t cap = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + room;
  rlimit limit{cap, cap};
  setrlimit(RLIMIT_AS, &limit);
  Sk2Items out;
  std::_Exit(ReadSk2Data(data, out) ? 1 : 0);
}

TEST(Sk2Data, PixelBudgetIsCheckedFromTheHeadersBeforeDecoding) {
  // Two 8192 x 8192 bitmaps in 16 MB: twice the pixel budget. Decoding the first would take
  // 256 MB; with the address space capped at 128 MB above what the process holds, the
  // reader must refuse the pair from their headers without decoding either.
  std::vector<Sk2Item> items = {Sk2Item::Bitmap("A", MonoBmp(8192, 8192)), Sk2Item::Bitmap("B", MonoBmp(8192, 8192))};
  std::vector<uint8_t> data = BuildSk2Data(items);
  EXPECT_EXIT(ReadWithAddressSpaceCap(data, 128u << 20), ::testing::ExitedWithCode(0), "");
}

TEST(Sk2Data, NamesCompareIgnoringAsciiCaseOnly) {
  EXPECT_TRUE(SameText("SKIN2_Button", "skin2_BUTTON"));
  EXPECT_FALSE(SameText("SKIN2_BUTTON", "SKIN2_BUTTONS"));
  // 0x81 0x61 and 0x81 0x41 are two GBK characters whose trail bytes are 'a' and 'A'.
  EXPECT_FALSE(SameText("\x81\x61", "\x81\x41"));
  EXPECT_TRUE(SameText("\x81\x61x", "\x81\x61X"));
}

TEST_F(SkinFile, ReaderLookups) {
  std::string skin = Write("a.ssk", BuildSkinContainer(SampleData()));
  Tsk2SkinFileReader reader(skin, "");
  ASSERT_TRUE(reader.Ready());
  ASSERT_NE(reader.GetBitmap("skin2_button"), nullptr);
  EXPECT_EQ(reader.GetBitmap("SKIN2_BUTTON")->Width(), 243);
  EXPECT_EQ(reader.GetBitmap("SKIN2_TITLEBAR1"), nullptr);
  EXPECT_EQ(reader.GetInteger("Skin2_TransColor"), 0xFF00FF);  // the first of two
  EXPECT_EQ(reader.GetInteger("SKIN2_TITLEBARICONPOSX"), -7);
  EXPECT_EQ(reader.GetInteger("SKIN2_MISSING"), -1);
  EXPECT_EQ(reader.GetInteger("SKIN2_BUTTONTRANS"), -1);  // a Boolean is not an integer
  EXPECT_EQ(reader.GetBool("skin2_buttontrans"), 1);
  EXPECT_EQ(reader.GetBool("SKIN2_MISSING"), 0);
  EXPECT_TRUE(TempFolderEmpty());
}

TEST_F(SkinFile, ReaderFailures) {
  const std::vector<uint8_t> good = SampleData();
  SkinContainerOptions encrypted;
  encrypted.Password = "pw";
  std::string enc = Write("enc.ssk", BuildSkinContainer(good, encrypted));
  EXPECT_TRUE(Tsk2SkinFileReader(enc, "pw").Ready());
  EXPECT_EQ(Tsk2SkinFileReader(enc, "PW").Problem(), "encrypted, and the password is wrong");
  EXPECT_FALSE(Tsk2SkinFileReader(enc, "").Ready());

  fs::create_directory(Path("folder.ssk"));
  for (const char* bad : {"missing.ssk", "pk.ssk", "folder.ssk"}) {
    SCOPED_TRACE(bad);
    if (std::string(bad) == "pk.ssk") {
      std::vector<uint8_t> pk = BuildSkinContainer(good);
      pk[0] = 'P';
      Write(bad, pk);
    }
    try {
      Tsk2SkinFileReader reader(Path(bad), "");
      ADD_FAILURE() << "no error raised";
    } catch (const Exception& e) {
      // The fixed text first, then the file and the reason.
      EXPECT_EQ(std::string(e.what()).rfind("Failed to read skin file! " + Path(bad) + ": ", 0), 0u) << e.what();
    }
  }

  std::vector<uint8_t> notBmp = good;
  notBmp[Le32(&good[kHeaderSize + kItemPayloadOffsetField])] = 'X';
  for (const auto& damaged : {Patched(good, 2, kItemNextField, kHeaderSize), notBmp,
                              Patched(good, 4, kItemPayloadSizeField, 0x7FFFFFF0u)}) {
    Tsk2SkinFileReader reader(Write("damaged.ssk", BuildSkinContainer(damaged)), "");
    EXPECT_FALSE(reader.Ready());
    EXPECT_EQ(reader.GetInteger("SKIN2_TRANSCOLOR"), -1);
  }
  EXPECT_TRUE(TempFolderEmpty());
}

TEST(FileThemeNames, TableLayout) {
  EXPECT_STREQ(FileThemeColorName(0), "SKIN2_TRANSCOLOR");
  EXPECT_STREQ(FileThemeColorName(31), "SKIN2_SIDECHANNELBORDERCOLOR");
  EXPECT_STREQ(FileThemeBitmapName(0), "SKIN2_TITLEBAR1");
  EXPECT_STREQ(FileThemeBitmapName(15), "SKIN2_BUTTON");
  EXPECT_STREQ(FileThemeBitmapName(32), "SKIN2_SIDECHANNELTITLE");
  EXPECT_STREQ(FileThemeBitmapName(33), "SKIN2_SCROLLBUTTON");
  EXPECT_STREQ(FileThemeIntName(0), "SKIN2_TITLEBARICONPOSX");
  EXPECT_STREQ(FileThemeIntName(8), "SKIN2_BOTTOMREGIONMAXY");
  EXPECT_STREQ(FileThemeBoolName(0), "SKIN2_TITLEFIVESECT");
  EXPECT_STREQ(FileThemeBoolName(8), "SKIN2_TABCONTROLTRANS");
  for (int i : {-1, 32}) EXPECT_EQ(FileThemeColorName(i), nullptr);
  for (int i : {-1, 34}) EXPECT_EQ(FileThemeBitmapName(i), nullptr);
  for (int i : {-1, 9}) EXPECT_EQ(FileThemeIntName(i), nullptr);
  for (int i : {-1, 9}) EXPECT_EQ(FileThemeBoolName(i), nullptr);
  for (int i = 0; i < kSkin2NameCount; ++i)
    for (int j = i + 1; j < kSkin2NameCount; ++j) EXPECT_STRNE(Skin2ItemNames[i], Skin2ItemNames[j]);
}

TEST_F(SkinFile, ThemeManager) {
  TvelFileThemeMgr mgr;
  EXPECT_EQ(mgr.GetBitmap(15), nullptr);
  EXPECT_EQ(mgr.GetBool(5), 0);
  EXPECT_EQ(mgr.GetColor(0), 0);
  EXPECT_EQ(mgr.GetInt(0), 0);

  std::string skin = Write("a.ssk", BuildSkinContainer(SampleData()));
  ASSERT_TRUE(mgr.LoadSkinFile(skin, ""));
  ASSERT_NE(mgr.GetBitmap(15), nullptr);
  EXPECT_EQ(mgr.GetBitmap(15)->Width(), 243);
  EXPECT_EQ(mgr.GetBitmap(16)->Width(), 102);
  EXPECT_EQ(mgr.GetBitmap(0), nullptr);
  EXPECT_EQ(mgr.GetColor(0), 0xFF00FF);
  EXPECT_EQ(mgr.GetColor(1), -1);
  EXPECT_EQ(mgr.GetInt(0), -7);
  EXPECT_EQ(mgr.GetInt(1), -1);
  EXPECT_EQ(mgr.GetBool(5), 1);
  EXPECT_EQ(mgr.GetBool(4), 0);
  EXPECT_EQ(mgr.GetInt(9), -1);  // numbers outside the index space answer as absent
  EXPECT_EQ(mgr.GetBitmap(-1), nullptr);

  // A missing file keeps the current skin; an existing damaged one leaves none.
  EXPECT_FALSE(mgr.LoadSkinFile(Path("missing.ssk"), ""));
  EXPECT_NE(mgr.Reader(), nullptr);
  std::vector<uint8_t> junk = {'S', 'K', 3, 4, 0, 0};
  EXPECT_FALSE(mgr.LoadSkinFile(Write("junk.ssk", junk), ""));
  EXPECT_EQ(mgr.Reader(), nullptr);
  EXPECT_EQ(mgr.GetColor(0), 0);
  // A wrong password likewise.
  SkinContainerOptions encrypted;
  encrypted.Password = "pw";
  std::string enc = Write("enc.ssk", BuildSkinContainer(SampleData(), encrypted));
  EXPECT_FALSE(mgr.LoadSkinFile(enc, "nope"));
  EXPECT_EQ(mgr.Reader(), nullptr);
  EXPECT_TRUE(mgr.LoadSkinFile(enc, "pw"));
  EXPECT_TRUE(TempFolderEmpty());
}

TEST_F(SkinFile, ThemeFileResolution) {
  for (const char* d : {"cwd", "exe", "win", "sys"}) fs::create_directory(Path(d));
  std::string exe = Path("exe"), win = Path("win") + "/", sys = Path("sys");
  auto resolve = [&](const std::string& p) { return ResolveThemeFile(p, exe, win, sys, '/'); };

  EXPECT_EQ(resolve(Path("cwd/Blue.ssk")), "");
  Write("sys/Blue.ssk", std::vector<uint8_t>{1});
  EXPECT_EQ(resolve(Path("cwd/Blue.ssk")), sys + "/Blue.ssk");
  Write("win/Blue.ssk", std::vector<uint8_t>{1});
  EXPECT_EQ(resolve(Path("cwd/Blue.ssk")), win + "Blue.ssk");
  Write("exe/Blue.ssk", std::vector<uint8_t>{1});
  EXPECT_EQ(resolve("Blue.ssk"), exe + "/Blue.ssk");
  EXPECT_EQ(resolve("C:\\Skins\\Blue.ssk"), exe + "/Blue.ssk");
  Write("cwd/Blue.ssk", std::vector<uint8_t>{1});
  EXPECT_EQ(resolve(Path("cwd/Blue.ssk")), Path("cwd/Blue.ssk"));
  EXPECT_EQ(resolve(""), "");
  EXPECT_EQ(resolve(Path("cwd/")), "");

  // This machine's folders: the test program lies in the executable's folder.
  std::string exeFolder = ExeFolder();
  ASSERT_FALSE(exeFolder.empty());
  EXPECT_EQ(exeFolder.back(), '/');
  std::string self = fs::read_symlink("/proc/self/exe").filename().string();
  EXPECT_EQ(ResolveThemeFile(Path("cwd/") + self), exeFolder + self);
}

TEST(FileTheme, UseFileTheme) {
  using S = TvelUIStyle;
  struct Case {
    bool ready;
    S style;
    bool use;
    S effective;
  } cases[] = {
      {true, S::FromThemeFile, true, S::FromThemeFile},  {false, S::FromThemeFile, false, S::DeepBlue},
      {true, S::BlueGlass, false, S::BlueGlass},         {false, S::MacOS, false, S::MacOS},
  };
  for (const Case& c : cases) {
    S effective = S::Protein;
    EXPECT_EQ(UseFileTheme(c.ready, c.style, effective), c.use);
    EXPECT_EQ(effective, c.effective);
  }
}

}  // namespace

namespace {

// The sample skin made by the build (target sample_skin).
const std::string kBlueSkin = std::string(VX_BINARY_DIR) + "/skins/Blue.ssk";

TEST(SampleSkin, ItemsOfTheVocabulary) {
  ASSERT_TRUE(FileExists(kBlueSkin)) << "build the target sample_skin";
  TvelFileThemeMgr mgr;
  ASSERT_TRUE(mgr.LoadSkinFile(kBlueSkin, ""));
  const Tsk2SkinFileReader& reader = *mgr.Reader();
  for (int i = 0; i < kFileThemeBitmapCount; ++i) {
    bool lacking = i == 8 || i == 9 || i == 13 || i == 14;
    EXPECT_EQ(mgr.GetBitmap(i) == nullptr, lacking) << FileThemeBitmapName(i);
  }
  auto has = [](const auto& list, const char* name) {
    for (const auto& item : list)
      if (item.first == name) return true;
    return false;
  };
  for (int i = 0; i < kFileThemeColorCount; ++i) EXPECT_TRUE(has(reader.Items().Integers, FileThemeColorName(i)));
  for (int i = 0; i < kFileThemeIntCount; ++i) EXPECT_TRUE(has(reader.Items().Integers, FileThemeIntName(i)));
  for (int i = 0; i < kFileThemeBoolCount; ++i) EXPECT_TRUE(has(reader.Items().Booleans, FileThemeBoolName(i)));
  EXPECT_EQ(reader.Items().Bitmaps.size(), 30u);
  EXPECT_EQ(reader.Items().Integers.size(), 43u);
  EXPECT_EQ(reader.Items().Booleans.size(), 9u);
  EXPECT_TRUE(reader.Items().Texts.empty());
  EXPECT_EQ(reader.GetInteger("SKIN2_SYSTEMCOLOR1"), 65280);
  EXPECT_EQ(reader.GetInteger("SKIN2_SYSTEMCOLOR2"), 8388608);
  EXPECT_EQ(mgr.GetColor(0), 0xFF00FF);

  struct Size {
    int index, width, height;
  } sizes[] = {{15, 243, 23}, {16, 102, 17}, {18, 60, 15}, {11, 396, 22}};
  for (const Size& s : sizes) {
    EXPECT_EQ(mgr.GetBitmap(s.index)->Width(), s.width) << FileThemeBitmapName(s.index);
    EXPECT_EQ(mgr.GetBitmap(s.index)->Height(), s.height) << FileThemeBitmapName(s.index);
  }
  // The radio marks are drawn with their bottom-left pixel left out: it must be the key.
  const TBitmap* radio = mgr.GetBitmap(18);
  for (int frame = 0; frame < 4; ++frame) EXPECT_EQ(PixelToColor(radio->GetPixel(frame * 15, 14)), 0xFF00FFu);
}

TEST(SampleSkin, BitmapsAre24Bit) {
  ASSERT_TRUE(FileExists(kBlueSkin)) << "build the target sample_skin";
  char pattern[] = "/tmp/skinfile_sample_XXXXXX";
  std::string dir = mkdtemp(pattern);
  std::string out = dir + "/data.sk2";
  int result = ExtractZipEntry(kBlueSkin, "SKINDATA.SK2", out, "");
  std::vector<uint8_t> data = ReadAll(out);
  fs::remove_all(dir);
  ASSERT_EQ(result, 0);
  ASSERT_GE(data.size(), static_cast<size_t>(kHeaderSize));
  int bitmaps = 0;
  for (size_t at = Le32(&data[kFirstItemField]); Le32(&data[at + kItemNextField]) != 0;
       at = Le32(&data[at + kItemNextField])) {
    if (data[at + kItemKindField] != 0) continue;
    const uint8_t* bmp = &data[Le32(&data[at + kItemPayloadOffsetField])];
    EXPECT_EQ(Le16(bmp + 28), 24) << reinterpret_cast<const char*>(&data[at]);
    ++bitmaps;
  }
  EXPECT_EQ(bitmaps, 30);
}

}  // namespace

namespace {

// A themed control as the file theme sees it: it records what it is given.
class FakeThemable : public TComponent, public IvelThemable {
 public:
  FakeThemable(TComponent* owner, const char* className, bool formFrame = false)
      : TComponent(owner), className_(className), formFrame_(formFrame) {}
  const char* ClassName() const override { return className_; }
  void SetFileTheme(TvelFileTheme* theme) override {
    theme_ = theme;
    sets.push_back(theme);
  }
  TvelFileTheme* GetFileTheme() const override { return theme_; }
  void SetUIStyle(TvelUIStyle) override {}
  TvelUIStyle GetUIStyle() const override { return TvelUIStyle::FromThemeFile; }
  bool IsFormFrame() const override { return formFrame_; }
  std::vector<TvelFileTheme*> sets;

 private:
  const char* className_;
  bool formFrame_;
  TvelFileTheme* theme_ = nullptr;
};

TEST_F(SkinFile, FileThemeComponent) {
  TComponent owner(nullptr);
  TvelFileTheme* theme = new TvelFileTheme(&owner);
  EXPECT_FALSE(theme->Ready());
  EXPECT_EQ(theme->GetColor(0), 0);

  // A bare file name not in the current folder is found beside the executable.
  std::string leaf = "skinfile_test_" + std::to_string(getpid()) + ".ssk";
  std::string besideExe = ExeFolder() + leaf;
  WriteAll(besideExe, BuildSkinContainer(SampleData()));
  fs::path cwd = fs::current_path();
  fs::current_path(dir_);
  theme->SetThemeFile(leaf);
  fs::current_path(cwd);
  RemoveFile(besideExe);
  EXPECT_EQ(theme->ThemeFile(), besideExe);
  ASSERT_TRUE(theme->Ready());
  EXPECT_EQ(theme->GetInt(0), -7);

  TBitmap frame;
  theme->GetBitmapFrame(15, frame, 3, 2);
  EXPECT_EQ(frame.Width(), 81);
  theme->GetBitmapFrame(15, frame, 0, 0);
  EXPECT_EQ(frame.Width(), 243);
  theme->GetBitmapFrame(0, frame, 3, 1);  // the sample data has no SKIN2_TITLEBAR1
  EXPECT_TRUE(frame.Empty());

  // A path that resolves nowhere changes nothing.
  theme->SetThemeFile(Path("nowhere.ssk"));
  EXPECT_EQ(theme->ThemeFile(), besideExe);
  EXPECT_TRUE(theme->Ready());

  // An existing damaged skin: not ready, no error.
  std::vector<uint8_t> junk = {'S', 'K', 1, 2, 3};
  std::string damaged = Write("damaged.ssk", junk);
  theme->SetThemeFile(damaged);
  EXPECT_EQ(theme->ThemeFile(), damaged);
  EXPECT_FALSE(theme->Ready());

  // An empty password does not reload; a non-empty one reloads the current file with it.
  SkinContainerOptions encrypted;
  encrypted.Password = "pw";
  std::string enc = Write("enc.ssk", BuildSkinContainer(SampleData(), encrypted));
  theme->SetThemeFile(enc);
  EXPECT_FALSE(theme->Ready());
  WriteAll(enc, junk);
  theme->SetPassword("");
  EXPECT_FALSE(theme->Ready());
  WriteAll(enc, BuildSkinContainer(SampleData(), encrypted));
  theme->SetPassword("pw");
  EXPECT_TRUE(theme->Ready());
  EXPECT_EQ(theme->Password(), "pw");
  EXPECT_TRUE(TempFolderEmpty());
}

TEST(FileTheme, RereadsTheSkinControlsThatUseIt) {
  TComponent form(nullptr);
  auto* theme = new TvelFileTheme(&form);
  auto* other = new TvelFileTheme(&form);
  auto* user = new FakeThemable(&form, "TvelButton");
  auto* otherUser = new FakeThemable(&form, "TvelPanel");
  auto* foreign = new FakeThemable(&form, "TButton");  // not of the skin library
  auto* frame = new FakeThemable(&form, "TvelForm", true);
  user->SetFileTheme(theme);
  otherUser->SetFileTheme(other);
  foreign->SetFileTheme(theme);
  for (auto* c : {user, otherUser, foreign}) c->sets.clear();

  EXPECT_FALSE(RereadFileThemeUsers(form, theme));
  EXPECT_EQ(user->sets, (std::vector<TvelFileTheme*>{nullptr, theme}));
  EXPECT_TRUE(otherUser->sets.empty());
  EXPECT_TRUE(foreign->sets.empty());
  EXPECT_TRUE(frame->sets.empty());

  frame->SetFileTheme(theme);
  EXPECT_TRUE(RereadFileThemeUsers(form, theme));
  EXPECT_EQ(frame->sets.back(), theme);
}

}  // namespace
