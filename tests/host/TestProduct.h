// Builds a small product in memory and places its resources on a FakePlatform, with the
// shell folders of a fresh user profile.
#pragma once
#include <algorithm>
#include <string>
#include <vector>

#include "installer/BaseDef.h"
#include "installer/FakePlatform.h"
#include "installer/PubDef.h"
#include "installer/SetupConfig.h"

struct TestProduct {
  SetupConfig config;
  std::vector<uint8_t> pack;

  TestProduct() {
    auto& r = config.MutableRecord();
    r.AuthorName.Assign("作者");
    r.PublisherKey.Assign("KorvaSoft");
    r.WebSite.Assign("http://www.korva.example/");
    r.Version.Assign("3.2.0");
    r.ProductName.Assign("Vexaro U盘加密");
    r.ProductFolder.Assign("KORVA-Y");
    r.RecordDate.Assign("20131120");
    r.TargetFolder.Assign("D:\\Build\\KORVA-Y");
  }

  int AddFile(const std::string& name, const std::string& content) {
    auto& r = config.MutableRecord();
    int i = r.FileCount.Get();
    r.Files[i].Name.Assign(name);
    r.Files[i].Offset.Set(static_cast<int32_t>(pack.size()));
    r.Files[i].Size.Set(static_cast<int32_t>(content.size()));
    pack.insert(pack.end(), content.begin(), content.end());
    r.FileCount.Set(i + 1);
    return i;
  }
  void AddShortcut(const std::string& caption, int fileIndex, uint8_t kind, const std::string& arguments = "") {
    auto& r = config.MutableRecord();
    int i = r.ShortcutCount.Get();
    r.Shortcuts[i].Caption.Assign(caption);
    r.Shortcuts[i].FileIndex.Set(fileIndex);
    r.Shortcuts[i].Kind = kind;
    r.Shortcuts[i].Arguments.Assign(arguments);
    r.ShortcutCount.Set(i + 1);
  }
  SetupRegistryEntry& AddRegistryValue(const std::string& name, bool currentUser, const std::string& key,
                                       uint8_t type) {
    auto& r = config.MutableRecord();
    int i = r.RegistryValueCount.Get();
    SetupRegistryEntry& e = r.RegistryValues[i];
    e.ValueName.Assign(name);
    e.UseCurrentUser = currentUser;
    e.KeyPath.Assign(key);
    e.ValueType = type;
    r.RegistryValueCount.Set(i + 1);
    return e;
  }

  // The resources as the build embeds them; the checksum matches unless told otherwise.
  std::vector<uint8_t> ConfigResource() {
    config.MutableRecord().PackChecksum.Set(static_cast<int32_t>(PackByteSum(pack)));
    Bytes b = CompressResource(config.Bytes());
    return std::vector<uint8_t>(b.data(), b.data() + b.size());
  }
  void Install(FakePlatform& fake, bool goodChecksum = true) {
    std::vector<uint8_t> ini = ConfigResource();
    if (!goodChecksum) {
      SetupConfig bad;
      bad.Load(config.Bytes());
      bad.MutableRecord().PackChecksum.Set(static_cast<int32_t>(PackByteSum(pack) + 1));
      Bytes b = CompressResource(bad.Bytes());
      ini.assign(b.data(), b.data() + b.size());
    }
    fake.SetResource("SETUPINI", ini);
    Bytes p = CompressResource(pack);
    fake.SetResource("SETUPPACK", std::vector<uint8_t>(p.data(), p.data() + p.size()));
  }
};

// n bytes that compress like a product's files: text-like runs between stretches of noise.
inline std::string MixedBytes(size_t n, uint32_t seed) {
  std::string s;
  s.reserve(n);
  while (s.size() < n) {
    seed = seed * 1103515245u + 12345u;
    if (seed >> 29 == 0)
      for (int k = 0; k < 48 && s.size() < n; ++k, seed = seed * 1103515245u + 12345u) s += static_cast<char>(seed >> 24);
    else
      s.append("skin bitmap data ", 0, std::min<size_t>(17, n - s.size()));
  }
  return s;
}

// A user profile: the shell folders named in the registry and present on disk.
inline void AddUserProfile(FakePlatform& fake) {
  const std::string home = "C:\\users\\test\\";
  fake.SetRegString(RegRoot::CurrentUser, kShellFoldersKey, "Desktop", home + "Desktop");
  fake.SetRegString(RegRoot::CurrentUser, kShellFoldersKey, "Programs", home + "Start Menu\\Programs");
  fake.AddDir(home + "Desktop");
  fake.AddDir(home + "Start Menu\\Programs");
  fake.SetRegString(RegRoot::ClassesRoot, "htmlfile\\shell\\open\\command", "",
                    "\"C:\\Program Files\\Browser\\browser.exe\" -nohome \"%1\"");
}
