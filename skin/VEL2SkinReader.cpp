#include "skin/VEL2SkinReader.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>

#include "framework/Exceptions.h"
#include "framework/FileUtil.h"
#include "framework/Streams.h"
#include "framework/Text.h"
#include "skin/VEL2SkinFormat.h"

using namespace skin2;

namespace {

constexpr size_t kInputBlock = 64 * 1024;
// The output goes to the file in pieces of at most this size; an entry that fits (the usual
// skin) is decoded in one call and written with one write.
constexpr size_t kMaxOutputBuffer = 256 * 1024;
constexpr size_t kMinOutputBuffer = 4 * 1024;
// A container up to this size is read whole with one call and parsed in memory: its
// directory walk then costs no seeks and small reads of the file.
constexpr int64_t kWholeArchiveLimit = 16 << 20;

// The raw Deflate stream of an entry, from the archive (decrypted on the fly when the entry
// is encrypted), decoded into the output file. Returns why it stopped short (a broken
// stream, a read or write error, more output than the entry declares), or nullptr when the
// final block was decoded; produced counts every decoded byte. An archive held in memory
// is decoded in place from its position on, without copying.
const char* InflateEntry(TStream& in, TMemoryStream* inMemory, ZipCryptoKeys* keys, TFileStream& out,
                         uint64_t declaredSize, uint64_t& produced) {
  z_stream zs{};
  if (inflateInit2(&zs, -MAX_WBITS) != Z_OK) return "the decoder cannot start";
  // One byte beyond the declared size is room enough to see a stream that runs over it.
  const size_t outSize =
      static_cast<size_t>(std::clamp<uint64_t>(declaredSize + 1, kMinOutputBuffer, kMaxOutputBuffer));
  std::unique_ptr<uint8_t[]> inBuf(inMemory ? nullptr : new uint8_t[kInputBlock]);
  std::unique_ptr<uint8_t[]> outBuf(new uint8_t[outSize]);
  const char* why = nullptr;
  for (;;) {
    if (zs.avail_in == 0) {
      uint8_t* next = inBuf.get();
      size_t n;
      if (inMemory) {
        // All that follows, at once; a second round means the data ended too early.
        int64_t at = inMemory->Position(), size = inMemory->Size();
        n = at < size ? static_cast<size_t>(size - at) : 0;
        next = inMemory->MutableMemory() + at;
        inMemory->Seek(0, SeekOrigin::End);
      } else {
        n = in.Read(inBuf.get(), kInputBlock);
      }
      if (n == 0) {
        why = "the file ends before the entry's Deflate stream does";
        break;
      }
      if (keys) keys->Decrypt(next, n);
      zs.next_in = next;
      zs.avail_in = static_cast<uInt>(n);
    }
    zs.next_out = outBuf.get();
    zs.avail_out = static_cast<uInt>(outSize);
    int r = inflate(&zs, Z_NO_FLUSH);
    size_t got = outSize - zs.avail_out;
    produced += got;
    // Never write beyond the declared size: a small archive must not fill the disk.
    if (produced > declaredSize) {
      why = "the entry decodes to more bytes than it declares (a zip bomb?)";
      break;
    }
    if (got && out.Write(outBuf.get(), got) != got) {
      why = "cannot write the temporary file";
      break;
    }
    if (r == Z_STREAM_END) break;
    if (r != Z_OK && !(r == Z_BUF_ERROR && zs.avail_in == 0)) {
      why = "the entry's data is no valid Deflate stream";
      break;
    }
  }
  inflateEnd(&zs);
  return why;
}

// Sets *reason when the caller asked for one; returns result for a one-line exit.
int Fail(std::string* reason, int result, std::string why) {
  if (reason) *reason = std::move(why);
  return result;
}

}  // namespace

