#include "tools/artgen/ArtPaint.h"

#include <algorithm>
#include <cmath>

namespace art {

Rgb Hex(uint32_t v) {
  return {static_cast<float>((v >> 16) & 0xFF), static_cast<float>((v >> 8) & 0xFF), static_cast<float>(v & 0xFF)};
}

uint32_t ToPixel(const Rgb& c) {
  auto b = [](float v) { return static_cast<uint32_t>(std::clamp(std::lround(v), 0L, 255L)); };
  uint32_t px = b(c.R) << 16 | b(c.G) << 8 | b(c.B);
  // Keep drawn colours off the key so that only deliberate key pixels are see-through.
  return px == kKeyPixel ? 0xFE00FF : px;
}

Rgb Mix(const Rgb& a, const Rgb& b, float t) {
  return {a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t};
}
Rgb Lighten(const Rgb& c, float t) { return Mix(c, {255, 255, 255}, t); }
Rgb Darken(const Rgb& c, float t) { return Mix(c, {0, 0, 0}, t); }

float RoundRectDistance(float px, float py, const Box& box, float radius) {
  const float cx = (box.X0 + box.X1) / 2, cy = (box.Y0 + box.Y1) / 2;
  const float hx = (box.X1 - box.X0) / 2, hy = (box.Y1 - box.Y0) / 2;
  radius = std::min({radius, hx, hy});
  const float qx = std::fabs(px - cx) - hx + radius, qy = std::fabs(py - cy) - hy + radius;
  const float outside = std::hypot(std::max(qx, 0.f), std::max(qy, 0.f));
  return outside + std::min(std::max(qx, qy), 0.f) - radius;
}

float CircleDistance(float px, float py, float cx, float cy, float r) { return std::hypot(px - cx, py - cy) - r; }

float SegmentDistance(float px, float py, const Pt& a, const Pt& b) {
  const float dx = b.X - a.X, dy = b.Y - a.Y;
  const float len2 = dx * dx + dy * dy;
  float t = len2 > 0 ? ((px - a.X) * dx + (py - a.Y) * dy) / len2 : 0;
  t = std::clamp(t, 0.f, 1.f);
  return std::hypot(px - (a.X + t * dx), py - (a.Y + t * dy));
}

float ArcDistance(float px, float py, float cx, float cy, float r, float a0, float a1) {
  float a = std::atan2(py - cy, px - cx);
  const float twoPi = 6.2831853f;
  while (a < a0) a += twoPi;
  while (a > a0 + twoPi) a -= twoPi;
  if (a <= a1) return std::fabs(std::hypot(px - cx, py - cy) - r);
  const Pt e0{cx + r * std::cos(a0), cy + r * std::sin(a0)};
  const Pt e1{cx + r * std::cos(a1), cy + r * std::sin(a1)};
  return std::min(std::hypot(px - e0.X, py - e0.Y), std::hypot(px - e1.X, py - e1.Y));
}

float Coverage(float d) { return std::clamp(0.5f - d, 0.f, 1.f); }

void FillShape(TBitmap& bmp, const Box& bounds, const Distance& shape, const Shader& shader, float alpha) {
  const int x0 = std::max(0, static_cast<int>(std::floor(bounds.X0)) - 1);
  const int y0 = std::max(0, static_cast<int>(std::floor(bounds.Y0)) - 1);
  const int x1 = std::min(bmp.Width(), static_cast<int>(std::ceil(bounds.X1)) + 1);
  const int y1 = std::min(bmp.Height(), static_cast<int>(std::ceil(bounds.Y1)) + 1);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const float px = x + 0.5f, py = y + 0.5f;
      const float a = Coverage(shape(px, py)) * alpha;
      if (a <= 0) continue;
      const Rgb under = Hex(bmp.GetPixel(x, y));
      bmp.SetPixel(x, y, ToPixel(Mix(under, shader(px, py), a)));
    }
}

