#include "installer/InstallRun.h"

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <optional>
#include <set>
#include <system_error>
#include <thread>
#include <vector>

#include "framework/Exceptions.h"
#include "installer/BaseDef.h"
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

// The case the file system compares a double-byte GBK letter in: full-width Latin, Greek,
// Cyrillic and the Roman numerals have both cases there.
unsigned char FoldGbkTrail(unsigned char lead, unsigned char trail) {
  switch (lead) {
    case 0xA2: return trail >= 0xA1 && trail <= 0xAA ? trail + 0x50 : trail;
    case 0xA3: return trail >= 0xE1 && trail <= 0xFA ? trail - 0x20 : trail;
    case 0xA6: return trail >= 0xC1 && trail <= 0xD8 ? trail - 0x20 : trail;
    case 0xA7: return trail >= 0xD1 && trail <= 0xF1 ? trail - 0x30 : trail;
    default: return trail;
  }
}

// A row's name as the file system compares it: split at either separator, empty and "." parts
// dropped, trailing dots and spaces cut from each part, letters folded to one case; folders
// gets the key of each folder on the way. False for a name that may be another file's short
// name (it holds a "~"), which no key can tell.
bool CompareKey(const std::string& name, std::string& key, std::vector<std::string>& folders) {
  key.clear();
  std::string part;
  auto endPart = [&] {
    while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
    if (part.empty()) return;
    if (!key.empty()) folders.push_back(key);
    key += '\\' + part;
    part.clear();
  };
  for (size_t i = 0; i < name.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (c == '~') return false;
    if (IsSeparator(name[i])) {
      endPart();
    } else if (IsGbkLeadByte(c) && i + 1 < name.size()) {
      part += name[i];
      part += static_cast<char>(FoldGbkTrail(c, static_cast<unsigned char>(name[++i])));
    } else {
      part += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    }
  }
  endPart();
  return true;
}

// The copy step's file writing. The rows are taken in order in batches: consecutive rows
// whose slices come to at most kBatchBytes, or one larger row alone. Taking a batch, under
// the lock, settles what each row needs, makes its folders and reads its bytes, so that the
// pack is read in row order; writing the batch's files happens outside the lock. Two copiers
// take batches in turn, the calling thread and a worker, so that one's file writes overlap
// the other's inflate and writes; the calling thread shows the results in row order. Rows
// that may reach the same file are all copied on the calling thread, in row order.
//
// Streaming: the embedded pack is inflated once, front to back, each slice as its batch is
// taken. Otherwise the whole pack is inflated into memory first and slices point into it.
class RowCopier {
 public:
  enum Kind : uint8_t {
    kPending,
    kSkipped,  // passed over, or its folder could not be made: nothing is shown
    kWrite,    // taken, its bytes ready, not yet written
    kWritten,
    kFailed,   // the file could not be written: the file-error message
    kBroken,   // an error that ends the run, the pack's own among them: Error(row)
  };

  RowCopier(Platform& platform, const SetupConfig& config, const std::string& folder,
            std::span<const uint8_t> resource, PackAccess access)
      : platform_(platform), config_(config), folder_(folder), count_(config.FileCount()),
        results_(static_cast<size_t>(count_), kPending), errors_(static_cast<size_t>(count_)),
        paths_(static_cast<size_t>(count_)) {
    if (resource.empty()) return;  // no pack loaded: no slice can be written
    havePack_ = true;
    packSize_ = PackInflater(resource).Size();
    if (access == PackAccess::Auto && SlicesFollowInPackOrder(config, folder, packSize_)) {
      inflater_.emplace(resource);
      mine_.buffer = Bytes(kBatchBytes);
      theirs_.buffer = Bytes(kBatchBytes);
    } else {
      pack_ = DecompressResource(resource);
    }
  }

