// The built-in theme table, its out-of-range answers, bitmap loading through the loader seam
// and the style broadcast.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "framework/Exceptions.h"
#include "skin/VELThemes.h"

namespace {

using K = ThemeItemKind;
constexpr TvelUIStyle kBuiltin[] = {TvelUIStyle::MacOS, TvelUIStyle::WinXP, TvelUIStyle::DeepBlue,
                                    TvelUIStyle::Protein, TvelUIStyle::BlueGlass};

struct Row {
  int item;
  K kind;
  int64_t values[5];
  const char* suffix;  // bitmaps
};
const Row kExpected[] = {
    {1, K::Bitmap, {}, "BUTTON"},
    {2, K::Boolean, {1, 1, 0, 0, 1}, nullptr},
    {3, K::Bitmap, {}, "CHECKBOX"},
    {4, K::Bitmap, {}, "RADIOBUTTON"},
    {5, K::Bitmap, {}, "TITLEBTN"},
    {6, K::Boolean, {0, 0, 0, 1, 1}, nullptr},
    {7, K::Integer, {3, 2, 0, 0, 4}, nullptr},
    {8, K::Integer, {-2, -2, 0, 0, -3}, nullptr},
    {9, K::Integer, {4, 5, 2, 2, 6}, nullptr},
    {10, K::Bitmap, {}, "TITLE_LEFT"},
    {11, K::Bitmap, {}, "TITLE_CLIENT"},
    {12, K::Bitmap, {}, "TITLE_RIGHT"},
    {13, K::Integer, {130, 150, 130, 130, 270}, nullptr},
    {14, K::Integer, {0, 13, 0, 0, 11}, nullptr},
    {15, K::Color, {0xE7E7E7, 0xDEEBEF, 0xE8E8E8, 0xFBFBFB, 0xE7E7E7}, nullptr},
    {16, K::Color, {0x7F7F7F, 0xC82C00, 0, 0, 0}, nullptr},
    {17, K::Integer, {1, 3, 1, 1, 1}, nullptr},
    {18, K::Color, {0xC47339, 0xC66931, 0xA04A44, 0xC4302D, 0xEC5E5E}, nullptr},
    {19, K::Color, {0xC47339, 0xEFD3C6, 0xA04A44, 0xC4302D, 0xEC5E5E}, nullptr},
    {20, K::Color, {0xFFFFFF, 0, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF}, nullptr},
    {21, K::Color, {0, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xE7E7E7}, nullptr},
    {22, K::Color, {0, 0, 0, 0, 0}, nullptr},
    {23, K::Color, {0, 0xCED3D6, 0xCED3D6, 0xCED3D6, 0xCED3D6}, nullptr},
    {25, K::Color, {0x7F7F7F, 0x686868, 0, 0, 0}, nullptr},
    {27, K::Color, {0, 0xCF4602, 0, 0, 0}, nullptr},
    {42, K::Bitmap, {}, "SIDECHENNEL_BAR"},
};
const char* const kPrefix[] = {"MACOS_", "WINXP_", "DEEPBLUE_", "PROTEIN_", "BLUEGLASS_"};

TEST(ThemeTable, EveryListedPositionAndValue) {
  for (const Row& row : kExpected)
    for (int s = 0; s < 5; ++s) {
      SCOPED_TRACE("item " + std::to_string(row.item) + " style " + std::to_string(s + 1));
      const ThemeItem got = GetThemeItem(kBuiltin[s], row.item);
      ASSERT_EQ(got.Kind, row.kind);
      if (row.kind == K::Bitmap) {
        ASSERT_NE(got.Name, nullptr);
        EXPECT_EQ(std::string(got.Name), std::string(kPrefix[s]) + row.suffix);
        EXPECT_EQ(GetThemeInt(kBuiltin[s], row.item), -1);
        EXPECT_EQ(GetThemeColor(kBuiltin[s], row.item), 0u);
        EXPECT_EQ(GetThemeBool(kBuiltin[s], row.item), 0);
        continue;
      }
      EXPECT_EQ(got.Value, static_cast<int32_t>(row.values[s]));
      EXPECT_EQ(GetThemeInt(kBuiltin[s], row.item), row.kind == K::Integer ? row.values[s] : -1);
      EXPECT_EQ(GetThemeColor(kBuiltin[s], row.item), row.kind == K::Color ? static_cast<uint32_t>(row.values[s]) : 0u);
      EXPECT_EQ(GetThemeBool(kBuiltin[s], row.item), row.kind == K::Boolean ? row.values[s] : 0);
    }
}

TEST(ThemeTable, OutOfRangeAnswers) {
  const TvelUIStyle outside[] = {TvelUIStyle::FromThemeFile, static_cast<TvelUIStyle>(6), static_cast<TvelUIStyle>(-1),
                                 static_cast<TvelUIStyle>(200)};
  for (TvelUIStyle s : outside)
    for (int item : {1, 2, 9, 15, 42}) {
      const ThemeItem got = GetThemeItem(s, item);
      EXPECT_EQ(got.Value, -1);
      EXPECT_EQ(got.Kind, K::Integer);
      EXPECT_EQ(GetThemeInt(s, item), -1);
      EXPECT_EQ(GetThemeColor(s, item), 0u);
      EXPECT_EQ(GetThemeBool(s, item), 0);
    }
  EXPECT_EQ(GetThemeInt(TvelUIStyle::FromThemeFile, 9), -1);
  EXPECT_EQ(GetThemeColor(TvelUIStyle::BlueGlass, 9), 0u);
  // Positions the table leaves out, and numbers outside 1..48.
  for (int item : {0, 24, 26, 28, 35, 41, 43, 48, 49, -5})
    for (TvelUIStyle s : kBuiltin) {
      EXPECT_EQ(GetThemeItem(s, item).Kind, K::Integer) << item;
      EXPECT_EQ(GetThemeInt(s, item), -1) << item;
    }
}

// Feeds named bitmaps to the loader seam for the lifetime of a test.
class ThemeBitmaps : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSkinBitmapLoader([this](const std::string& name, TBitmap& out) {
      auto it = sizes_.find(name);
      if (it == sizes_.end()) return false;
      ++loads_;
      out.SetSize(it->second.first, it->second.second);
      for (int x = 0; x < out.Width(); ++x) out.SetPixel(x, 0, static_cast<uint32_t>(x));
      return true;
    });
  }
  void TearDown() override { SetSkinBitmapLoader(nullptr); }
  std::map<std::string, std::pair<int, int>> sizes_{{"BLUEGLASS_BUTTON", {231, 27}},
                                                    {"WINXP_TITLEBTN", {378, 21}},
                                                    {"PANEL_BUTTON", {52, 12}}};
  int loads_ = 0;
};

