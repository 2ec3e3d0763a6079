// The sample product's uninstaller, apart from its window: reads the setup record that the
// installer left beside it as K_rv.cx, with the installer's own reader, and removes what
// the installation made. The Win32 program (uninstall_win.cpp) adds its own deletion.
#pragma once
#include <functional>
#include <string>

#include "installer/Platform.h"
#include "installer/SetupConfig.h"

inline constexpr const char* kUninstallTitleSuffix = " 卸载程序";
inline constexpr const char* kUninstallQuestionHead = "您确实要从计算机中完全删除“";
inline constexpr const char* kUninstallQuestionTail = "”及其所有组件吗?";
inline constexpr const char* kRecordUnreadableText =
    "卸载信息文件已损坏或不存在,无法卸载。没有删除任何文件。\r\n";
inline constexpr const char* kUninstalledTail = "已从您的计算机中删除。";
inline constexpr const char* kUserFilesKeptText = "\r\n\r\n下列文件夹中还有您自己添加的文件,已保留:\r\n";

enum class UninstallOutcome { Done, Declined, RecordUnreadable };

struct UninstallResult {
  UninstallOutcome outcome = UninstallOutcome::RecordUnreadable;
  std::string folder;          // the product folder: the uninstaller's own
  bool folderEmptied = false;  // nothing is left in it but the uninstaller
};

// Reads a compressed setup record (as SETUPINI and K_rv.cx hold it). False, with config
// untouched, when the file is missing or does not decompress to a whole record.
bool ReadSetupRecord(Platform& platform, const std::string& path, SetupConfig& config);

// Reads K_rv.cx beside exePath, asks, ends the sibling programs and the product's own,
// then removes the file table's files, K_rv.cx, the shortcuts and the program group, the
// registry records, the uninstall entry and the extra values, and the folders the files
// lay in when they are empty. The uninstaller itself stays: the caller removes it, and
// the product folder with it when folderEmptied. Reports the end in a message.
// recordRead, when given, sees the record before anything is asked (for the boxes' title).
UninstallResult RunUninstall(Platform& platform, const std::string& exePath,
                             const std::function<void(const SetupConfig&)>& recordRead = nullptr);
