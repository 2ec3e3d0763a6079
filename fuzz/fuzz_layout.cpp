// Layout text reader: any bytes give a tree or an error, never a crash or a hang.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "framework/Layout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TLayoutObject root;
  std::string error;
  bool ok = ParseLayout(std::string_view(reinterpret_cast<const char*>(data), size), root, error);
  if (!ok && error.empty()) __builtin_trap();
  return 0;
}
