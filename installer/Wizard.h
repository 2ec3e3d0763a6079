// The wizard's navigation rules as plain decisions: Next, Back, Agree, Cancel (Finish),
// close query, folder browse and the target-folder checks. The form implements WizardView
// and calls these from its event handlers; nothing here touches a window.
#pragma once
#include <string>

#include "installer/InstallRun.h"
#include "installer/MainFormState.h"
#include "installer/Platform.h"

// What the decisions ask of the form.
class WizardView {
 public:
  virtual ~WizardView() = default;
  // Makes the page active; its show handler fills it.
  virtual void ShowPage(int index) = 0;
  // Repaints the page control, the header panel and the page title at once.
  virtual void RepaintBeforeRun() = 0;
  virtual std::string FolderText() = 0;  // FolderEd
  virtual void SetFolderText(const std::string& text) = 0;
  virtual void SetAgreeVisible(bool visible) = 0;
  // Moves Agree above the client area, where it stays out of view.
  virtual void MoveAgreeOutOfView() = 0;
  virtual bool StartProgramChecked() = 0;  // StartProgramCb
  virtual CopyPageView& CopyPage() = 0;
  // Asks the application to terminate.
  virtual void Terminate() = 0;
};

inline constexpr int kWelcomePage = 0, kLicencePage = 1, kFolderPage = 2, kReadyPage = 3, kCopyingPage = 4,
                     kFinishPage = 5;

inline constexpr const char* kNoFolderText = "请选择目标文件夹!";
inline constexpr const char* kNotFullPathText = "必须指定完全路径!\r\n比如:\r\nC:\\KORVA-Y";
inline constexpr const char* kDriveRootText = "不能安装到驱动器的根目录下!";
inline constexpr const char* kCreateFolderFailedText = "创建子文件夹失败！";
inline constexpr const char* kFolderTooLongText = "目标文件夹的路径太长,不能超过128个字节!\r\n请选择一个路径较短的文件夹。";
inline constexpr const char* kNoUsbDriveText = "安装提示：未检测到U盘！必须安装到U盘才能正常使用！";
inline constexpr const char* kCancelQuestion =
    "安装程序还没有完成,如果您现在关闭安装程序，程序不会安装到你的计算机中，\r您也可以稍后运行安装程序来完成安装。"
    "\r\n要继续安装，请单击“No”按钮；要退出安装程序，请单击“Yes”按钮。";
inline constexpr const char* kBrowseTitle = "选择安装目标文件夹";
inline constexpr int kCsidlDesktop = 0;

// Blanks and control characters removed from both ends, then trailing backslashes, but
// for the one of a drive root ("C:\").
std::string TrimFolderText(const std::string& text);

// The folder page's checks on Next. Writes the trimmed text back, shows the messages, and
// returns true when the folder exists at the end (TargetFolder is then set to it).
bool ValidateTargetFolder(Platform& platform, MainFormState& form, WizardView& view);

void NextClick(Platform& platform, MainFormState& form, WizardView& view);
void BackClick(MainFormState& form, WizardView& view);
void AgreeClick(Platform& platform, MainFormState& form, WizardView& view);
// Cancel, which reads "完成" on the finish page.
void CancelClick(Platform& platform, MainFormState& form, WizardView& view);
// True when the window may close.
bool CloseQuery(Platform& platform, MainFormState& form, WizardView& view);
// The browse button: fills FolderEd from the folder picker.
void BrowseClick(Platform& platform, MainFormState& form, WizardView& view);
