// Draws the five built-in styles. Colours that the controls also use (form colour, caption
// colours, transparency switches) come from the theme table, so artwork and table agree:
// images drawn opaque are painted over the style's form or title colours, images drawn with
// the key colour transparent get fuchsia outside their shape.
#include "tools/artgen/ThemeArt.h"

#include <cctype>
#include <cmath>
#include <functional>

#include "skin/VELThemes.h"
#include "tools/artgen/ArtPaint.h"

using namespace art;

namespace {

using Stops = std::vector<std::pair<float, Rgb>>;

Rgb ColorValue(uint32_t colorValue) { return Hex(ColorToPixel(colorValue)); }
Rgb FormColor(TvelUIStyle s) { return ColorValue(GetThemeColor(s, 15)); }

// Draws frames one by one into a strip.
TBitmap Strip(int frames, int frameW, int h, const std::function<void(TBitmap&, int)>& draw) {
  TBitmap strip(frames * frameW, h);
  for (int i = 0; i < frames; ++i) {
    TBitmap f(frameW, h);
    draw(f, i);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < frameW; ++x) strip.SetPixel(i * frameW + x, y, f.GetPixel(x, y));
  }
  return strip;
}

void FillAll(TBitmap& b, const Shader& shader) {
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) b.SetPixel(x, y, ToPixel(shader(x + 0.5f, y + 0.5f)));
}

// ---- push buttons ------------------------------------------------------------------------

struct ButtonState {
  Stops Face;
  Rgb Border;
  float Gloss = 0;      // white sheen over the upper half
  Rgb Glow;             // inner ring colour
  float GlowAlpha = 0;  // 0: none
  Stops Bezel;          // a frame of this gradient between the border and the face
  float BezelWidth = 0; // 0: no bezel
};

// How a style's buttons meet what is behind them.
struct ButtonEdge {
  float Radius;
  Rgb Matte;                // what the anti-aliased rim is blended against
  float KeyCoverage = 0.5f; // keyed styles: rim pixels covered less than this are see-through
};

// Buttons are drawn by a nine-grid whose edges and centre stretch the rows around the middle
// (and the row below it on the right), and whose bottom edge lands one row off the bottom
// corners. So a face keeps its sharp highlight step above the middle (kStep of the height)
// and changes only smoothly from there down.
constexpr float kStep = 0.38f;

// The rows around the middle are stretched (left, centre and right edges take neighbouring
// rows), so a gradient holds one colour there and resumes below.
Shader Banded(const Stops& stops, float h) {
  return [&stops, h](float, float y) {
    const float t = y / h;
    const float band0 = kStep + 0.04f, band1 = 0.64f;
    const float u = t < band0 ? t : t < band1 ? band0 : band0 + (t - band1) * (1 - band0) / (1 - band1);
    return SampleStops(stops, u);
  };
}

void DrawButton(TBitmap& f, const ButtonEdge& edge, const ButtonState& st, bool keyed) {
  const float w = static_cast<float>(f.Width()), h = static_cast<float>(f.Height());
  const float radius = edge.Radius;
  const Box box{0, 0, w, h};
  FillAll(f, Solid(edge.Matte));
  Box face = box;
  float faceRadius = radius;
  if (st.BezelWidth > 0) {
    FillRoundRect(f, box, radius, Banded(st.Bezel, h));
    const float b = st.BezelWidth;
    face = {b, b, w - b, h - b};
    faceRadius = std::max(0.f, radius - b);
  }
  FillRoundRect(f, face, faceRadius, Banded(st.Face, h));
  if (st.Gloss > 0)
    FillRoundRect(f, {face.X0 + 1.5f, face.Y0 + 1.5f, face.X1 - 1.5f, h * kStep}, std::max(0.f, faceRadius - 1.5f),
                  VGradient(face.Y0 + 1, h * kStep, {{0, {255, 255, 255}}, {1, Lighten(SampleStops(st.Face, 0.3f), 0.3f)}}),
                  st.Gloss);
  if (st.GlowAlpha > 0)
    StrokeRoundRect(f, {face.X0 + 1, face.Y0 + 1, face.X1 - 1, face.Y1 - 1}, std::max(0.f, faceRadius - 1), 2, st.Glow,
                    st.GlowAlpha);
  StrokeRoundRect(f, box, radius, 1, st.Border);
  if (keyed)
    KeyOutside(f, 0, 0, f.Width(), f.Height(), [&](float x, float y) { return RoundRectDistance(x, y, box, radius); },
               edge.KeyCoverage);
}

TBitmap Buttons(TvelUIStyle s, int frameW, int h, const ButtonEdge& edge, const ButtonState states[3]) {
  const bool keyed = GetThemeBool(s, 2) != 0;
  return Strip(3, frameW, h, [&](TBitmap& f, int i) { DrawButton(f, edge, states[i], keyed); });
}

// ---- check boxes and radio buttons -------------------------------------------------------

struct MarkLook {
  Stops Face, CheckedFace;
  Rgb Border, Mark, CheckedBorder;
  float Radius;
};

