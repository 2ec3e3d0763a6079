// The PE resource reader the product builder's inspect command uses on a setup.exe.
#include <cstdint>

#include "installer/PeResources.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PeRcData r = ReadPeRcData({data, size});
  for (const auto& [name, bytes] : r.byName)
    if (bytes.data() < data || bytes.data() + bytes.size() > data + size) __builtin_trap();
  return 0;
}
