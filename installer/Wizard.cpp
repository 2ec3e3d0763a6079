#include "installer/Wizard.h"

#include "installer/AuxActions.h"
#include "installer/PubDef.h"
#include "framework/Text.h"

namespace {
void Go(MainFormState& form, WizardView& view, int page) {
  form.PageIndex = page;
  view.ShowPage(page);
}
}  // namespace

std::string TrimFolderText(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
  std::string trimmed = text.substr(begin, end - begin);
  // The folder is stored without a trailing backslash: the run appends "\name" to it.
  // Characters are walked from the front, as a double-byte character's trail byte may be
  // a backslash.
  size_t keep = 0;  // end of the last character that is not a backslash
  for (size_t i = 0; i < trimmed.size();) {
    size_t len = IsGbkLeadByte(static_cast<unsigned char>(trimmed[i])) && i + 1 < trimmed.size() ? 2 : 1;
    if (len == 2 || trimmed[i] != '\\') keep = i + len;
    i += len;
  }
  if (keep == 2 && trimmed[1] == ':' && trimmed.size() > 2) keep = 3;  // a drive root keeps its own
  if (keep == 0 && !trimmed.empty()) keep = 1;                          // backslashes only: one stays
  trimmed.resize(keep);
  return trimmed;
}

bool ValidateTargetFolder(Platform& platform, MainFormState& form, WizardView& view) {
  std::string text = TrimFolderText(view.FolderText());
  view.SetFolderText(text);
  if (text.empty()) {
    platform.ShowMessage(kNoFolderText);
    return false;
  }
  if (text.size() < 2 || text[1] != ':') {
    platform.ShowMessage(kNotFullPathText);
    return false;
  }
  if (text.back() == ':' || text[text.size() - 2] == ':') {
    platform.ShowMessage(kDriveRootText);
    return false;
  }
  // The record keeps 128 bytes of the folder: a longer one would be cut, and the files
  // would go into whatever folder the cut text names.
  if (text.size() > Text128::kCapacity) {
    platform.ShowMessage(kFolderTooLongText);
    return false;
  }
  if (!platform.DirectoryExists(text)) {
    if (MakeDirs(platform, text))
      form.Config.SetTargetFolder(text);
    else
      platform.ShowMessage(kCreateFolderFailedText);
  }
  // Both warnings inform and never block: a folder on a fixed disk is accepted.
  if (form.LabelPFCaption.empty() || form.LabelPFCaption[0] == 'C') platform.ShowMessage(kNoUsbDriveText);
  if (text.substr(0, 3) != form.LabelPFCaption.substr(0, 3)) platform.ShowMessage(kNoUsbDriveText);
  if (!platform.DirectoryExists(text)) return false;
  form.Config.SetTargetFolder(text);
  return true;
}

void NextClick(Platform& platform, MainFormState& form, WizardView& view) {
  Button1Click(platform);
  Button2Click(platform);
  view.SetAgreeVisible(true);
  switch (form.PageIndex) {
    case kWelcomePage: Go(form, view, kLicencePage); break;
    case kLicencePage: Go(form, view, kFolderPage); break;
    case kFolderPage:
      if (ValidateTargetFolder(platform, form, view)) Go(form, view, kReadyPage);
      break;
    case kReadyPage:
      Go(form, view, kCopyingPage);
      view.RepaintBeforeRun();
      RunInstallation(platform, form, view.CopyPage());  // an error leaves the wizard on page 4
      Go(form, view, kFinishPage);
      break;
    case kFinishPage: view.Terminate(); break;
    default: break;
  }
}

void BackClick(MainFormState& form, WizardView& view) {
  view.SetAgreeVisible(false);
  if (form.PageIndex >= kLicencePage && form.PageIndex <= kReadyPage) Go(form, view, form.PageIndex - 1);
}

void AgreeClick(Platform& platform, MainFormState& form, WizardView& view) {
  view.SetAgreeVisible(false);
  view.MoveAgreeOutOfView();
  NextClick(platform, form, view);
}

void CancelClick(Platform& platform, MainFormState& form, WizardView& view) {
  if (form.InstallRunning) return;
  if (form.PageIndex >= kWelcomePage && form.PageIndex <= kReadyPage) {
    if (platform.Confirm(kCancelQuestion)) view.Terminate();
  } else if (form.PageIndex == kFinishPage) {
    if (view.StartProgramChecked()) BPingClick(platform, form.Config);
    view.Terminate();
  }
}

bool CloseQuery(Platform& platform, MainFormState& form, WizardView& view) {
  if (form.InstallRunning) return true;
  if (form.PageIndex == kFinishPage) return false;
  if (!platform.Confirm(kCancelQuestion)) return false;
  view.Terminate();
  return true;
}

void BrowseClick(Platform& platform, MainFormState& form, WizardView& view) {
  std::string path = platform.PickFolder(kCsidlDesktop, kBrowseTitle);
  if (path.empty()) return;
  const std::string leaf = form.Config.Record().ProductFolder.Text();
  view.SetFolderText(path.size() >= 4 ? path + "\\" + leaf : path + leaf);
}