int ExtractZipEntry(const std::string& archivePath, const std::string& entryName, const std::string& outputPath,
                    const std::string& password, uint32_t maxUncompressedSize, std::string* reason) {
  if (reason) reason->clear();
  if (!FileExists(archivePath))
    return Fail(reason, 1, FolderExists(archivePath) ? "is a folder" : "no such file, or not a regular file");
  std::optional<TFileStream> file;
  TMemoryStream whole;
  TStream* in = nullptr;
  uint16_t flags = 0, modTime = 0, method = 8;
  uint32_t crc = 0, declaredSize = 0, localOffset = 0;
  try {
    file.emplace(archivePath, FileMode::OpenRead);
    in = &*file;
    uint8_t head[4];
    in->ReadBuffer(head, sizeof head);
    if (head[0] != 'S' || head[1] != 'K') return Fail(reason, 1, "not a skin file (it does not begin with \"SK\")");

    // The end record must be the last bytes: an archive comment is not allowed.
    int64_t size = in->Size();
    if (size < kEndRecordSize) return Fail(reason, 1, "too short for a skin file");
    if (size <= kWholeArchiveLimit) {
      Bytes bytes(static_cast<size_t>(size));
      std::memcpy(bytes.data(), head, sizeof head);
      in->ReadBuffer(bytes.data() + sizeof head, bytes.size() - sizeof head);
      file.reset();
      whole.Adopt(std::move(bytes));
      in = &whole;
    }
    int64_t endPos = size - kEndRecordSize;
    uint8_t end[kEndRecordSize];
    in->SetPosition(endPos);
    in->ReadBuffer(end, sizeof end);
    if (Le32(end) != kEndRecordSig || Le16(end + kEndCommentLengthField) != 0)
      return Fail(reason, 1, "no end record in its last 22 bytes (damaged, or an archive comment)");

    bool found = false;
    int64_t pos = Le32(end + kEndDirOffsetField);
    std::string name;
    while (pos < endPos) {
      uint8_t entry[kCentralHeaderSize];
      in->SetPosition(pos);
      in->ReadBuffer(entry, sizeof entry);
      uint16_t nameLength = Le16(entry + kCentralNameLengthField);
      name.resize(nameLength);
      in->ReadBuffer(name.data(), nameLength);
      if (SameText(name, entryName)) {
        flags = Le16(entry + kCentralFlagsField);
        method = Le16(entry + kCentralMethodField);
        modTime = Le16(entry + kCentralTimeField);
        crc = Le32(entry + kCentralCrcField);
        declaredSize = Le32(entry + kCentralUncompressedField);
        localOffset = Le32(entry + kCentralLocalOffsetField);
        found = true;
        break;
      }
      pos += kCentralHeaderSize + static_cast<int64_t>(nameLength) + Le16(entry + kCentralExtraLengthField) +
             Le16(entry + kCentralCommentLengthField);
    }
    if (!found) return Fail(reason, 1, "has no entry " + entryName);
  } catch (const Exception&) {
    return Fail(reason, 1, "its central directory cannot be read (it lies outside the file)");
  }
  if (declaredSize > maxUncompressedSize)
    return Fail(reason, 2,
                "its data declares " + std::to_string(declaredSize) + " bytes, over the limit of " +
                    std::to_string(maxUncompressedSize));

  int result;
  std::string why;
  {
    std::optional<TFileStream> out;
    try {
      out.emplace(outputPath, FileMode::Create);
    } catch (const Exception&) {
      return Fail(reason, 1, "cannot create the temporary file " + outputPath);
    }
    uint64_t produced = 0;
    const char* stop = "the entry's local header lies outside the file";
    std::optional<ZipCryptoKeys> keys;
    try {
      uint8_t local[4];
      in->SetPosition(static_cast<int64_t>(localOffset) + kLocalNameLengthField);
      in->ReadBuffer(local, sizeof local);
      in->SetPosition(static_cast<int64_t>(localOffset) + kLocalHeaderSize + Le16(local) + Le16(local + 2));
      if (flags & kFlagEncrypted) {
        if (password.empty()) {
          out.reset();
          RemoveFile(outputPath);
          return Fail(reason, 2, "encrypted, and no password was given");
        }
        keys.emplace(password);
        uint8_t header[kEncryptionHeaderSize];
        in->ReadBuffer(header, sizeof header);
        keys->Decrypt(header, sizeof header);
        uint8_t check = (flags & kFlagDataDescriptor) ? static_cast<uint8_t>(modTime >> 8) : static_cast<uint8_t>(crc >> 24);
        if (header[kEncryptionHeaderSize - 1] != check) {
          out.reset();
          RemoveFile(outputPath);
          return Fail(reason, 2, "encrypted, and the password is wrong");
        }
      }
      stop = InflateEntry(*in, in == &whole ? &whole : nullptr, keys ? &*keys : nullptr, *out, declaredSize, produced);
    } catch (const Exception&) {
    }
    bool ok = stop == nullptr;
    if (stop && method == 0) stop = "a stored (uncompressed) entry: skin data is always Deflate-compressed";
    if (produced == 0 && ok) {
      result = 1, why = "the entry is empty";
    } else if (produced != declaredSize) {
      result = 2;
      why = stop ? stop
                 : "the entry decodes to " + std::to_string(produced) + " bytes, not the " +
                       std::to_string(declaredSize) + " it declares";
    } else {
      result = ok ? 0 : 1;
      if (stop) why = stop;
    }
  }
  if (result != 0) RemoveFile(outputPath);
  return Fail(reason, result, why);
}

