#include "installer/Pages.h"

#include <vector>

PageLook PageLookFor(int page, const SetupConfig& config) {
  const std::string name = config.Record().ProductName.Text();
  PageLook look;
  switch (page) {
    case 0:
      look.title = "Vexaro安装程序";
      look.subtitle = "本安装程序将" + name + "软件安装到您的计算机上";
      look.back = ButtonState::Hidden;
      break;
    case 1:
      look.title = "软件许可协议";
      look.subtitle = "请认真阅读本软件的许可协议";
      look.back = ButtonState::Shown;
      break;
    case 2:
      look.title = "选择安装目标文件夹";
      look.subtitle = "您所选择的文件夹将存放该软件的所有文件";
      break;
    case 3:
      look.title = "开始安装";
      look.subtitle = "选择结束,即将开始安装工作";
      break;
    case 4:
      look.title = "正在安装...";
      look.subtitle = "安装程序正在复制文件,注册信息,创建快捷方式";
      look.back = ButtonState::Hidden;
      look.nextVisible = false;
      look.cancelEnabled = false;
      break;
    case 5:
      look.title = "安装完毕";
      look.subtitle = "已经完成本软件的所有安装工作";
      look.back = ButtonState::Hidden;
      look.nextVisible = false;
      look.cancelCaption = "完成";
      break;
    default:
      return PageLook{{}, {}, ButtonState::Unchanged, true, {}, true};
  }
  return look;
}

std::string ReleaseDateText(const std::string& d) {
  auto part = [&](size_t from, size_t n) { return from < d.size() ? d.substr(from, n) : std::string(); };
  return part(0, 4) + "年" + part(4, 2) + "月" + part(6, 2) + "日";
}

std::string WizardCaption(const SetupConfig& config) { return config.Record().ProductName.Text() + "安装向导"; }

std::string FinishHint(const SetupConfig& config) {
  return "请双击桌面的" + config.Record().ProductName.Text() + "图标运行软件。";
}

std::vector<std::string> LicenceLines(std::string_view text) {
  std::vector<std::string> lines;
  std::string cur;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(cur);
      cur.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) lines.push_back(cur);
  return lines;
}
