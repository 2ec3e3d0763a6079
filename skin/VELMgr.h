// File themes: the component a form places to give its themed controls the look of a skin
// file, the manager that owns the loaded skin and answers item requests by number, the rule
// that finds a theme file, and the choice between a file theme and a built-in style.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "framework/Bitmap.h"
#include "framework/Component.h"
#include "skin/VEL2SkinReader.h"
#include "skin/VELThemes.h"

class TvelFileThemeMgr {
 public:
  // Loads a skin file. A missing file returns false and keeps the current skin; otherwise
  // the current skin goes and the result tells whether the new one is ready. Read errors
  // are swallowed: a skin that cannot be read leaves no skin loaded.
  bool LoadSkinFile(const std::string& path, const std::string& password);

  // Items by number (see VEL2Define.h). With no skin loaded: nullptr, 0, 0, 0. With a skin:
  // the item, or nullptr, 0, -1, -1 when the skin lacks it or the number is out of range.
  // Bitmaps stay owned by the manager's reader.
  const TBitmap* GetBitmap(int index) const;
  int GetBool(int index) const;
  int32_t GetColor(int index) const;
  int32_t GetInt(int index) const;

  const Tsk2SkinFileReader* Reader() const { return reader_.get(); }

 private:
  std::unique_ptr<Tsk2SkinFileReader> reader_;
};

// Finds the theme file for path: path itself when it exists, else its file name in the
// executable's folder, the Windows folder or the system folder, in that order. Empty when
// none exists. Folders may or may not end in a separator; the result uses pathSeparator.
std::string ResolveThemeFile(const std::string& path, const std::string& exeFolder, const std::string& windowsFolder,
                             const std::string& systemFolder, char pathSeparator = '\\');
// The same with this machine's folders.
std::string ResolveThemeFile(const std::string& path);

// Whether a control takes its look from its file theme: only for style FromThemeFile with a
// ready file theme. effectiveStyle is the style, or DeepBlue in place of FromThemeFile when
// the file theme cannot serve.
bool UseFileTheme(bool fileThemeReady, TvelUIStyle style, TvelUIStyle& effectiveStyle);

// The non-visual component. Writing ThemeFile loads the skin (see SetThemeFile); controls ask
// for items by number and get the manager's answers.
class TvelFileTheme : public TComponent {
 public:
  explicit TvelFileTheme(TComponent* owner) : TComponent(owner) {}
  const char* ClassName() const override { return "TvelFileTheme"; }

  const std::string& ThemeFile() const { return themeFile_; }
  // Resolves path (ResolveThemeFile); when no file is found nothing changes. Otherwise
  // ThemeFile becomes the resolved path and Ready the result of loading it; a ready theme
  // owned by a form makes the form's skin controls that use it read their look again, and
  // recomputes the form's frame when it is themed by this file and a skin was set before.
  void SetThemeFile(const std::string& path);
  const std::string& Password() const { return password_; }
  // Stores the password; a non-empty one reloads the current ThemeFile with it.
  void SetPassword(const std::string& password);
  bool Ready() const { return ready_; }

  // Items by number, as the manager answers them. Bitmaps stay owned by the theme.
  const TBitmap* GetBitmap(int index) const { return manager_.GetBitmap(index); }
  // Frame frameIndex of frameCount of the bitmap item when both are non-zero, else a copy of
  // the whole item; an absent item leaves dest empty.
  void GetBitmapFrame(int index, TBitmap& dest, int frameCount, int frameIndex) const;
  int GetBool(int index) const { return manager_.GetBool(index); }
  int32_t GetColor(int index) const { return manager_.GetColor(index); }
  int32_t GetInt(int index) const { return manager_.GetInt(index); }

 private:
  TvelFileThemeMgr manager_;
  std::string themeFile_;
  bool ready_ = false;
  std::string password_;
};

// The components of owner that are skin controls (class name "Tvel...") drawing from theme
// get their FileTheme set to none and back, so that they read their look again. True when
// a form frame among owner's components uses theme.
bool RereadFileThemeUsers(const TComponent& owner, TvelFileTheme* theme);
// Per target: whether a component is a form, and the recomputation of a form window's frame
// without moving, sizing, reordering or activating it. The host has neither forms nor windows.
bool IsFormComponent(const TComponent* component);
void RecalcFormFrame(TComponent* form);
// Makes TvelFileTheme known to stored layouts (ThemeFile, Password, Ready).
void RegisterVelFileThemeClass();