TEST_F(ThemeBitmaps, WholeAndFrames) {
  TBitmap b;
  GetThemeBitmap(TvelUIStyle::BlueGlass, 1, &b, 0, 0);
  EXPECT_EQ(b.Width(), 231);
  GetThemeBitmap(TvelUIStyle::BlueGlass, 1, &b, 3, 3);
  EXPECT_EQ(b.Width(), 77);
  EXPECT_EQ(b.Height(), 27);
  EXPECT_EQ(b.GetPixel(0, 0), 154u);
  GetThemeBitmap(TvelUIStyle::WinXP, 5, &b, 18, 16);
  EXPECT_EQ(b.Width(), 21);
  EXPECT_EQ(b.GetPixel(0, 0), 315u);
  EXPECT_EQ(loads_, 3);  // loaded anew every time
  LoadSkinBitmap("PANEL_BUTTON", b);
  EXPECT_EQ(b.Width(), 52);
}

TEST_F(ThemeBitmaps, NotABitmapOrNoDest) {
  TBitmap b(5, 5);
  GetThemeBitmap(TvelUIStyle::BlueGlass, 2, &b, 0, 0);  // a Boolean: unchanged
  EXPECT_EQ(b.Width(), 5);
  GetThemeBitmap(TvelUIStyle::FromThemeFile, 1, &b, 0, 0);
  EXPECT_EQ(b.Width(), 5);
  GetThemeBitmap(TvelUIStyle::BlueGlass, 2, &b, 3, 1);  // with frames: emptied
  EXPECT_TRUE(b.Empty());
  GetThemeBitmap(TvelUIStyle::BlueGlass, 1, nullptr, 3, 1);
  EXPECT_EQ(loads_, 0);
}

TEST_F(ThemeBitmaps, MissingResourceRaises) {
  TBitmap b;
  EXPECT_THROW(GetThemeBitmap(TvelUIStyle::MacOS, 1, &b, 3, 1), EResNotFound);
  EXPECT_THROW(LoadSkinBitmap("NO_SUCH_BITMAP", b), EResNotFound);
}

// A BITMAP resource is the BMP file without its first 14 bytes.
std::vector<uint8_t> Dib(const Bytes& file) { return {file.data() + 14, file.data() + file.size()}; }

TEST(BitmapResource, DibWithoutFileHeader) {
  TBitmap src(7, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) src.SetPixel(x, y, 0x010203u * static_cast<uint32_t>(x + 7 * y));
  for (int bpp : {24, 32}) {
    TBitmap out;
    ASSERT_TRUE(LoadBitmapResourceBytes(Dib(src.SaveToBmp(bpp)), out)) << bpp;
    ASSERT_EQ(out.Width(), 7);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 7; ++x) EXPECT_EQ(out.GetPixel(x, y), src.GetPixel(x, y));
  }
}

