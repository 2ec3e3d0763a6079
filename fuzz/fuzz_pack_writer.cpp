// The copy step's two ways of reading the pack over random file tables (slices anywhere:
// in order or not, overlapping, outside the pack, negative): the streaming writer, where the
// table allows it, and the whole-pack buffer must write the same files and report the same
// ones; nothing may be written outside the target folder, and (AddressSanitizer) nothing
// read outside the pack. A cut-short pack must end the streaming copy with an error, never
// a crash.
#include <zlib.h>

#include <map>
#include <string>
#include <vector>

#include "fuzz/FuzzCursor.h"
#include "installer/FakePlatform.h"
#include "installer/InstallRun.h"

namespace {

const char* const kNames[] = {"\\a.bin", "\\Sub\\b.bin", "\\Sub", "\\*.txt", "\\..\\evil.bin",
                              "\\c.bin", "\\Sub\\Deep\\d.bin", "e.bin"};

// The compressed resource: U, then zlib at level 1 (fast; the layout is what matters).
std::vector<uint8_t> Resource(const std::vector<uint8_t>& pack) {
  uLongf len = compressBound(static_cast<uLong>(pack.size()));
  std::vector<uint8_t> res(4 + len);
  for (int i = 0; i < 4; ++i) res[i] = static_cast<uint8_t>(pack.size() >> (8 * i));
  compress2(res.data() + 4, &len, pack.data(), static_cast<uLong>(pack.size()), 1);
  res.resize(4 + len);
  return res;
}

struct Outcome {
  std::map<std::string, std::string> files;
  std::vector<std::string> messages;
  bool failed = false;
};

Outcome Copy(const SetupConfig& config, std::span<const uint8_t> resource, PackAccess access) {
  FakePlatform fake;
  fake.AddDir("E:\\Target");
  MainFormState form;
  form.Config.Load(config.Bytes());
  form.PackResource = resource;
  NullCopyPageView view;
  Outcome out;
  try {
    CopyFiles(fake, form, view, access);
  } catch (const std::exception&) {
    out.failed = true;
  }
  for (const std::string& key : fake.FileKeys()) {
    if (key.rfind("E:\\TARGET\\", 0) != 0) __builtin_trap();
    out.files[key] = fake.FileContent(key);
  }
  out.messages = fake.messages;
  return out;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzCursor in{data, size};
  SetupConfig config;
  SetupConfigRecord& r = config.MutableRecord();
  int rows = in.Byte() % 12;
  uint8_t flags = in.Byte();
  // The pack: the input's tail, for some inputs repeated so that slices span several of the
  // streaming writer's pieces.
  std::vector<uint8_t> pack;
  size_t repeat = (flags & 0x60) == 0x60 ? (flags & 0x0F) * 4096 + 1 : 1;
  std::vector<uint8_t> rowBytes;
  for (int i = 0; i < rows * 9; ++i) rowBytes.push_back(in.Byte());
  if (in.left)
    for (size_t i = 0; i < repeat && pack.size() < (700u << 10); ++i) pack.insert(pack.end(), in.p, in.p + in.left);
  FuzzCursor table{rowBytes.data(), rowBytes.size()};
  for (int i = 0; i < rows; ++i) {
    SetupFileEntry& row = r.Files[i];
    uint8_t kind = table.Byte();
    row.Name.Assign(kNames[kind % 8]);
    uint32_t a = table.U32(), b = table.U32();
    // Mostly slices near the pack, sometimes raw values (negative, overflowing).
    if (kind & 0x80) {
      row.Offset.Set(static_cast<int32_t>(a));
      row.Size.Set(static_cast<int32_t>(b));
    } else {
      row.Offset.Set(static_cast<int32_t>(a % (pack.size() + 2)));
      row.Size.Set(static_cast<int32_t>(b % (pack.size() + 2)));
    }
  }
  r.FileCount.Set(rows);
  config.SetTargetFolder("E:\\Target");
  std::vector<uint8_t> res = Resource(pack);
  if (flags & 0x80) {
    res.resize(4 + (res.size() - 4) / 2);  // cut short: errors allowed, crashes not
    Copy(config, res, PackAccess::Auto);
    return 0;
  }
  Outcome streamed = Copy(config, res, PackAccess::Auto);
  Outcome buffered = Copy(config, res, PackAccess::Buffered);
  if (streamed.failed || buffered.failed || streamed.files != buffered.files || streamed.messages != buffered.messages)
    __builtin_trap();
  return 0;
}
