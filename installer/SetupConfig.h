// The setup record: one fixed 207,160-byte block that makes the generic installer install
// one product. The product builder writes it and the installer reads it in place through
// these packed layouts; both sides share this one definition.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#pragma pack(push, 1)

// A length-prefixed text slot of capacity N (N + 1 bytes). Only the first `length` bytes
// are text; the rest is stale. A length above N reads as N.
template <size_t N>
struct ShortString {
  uint8_t length;
  char text[N];

  static constexpr size_t kCapacity = N;
  size_t Length() const { return std::min<size_t>(length, N); }
  std::string Text() const { return std::string(text, Length()); }
  std::string_view View() const { return std::string_view(text, Length()); }
  // Stores s cut to N bytes. The bytes after it are left as they were.
  void Assign(std::string_view s) {
    size_t n = std::min(s.size(), N);
    length = static_cast<uint8_t>(n);
    std::memcpy(text, s.data(), n);
  }
};

// A 32-bit little-endian two's complement integer, read byte by byte.
struct Int32LE {
  uint8_t b[4];
  int32_t Get() const {
    return static_cast<int32_t>(static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
                                static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24);
  }
  uint32_t GetU() const { return static_cast<uint32_t>(Get()); }
  void Set(int32_t v) {
    uint32_t u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) b[i] = static_cast<uint8_t>(u >> (8 * i));
  }
};

using Text128 = ShortString<128>;
using Text8 = ShortString<8>;

struct SetupFileEntry {
  Text128 Name;       // "\Readme.txt"; the installed path is TargetFolder + Name
  uint8_t Unread[3];  // authored as 0, 1, 0; never read
  Int32LE Offset;     // where the file's bytes start in the pack
  Int32LE Size;
};

struct SetupShortcutEntry {
  Text128 Caption;  // the link file is Caption + ".lnk"
  uint8_t Padding1[3];
  Int32LE FileIndex;  // file row whose installed path is the target
  uint8_t Kind;       // 0 desktop, 1 program group, anything else both (group first)
  Text128 Arguments;
  uint8_t Padding2[2];
};

struct SetupRegistryEntry {
  Text128 ValueName;
  uint8_t UseCurrentUser;  // non-zero: HKEY_CURRENT_USER, else HKEY_LOCAL_MACHINE
  Text128 KeyPath;
  uint8_t ValueType;  // 0 boolean, 1 string, 2 integer, other: nothing is written
  uint8_t BoolValue;
  Text128 StringValue;
  uint8_t Padding[2];
  Int32LE IntegerValue;
};

constexpr int kTableRows = 256;

struct SetupConfigRecord {
  Text128 AuthorName;
  Text128 PublisherKey;
  Text128 WebSite;
  Text128 LegalNotice;
  Text128 Version;
  Text8 ReleaseDate;
  Text128 ProductName;
  Text128 ProductFolder;
  Text128 Category;
  Text128 Description;
  Text8 RecordDate;
  Text8 ExtraDate;
  Text128 TargetFolder;
  uint8_t Padding[3];
  Int32LE PackChecksum;
  SetupFileEntry Files[kTableRows];
  Int32LE FileCount;
  SetupShortcutEntry Shortcuts[kTableRows];
  Int32LE ShortcutCount;
  SetupRegistryEntry RegistryValues[kTableRows];
  Int32LE RegistryValueCount;
};

#pragma pack(pop)

constexpr size_t kSetupConfigSize = 207160;

