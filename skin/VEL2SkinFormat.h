// Layout of skin files, shared by the reader and the skin builder: the SK2 item list and the
// ZIP-style container around it ("SK" in place of "PK"), with the traditional PKWARE
// encryption of its entry.
#pragma once
#include <cstdint>
#include <string_view>

#include <zlib.h>

namespace skin2 {

// SK2 data: a 24-byte header, then a chain of 77-byte item headers, each followed (as
// written) by its payload. All integers are 32-bit little-endian signed.
inline constexpr char kMagic[12] = {'Q', 'U', 'O', 'R', 'V', 'A', 'N', 'E', '_', 'S', 'K', '2'};
inline constexpr int kHeaderSize = 24;
inline constexpr int kHeaderSizeField = 12;
inline constexpr int kVersionField = 16;
inline constexpr int kFirstItemField = 20;
inline constexpr int kVersion = 2;

inline constexpr int kItemHeaderSize = 77;
inline constexpr int kItemNameSize = 64;
inline constexpr int kItemKindField = 64;
inline constexpr int kItemPayloadOffsetField = 65;
inline constexpr int kItemPayloadSizeField = 69;
inline constexpr int kItemNextField = 73;

enum class ItemKind : uint8_t { Bitmap = 0, Integer = 1, Boolean = 2, Text = 3 };

// The container's one entry.
inline constexpr char kEntryName[] = "SKINDATA.SK2";

// ZIP records, as far as the container uses them.
inline constexpr uint32_t kLocalHeaderSig = 0x04034B53;  // "SK\3\4": the container's first bytes
inline constexpr uint32_t kCentralHeaderSig = 0x02014B50;
inline constexpr uint32_t kEndRecordSig = 0x06054B50;
inline constexpr uint32_t kDataDescriptorSig = 0x08074B50;
inline constexpr int kLocalHeaderSize = 30;
inline constexpr int kLocalNameLengthField = 26;
inline constexpr int kCentralHeaderSize = 46;
inline constexpr int kEndRecordSize = 22;
inline constexpr uint16_t kFlagEncrypted = 1;
inline constexpr uint16_t kFlagDataDescriptor = 8;
inline constexpr int kEncryptionHeaderSize = 12;

// Central directory entry fields used by the reader.
inline constexpr int kCentralFlagsField = 8;
inline constexpr int kCentralMethodField = 10;  // read only to explain a failure
inline constexpr int kCentralTimeField = 12;
inline constexpr int kCentralCrcField = 16;
inline constexpr int kCentralUncompressedField = 24;
inline constexpr int kCentralNameLengthField = 28;
inline constexpr int kCentralExtraLengthField = 30;
inline constexpr int kCentralCommentLengthField = 32;
inline constexpr int kCentralLocalOffsetField = 42;
// End record fields.
inline constexpr int kEndDirOffsetField = 16;
inline constexpr int kEndCommentLengthField = 20;

inline uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (static_cast<uint32_t>(p[1]) << 8)); }
inline uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
inline void PutLe16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutLe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// The three keys of the traditional PKWARE encryption, updated with the CRC-32 table.
class ZipCryptoKeys {
 public:
  explicit ZipCryptoKeys(std::string_view password) : table_(get_crc_table()) {
    for (char c : password) Update(static_cast<uint8_t>(c));
  }
  uint8_t Decrypt(uint8_t c) {
    uint8_t p = static_cast<uint8_t>(c ^ StreamByte());
    Update(p);
    return p;
  }
  uint8_t Encrypt(uint8_t p) {
    uint8_t c = static_cast<uint8_t>(p ^ StreamByte());
    Update(p);
    return c;
  }
  void Decrypt(uint8_t* data, size_t n) {
    for (size_t i = 0; i < n; ++i) data[i] = Decrypt(data[i]);
  }

 private:
  uint32_t Crc(uint32_t crc, uint8_t b) const { return (crc >> 8) ^ static_cast<uint32_t>(table_[(crc ^ b) & 0xFF]); }
  void Update(uint8_t b) {
    k0_ = Crc(k0_, b);
    k1_ = (k1_ + (k0_ & 0xFF)) * 134775813u + 1;
    k2_ = Crc(k2_, static_cast<uint8_t>(k1_ >> 24));
  }
  uint8_t StreamByte() const {
    uint32_t t = (k2_ | 2) & 0xFFFF;
    return static_cast<uint8_t>((t * (t ^ 1)) >> 8);
  }
  const z_crc_t* table_;
  uint32_t k0_ = 0x12345678, k1_ = 0x23456789, k2_ = 0x34567890;
};

}  // namespace skin2
