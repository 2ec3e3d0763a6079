#include "installer/FakePlatform.h"

#include <stdexcept>

#include "framework/Exceptions.h"

std::string FakePlatform::Key(const std::string& path) {
  std::string k = path;
  // Upper-case ASCII letters only; the trail byte of a double-byte character stays.
  for (size_t i = 0; i < k.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(k[i]);
    if (c >= 0x81 && c <= 0xFE) ++i;
    else if (c >= 'a' && c <= 'z') k[i] = static_cast<char>(c - 'a' + 'A');
  }
  while (k.size() > 3 && k.back() == '\\') k.pop_back();
  return k;
}

std::span<const uint8_t> FakePlatform::Resource(const std::string& name) {
  auto it = resources_.find(Key(name));
  if (it == resources_.end()) throw EResNotFound(name);
  return it->second;
}

bool FakePlatform::FileExists(const std::string& path) { return files_.count(Key(path)) != 0; }

bool FakePlatform::DirectoryExists(const std::string& path) { return dirs_.count(Key(path)) != 0; }

bool FakePlatform::RemoveFile(const std::string& path) {
  auto it = files_.find(Key(path));
  if (it == files_.end() || it->second.readOnly) return false;
  files_.erase(it);
  return true;
}

static std::string ParentOf(const std::string& key) {
  size_t cut = key.rfind('\\');
  if (cut == std::string::npos) return {};
  return key.substr(0, cut == 2 ? 3 : cut);
}

bool FakePlatform::MakeDir(const std::string& path) {
  std::string k = Key(path);
  if (dirs_.count(k) || files_.count(k)) return false;
  std::string parent = ParentOf(k);
  if (parent.empty() || !dirs_.count(parent) || unwritableFolders.count(parent)) return false;
  dirs_.insert(k);
  return true;
}

void FakePlatform::WriteNewFile(const std::string& path, std::span<const uint8_t> data) {
  std::string k = Key(path);
  std::string parent = ParentOf(k);
  auto it = files_.find(k);
  if (parent.empty() || !dirs_.count(parent) || unwritableFolders.count(parent) || dirs_.count(k) ||
      (it != files_.end() && it->second.readOnly))
    throw EFCreateError(path, "Access is denied.");
  files_[k] = File{std::string(data.begin(), data.end()), false};
}

Bytes FakePlatform::ReadWholeFile(const std::string& path) {
  auto it = files_.find(Key(path));
  if (it == files_.end()) throw EFOpenError(path, "The system cannot find the file specified.");
  return Bytes(it->second.content.data(), it->second.content.size());
}

bool FakePlatform::Confirm(const std::string& text) {
  dialogs.push_back(text);
  if (confirmAnswers.empty()) return true;
  bool answer = confirmAnswers.front();
  confirmAnswers.pop_front();
  return answer;
}

void FakePlatform::SetResource(const std::string& name, std::vector<uint8_t> bytes) {
  resources_[Key(name)] = std::move(bytes);
}

void FakePlatform::AddDir(const std::string& path) {
  std::string k = Key(path);
  // Every ancestor exists too.
  for (size_t i = 0; i < k.size(); ++i)
    if (k[i] == '\\') dirs_.insert(k.substr(0, i == 2 ? 3 : i));
  dirs_.insert(k);
}

void FakePlatform::AddFile(const std::string& path, std::string content, bool readOnly) {
  std::string k = Key(path);
  AddDir(ParentOf(k));
  files_[k] = File{std::move(content), readOnly};
}

const std::string& FakePlatform::FileContent(const std::string& path) const { return files_.at(Key(path)).content; }

size_t FakePlatform::FileCountUnder(const std::string& folder) const {
  std::string prefix = Key(folder) + "\\";
  size_t n = 0;
  for (const auto& [k, f] : files_)
    if (k.rfind(prefix, 0) == 0) ++n;
  return n;
}
