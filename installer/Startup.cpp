#include "installer/Startup.h"

#include <algorithm>
#include <exception>
#include <optional>

#include "installer/PubDef.h"
#include "installer/SetupData.h"

void ButtonUClick(Platform& platform, MainFormState& form) {
  std::string list = platform.LogicalDriveStrings();
  size_t start = 0;
  while (start < list.size()) {
    size_t end = list.find('\0', start);
    if (end == std::string::npos) end = list.size();
    if (end == start) break;  // the empty entry that ends the list
    std::string root = list.substr(start, std::min<size_t>(3, end - start));
    if (platform.DriveType(root) == kDriveRemovable) form.LabelPFCaption = root;
    start = end + 1;
  }
}

std::string StagingPath(const std::string& exePath) {
  // The folder part keeps its last backslash, so a drive root gives E:\tmp.cx.
  return FolderPart(exePath) + kStagingFileName;
}

void LoadStagedConfiguration(Platform& platform, MainFormState& form) {
  std::string path = StagingPath(platform.ExePath());
  // The staged copy is removed whether or not it could be read back.
  struct Remove {
    Platform& p;
    const std::string& path;
    ~Remove() { p.RemoveFile(path); }
  };
  WriteConfigResource(platform, path);
  Remove remove{platform, path};
  LoadConfiguration(platform, path, form.Config);
}

void BuildKeyPaths(MainFormState& form) {
  const SetupConfigRecord& r = form.Config.Record();
  form.PublisherKeyPath = "\\Software\\" + r.PublisherKey.Text();
  form.InstalledStateKeyPath = form.PublisherKeyPath + "\\" + r.ProductFolder.Text();
}

void ReadInstalledState(Platform& platform, MainFormState& form) {
  try {
    auto reg = platform.Registry(RegRoot::LocalMachine, kReadAndSetValues);
    if (!reg->OpenKey(form.InstalledStateKeyPath, true)) return;
    form.InstalledFlag = reg->ReadBool("Setup");
    reg->ReadString("Version");  // read as the record has it; not used further
    form.SavedFolder = reg->ReadString("Folder");
    reg->CloseKey();
  } catch (const std::exception&) {
    // Whatever was not read keeps its initial value.
  }
}

void ChooseDefaultFolder(Platform& platform, MainFormState& form) {
  if (form.SavedFolder.size() > 3 && platform.DirectoryExists(form.SavedFolder))
    form.Config.SetTargetFolder(form.SavedFolder);
  else
    form.Config.SetTargetFolder(form.LabelPFCaption + form.Config.Record().ProductFolder.Text());
}

void StartupProbe::Run(Platform& platform) {
  // An empty caption marks "no removable drive": roots are never empty.
  found_.LabelPFCaption.clear();
  ButtonUClick(platform, found_);
  try {
    LoadStagedConfiguration(platform, found_);
  } catch (...) {
    error_ = std::current_exception();
    return;
  }
  BuildKeyPaths(found_);
  ReadInstalledState(platform, found_);
}

void StartupProbe::Start(Platform& platform) {
  step_.Start([this, &platform] { Run(platform); });
}

void StartupProbe::Finish(Platform& platform, MainFormState& form) {
  step_.Collect([this, &platform] { Run(platform); });
  if (!found_.LabelPFCaption.empty()) form.LabelPFCaption = found_.LabelPFCaption;
  if (error_) std::rethrow_exception(error_);
  std::swap(form.Config, found_.Config);
  form.PublisherKeyPath = found_.PublisherKeyPath;
  form.InstalledStateKeyPath = found_.InstalledStateKeyPath;
  form.InstalledFlag = found_.InstalledFlag;
  form.SavedFolder = found_.SavedFolder;
}

StartupResult FormCreate(Platform& platform, MainFormState& form, const std::function<void()>& whileVerifying,
                         StartupProbe* probe) {
  // Every early end abandons a verification running on the worker.
  struct DropUnlessReady {
    MainFormState& form;
    bool ready = false;
    ~DropUnlessReady() {
      if (!ready && form.PackCheck) form.PackCheck->Drop();
    }
  } drop{form};
  // Without a probe started earlier, one that never started runs the steps here.
  std::optional<StartupProbe> here;
  if (!probe) probe = &here.emplace();
  try {
    probe->Finish(platform, form);
  } catch (const std::exception& e) {
    return {StartupOutcome::Failed, e.what()};
  }
  form.ApplicationTitle = form.Config.Record().ProductName.Text() + kTitleSuffix;
  ChooseDefaultFolder(platform, form);
  if (form.InstalledFlag && !platform.Confirm(kOverwriteQuestion)) return {StartupOutcome::DeclinedOverwrite, {}};
  if (whileVerifying) {
    try {
      whileVerifying();
    } catch (...) {
    }
  }
  bool packAccepted;
  try {
    if (!form.PackCheck) form.PackCheck = std::make_unique<PackVerification>();
    uint32_t sum = form.PackCheck->Wait(platform);
    form.PackResource = form.PackCheck->Resource();
    packAccepted = VerifyPackSum(platform, sum, form.Config);
  } catch (const std::exception& e) {
    return {StartupOutcome::Failed, e.what()};
  }
  if (!packAccepted) return {StartupOutcome::DeclinedPack, {}};
  drop.ready = true;
  form.PageIndex = 0;
  return {};
}
