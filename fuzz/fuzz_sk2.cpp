// The SK2 item-list reader over arbitrary extracted skin data.
#include <cstdint>

#include "skin/VEL2SkinReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Sk2Items items;
  bool ok = ReadSk2Data({data, size}, items);
  if (!ok && (!items.Bitmaps.empty() || !items.Integers.empty() || !items.Booleans.empty() || !items.Texts.empty()))
    __builtin_trap();
  return 0;
}
