#include <gtest/gtest.h>
#include <windows.h>

#include "framework/Exceptions.h"
#include "framework/ResourceStream.h"
#include "framework/Text.h"
#include "installer/BaseDef.h"
#include "installer/Platform_win.h"
#include "installer/SetupData.h"

namespace {

TEST(ModuleResources, ProductDecodesAndVerifiesFromTheModule) {
  Win32Platform platform;
  SetupConfig config;
  config.Load(DecompressResource(platform.Resource("SETUPINI")).view());
  EXPECT_EQ(config.Record().ProductFolder.Text(), "KORVA-Y");
  EXPECT_EQ(config.FileCount(), 7);
  auto pack = LoadPack(platform);
  EXPECT_EQ(PackByteSum({pack->Memory(), static_cast<size_t>(pack->Size())}), config.Record().PackChecksum.GetU());
  const SetupFileEntry& last = config.File(config.FileCount() - 1);
  EXPECT_EQ(last.Offset.Get() + last.Size.Get(), pack->Size());
}

TEST(ModuleResources, NamesIgnoreCaseAndMissingOnesAreNamed) {
  TResourceStream a(nullptr, "protocol");
  TResourceStream b(nullptr, "Protocol");
  EXPECT_EQ(a.Memory(), b.Memory());
  EXPECT_GT(a.Size(), 100);
  // The licence is GBK with CR LF line breaks.
  std::string text(reinterpret_cast<const char*>(a.Memory()), static_cast<size_t>(a.Size()));
  EXPECT_NE(text.find("\r\n"), std::string::npos);
  EXPECT_NE(text.find("软件许可协议"), std::string::npos);
  try {
    TResourceStream missing(nullptr, "NOPE");
    FAIL();
  } catch (const EResNotFound& e) {
    EXPECT_STREQ(e.what(), "Resource NOPE not found");
  }
}

TEST(ModuleResources, StagedConfigurationRoundTripsThroughARealFile) {
  Win32Platform platform;
  wchar_t tmp[MAX_PATH];
  GetTempPathW(MAX_PATH, tmp);
  std::string path = WideToGbk(tmp) + "vx_stage_测试.cx";
  WriteConfigResource(platform, path);
  WriteConfigResource(platform, path);  // over an existing file
  SetupConfig config;
  LoadConfiguration(platform, path, config);
  EXPECT_EQ(config.Record().PublisherKey.Text(), "KorvaSoft");
  Bytes staged = platform.ReadWholeFile(path);
  auto res = platform.Resource("SETUPINI");
  ASSERT_EQ(staged.size(), res.size());
  EXPECT_EQ(0, memcmp(staged.data(), res.data(), res.size()));

  EXPECT_TRUE(platform.RemoveFile(path));
  EXPECT_FALSE(platform.FileExists(path));

  // A path that cannot be created (a folder stands there; tests run as root under Wine,
  // where a read-only attribute does not stop a rewrite): the creation error names it.
  ASSERT_TRUE(platform.MakeDir(path));
  try {
    WriteConfigResource(platform, path);
    ADD_FAILURE() << "no error";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"" + path + "\". ", 0), 0u) << e.what();
  }
  RemoveDirectoryW(GbkToWide(path).c_str());
}

TEST(Text, GbkConvertsBothWays) {
  std::string gbk = "安装向导";  // compiled to GBK bytes
  ASSERT_EQ(gbk.size(), 8u);
  EXPECT_EQ(static_cast<unsigned char>(gbk[0]), 0xB0);
  EXPECT_EQ(GbkToWide(gbk), L"\u5b89\u88c5\u5411\u5bfc");
  EXPECT_EQ(WideToGbk(L"\u5b89\u88c5\u5411\u5bfc"), gbk);
  std::string back;
  EXPECT_TRUE(Utf8ToGbk("\xe5\xae\x89\xe8\xa3\x85", back));
  EXPECT_EQ(back, gbk.substr(0, 4));
  EXPECT_FALSE(Utf8ToGbk("\xf0\x9f\x98\x80", back));  // an emoji has no GBK form
}

}  // namespace
