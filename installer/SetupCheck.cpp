#include "installer/SetupCheck.h"

#include <zlib.h>

#include <array>
#include <map>
#include <cstring>

#include "framework/Text.h"
#include "installer/InstallRun.h"

namespace {

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

// The parts of a path split at backslashes and slashes, GBK-aware (a trail byte may be 0x5C).
std::vector<std::string_view> Components(std::string_view path) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '\\' || path[i] == '/') {
      parts.push_back(path.substr(start, i - start));
      start = i + 1;
    } else if (IsGbkLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
      ++i;
    }
  }
  return parts;
}

bool IsDeviceName(std::string_view name) {
  std::string stem = LowerText(name.substr(0, name.find('.')));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  static constexpr std::array<const char*, 4> kFixed = {"con", "prn", "aux", "nul"};
  for (const char* d : kFixed)
    if (stem == d) return true;
  return stem.size() == 4 && (stem.rfind("com", 0) == 0 || stem.rfind("lpt", 0) == 0) && stem[3] >= '1' &&
         stem[3] <= '9';
}

uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

template <size_t N>
void CheckSlot(std::vector<RecordProblem>& out, const std::string& field, const ShortString<N>& s) {
  if (s.length > N)
    out.push_back({field, "length byte " + std::to_string(s.length) + " above the slot's capacity " + std::to_string(N)});
}

void CheckCount(std::vector<RecordProblem>& out, const char* field, const Int32LE& count) {
  if (count.Get() < 0 || count.Get() > kTableRows)
    out.push_back({field, std::to_string(count.Get()) + " is outside 0..256"});
}

void Add(std::vector<RecordProblem>& out, const std::string& field, std::string what) {
  if (!what.empty()) out.push_back({field, std::move(what)});
}

}  // namespace

std::string NameComponentProblem(std::string_view name) {
  if (name.empty()) return "is empty";
  for (size_t i = 0; i < name.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (IsGbkLeadByte(c) && i + 1 < name.size()) {
      ++i;  // a trail byte may be '\' or '|' and is part of the character
    } else if (IsControl(c)) {
      return "has a control character";
    } else if (std::strchr("\\/:*?\"<>|", c)) {
      return std::string("has the character ") + static_cast<char>(c) + ", which Windows does not allow in a name";
    }
  }
  if (name.back() == '.' || name.back() == ' ') return "ends in a dot or a space, which Windows drops";
  if (IsDeviceName(name)) return "is a device name";
  return {};
}

std::string FileNameProblem(std::string_view name) {
  if (!IsSafeRelativeName(std::string(name)))
    return "must begin with a backslash and stay inside the installation folder (no drive, stream or \"..\" part)";
  std::vector<std::string_view> parts = Components(name.substr(1));
  for (std::string_view part : parts) {
    std::string problem = NameComponentProblem(part);
    if (problem.empty()) continue;
    // Built step by step: GCC 12 mis-warns (-Wrestrict) on a literal + string chain here.
    std::string text = "\"";
    text += part;
    text += "\" ";
    text += problem;
    return text;
  }
  return {};
}

std::string KeyPathProblem(std::string_view path) {
  if (path.empty()) return "is empty";
  for (char c : path)
    if (IsControl(static_cast<unsigned char>(c))) return "has a control character";
  for (std::string_view part : Components(path))
    if (part.empty()) return "has an empty key name (a leading, trailing or doubled backslash)";
  return {};
}

std::string DateProblem(std::string_view d) {
  auto digits = [&](size_t at, size_t n) {
    int v = 0;
    for (size_t i = at; i < at + n; ++i) v = v * 10 + (d[i] - '0');
    return v;
  };
  if (d.size() != 8 || d.find_first_not_of("0123456789") != std::string_view::npos) return "is not a date YYYYMMDD";
  int year = digits(0, 4), month = digits(4, 2), day = digits(6, 2);
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (year < 1 || month < 1 || month > 12 || day < 1 || day > kDays[month - 1] + (month == 2 && leap))
    return "is not a date of the calendar";
  return {};
}

std::string ResourceStreamProblem(std::span<const uint8_t> resource) {
  if (resource.empty()) return "is empty";
  if (resource.size() < 4) return "is shorter than its 4-byte size";
  uint64_t declared = Le32(resource.data());
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return "cannot start the decoder";
  z.next_in = const_cast<Bytef*>(resource.data() + 4);
  z.avail_in = static_cast<uInt>(resource.size() - 4);  // resources stay far below 4 GiB
  uint8_t sink[65536];
  uint64_t produced = 0;
  int rc = Z_OK;
  while (rc == Z_OK) {
    z.next_out = sink;
    z.avail_out = sizeof sink;
    rc = inflate(&z, Z_NO_FLUSH);
    produced += sizeof sink - z.avail_out;
    if (rc == Z_BUF_ERROR && z.avail_in == 0) break;
  }
  size_t left = z.avail_in;
  inflateEnd(&z);
  if (rc == Z_DATA_ERROR) return "the zlib stream is corrupt or fails its check value";
  if (rc != Z_STREAM_END) return "the zlib stream is cut short";
  if (produced != declared)
    return "declares " + std::to_string(declared) + " bytes but its stream holds " + std::to_string(produced);
  if (left) return std::to_string(left) + " bytes follow the end of the zlib stream";
  return {};
}

