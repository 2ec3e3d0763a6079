// BITMAP resource bytes (a BMP without its file header): any input decodes or is refused,
// never a crash or a read out of bounds.
#include <cstddef>
#include <cstdint>

#include "skin/VELThemes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TBitmap out;
  if (LoadBitmapResourceBytes({data, size}, out) && out.Empty()) __builtin_trap();
  return 0;
}
