#include "installer/AuxActions.h"

#include <exception>

void TerminateProcessesNamed(Platform& platform, const std::string& name) {
  for (const ProcessEntry& p : platform.Processes())
    if (p.exeName == name) platform.EndProcess(p.id, kTerminatedExitCode);
}

void Button1Click(Platform& platform) { TerminateProcessesNamed(platform, kSiblingProgram1); }

void Button2Click(Platform& platform) { TerminateProcessesNamed(platform, kSiblingProgram2); }

std::string TutorialUrl(const SetupConfig& config) {
  return kTutorialUrlBase + config.Record().ProductName.Text();
}

void BPingClick(Platform& platform, const SetupConfig& config) {
  std::string url = TutorialUrl(config);
  uint32_t flags = 0;
  if (!platform.ConnectedState(flags)) return;
  for (uint32_t flag : {kConnectionModem, kConnectionLan, kConnectionProxy})
    if (flags & flag) OpenInDefaultBrowser(platform, url);
}

std::string BrowserProgramPath(const std::string& command) {
  size_t open = command.find('"');
  if (open == std::string::npos) return {};
  size_t close = command.find('"', open + 1);
  if (close == std::string::npos) return {};
  return command.substr(open + 1, close - open - 1);
}

bool OpenInDefaultBrowser(Platform& platform, const std::string& url) {
  std::string command;
  try {
    auto reg = platform.Registry(RegRoot::ClassesRoot, kKeyQueryValue);
    if (reg->OpenKey(kBrowserCommandKey, false)) command = reg->ReadString("");
    reg->CloseKey();
  } catch (const std::exception&) {
    // A command of another type counts as no command: this action shows nothing.
  }
  if (command.empty()) return false;
  // With no program the shell would open the address with whatever it chooses: a command
  // that names no program opens nothing.
  std::string program = BrowserProgramPath(command);
  if (!program.empty()) platform.ShellOpen("open", program, url, kShow);
  return true;
}

void ShowAuthorWebSite(Platform& platform, const SetupConfig& config) {
  platform.ShellOpen("", config.Record().WebSite.Text(), "", kShowNormal);
}
