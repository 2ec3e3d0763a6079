#include "skin/VEL2SkinWriter.h"

#include <zlib.h>

#include <cstring>
#include <random>
#include <stdexcept>

using namespace skin2;

namespace {

void Append16(std::vector<uint8_t>& out, uint16_t v) {
  uint8_t b[2];
  PutLe16(b, v);
  out.insert(out.end(), b, b + 2);
}
void Append32(std::vector<uint8_t>& out, uint32_t v) {
  uint8_t b[4];
  PutLe32(b, v);
  out.insert(out.end(), b, b + 4);
}

std::vector<uint8_t> RawDeflate(std::span<const uint8_t> content) {
  z_stream zs{};
  if (deflateInit2(&zs, 9, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY) != Z_OK) throw std::runtime_error("deflate");
  std::vector<uint8_t> out(deflateBound(&zs, static_cast<uLong>(content.size())));
  zs.next_in = const_cast<Bytef*>(content.data());
  zs.avail_in = static_cast<uInt>(content.size());
  zs.next_out = out.data();
  zs.avail_out = static_cast<uInt>(out.size());
  int r = deflate(&zs, Z_FINISH);
  out.resize(zs.total_out);
  deflateEnd(&zs);
  if (r != Z_STREAM_END) throw std::runtime_error("deflate");
  return out;
}

}  // namespace

Sk2Item Sk2Item::Integer(std::string name, int32_t value) {
  Sk2Item item{std::move(name), ItemKind::Integer, std::vector<uint8_t>(4)};
  PutLe32(item.Payload.data(), static_cast<uint32_t>(value));
  return item;
}
Sk2Item Sk2Item::Boolean(std::string name, bool value) {
  return {std::move(name), ItemKind::Boolean, {static_cast<uint8_t>(value ? 1 : 0)}};
}
Sk2Item Sk2Item::Text(std::string name, const std::string& text) {
  return {std::move(name), ItemKind::Text, std::vector<uint8_t>(text.begin(), text.end())};
}
Sk2Item Sk2Item::Bitmap(std::string name, std::span<const uint8_t> bmpFile) {
  return {std::move(name), ItemKind::Bitmap, std::vector<uint8_t>(bmpFile.begin(), bmpFile.end())};
}

std::vector<uint8_t> BuildSk2Data(std::span<const Sk2Item> items) {
  std::vector<uint8_t> out(kHeaderSize);
  std::memcpy(out.data(), kMagic, sizeof kMagic);
  PutLe32(out.data() + kHeaderSizeField, kHeaderSize);
  PutLe32(out.data() + kVersionField, kVersion);
  PutLe32(out.data() + kFirstItemField, kHeaderSize);
  auto header = [&out](const std::string& name, ItemKind kind, size_t payloadSize, size_t next) {
    if (name.size() > kItemNameSize) throw std::invalid_argument("item name longer than 64 bytes: " + name);
    size_t at = out.size();
    out.resize(at + kItemHeaderSize);
    uint8_t* h = out.data() + at;
    std::memcpy(h, name.data(), name.size());
    h[kItemKindField] = static_cast<uint8_t>(kind);
    PutLe32(h + kItemPayloadOffsetField, payloadSize ? static_cast<uint32_t>(at + kItemHeaderSize) : 0);
    PutLe32(h + kItemPayloadSizeField, static_cast<uint32_t>(payloadSize));
    PutLe32(h + kItemNextField, static_cast<uint32_t>(next));
  };
  for (const Sk2Item& item : items) {
    size_t next = out.size() + kItemHeaderSize + item.Payload.size();
    if (next > INT32_MAX) throw std::invalid_argument("skin data larger than 2 GiB");
    header(item.Name, item.Kind, item.Payload.size(), next);
    out.insert(out.end(), item.Payload.begin(), item.Payload.end());
  }
  header(std::string(), ItemKind::Boolean, 0, 0);
  return out;
}

std::vector<uint8_t> BuildSkinContainer(std::span<const uint8_t> content, const SkinContainerOptions& options) {
  const uint32_t crc = static_cast<uint32_t>(crc32(0, content.data(), static_cast<uInt>(content.size())));
  std::vector<uint8_t> data = RawDeflate(content);
  const bool encrypted = !options.Password.empty();
  uint16_t flags = 0;
  if (encrypted) {
    flags |= kFlagEncrypted;
    if (options.DataDescriptor) flags |= kFlagDataDescriptor;
    // Eleven random bytes, then the check byte the reader compares after decryption.
    std::vector<uint8_t> sealed(kEncryptionHeaderSize);
    std::random_device random;
    for (int i = 0; i < kEncryptionHeaderSize - 1; ++i)
      sealed[i] = i < static_cast<int>(options.HeaderBytes.size()) ? options.HeaderBytes[static_cast<size_t>(i)]
                                                                    : static_cast<uint8_t>(random());
    sealed[kEncryptionHeaderSize - 1] =
        options.DataDescriptor ? static_cast<uint8_t>(options.ModTime >> 8) : static_cast<uint8_t>(crc >> 24);
    sealed.insert(sealed.end(), data.begin(), data.end());
    ZipCryptoKeys keys(options.Password);
    for (uint8_t& b : sealed) b = keys.Encrypt(b);
    data = std::move(sealed);
  } else if (options.DataDescriptor) {
    flags |= kFlagDataDescriptor;
  }
  const uint32_t compressedSize = static_cast<uint32_t>(data.size());
  const uint32_t size = static_cast<uint32_t>(content.size());
  const std::string& name = options.EntryName;
  const bool descriptor = flags & kFlagDataDescriptor;

  std::vector<uint8_t> out;
  Append32(out, kLocalHeaderSig);
  Append16(out, 20);
  Append16(out, flags);
  Append16(out, 8);
  Append16(out, options.ModTime);
  Append16(out, options.ModDate);
  Append32(out, descriptor ? 0 : crc);
  Append32(out, descriptor ? 0 : compressedSize);
  Append32(out, descriptor ? 0 : size);
  Append16(out, static_cast<uint16_t>(name.size()));
  Append16(out, 0);
  out.insert(out.end(), name.begin(), name.end());
  out.insert(out.end(), data.begin(), data.end());
  if (descriptor) {
    Append32(out, kDataDescriptorSig);
    Append32(out, crc);
    Append32(out, compressedSize);
    Append32(out, size);
  }

  const uint32_t dirOffset = static_cast<uint32_t>(out.size());
  Append32(out, kCentralHeaderSig);
  Append16(out, 20);
  Append16(out, 20);
  Append16(out, flags);
  Append16(out, 8);
  Append16(out, options.ModTime);
  Append16(out, options.ModDate);
  Append32(out, crc);
  Append32(out, compressedSize);
  Append32(out, size);
  Append16(out, static_cast<uint16_t>(name.size()));
  Append16(out, 0);  // extra field
  Append16(out, 0);  // comment
  Append16(out, 0);  // disk
  Append16(out, 0);  // internal attributes
  Append32(out, 0x20);  // external attributes: archive
  Append32(out, 0);     // local header offset
  out.insert(out.end(), name.begin(), name.end());
  const uint32_t dirSize = static_cast<uint32_t>(out.size()) - dirOffset;

  Append32(out, kEndRecordSig);
  Append16(out, 0);
  Append16(out, 0);
  Append16(out, 1);
  Append16(out, 1);
  Append32(out, dirSize);
  Append32(out, dirOffset);
  Append16(out, 0);
  return out;
}
