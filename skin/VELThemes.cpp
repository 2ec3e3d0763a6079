// The built-in theme table and the style functions over it.
#include "skin/VELThemes.h"

#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "framework/Exceptions.h"
#include "skin/VELPublic.h"

namespace {

constexpr int kStyles = 5;  // MacOS, WinXP, DeepBlue, Protein, BlueGlass

struct BuiltinRow {
  int Item;
  ThemeItemKind Kind;
  uint32_t Values[kStyles];
  const char* Names[kStyles];
};

using K = ThemeItemKind;
#define VX_NAMES(suffix) \
  { "MACOS_" suffix, "WINXP_" suffix, "DEEPBLUE_" suffix, "PROTEIN_" suffix, "BLUEGLASS_" suffix }

// Positions 24, 26, 28 to 41 and 43 to 48 are read nowhere and are left out.
const BuiltinRow kRows[] = {
    {1, K::Bitmap, {}, VX_NAMES("BUTTON")},
    // WinXP's rounded buttons are see-through at their corners, as MacOS's and BlueGlass's.
    {2, K::Boolean, {1, 1, 0, 0, 1}, {}},
    {3, K::Bitmap, {}, VX_NAMES("CHECKBOX")},
    {4, K::Bitmap, {}, VX_NAMES("RADIOBUTTON")},
    {5, K::Bitmap, {}, VX_NAMES("TITLEBTN")},
    {6, K::Boolean, {0, 0, 0, 1, 1}, {}},
    {7, K::Integer, {3, 2, 0, 0, 4}, {}},
    {8, K::Integer, {static_cast<uint32_t>(-2), static_cast<uint32_t>(-2), 0, 0, static_cast<uint32_t>(-3)}, {}},
    {9, K::Integer, {4, 5, 2, 2, 6}, {}},
    {10, K::Bitmap, {}, VX_NAMES("TITLE_LEFT")},
    {11, K::Bitmap, {}, VX_NAMES("TITLE_CLIENT")},
    {12, K::Bitmap, {}, VX_NAMES("TITLE_RIGHT")},
    {13, K::Integer, {130, 150, 130, 130, 270}, {}},
    {14, K::Integer, {0, 13, 0, 0, 11}, {}},
    {15, K::Color, {0x00E7E7E7, 0x00DEEBEF, 0x00E8E8E8, 0x00FBFBFB, 0x00E7E7E7}, {}},
    {16, K::Color, {0x007F7F7F, 0x00C82C00, 0x00000000, 0x00000000, 0x00000000}, {}},
    {17, K::Integer, {1, 3, 1, 1, 1}, {}},
    {18, K::Color, {0x00C47339, 0x00C66931, 0x00A04A44, 0x00C4302D, 0x00EC5E5E}, {}},
    {19, K::Color, {0x00C47339, 0x00EFD3C6, 0x00A04A44, 0x00C4302D, 0x00EC5E5E}, {}},
    {20, K::Color, {0x00FFFFFF, 0x00000000, 0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF}, {}},
    {21, K::Color, {0x00000000, 0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF, 0x00E7E7E7}, {}},
    {22, K::Color, {0x00000000, 0x00000000, 0x00000000, 0x00000000, 0x00000000}, {}},
    {23, K::Color, {0x00000000, 0x00CED3D6, 0x00CED3D6, 0x00CED3D6, 0x00CED3D6}, {}},
    {25, K::Color, {0x007F7F7F, 0x00686868, 0x00000000, 0x00000000, 0x00000000}, {}},
    {27, K::Color, {0x00000000, 0x00CF4602, 0x00000000, 0x00000000, 0x00000000}, {}},
    {42, K::Bitmap, {}, VX_NAMES("SIDECHENNEL_BAR")},
};
#undef VX_NAMES

const BuiltinRow* FindRow(int item) {
  for (const BuiltinRow& row : kRows)
    if (row.Item == item) return &row;
  return nullptr;
}

SkinBitmapLoader& Loader() {
  static SkinBitmapLoader loader;
  return loader;
}

void PutLE32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
uint32_t LE16(const uint8_t* p) { return p[0] | static_cast<uint32_t>(p[1]) << 8; }
uint32_t LE32(const uint8_t* p) { return LE16(p) | LE16(p + 2) << 16; }

}  // namespace