std::vector<RecordProblem> CheckResources(std::span<const uint8_t> ini, std::span<const uint8_t> pack,
                                          std::span<const uint8_t> licence) {
  std::vector<RecordProblem> out;
  Add(out, "SETUPINI", ResourceStreamProblem(ini));
  if (ini.size() >= 4 && Le32(ini.data()) != kSetupConfigSize)
    Add(out, "SETUPINI", "declares " + std::to_string(Le32(ini.data())) + " bytes, not the record's " +
                             std::to_string(kSetupConfigSize));
  Add(out, "SETUPPACK", ResourceStreamProblem(pack));
  if (licence.empty()) Add(out, "Protocol", "is empty");
  return out;
}

std::vector<RecordProblem> CheckSetupRecord(const SetupConfig& config, uint64_t packSize) {
  std::vector<RecordProblem> out;
  const SetupConfigRecord& r = config.Record();
  CheckSlot(out, "AuthorName", r.AuthorName);
  CheckSlot(out, "PublisherKey", r.PublisherKey);
  CheckSlot(out, "WebSite", r.WebSite);
  CheckSlot(out, "LegalNotice", r.LegalNotice);
  CheckSlot(out, "Version", r.Version);
  CheckSlot(out, "ReleaseDate", r.ReleaseDate);
  CheckSlot(out, "ProductName", r.ProductName);
  CheckSlot(out, "ProductFolder", r.ProductFolder);
  CheckSlot(out, "Category", r.Category);
  CheckSlot(out, "Description", r.Description);
  CheckSlot(out, "RecordDate", r.RecordDate);
  CheckSlot(out, "ExtraDate", r.ExtraDate);
  CheckSlot(out, "TargetFolder", r.TargetFolder);
  Add(out, "ProductName", NameComponentProblem(r.ProductName.View()));
  Add(out, "PublisherKey", KeyPathProblem(r.PublisherKey.View()));
  Add(out, "ProductFolder", NameComponentProblem(r.ProductFolder.View()));
  if (r.ReleaseDate.length) Add(out, "ReleaseDate", DateProblem(r.ReleaseDate.View()));
  if (r.RecordDate.length) Add(out, "RecordDate", DateProblem(r.RecordDate.View()));
  CheckCount(out, "FileCount", r.FileCount);
  CheckCount(out, "ShortcutCount", r.ShortcutCount);
  CheckCount(out, "RegistryValueCount", r.RegistryValueCount);

  std::map<std::string, int> firstRow;  // folded name -> first row that has it
  for (int i = 0; i < config.FileCount(); ++i) {
    const SetupFileEntry& f = config.File(i);
    std::string field = "Files[" + std::to_string(i) + "]";
    CheckSlot(out, field + ".Name", f.Name);
    Add(out, field + ".Name", FileNameProblem(f.Name.View()));
    auto [first, fresh] = firstRow.emplace(FoldedText(f.Name.View()), i);
    if (!fresh)
      Add(out, field + ".Name", "the same name as Files[" + std::to_string(first->second) + "] (letter case aside)");
    int64_t off = f.Offset.Get(), size = f.Size.Get();
    if (off < 0 || size < 0 || static_cast<uint64_t>(off + size) > packSize)
      Add(out, field, "its slice lies outside the pack of " + std::to_string(packSize) + " bytes");
  }
  for (int i = 0; i < config.ShortcutCount(); ++i) {
    const SetupShortcutEntry& s = config.Shortcut(i);
    std::string field = "Shortcuts[" + std::to_string(i) + "]";
    CheckSlot(out, field + ".Caption", s.Caption);
    CheckSlot(out, field + ".Arguments", s.Arguments);
    Add(out, field + ".Caption", NameComponentProblem(s.Caption.View()));
    if (s.FileIndex.Get() < 0 || s.FileIndex.Get() >= config.FileCount())
      Add(out, field + ".FileIndex", std::to_string(s.FileIndex.Get()) + " is no file row in use");
  }
  for (int i = 0; i < config.RegistryValueCount(); ++i) {
    const SetupRegistryEntry& v = config.RegistryValue(i);
    std::string field = "RegistryValues[" + std::to_string(i) + "]";
    CheckSlot(out, field + ".ValueName", v.ValueName);
    CheckSlot(out, field + ".KeyPath", v.KeyPath);
    CheckSlot(out, field + ".StringValue", v.StringValue);
  }
  return out;
}
