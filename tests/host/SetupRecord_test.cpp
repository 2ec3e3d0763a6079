#include <gtest/gtest.h>
#include <zlib.h>

#include <vector>

#include "framework/Exceptions.h"
#include "installer/BaseDef.h"
#include "installer/FakePlatform.h"
#include "installer/SetupConfig.h"
#include "installer/SetupData.h"

namespace {

std::vector<uint8_t> ToVector(const Bytes& b) { return std::vector<uint8_t>(b.data(), b.data() + b.size()); }

std::vector<uint8_t> Pattern(size_t n) {
  std::vector<uint8_t> v(n);
  uint32_t x = 12345;
  for (auto& b : v) {
    x = x * 1103515245 + 12345;
    b = static_cast<uint8_t>((x >> 16) % 7 + 'a');  // compressible but not trivial
  }
  return v;
}

// A CompressedResource whose declared size differs from the real one.
std::vector<uint8_t> WithDeclaredSize(std::vector<uint8_t> res, int32_t u) {
  for (int i = 0; i < 4; ++i) res[i] = static_cast<uint8_t>(static_cast<uint32_t>(u) >> (8 * i));
  return res;
}

TEST(SetupRecord, SlotsReadExactlyTheirLength) {
  SetupConfig c;
  auto& r = c.MutableRecord();
  std::memcpy(r.ProductName.text, "ABCDEFGH", 8);
  r.ProductName.length = 0;
  EXPECT_EQ(c.Record().ProductName.Text(), "");
  r.ProductName.length = 3;
  EXPECT_EQ(c.Record().ProductName.Text(), "ABC");
  // A length byte above the capacity reads as the capacity, never past the slot.
  r.ReleaseDate.length = 200;
  EXPECT_EQ(c.Record().ReleaseDate.Text().size(), 8u);
  r.TargetFolder.length = 255;
  EXPECT_EQ(c.Record().TargetFolder.Text().size(), 128u);
}

TEST(SetupRecord, TargetFolderIsCutTo128Bytes) {
  SetupConfig c;
  c.SetTargetFolder(std::string(200, 'x'));
  EXPECT_EQ(c.TargetFolder(), std::string(128, 'x'));
  c.SetTargetFolder("E:\\App");
  EXPECT_EQ(c.TargetFolder(), "E:\\App");
}

TEST(SetupRecord, CountsAreClampedToTheTable) {
  SetupConfig c;
  auto& r = c.MutableRecord();
  r.FileCount.Set(-5);
  r.ShortcutCount.Set(257);
  r.RegistryValueCount.Set(0x7fffffff);
  EXPECT_EQ(c.FileCount(), 0);
  EXPECT_EQ(c.ShortcutCount(), 256);
  EXPECT_EQ(c.RegistryValueCount(), 256);
  r.FileCount.Set(6);
  EXPECT_EQ(c.FileCount(), 6);
}

TEST(SetupRecord, IntegersAreLittleEndianAtTheirOffsets) {
  std::vector<uint8_t> raw(kSetupConfigSize, 0);
  raw[1320] = 0x78;
  raw[1321] = 0x56;
  raw[1322] = 0x34;
  raw[1323] = 0x92;  // high bit: negative as int32, 0x92345678 as a pattern
  raw[37164] = 6;
  raw[1324 + 140 * 2 + 132] = 0x10;  // file row 2, Offset
  raw[37168 + 268 + 136] = 2;        // shortcut row 1, Kind
  raw[105780 + 396 * 3 + 392] = 0xFF;
  raw[105780 + 396 * 3 + 393] = 0xFF;
  raw[105780 + 396 * 3 + 394] = 0xFF;
  raw[105780 + 396 * 3 + 395] = 0xFF;  // registry row 3, IntegerValue = -1
  SetupConfig c;
  c.Load(raw);
  EXPECT_EQ(c.Record().PackChecksum.GetU(), 0x92345678u);
  EXPECT_EQ(c.FileCount(), 6);
  EXPECT_EQ(c.File(2).Offset.Get(), 0x10);
  EXPECT_EQ(c.Shortcut(1).Kind, 2);
  EXPECT_EQ(c.RegistryValue(3).IntegerValue.Get(), -1);
}

TEST(SetupRecord, LoadTakesAtMostTheBlockAndKeepsTheRest) {
  SetupConfig c;
  std::vector<uint8_t> longer(kSetupConfigSize + 100, 1);
  c.Load(longer);  // the surplus is ignored
  EXPECT_EQ(c.Record().RegistryValueCount.Get(), 0x01010101);

  SetupConfig d;
  std::vector<uint8_t> shorter(1000, 7);
  d.Load(shorter);
  EXPECT_EQ(d.Record().AuthorName.length, 7);
  EXPECT_EQ(d.FileCount(), 0);  // the tail stays zero
  EXPECT_EQ(d.Bytes()[1000], 0);
}

TEST(CompressedResource, RoundTripAndDeclaredSizeRules) {
  std::vector<uint8_t> data = Pattern(300000);
  std::vector<uint8_t> res = ToVector(CompressResource(data));
  EXPECT_EQ(res[4], 0x78);
  EXPECT_EQ(res[5], 0xDA);  // level 9
  EXPECT_EQ(ToVector(DecompressResource(res)), data);

  // U smaller than the data: the first U bytes, no error.
  Bytes head = DecompressResource(WithDeclaredSize(res, 1000));
  ASSERT_EQ(head.size(), 1000u);
  EXPECT_TRUE(std::equal(head.data(), head.data() + 1000, data.begin()));

  // U larger than the data: "Stream read error".
  try {
    DecompressResource(WithDeclaredSize(res, 300001));
    FAIL();
  } catch (const EReadError& e) {
    EXPECT_STREQ(e.what(), "Stream read error");
  }
}

TEST(CompressedResource, MalformedInputIsRefusedCleanly) {
  std::vector<uint8_t> res = ToVector(CompressResource(Pattern(5000)));
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    bool decompressionError;  // "Error" rather than "Stream read error"
  };
  std::vector<uint8_t> truncated(res.begin(), res.begin() + res.size() / 2);
  std::vector<uint8_t> badHeader = res;
  badHeader[4] = 0x12;
  std::vector<uint8_t> badData = res;
  for (size_t i = 8; i < 40 && i < badData.size(); ++i) badData[i] ^= 0xA5;
  std::vector<Case> cases = {
      {"three bytes", {1, 0, 0}, false},
      {"empty", {}, false},
      {"U bytes promised, no stream", {5, 0, 0, 0}, false},
      {"negative U", WithDeclaredSize(res, -1), false},
      {"U beyond any deflate ratio", WithDeclaredSize(res, 0x7ffffff0), false},
      {"stream cut in half", truncated, false},
      {"bad zlib header", badHeader, true},
      {"corrupt deflate data", badData, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      DecompressResource(c.bytes);
      ADD_FAILURE() << "no error";
    } catch (const EDecompressionError& e) {
      EXPECT_TRUE(c.decompressionError);
      EXPECT_STREQ(e.what(), "Error");
    } catch (const EReadError& e) {
      EXPECT_FALSE(c.decompressionError);
      EXPECT_STREQ(e.what(), "Stream read error");
    }
  }
}

