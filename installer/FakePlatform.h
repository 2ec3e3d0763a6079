// An in-memory Platform for tests, benchmarks and the host side of the tools: files and
// folders in maps keyed case-insensitively (as Windows paths are), resources by name,
// scripted answers to confirmations and a log of every dialog shown.
#pragma once
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "installer/Platform.h"

class FakePlatform : public Platform {
 public:
  std::span<const uint8_t> Resource(const std::string& name) override;
  std::string ExePath() override { return exePath; }
  bool FileExists(const std::string& path) override;
  bool DirectoryExists(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  bool MakeDir(const std::string& path) override;
  void WriteNewFile(const std::string& path, std::span<const uint8_t> data) override;
  Bytes ReadWholeFile(const std::string& path) override;
  bool Confirm(const std::string& text) override;

  // --- set-up and inspection by tests ---
  void SetResource(const std::string& name, std::vector<uint8_t> bytes);
  void AddDir(const std::string& path);
  void AddFile(const std::string& path, std::string content, bool readOnly = false);
  // The file's content; throws std::out_of_range when there is none.
  const std::string& FileContent(const std::string& path) const;
  size_t FileCountUnder(const std::string& folder) const;

  std::string exePath = "C:\\setup.exe";
  std::deque<bool> confirmAnswers;  // popped per Confirm; empty: answers Yes
  std::vector<std::string> dialogs;  // every text shown, in order
  std::set<std::string> unwritableFolders;  // creation of files below these fails

 private:
  static std::string Key(const std::string& path);
  struct File {
    std::string content;
    bool readOnly = false;
  };
  std::map<std::string, std::vector<uint8_t>> resources_;
  std::map<std::string, File> files_;
  std::set<std::string> dirs_;
};
