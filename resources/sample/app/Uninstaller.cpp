#include "resources/sample/app/Uninstaller.h"

#include <algorithm>
#include <exception>
#include <set>
#include <vector>

#include "framework/Text.h"
#include "installer/AuxActions.h"
#include "installer/BaseDef.h"
#include "installer/InstallRun.h"
#include "installer/MainFormState.h"
#include "installer/PubDef.h"
#include "installer/Startup.h"

namespace {
// The leaf name of a path (after its last backslash).
std::string Leaf(const std::string& path) { return path.substr(static_cast<size_t>(LastPos("\\", path))); }

bool EndsWithExe(const std::string& name) {
  return name.size() > 4 && SameText(std::string_view(name).substr(name.size() - 4), ".exe");
}

// Whatever a helper raises while removing one thing must not keep the rest in place.
template <class Fn>
void Quietly(Fn fn) {
  try {
    fn();
  } catch (const std::exception&) {
  }
}

void EndPrograms(Platform& platform, const SetupConfig& config, const std::string& self) {
  TerminateProcessesNamed(platform, kSiblingProgram1);
  TerminateProcessesNamed(platform, kSiblingProgram2);
  // The product's own programs would hold their files open.
  std::set<std::string> names;
  for (int i = 0; i < config.FileCount(); ++i) {
    std::string leaf = Leaf(config.File(i).Name.Text());
    if (EndsWithExe(leaf) && !SameText(leaf, Leaf(self))) names.insert(LowerText(leaf));
  }
  for (const ProcessEntry& p : platform.Processes())
    if (names.count(LowerText(p.exeName))) platform.EndProcess(p.id, kTerminatedExitCode);
}

// Removes the files of the table, and returns the folders below the product folder that
// they lay in, every level of them.
std::set<std::string> RemoveFiles(Platform& platform, const SetupConfig& config, const std::string& folder,
                                  const std::string& self) {
  std::set<std::string> folders;
  for (int i = 0; i < config.FileCount(); ++i) {
    const std::string name = config.File(i).Name.Text();
    // Rows the installer passed over, or that would leave the folder, name nothing of ours.
    if (name.find("*.") != std::string::npos || !IsSafeRelativeName(name)) continue;
    const std::string path = folder + name;
    if (SameText(path, self)) continue;
    if (platform.FileExists(path)) platform.RemoveFile(path);
    for (std::string parent = FolderPart(path); parent.size() > folder.size() + 1;
         parent = FolderPart(parent.substr(0, parent.size() - 1)))
      folders.insert(parent.substr(0, parent.size() - 1));
  }
  return folders;
}

void RemoveShortcuts(Platform& platform, const SetupConfig& config) {
  const std::string product = config.Record().ProductName.Text();
  std::string desktop, programs;
  Quietly([&] { desktop = GetDesktopDir(platform); });
  Quietly([&] { programs = GetProgramsDir(platform); });
  const std::string group = programs.empty() || product.empty() ? std::string() : programs + "\\" + product;
  auto remove = [&](const std::string& dir, const std::string& caption) {
    if (!dir.empty() && !caption.empty()) platform.RemoveFile(dir + "\\" + caption + ".lnk");
  };
  for (int i = 0; i < config.ShortcutCount(); ++i) {
    const SetupShortcutEntry& row = config.Shortcut(i);
    if (row.Kind != 0) remove(group, row.Caption.Text());
    if (row.Kind != 1) remove(desktop, row.Caption.Text());
  }
  remove(group, kUninstallCaptionPrefix + product);
  if (!group.empty()) platform.RemoveDir(group);  // only when nothing else is in it
}

// keys: the record, with the key paths the installer built from it.
void RemoveRegistryRecords(Platform& platform, const MainFormState& keys) {
  const SetupConfig& config = keys.Config;
  const SetupConfigRecord& r = config.Record();
  auto reg = platform.Registry(RegRoot::LocalMachine, kReadAndSetValues);
  auto clear = [&](const std::string& path, std::initializer_list<const char*> names) {
    Quietly([&] {
      if (reg->OpenKey(path, false))
        for (const char* name : names) reg->DeleteValue(name);
      reg->DeleteKeyIfEmpty(path);
    });
  };
  if (!r.PublisherKey.View().empty()) {
    if (!r.ProductFolder.View().empty()) clear(keys.InstalledStateKeyPath, {"Setup", "Version", "Folder", "Date"});
    clear(keys.PublisherKeyPath, {"Site", "Author"});
  }
  if (!r.ProductName.View().empty()) clear(kUninstallKeyPrefix + r.ProductName.Text(), {"DisplayName", "UninstallString"});
  for (int i = 0; i < config.RegistryValueCount(); ++i) {
    const SetupRegistryEntry& row = config.RegistryValue(i);
    if (row.ValueType > 2) continue;  // the installer wrote nothing for it
    Quietly([&] {
      auto extra = platform.Registry(row.UseCurrentUser ? RegRoot::CurrentUser : RegRoot::LocalMachine,
                                     kReadAndSetValues);
      if (extra->OpenKey(row.KeyPath.Text(), false)) extra->DeleteValue(row.ValueName.Text());
      extra->CloseKey();
    });
  }
}
}  // namespace

bool ReadSetupRecord(Platform& platform, const std::string& path, SetupConfig& config) {
  try {
    if (!platform.FileExists(path)) return false;
    Bytes data = DecompressResource(platform.ReadWholeFile(path).view());
    if (data.size() != kSetupConfigSize) return false;
    config.Load(data.view());
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

UninstallResult RunUninstall(Platform& platform, const std::string& exePath,
                             const std::function<void(const SetupConfig&)>& recordRead) {
  UninstallResult result;
  std::string folder = FolderPart(exePath);
  if (!folder.empty()) folder.pop_back();
  result.folder = folder;
  MainFormState form;
  const SetupConfig& config = form.Config;
  const std::string recordPath = folder + kConfigCopyName;
  if (!ReadSetupRecord(platform, recordPath, form.Config)) {
    platform.ShowMessage(kRecordUnreadableText + recordPath);
    return result;
  }
  if (recordRead) recordRead(config);
  const std::string product = config.Record().ProductName.Text();
  if (!platform.Confirm(kUninstallQuestionHead + product + kUninstallQuestionTail)) {
    result.outcome = UninstallOutcome::Declined;
    return result;
  }
  EndPrograms(platform, config, exePath);
  std::set<std::string> folders = RemoveFiles(platform, config, folder, exePath);
  platform.RemoveFile(recordPath);
  RemoveShortcuts(platform, config);
  BuildKeyPaths(form);
  RemoveRegistryRecords(platform, form);
  // Deepest first; a folder that still holds something stays.
  std::vector<std::string> deepest(folders.begin(), folders.end());
  std::sort(deepest.begin(), deepest.end(), [](const auto& a, const auto& b) { return a.size() > b.size(); });
  for (const std::string& f : deepest) platform.RemoveDir(f);

  std::vector<std::string> left = platform.ListDir(folder);
  std::erase_if(left, [&](const std::string& name) { return SameText(name, Leaf(exePath)); });
  result.folderEmptied = left.empty();
  result.outcome = UninstallOutcome::Done;
  std::string text = product + kUninstalledTail;
  if (!result.folderEmptied) text += kUserFilesKeptText + folder;
  platform.ShowMessage(text);
  return result;
}
