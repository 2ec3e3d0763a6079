// Reads the named RT_RCDATA resources out of a PE image held in memory, so the authoring
// tools can inspect a built setup.exe on any machine. Every offset and size is checked
// against the image; a malformed image yields an error text, never a wild read.
#pragma once
#include <cstdint>
#include <map>
#include <span>
#include <string>

struct PeRcData {
  // Upper-cased resource name -> bytes (views into the image).
  std::map<std::string, std::span<const uint8_t>> byName;
  std::string error;  // empty when the image was read
};

PeRcData ReadPeRcData(std::span<const uint8_t> image);
