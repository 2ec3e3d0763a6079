// Compiled with a UTF-8 execution charset: toml++ needs it. Texts are converted to GBK here.
#include "tools/skinbuilder/SkinValues.h"

#include <toml++/toml.h>

#include <algorithm>
#include <optional>
#include <stdexcept>

#include "framework/Text.h"
#include "skin/VEL2Define.h"
#include "tools/common/TomlFile.h"

namespace {

int VocabularyIndex(const std::string& name) {
  for (int i = 0; i < kSkin2NameCount; ++i)
    if (name == Skin2ItemNames[i]) return i;
  return kSkin2NameCount;
}

int32_t ParseColor(const toml::node& node, const std::string& where) {
  if (auto n = node.value<int64_t>()) {
    if (*n < INT32_MIN || *n > UINT32_MAX) throw std::runtime_error(where + ": colour out of range");
    return static_cast<int32_t>(static_cast<uint32_t>(*n));
  }
  if (auto s = node.value<std::string>()) {
    const std::string& t = *s;
    if (t.size() == 7 && t[0] == '#' && std::all_of(t.begin() + 1, t.end(), ::isxdigit)) {
      uint32_t rgb = static_cast<uint32_t>(std::stoul(t.substr(1), nullptr, 16));
      return static_cast<int32_t>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | (rgb >> 16));  // to 00BBGGRR
    }
  }
  throw std::runtime_error(where + ": a colour is \"#RRGGBB\" or a number");
}

std::string GbkName(std::string_view utf8, const std::string& file) {
  std::string gbk;
  if (!Utf8ToGbk(utf8, gbk)) throw std::runtime_error(file + ": " + std::string(utf8) + ": not representable in GBK");
  if (gbk.empty() || gbk.size() > 64) throw std::runtime_error(file + ": " + std::string(utf8) + ": names are 1 to 64 bytes");
  return gbk;
}

}  // namespace

std::vector<Sk2Item> ReadSkinValues(const std::string& path) {
  std::string error;
  std::optional<toml::table> parsed = ReadTomlFile(path, error);
  if (!parsed) throw std::runtime_error(error);
  const toml::table& doc = *parsed;
  for (const auto& [key, _] : doc)
    if (key != "colors" && key != "integers" && key != "switches" && key != "texts")
      throw std::runtime_error(path + ": unknown section [" + std::string(key.str()) + "]");

  std::vector<Sk2Item> all;
  auto group = [&](const char* section, auto make) {
    const toml::table* table = doc[section].as_table();
    if (!table) return;
    std::vector<std::pair<std::string, const toml::node*>> entries;
    for (const auto& [key, node] : *table) entries.emplace_back(std::string(key.str()), &node);
    std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
      int ia = VocabularyIndex(a.first), ib = VocabularyIndex(b.first);
      return ia != ib ? ia < ib : a.first < b.first;
    });
    for (const auto& [name, node] : entries) {
      std::string where = path + ": " + section + "." + name;
      all.push_back(make(GbkName(name, path), *node, where));
    }
  };
  group("colors", [](std::string name, const toml::node& n, const std::string& where) {
    return Sk2Item::Integer(std::move(name), ParseColor(n, where));
  });
  group("integers", [](std::string name, const toml::node& n, const std::string& where) {
    auto v = n.value_exact<int64_t>();
    if (!v || *v < INT32_MIN || *v > INT32_MAX) throw std::runtime_error(where + ": not a 32-bit integer");
    return Sk2Item::Integer(std::move(name), static_cast<int32_t>(*v));
  });
  group("switches", [](std::string name, const toml::node& n, const std::string& where) {
    auto v = n.value_exact<bool>();
    if (!v) throw std::runtime_error(where + ": not true or false");
    return Sk2Item::Boolean(std::move(name), *v);
  });
  group("texts", [](std::string name, const toml::node& n, const std::string& where) {
    auto v = n.value_exact<std::string>();
    std::string gbk;
    if (!v || !Utf8ToGbk(*v, gbk)) throw std::runtime_error(where + ": not a text representable in GBK");
    return Sk2Item::Text(std::move(name), gbk);
  });
  return all;
}