static_assert(sizeof(SetupFileEntry) == 140);
static_assert(offsetof(SetupFileEntry, Unread) == 129);
static_assert(offsetof(SetupFileEntry, Offset) == 132);
static_assert(offsetof(SetupFileEntry, Size) == 136);
static_assert(sizeof(SetupShortcutEntry) == 268);
static_assert(offsetof(SetupShortcutEntry, FileIndex) == 132);
static_assert(offsetof(SetupShortcutEntry, Kind) == 136);
static_assert(offsetof(SetupShortcutEntry, Arguments) == 137);
static_assert(sizeof(SetupRegistryEntry) == 396);
static_assert(offsetof(SetupRegistryEntry, UseCurrentUser) == 129);
static_assert(offsetof(SetupRegistryEntry, KeyPath) == 130);
static_assert(offsetof(SetupRegistryEntry, ValueType) == 259);
static_assert(offsetof(SetupRegistryEntry, BoolValue) == 260);
static_assert(offsetof(SetupRegistryEntry, StringValue) == 261);
static_assert(offsetof(SetupRegistryEntry, IntegerValue) == 392);
static_assert(offsetof(SetupConfigRecord, PublisherKey) == 129);
static_assert(offsetof(SetupConfigRecord, WebSite) == 258);
static_assert(offsetof(SetupConfigRecord, LegalNotice) == 387);
static_assert(offsetof(SetupConfigRecord, Version) == 516);
static_assert(offsetof(SetupConfigRecord, ReleaseDate) == 645);
static_assert(offsetof(SetupConfigRecord, ProductName) == 654);
static_assert(offsetof(SetupConfigRecord, ProductFolder) == 783);
static_assert(offsetof(SetupConfigRecord, Category) == 912);
static_assert(offsetof(SetupConfigRecord, Description) == 1041);
static_assert(offsetof(SetupConfigRecord, RecordDate) == 1170);
static_assert(offsetof(SetupConfigRecord, ExtraDate) == 1179);
static_assert(offsetof(SetupConfigRecord, TargetFolder) == 1188);
static_assert(offsetof(SetupConfigRecord, PackChecksum) == 1320);
static_assert(offsetof(SetupConfigRecord, Files) == 1324);
static_assert(offsetof(SetupConfigRecord, FileCount) == 37164);
static_assert(offsetof(SetupConfigRecord, Shortcuts) == 37168);
static_assert(offsetof(SetupConfigRecord, ShortcutCount) == 105776);
static_assert(offsetof(SetupConfigRecord, RegistryValues) == 105780);
static_assert(offsetof(SetupConfigRecord, RegistryValueCount) == 207156);
static_assert(sizeof(SetupConfigRecord) == kSetupConfigSize);

// The block the wizard form owns. Starts zero-filled; read through typed views.
class SetupConfig {
 public:
  SetupConfig() : block_(new SetupConfigRecord()) {}

  // Copies at most kSetupConfigSize bytes of decompressed data into the block; a shorter
  // input leaves the rest of the block as it was.
  void Load(std::span<const uint8_t> data) {
    if (data.empty()) return;
    std::memcpy(block_.get(), data.data(), std::min(data.size(), kSetupConfigSize));
  }

  const SetupConfigRecord& Record() const { return *block_; }
  // Only the product builder writes whole records.
  SetupConfigRecord& MutableRecord() { return *block_; }
  std::span<const uint8_t> Bytes() const {
    return {reinterpret_cast<const uint8_t*>(block_.get()), kSetupConfigSize};
  }

  // The one field the installer changes: stored cut to 128 bytes.
  void SetTargetFolder(std::string_view folder) { block_->TargetFolder.Assign(folder); }
  std::string TargetFolder() const { return block_->TargetFolder.Text(); }

  // Rows in use, read as 0..256 whatever the stored count says.
  static int ClampCount(const Int32LE& c) { return std::clamp(c.Get(), 0, kTableRows); }
  int FileCount() const { return ClampCount(block_->FileCount); }
  int ShortcutCount() const { return ClampCount(block_->ShortcutCount); }
  int RegistryValueCount() const { return ClampCount(block_->RegistryValueCount); }
  const SetupFileEntry& File(int i) const { return block_->Files[i]; }
  const SetupShortcutEntry& Shortcut(int i) const { return block_->Shortcuts[i]; }
  const SetupRegistryEntry& RegistryValue(int i) const { return block_->RegistryValues[i]; }

 private:
  std::unique_ptr<SetupConfigRecord> block_;
};