// Frames: checked enabled, unchecked enabled, checked disabled, unchecked disabled.
TBitmap CheckBoxes(TvelUIStyle s, int frameW, int h, const MarkLook& look) {
  const Rgb matte = FormColor(s);
  return Strip(4, frameW, h, [&](TBitmap& f, int i) {
    const bool checked = i == 0 || i == 2, disabled = i >= 2;
    FillAll(f, Solid(matte));
    const float side = static_cast<float>(std::min(frameW, h));
    const float x0 = std::floor((frameW - side) / 2), y0 = std::floor((h - side) / 2);
    const Box box{x0, y0, x0 + side, y0 + side};
    auto fade = [&](Rgb c) { return disabled ? Mix(c, Mix(matte, Rgb{160, 160, 160}, 0.3f), 0.6f) : c; };
    Stops face = checked ? look.CheckedFace : look.Face;
    for (auto& stop : face) stop.second = fade(stop.second);
    FillRoundRect(f, box, look.Radius, VGradient(box.Y0, box.Y1, face));
    StrokeRoundRect(f, box, look.Radius, 1, fade(checked ? look.CheckedBorder : look.Border));
    if (checked) {
      const float u = side / 13;
      StrokePath(f, {{x0 + 3.2f * u, y0 + 6.6f * u}, {x0 + 5.4f * u, y0 + 9.0f * u}, {x0 + 9.8f * u, y0 + 3.8f * u}},
                 1.9f * u, fade(look.Mark));
    }
  });
}

TBitmap RadioButtons(TvelUIStyle s, int frameW, int h, const MarkLook& look) {
  const Rgb matte = FormColor(s);
  return Strip(4, frameW, h, [&](TBitmap& f, int i) {
    const bool checked = i == 0 || i == 2, disabled = i >= 2;
    FillAll(f, Solid(matte));
    const float r = std::min(frameW, h) / 2.f - 0.25f;
    const float cx = frameW / 2.f, cy = h / 2.f;
    auto fade = [&](Rgb c) { return disabled ? Mix(c, Mix(matte, Rgb{160, 160, 160}, 0.3f), 0.6f) : c; };
    Stops face = checked ? look.CheckedFace : look.Face;
    for (auto& stop : face) stop.second = fade(stop.second);
    FillCircle(f, cx, cy, r, VGradient(cy - r, cy + r, face));
    StrokeCircle(f, cx, cy, r, 1, fade(checked ? look.CheckedBorder : look.Border));
    if (checked) {
      const Rgb dot = fade(look.Mark);
      FillCircle(f, cx, cy, r * 0.42f, VGradient(cy - r * 0.42f, cy + r * 0.42f, {{0, Lighten(dot, 0.35f)}, {1, dot}}));
    }
    // Drawn with the bottom-left pixel's colour left out: everything outside the circle.
    KeyOutside(f, 0, 0, frameW, h, [&](float x, float y) { return CircleDistance(x, y, cx, cy, r); });
  });
}

// ---- title bars --------------------------------------------------------------------------

enum class Glyph { ControlBox, Help, Maximize, Restore, Minimize, Close };

// A glyph centred at (cx, cy) in a square of side g.
void DrawGlyph(TBitmap& f, Glyph kind, float cx, float cy, float g, float stroke, const Rgb& c) {
  const float l = std::round(cx - g / 2), t = std::round(cy - g / 2), r = l + std::round(g), b = t + std::round(g);
  switch (kind) {
    case Glyph::Close:
      StrokePath(f, {{l + 0.5f, t + 0.5f}, {r - 0.5f, b - 0.5f}}, stroke, c);
      StrokePath(f, {{r - 0.5f, t + 0.5f}, {l + 0.5f, b - 0.5f}}, stroke, c);
      break;
    case Glyph::Minimize:
      FillRoundRect(f, {l, b - 2, r, b}, 0, Solid(c));
      break;
    case Glyph::Maximize:
      StrokeRoundRect(f, {l, t, r, b}, 0, 1, c);
      FillRoundRect(f, {l, t, r, t + 2}, 0, Solid(c));
      break;
    case Glyph::Restore: {
      // The back window shows only where the front one does not cover it.
      const float s = std::round(g * 0.7f);
      auto px = [&](float x0, float y0, float x1, float y1) { FillRoundRect(f, {x0, y0, x1, y1}, 0, Solid(c)); };
      px(r - s, t, r, t + 2);          // back: title
      px(r - 1, t, r, t + s);          // back: right edge
      px(r - s, t, r - s + 1, b - s);  // back: left edge above the front window
      px(l + s, t + s - 1, r, t + s);  // back: bottom edge right of the front window
      const Box front{l, b - s, l + s, b};
      StrokeRoundRect(f, front, 0, 1, c);
      px(front.X0, front.Y0, front.X1, front.Y0 + 2);
      break;
    }
    case Glyph::Help: {
      const float rr = g * 0.27f, hx = cx, hy = t + rr + 0.6f;
      StrokeArc(f, hx, hy, rr, -3.3f, 0.75f, stroke, c);
      const Pt end{hx + rr * std::cos(0.75f), hy + rr * std::sin(0.75f)};
      StrokePath(f, {end, {hx, hy + rr + 1.6f}, {hx, b - g * 0.28f}}, stroke, c);
      FillCircle(f, hx, b - stroke * 0.55f, stroke * 0.62f, Solid(c));
      break;
    }
    case Glyph::ControlBox: {
      // The window menu: four small panes of an application tile.
      const float pane = std::floor((r - l - 1) / 2);
      for (int i = 0; i < 4; ++i) {
        const float x = l + (i % 2) * (pane + 1), y = t + (i / 2) * (pane + 1);
        FillRoundRect(f, {x, y, x + pane, y + pane}, 0.6f, Solid(c));
      }
      break;
    }
  }
}

