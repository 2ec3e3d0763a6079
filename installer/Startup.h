// The wizard form's creation: probe for a removable drive, stage and load the setup
// record, name the application, read the record of an earlier installation, choose the
// default folder, ask about overwriting, load and check the pack, show the first page.
#pragma once
#include <exception>
#include <functional>
#include <string>

#include "installer/MainFormState.h"
#include "installer/Platform.h"
#include "installer/WorkerStep.h"

enum class StartupOutcome { Ready, DeclinedOverwrite, DeclinedPack, Failed };

struct StartupResult {
  StartupOutcome outcome = StartupOutcome::Ready;
  std::string errorText;  // Failed: the error's text, for the caller's error box
};

inline constexpr const char* kOverwriteQuestion = "Vexaro软件已经安装,覆盖原来以前的吗?  ";
inline constexpr const char* kTitleSuffix = " 安装向导";
inline constexpr const char* kStagingFileName = "tmp.cx";

// The steps before the overwrite question need neither a control nor the user: the
// removable-drive probe, the staged configuration, the key paths and the record of an
// earlier installation. A probe runs them, in that order, on a worker thread while the
// form is being built; FormCreate takes their results where it would have run them, and
// reports a failure of the staged configuration there, as if it had happened there.
class StartupProbe {
 public:
  StartupProbe() = default;
  StartupProbe(const StartupProbe&) = delete;
  StartupProbe& operator=(const StartupProbe&) = delete;

  // Starts the worker. The platform must answer these steps from another thread meanwhile.
  void Start(Platform& platform);
  // Waits (or runs the steps here, without a worker), then moves what they found into
  // form: LabelPFCaption only when a removable drive was found. Rethrows the staged
  // configuration's error after the drive probe's result is in.
  void Finish(Platform& platform, MainFormState& form);

 private:
  void Run(Platform& platform);
  MainFormState found_;
  std::exception_ptr error_;
  WorkerStep step_;  // last, so it is joined before the members its step writes go
};

// Runs every step in order. With a probe that was started, its results stand in for the
// steps before the overwrite question. DeclinedOverwrite, DeclinedPack and Failed mean the caller
// terminates the application (for Failed after showing the error box); the state keeps
// what was set until then. whileVerifying, when given, runs just before the start-up waits
// for the pack's checksum, once the questions before it are answered: work that shows
// nothing (making the hidden window) then overlaps the verification. Its errors are
// swallowed: the same work is done again, and reports, where it would have been done.
StartupResult FormCreate(Platform& platform, MainFormState& form, const std::function<void()>& whileVerifying = {},
                         StartupProbe* probe = nullptr);

// The steps, each usable on its own.
// The removable-drive probe: LabelPFCaption becomes the root of the last removable drive.
void ButtonUClick(Platform& platform, MainFormState& form);
// "tmp.cx" in the folder of exePath, without doubling a drive root's backslash.
std::string StagingPath(const std::string& exePath);
// Writes, loads and deletes the staged configuration. Errors propagate.
void LoadStagedConfiguration(Platform& platform, MainFormState& form);
void BuildKeyPaths(MainFormState& form);
// Reads Setup, Version and Folder; the first failure silently ends the step.
void ReadInstalledState(Platform& platform, MainFormState& form);
void ChooseDefaultFolder(Platform& platform, MainFormState& form);
