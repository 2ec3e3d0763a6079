// Reads a fuzz input front to back; past its end every read yields zeros, so a target
// can take as many fields as it likes from any input.
#pragma once
#include <cstddef>
#include <cstdint>

struct FuzzCursor {
  const uint8_t* p;
  size_t left;
  uint8_t Byte() {
    if (!left) return 0;
    --left;
    return *p++;
  }
  uint32_t U32() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(Byte()) << (8 * i);
    return v;
  }
  int32_t Int() { return static_cast<int32_t>(U32()); }
};