struct TitleButtonLook {
  // Per state (normal, hot, pressed): the button face; the close button has its own.
  Stops Face[3], CloseFace[3];
  Rgb Border[3], GlyphColor[3], CloseGlyph[3];
  float Radius;     // corner radius; a round button when it is half the size
  float Inset;      // gap around the face inside the frame
  float Stroke;     // glyph line width
  float GlyphSize;  // relative to the frame
  float Gloss;
};

// 18 frames: control box, help, maximize, restore, minimize, close; normal, hot, pressed each.
// Opaque styles paint the title bar behind the button (rows from the button's top), keyed
// styles leave the key colour around it.
TBitmap TitleButtons(TvelUIStyle s, int size, const TitleButtonLook& look, const Shader& titleBehind) {
  const bool keyed = GetThemeBool(s, 6) != 0;
  const float top = static_cast<float>(GetThemeInt(s, 9));
  return Strip(18, size, size, [&](TBitmap& f, int i) {
    const Glyph kind = static_cast<Glyph>(i / 3);
    const int state = i % 3;
    const bool close = kind == Glyph::Close;
    FillAll(f, [&](float x, float y) { return titleBehind(x, y + top); });
    const float n = static_cast<float>(size);
    const Box box{look.Inset, look.Inset, n - look.Inset, n - look.Inset};
    const Stops& face = close ? look.CloseFace[state] : look.Face[state];
    FillRoundRect(f, box, look.Radius, VGradient(box.Y0, box.Y1, face));
    if (look.Gloss > 0)
      FillRoundRect(f, {box.X0 + 1.5f, box.Y0 + 1, box.X1 - 1.5f, (box.Y0 + box.Y1) / 2}, look.Radius * 0.8f,
                    VGradient(box.Y0, (box.Y0 + box.Y1) / 2, {{0, {255, 255, 255}}, {1, {255, 255, 255}}}),
                    look.Gloss * (state == 2 ? 0.5f : 1));
    StrokeRoundRect(f, box, look.Radius, 1, look.Border[state]);
    const Rgb gc = close ? look.CloseGlyph[state] : look.GlyphColor[state];
    const float off = state == 2 ? 0.5f : 0;
    DrawGlyph(f, kind, n / 2 + off, n / 2 + off, std::round(n * look.GlyphSize), look.Stroke, gc);
    if (keyed)
      KeyOutside(f, 0, 0, size, size, [&](float x, float y) { return RoundRectDistance(x, y, box, look.Radius); });
  });
}

struct TitleImages {
  TBitmap Left, Client, Right;
};

// The client section is the bar's vertical gradient; the end sections add the outer rounded
// corner (keyed, matching the window's rounded region) and a decoration that fades into the
// client colour where they meet it.
TitleImages TitleBar(TvelUIStyle s, int leftW, int clientW, int rightW, int h, const Shader& bar,
                     const std::function<void(TBitmap&, bool left)>& decorate) {
  TitleImages t;
  t.Client = TBitmap(clientW, h);
  FillAll(t.Client, bar);
  const float radius = GetThemeInt(s, 14) / 2.f;
  for (int side = 0; side < 2; ++side) {
    const bool left = side == 0;
    TBitmap b(left ? leftW : rightW, h);
    FillAll(b, bar);
    if (decorate) decorate(b, left);
    if (radius > 0) {
      const float w = static_cast<float>(b.Width());
      // The corner's box reaches past the inner end and the bottom, so only the outer top corner rounds.
      const Box shape = left ? Box{0, 0, w + 2 * radius, h + 2 * radius} : Box{-2 * radius, 0, w, h + 2 * radius};
      KeyOutside(b, 0, 0, b.Width(), b.Height(), [&](float x, float y) { return RoundRectDistance(x, y, shape, radius); });
    }
    (left ? t.Left : t.Right) = std::move(b);
  }
  return t;
}

// A soft highlight line along the top of a title bar.
Shader WithTopLine(const Shader& bar, const Rgb& line, float alpha) {
  return [=](float x, float y) { return y < 1 ? Mix(bar(x, y), line, alpha) : bar(x, y); };
}

TBitmap VerticalStrip(int h, const Stops& stops) {
  TBitmap b(1, h);
  FillAll(b, VGradient(0, static_cast<float>(h), stops));
  return b;
}

// ---- the styles --------------------------------------------------------------------------

struct StyleArt {
  TBitmap Button, CheckBox, RadioButton, TitleButtons, SideBar;
  TitleImages Title;
};

const Rgb kWhite{255, 255, 255};

