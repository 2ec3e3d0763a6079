// The generated theme artwork: every resource with its name, size and frame layout, the key
// colour where the controls draw see-through and nowhere they draw opaque, and loading it
// through the theme functions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <string>

#include "skin/VELPublic.h"
#include "skin/VELThemes.h"
#include "tools/artgen/ThemeArt.h"

namespace {

struct Expect {
  int w, h, frames;
};

std::map<std::string, Expect> ExpectedArt() {
  std::map<std::string, Expect> e;
  const char* prefixes[] = {"MACOS", "WINXP", "DEEPBLUE", "PROTEIN", "BLUEGLASS"};
  const Expect table[8][5] = {
      {{252, 23, 3}, {54, 21, 3}, {222, 21, 3}, {222, 21, 3}, {231, 27, 3}},       // BUTTON
      {{60, 17, 4}, {52, 13, 4}, {52, 13, 4}, {52, 13, 4}, {52, 13, 4}},           // CHECKBOX
      {{64, 17, 4}, {52, 13, 4}, {52, 13, 4}, {52, 13, 4}, {52, 13, 4}},           // RADIOBUTTON
      {{306, 17, 18}, {378, 21, 18}, {342, 19, 18}, {342, 19, 18}, {342, 19, 18}}, // TITLEBTN
      {{48, 23, 1}, {35, 29, 1}, {97, 32, 1}, {441, 23, 1}, {162, 33, 1}},         // TITLE_LEFT
      {{49, 23, 1}, {37, 29, 1}, {98, 32, 1}, {1, 23, 1}, {179, 33, 1}},           // TITLE_CLIENT
      {{48, 23, 1}, {35, 29, 1}, {97, 32, 1}, {1, 23, 1}, {101, 33, 1}},           // TITLE_RIGHT
      {{1, 21, 1}, {1, 21, 1}, {1, 20, 1}, {1, 21, 1}, {1, 21, 1}},                // SIDECHENNEL_BAR
  };
  const char* suffixes[] = {"BUTTON", "CHECKBOX", "RADIOBUTTON", "TITLEBTN", "TITLE_LEFT", "TITLE_CLIENT", "TITLE_RIGHT",
                            "SIDECHENNEL_BAR"};
  for (int r = 0; r < 8; ++r)
    for (int s = 0; s < 5; ++s) e[std::string(prefixes[s]) + "_" + suffixes[r]] = table[r][s];
  e["PANEL_BUTTON"] = {52, 12, 4};
  e["MENU_CHECKED"] = {16, 16, 1};
  e["MACOS_MENU_BAR"] = {1, 22, 1};
  e["MACOS_MENU_SELECT"] = {1, 21, 1};
  e["MACOS_FORM_BACKGROUND"] = {8, 8, 1};
  e["PROTEIN_FORM_BACKGROUND"] = {8, 8, 1};
  return e;
}

class ThemeArt : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { art_ = new std::vector<ThemeArtImage>(GenerateThemeArt()); }
  static void TearDownTestSuite() {
    delete art_;
    art_ = nullptr;
  }
  static const ThemeArtImage& Find(const std::string& name) {
    for (const ThemeArtImage& i : *art_)
      if (i.Name == name) return i;
    throw std::runtime_error("no image " + name);
  }
  static std::vector<ThemeArtImage>* art_;
};
std::vector<ThemeArtImage>* ThemeArt::art_ = nullptr;

constexpr uint32_t kKey = 0xFF00FF;

TEST_F(ThemeArt, NamesSizesFrames) {
  const std::map<std::string, Expect> expected = ExpectedArt();
  ASSERT_EQ(art_->size(), expected.size());
  std::set<std::string> files;
  for (const ThemeArtImage& image : *art_) {
    SCOPED_TRACE(image.Name);
    auto it = expected.find(image.Name);
    ASSERT_NE(it, expected.end());
    EXPECT_EQ(image.Bitmap.Width(), it->second.w);
    EXPECT_EQ(image.Bitmap.Height(), it->second.h);
    EXPECT_EQ(image.Frames, it->second.frames);
    EXPECT_EQ(image.Bitmap.Width() % image.Frames, 0);
    EXPECT_TRUE(files.insert(image.File).second);
  }
  // Every bitmap the theme table names is among them.
  for (TvelUIStyle s : {TvelUIStyle::MacOS, TvelUIStyle::WinXP, TvelUIStyle::DeepBlue, TvelUIStyle::Protein,
                        TvelUIStyle::BlueGlass})
    for (int item = 1; item <= kThemeItemCount; ++item) {
      const ThemeItem it = GetThemeItem(s, item);
      if (it.Kind == ThemeItemKind::Bitmap) {
        EXPECT_EQ(expected.count(it.Name), 1u) << it.Name;
      }
    }
}

