#include <gtest/gtest.h>

#include "TestProduct.h"
#include "installer/AuxActions.h"

namespace {

TEST(AuxActions, SiblingsEndedByExactName) {
  FakePlatform fake;
  fake.processes = {{10, "KORVA-AUX.exe"}, {11, "korva-aux.exe"}, {12, "KORVA-AUX.exe"},
                    {13, "AUX-H-Up.exe"},  {14, "AUX-H-Up.EXE"},  {15, "KORVA-AUX.exe "}};
  fake.unkillable = {12};
  Button1Click(fake);
  EXPECT_EQ(fake.endedProcesses, (std::map<uint32_t, uint32_t>{{10, 0xFFFFFFFFu}}));
  Button2Click(fake);
  EXPECT_EQ(fake.endedProcesses.count(13), 1u);
  EXPECT_EQ(fake.endedProcesses.at(13), 0xFFFFFFFFu);
  ASSERT_EQ(fake.processes.size(), 4u);  // case, a trailing blank and the unkillable one remain
  EXPECT_TRUE(fake.dialogs.empty());
}

TEST(AuxActions, BrowserProgramPathCutsAtTheQuotes) {
  struct Case {
    const char* command;
    const char* path;
  } cases[] = {
      {"\"C:\\Program Files\\IE\\iexplore.exe\" -nohome", "C:\\Program Files\\IE\\iexplore.exe"},
      {"\"C:\\b.exe\" \"%1\"", "C:\\b.exe"},
      {"C:\\b.exe %1", ""},
      {"C:\\b.exe \"%1", ""},
      {"\"\"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(BrowserProgramPath(c.command), c.path) << c.command;
}

TEST(AuxActions, OpenInDefaultBrowser) {
  FakePlatform fake;
  EXPECT_FALSE(OpenInDefaultBrowser(fake, "http://x/"));  // no key
  fake.SetRegString(RegRoot::ClassesRoot, kBrowserCommandKey, "", "");
  EXPECT_FALSE(OpenInDefaultBrowser(fake, "http://x/"));  // empty command
  EXPECT_TRUE(fake.launches.empty());
  fake.SetRegString(RegRoot::ClassesRoot, kBrowserCommandKey, "", "browser.exe %1");
  EXPECT_TRUE(OpenInDefaultBrowser(fake, "http://x/"));  // found, though it names no program
  fake.SetRegString(RegRoot::ClassesRoot, kBrowserCommandKey, "", "\"C:\\B\\b.exe\" -nohome");
  EXPECT_TRUE(OpenInDefaultBrowser(fake, "http://x/?id=产品"));
  ASSERT_EQ(fake.launches.size(), 1u);  // the command without a program opened nothing
  EXPECT_EQ(fake.launches[0].verb, "open");
  EXPECT_EQ(fake.launches[0].file, "C:\\B\\b.exe");
  EXPECT_EQ(fake.launches[0].parameters, "http://x/?id=产品");
  EXPECT_EQ(fake.launches[0].showCommand, 5);
  // A command of another type shows nothing and opens nothing.
  fake.SetRegDword(RegRoot::ClassesRoot, kBrowserCommandKey, "", 1);
  EXPECT_FALSE(OpenInDefaultBrowser(fake, "http://x/"));
  EXPECT_TRUE(fake.dialogs.empty());
}

TEST(AuxActions, TutorialOpensOncePerConnectionFlag) {
  TestProduct product;
  struct Case {
    bool connected;
    uint32_t flags;
    size_t opened;
  } cases[] = {{false, 7, 0}, {true, 0, 0}, {true, 1, 1}, {true, 2 | 4, 2}, {true, 1 | 2 | 4, 3}, {true, 16, 0}};
  for (const Case& c : cases) {
    FakePlatform fake;
    AddUserProfile(fake);
    fake.connected = c.connected;
    fake.connectionFlags = c.flags;
    BPingClick(fake, product.config);
    ASSERT_EQ(fake.launches.size(), c.opened) << c.flags;
    for (const auto& l : fake.launches)
      EXPECT_EQ(l.parameters, "http://www.korva.example/u-jiaocheng.asp?id=Vexaro U盘加密");
  }
}

TEST(AuxActions, AuthorWebSiteUsesTheDefaultAction) {
  TestProduct product;
  FakePlatform fake;
  ShowAuthorWebSite(fake, product.config);
  ASSERT_EQ(fake.launches.size(), 1u);
  EXPECT_EQ(fake.launches[0].verb, "");
  EXPECT_EQ(fake.launches[0].file, "http://www.korva.example/");
  EXPECT_EQ(fake.launches[0].parameters, "");
  EXPECT_EQ(fake.launches[0].showCommand, 1);
}

}  // namespace
