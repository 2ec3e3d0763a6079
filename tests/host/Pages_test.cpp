#include <gtest/gtest.h>

#include "installer/Pages.h"

namespace {

TEST(Pages, HeaderTextsAndButtonsPerPage) {
  SetupConfig c;
  c.MutableRecord().ProductName.Assign("Vexaro U盘加密");
  struct Row {
    int page;
    const char* title;
    ButtonState back;
    bool next;
    const char* cancel;
    bool cancelEnabled;
  };
  const Row rows[] = {
      {0, "Vexaro安装程序", ButtonState::Hidden, true, "取消", true},
      {1, "软件许可协议", ButtonState::Shown, true, "取消", true},
      {2, "选择安装目标文件夹", ButtonState::Unchanged, true, "取消", true},
      {3, "开始安装", ButtonState::Unchanged, true, "取消", true},
      {4, "正在安装...", ButtonState::Hidden, false, "取消", false},
      {5, "安装完毕", ButtonState::Hidden, false, "完成", true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.page);
    PageLook look = PageLookFor(r.page, c);
    EXPECT_EQ(look.title, r.title);
    EXPECT_EQ(look.back, r.back);
    EXPECT_EQ(look.nextVisible, r.next);
    EXPECT_EQ(look.cancelCaption, r.cancel);
    EXPECT_EQ(look.cancelEnabled, r.cancelEnabled);
  }
  EXPECT_EQ(PageLookFor(0, c).subtitle, "本安装程序将Vexaro U盘加密软件安装到您的计算机上");
  EXPECT_EQ(PageLookFor(4, c).subtitle, "安装程序正在复制文件,注册信息,创建快捷方式");
}

TEST(Pages, TextsBuiltFromTheRecord) {
  EXPECT_EQ(ReleaseDateText("20131113"), "2013年11月13日");
  EXPECT_EQ(ReleaseDateText("2013"), "2013年月日");  // a short date never reads past its end
  SetupConfig c;
  c.MutableRecord().ProductName.Assign("Demo");
  EXPECT_EQ(WizardCaption(c), "Demo安装向导");
  EXPECT_EQ(FinishHint(c), "请双击桌面的Demo图标运行软件。");
}

TEST(Pages, LicenceLinesKeepEmptyLinesAndAcceptAnyBreak) {
  EXPECT_EQ(LicenceLines("a\r\n\r\nb\nc\rd"), (std::vector<std::string>{"a", "", "b", "c", "d"}));
  EXPECT_EQ(LicenceLines("last\r\n"), (std::vector<std::string>{"last"}));
  EXPECT_TRUE(LicenceLines("").empty());
}

}  // namespace