TEST_F(ThemeArt, ResourceScriptListsEveryImage) {
  const std::string rc = ThemeArtRc(*art_);
  for (const ThemeArtImage& image : *art_)
    EXPECT_NE(rc.find("\n" + image.Name + " BITMAP \"" + image.File + "\"\n"), std::string::npos) << image.Name;
}

// Corner pixels of every frame.
void ExpectCornersKeyed(const ThemeArtImage& image, bool keyed) {
  const int fw = image.Bitmap.Width() / image.Frames, h = image.Bitmap.Height();
  for (int f = 0; f < image.Frames; ++f)
    for (auto [x, y] : {std::pair{0, 0}, {fw - 1, 0}, {0, h - 1}, {fw - 1, h - 1}}) {
      const bool isKey = image.Bitmap.GetPixel(f * fw + x, y) == kKey;
      EXPECT_EQ(isKey, keyed) << image.Name << " frame " << f + 1 << " at " << x << "," << y;
    }
}

bool HasKey(const TBitmap& b) {
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.GetPixel(x, y) == kKey) return true;
  return false;
}

TEST_F(ThemeArt, KeyColourWhereDrawnSeeThrough) {
  const std::pair<const char*, TvelUIStyle> styles[] = {{"MACOS", TvelUIStyle::MacOS},
                                                        {"WINXP", TvelUIStyle::WinXP},
                                                        {"DEEPBLUE", TvelUIStyle::DeepBlue},
                                                        {"PROTEIN", TvelUIStyle::Protein},
                                                        {"BLUEGLASS", TvelUIStyle::BlueGlass}};
  for (auto [prefix, style] : styles) {
    const std::string p = std::string(prefix) + "_";
    // Buttons and title buttons follow the style's transparency switches (items 2 and 6);
    // opaque ones must carry no key pixel at all, or it would show.
    const bool buttonKeyed = GetThemeBool(style, 2) != 0, titleKeyed = GetThemeBool(style, 6) != 0;
    ExpectCornersKeyed(Find(p + "BUTTON"), buttonKeyed);
    if (!buttonKeyed) {
      EXPECT_FALSE(HasKey(Find(p + "BUTTON").Bitmap)) << p;
    }
    ExpectCornersKeyed(Find(p + "TITLEBTN"), titleKeyed);
    if (!titleKeyed) {
      EXPECT_FALSE(HasKey(Find(p + "TITLEBTN").Bitmap)) << p;
    }
    // Radio marks leave out their bottom-left pixel's colour: the key around the dot.
    ExpectCornersKeyed(Find(p + "RADIOBUTTON"), true);
    const ThemeArtImage& radio = Find(p + "RADIOBUTTON");
    const int fw = radio.Bitmap.Width() / 4;
    for (int f = 0; f < 4; ++f) EXPECT_NE(radio.Bitmap.GetPixel(f * fw + fw / 2, radio.Bitmap.Height() / 2), kKey);
    for (const char* opaque : {"CHECKBOX", "TITLE_CLIENT", "SIDECHENNEL_BAR"})
      EXPECT_FALSE(HasKey(Find(p + opaque).Bitmap)) << p << opaque;
    // Rounded window styles cut the outer top corners of the title bar's end sections.
    const bool rounded = GetThemeInt(style, 14) > 0;
    const TBitmap& left = Find(p + "TITLE_LEFT").Bitmap;
    const TBitmap& right = Find(p + "TITLE_RIGHT").Bitmap;
    EXPECT_EQ(left.GetPixel(0, 0) == kKey, rounded) << p;
    EXPECT_EQ(right.GetPixel(right.Width() - 1, 0) == kKey, rounded) << p;
    EXPECT_NE(left.GetPixel(left.Width() - 1, 0), kKey) << p;
    EXPECT_NE(left.GetPixel(0, left.Height() - 1), kKey) << p;
  }
  for (const char* opaque : {"MENU_CHECKED", "MACOS_MENU_BAR", "MACOS_MENU_SELECT", "MACOS_FORM_BACKGROUND",
                             "PROTEIN_FORM_BACKGROUND"})
    EXPECT_FALSE(HasKey(Find(opaque).Bitmap)) << opaque;
  // The menus mask MENU_CHECKED by white: white background, a dark mark.
  const TBitmap& check = Find("MENU_CHECKED").Bitmap;
  EXPECT_EQ(check.GetPixel(0, 0), 0xFFFFFFu);
  EXPECT_EQ(check.GetPixel(7, 10), 0x000000u);
}

