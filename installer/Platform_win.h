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
  void WriteNewFile(const std::string& path, std::span<const uint8_t> data) override;
  Bytes ReadWholeFile(const std::string& path) override;
  bool Confirm(const std::string& text) override;

 private:
  void* module_;
};
