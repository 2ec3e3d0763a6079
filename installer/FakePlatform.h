// An in-memory Platform for tests, benchmarks and the host side of the tools: files and
// folders in maps keyed case-insensitively (as Windows paths are), resources by name, a
// registry of typed values, drives, a process list, recorded shortcut files and browser
// launches, scripted connectivity and answers, and a log of every dialog shown. Its file
// calls may come from several threads at once; everything else from one.
#pragma once
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "installer/Platform.h"

enum class FakeRegType { String, Dword, Binary };

struct FakeRegValue {
  FakeRegType type = FakeRegType::String;
  std::string text;  // String and Binary data
  int32_t number = 0;
  bool operator==(const FakeRegValue&) const = default;
};

struct FakeShellLaunch {
  std::string verb, file, parameters;
  int showCommand = 0;
};

class FakePlatform : public Platform {
 public:
  std::span<const uint8_t> Resource(const std::string& name) override;
  std::string ExePath() override { return exePath; }
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
  std::vector<ProcessEntry> Processes() override { return processes; }
  bool EndProcess(uint32_t id, uint32_t exitCode) override;
  bool ConnectedState(uint32_t& flags) override;
  void ShellOpen(const std::string& verb, const std::string& file, const std::string& parameters,
                 int showCommand) override;
  void ShowMessage(const std::string& text) override;
  bool Confirm(const std::string& text) override;
  std::string PickFolder(int rootCsidl, const std::string& title) override;

  // --- set-up and inspection by tests: files ---
  void SetResource(const std::string& name, std::vector<uint8_t> bytes);
  void AddDir(const std::string& path);
  // readOnly: cannot be deleted or replaced. hidden: cannot be replaced in place (as a
  // creation with normal attributes fails on it) but can be deleted.
  void AddFile(const std::string& path, std::string content, bool readOnly = false, bool hidden = false);
  // The file's content; throws std::out_of_range when there is none.
  const std::string& FileContent(const std::string& path) const;
  size_t FileCountUnder(const std::string& folder) const;
  size_t DirCountUnder(const std::string& folder) const;
  // Every file's path as the fake keys it (upper-cased ASCII).
  std::vector<std::string> FileKeys() const;

  // --- registry ---
  void SetRegValue(RegRoot root, const std::string& key, const std::string& name, FakeRegValue value);
  void SetRegString(RegRoot root, const std::string& key, const std::string& name, const std::string& text) {
    SetRegValue(root, key, name, {FakeRegType::String, text, 0});
  }
  void SetRegDword(RegRoot root, const std::string& key, const std::string& name, int32_t number) {
    SetRegValue(root, key, name, {FakeRegType::Dword, {}, number});
  }
  // nullptr when the key or the value does not exist.
  const FakeRegValue* RegValue(RegRoot root, const std::string& key, const std::string& name) const;
  bool RegKeyExists(RegRoot root, const std::string& key) const;
  size_t RegValueCount(RegRoot root, const std::string& key) const;
  // Neither this key nor any below it can be created or opened for setting values.
  void MakeKeyUnwritable(RegRoot root, const std::string& key);

  // --- drives: listed in the order added ---
  void AddDrive(const std::string& root, int type) { drives.push_back({root, type}); }

  std::string exePath = "C:\\setup.exe";
  std::deque<bool> confirmAnswers;  // popped per Confirm; empty: answers Yes
  std::vector<std::string> dialogs;  // every text shown by ShowMessage and Confirm, in order
  std::vector<std::string> messages;  // ShowMessage texts only
  std::set<std::string> unwritableFolders;  // creation of files and folders below these fails
  std::set<std::string> unenterableFolders;  // ChangeDir fails with 5
  std::set<std::string> failingWrites;       // keys of files that are created but not written
  std::string currentDir;
  std::vector<std::pair<std::string, int>> drives;
  std::vector<std::string> registryWrites;  // "HKLM\<key>|<name>" per value set, in order

  bool comInitFails = false;
  bool shellLinkFails = false;  // SaveShellLink raises as when the object cannot be created
  int comDepth = 0;             // initialisations not yet balanced
  int comInitCount = 0;
  std::map<std::string, ShellLinkData> links;  // saved shortcut files by upper-cased path
  std::vector<std::string> linkOrder;          // file names as saved, in order

  std::vector<ProcessEntry> processes;
  std::set<uint32_t> unkillable;
  std::map<uint32_t, uint32_t> endedProcesses;  // id -> exit code

  bool connected = false;
  uint32_t connectionFlags = 0;
  std::vector<FakeShellLaunch> launches;

  std::deque<std::string> pickerAnswers;  // popped per PickFolder; empty: cancelled
  std::vector<std::pair<int, std::string>> pickerCalls;

  static std::string Key(const std::string& path);
  static std::string RegKeyName(RegRoot root, const std::string& key);

 private:
  friend class FakeRegistryAccess;
  friend class FakeFileStream;
  struct File {
    std::string content;
    bool readOnly = false;
    bool hidden = false;
  };
  struct RegKey {
    std::map<std::string, std::pair<std::string, FakeRegValue>> values;  // upper name -> (name, value)
  };
  bool RegWritable(const std::string& keyName) const;
  std::map<std::string, std::vector<uint8_t>> resources_;
  // Files and folders may be written from the copy step's two threads at once.
  // A copy or assignment of the fake gets a lock of its own.
  struct FilesLock {
    std::recursive_mutex m;
    FilesLock() = default;
    FilesLock(const FilesLock&) {}
    FilesLock& operator=(const FilesLock&) { return *this; }
  };
  mutable FilesLock filesLock_;
  std::map<std::string, File> files_;
  std::set<std::string> dirs_;
  std::map<std::string, RegKey> keys_;
  std::set<std::string> unwritableKeys_;
};
