#include <gtest/gtest.h>

#include <functional>

#include "framework/Exceptions.h"
#include "framework/Registry.h"
#include "framework/Text.h"

namespace {

const std::string kTestKey = "\\Software\\VxRegistryTest";

class RegistryTest : public ::testing::Test {
 protected:
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VxRegistryTest"); }
  void ExpectError(const std::function<void()>& f, const std::string& text) {
    try {
      f();
      ADD_FAILURE() << "no error, expected " << text;
    } catch (const ERegistryException& e) {
      EXPECT_EQ(e.what(), text);
    }
  }
};

TEST_F(RegistryTest, WritesAndReadsTypedValuesInGbk) {
  TRegistry reg(KEY_READ | KEY_SET_VALUE);
  EXPECT_EQ(reg.RootKey(), HKEY_CURRENT_USER);
  EXPECT_FALSE(reg.OpenKey(kTestKey + "\\子键", false));
  ASSERT_TRUE(reg.OpenKey(kTestKey + "\\子键", true));
  reg.WriteString("名称", "简体中文");
  reg.WriteInteger("Setup", 1);
  reg.WriteInteger("Minus", -10);
  reg.CloseKey();
  // Without the leading backslash the path is taken from the root just the same.
  ASSERT_TRUE(reg.OpenKey("Software\\VxRegistryTest\\子键", false));
  EXPECT_EQ(reg.ReadString("名称"), "简体中文");
  EXPECT_TRUE(reg.ReadBool("Setup"));
  EXPECT_EQ(reg.ReadInteger("Minus"), -10);
  EXPECT_EQ(reg.ReadString("absent"), "");
  // Stored as the W functions see it.
  wchar_t buf[16];
  DWORD size = sizeof buf, type = 0;
  ASSERT_EQ(RegQueryValueExW(reg.CurrentKey(), L"\u540d\u79f0", nullptr, &type, reinterpret_cast<BYTE*>(buf), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(std::wstring(buf), L"\u7b80\u4f53\u4e2d\u6587");
}

TEST_F(RegistryTest, TypeAndPresenceErrors) {
  TRegistry reg(KEY_READ | KEY_SET_VALUE);
  ASSERT_TRUE(reg.OpenKey(kTestKey, true));
  reg.WriteString("Text", "1");
  reg.WriteString("LongText", "a much longer text than four bytes");
  reg.WriteInteger("Number", 3);
  ExpectError([&] { reg.ReadBool("Missing"); }, "Failed to get data for 'Missing'");
  ExpectError([&] { reg.ReadBool("Text"); }, "Invalid data type for 'Text'");
  ExpectError([&] { reg.ReadBool("LongText"); }, "Invalid data type for 'LongText'");
  ExpectError([&] { reg.ReadString("Number"); }, "Invalid data type for 'Number'");
  reg.CloseKey();
  ExpectError([&] { reg.WriteString("Site", "x"); }, "Failed to set data for 'Site'");
  ExpectError([&] { reg.WriteInteger("Setup", 1); }, "Failed to set data for 'Setup'");
}

TEST_F(RegistryTest, ReadOnlyAccessCannotSetValues) {
  { TRegistry make; ASSERT_TRUE(make.OpenKey(kTestKey, true)); }
  TRegistry reg(KEY_READ);
  ASSERT_TRUE(reg.OpenKey(kTestKey, false));
  ExpectError([&] { reg.WriteString("Site", "x"); }, "Failed to set data for 'Site'");
}

TEST_F(RegistryTest, DefaultValueOfAClassKey) {
  TRegistry reg(KEY_READ | KEY_SET_VALUE);
  ASSERT_TRUE(reg.OpenKey(kTestKey + "\\shell\\open\\command", true));
  reg.WriteString("", "\"C:\\b.exe\" -nohome");
  reg.CloseKey();
  TRegistry query(KEY_QUERY_VALUE);
  ASSERT_TRUE(query.OpenKey(kTestKey + "\\shell\\open\\command", false));
  EXPECT_EQ(query.ReadString(""), "\"C:\\b.exe\" -nohome");
}

}  // namespace
