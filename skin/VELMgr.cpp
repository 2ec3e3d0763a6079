#include "skin/VELMgr.h"

#include <algorithm>

#include <mutex>
#include <string_view>

#include "framework/Exceptions.h"
#include "framework/FileUtil.h"
#include "framework/Streaming.h"
#include "skin/VEL2Define.h"
#include "skin/VELPublic.h"

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

void TvelFileTheme::SetThemeFile(const std::string& path) {
  const bool wasEmpty = themeFile_.empty();
  std::string resolved = ResolveThemeFile(path);
  if (resolved.empty()) return;
  themeFile_ = resolved;
  ready_ = manager_.LoadSkinFile(resolved, password_);
  if (ready_ && IsFormComponent(Owner())) {
    bool formThemed = RereadFileThemeUsers(*Owner(), this);
    if (formThemed && !wasEmpty) RecalcFormFrame(Owner());
  }
}

void TvelFileTheme::SetPassword(const std::string& password) {
  password_ = password;
  if (!password_.empty()) SetThemeFile(themeFile_);
}

void TvelFileTheme::GetBitmapFrame(int index, TBitmap& dest, int frameCount, int frameIndex) const {
  const TBitmap* item = manager_.GetBitmap(index);
  if (!item) {
    dest.SetSize(0, 0);
  } else if (frameCount != 0 && frameIndex != 0) {
    PickBitmapFrame(*item, dest, frameCount, frameIndex);
  } else {
    dest = item->Clone();
  }
}

bool RereadFileThemeUsers(const TComponent& owner, TvelFileTheme* theme) {
  bool formThemed = false;
  for (int i = 0; i < owner.ComponentCount(); ++i) {
    TComponent* component = owner.Components(i);
    auto* themable = dynamic_cast<IvelThemable*>(component);
    if (!themable || themable->GetFileTheme() != theme) continue;
    if (themable->IsFormFrame()) formThemed = true;
    if (std::string_view(component->ClassName()).substr(0, 4) == "Tvel") {
      themable->SetFileTheme(nullptr);
      themable->SetFileTheme(theme);
    }
  }
  return formThemed;
}

void RegisterVelFileThemeClass() {
  static std::once_flag once;
  std::call_once(once, [] {
    using V = TLayoutValue;
    using R = TReader;
    auto& c = RegisterComponentClass<TvelFileTheme>("TvelFileTheme", "TComponent");
    c.Prop<TvelFileTheme>("ThemeFile", [](TvelFileTheme& t, const V& v, R&) { t.SetThemeFile(R::String(v)); });
    c.Prop<TvelFileTheme>("Password", [](TvelFileTheme& t, const V& v, R&) { t.SetPassword(R::String(v)); });
    // Stored for the designer's sake; writing it has no effect.
    c.Prop<TvelFileTheme>("Ready", [](TvelFileTheme&, const V& v, R&) { (void)R::Bool(v); });
  });
}
