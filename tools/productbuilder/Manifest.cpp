// Compiled with -fexec-charset=UTF-8: this unit handles the manifest's UTF-8 text and
// converts each stored text to GBK itself.
#include "tools/productbuilder/Manifest.h"

#include <toml++/toml.h>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <optional>

#include "framework/Text.h"
#include "installer/BaseDef.h"
#include "installer/SetupCheck.h"
#include "tools/common/TomlFile.h"

namespace fs = std::filesystem;

namespace {

constexpr uint64_t kMaxLicenceBytes = 16u << 20;

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

class Builder {
 public:
  Builder(const std::map<std::string, std::string>& vars, fs::path base, std::vector<std::string>& errors)
      : vars_(vars), base_(std::move(base)), errors_(errors) {}

  void Error(const std::string& field, const std::string& what) { errors_.push_back(field + ": " + what); }
  void Check(const std::string& field, const std::string& problem) {
    if (!problem.empty()) Error(field, problem);
  }

  // Keys the manifest does not know are refused: a typo would silently drop what it names.
  void KnownKeys(const toml::node_view<const toml::node>& node, const std::string& field,
                 std::initializer_list<std::string_view> known) {
    const toml::table* t = node.as_table();
    if (!t) {
      if (node) Error(field, "must be a table");
      return;
    }
    for (const auto& [key, _] : *t)
      if (std::find(known.begin(), known.end(), key.str()) == known.end())
        Error((field.empty() ? "" : field + ".") + std::string(key.str()), "unknown key");
  }

  // A text field: UTF-8 in the manifest, GBK in the record, at most `capacity` bytes.
  // True when the node held a text that was stored.
  template <size_t N, typename Node>
  bool Text(const Node& node, const std::string& field, ShortString<N>& slot, bool required = false,
            bool crlf = false) {
    std::string gbk;
    if (!node) {
      if (required) Error(field, "missing");
      slot.Assign("");
      return false;
    }
    auto s = node.template value_exact<std::string>();
    if (!s) {
      Error(field, "must be a string");
      return false;
    }
    if (!ToGbk(crlf ? WithCrLf(*s) : *s, field, gbk)) return false;
    if (gbk.size() > N) {
      Error(field, std::to_string(gbk.size()) + " bytes in GBK, at most " + std::to_string(N));
      return false;
    }
    slot.Assign(gbk);
    return true;
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
    if (!node) return;
    auto raw = node.template value_exact<std::string>();
    std::string problem = raw ? DateProblem(*raw) : "must be a string";
    if (raw && !problem.empty())
      Error(field, "\"" + *raw + "\" " + problem);
    else if (!problem.empty())
      Error(field, problem);
    else
      Text(node, field, slot);
  }

