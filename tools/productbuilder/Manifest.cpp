// Compiled with -fexec-charset=UTF-8: this unit handles the manifest's UTF-8 text and
// converts each stored text to GBK itself.
#include "tools/productbuilder/Manifest.h"

#include <toml++/toml.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include "framework/Text.h"
#include "installer/BaseDef.h"

namespace fs = std::filesystem;

namespace {

class Builder {
 public:
  Builder(const std::map<std::string, std::string>& vars, fs::path base, std::vector<std::string>& errors)
      : vars_(vars), base_(std::move(base)), errors_(errors) {}

  void Error(const std::string& field, const std::string& what) { errors_.push_back(field + ": " + what); }

  // A text field: UTF-8 in the manifest, GBK in the record, at most `capacity` bytes.
  template <size_t N, typename Node>
  void Text(const Node& node, const std::string& field, ShortString<N>& slot,
            bool required = false) {
    std::string gbk;
    if (!node) {
      if (required) Error(field, "missing");
      slot.Assign("");
      return;
    }
    auto s = node.template value<std::string>();
    if (!s) {
      Error(field, "must be a string");
      return;
    }
    if (!ToGbk(*s, field, gbk)) return;
    if (gbk.size() > N) {
      Error(field, std::to_string(gbk.size()) + " bytes in GBK, at most " + std::to_string(N));
      return;
    }
    slot.Assign(gbk);
  }

  bool ToGbk(const std::string& utf8, const std::string& field, std::string& gbk) {
    if (!Utf8ToGbk(utf8, gbk)) {
      Error(field, "has a character with no GBK form (or is not valid UTF-8)");
      return false;
    }
    return true;
  }

  template <typename Node>
  void Date(const Node& node, const std::string& field, Text8& slot) {
    Text(node, field, slot);
    if (!node) return;
    std::string d = slot.Text();
    bool ok = d.size() == 8 && d.find_first_not_of("0123456789") == std::string::npos;
    if (ok) {
      int month = std::stoi(d.substr(4, 2)), day = std::stoi(d.substr(6, 2));
      ok = month >= 1 && month <= 12 && day >= 1 && day <= 31;
    }
    if (!ok) {
      std::string message = "\"";
      message += node.value_or(std::string());
      message += "\" is not a date YYYYMMDD";
      Error(field, message);
    }
  }

  fs::path Resolve(const std::string& raw, const std::string& field) {
    std::string p;
    for (size_t i = 0; i < raw.size();) {
      if (raw.compare(i, 2, "${") == 0) {
        size_t end = raw.find('}', i);
        std::string name = end == std::string::npos ? "" : raw.substr(i + 2, end - i - 2);
        auto it = vars_.find(name);
        if (it == vars_.end()) {
          Error(field, "${" + name + "} is not defined (pass -D " + name + "=...)");
          return {};
        }
        p += it->second;
        i = end + 1;
      } else {
        p += raw[i++];
      }
    }
    fs::path path = fs::u8path(p);
    return path.is_absolute() ? path : base_ / path;
  }

  bool ReadFile(const fs::path& path, const std::string& field, std::string& data) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      Error(field, "cannot read \"" + path.string() + "\"");
      return false;
    }
    std::ostringstream ss;
    ss << in.rdbuf();
    data = ss.str();
    return true;
  }

 private:
  const std::map<std::string, std::string>& vars_;
  fs::path base_;
  std::vector<std::string>& errors_;
};

// Line breaks of any style become CR LF; a UTF-8 byte-order mark is dropped.
std::string WithCrLf(const std::string& s) {
  std::string out;
  size_t i = s.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
  for (; i < s.size(); ++i) {
    if (s[i] == '\r') {
      if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
      out += "\r\n";
    } else if (s[i] == '\n') {
      out += "\r\n";
    } else {
      out += s[i];
    }
  }
  return out;
}

