#include "installer/InstallRun.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <optional>
#include <set>

#include "framework/Exceptions.h"
#include "installer/BaseDef.h"
#include "installer/PackPipe.h"
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

// A file-table row as the copy step sees it.
struct RowTarget {
  std::string path;    // target folder + the row's name
  bool passedOver;     // the path holds "*.": nothing is made for the row
  bool inside;         // the name stays inside the target folder
};

RowTarget TargetOf(const std::string& folder, const SetupFileEntry& row) {
  RowTarget t;
  t.path = folder + row.Name.Text();
  t.passedOver = t.path.find("*.") != std::string::npos;
  t.inside = IsSafeRelativeName(row.Name.Text()) &&
             !(t.path.size() >= 2 && IsSeparator(t.path[0]) && IsSeparator(t.path[1]));
  return t;
}

bool SliceInPack(const SetupFileEntry& row, uint64_t packSize) {
  int64_t offset = row.Offset.Get(), size = row.Size.Get();
  return offset >= 0 && size >= 0 && static_cast<uint64_t>(offset + size) <= packSize;
}

// Creation truncates an ordinary old copy; one it cannot replace in place (hidden or system
// files) is deleted and created anew. Asking first whether a file exists would double the
// cost of every new file where a missing name is expensive to look up.
template <class Fn>
auto CreateReplacing(Platform& platform, const std::string& target, Fn create) {
  try {
    return create();
  } catch (const EFCreateError&) {
    if (!platform.FileExists(target) || !platform.RemoveFile(target)) throw;
    return create();
  }
}

// An error of the pack itself met while writing a file: not a file error, it ends the run.
struct PackBroken {
  std::exception_ptr error;
};

// Where the rows' bytes come from. Streaming: one pass over the embedded pack, inflated a
// few pieces ahead on a worker, each row's slice written as it comes out. Otherwise the whole
// pack inflated into memory first, each slice written from there.
class SliceSource {
 public:
  SliceSource(std::span<const uint8_t> resource, const SetupConfig& config, const std::string& folder,
              PackAccess access) {
    if (resource.empty()) return;  // no pack loaded: no slice can be written
    havePack_ = true;
    packSize_ = PackInflater(resource).Size();
    if (access == PackAccess::Auto && SlicesFollowInPackOrder(config, folder, packSize_))
      pipe_.emplace(resource);
    else
      pack_ = DecompressResource(resource);
  }

  bool Has(const SetupFileEntry& row) const { return havePack_ && SliceInPack(row, packSize_); }

  // File errors raise as the platform raises them; pack errors as PackBroken.
  void Write(Platform& platform, const std::string& target, const SetupFileEntry& row) {
    uint64_t offset = static_cast<uint64_t>(row.Offset.Get()), size = static_cast<uint64_t>(row.Size.Get());
    if (!pipe_) {
      std::span<const uint8_t> bytes(pack_.data() + offset, static_cast<size_t>(size));
      CreateReplacing(platform, target, [&] { platform.WriteNewFile(target, bytes); });
      return;
    }
    Inflate([&] { pipe_->Skip(offset - pipe_->Position()); });
    std::unique_ptr<TStream> file = CreateReplacing(platform, target, [&] { return platform.CreateNewFile(target); });
    for (uint64_t left = size; left;) {
      std::span<const uint8_t> piece;
      try {
        Inflate([&] { piece = pipe_->Next(left); });
      } catch (const PackBroken&) {
        file.reset();
        platform.RemoveFile(target);  // no half-written file stays behind
        throw;
      }
      file->WriteBuffer(piece.data(), piece.size());
      left -= piece.size();
    }
  }

 private:
  template <class Fn>
  static void Inflate(Fn fn) {
    try {
      fn();
    } catch (...) {
      throw PackBroken{std::current_exception()};
    }
  }
  bool havePack_ = false;
  uint64_t packSize_ = 0;
  std::optional<PackPipe> pipe_;
  Bytes pack_;
};

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

bool SlicesFollowInPackOrder(const SetupConfig& config, const std::string& folder, uint64_t packSize) {
  uint64_t end = 0;
  for (int i = 0, n = config.FileCount(); i < n; ++i) {
    const SetupFileEntry& row = config.File(i);
    RowTarget t = TargetOf(folder, row);
    if (t.passedOver || !t.inside) continue;  // rows whose slice is never read
    if (!SliceInPack(row, packSize) || static_cast<uint64_t>(row.Offset.Get()) < end) return false;
    end = static_cast<uint64_t>(row.Offset.Get()) + static_cast<uint64_t>(row.Size.Get());
  }
  return true;
}

void CopyFiles(Platform& platform, MainFormState& form, CopyPageView& view, PackAccess access) {
  const SetupConfig& config = form.Config;
  const std::string folder = config.TargetFolder();
  const int count = config.FileCount();
  SliceSource pack(form.PackResource, config, folder, access);
  // Folders made or found in this run are not walked again level by level, nor is one that
  // exists already: with a deep target folder that walk would cost more than writing a
  // small file.
  std::set<std::string> folders;
  for (int i = 0; i < count; ++i) {
    const SetupFileEntry& row = config.File(i);
    RowTarget t = TargetOf(folder, row);
    if (t.passedOver) continue;
    // A name that would leave the target folder is reported like a file that cannot be
    // written, and no folder is made for it.
    if (t.inside) {
      std::string parent = FolderPart(t.path);
      if (!folders.count(parent)) {
        if (!platform.DirectoryExists(parent) && !MakeDirs(platform, parent)) continue;
        folders.insert(parent);
      }
    }
    view.SetFNameLbCaption(ShortenPath(t.path, kPathDisplayWidth));
    view.SetFNameLbWidth(kLabelWidth);
    view.RepaintFNameLb();
    try {
      if (!t.inside || !pack.Has(row)) throw std::exception();
      pack.Write(platform, t.path, row);
    } catch (const PackBroken& broken) {
      std::rethrow_exception(broken.error);
    } catch (const std::exception&) {
      platform.ShowMessage(kFileErrorText + t.path);
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