StyleArt MacOSArt() {
  const auto s = TvelUIStyle::MacOS;
  StyleArt a;
  const ButtonState states[3] = {
      {{{0, Hex(0xFDFDFD)}, {0.38f, Hex(0xEDEDED)}, {0.42f, Hex(0xDFDFDF)}, {0.65f, Hex(0xE3E3E3)}, {1, Hex(0xF7F7F7)}}, Hex(0x8E8E8E), 0.55f, {}, 0},
      {{{0, Hex(0xC4E2FC)}, {0.38f, Hex(0x7DBBF5)}, {0.42f, Hex(0x4A97E9)}, {0.65f, Hex(0x5AA5EE)}, {1, Hex(0x9CD3FB)}}, Hex(0x2F5E9E), 0.6f, {}, 0},
      {{{0, Hex(0x8DBDEE)}, {0.38f, Hex(0x5094DE)}, {0.42f, Hex(0x2D70C5)}, {0.65f, Hex(0x3C80D2)}, {1, Hex(0x6BA7E6)}}, Hex(0x1F4A80), 0.35f, {}, 0}};
  // Pill ends keep a soft rim: pixels mostly outside are blended against a light matte, as
  // MacOS buttons sit on light forms and panels.
  a.Button = Buttons(s, 84, 23, {11.5f, Mix(FormColor(s), kWhite, 0.5f), 0.12f}, states);
  const MarkLook marks{{{0, Hex(0xFFFFFF)}, {0.5f, Hex(0xEFEFEF)}, {1, Hex(0xDADADA)}},
                       {{0, Hex(0xB4D8FA)}, {0.5f, Hex(0x62A6EE)}, {0.52f, Hex(0x3A88DE)}, {1, Hex(0x8CC6F8)}},
                       Hex(0x8A8A8A), Hex(0x10243E), Hex(0x2F5E9E), 3};
  a.CheckBox = CheckBoxes(s, 15, 17, marks);
  MarkLook radio = marks;
  radio.Mark = Hex(0x14263F);
  a.RadioButton = RadioButtons(s, 16, 17, radio);
  const Shader bar = WithTopLine(
      VGradient(0, 23, {{0, Hex(0xF4F4F4)}, {0.55f, Hex(0xDEDEDE)}, {0.96f, Hex(0xC9C9C9)}, {1, Hex(0x9A9A9A)}}),
      kWhite, 0.9f);
  a.Title = TitleBar(s, 48, 49, 48, 23, bar, nullptr);
  // Gumdrops: each kind its own colour, the glyph dark and crisp.
  auto drop = [](uint32_t top, uint32_t mid, uint32_t low) {
    return Stops{{0, Hex(top)}, {0.5f, Hex(mid)}, {1, Hex(low)}};
  };
  TitleButtonLook look{};
  for (int st = 0; st < 3; ++st) {
    const float d = st == 2 ? 0.25f : 0;
    const float l = st == 1 ? 0.18f : 0;
    auto tone = [&](Stops x) {
      for (auto& p : x) p.second = Lighten(Darken(p.second, d), l);
      return x;
    };
    look.Face[st] = tone(drop(0xE4EEF8, 0x9FBCD8, 0x6E93BC));
    look.CloseFace[st] = tone(drop(0xFFB3A8, 0xEE5A4C, 0xC8352A));
    look.Border[st] = Darken(Hex(0x6E7E90), d);
    look.GlyphColor[st] = st == 0 ? Hex(0x2C3E55) : Hex(0x10202F);
    look.CloseGlyph[st] = st == 0 ? Hex(0x6A1410) : Hex(0x400806);
  }
  look.Radius = 7.5f;
  look.Inset = 1;
  look.Stroke = 1.5f;
  look.GlyphSize = 0.42f;
  look.Gloss = 0.55f;
  a.TitleButtons = TitleButtons(s, 17, look, bar);
  a.SideBar = VerticalStrip(21, {{0, Hex(0xFBFBFB)}, {0.5f, Hex(0xE6E6E6)}, {0.95f, Hex(0xD2D2D2)}, {1, Hex(0xA8A8A8)}});
  return a;
}