TEST(CompressedResource, ZeroSizeInFourBytesIsEmpty) {
  std::vector<uint8_t> res = {0, 0, 0, 0};
  EXPECT_EQ(DecompressResource(res).size(), 0u);
  TMemoryStream s;
  s.WriteBuffer(res.data(), res.size());
  DecompressInPlace(s);
  EXPECT_EQ(s.Size(), 0);
}

TEST(CompressedResource, InPlaceReplacesTheStreamContents) {
  std::vector<uint8_t> data = Pattern(70000);
  Bytes res = CompressResource(data);
  TMemoryStream s;
  s.WriteBuffer(res.data(), res.size());
  DecompressInPlace(s);
  ASSERT_EQ(s.Size(), 70000);
  EXPECT_EQ(s.Position(), 0);
  std::vector<uint8_t> back(70000);
  s.ReadBuffer(back.data(), back.size());
  EXPECT_EQ(back, data);
}

// The inflater takes the stream's check value itself, in one pass with the byte sum: it
// must equal zlib's at every length and alignment (the vector path's blocks, its reduction
// every 5552 bytes, the tails), including all-0xFF runs where the sums come nearest to
// overflowing, and damage that only the check value reveals must still be refused.
TEST(CompressedResource, CheckValueIsZlibsAndStillGuardsTheData) {
  std::vector<uint8_t> data = Pattern(40000);
  std::vector<uint8_t> ones(3 * 5552 + 17, 0xFF);
  for (const std::vector<uint8_t>* v : {&data, &ones})
    for (size_t start : {0u, 1u, 7u})
      for (size_t n : {0u, 1u, 15u, 16u, 17u, 5551u, 5552u, 5553u, 11104u, 16673u}) {
        if (start + n > v->size()) continue;
        std::span<const uint8_t> piece(v->data() + start, n);
        uint32_t sum = 5;
        uint32_t seed = start ? 0x12345678u % 65521 : 1;  // carried on from earlier bytes
        EXPECT_EQ(Adler32AndSum(seed, piece, sum), adler32(seed, piece.data(), static_cast<uInt>(n))) << start << "+" << n;
        EXPECT_EQ(sum, 5 + PackByteSum(piece)) << start << "+" << n;
      }
  // Stored blocks (level 0) inflate whatever their bytes are: a changed byte in them, or a
  // changed trailer, is caught by the check value alone.
  std::vector<uint8_t> stored(4 + compressBound(5000));
  uLongf len = stored.size() - 4;
  ASSERT_EQ(compress2(stored.data() + 4, &len, data.data(), 5000, 0), Z_OK);
  stored.resize(4 + len);
  stored[0] = 5000 & 0xFF;
  stored[1] = 5000 >> 8;
  uint32_t sum = 0;
  EXPECT_EQ(ToVector(DecompressResource(stored, &sum)), std::vector<uint8_t>(data.begin(), data.begin() + 5000));
  EXPECT_EQ(sum, PackByteSum({data.data(), 5000}));
  for (size_t at : {size_t{4000}, stored.size() - 1}) {
    std::vector<uint8_t> damaged = stored;
    damaged[at] ^= 1;
    EXPECT_THROW(DecompressResource(damaged), EDecompressionError) << at;
    EXPECT_THROW(PackResourceSum(damaged), EDecompressionError) << at;
  }
}