void FillRoundRect(TBitmap& bmp, const Box& box, float radius, const Shader& shader, float alpha) {
  FillShape(bmp, box, [&](float x, float y) { return RoundRectDistance(x, y, box, radius); }, shader, alpha);
}

void StrokeRoundRect(TBitmap& bmp, const Box& box, float radius, float width, const Rgb& color, float alpha) {
  // A ring of the given width just inside the box's edge.
  const float h = width / 2;
  const Box mid{box.X0 + h, box.Y0 + h, box.X1 - h, box.Y1 - h};
  FillShape(bmp, box, [&](float x, float y) { return std::fabs(RoundRectDistance(x, y, mid, radius - h)) - h; },
            Solid(color), alpha);
}

void FillCircle(TBitmap& bmp, float cx, float cy, float r, const Shader& shader, float alpha) {
  FillShape(bmp, {cx - r, cy - r, cx + r, cy + r}, [&](float x, float y) { return CircleDistance(x, y, cx, cy, r); },
            shader, alpha);
}

void StrokeCircle(TBitmap& bmp, float cx, float cy, float r, float width, const Rgb& color, float alpha) {
  const float m = r - width / 2;
  FillShape(bmp, {cx - r, cy - r, cx + r, cy + r},
            [&](float x, float y) { return std::fabs(CircleDistance(x, y, cx, cy, m)) - width / 2; }, Solid(color),
            alpha);
}

void StrokePath(TBitmap& bmp, std::initializer_list<Pt> points, float width, const Rgb& color, float alpha) {
  std::vector<Pt> p(points);
  if (p.empty()) return;
  Box b{p[0].X, p[0].Y, p[0].X, p[0].Y};
  for (const Pt& q : p) b = {std::min(b.X0, q.X), std::min(b.Y0, q.Y), std::max(b.X1, q.X), std::max(b.Y1, q.Y)};
  b = {b.X0 - width, b.Y0 - width, b.X1 + width, b.Y1 + width};
  FillShape(
      bmp, b,
      [&](float x, float y) {
        float d = 1e9f;
        for (size_t i = 0; i + 1 < p.size(); ++i) d = std::min(d, SegmentDistance(x, y, p[i], p[i + 1]));
        if (p.size() == 1) d = std::hypot(x - p[0].X, y - p[0].Y);
        return d - width / 2;
      },
      Solid(color), alpha);
}

void StrokeArc(TBitmap& bmp, float cx, float cy, float r, float a0, float a1, float width, const Rgb& color) {
  const float e = r + width;
  FillShape(bmp, {cx - e, cy - e, cx + e, cy + e},
            [&](float x, float y) { return ArcDistance(x, y, cx, cy, r, a0, a1) - width / 2; }, Solid(color));
}

Shader Solid(const Rgb& c) {
  return [c](float, float) { return c; };
}

Rgb SampleStops(const std::vector<std::pair<float, Rgb>>& stops, float t) {
  if (t <= stops.front().first) return stops.front().second;
  for (size_t i = 1; i < stops.size(); ++i)
    if (t <= stops[i].first) {
      const float span = stops[i].first - stops[i - 1].first;
      return Mix(stops[i - 1].second, stops[i].second, span > 0 ? (t - stops[i - 1].first) / span : 1);
    }
  return stops.back().second;
}

Shader VGradient(float y0, float y1, std::vector<std::pair<float, Rgb>> stops) {
  return [=](float, float y) { return SampleStops(stops, (y - y0) / std::max(1e-3f, y1 - y0)); };
}

void KeyOutside(TBitmap& bmp, int x0, int y0, int x1, int y1, const Distance& shape, float minCoverage) {
  for (int y = std::max(0, y0); y < std::min(bmp.Height(), y1); ++y)
    for (int x = std::max(0, x0); x < std::min(bmp.Width(), x1); ++x)
      if (Coverage(shape(x + 0.5f, y + 0.5f)) < minCoverage) bmp.SetPixel(x, y, kKeyPixel);
}

}  // namespace art