  ~RowCopier() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    if (worker_.joinable()) worker_.join();
  }

  // Row i's result, the rows before it having been asked for first. Copies batches on the
  // calling thread while there are any to take, and waits for the worker's otherwise.
  Kind Result(int i) {
    std::unique_lock<std::mutex> lock(mutex_);
    while (results_[i] == kPending) {
      if (Take(mine_)) {
        // A worker only once there is more than one batch, and rows that cannot collide.
        const bool first = !started_;
        started_ = true;
        if (first && next_ < count_ && RowsWriteApart(config_, folder_)) Start();
        lock.unlock();
        Write(mine_);
        lock.lock();
        Record(mine_);
        continue;
      }
      if (!inFlight_) {  // stopped before the row: it stays undone
        if (failure_) std::rethrow_exception(failure_);
        return kSkipped;
      }
      changed_.wait(lock);
    }
    return results_[i];
  }
  std::exception_ptr Error(int i) const { return errors_[i]; }
  // Once done: the row's target path.
  const std::string& Path(int i) const { return paths_[i]; }

 private:
  static constexpr size_t kBatchBytes = 256 * 1024;
  struct Job {
    int row;
    Kind kind;
    std::string path;
    const uint8_t* data = nullptr;
    size_t size = 0;
    std::exception_ptr error;
  };
  struct Copier {
    Bytes buffer;  // streaming: the batch's bytes
    std::vector<Job> jobs;
  };

  void Start() {
    try {
      worker_ = std::thread([this] {
        std::unique_lock<std::mutex> lock(mutex_);
        try {
          while (Take(theirs_)) {
            lock.unlock();
            Write(theirs_);
            lock.lock();
            Record(theirs_);
            changed_.notify_all();
          }
        } catch (...) {
          // Out of memory while taking a batch: the calling thread raises it.
          if (!lock.owns_lock()) lock.lock();
          failure_ = std::current_exception();
          stop_ = true;
          changed_.notify_all();
        }
      });
    } catch (const std::system_error&) {
      // The calling thread takes every batch.
    }
  }

  // Under the lock: the next batch into c; false when no row is left to take.
  bool Take(Copier& c) {
    c.jobs.clear();
    size_t used = 0;
    while (!stop_ && next_ < count_) {
      const SetupFileEntry& row = config_.File(next_);
      RowTarget t = TargetOf(folder_, row);
      const bool readable = t.inside && havePack_ && SliceInPack(row, packSize_);
      const uint64_t offset = readable ? static_cast<uint64_t>(row.Offset.Get()) : 0;
      const size_t size = readable ? static_cast<size_t>(row.Size.Get()) : 0;
      const bool big = inflater_ && size > kBatchBytes;
      if (!c.jobs.empty() && (big || used + size > kBatchBytes)) break;
      Job job{next_++, kWrite, std::move(t.path)};
      if (t.passedOver) {
        job.kind = kSkipped;
      } else if (t.inside && !FolderReady(FolderPart(job.path))) {
        job.kind = kSkipped;
      } else if (!readable) {
        // A name that would leave the target folder is reported like a file that cannot be
        // written, and no folder is made for it.
        job.kind = kFailed;
      } else if (big) {
        StreamBigRow(job, offset, size, c.buffer);
      } else if (inflater_) {
        try {
          inflater_->Skip(offset - inflater_->Produced());
          if (size) inflater_->Read({c.buffer.data() + used, size});
          job.data = c.buffer.data() + used;
        } catch (...) {
          Break(job);
        }
      } else {
        job.data = pack_.data() + offset;
      }
      job.size = size;
      used += size;
      if (job.kind == kBroken) stop_ = true;  // no further row is taken
      c.jobs.push_back(std::move(job));
      if (big) break;
    }
    if (c.jobs.empty()) return false;
    ++inFlight_;
    return true;
  }

  // Under the lock, for a row larger than a batch: created, then written piece by piece as
  // it comes out of the inflater. A pack error removes the half-written file.
  void StreamBigRow(Job& job, uint64_t offset, uint64_t size, Bytes& buffer) {
    job.kind = kWritten;
    try {
      inflater_->Skip(offset - inflater_->Produced());
    } catch (...) {
      return Break(job);
    }
    std::unique_ptr<TStream> file;
    try {
      file = CreateReplacing(platform_, job.path, [&] { return platform_.CreateNewFile(job.path); });
    } catch (...) {
      return FileFailed(job);
    }
    for (uint64_t left = size; left;) {
      const size_t n = static_cast<size_t>(std::min<uint64_t>(left, buffer.size()));
      try {
        inflater_->Read({buffer.data(), n});
      } catch (...) {
        Break(job);
        file.reset();
        platform_.RemoveFile(job.path);  // no half-written file stays behind
        return;
      }
      try {
        file->WriteBuffer(buffer.data(), n);
      } catch (...) {
        return FileFailed(job);
      }
      left -= n;
    }
  }

  // In a catch block: what was caught ends the run at this row.
  static void Break(Job& job) {
    job.kind = kBroken;
    job.error = std::current_exception();
  }
  // In a catch block: a file error fails the row's file; anything else ends the run.
  static void FileFailed(Job& job) {
    try {
      throw;
    } catch (const std::exception&) {
      job.kind = kFailed;
    } catch (...) {
      Break(job);
    }
  }

  // Under the lock: the folder exists or was made. Folders made or found in this run are not
  // walked again level by level: with a deep target folder that walk would cost more than
  // writing a small file.
  bool FolderReady(const std::string& parent) {
    if (folders_.count(parent)) return true;
    if (!platform_.DirectoryExists(parent) && !MakeDirs(platform_, parent)) return false;
    folders_.insert(parent);
    return true;
  }

  // Outside the lock: the batch's files whose bytes are ready.
  void Write(Copier& c) {
    for (Job& job : c.jobs) {
      if (job.kind != kWrite) continue;
      try {
        CreateReplacing(platform_, job.path, [&] { platform_.WriteNewFile(job.path, {job.data, job.size}); });
        job.kind = kWritten;
      } catch (...) {
        FileFailed(job);
      }
    }
  }

  void Record(Copier& c) {
    for (Job& job : c.jobs) {
      results_[job.row] = job.kind;
      errors_[job.row] = std::move(job.error);
      paths_[job.row] = std::move(job.path);
      if (job.kind == kBroken) stop_ = true;
    }
    --inFlight_;
  }

  Platform& platform_;
  const SetupConfig& config_;
  const std::string folder_;
  const int count_;
  bool havePack_ = false;
  uint64_t packSize_ = 0;
  std::optional<PackInflater> inflater_;
  Bytes pack_;
  std::set<std::string> folders_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Kind> results_;
  std::vector<std::exception_ptr> errors_;
  std::vector<std::string> paths_;
  int next_ = 0;       // the first row not yet taken
  int inFlight_ = 0;   // batches taken and not yet recorded
  bool stop_ = false;  // no further batch is taken
  bool started_ = false;
  std::exception_ptr failure_;  // what ended the worker early
  Copier mine_, theirs_;
  std::thread worker_;
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

