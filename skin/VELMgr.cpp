#include "skin/VELMgr.h"

#include <algorithm>

#include "framework/Exceptions.h"
#include "framework/FileUtil.h"
#include "skin/VEL2Define.h"

bool TvelFileThemeMgr::LoadSkinFile(const std::string& path, const std::string& password) {
  if (!FileExists(path)) return false;
  reader_.reset();
  std::unique_ptr<Tsk2SkinFileReader> reader;
  try {
    reader = std::make_unique<Tsk2SkinFileReader>(path, password);
  } catch (const std::exception&) {
    return false;  // skin-file problems never reach the user
  }
  if (!reader->Ready()) return false;
  reader_ = std::move(reader);
  return true;
}

const TBitmap* TvelFileThemeMgr::GetBitmap(int index) const {
  const char* name = FileThemeBitmapName(index);
  return reader_ && name ? reader_->GetBitmap(name) : nullptr;
}

int TvelFileThemeMgr::GetBool(int index) const {
  const char* name = FileThemeBoolName(index);
  return reader_ && name ? reader_->GetBool(name) : 0;
}

int32_t TvelFileThemeMgr::GetColor(int index) const {
  if (!reader_) return 0;
  const char* name = FileThemeColorName(index);
  return name ? reader_->GetInteger(name) : -1;
}

int32_t TvelFileThemeMgr::GetInt(int index) const {
  if (!reader_) return 0;
  const char* name = FileThemeIntName(index);
  return name ? reader_->GetInteger(name) : -1;
}

namespace {
// The part after the last separator of either kind. A GBK trail byte may equal '\\', so
// double-byte characters are stepped over whole.
std::string FileNamePart(const std::string& path) {
  size_t start = 0;
  for (size_t i = 0; i < path.size(); ++i) {
    uint8_t c = static_cast<uint8_t>(path[i]);
    if (c >= 0x81 && c <= 0xFE) {
      ++i;
    } else if (c == '\\' || c == '/' || c == ':') {
      start = i + 1;
    }
  }
  return path.substr(std::min(start, path.size()));
}
std::string InFolder(const std::string& folder, const std::string& name, char sep) {
  if (folder.empty()) return std::string();
  return folder.back() == sep ? folder + name : folder + sep + name;
}
}  // namespace

std::string ResolveThemeFile(const std::string& path, const std::string& exeFolder, const std::string& windowsFolder,
                             const std::string& systemFolder, char pathSeparator) {
  if (FileExists(path)) return path;
  std::string name = FileNamePart(path);
  if (name.empty()) return std::string();
  for (const std::string* folder : {&exeFolder, &windowsFolder, &systemFolder}) {
    std::string candidate = InFolder(*folder, name, pathSeparator);
    if (!candidate.empty() && FileExists(candidate)) return candidate;
  }
  return std::string();
}

std::string ResolveThemeFile(const std::string& path) {
#ifdef _WIN32
  const char separator = '\\';
#else
  const char separator = '/';
#endif
  return ResolveThemeFile(path, ExeFolder(), WindowsFolder(), SystemFolder(), separator);
}

bool UseFileTheme(bool fileThemeReady, TvelUIStyle style, TvelUIStyle& effectiveStyle) {
  effectiveStyle = style;
  if (style != TvelUIStyle::FromThemeFile) return false;
  if (fileThemeReady) return true;
  effectiveStyle = TvelUIStyle::DeepBlue;
  return false;
}