  fs::path Resolve(const std::string& raw, const std::string& field) {
    std::string p;
    for (size_t i = 0; i < raw.size();) {
      if (raw.compare(i, 2, "${") == 0) {
        size_t end = raw.find('}', i);
        if (end == std::string::npos) {
          Error(field, "\"${\" without a closing \"}\"");
          return {};
        }
        std::string name = raw.substr(i + 2, end - i - 2);
        if (name.empty()) {
          Error(field, "\"${}\" names no variable");
          return {};
        }
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

  // Reads a regular file of at most maxBytes; anything else is refused before reading.
  bool ReadFile(const fs::path& path, const std::string& field, std::string& data, uint64_t maxBytes) {
    if (path.empty()) return false;  // Resolve already said why
    std::string problem = ReadInputFile(path.string(), maxBytes, data);
    if (!problem.empty()) Error(field, problem);
    return problem.empty();
  }

 private:
  const std::map<std::string, std::string>& vars_;
  fs::path base_;
  std::vector<std::string>& errors_;
};

int RegistryType(const toml::node_view<const toml::node>& t) {
  if (auto n = t.value_exact<int64_t>()) return *n >= 0 && *n <= 255 ? static_cast<int>(*n) : -1;
  std::string s = t.value_or(std::string());
  if (s == "bool") return 0;
  if (s == "string") return 1;
  if (s == "integer") return 2;
  return -1;
}

}  // namespace

bool BuildProduct(const std::string& manifestPath, const std::map<std::string, std::string>& vars, BuiltProduct& out,
                  std::vector<std::string>& errors) {
  std::string problem;
  std::optional<toml::table> parsed = ReadTomlFile(manifestPath, problem);
  if (!parsed) {
    errors.push_back(problem);
    return false;
  }
  const toml::table& doc = *parsed;
  Builder b(vars, fs::u8path(manifestPath).parent_path(), errors);
  b.KnownKeys(toml::node_view<const toml::node>(doc), "", {"product", "files", "shortcuts", "registry"});
  SetupConfigRecord& r = out.config.MutableRecord();
  auto product = doc["product"];
  b.KnownKeys(product, "product",
              {"author", "publisher_key", "web_site", "legal_notice", "version", "release_date", "name", "folder",
               "category", "description", "record_date", "extra_date", "target_folder", "licence"});
  b.Text(product["author"], "product.author", r.AuthorName);
  if (b.Text(product["publisher_key"], "product.publisher_key", r.PublisherKey, true))
    b.Check("product.publisher_key", KeyPathProblem(r.PublisherKey.View()));
  b.Text(product["web_site"], "product.web_site", r.WebSite);
  b.Text(product["legal_notice"], "product.legal_notice", r.LegalNotice);
  b.Text(product["version"], "product.version", r.Version, true);
  b.Date(product["release_date"], "product.release_date", r.ReleaseDate);
  // The name becomes a registry key, a program group and part of link names; the folder
  // a folder name and a registry key.
  if (b.Text(product["name"], "product.name", r.ProductName, true))
    b.Check("product.name", NameComponentProblem(r.ProductName.View()));
  if (b.Text(product["folder"], "product.folder", r.ProductFolder, true))
    b.Check("product.folder", NameComponentProblem(r.ProductFolder.View()));
  b.Text(product["category"], "product.category", r.Category);
  b.Text(product["description"], "product.description", r.Description, false, true);
  b.Date(product["record_date"], "product.record_date", r.RecordDate);
  b.Date(product["extra_date"], "product.extra_date", r.ExtraDate);
  b.Text(product["target_folder"], "product.target_folder", r.TargetFolder);

  if (auto lic = product["licence"].value_exact<std::string>()) {
    std::string utf8;
    if (b.ReadFile(b.Resolve(*lic, "product.licence"), "product.licence", utf8, kMaxLicenceBytes))
      b.ToGbk(WithCrLf(utf8), "product.licence", out.licence);
  } else {
    b.Error("product.licence", product["licence"] ? "must be a string" : "missing (the licence text file)");
  }

  // Files: tile the pack in row order. Every source is resolved and sized before any is
  // read, so sources too large for the pack together are refused without reading them.
  std::vector<std::string> names;
  if (auto files = doc["files"].as_array()) {
    if (files->size() > kTableRows) b.Error("files", std::to_string(files->size()) + " rows, at most 256");
    const size_t rows = std::min<size_t>(files->size(), kTableRows);
    std::vector<fs::path> sources(rows);
    uint64_t total = 0;
    for (size_t i = 0; i < rows; ++i) {
      std::string field = "files[" + std::to_string(i) + "]";
      auto row = toml::node_view<const toml::node>((*files)[i]);
      b.KnownKeys(row, field, {"name", "source"});
      SetupFileEntry& e = r.Files[i];
      if (b.Text(row["name"], field + ".name", e.Name, true)) {
        b.Check(field + ".name", FileNameProblem(e.Name.View()));
        for (size_t k = 0; k < names.size(); ++k)
          if (SameText(names[k], e.Name.View()))
            b.Error(field + ".name", "the same name as files[" + std::to_string(k) + "] (letter case aside)");
      }
      names.push_back(e.Name.Text());
      e.Unread[0] = 0, e.Unread[1] = 1, e.Unread[2] = 0;
      if (auto src = row["source"].value_exact<std::string>()) {
        sources[i] = b.Resolve(*src, field + ".source");
        std::error_code ec;
        if (!sources[i].empty() && fs::is_regular_file(sources[i], ec)) total += fs::file_size(sources[i], ec);
      } else {
        b.Error(field + ".source", row["source"] ? "must be a string" : "missing");
      }
    }
    constexpr uint64_t kMaxPack = std::numeric_limits<int32_t>::max();
    if (total > kMaxPack) {
      b.Error("files", "the sources add up to " + std::to_string(total) + " bytes, more than a pack holds (" +
                           std::to_string(kMaxPack) + "); none was read");
    } else {
      uint64_t offset = 0;
      for (size_t i = 0; i < rows; ++i) {
        std::string data, field = "files[" + std::to_string(i) + "].source";
        // The room left is checked again as each is read, in case a source grew meanwhile.
        if (sources[i].empty() || !b.ReadFile(sources[i], field, data, kMaxPack - offset)) continue;
        r.Files[i].Offset.Set(static_cast<int32_t>(offset));
        r.Files[i].Size.Set(static_cast<int32_t>(data.size()));
        offset += data.size();
        out.pack.insert(out.pack.end(), data.begin(), data.end());
      }
    }
    r.FileCount.Set(static_cast<int32_t>(rows));
  } else if (doc["files"]) {
    b.Error("files", "must be an array of tables ([[files]])");
  }

  if (auto shortcuts = doc["shortcuts"].as_array()) {
    if (shortcuts->size() > kTableRows) b.Error("shortcuts", std::to_string(shortcuts->size()) + " rows, at most 256");
    for (size_t i = 0; i < shortcuts->size() && i < kTableRows; ++i) {
      std::string field = "shortcuts[" + std::to_string(i) + "]";
      auto row = toml::node_view<const toml::node>((*shortcuts)[i]);
      b.KnownKeys(row, field, {"caption", "file", "kind", "arguments"});
      SetupShortcutEntry& s = r.Shortcuts[i];
      // The caption names link files on the desktop and in the program group.
      if (b.Text(row["caption"], field + ".caption", s.Caption, true))
        b.Check(field + ".caption", NameComponentProblem(s.Caption.View()));
      b.Text(row["arguments"], field + ".arguments", s.Arguments);
      int64_t index = -1;
      if (auto n = row["file"].value_exact<int64_t>()) {
        index = *n;
      } else if (auto name = row["file"].value_exact<std::string>()) {
        std::string gbk;
        Utf8ToGbk(*name, gbk);
        for (size_t k = 0; k < names.size(); ++k)
          if (names[k] == gbk) index = static_cast<int64_t>(k);
      }
      if (index < 0 || index >= static_cast<int64_t>(names.size()))
        b.Error(field + ".file", "names no file row (there are " + std::to_string(names.size()) + ")");
      else
        s.FileIndex.Set(static_cast<int32_t>(index));
      auto kind = row["kind"].value_exact<int64_t>();
      if (!row["kind"])
        s.Kind = 2;
      else if (!kind || *kind < 0 || *kind > 255)
        b.Error(field + ".kind", "must be a number 0 to 255 (0 desktop, 1 program group, 2 both)");
      else
        s.Kind = static_cast<uint8_t>(*kind);
    }
    r.ShortcutCount.Set(static_cast<int32_t>(std::min<size_t>(shortcuts->size(), kTableRows)));
  } else if (doc["shortcuts"]) {
    b.Error("shortcuts", "must be an array of tables ([[shortcuts]])");
  }

  if (auto values = doc["registry"].as_array()) {
    if (values->size() > kTableRows) b.Error("registry", std::to_string(values->size()) + " rows, at most 256");
    for (size_t i = 0; i < values->size() && i < kTableRows; ++i) {
      std::string field = "registry[" + std::to_string(i) + "]";
      auto row = toml::node_view<const toml::node>((*values)[i]);
      b.KnownKeys(row, field, {"root", "key", "name", "type", "value"});
      SetupRegistryEntry& v = r.RegistryValues[i];
      auto root = row["root"] ? row["root"].value_exact<std::string>() : std::optional<std::string>("HKLM");
      if (!root || (*root != "HKLM" && *root != "HKCU")) b.Error(field + ".root", "must be \"HKLM\" or \"HKCU\"");
      v.UseCurrentUser = root && *root == "HKCU";
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
        if (auto bv = value.value_exact<bool>()) v.BoolValue = *bv ? 1 : 0;
        else b.Error(field + ".value", "must be true or false");
      } else if (type == 1) {
        b.Text(value, field + ".value", v.StringValue, true);
      } else if (type == 2) {
        auto iv = value.value_exact<int64_t>();
        if (iv && *iv >= INT32_MIN && *iv <= static_cast<int64_t>(UINT32_MAX))
          v.IntegerValue.Set(static_cast<int32_t>(static_cast<uint32_t>(*iv)));
        else
          b.Error(field + ".value", "must be a 32-bit integer");
      }
    }
    r.RegistryValueCount.Set(static_cast<int32_t>(std::min<size_t>(values->size(), kTableRows)));
  } else if (doc["registry"]) {
    b.Error("registry", "must be an array of tables ([[registry]])");
  }

  r.PackChecksum.Set(static_cast<int32_t>(PackByteSum(out.pack)));
  return errors.empty();
}