TEST(BitmapResource, PalettedDib) {
  // 2x2, 8 bits, two palette entries; the pixels start after the palette.
  std::vector<uint8_t> dib(40 + 2 * 4 + 2 * 4, 0);
  dib[0] = 40;
  dib[4] = 2;
  dib[8] = 2;
  dib[12] = 1;
  dib[14] = 8;
  dib[32] = 2;  // colours used
  const uint8_t palette[] = {0x00, 0x00, 0xFF, 0, 0xFF, 0x00, 0x00, 0};  // red, blue
  std::copy(std::begin(palette), std::end(palette), dib.begin() + 40);
  dib[48] = 0;  // bottom row: red, blue
  dib[49] = 1;
  dib[52] = 1;  // top row: blue, red
  TBitmap out;
  ASSERT_TRUE(LoadBitmapResourceBytes(dib, out));
  EXPECT_EQ(out.GetPixel(0, 1), 0xFF0000u);
  EXPECT_EQ(out.GetPixel(1, 1), 0x0000FFu);
  EXPECT_EQ(out.GetPixel(0, 0), 0x0000FFu);
}

TEST(BitmapResource, DamagedInputIsRefused) {
  TBitmap src(4, 4);
  const std::vector<uint8_t> good = Dib(src.SaveToBmp(24));
  TBitmap out;
  for (size_t cut : {size_t{0}, size_t{3}, size_t{20}, size_t{39}, good.size() - 1}) {
    std::vector<uint8_t> shortened(good.begin(), good.begin() + static_cast<long>(cut));
    EXPECT_FALSE(LoadBitmapResourceBytes(shortened, out)) << cut;
  }
  std::vector<uint8_t> huge = good;
  huge[32] = 0xFF, huge[33] = 0xFF, huge[34] = 0xFF, huge[35] = 0xFF;  // colours used
  EXPECT_FALSE(LoadBitmapResourceBytes(huge, out));
  std::vector<uint8_t> badHeader = good;
  badHeader[0] = 20;
  EXPECT_FALSE(LoadBitmapResourceBytes(badHeader, out));
}

struct FakeThemable : IvelThemable {
  explicit FakeThemable(std::vector<std::string>& log, std::string name, bool frame = false,
                        TvelUIStyle style = TvelUIStyle::DeepBlue)
      : log(log), name(std::move(name)), frame(frame), style(style) {}
  void SetFileTheme(TvelFileTheme* theme) override { log.push_back(name + (theme ? ".theme" : ".notheme")); }
  void SetUIStyle(TvelUIStyle s) override {
    style = s;
    log.push_back(name + ".style" + std::to_string(static_cast<int>(s)));
  }
  TvelUIStyle GetUIStyle() const override { return style; }
  bool IsFormFrame() const override { return frame; }
  std::vector<std::string>& log;
  std::string name;
  bool frame;
  TvelUIStyle style;
};

TEST(StyleBroadcast, ApplyThemeToChildrenInOrderSkippingOthers) {
  std::vector<std::string> log;
  FakeThemable a(log, "a"), b(log, "b");
  IvelThemable* children[] = {&a, nullptr, &b};
  ApplyThemeToChildren(children, TvelUIStyle::Protein, nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"a.notheme", "a.style4", "b.notheme", "b.style4"}));
  log.clear();
  ApplyThemeToChildren(children, TvelUIStyle::FromThemeFile, reinterpret_cast<TvelFileTheme*>(&a));
  EXPECT_EQ(log, (std::vector<std::string>{"a.theme", "a.style0", "b.theme", "b.style0"}));
}

TEST(StyleBroadcast, DefaultStyleFor) {
  std::vector<std::string> log;
  FakeThemable button(log, "button", false, TvelUIStyle::MacOS);
  FakeThemable frame1(log, "frame", true, TvelUIStyle::WinXP);
  FakeThemable frame2(log, "frame2", true, TvelUIStyle::Protein);
  IvelThemable* withFrames[] = {nullptr, &button, &frame1, &frame2};
  IvelThemable* without[] = {&button, nullptr};
  EXPECT_EQ(DefaultStyleFor(true, withFrames), TvelUIStyle::WinXP);
  EXPECT_EQ(DefaultStyleFor(false, withFrames), TvelUIStyle::DeepBlue);
  EXPECT_EQ(DefaultStyleFor(true, without), TvelUIStyle::DeepBlue);
  EXPECT_EQ(DefaultStyleFor(true, {}), TvelUIStyle::DeepBlue);
}

}  // namespace
