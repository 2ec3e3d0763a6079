// A readable report of a product's embedded data: the record's fields, its three tables
// and whether the pack matches its checksum. Used by the builder's inspect command and by
// the Windows check of a built setup.exe. The report is GBK text.
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "installer/SetupConfig.h"

struct SetupReport {
  std::string text;
  bool checksumMatches = false;
  bool slicesInsidePack = true;  // every used file row lies inside the pack
};

SetupReport DescribeSetup(const SetupConfig& config, std::span<const uint8_t> pack, std::span<const uint8_t> licence);