bool ReadSk2Data(std::span<const uint8_t> data, Sk2Items& items) {
  items = Sk2Items();
  const int64_t size = static_cast<int64_t>(data.size());
  const uint8_t* p = data.data();
  if (size < kHeaderSize) return false;
  auto fits = [size](int64_t offset, int64_t count) { return offset >= 0 && count >= 0 && offset + count <= size; };

  // Headers and payloads written one after another never overlap, so a chain with more
  // headers, or payloads adding up to more bytes, than the data holds is damaged (a loop,
  // or one payload claimed over and over).
  const int64_t maxHeaders = size / kItemHeaderSize;
  int64_t headers = 0;
  int64_t payloadBudget = size;
  int64_t pixelBudget = TBitmap::kMaxPixels;
  // Bitmaps are decoded only once the whole chain has passed, their sizes taken from their
  // headers: a damaged skin allocates nothing for them.
  std::vector<std::pair<std::string, std::span<const uint8_t>>> bitmaps;
  int64_t offset = static_cast<int32_t>(Le32(p + kFirstItemField));
  bool ok = false;
  for (;;) {
    if (!fits(offset, kItemHeaderSize) || ++headers > maxHeaders) break;
    const uint8_t* h = p + offset;
    int64_t next = static_cast<int32_t>(Le32(h + kItemNextField));
    if (next == 0) {
      ok = true;
      break;
    }
    size_t nameLength = 0;
    while (nameLength < kItemNameSize && h[nameLength] != 0) ++nameLength;
    std::string name(reinterpret_cast<const char*>(h), nameLength);
    int64_t payload = static_cast<int32_t>(Le32(h + kItemPayloadOffsetField));
    int64_t payloadSize = static_cast<int32_t>(Le32(h + kItemPayloadSizeField));
    switch (static_cast<ItemKind>(h[kItemKindField])) {
      case ItemKind::Bitmap: {
        if (!fits(payload, payloadSize) || (payloadBudget -= payloadSize) < 0) goto done;
        auto bmp = data.subspan(static_cast<size_t>(payload), static_cast<size_t>(payloadSize));
        int width, height;
        if (!TBitmap::ReadBmpSize(bmp, width, height)) goto done;
        if ((pixelBudget -= static_cast<int64_t>(width) * height) < 0) goto done;
        bitmaps.emplace_back(std::move(name), bmp);
        break;
      }
      case ItemKind::Integer:
        // The value is the four bytes at the payload offset, whatever size the header states.
        if (!fits(payload, 4)) goto done;
        items.Integers.emplace_back(std::move(name), static_cast<int32_t>(Le32(p + payload)));
        break;
      case ItemKind::Boolean:
        if (!fits(payload, 1)) goto done;
        items.Booleans.emplace_back(std::move(name), p[payload]);
        break;
      case ItemKind::Text:
        if (!fits(payload, payloadSize) || (payloadBudget -= payloadSize) < 0) goto done;
        items.Texts.emplace_back(std::move(name),
                                 std::string(reinterpret_cast<const char*>(p + payload), static_cast<size_t>(payloadSize)));
        break;
      default:
        break;
    }
    offset = next;
  }
done:
  for (auto& [name, bmp] : bitmaps) {
    TBitmap bitmap;
    if (!ok || !TBitmap::LoadFromBmp(bmp, bitmap)) {
      ok = false;
      break;
    }
    items.Bitmaps.emplace_back(std::move(name), std::move(bitmap));
  }
  if (!ok) items = Sk2Items();
  return ok;
}

Tsk2SkinFileReader::Tsk2SkinFileReader(const std::string& skinFilePath, const std::string& password) {
  std::string temp = TempFolder() + NewGuidText();
  // The temporary file must go on every path out of here, exceptions included.
  struct TempFile {
    const std::string& path;
    ~TempFile() { RemoveFile(path); }  // fails harmlessly when no file was made
  } guard{temp};

  std::string why;
  int result = ExtractZipEntry(skinFilePath, kEntryName, temp, password, kMaxDataSize, &why);
  if (result == 1) {
    if (why.rfind("cannot create the temporary file", 0) == 0) why = "no usable temporary folder (" + why + ")";
    throw Exception("Failed to read skin file! " + skinFilePath + ": " + why);
  }
  if (result != 0) {
    problem_ = why;
    return;
  }

  Bytes data;
  {
    TFileStream file(temp, FileMode::OpenRead);
    int64_t size = file.Size();
    if (size < 0 || size > kMaxDataSize) {
      problem_ = "its data is larger than the reader's limit";
      return;
    }
    data = Bytes(static_cast<size_t>(size));
    file.ReadBuffer(data.data(), data.size());
  }
  ready_ = ReadSk2Data(data.view(), items_);
  if (!ready_) problem_ = "its skin data is damaged (an item chain or payload out of place, or a bad bitmap)";
}

const TBitmap* Tsk2SkinFileReader::GetBitmap(std::string_view name) const {
  for (const auto& [n, bitmap] : items_.Bitmaps)
    if (SameText(n, name)) return &bitmap;
  return nullptr;
}

int Tsk2SkinFileReader::GetBool(std::string_view name) const {
  for (const auto& [n, value] : items_.Booleans)
    if (SameText(n, name)) return value;
  return 0;
}

int32_t Tsk2SkinFileReader::GetInteger(std::string_view name) const {
  for (const auto& [n, value] : items_.Integers)
    if (SameText(n, name)) return value;
  return -1;
}