// ---- the look: measured on the normal button frame and the caption strip

struct Rgb {
  double R = 0, G = 0, B = 0;
};
Rgb MeanColour(const TBitmap& b, const TRect& r) {
  Rgb m;
  int n = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) {
      const uint32_t p = b.GetPixel(x, y);
      if (p == kKey) continue;
      m.R += p >> 16, m.G += p >> 8 & 0xFF, m.B += p & 0xFF, ++n;
    }
  return n ? Rgb{m.R / n, m.G / n, m.B / n} : m;
}
double Distance(const Rgb& a, const Rgb& b) { return std::hypot(a.R - b.R, a.G - b.G, a.B - b.B); }
double Hue(const Rgb& c) {
  const double mx = std::max({c.R, c.G, c.B}), mn = std::min({c.R, c.G, c.B}), d = mx - mn;
  if (d == 0) return 0;
  const double h = mx == c.R ? std::fmod((c.G - c.B) / d, 6) : mx == c.G ? (c.B - c.R) / d + 2 : (c.R - c.G) / d + 4;
  return std::fmod(h * 60 + 360, 360);
}
double Saturation(const Rgb& c) {
  const double mx = std::max({c.R, c.G, c.B});
  return mx == 0 ? 0 : (mx - std::min({c.R, c.G, c.B})) / mx;
}
int Luminance(uint32_t p) { return static_cast<int>(0.3 * (p >> 16) + 0.59 * (p >> 8 & 0xFF) + 0.11 * (p & 0xFF)); }

class ThemeLook : public ThemeArt {
 protected:
  static TBitmap Normal(const std::string& prefix) {
    TBitmap f;
    PickBitmapFrame(Find(prefix + "_BUTTON").Bitmap, f, 3, 1);
    return f;
  }
  static Rgb Face(const std::string& prefix) {
    const TBitmap f = Normal(prefix);
    return MeanColour(f, {4, 3, f.Width() - 4, f.Height() - 3});
  }
  static Rgb Strip(const std::string& prefix) {
    const TBitmap& s = Find(prefix + "_SIDECHENNEL_BAR").Bitmap;
    return MeanColour(s, {0, 0, s.Width(), s.Height()});
  }
};

TEST_F(ThemeLook, ButtonsOfTheDarkStripStylesTakeTheirStripsColour) {
  // A pale face under a saturated strip reads as another theme: the face keeps the strip's
  // hue and enough of its colour, while a black caption still reads on it.
  for (const char* style : {"DEEPBLUE", "PROTEIN"}) {
    SCOPED_TRACE(style);
    const Rgb face = Face(style), strip = Strip(style);
    EXPECT_LT(std::fabs(Hue(face) - Hue(strip)), 15);
    EXPECT_GT(Saturation(face), 0.2);
    EXPECT_GT(0.3 * face.R + 0.59 * face.G + 0.11 * face.B, 120);
  }
}

TEST_F(ThemeLook, LookalikeStylesHaveDifferentFaces) {
  for (auto [a, b] : {std::pair{"DEEPBLUE", "BLUEGLASS"}, {"PROTEIN", "WINXP"}, {"DEEPBLUE", "WINXP"}})
    EXPECT_GT(Distance(Face(a), Face(b)), 60) << a << " and " << b;
}

TEST_F(ThemeLook, WinXPFaceShinesFromTopToBottom) {
  const TBitmap f = Normal("WINXP");
  const int x = f.Width() / 2, h = f.Height();
  const int top = Luminance(f.GetPixel(x, 1)), middle = Luminance(f.GetPixel(x, h / 2)),
            bottom = Luminance(f.GetPixel(x, h - 2));
  EXPECT_GE(top - middle, 15);
  EXPECT_GE(middle - bottom, 20);
}

TEST_F(ThemeLook, OpaqueButtonsHaveSquareCornersAndRoundOnesAKey) {
  // An opaque corner of another colour than the border would be a background baked in.
  for (auto [prefix, style] : {std::pair{"MACOS", TvelUIStyle::MacOS}, {"WINXP", TvelUIStyle::WinXP},
                               {"DEEPBLUE", TvelUIStyle::DeepBlue}, {"PROTEIN", TvelUIStyle::Protein},
                               {"BLUEGLASS", TvelUIStyle::BlueGlass}}) {
    if (GetThemeBool(style, 2)) continue;  // keyed corners: checked above
    const ThemeArtImage& image = Find(std::string(prefix) + "_BUTTON");
    const int fw = image.Bitmap.Width() / 3, h = image.Bitmap.Height();
    for (int f = 0; f < 3; ++f) {
      const uint32_t border = image.Bitmap.GetPixel(f * fw + fw / 2, 0);
      for (auto [x, y] : {std::pair{0, 0}, {fw - 1, 0}, {0, h - 1}, {fw - 1, h - 1}})
        EXPECT_EQ(image.Bitmap.GetPixel(f * fw + x, y), border) << prefix << " frame " << f + 1;
    }
  }
}

