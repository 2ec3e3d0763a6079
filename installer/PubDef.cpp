#include "installer/PubDef.h"

#include <vector>

#include "framework/Exceptions.h"

namespace {
// Marks where each character starts; the entry past the end is a boundary too.
std::vector<bool> CharStarts(std::string_view s) {
  std::vector<bool> starts(s.size() + 1, false);
  for (size_t i = 0; i < s.size();) {
    starts[i] = true;
    i += IsGbkLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
  }
  starts[s.size()] = true;
  return starts;
}

// Balances a successful COM initialisation on every way out.
struct ComScope {
  Platform& platform;
  ~ComScope() { platform.ComUninitialize(); }
};
}  // namespace

int LastPos(std::string_view needle, std::string_view haystack) {
  if (needle.empty() || needle.size() > haystack.size()) return 0;
  std::vector<bool> starts = CharStarts(haystack);
  for (size_t pos = haystack.size() - needle.size() + 1; pos-- > 0;)
    if (starts[pos] && starts[pos + needle.size()] && haystack.compare(pos, needle.size(), needle) == 0)
      return static_cast<int>(pos) + 1;
  return 0;
}

size_t FirstBackslash(std::string_view path) {
  for (size_t i = 0; i < path.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (c == '\\') return i;
    if (IsGbkLeadByte(c)) ++i;
  }
  return std::string_view::npos;
}

std::string FolderPart(std::string_view path) {
  return std::string(path.substr(0, static_cast<size_t>(LastPos("\\", path))));
}

std::string ShortenPath(const std::string& path, int width) {
  if (width >= 0 && path.size() <= static_cast<size_t>(width)) return path;
  size_t last = static_cast<size_t>(LastPos("\\", path));  // 0: no backslash, the tail starts at 0
  return path.substr(0, 3) + "...\\" + path.substr(last, 40);
}

static std::string ShellFolder(Platform& platform, const char* name) {
  auto reg = platform.Registry(RegRoot::CurrentUser, kReadAndQueryValues);
  if (!reg->OpenKey(kShellFoldersKey, false)) return {};
  std::string dir = reg->ReadString(name);
  reg->CloseKey();
  return dir;
}

std::string GetDesktopDir(Platform& platform) { return ShellFolder(platform, "Desktop"); }

std::string GetProgramsDir(Platform& platform) { return ShellFolder(platform, "Programs"); }

void CreateShellLink(Platform& platform, const std::string& target, const std::string& caption,
                     const std::string& folder, const std::string& arguments) {
  if (!platform.ComInitialize()) return;
  ComScope com{platform};
  ShellLinkData link;
  link.target = target;
  link.arguments = arguments;
  link.iconPath = target;
  link.iconIndex = 0;
  link.workingDirectory = FolderPart(target);
  link.fileName = folder + "\\" + caption + ".lnk";
  platform.SaveShellLink(link);
}

void CreateDesktopShortcut(Platform& platform, const std::string& target, const std::string& caption,
                           const std::string& arguments) {
  std::string desktop = GetDesktopDir(platform);
  if (desktop.empty() || !platform.DirectoryExists(desktop)) return;
  CreateShellLink(platform, target, caption, desktop, arguments);
}

void CreateGroupShortcut(Platform& platform, const std::string& group, const std::string& target,
                         const std::string& caption, const std::string& arguments) {
  std::string programs = GetProgramsDir(platform);
  if (programs.empty() || !platform.DirectoryExists(programs)) return;
  std::string folder = programs + "\\" + group;
  if (!platform.DirectoryExists(folder)) platform.MakeDir(folder);  // a failure shows when entering it
  if (unsigned long code = platform.ChangeDir(folder)) throw EInOutError("I/O error " + std::to_string(code));
  CreateShellLink(platform, target, caption, folder, arguments);
}

bool MakeDirs(Platform& platform, const std::string& path) {
  std::string prefix;
  std::string_view rest = path;
  while (!rest.empty()) {
    size_t cut = FirstBackslash(rest);
    size_t take = cut == std::string_view::npos ? rest.size() : cut + 1;
    prefix.append(rest.substr(0, take));
    rest.remove_prefix(take);
    if (platform.DirectoryExists(prefix)) continue;
    if (!platform.MakeDir(prefix)) return false;
  }
  return true;
}
