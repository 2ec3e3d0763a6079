// A readable report of a product's embedded data: the record's fields, its three tables
// and whether the pack matches its checksum. Used by the builder's inspect command and by
// the Windows check of a built setup.exe. The report is GBK text.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "installer/SetupConfig.h"

struct SetupReport {
  std::string text;
  bool checksumMatches = false;
  bool slicesInsidePack = true;  // every used file row lies inside the pack
  // What breaks the record's rules (installer/SetupCheck.h), "Field: what" each; also
  // listed at the end of the text.
  std::vector<std::string> problems;
};

// A text as the report shows it, whole and safe for a terminal: in double quotes, with
// control characters, quotes and bytes that are no GBK character written as \xNN.
std::string QuotedText(std::string_view gbk);

SetupReport DescribeSetup(const SetupConfig& config, std::span<const uint8_t> pack, std::span<const uint8_t> licence);
