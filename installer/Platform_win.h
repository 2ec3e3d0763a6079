// The Platform over the real Win32 services.
#pragma once
#include "installer/Platform.h"

class Win32Platform : public Platform {
 public:
  // module: whose resources Resource() reads; nullptr for the running executable.
  explicit Win32Platform(void* module = nullptr) : module_(module) {}
  std::span<const uint8_t> Resource(const std::string& name) override;
  std::string ExePath() override;
  bool FileExists(const std::string& path) override;
  bool DirectoryExists(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  bool MakeDir(const std::string& path) override;
  bool RemoveDir(const std::string& path) override;
  std::vector<std::string> ListDir(const std::string& path) override;
  unsigned long ChangeDir(const std::string& path) override;
  void WriteNewFile(const std::string& path, std::span<const uint8_t> data) override;
  std::unique_ptr<TStream> CreateNewFile(const std::string& path) override;
  Bytes ReadWholeFile(const std::string& path) override;
  std::string LogicalDriveStrings() override;
  int DriveType(const std::string& root) override;
  std::unique_ptr<RegistryAccess> Registry(RegRoot root, uint32_t access) override;
  bool ComInitialize() override;
  void ComUninitialize() override;
  void SaveShellLink(const ShellLinkData& link) override;
  std::vector<ProcessEntry> Processes() override;
  bool EndProcess(uint32_t id, uint32_t exitCode) override;
  bool ConnectedState(uint32_t& flags) override;
  void ShellOpen(const std::string& verb, const std::string& file, const std::string& parameters,
                 int showCommand) override;
  void ShowMessage(const std::string& text) override;
  bool Confirm(const std::string& text) override;
  std::string PickFolder(int rootCsidl, const std::string& title) override;

 private:
  void* module_;
};
