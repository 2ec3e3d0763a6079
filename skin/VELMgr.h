// The file theme's portable side: the manager that owns the loaded skin and answers item
// requests by number, the rule that finds a theme file, and the choice between a file
// theme and a built-in style.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "framework/Bitmap.h"
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