TEST(PackSum, WrapsAt32BitsAndIsZeroWhenEmpty) {
  EXPECT_EQ(PackByteSum({}), 0u);
  std::vector<uint8_t> v = {1, 2, 255};
  EXPECT_EQ(PackByteSum(v), 258u);
  // 16,843,010 bytes of 0xFF sum to 4,294,967,550 = 2^32 + 254.
  std::vector<uint8_t> big(16843010, 0xFF);
  EXPECT_EQ(PackByteSum(big), 254u);
}

class SetupDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetupConfig c;
    c.MutableRecord().ProductName.Assign("Demo");
    pack_ = Pattern(4096);
    c.MutableRecord().PackChecksum.Set(static_cast<int32_t>(PackByteSum(pack_)));
    config_ = ToVector(CompressResource(c.Bytes()));
    fake_.SetResource("SETUPINI", config_);
    fake_.SetResource("SETUPPACK", ToVector(CompressResource(pack_)));
    fake_.AddDir("E:\\");
  }
  FakePlatform fake_;
  std::vector<uint8_t> config_, pack_;
};

TEST_F(SetupDataTest, ConfigurationIsStagedByteForByteAndReadBack) {
  fake_.AddFile("E:\\tmp.cx", "old contents");
  WriteConfigResource(fake_, "E:\\tmp.cx");
  const std::string& staged = fake_.FileContent("E:\\tmp.cx");
  EXPECT_EQ(std::vector<uint8_t>(staged.begin(), staged.end()), config_);
  SetupConfig loaded;
  LoadConfiguration(fake_, "E:\\tmp.cx", loaded);
  EXPECT_EQ(loaded.Record().ProductName.Text(), "Demo");
}

TEST_F(SetupDataTest, MissingStagingFileLeavesTheBlock) {
  SetupConfig loaded;
  loaded.MutableRecord().Version.Assign("kept");
  LoadConfiguration(fake_, "E:\\absent.cx", loaded);
  EXPECT_EQ(loaded.Record().Version.Text(), "kept");
}

TEST_F(SetupDataTest, ReadOnlyStagingFileFailsWithTheCreationError) {
  fake_.AddFile("E:\\tmp.cx", "x", /*readOnly=*/true);
  try {
    WriteConfigResource(fake_, "E:\\tmp.cx");
    FAIL();
  } catch (const EFCreateError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"E:\\tmp.cx\". ", 0), 0u) << e.what();
  }
  EXPECT_TRUE(fake_.dialogs.empty());
}

TEST_F(SetupDataTest, MissingResourceIsNamed) {
  FakePlatform empty;
  try {
    LoadPack(empty);
    FAIL();
  } catch (const EResNotFound& e) {
    EXPECT_STREQ(e.what(), "Resource SETUPPACK not found");
  }
}

TEST_F(SetupDataTest, PackVerifiesSilentlyOrAsks) {
  SetupConfig c;
  c.Load(DecompressResource(config_).view());
  auto pack = LoadPack(fake_);
  EXPECT_EQ(pack->Size(), 4096);
  EXPECT_EQ(pack->Position(), 0);
  EXPECT_TRUE(VerifyPack(fake_, *pack, c));
  EXPECT_TRUE(fake_.dialogs.empty());

  c.MutableRecord().PackChecksum.Set(1);
  fake_.confirmAnswers = {false, true};
  EXPECT_FALSE(VerifyPack(fake_, *pack, c));
  EXPECT_TRUE(VerifyPack(fake_, *pack, c));
  ASSERT_EQ(fake_.dialogs.size(), 2u);
  EXPECT_EQ(fake_.dialogs[0], "文件资源校核不完整,继续吗?");
}

}  // namespace
