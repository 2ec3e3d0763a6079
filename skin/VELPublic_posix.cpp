// Host side of the drawing helpers: system colours resolve to the classic Windows scheme.
#include <cstdint>

#include "skin/VELPublic.h"

uint32_t ResolveSystemColor(uint32_t color) {
  if (!(color & 0x80000000u)) return color & 0xFFFFFF;
  // RGB triples of the COLOR_* indices 0..30 in the classic scheme.
  static constexpr uint32_t kClassic[31] = {
      0xC8C8C8, 0x3A6EA5, 0x0A246A, 0x808080, 0xD4D0C8, 0xFFFFFF, 0x000000, 0x000000,
      0x000000, 0xFFFFFF, 0xD4D0C8, 0xD4D0C8, 0x808080, 0x0A246A, 0xFFFFFF, 0xD4D0C8,
      0x808080, 0x808080, 0x000000, 0xD4D0C8, 0xFFFFFF, 0x404040, 0xD4D0C8, 0x000000,
      0xFFFFE1, 0xB5B5B5, 0x000080, 0xA6CAF0, 0xC0C0C0, 0x316AC5, 0xD4D0C8};
  const uint32_t index = color & 0xFF;
  return index < 31 ? PixelToColor(kClassic[index]) : 0;
}