StyleArt WinXPArt() {
  const auto s = TvelUIStyle::WinXP;
  StyleArt a;
  const Rgb border = Hex(0x003C74);
  // White at the top shading down to beige: the vertical shine of the face.
  const Stops face{{0, Hex(0xFFFFFF)}, {0.14f, Hex(0xFFFFFF)}, {0.42f, Hex(0xECE9DF)}, {0.72f, Hex(0xE0DBCC)},
                   {0.9f, Hex(0xCDC5AE)}, {1, Hex(0xB5AA8C)}};
  const ButtonState states[3] = {
      {face, border, 0, {}, 0},
      {face, border, 0, Hex(0xF5B843), 0.95f},
      {{{0, Hex(0xD3CFC2)}, {0.42f, Hex(0xE2DFD5)}, {1, Hex(0xF4F3EE)}}, border, 0, {}, 0}};
  // Keyed round corners, so no beige is baked into them.
  a.Button = Buttons(s, 18, 21, {3, Mix(FormColor(s), kWhite, 0.5f), 0.3f}, states);
  const MarkLook marks{{{0, Hex(0xDCDCD7)}, {1, Hex(0xFFFFFF)}}, {{0, Hex(0xDCDCD7)}, {1, Hex(0xFFFFFF)}},
                       Hex(0x1C5180), Hex(0x21A121), Hex(0x1C5180), 0};
  a.CheckBox = CheckBoxes(s, 13, 13, marks);
  MarkLook radio = marks;
  radio.Mark = Hex(0x2DB42D);
  a.RadioButton = RadioButtons(s, 13, 13, radio);
  const Shader bar = WithTopLine(VGradient(0, 29, {{0, Hex(0x3D95FF)},
                                                   {0.12f, Hex(0x2A7EF3)},
                                                   {0.4f, Hex(0x0B60E6)},
                                                   {0.8f, Hex(0x0355DB)},
                                                   {0.93f, Hex(0x0050D0)},
                                                   {1, Hex(0x003EB0)}}),
                                 Hex(0x9CC6FF), 0.8f);
  a.Title = TitleBar(s, 35, 37, 35, 29, bar, nullptr);
  TitleButtonLook look{};
  for (int st = 0; st < 3; ++st) {
    const float d = st == 2 ? 0.22f : 0, l = st == 1 ? 0.15f : 0;
    auto tone = [&](uint32_t c) { return Lighten(Darken(Hex(c), d), l); };
    look.Face[st] = {{0, tone(0x8DB9FB)}, {0.35f, tone(0x3C85F5)}, {1, tone(0x1657D6)}};
    look.CloseFace[st] = {{0, tone(0xF6AB90)}, {0.35f, tone(0xE5673F)}, {1, tone(0xC2401C)}};
    look.Border[st] = kWhite;
    look.GlyphColor[st] = kWhite;
    look.CloseGlyph[st] = kWhite;
  }
  look.Radius = 3;
  look.Inset = 0;
  look.Stroke = 2;
  look.GlyphSize = 0.43f;
  look.Gloss = 0.25f;
  a.TitleButtons = TitleButtons(s, 21, look, bar);
  a.SideBar = VerticalStrip(21, {{0, Hex(0xF2F7FF)}, {0.5f, Hex(0xD6E5FB)}, {0.95f, Hex(0xBBD2F3)}, {1, Hex(0x8FAEDC)}});
  return a;
}

StyleArt DeepBlueArt() {
  const auto s = TvelUIStyle::DeepBlue;
  StyleArt a;
  const Rgb border = Hex(0x1E3A6E);
  // The navy of the caption strip framing a steel face: square, as the style's panels are.
  const Rgb rim = Hex(0x08152C);
  const Stops navy{{0, Hex(0x5273A8)}, {0.42f, Hex(0x2B4775)}, {1, Hex(0x142A50)}};
  const Stops navyLit{{0, Hex(0x7898CF)}, {0.42f, Hex(0x3D5E96)}, {1, Hex(0x203E70)}};
  const Stops navyDark{{0, Hex(0x10244A)}, {0.42f, Hex(0x1A3360)}, {1, Hex(0x2B4775)}};
  const ButtonState states[3] = {
      {{{0, Hex(0xB5C6E3)}, {0.38f, Hex(0x8FA6CF)}, {0.42f, Hex(0x7890BD)}, {1, Hex(0x5C78AA)}}, rim, 0, {}, 0, navy, 2},
      {{{0, Hex(0xCCDAF0)}, {0.38f, Hex(0xA5BAE0)}, {0.42f, Hex(0x8CA4D0)}, {1, Hex(0x7290C4)}}, rim, 0, Hex(0xB8D0F6), 0.3f, navyLit, 2},
      {{{0, Hex(0x5E78A8)}, {0.42f, Hex(0x7088B6)}, {1, Hex(0x90A6CC)}}, rim, 0, {}, 0, navyDark, 2}};
  a.Button = Buttons(s, 74, 21, {0, FormColor(s)}, states);  // square: nothing of a background baked in
  const MarkLook marks{{{0, Hex(0xD9E2F0)}, {1, Hex(0xFFFFFF)}}, {{0, Hex(0xD9E2F0)}, {1, Hex(0xFFFFFF)}},
                       border, Hex(0x1E3A6E), border, 0};
  a.CheckBox = CheckBoxes(s, 13, 13, marks);
  a.RadioButton = RadioButtons(s, 13, 13, marks);
  const Shader bar = WithTopLine(VGradient(0, 32, {{0, Hex(0x4A6A9E)},
                                                   {0.48f, Hex(0x223C6A)},
                                                   {0.5f, Hex(0x18305A)},
                                                   {0.95f, Hex(0x0E1E3C)},
                                                   {1, Hex(0x060E1E)}}),
                                 Hex(0x8EA8D4), 0.7f);
  // The end sections carry a thin lighter rule that frames the caption area.
  a.Title = TitleBar(s, 97, 98, 97, 32, bar, [&](TBitmap& b, bool left) {
    const float w = static_cast<float>(b.Width());
    for (int x = 0; x < b.Width(); ++x) {
      const float t = left ? x / w : 1 - x / w;  // 0 at the outer end
      const float alpha = 0.35f * (1 - t);
      for (int y = 2; y < 31; ++y) {
        const Rgb c = Hex(b.GetPixel(x, y));
        b.SetPixel(x, y, ToPixel(Mix(c, Hex(0x3A5C96), alpha * (1 - std::fabs(y - 16.f) / 15))));
      }
    }
  });
  TitleButtonLook look{};
  for (int st = 0; st < 3; ++st) {
    const float l = st == 1 ? 0.2f : 0, d = st == 2 ? 0.3f : 0;
    auto tone = [&](uint32_t c) { return Lighten(Darken(Hex(c), d), l); };
    look.Face[st] = {{0, tone(0x3B5A8E)}, {0.5f, tone(0x213C6A)}, {1, tone(0x182E55)}};
    look.CloseFace[st] = st == 0 ? look.Face[st] : Stops{{0, tone(0xC0504A)}, {1, tone(0x8C1F1A)}};
    look.Border[st] = tone(0x7F9CCB);
    look.GlyphColor[st] = Hex(0xE4ECF8);
    look.CloseGlyph[st] = Hex(0xF4F6FA);
  }
  look.Radius = 2;
  look.Inset = 0;
  look.Stroke = 1.7f;
  look.GlyphSize = 0.42f;
  look.Gloss = 0.12f;
  a.TitleButtons = TitleButtons(s, 19, look, bar);
  a.SideBar = VerticalStrip(20, {{0, Hex(0x4D6EA3)}, {0.5f, Hex(0x2B4775)}, {0.52f, Hex(0x213C68)}, {1, Hex(0x142A50)}});
  return a;
}

