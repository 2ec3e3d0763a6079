// The installation run: the product's files out of the pack into the target folder, the
// configuration copy, the registry records and the uninstall entry, the extra registry
// values and the shortcuts, while the copying page shows what is being done.
#pragma once
#include <cstdint>
#include <string>

#include "installer/MainFormState.h"
#include "installer/Platform.h"

// The controls of the copying page that the run writes.
class CopyPageView {
 public:
  virtual ~CopyPageView() = default;
  virtual void SetWorkLbCaption(const std::string& text) = 0;
  virtual void SetWorkLbWidth(int width) = 0;
  virtual void RepaintWorkLb() = 0;
  virtual void SetFNameLbCaption(const std::string& text) = 0;
  virtual void SetFNameLbWidth(int width) = 0;
  virtual void RepaintFNameLb() = 0;
  virtual void HideFNameLb() = 0;
  virtual void SetCopyProgressPosition(int position) = 0;
};

// Shows nothing: for runs without a window (benchmarks, checks, tests).
class NullCopyPageView : public CopyPageView {
 public:
  void SetWorkLbCaption(const std::string&) override {}
  void SetWorkLbWidth(int) override {}
  void RepaintWorkLb() override {}
  void SetFNameLbCaption(const std::string&) override {}
  void SetFNameLbWidth(int) override {}
  void RepaintFNameLb() override {}
  void HideFNameLb() override {}
  void SetCopyProgressPosition(int) override {}
};

inline constexpr const char* kCopyingText = "正在复制文件...";
inline constexpr const char* kRegisteringText = "正在注册相关信息...";
inline constexpr const char* kLinkingText = "正在创建快捷方式...";
inline constexpr const char* kFileErrorText = "安装下列文件时发生错误，\r\n建议重新启动后再次安装!\r\n";
inline constexpr const char* kUninstallKeyPrefix = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
inline constexpr const char* kUninstallerName = "\\uninstall.exe";
inline constexpr const char* kUninstallCaptionPrefix = "卸载";
inline constexpr const char* kConfigCopyName = "\\K_rv.cx";

// Runs every step in order. Files that cannot be written are reported one by one and the
// run goes on; an error writing the configuration copy or a fixed registry value, or one
// raised while creating a shortcut, propagates and leaves InstallRunning set.
void RunInstallation(Platform& platform, MainFormState& form, CopyPageView& view);

// How the copy step reads the pack. Auto streams each file's slice out of the inflater as
// it writes, when the table's slices follow one another in pack order; any other table, and
// Buffered always, inflates the whole pack into memory first. Both write the same bytes.
enum class PackAccess { Auto, Buffered };

// The steps. A pack whose data turns out damaged while files are being written ends the
// copy step with the decompressor's error (the file being written is removed).
void CopyFiles(Platform& platform, MainFormState& form, CopyPageView& view, PackAccess access = PackAccess::Auto);
void WriteConfigCopy(Platform& platform, MainFormState& form);
void WriteRegistryRecords(Platform& platform, MainFormState& form);
void WriteExtraRegistryValues(Platform& platform, MainFormState& form);
void CreateShortcuts(Platform& platform, MainFormState& form);
void CreateUninstallShortcut(Platform& platform, MainFormState& form);

// True when every slice the copy step reads lies inside a pack of packSize bytes and starts
// at or after the end of the one before it, as the product builder lays them out.
bool SlicesFollowInPackOrder(const SetupConfig& config, const std::string& folder, uint64_t packSize);

// True when no two rows that write files can reach the same file, nor a file where another
// row needs a folder, under any spelling the file system takes as the same (case, trailing
// dots and spaces, "." parts, either separator; a "~" may be a short name and counts as a
// clash): then the order in which the rows' files are written cannot matter.
bool RowsWriteApart(const SetupConfig& config, const std::string& folder);

// True when a file-table name, appended to the target folder, stays inside it: it begins
// with a backslash and has no drive, stream or parent-folder part.
bool IsSafeRelativeName(const std::string& name);
