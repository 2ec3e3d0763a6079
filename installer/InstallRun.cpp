#include "installer/InstallRun.h"

#include <cstdint>
#include <exception>
#include <set>

#include "framework/Exceptions.h"
#include "installer/PubDef.h"
#include "installer/SetupData.h"

namespace {
constexpr int kLabelWidth = 300;
constexpr int kPathDisplayWidth = 40;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// A component the system would read as the parent folder: two or more dots, with any
// trailing dots and spaces that path normalisation drops.
bool IsParentComponent(std::string_view part) {
  size_t dots = 0;
  for (char c : part) {
    if (c == '.') ++dots;
    else if (c != ' ') return false;
  }
  return dots >= 2;
}

// The row's slice lies inside the pack.
bool SliceInPack(const SetupFileEntry& row, TMemoryStream* pack) {
  int64_t offset = row.Offset.Get(), size = row.Size.Get();
  return pack && offset >= 0 && size >= 0 && offset + size <= pack->Size();
}

// Writes through a key of HKEY_LOCAL_MACHINE, created when missing, closed afterwards.
template <class Fn>
void WithMachineKey(Platform& platform, const std::string& path, Fn write) {
  auto reg = platform.Registry(RegRoot::LocalMachine, kReadAndSetValues);
  reg->OpenKey(path, true);  // a key that does not open makes the first write fail
  write(*reg);
  reg->CloseKey();
}
}  // namespace

bool IsSafeRelativeName(const std::string& name) {
  if (name.empty() || name[0] != '\\' || name.find(':') != std::string::npos) return false;
  size_t start = 1;
  for (size_t i = 1; i <= name.size(); ++i) {
    if (i == name.size() || IsSeparator(name[i])) {
      if (IsParentComponent(std::string_view(name).substr(start, i - start))) return false;
      start = i + 1;
    } else if (IsGbkLeadByte(static_cast<unsigned char>(name[i]))) {
      ++i;  // the trail byte may be 0x5C and is no separator
      if (i == name.size()) break;
    }
  }
  return true;
}

void CopyFiles(Platform& platform, MainFormState& form, CopyPageView& view) {
  const SetupConfig& config = form.Config;
  const std::string folder = config.TargetFolder();
  const int count = config.FileCount();
  // Folders made or found in this run are not walked again level by level: with a deep
  // target folder that walk would cost more than writing a small file.
  std::set<std::string> folders;
  for (int i = 0; i < count; ++i) {
    const SetupFileEntry& row = config.File(i);
    std::string target = folder + row.Name.Text();
    if (target.find("*.") != std::string::npos) continue;
    // A name that would leave the target folder is reported like a file that cannot be
    // written, and no folder is made for it.
    bool inside = IsSafeRelativeName(row.Name.Text()) && !(target.size() >= 2 && IsSeparator(target[0]) &&
                                                            IsSeparator(target[1]));
    if (inside) {
      std::string parent = FolderPart(target);
      if (!folders.count(parent)) {
        if (!MakeDirs(platform, parent)) continue;
        folders.insert(parent);
      }
    }
    view.SetFNameLbCaption(ShortenPath(target, kPathDisplayWidth));
    view.SetFNameLbWidth(kLabelWidth);
    view.RepaintFNameLb();
    try {
      if (!inside || !SliceInPack(row, form.PackStream.get())) throw std::exception();
      form.PackStream->SetPosition(row.Offset.Get());
      std::span<const uint8_t> bytes(form.PackStream->Memory() + form.PackStream->Position(),
                                     static_cast<size_t>(row.Size.Get()));
      // Creation truncates an ordinary old copy; one it cannot replace in place (hidden or
      // system files) is deleted and created anew. Asking first whether a file exists would
      // double the cost of every new file where a missing name is expensive to look up.
      try {
        platform.WriteNewFile(target, bytes);
      } catch (const EFCreateError&) {
        if (!platform.FileExists(target) || !platform.RemoveFile(target)) throw;
        platform.WriteNewFile(target, bytes);
      }
    } catch (const std::exception&) {
      platform.ShowMessage(kFileErrorText + target);
    }
    view.SetCopyProgressPosition(static_cast<int>(int64_t{i} * 100 / count));
  }
}

