// The compressed-resource decoder and the setup record's views over arbitrary bytes:
// the input is a CompressedResource; whatever it decodes to is loaded as a record and
// described against itself as the pack (every row, slot and count is read).
#include <cstdint>
#include <cstring>

#include "framework/Exceptions.h"
#include "installer/BaseDef.h"
#include "installer/Describe.h"
#include "installer/SetupConfig.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    uint32_t sum = 0;
    Bytes out = DecompressResource({data, size}, &sum);
    if (sum != PackByteSum(out.view())) __builtin_trap();
    SetupConfig config;
    config.Load(out.view());
    DescribeSetup(config, out.view(), {data, size});
  } catch (const Exception&) {
  }
  // The raw input as a record too: stale slots, wild counts and offsets.
  SetupConfig raw;
  raw.Load({data, size});
  DescribeSetup(raw, {data, size}, {});
  return 0;
}
