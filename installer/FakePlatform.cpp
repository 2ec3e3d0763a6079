#include "installer/FakePlatform.h"

#include <stdexcept>

#include "framework/Exceptions.h"
#include "installer/PubDef.h"

std::string FakePlatform::Key(const std::string& path) {
  std::string k;
  k.reserve(path.size());
  // Upper-case ASCII letters only; the trail byte of a double-byte character stays. A run
  // of backslashes inside a path names one separator, as the system's path parsing has it;
  // only the two that open a network path stay apart.
  bool afterSeparator = false;
  for (size_t i = 0; i < path.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (IsGbkLeadByte(c) && i + 1 < path.size()) {
      k += path[i];
      k += path[++i];
      afterSeparator = false;
      continue;
    }
    if (c == '\\') {
      if (afterSeparator && i > 1) continue;
      afterSeparator = true;
    } else {
      afterSeparator = false;
    }
    k += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : static_cast<char>(c);
  }
  while (k.size() > 3 && k.back() == '\\') k.pop_back();
  return k;
}

std::span<const uint8_t> FakePlatform::Resource(const std::string& name) {
  auto it = resources_.find(Key(name));
  if (it == resources_.end()) throw EResNotFound(name);
  return it->second;
}

bool FakePlatform::FileExists(const std::string& path) {
  std::lock_guard<std::recursive_mutex> lock(filesLock_.m);
  return files_.count(Key(path)) != 0;
}

bool FakePlatform::DirectoryExists(const std::string& path) {
  std::lock_guard<std::recursive_mutex> lock(filesLock_.m);
  return dirs_.count(Key(path)) != 0;
}

bool FakePlatform::RemoveFile(const std::string& path) {
  std::lock_guard<std::recursive_mutex> lock(filesLock_.m);
  if (links.erase(Key(path))) return true;  // a saved shortcut file
  auto it = files_.find(Key(path));
  if (it == files_.end() || it->second.readOnly) return false;
  files_.erase(it);
  return true;
}

static std::string ParentOf(const std::string& key) {
  int pos = LastPos("\\", key);
  if (pos == 0) return {};
  size_t cut = static_cast<size_t>(pos - 1);
  return key.substr(0, cut == 2 ? 3 : cut);
}

bool FakePlatform::MakeDir(const std::string& path) {
  std::lock_guard<std::recursive_mutex> lock(filesLock_.m);
  std::string k = Key(path);
  if (dirs_.count(k) || files_.count(k)) return false;
  std::string parent = ParentOf(k);
  if (parent.empty() || !dirs_.count(parent) || unwritableFolders.count(parent)) return false;
  dirs_.insert(k);
  return true;
}

bool FakePlatform::RemoveDir(const std::string& path) {
  std::string k = Key(path);
  if (!dirs_.count(k) || unwritableFolders.count(ParentOf(k)) || !ListDir(path).empty()) return false;
  dirs_.erase(k);
  return true;
}

std::vector<std::string> FakePlatform::ListDir(const std::string& path) {
  std::string k = Key(path);
  std::vector<std::string> names;
  if (!dirs_.count(k)) return names;
  auto add = [&](const std::string& child) {
    if (child.size() > k.size() && ParentOf(child) == k) names.push_back(child.substr(LastPos("\\", child)));
  };
  for (const auto& [f, file] : files_) add(f);
  for (const auto& [l, link] : links) add(l);
  for (const auto& d : dirs_) add(d);
  return names;
}

unsigned long FakePlatform::ChangeDir(const std::string& path) {
  if (!dirs_.count(Key(path))) return 3;  // the path was not found
  if (unenterableFolders.count(Key(path))) return 5;
  currentDir = path;
  return 0;
}

void FakePlatform::WriteNewFile(const std::string& path, std::span<const uint8_t> data) {
  CreateNewFile(path)->WriteBuffer(data.data(), data.size());
}

// Appends to the fake file it was created for, as long as that file exists.
class FakeFileStream : public TStream {
 public:
  FakeFileStream(FakePlatform& fake, std::string key) : fake_(fake), key_(std::move(key)) {}
  size_t Read(void*, size_t) override { return 0; }
  size_t Write(const void* buffer, size_t count) override {
    std::lock_guard<std::recursive_mutex> lock(fake_.filesLock_.m);
    auto it = fake_.files_.find(key_);
    if (it == fake_.files_.end() || fake_.failingWrites.count(key_)) return 0;
    it->second.content.append(static_cast<const char*>(buffer), count);
    return count;
  }
  int64_t Seek(int64_t, SeekOrigin) override { return -1; }

 private:
  FakePlatform& fake_;
  std::string key_;
};

std::unique_ptr<TStream> FakePlatform::CreateNewFile(const std::string& path) {
  std::lock_guard<std::recursive_mutex> lock(filesLock_.m);
  std::string k = Key(path);
  std::string parent = ParentOf(k);
  auto it = files_.find(k);
  if (parent.empty() || !dirs_.count(parent) || unwritableFolders.count(parent) || dirs_.count(k) ||
      (it != files_.end() && (it->second.readOnly || it->second.hidden)))
    throw EFCreateError(path, "Access is denied.");
  files_[k] = File{};
  return std::make_unique<FakeFileStream>(*this, k);
}