StyleArt ProteinArt() {
  const auto s = TvelUIStyle::Protein;
  StyleArt a;
  const Rgb accent = Hex(0x2D30C4);
  // Violet gel, the colour of the caption strip, light enough in the middle for the caption.
  const ButtonState states[3] = {
      {{{0, Hex(0xE9EAFF)}, {0.38f, Hex(0xC5C8FA)}, {0.42f, Hex(0xA9ADF3)}, {0.7f, Hex(0x9499EC)}, {1, Hex(0xB3B7F5)}}, Hex(0x3A41C2), 0.45f, {}, 0},
      {{{0, Hex(0xF4F4FF)}, {0.38f, Hex(0xD4D6FC)}, {0.42f, Hex(0xBABDF7)}, {0.7f, Hex(0xA6AAF2)}, {1, Hex(0xC4C7F9)}}, Hex(0x4E55D6), 0.5f, Hex(0xE6E7FF), 0.4f},
      {{{0, Hex(0x8489E0)}, {0.38f, Hex(0x9297E6)}, {0.42f, Hex(0x9DA1EA)}, {0.7f, Hex(0xA9ADEE)}, {1, Hex(0xBCC0F4)}}, Hex(0x2D33A8), 0.1f, {}, 0}};
  a.Button = Buttons(s, 74, 21, {0, FormColor(s)}, states);  // square: nothing of a background baked in
  const MarkLook marks{{{0, Hex(0xECEDF8)}, {1, Hex(0xFFFFFF)}}, {{0, Hex(0xECEDF8)}, {1, Hex(0xFFFFFF)}},
                       Hex(0x7C82CC), accent, Hex(0x5C62D6), 2};
  a.CheckBox = CheckBoxes(s, 13, 13, marks);
  a.RadioButton = RadioButtons(s, 13, 13, marks);
  const Stops barStops{{0, Hex(0x9AA0F2)}, {0.5f, Hex(0x636AE0)}, {0.52f, Hex(0x555CD8)}, {1, Hex(0x4249CA)}};
  const Shader bar = WithTopLine(VGradient(0, 23, barStops), Hex(0xD0D3FF), 0.8f);
  // The wide left section: a sheen of soft bubbles that fades into the bar where it ends.
  a.Title = TitleBar(s, 441, 1, 1, 23, bar, [&](TBitmap& b, bool left) {
    if (!left) return;
    const float w = static_cast<float>(b.Width());
    const struct { float x, y, r; } bubbles[] = {{150, 6, 9}, {190, 18, 7}, {232, 4, 6}, {268, 15, 10}, {318, 8, 5}};
    for (const auto& c : bubbles) FillCircle(b, c.x, c.y, c.r, Solid(kWhite), 0.10f);
    for (int x = 0; x < b.Width(); ++x) {
      const float fade = std::clamp((w - 40 - x) / 200.f, 0.f, 1.f);
      for (int y = 1; y < 11; ++y) b.SetPixel(x, y, ToPixel(Mix(Hex(b.GetPixel(x, y)), kWhite, 0.10f * fade)));
    }
  });
  TitleButtonLook look{};
  for (int st = 0; st < 3; ++st) {
    const float l = st == 1 ? 0.1f : 0, d = st == 2 ? 0.18f : 0;
    auto tone = [&](uint32_t c) { return Lighten(Darken(Hex(c), d), l); };
    look.Face[st] = {{0, tone(0xFFFFFF)}, {0.5f, tone(0xE8E9FA)}, {1, tone(0xC9CCF2)}};
    look.CloseFace[st] = look.Face[st];
    look.Border[st] = Hex(0x2E34A8);
    look.GlyphColor[st] = accent;
    look.CloseGlyph[st] = st == 0 ? accent : Hex(0xC8281E);
  }
  look.Radius = 8.5f;
  look.Inset = 0.5f;
  look.Stroke = 1.7f;
  look.GlyphSize = 0.4f;
  look.Gloss = 0.4f;
  a.TitleButtons = TitleButtons(s, 19, look, bar);
  a.SideBar = VerticalStrip(21, barStops);
  return a;
}