ThemeItem GetThemeItem(TvelUIStyle style, int item) {
  const int column = static_cast<int>(style) - 1;
  const BuiltinRow* row = FindRow(item);
  if (column < 0 || column >= kStyles || !row) return {};
  if (row->Kind == K::Bitmap) return {0, K::Bitmap, row->Names[column]};
  return {static_cast<int32_t>(row->Values[column]), row->Kind, nullptr};
}

void GetThemeBitmap(TvelUIStyle style, int item, TBitmap* dest, int frameCount, int frameIndex) {
  if (!dest) return;
  const ThemeItem found = GetThemeItem(style, item);
  TBitmap whole;
  if (found.Kind == K::Bitmap) {
    LoadSkinBitmap(found.Name, whole);
  } else if (frameCount == 0) {
    return;
  }
  if (frameCount == 0)
    *dest = std::move(whole);
  else
    PickBitmapFrame(whole, *dest, frameCount, frameIndex);
}

int32_t GetThemeBool(TvelUIStyle style, int item) {
  const ThemeItem found = GetThemeItem(style, item);
  return found.Kind == K::Boolean ? found.Value : 0;
}

uint32_t GetThemeColor(TvelUIStyle style, int item) {
  const ThemeItem found = GetThemeItem(style, item);
  return found.Kind == K::Color ? static_cast<uint32_t>(found.Value) : 0;
}

int32_t GetThemeInt(TvelUIStyle style, int item) {
  const ThemeItem found = GetThemeItem(style, item);
  return found.Kind == K::Integer ? found.Value : -1;
}

void SetSkinBitmapLoader(SkinBitmapLoader loader) { Loader() = std::move(loader); }

void LoadSkinBitmap(const std::string& name, TBitmap& out) {
  const SkinBitmapLoader& loader = Loader();
  if (loader) {
    if (!loader(name, out)) throw EResNotFound(name);
    return;
  }
  // Decoding a resource costs many times a copy of the decoded pixels, and the module's
  // resources never change while it runs: each is decoded once, and callers get copies.
  static std::mutex lock;
  static auto* decoded = new std::map<std::string, TBitmap>;  // lives to the end of the program
  std::lock_guard<std::mutex> guard(lock);
  auto it = decoded->find(name);
  if (it == decoded->end()) {
    TBitmap bitmap;
    if (!LoadModuleSkinBitmap(name, bitmap)) throw EResNotFound(name);
    it = decoded->emplace(name, std::move(bitmap)).first;
  }
  out = it->second.Clone();
}

bool LoadBitmapResourceBytes(std::span<const uint8_t> dib, TBitmap& out) {
  if (dib.size() < 16) return false;
  const uint8_t* p = dib.data();
  const uint32_t headerSize = LE32(p);
  uint64_t bpp, compression = 0, colorsUsed = 0, entry = 4;
  if (headerSize == 12) {
    bpp = LE16(p + 10);
    entry = 3;
  } else if (headerSize >= 40 && dib.size() >= 36) {
    bpp = LE16(p + 14);
    compression = LE32(p + 16);
    colorsUsed = LE32(p + 32);
  } else {
    return false;
  }
  const uint64_t masks = (compression == 3 && headerSize == 40) ? 12 : 0;
  uint64_t colors = colorsUsed;
  if (colors == 0 && bpp <= 8) colors = uint64_t{1} << bpp;
  const uint64_t offset = 14 + uint64_t{headerSize} + masks + colors * entry;
  if (offset > dib.size() + 14) return false;
  std::vector<uint8_t> file(14 + dib.size());
  file[0] = 'B';
  file[1] = 'M';
  PutLE32(&file[2], static_cast<uint32_t>(file.size()));
  PutLE32(&file[10], static_cast<uint32_t>(offset));
  std::memcpy(&file[14], p, dib.size());
  return TBitmap::LoadFromBmp(file, out);
}

TvelUIStyle DefaultStyleFor(bool ownerIsForm, std::span<IvelThemable* const> ownerChildren) {
  if (ownerIsForm)
    for (IvelThemable* child : ownerChildren)
      if (child && child->IsFormFrame()) return child->GetUIStyle();
  return TvelUIStyle::DeepBlue;
}

void ApplyThemeToChildren(std::span<IvelThemable* const> children, TvelUIStyle style, TvelFileTheme* fileTheme) {
  for (IvelThemable* child : children) {
    if (!child) continue;
    child->SetFileTheme(fileTheme);
    child->SetUIStyle(style);
  }
}