Bytes FakePlatform::ReadWholeFile(const std::string& path) {
  auto it = files_.find(Key(path));
  if (it == files_.end()) throw EFOpenError(path, "The system cannot find the file specified.");
  return Bytes(it->second.content.data(), it->second.content.size());
}

std::string FakePlatform::LogicalDriveStrings() {
  std::string list;
  for (const auto& d : drives) {
    list += d.first;
    list += '\0';
  }
  return list;
}

int FakePlatform::DriveType(const std::string& root) {
  for (const auto& d : drives)
    if (Key(d.first) == Key(root)) return d.second;
  return 1;  // no root directory
}

// --- registry ---

std::string FakePlatform::RegKeyName(RegRoot root, const std::string& key) {
  std::string k = key;
  size_t b = k.find_first_not_of('\\');
  k = b == std::string::npos ? std::string() : k.substr(b);
  while (!k.empty() && k.back() == '\\') k.pop_back();
  const char* hive = root == RegRoot::LocalMachine ? "HKLM" : root == RegRoot::CurrentUser ? "HKCU" : "HKCR";
  return Key(k.empty() ? std::string(hive) : std::string(hive) + "\\" + k);
}

bool FakePlatform::RegWritable(const std::string& keyName) const {
  for (const auto& u : unwritableKeys_)
    if (keyName == u || keyName.rfind(u + "\\", 0) == 0) return false;
  return true;
}

void FakePlatform::SetRegValue(RegRoot root, const std::string& key, const std::string& name, FakeRegValue value) {
  keys_[RegKeyName(root, key)].values[Key(name)] = {name, std::move(value)};
}

const FakeRegValue* FakePlatform::RegValue(RegRoot root, const std::string& key, const std::string& name) const {
  auto k = keys_.find(RegKeyName(root, key));
  if (k == keys_.end()) return nullptr;
  auto v = k->second.values.find(Key(name));
  return v == k->second.values.end() ? nullptr : &v->second.second;
}

bool FakePlatform::RegKeyExists(RegRoot root, const std::string& key) const {
  return keys_.count(RegKeyName(root, key)) != 0;
}

size_t FakePlatform::RegValueCount(RegRoot root, const std::string& key) const {
  auto k = keys_.find(RegKeyName(root, key));
  return k == keys_.end() ? 0 : k->second.values.size();
}

void FakePlatform::MakeKeyUnwritable(RegRoot root, const std::string& key) {
  unwritableKeys_.insert(RegKeyName(root, key));
}

class FakeRegistryAccess : public RegistryAccess {
 public:
  FakeRegistryAccess(FakePlatform& p, RegRoot root, uint32_t access) : p_(p), root_(root), access_(access) {}

  bool OpenKey(const std::string& path, bool canCreate) override {
    CloseKey();
    std::string name = FakePlatform::RegKeyName(root_, path);
    bool exists = p_.keys_.count(name) != 0;
    if (!exists && (!canCreate || !p_.RegWritable(name))) return false;
    if ((access_ & kKeySetValue) && !p_.RegWritable(name)) return false;
    if (!exists) {
      // Every missing level is created, as RegCreateKeyEx does.
      for (size_t i = 0; i < name.size(); ++i)
        if (name[i] == '\\') p_.keys_[name.substr(0, i)];
      p_.keys_[name];
    }
    current_ = name;
    return true;
  }

  bool ReadBool(const std::string& name) override {
    const FakeRegValue* v = Find(name);
    if (!v) throw ERegistryException("Failed to get data for '" + name + "'");
    if (v->type != FakeRegType::Dword) throw ERegistryException("Invalid data type for '" + name + "'");
    return v->number != 0;
  }

  std::string ReadString(const std::string& name) override {
    const FakeRegValue* v = Find(name);
    if (!v) return {};
    if (v->type != FakeRegType::String) throw ERegistryException("Invalid data type for '" + name + "'");
    return v->text;
  }

  void WriteString(const std::string& name, const std::string& value) override {
    Set(name, {FakeRegType::String, value, 0});
  }
  void WriteInteger(const std::string& name, int32_t value) override { Set(name, {FakeRegType::Dword, {}, value}); }
  void CloseKey() override { current_.clear(); }

  bool DeleteValue(const std::string& name) override {
    if (current_.empty() || !(access_ & kKeySetValue) || !p_.RegWritable(current_)) return false;
    return p_.keys_[current_].values.erase(FakePlatform::Key(name)) != 0;
  }

  bool DeleteKeyIfEmpty(const std::string& path) override {
    CloseKey();
    std::string name = FakePlatform::RegKeyName(root_, path);
    auto it = p_.keys_.find(name);
    if (it == p_.keys_.end() || !it->second.values.empty() || !p_.RegWritable(name)) return false;
    auto sub = p_.keys_.lower_bound(name + "\\");
    if (sub != p_.keys_.end() && sub->first.rfind(name + "\\", 0) == 0) return false;  // has subkeys
    p_.keys_.erase(it);
    return true;
  }