TEST_F(ThemeLook, MacOSPillEndsAreSmooth) {
  // Along the rounded end, the outermost drawn pixel of most rows is a blend lighter than
  // the outline, not the outline itself in a stair step.
  const TBitmap f = Normal("MACOS");
  const uint32_t outline = f.GetPixel(f.Width() / 2, 0);
  int soft = 0;
  for (int y = 0; y < f.Height() / 2; ++y) {
    int x = 0;
    while (x < f.Width() / 2 && f.GetPixel(x, y) == kKey) ++x;
    soft += Luminance(f.GetPixel(x, y)) > Luminance(outline) + 40;
  }
  EXPECT_GE(soft, f.Height() / 4);
}

TEST_F(ThemeLook, FoldButtonLetsTheStripShowThrough) {
  const ThemeArtImage& image = Find("PANEL_BUTTON");
  ExpectCornersKeyed(image, true);
  TBitmap frame;
  for (int i : {1, 3}) {
    PickBitmapFrame(image.Bitmap, frame, 4, i);
    int key = 0;
    for (int y = 0; y < frame.Height(); ++y)
      for (int x = 0; x < frame.Width(); ++x) key += frame.GetPixel(x, y) == kKey;
    EXPECT_GT(key, frame.Width() * frame.Height() / 2) << "frame " << i;
  }
}

TEST_F(ThemeArt, FramesDiffer) {
  // Hover and pressed faces must look different from the normal one.
  for (const char* name : {"MACOS_BUTTON", "WINXP_BUTTON", "DEEPBLUE_BUTTON", "PROTEIN_BUTTON", "BLUEGLASS_BUTTON",
                           "PANEL_BUTTON", "BLUEGLASS_CHECKBOX", "WINXP_TITLEBTN"}) {
    const ThemeArtImage& image = Find(name);
    TBitmap a, b;
    for (int f = 2; f <= image.Frames; ++f) {
      PickBitmapFrame(image.Bitmap, a, image.Frames, f - 1);
      PickBitmapFrame(image.Bitmap, b, image.Frames, f);
      bool differ = false;
      for (int y = 0; y < a.Height() && !differ; ++y)
        for (int x = 0; x < a.Width() && !differ; ++x) differ = a.GetPixel(x, y) != b.GetPixel(x, y);
      EXPECT_TRUE(differ) << name << " frames " << f - 1 << " and " << f;
    }
  }
}

TEST_F(ThemeArt, LoadsThroughThemeFunctionsAfterBmpRoundTrip) {
  std::map<std::string, std::vector<uint8_t>> files;
  for (const ThemeArtImage& image : *art_) {
    const Bytes bmp = image.Bitmap.SaveToBmp(24);
    files[image.Name].assign(bmp.data() + 14, bmp.data() + bmp.size());  // as a BITMAP resource
  }
  SetSkinBitmapLoader([&](const std::string& name, TBitmap& out) {
    auto it = files.find(name);
    return it != files.end() && LoadBitmapResourceBytes(it->second, out);
  });
  TBitmap face;
  GetThemeBitmap(TvelUIStyle::BlueGlass, 1, &face, 3, 2);
  EXPECT_EQ(face.Width(), 77);
  EXPECT_EQ(face.Height(), 27);
  TBitmap strip;
  GetThemeBitmap(TvelUIStyle::DeepBlue, 42, &strip, 0, 0);
  EXPECT_EQ(strip.Height(), 20);
  for (const ThemeArtImage& image : *art_) {
    TBitmap loaded;
    LoadSkinBitmap(image.Name, loaded);
    ASSERT_EQ(loaded.Width(), image.Bitmap.Width());
    for (int y = 0; y < loaded.Height(); ++y)
      for (int x = 0; x < loaded.Width(); ++x) ASSERT_EQ(loaded.GetPixel(x, y), image.Bitmap.GetPixel(x, y)) << image.Name;
  }
  SetSkinBitmapLoader(nullptr);
}

}  // namespace