void WriteConfigCopy(Platform& platform, MainFormState& form) {
  WriteConfigResource(platform, form.Config.TargetFolder() + kConfigCopyName);
}

void WriteRegistryRecords(Platform& platform, MainFormState& form) {
  const SetupConfigRecord& r = form.Config.Record();
  const std::string folder = form.Config.TargetFolder();
  WithMachineKey(platform, form.PublisherKeyPath, [&](RegistryAccess& reg) {
    reg.WriteString("Site", r.WebSite.Text());
    reg.WriteString("Author", r.AuthorName.Text());
  });
  WithMachineKey(platform, form.InstalledStateKeyPath, [&](RegistryAccess& reg) {
    reg.WriteInteger("Setup", 1);
    reg.WriteString("Version", r.Version.Text());
    reg.WriteString("Folder", folder);
    reg.WriteString("Date", r.RecordDate.Text());
  });
  WithMachineKey(platform, kUninstallKeyPrefix + r.ProductName.Text(), [&](RegistryAccess& reg) {
    reg.WriteString("DisplayName", r.ProductName.Text());
    reg.WriteString("UninstallString", folder + kUninstallerName);
  });
}

void WriteExtraRegistryValues(Platform& platform, MainFormState& form) {
  const SetupConfig& config = form.Config;
  for (int i = 0, n = config.RegistryValueCount(); i < n; ++i) {
    const SetupRegistryEntry& row = config.RegistryValue(i);
    try {
      auto reg = platform.Registry(row.UseCurrentUser ? RegRoot::CurrentUser : RegRoot::LocalMachine,
                                   kReadAndSetValues);
      reg->OpenKey(row.KeyPath.Text(), true);
      switch (row.ValueType) {
        case 0: reg->WriteInteger(row.ValueName.Text(), row.BoolValue ? 1 : 0); break;
        case 1: reg->WriteString(row.ValueName.Text(), row.StringValue.Text()); break;
        case 2: reg->WriteInteger(row.ValueName.Text(), row.IntegerValue.Get()); break;
        default: break;
      }
      reg->CloseKey();
    } catch (const std::exception&) {
      // One row's failure does not keep the others from being written.
    }
  }
}

void CreateShortcuts(Platform& platform, MainFormState& form) {
  const SetupConfig& config = form.Config;
  const std::string folder = config.TargetFolder();
  const std::string group = config.Record().ProductName.Text();
  for (int i = 0, n = config.ShortcutCount(); i < n; ++i) {
    const SetupShortcutEntry& row = config.Shortcut(i);
    int index = row.FileIndex.Get();
    if (index < 0 || index >= config.FileCount()) continue;  // names no file of the table
    std::string target = folder + config.File(index).Name.Text();
    std::string caption = row.Caption.Text(), arguments = row.Arguments.Text();
    if (row.Kind != 0) CreateGroupShortcut(platform, group, target, caption, arguments);
    if (row.Kind != 1) CreateDesktopShortcut(platform, target, caption, arguments);
  }
}

void CreateUninstallShortcut(Platform& platform, MainFormState& form) {
  const std::string product = form.Config.Record().ProductName.Text();
  CreateGroupShortcut(platform, product, form.Config.TargetFolder() + kUninstallerName,
                      kUninstallCaptionPrefix + product, "");
}

void RunInstallation(Platform& platform, MainFormState& form, CopyPageView& view) {
  form.InstallRunning = true;
  view.SetWorkLbCaption(kCopyingText);
  view.SetWorkLbWidth(kLabelWidth);
  view.RepaintWorkLb();
  CopyFiles(platform, form, view);
  WriteConfigCopy(platform, form);
  view.SetWorkLbCaption(kRegisteringText);
  view.RepaintWorkLb();
  view.HideFNameLb();
  view.RepaintFNameLb();
  WriteRegistryRecords(platform, form);
  WriteExtraRegistryValues(platform, form);
  view.SetWorkLbCaption(kLinkingText);
  view.RepaintWorkLb();
  CreateShortcuts(platform, form);
  CreateUninstallShortcut(platform, form);
  form.InstallRunning = false;
}