 private:
  const FakeRegValue* Find(const std::string& name) {
    if (current_.empty()) return nullptr;
    auto& values = p_.keys_[current_].values;
    auto v = values.find(FakePlatform::Key(name));
    return v == values.end() ? nullptr : &v->second.second;
  }
  void Set(const std::string& name, FakeRegValue value) {
    if (current_.empty() || !(access_ & kKeySetValue))
      throw ERegistryException("Failed to set data for '" + name + "'");
    p_.keys_[current_].values[FakePlatform::Key(name)] = {name, std::move(value)};
    p_.registryWrites.push_back(current_ + "|" + name);
  }

  FakePlatform& p_;
  RegRoot root_;
  uint32_t access_;
  std::string current_;
};

std::unique_ptr<RegistryAccess> FakePlatform::Registry(RegRoot root, uint32_t access) {
  return std::make_unique<FakeRegistryAccess>(*this, root, access);
}

// --- shortcut files ---

bool FakePlatform::ComInitialize() {
  if (comInitFails) return false;
  ++comDepth;
  ++comInitCount;
  return true;
}

void FakePlatform::ComUninitialize() { --comDepth; }

void FakePlatform::SaveShellLink(const ShellLinkData& link) {
  if (comDepth <= 0) throw Exception("CoInitialize has not been called");
  if (shellLinkFails) throw Exception("Class not registered");
  // The save's result is not examined: a link into a missing folder is simply not there.
  if (!dirs_.count(ParentOf(Key(link.fileName)))) return;
  links[Key(link.fileName)] = link;
  linkOrder.push_back(link.fileName);
}

// --- processes, network, shell, dialogs ---

bool FakePlatform::EndProcess(uint32_t id, uint32_t exitCode) {
  if (unkillable.count(id)) return false;
  for (auto it = processes.begin(); it != processes.end(); ++it)
    if (it->id == id) {
      processes.erase(it);
      endedProcesses[id] = exitCode;
      return true;
    }
  return false;
}

bool FakePlatform::ConnectedState(uint32_t& flags) {
  flags = connectionFlags;
  return connected;
}

void FakePlatform::ShellOpen(const std::string& verb, const std::string& file, const std::string& parameters,
                             int showCommand) {
  launches.push_back({verb, file, parameters, showCommand});
}

void FakePlatform::ShowMessage(const std::string& text) {
  dialogs.push_back(text);
  messages.push_back(text);
}

bool FakePlatform::Confirm(const std::string& text) {
  dialogs.push_back(text);
  if (confirmAnswers.empty()) return true;
  bool answer = confirmAnswers.front();
  confirmAnswers.pop_front();
  return answer;
}

std::string FakePlatform::PickFolder(int rootCsidl, const std::string& title) {
  pickerCalls.push_back({rootCsidl, title});
  if (pickerAnswers.empty()) return {};
  std::string answer = pickerAnswers.front();
  pickerAnswers.pop_front();
  return answer;
}

// --- set-up and inspection ---

void FakePlatform::SetResource(const std::string& name, std::vector<uint8_t> bytes) {
  resources_[Key(name)] = std::move(bytes);
}

void FakePlatform::AddDir(const std::string& path) {
  std::string k = Key(path);
  // Every ancestor exists too.
  for (size_t i = 0; i < k.size(); ++i) {
    if (k[i] == '\\') dirs_.insert(k.substr(0, i == 2 ? 3 : i));
    if (IsGbkLeadByte(static_cast<unsigned char>(k[i]))) ++i;
  }
  dirs_.insert(k);
}

void FakePlatform::AddFile(const std::string& path, std::string content, bool readOnly, bool hidden) {
  std::string k = Key(path);
  AddDir(ParentOf(k));
  files_[k] = File{std::move(content), readOnly, hidden};
}

const std::string& FakePlatform::FileContent(const std::string& path) const { return files_.at(Key(path)).content; }

static std::string FolderPrefix(const std::string& key) { return key.back() == '\\' ? key : key + "\\"; }

size_t FakePlatform::FileCountUnder(const std::string& folder) const {
  std::string prefix = FolderPrefix(Key(folder));
  size_t n = 0;
  for (const auto& [k, f] : files_)
    if (k.size() > prefix.size() && k.rfind(prefix, 0) == 0) ++n;
  return n;
}

size_t FakePlatform::DirCountUnder(const std::string& folder) const {
  std::string prefix = FolderPrefix(Key(folder));
  size_t n = 0;
  for (const auto& k : dirs_)
    if (k.size() > prefix.size() && k.rfind(prefix, 0) == 0) ++n;
  return n;
}

std::vector<std::string> FakePlatform::FileKeys() const {
  std::vector<std::string> keys;
  for (const auto& [k, f] : files_) keys.push_back(k);
  return keys;
}
