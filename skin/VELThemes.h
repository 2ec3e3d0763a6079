// Built-in themes of the skin library: the style enumeration, the table of numbered theme
// items with one value per built-in style, loading of the bitmaps the styles name, the style
// a new control starts with and the broadcast of a style to child controls.
#pragma once
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "framework/Bitmap.h"

enum class TvelUIStyle { FromThemeFile, MacOS, WinXP, DeepBlue, Protein, BlueGlass };

enum class ThemeItemKind { Integer = 0, Color = 1, Bitmap = 2, Boolean = 3 };

// One built-in item of one style. For a Bitmap item Name is the resource name and Value 0.
struct ThemeItem {
  int32_t Value = -1;
  ThemeItemKind Kind = ThemeItemKind::Integer;
  const char* Name = nullptr;
};

constexpr int kThemeItemCount = 48;

// A style outside MacOS..BlueGlass, or a position the table leaves out, gives value -1 and
// kind Integer.
ThemeItem GetThemeItem(TvelUIStyle style, int item);
// Fills *dest from the item's bitmap resource: whole with frameCount 0, else frame frameIndex
// (from 1) of frameCount by PickBitmapFrame. No dest: nothing. An item that is not a bitmap
// leaves *dest unchanged without frames and empties it with frames. A missing resource raises
// EResNotFound.
void GetThemeBitmap(TvelUIStyle style, int item, TBitmap* dest, int frameCount, int frameIndex);
int32_t GetThemeBool(TvelUIStyle style, int item);   // 0 unless the item is a Boolean
uint32_t GetThemeColor(TvelUIStyle style, int item); // 0 unless the item is a colour
int32_t GetThemeInt(TvelUIStyle style, int item);    // -1 unless the item is an integer

// Loads a skin bitmap resource by name (the table's names and the fixed ones such as
// "PANEL_BUTTON"); a name the resources lack raises EResNotFound.
void LoadSkinBitmap(const std::string& name, TBitmap& out);
// Where skin bitmaps come from: the executable's BITMAP resources on Windows. A loader answers
// false for a name it does not hold. Setting an empty function restores the default.
using SkinBitmapLoader = std::function<bool(const std::string& name, TBitmap& out)>;
void SetSkinBitmapLoader(SkinBitmapLoader loader);
// The target's own loader (module resources on Windows; nothing on the host).
bool LoadModuleSkinBitmap(const std::string& name, TBitmap& out);
// A BITMAP resource is a BMP file without its 14-byte file header: rebuilds the header
// (pixel offset after the info header, bit masks and palette) and decodes it.
bool LoadBitmapResourceBytes(std::span<const uint8_t> dib, TBitmap& out);

class TvelFileTheme;

// A child control as the style broadcast sees it: one that publishes FileTheme and UIStyle.
class IvelThemable {
 public:
  virtual ~IvelThemable() = default;
  virtual void SetFileTheme(TvelFileTheme* theme) = 0;
  // The file theme it draws from, so that a theme that loads a new skin can find its users.
  virtual TvelFileTheme* GetFileTheme() const { return nullptr; }
  virtual void SetUIStyle(TvelUIStyle style) = 0;
  virtual TvelUIStyle GetUIStyle() const = 0;
  // True for the themed form frame, whose style new controls on its form take.
  virtual bool IsFormFrame() const { return false; }
};

// The owner's direct child controls in order, each as its IvelThemable or nullptr when it does
// not publish both properties. DeepBlue unless the owner is a form with a form frame among them.
TvelUIStyle DefaultStyleFor(bool ownerIsForm, std::span<IvelThemable* const> ownerChildren);
// Sets FileTheme, then UIStyle, on every themable direct child in order; others are skipped.
void ApplyThemeToChildren(std::span<IvelThemable* const> children, TvelUIStyle style, TvelFileTheme* fileTheme);
