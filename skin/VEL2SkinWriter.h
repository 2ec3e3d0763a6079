// Writes skin files: SK2 item lists and the container around them. Used by the skin
// builder and by tests; the installer itself only reads skins.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "skin/VEL2SkinFormat.h"

struct Sk2Item {
  std::string Name;  // at most 64 bytes
  skin2::ItemKind Kind = skin2::ItemKind::Integer;
  std::vector<uint8_t> Payload;

  static Sk2Item Integer(std::string name, int32_t value);
  static Sk2Item Boolean(std::string name, bool value);
  static Sk2Item Text(std::string name, const std::string& text);
  static Sk2Item Bitmap(std::string name, std::span<const uint8_t> bmpFile);
};

// The SK2 data: header, each item header directly followed by its payload, and the
// terminator. A name longer than 64 bytes raises std::invalid_argument.
std::vector<uint8_t> BuildSk2Data(std::span<const Sk2Item> items);

struct SkinContainerOptions {
  std::string EntryName = skin2::kEntryName;
  std::string Password;         // not empty: traditional PKWARE encryption
  bool DataDescriptor = false;  // flag bit 3: CRC and sizes follow the data
  // The eleven bytes the encryption header starts with; empty: random. A wrong password
  // passes the header's one check byte by chance (1 in 256) for a given header, so tests
  // that need a repeatable outcome fix them.
  std::vector<uint8_t> HeaderBytes;
  uint16_t ModTime = 0x6000;    // 12:00:00
  uint16_t ModDate = 0x5C21;    // 2026-01-01
};

// A container holding content as its one raw-Deflate entry, no extra field, no comment.
std::vector<uint8_t> BuildSkinContainer(std::span<const uint8_t> content, const SkinContainerOptions& options = {});