bool RowsWriteApart(const SetupConfig& config, const std::string& folder) {
  std::set<std::string> files, folders;
  std::string key;
  std::vector<std::string> on;
  for (int i = 0, n = config.FileCount(); i < n; ++i) {
    const SetupFileEntry& row = config.File(i);
    RowTarget t = TargetOf(folder, row);
    if (t.passedOver || !t.inside) continue;  // rows that never write
    on.clear();
    if (!CompareKey(row.Name.Text(), key, on) || folders.count(key) || !files.insert(key).second) return false;
    for (const std::string& f : on) {
      if (files.count(f)) return false;
      folders.insert(f);
    }
  }
  return true;
}

void CopyFiles(Platform& platform, MainFormState& form, CopyPageView& view, PackAccess access) {
  const SetupConfig& config = form.Config;
  const std::string folder = config.TargetFolder();
  const int count = config.FileCount();
  RowCopier copier(platform, config, folder, form.PackResource, access);
  for (int i = 0; i < count; ++i) {
    const RowCopier::Kind done = copier.Result(i);
    if (done == RowCopier::kSkipped) continue;
    const std::string& path = copier.Path(i);
    view.SetFNameLbCaption(ShortenPath(path, kPathDisplayWidth));
    view.SetFNameLbWidth(kLabelWidth);
    view.RepaintFNameLb();
    if (done == RowCopier::kBroken) std::rethrow_exception(copier.Error(i));
    if (done == RowCopier::kFailed) platform.ShowMessage(kFileErrorText + path);
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