StyleArt BlueGlassArt() {
  const auto s = TvelUIStyle::BlueGlass;
  StyleArt a;
  const ButtonState states[3] = {
      {{{0, Hex(0xF6FAFE)}, {0.38f, Hex(0xDFEDFA)}, {0.42f, Hex(0xC6DEF6)}, {0.65f, Hex(0xCCE2F7)}, {1, Hex(0xE0F0FD)}}, Hex(0x5C8FC4), 0.5f, {}, 0},
      {{{0, Hex(0xEEF8FF)}, {0.38f, Hex(0xCFE9FF)}, {0.42f, Hex(0xAAD7FB)}, {0.65f, Hex(0xB4DCFC)}, {1, Hex(0xD2EEFF)}}, Hex(0x3C7FB1), 0.5f, Hex(0x7FD4FF), 0.6f},
      {{{0, Hex(0xC4DDF3)}, {0.38f, Hex(0xA8CBEC)}, {0.42f, Hex(0x8CB8E3)}, {0.65f, Hex(0x94BEE6)}, {1, Hex(0xAED0EF)}}, Hex(0x2C628B), 0.2f, {}, 0}};
  a.Button = Buttons(s, 77, 27, {4, FormColor(s)}, states);
  const MarkLook marks{{{0, Hex(0xE6F1FC)}, {0.5f, Hex(0xF7FBFF)}, {1, Hex(0xFFFFFF)}},
                       {{0, Hex(0xCFE6FB)}, {0.5f, Hex(0xE8F3FD)}, {1, Hex(0xFFFFFF)}},
                       Hex(0x5C8FC4), Hex(0x1F5FA8), Hex(0x3C7FB1), 2};
  a.CheckBox = CheckBoxes(s, 13, 13, marks);
  MarkLook radio = marks;
  radio.Mark = Hex(0x2A78D0);
  a.RadioButton = RadioButtons(s, 13, 13, radio);
  const Stops barStops{{0, Hex(0x9ACBF5)}, {0.46f, Hex(0x549BE0)}, {0.5f, Hex(0x2468C0)}, {0.92f, Hex(0x3A86D6)}, {1, Hex(0x2A6AB0)}};
  const Shader bar = WithTopLine(VGradient(0, 33, barStops), Hex(0xE2F1FF), 0.9f);
  a.Title = TitleBar(s, 162, 179, 101, 33, bar, [&](TBitmap& b, bool left) {
    // A glass reflection arching over the outer end.
    const float w = static_cast<float>(b.Width());
    const float cx = left ? 0 : w;
    FillShape(b, {0, 0, w, 16}, [&](float x, float y) { return CircleDistance(x, y * 2.2f, cx, -40, 70); },
              Solid(kWhite), 0.12f);
  });
  TitleButtonLook look{};
  for (int st = 0; st < 3; ++st) {
    const float l = st == 1 ? 0.2f : 0, d = st == 2 ? 0.25f : 0;
    auto tone = [&](uint32_t c) { return Lighten(Darken(Hex(c), d), l); };
    look.Face[st] = {{0, tone(0x8CC4F4)}, {0.48f, tone(0x3C88D8)}, {0.52f, tone(0x1F5DB4)}, {1, tone(0x4B9BE4)}};
    look.CloseFace[st] = {{0, tone(0xF4A090)}, {0.48f, tone(0xDC4A36)}, {0.52f, tone(0xB42C1C)}, {1, tone(0xE0604A)}};
    look.Border[st] = Hex(0x123E78);
    look.GlyphColor[st] = kWhite;
    look.CloseGlyph[st] = kWhite;
  }
  look.Radius = 9;
  look.Inset = 0.5f;
  look.Stroke = 1.7f;
  look.GlyphSize = 0.4f;
  look.Gloss = 0.35f;
  a.TitleButtons = TitleButtons(s, 19, look, bar);
  a.SideBar = VerticalStrip(21, barStops);
  return a;
}

// ---- fixed-name images -------------------------------------------------------------------

