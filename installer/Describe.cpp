#include "installer/Describe.h"

#include <cstdio>

#include "framework/Text.h"
#include "installer/BaseDef.h"
#include "installer/SetupCheck.h"

namespace {
template <size_t N>
void Field(std::string& out, const char* name, const ShortString<N>& s) {
  out += "  ";
  out += name;
  out += ": ";
  out += QuotedText(s.View());
  out += "\n";
}

std::string Hex(uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%08X", v);
  return buf;
}
}  // namespace

std::string QuotedText(std::string_view s) {
  std::string out = "\"";
  for (size_t i = 0; i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    unsigned char t = i + 1 < s.size() ? static_cast<unsigned char>(s[i + 1]) : 0;
    if (IsGbkLeadByte(c) && t >= 0x40 && t != 0x7F && t != 0xFF) {
      out += s.substr(i, 2);
      ++i;
    } else if (c < 0x20 || c >= 0x7F || c == '"') {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

SetupReport DescribeSetup(const SetupConfig& config, std::span<const uint8_t> pack, std::span<const uint8_t> licence) {
  SetupReport rep;
  std::string& o = rep.text;
  const SetupConfigRecord& r = config.Record();
  o += "record:\n";
  Field(o, "AuthorName", r.AuthorName);
  Field(o, "PublisherKey", r.PublisherKey);
  Field(o, "WebSite", r.WebSite);
  Field(o, "LegalNotice", r.LegalNotice);
  Field(o, "Version", r.Version);
  Field(o, "ReleaseDate", r.ReleaseDate);
  Field(o, "ProductName", r.ProductName);
  Field(o, "ProductFolder", r.ProductFolder);
  Field(o, "Category", r.Category);
  Field(o, "Description", r.Description);
  Field(o, "RecordDate", r.RecordDate);
  Field(o, "ExtraDate", r.ExtraDate);
  Field(o, "TargetFolder", r.TargetFolder);
  uint32_t sum = PackByteSum(pack);
  rep.checksumMatches = sum == r.PackChecksum.GetU();
  o += "  PackChecksum: " + Hex(r.PackChecksum.GetU()) + " (pack of " + std::to_string(pack.size()) +
       " bytes sums to " + Hex(sum) + (rep.checksumMatches ? ": matches)\n" : ": MISMATCH)\n");

  o += "files: " + std::to_string(config.FileCount()) + "\n";
  for (int i = 0; i < config.FileCount(); ++i) {
    const SetupFileEntry& f = config.File(i);
    int64_t off = f.Offset.Get(), size = f.Size.Get();
    bool inside = off >= 0 && size >= 0 && static_cast<uint64_t>(off + size) <= pack.size();
    if (!inside) rep.slicesInsidePack = false;
    o += "  [" + std::to_string(i) + "] " + QuotedText(f.Name.View()) + " offset " + std::to_string(off) + " size " +
         std::to_string(size) + (inside ? "" : " (OUTSIDE THE PACK)") + "\n";
  }
  o += "shortcuts: " + std::to_string(config.ShortcutCount()) + "\n";
  for (int i = 0; i < config.ShortcutCount(); ++i) {
    const SetupShortcutEntry& s = config.Shortcut(i);
    o += "  [" + std::to_string(i) + "] " + QuotedText(s.Caption.View()) + " file " + std::to_string(s.FileIndex.Get()) +
         " kind " + std::to_string(s.Kind) + " arguments " + QuotedText(s.Arguments.View()) + "\n";
  }
  o += "registry values: " + std::to_string(config.RegistryValueCount()) + "\n";
  for (int i = 0; i < config.RegistryValueCount(); ++i) {
    const SetupRegistryEntry& v = config.RegistryValue(i);
    o += "  [" + std::to_string(i) + "] " + (v.UseCurrentUser ? "HKCU" : "HKLM") + " " + QuotedText(v.KeyPath.View()) + " " +
         QuotedText(v.ValueName.View()) + " type " + std::to_string(v.ValueType);
    switch (v.ValueType) {
      case 0: o += " bool " + std::to_string(v.BoolValue ? 1 : 0); break;
      case 1: o += " string " + QuotedText(v.StringValue.View()); break;
      case 2: o += " integer " + std::to_string(v.IntegerValue.Get()); break;
      default: o += " (writes nothing)";
    }
    o += "\n";
  }
  o += "licence: " + std::to_string(licence.size()) + " bytes\n";
  for (const RecordProblem& p : CheckSetupRecord(config, pack.size())) rep.problems.push_back(p.field + ": " + p.what);
  if (!rep.problems.empty()) {
    o += "problems:\n";
    for (const std::string& p : rep.problems) o += "  " + p + "\n";
  }
  return rep;
}