int RegistryType(const toml::node_view<const toml::node>& t) {
  if (auto n = t.value<int64_t>()) return *n >= 0 && *n <= 255 ? static_cast<int>(*n) : -1;
  std::string s = t.value_or(std::string());
  if (s == "bool") return 0;
  if (s == "string") return 1;
  if (s == "integer") return 2;
  return -1;
}

}  // namespace

bool BuildProduct(const std::string& manifestPath, const std::map<std::string, std::string>& vars, BuiltProduct& out,
                  std::vector<std::string>& errors) {
  toml::table doc;
  try {
    doc = toml::parse_file(manifestPath);
  } catch (const toml::parse_error& e) {
    std::ostringstream msg;
    msg << manifestPath << ":" << e.source().begin.line << ": " << e.description();
    errors.push_back(msg.str());
    return false;
  }
  Builder b(vars, fs::u8path(manifestPath).parent_path(), errors);
  SetupConfigRecord& r = out.config.MutableRecord();
  auto product = doc["product"];
  b.Text(product["author"], "product.author", r.AuthorName);
  b.Text(product["publisher_key"], "product.publisher_key", r.PublisherKey, true);
  b.Text(product["web_site"], "product.web_site", r.WebSite);
  b.Text(product["legal_notice"], "product.legal_notice", r.LegalNotice);
  b.Text(product["version"], "product.version", r.Version, true);
  b.Date(product["release_date"], "product.release_date", r.ReleaseDate);
  b.Text(product["name"], "product.name", r.ProductName, true);
  b.Text(product["folder"], "product.folder", r.ProductFolder, true);
  b.Text(product["category"], "product.category", r.Category);
  if (auto d = product["description"].value<std::string>()) {
    std::string gbk;
    if (b.ToGbk(WithCrLf(*d), "product.description", gbk)) {
      if (gbk.size() > 128)
        b.Error("product.description", std::to_string(gbk.size()) + " bytes in GBK, at most 128");
      else
        r.Description.Assign(gbk);
    }
  }
  b.Date(product["record_date"], "product.record_date", r.RecordDate);
  b.Date(product["extra_date"], "product.extra_date", r.ExtraDate);
  b.Text(product["target_folder"], "product.target_folder", r.TargetFolder);

  if (auto lic = product["licence"].value<std::string>()) {
    std::string utf8;
    if (b.ReadFile(b.Resolve(*lic, "product.licence"), "product.licence", utf8))
      b.ToGbk(WithCrLf(utf8), "product.licence", out.licence);
  } else {
    b.Error("product.licence", "missing (the licence text file)");
  }

  // Files: tile the pack in row order.
  std::vector<std::string> names;
  if (auto files = doc["files"].as_array()) {
    if (files->size() > kTableRows) b.Error("files", std::to_string(files->size()) + " rows, at most 256");
    uint64_t offset = 0;
    for (size_t i = 0; i < files->size() && i < kTableRows; ++i) {
      std::string field = "files[" + std::to_string(i) + "]";
      auto row = toml::node_view<const toml::node>((*files)[i]);
      SetupFileEntry& e = r.Files[i];
      b.Text(row["name"], field + ".name", e.Name, true);
      names.push_back(e.Name.Text());
      if (row["name"] && e.Name.Text().rfind("\\", 0) != 0) b.Error(field + ".name", "must begin with a backslash");
      e.Unread[0] = 0, e.Unread[1] = 1, e.Unread[2] = 0;
      auto src = row["source"].value<std::string>();
      std::string data;
      if (!src) {
        b.Error(field + ".source", "missing");
      } else if (b.ReadFile(b.Resolve(*src, field + ".source"), field + ".source", data)) {
        e.Offset.Set(static_cast<int32_t>(std::min<uint64_t>(offset, INT32_MAX)));
        e.Size.Set(static_cast<int32_t>(std::min<size_t>(data.size(), INT32_MAX)));
        offset += data.size();
        if (offset > static_cast<uint64_t>(std::numeric_limits<int32_t>::max()))
          b.Error(field + ".source", "the pack would exceed 2 GiB");
        else
          out.pack.insert(out.pack.end(), data.begin(), data.end());
      }
    }
    r.FileCount.Set(static_cast<int32_t>(std::min<size_t>(files->size(), kTableRows)));
  } else if (doc["files"]) {
    b.Error("files", "must be an array of tables ([[files]])");
  }

  if (auto shortcuts = doc["shortcuts"].as_array()) {
    if (shortcuts->size() > kTableRows) b.Error("shortcuts", std::to_string(shortcuts->size()) + " rows, at most 256");
    for (size_t i = 0; i < shortcuts->size() && i < kTableRows; ++i) {
      std::string field = "shortcuts[" + std::to_string(i) + "]";
      auto row = toml::node_view<const toml::node>((*shortcuts)[i]);
      SetupShortcutEntry& s = r.Shortcuts[i];
      b.Text(row["caption"], field + ".caption", s.Caption, true);
      b.Text(row["arguments"], field + ".arguments", s.Arguments);
      int64_t index = -1;
      if (auto n = row["file"].value<int64_t>()) {
        index = *n;
      } else if (auto name = row["file"].value<std::string>()) {
        std::string gbk;
        Utf8ToGbk(*name, gbk);
        for (size_t k = 0; k < names.size(); ++k)
          if (names[k] == gbk) index = static_cast<int64_t>(k);
      }
      if (index < 0 || index >= static_cast<int64_t>(names.size()))
        b.Error(field + ".file", "names no file row (there are " + std::to_string(names.size()) + ")");
      else
        s.FileIndex.Set(static_cast<int32_t>(index));
      int64_t kind = row["kind"].value_or(int64_t{2});
      if (kind < 0 || kind > 255)
        b.Error(field + ".kind", "must be 0 to 255");
      else
        s.Kind = static_cast<uint8_t>(kind);
    }
    r.ShortcutCount.Set(static_cast<int32_t>(std::min<size_t>(shortcuts->size(), kTableRows)));
  }

  if (auto values = doc["registry"].as_array()) {
    if (values->size() > kTableRows) b.Error("registry", std::to_string(values->size()) + " rows, at most 256");
    for (size_t i = 0; i < values->size() && i < kTableRows; ++i) {
      std::string field = "registry[" + std::to_string(i) + "]";
      auto row = toml::node_view<const toml::node>((*values)[i]);
      SetupRegistryEntry& v = r.RegistryValues[i];
      std::string root = row["root"].value_or(std::string("HKLM"));
      if (root != "HKLM" && root != "HKCU") b.Error(field + ".root", "must be \"HKLM\" or \"HKCU\"");
      v.UseCurrentUser = root == "HKCU";
      b.Text(row["key"], field + ".key", v.KeyPath, true);
      b.Text(row["name"], field + ".name", v.ValueName, true);
      int type = RegistryType(row["type"]);
      if (type < 0) {
        b.Error(field + ".type", "must be \"bool\", \"string\", \"integer\" or a number 0 to 255");
        continue;
      }
      v.ValueType = static_cast<uint8_t>(type);
      auto value = row["value"];
      if (type == 0) {
        if (auto bv = value.value<bool>()) v.BoolValue = *bv ? 1 : 0;
        else b.Error(field + ".value", "must be true or false");
      } else if (type == 1) {
        b.Text(value, field + ".value", v.StringValue, true);
      } else if (type == 2) {
        auto iv = value.value<int64_t>();
        if (iv && *iv >= INT32_MIN && *iv <= static_cast<int64_t>(UINT32_MAX))
          v.IntegerValue.Set(static_cast<int32_t>(static_cast<uint32_t>(*iv)));
        else
          b.Error(field + ".value", "must be a 32-bit integer");
      }
    }
    r.RegistryValueCount.Set(static_cast<int32_t>(std::min<size_t>(values->size(), kTableRows)));
  }

  r.PackChecksum.Set(static_cast<int32_t>(PackByteSum(out.pack)));
  return errors.empty();
}