// Fold button: up double chevron (plain, lit), down double chevron (plain, lit). It stands on
// every style's caption strip, so its background is the key colour: plain, white chevrons
// with a dark outline that shows on light and dark strips alike; lit, dark chevrons on a small
// light plate with corners cut square to the key.
TBitmap PanelButton() {
  return Strip(4, 13, 12, [](TBitmap& f, int i) {
    const bool lit = i % 2 == 1, down = i >= 2;
    f.Fill(kKeyPixel);
    if (lit) {
      FillAll(f, VGradient(0, 12, {{0, Hex(0xFFFFFF)}, {1, Hex(0xCFE2F8)}}));
      StrokeRoundRect(f, {0, 0, 13, 12}, 0, 1, Hex(0x2F6CB0));
      for (auto [x, y] : {std::pair{0, 0}, {12, 0}, {0, 11}, {12, 11}}) f.SetPixel(x, y, kKeyPixel);
    }
    const uint32_t ink = ToPixel(lit ? Hex(0x174F94) : Hex(0xFFFFFF));
    // Pixel-exact chevrons, two pixels thick: crisper than smoothed lines at this size.
    static const int kRows[4][2] = {{6, 6}, {5, 7}, {4, 8}, {3, 9}};
    std::vector<std::pair<int, int>> mark;
    for (int k = 0; k < 2; ++k)
      for (int row = 0; row < 4; ++row) {
        const int y = down ? 9 - (k * 4 + row) : 2 + k * 4 + row;
        for (int x : {kRows[row][0], kRows[row][1]}) {
          mark.push_back({x, y});
          if (row > 0) mark.push_back({x < 6 ? x + 1 : x - 1, y});
        }
      }
    if (!lit) {
      // A shadow one pixel down and right: the white shows on dark strips, the shadow on light ones.
      const uint32_t shadow = ToPixel(Hex(0x27303F));
      for (auto [x, y] : mark)
        for (auto [dx, dy] : {std::pair{1, 1}, {0, 1}, {1, 0}})
          if (x + dx < 13 && y + dy < 12) f.SetPixel(x + dx, y + dy, shadow);
    }
    for (auto [x, y] : mark) f.SetPixel(x, y, ink);
  });
}

TBitmap MenuChecked() {
  TBitmap b(16, 16);
  b.Fill(0xFFFFFF);  // the menus mask white out
  StrokePath(b, {{4.5f, 8.2f}, {7.0f, 10.8f}, {11.8f, 5.0f}}, 2.0f, Hex(0x000000));
  return b;
}

TBitmap Pinstripes() {
  TBitmap b(8, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) b.SetPixel(x, y, y % 4 < 2 ? 0xF0F0F0 : 0xE4E4E4);
  return b;
}

TBitmap ProteinTexture() {
  TBitmap b(8, 8);
  b.Fill(0xFBFBFB);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      if ((x + y) % 8 == 0) b.SetPixel(x, y, 0xF1F1F8);
  return b;
}

void Add(std::vector<ThemeArtImage>& out, std::string name, int frames, TBitmap bmp) {
  std::string file;
  for (char ch : name) file += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  out.push_back({std::move(name), file + ".bmp", frames, std::move(bmp)});
}

}  // namespace

std::vector<ThemeArtImage> GenerateThemeArt() {
  std::vector<ThemeArtImage> out;
  const struct {
    const char* Prefix;
    StyleArt (*Make)();
  } styles[] = {{"MACOS", MacOSArt}, {"WINXP", WinXPArt}, {"DEEPBLUE", DeepBlueArt}, {"PROTEIN", ProteinArt}, {"BLUEGLASS", BlueGlassArt}};
  for (const auto& st : styles) {
    StyleArt a = st.Make();
    const std::string p = std::string(st.Prefix) + "_";
    Add(out, p + "BUTTON", 3, std::move(a.Button));
    Add(out, p + "CHECKBOX", 4, std::move(a.CheckBox));
    Add(out, p + "RADIOBUTTON", 4, std::move(a.RadioButton));
    Add(out, p + "TITLEBTN", 18, std::move(a.TitleButtons));
    Add(out, p + "TITLE_LEFT", 1, std::move(a.Title.Left));
    Add(out, p + "TITLE_CLIENT", 1, std::move(a.Title.Client));
    Add(out, p + "TITLE_RIGHT", 1, std::move(a.Title.Right));
    Add(out, p + "SIDECHENNEL_BAR", 1, std::move(a.SideBar));
  }
  Add(out, "PANEL_BUTTON", 4, PanelButton());
  Add(out, "MENU_CHECKED", 1, MenuChecked());
  Add(out, "MACOS_MENU_BAR", 1,
      VerticalStrip(22, {{0, Hex(0xFAFAFA)}, {0.5f, Hex(0xEDEDED)}, {0.95f, Hex(0xDDDDDD)}, {1, Hex(0xB4B4B4)}}));
  Add(out, "MACOS_MENU_SELECT", 1,
      VerticalStrip(21, {{0, Hex(0x7DB4F2)}, {0.5f, Hex(0x4B8EE6)}, {0.52f, Hex(0x3A7EDC)}, {1, Hex(0x2F6CD0)}}));
  Add(out, "MACOS_FORM_BACKGROUND", 1, Pinstripes());
  Add(out, "PROTEIN_FORM_BACKGROUND", 1, ProteinTexture());
  return out;
}

std::string ThemeArtRc(const std::vector<ThemeArtImage>& images) {
  std::string rc = "// Built-in theme bitmaps, written by the artwork generator.\n";
  for (const ThemeArtImage& image : images) rc += image.Name + " BITMAP \"" + image.File + "\"\n";
  return rc;
}
