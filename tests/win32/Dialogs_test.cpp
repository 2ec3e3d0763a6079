#include <gtest/gtest.h>
#include <windows.h>

#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/Exceptions.h"
#include "tests/win32/BoxRobot.h"

namespace {

TEST(Dialogs, ShowMessageUsesTheApplicationTitleAndOk) {
  Application->SetTitle("Vexaro 安装");
  BoxRobot robot(L"Vexaro 安装", IDOK);
  ShowMessage("请插入U盘");
  const BoxSeen& seen = robot.Seen();
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.text, L"请插入U盘");
  EXPECT_EQ(seen.yes, L"<none>");
}

TEST(Dialogs, ConfirmButtonsReadYesAndNoAndAnswerByButton) {
  for (int press : {IDYES, IDNO}) {
    BoxRobot robot(L"Confirm", press);
    bool answer = ConfirmDialog("覆盖原来以前的吗?  ");
    const BoxSeen& seen = robot.Seen();
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.yes, L"Yes");
    EXPECT_EQ(seen.no, L"No");
    EXPECT_EQ(seen.text, L"覆盖原来以前的吗?  ");
    EXPECT_EQ(answer, press == IDYES);
  }
  // The renaming hook is gone: a later plain box is left alone.
  Application->SetTitle("After");
  BoxRobot robot(L"After", IDOK);
  ShowMessage("x");
  EXPECT_TRUE(robot.Seen().found);
}

TEST(Dialogs, TopLevelHandlerShowsTheErrorWithAFullStop) {
  Application->SetTitle("Setup");
  struct Row {
    const char* what;
    std::wstring shown;
  } rows[] = {
      {"Stream read error", L"Stream read error."},
      {"Already ends.", L"Already ends."},
      {"无法创建文件。", L"无法创建文件。"},
  };
  for (const Row& row : rows) {
    BoxRobot robot(L"Setup", IDOK);
    try {
      throw Exception(row.what);
    } catch (...) {
      Application->HandleException();
    }
    const BoxSeen& seen = robot.Seen();
    ASSERT_TRUE(seen.found) << row.what;
    EXPECT_EQ(seen.text, row.shown);
  }
}

}  // namespace
