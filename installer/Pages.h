// What each wizard page shows in the header and how the buttons stand on it, and the texts
// the page show handlers build from the setup record.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "installer/SetupConfig.h"

enum class ButtonState { Hidden, Shown, Unchanged };

struct PageLook {
  std::string title;     // Label8
  std::string subtitle;  // Label12
  ButtonState back = ButtonState::Unchanged;
  bool nextVisible = true;
  std::string cancelCaption = "取消";
  bool cancelEnabled = true;
};

// Pages 0 to 5; anything else gives an empty look.
PageLook PageLookFor(int page, const SetupConfig& config);

// "2013年11月13日" from "20131113": characters 1-4, 年, 5-6, 月, 7-8, 日. A shorter date
// gives whatever characters it has in those places.
std::string ReleaseDateText(const std::string& yyyymmdd);
// The window caption of the welcome page: ProductName + "安装向导" (no space).
std::string WizardCaption(const SetupConfig& config);
// The finish page's hint: "请双击桌面的" + ProductName + "图标运行软件。"
std::string FinishHint(const SetupConfig& config);
// The licence text as memo lines: split at CR LF (a lone CR or LF also ends a line).
std::vector<std::string> LicenceLines(std::string_view text);
