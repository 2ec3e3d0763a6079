// What the wizard form holds beside its controls: the setup record, the pack, the key
// paths and flags built at start-up, and the few control states that the start-up, the
// folder checks and the installation run decide. The form owns one and hands it to the
// portable logic.
#pragma once
#include <memory>
#include <string>

#include "framework/Streams.h"
#include "installer/SetupConfig.h"

struct MainFormState {
  SetupConfig Config;
  std::unique_ptr<TMemoryStream> PackStream;  // absent until loaded
  std::string PublisherKeyPath;               // "\Software\" + PublisherKey
  std::string InstalledStateKeyPath;          // PublisherKeyPath + "\" + ProductFolder
  bool InstalledFlag = false;
  std::string SavedFolder;
  bool InstallRunning = false;
  std::string LabelPFCaption = "C:\\";  // root of the last removable drive; the design value
  std::string ApplicationTitle;
  int PageIndex = -1;  // the active page; none before start-up ends
};
