#include "tools/common/ToolFiles.h"

#include "tools/common/TomlFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string KindProblem(const fs::file_status& st) {
  switch (st.type()) {
    case fs::file_type::regular: return {};
    case fs::file_type::not_found: return "no such file";
    case fs::file_type::directory: return "is a folder, not a file";
    default: return "is not a regular file (a device, FIFO or socket)";
  }
}

// One file written whole and closed, or the system's reason.
std::string WriteWhole(const fs::path& path, const std::string& data) {
  std::FILE* f = std::fopen(path.string().c_str(), "wb");
  if (!f) return path.string() + ": " + std::strerror(errno);
  bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size() && std::fflush(f) == 0;
  int err = errno;
  if (std::fclose(f) != 0 && ok) ok = false, err = errno;
  return ok ? std::string() : path.string() + ": " + std::strerror(err);
}

}  // namespace

std::string ReadInputFile(const std::string& path, uint64_t maxBytes, std::string& data) {
  data.clear();
  std::error_code ec;
  fs::path p(path);
  fs::file_status st = fs::status(p, ec);
  if (ec && st.type() != fs::file_type::not_found) return path + ": " + ec.message();
  if (std::string kind = KindProblem(st); !kind.empty()) return path + ": " + kind;
  uint64_t size = fs::file_size(p, ec);
  if (ec) return path + ": " + ec.message();
  if (size > maxBytes)
    return path + ": " + std::to_string(size) + " bytes, more than the " + std::to_string(maxBytes) + " allowed";
  std::ifstream in(p, std::ios::binary);
  if (!in) return path + ": cannot open: " + std::strerror(errno);
  // Never more than the size seen above, whatever the file becomes meanwhile.
  data.resize(static_cast<size_t>(size));
  in.read(data.data(), static_cast<std::streamsize>(size));
  if (static_cast<uint64_t>(in.gcount()) != size) {
    data.clear();
    return path + ": read fewer bytes than the file holds";
  }
  return {};
}

std::string WriteFilesAtomically(const std::string& dir, const std::vector<std::pair<std::string, std::string>>& files) {
  std::error_code ec;
  fs::path d(dir);
  for (const auto& [name, data] : files) {
    fs::file_status st = fs::symlink_status(d / name, ec);
    if (st.type() != fs::file_type::not_found && st.type() != fs::file_type::regular &&
        st.type() != fs::file_type::symlink)
      return (d / name).string() + ": " + KindProblem(fs::status(d / name, ec)) + "; nothing written";
  }
  fs::create_directories(d, ec);
  if (ec) return d.string() + ": " + ec.message();
  std::vector<fs::path> temps;
  auto removeTemps = [&] {
    for (const fs::path& t : temps) fs::remove(t, ec);
  };
  for (const auto& [name, data] : files) {
    temps.push_back(d / (name + ".tmp"));
    if (std::string problem = WriteWhole(temps.back(), data); !problem.empty()) {
      removeTemps();
      return problem;
    }
  }
  for (size_t i = 0; i < files.size(); ++i) {
    fs::rename(temps[i], d / files[i].first, ec);
    if (ec) {
      std::string problem = (d / files[i].first).string() + ": " + ec.message();
      temps.erase(temps.begin(), temps.begin() + static_cast<std::ptrdiff_t>(i));
      removeTemps();
      return problem;
    }
  }
  return {};
}

std::string TomlNestingProblem(std::string_view text, int maxNesting) {
  int brackets = 0;  // open [ and { around the current point
  int dots = 0;      // dots since the last = , bracket or line break: the depth of a dotted key
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '#') {
      while (i < text.size() && text[i] != '\n') ++i;
      dots = 0;
    } else if (c == '"' || c == '\'') {
      // Strings, multi-line ones too; a basic string's escapes are skipped.
      bool multi = text.substr(i, 3) == std::string(3, c);
      std::string_view close = multi ? text.substr(i, 3) : text.substr(i, 1);
      size_t j = i + close.size();
      while (j < text.size() && text.substr(j, close.size()) != close) j += (c == '"' && text[j] == '\\') ? 2 : 1;
      i = j + close.size() - 1;
    } else if (c == '[' || c == '{') {
      ++brackets, dots = 0;
    } else if (c == ']' || c == '}') {
      --brackets, dots = 0;
    } else if (c == '=' || c == ',' || c == '\n') {
      dots = 0;
    } else if (c == '.') {
      ++dots;
    }
    if (brackets + dots > maxNesting)
      return "nests more than " + std::to_string(maxNesting) + " levels deep (dotted keys, tables or arrays)";
  }
  return {};
}

std::optional<toml::table> ReadTomlFile(const std::string& path, std::string& error) {
  std::string text;
  error = ReadInputFile(path, kMaxTomlBytes, text);
  if (!error.empty()) return std::nullopt;
  if (std::string deep = TomlNestingProblem(text); !deep.empty()) {
    error = path + ": " + deep;
    return std::nullopt;
  }
  try {
    return toml::parse(text, path);
  } catch (const toml::parse_error& e) {
    std::ostringstream msg;
    msg << path << ":" << e.source().begin.line << ": " << e.description();
    error = msg.str();
    return std::nullopt;
  }
}
