// Anti-aliased drawing on TBitmap for the artwork generator: shapes are signed distance
// functions, so edges get a one-pixel soft ramp and glyphs stay crisp at small sizes.
#pragma once
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

#include "framework/Bitmap.h"

namespace art {

struct Rgb {
  float R = 0, G = 0, B = 0;
};
// From a pixel value 0xRRGGBB.
Rgb Hex(uint32_t rrggbb);
uint32_t ToPixel(const Rgb& c);
Rgb Mix(const Rgb& a, const Rgb& b, float t);
Rgb Lighten(const Rgb& c, float t);  // towards white
Rgb Darken(const Rgb& c, float t);   // towards black

constexpr uint32_t kKeyPixel = 0xFF00FF;

struct Box {
  float X0, Y0, X1, Y1;  // pixel edges: a pixel x covers [x, x + 1)
};
struct Pt {
  float X, Y;
};

// Signed distance from a pixel centre to shapes (negative inside).
float RoundRectDistance(float px, float py, const Box& box, float radius);
float CircleDistance(float px, float py, float cx, float cy, float r);
float SegmentDistance(float px, float py, const Pt& a, const Pt& b);
// Distance to an arc of a circle from angle a0 to a1 (radians, clockwise from +x, y down).
float ArcDistance(float px, float py, float cx, float cy, float r, float a0, float a1);
float Coverage(float distance);  // 1 inside, 0 outside, a ramp one pixel wide at the edge

using Shader = std::function<Rgb(float x, float y)>;
using Distance = std::function<float(float px, float py)>;

// Paints every pixel of the bitmap area bounds, blending shader over what is there by the
// coverage of the shape given as a distance function, times alpha.
void FillShape(TBitmap& bmp, const Box& bounds, const Distance& shape, const Shader& shader, float alpha = 1);
void FillRoundRect(TBitmap& bmp, const Box& box, float radius, const Shader& shader, float alpha = 1);
void StrokeRoundRect(TBitmap& bmp, const Box& box, float radius, float width, const Rgb& color, float alpha = 1);
void FillCircle(TBitmap& bmp, float cx, float cy, float r, const Shader& shader, float alpha = 1);
void StrokeCircle(TBitmap& bmp, float cx, float cy, float r, float width, const Rgb& color, float alpha = 1);
// A polyline of round-capped strokes.
void StrokePath(TBitmap& bmp, std::initializer_list<Pt> points, float width, const Rgb& color, float alpha = 1);
void StrokeArc(TBitmap& bmp, float cx, float cy, float r, float a0, float a1, float width, const Rgb& color);

Shader Solid(const Rgb& c);
// Vertical gradient through colour stops at relative heights 0..1 of [y0, y1).
Shader VGradient(float y0, float y1, std::vector<std::pair<float, Rgb>> stops);
Rgb SampleStops(const std::vector<std::pair<float, Rgb>>& stops, float t);

// Pixels of bmp outside the shape (coverage below minCoverage) become the key colour; so the
// edge keeps its anti-aliasing blended against what the image was drawn over. A lower
// minCoverage keeps a softer edge, right on backgrounds near that matte.
void KeyOutside(TBitmap& bmp, int x0, int y0, int x1, int y1, const Distance& shape, float minCoverage = 0.5f);

}  // namespace art
