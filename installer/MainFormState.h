// What the wizard form holds beside its controls: the setup record, the pack, the key
// paths and flags built at start-up, and the few control states that the start-up, the
// folder checks and the installation run decide. The form owns one and hands it to the
// portable logic.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "installer/SetupConfig.h"
#include "installer/SetupData.h"

struct MainFormState {
  SetupConfig Config;
  // The pack's verification, when the form started it on a worker thread as it was being
  // built; absent, the start-up verifies where it needs the checksum.
  std::unique_ptr<PackVerification> PackCheck;
  // The compressed pack as embedded (a CompressedResource), set once it has been verified;
  // the installation run inflates it again as it writes. Empty until then.
  std::span<const uint8_t> PackResource;
  std::string PublisherKeyPath;               // "\Software\" + PublisherKey
  std::string InstalledStateKeyPath;          // PublisherKeyPath + "\" + ProductFolder
  bool InstalledFlag = false;
  std::string SavedFolder;
  bool InstallRunning = false;
  std::string LabelPFCaption = "C:\\";  // root of the last removable drive; the design value
  std::string ApplicationTitle;
  int PageIndex = -1;  // the active page; none before start-up ends
};
