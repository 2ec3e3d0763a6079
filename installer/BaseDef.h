// Compressed resources (a 4-byte little-endian size U, then a zlib stream) and the pack's
// byte sum.
#pragma once
#include <cstdint>
#include <span>

#include "framework/Bytes.h"
#include "framework/Streams.h"

// Deflate cannot expand data by more than about 1032:1; a U beyond what the compressed
// bytes could produce is refused before anything is allocated.
constexpr uint64_t kMaxInflateRatio = 1032;

// Decompresses a CompressedResource straight into a buffer of exactly U bytes.
// Fewer than 4 bytes, a negative or impossible U, or a stream that ends or runs out of
// input before U bytes: EReadError ("Stream read error"). Corrupt data: EDecompressionError
// ("Error"). Surplus output beyond U is never produced. When byteSum is given it receives
// PackByteSum of the output, taken while each piece is still in the cache.
Bytes DecompressResource(std::span<const uint8_t> resource, uint32_t* byteSum = nullptr);

// Replaces a memory stream holding a CompressedResource with the U decompressed bytes.
// The stream's position is left at 0.
void DecompressInPlace(TMemoryStream& stream);

// The builder's side: U, then the data compressed by zlib at level 9 (header 78 DA).
Bytes CompressResource(std::span<const uint8_t> data);

// Sum of all bytes, each 0..255, in 32 bits with wrap-around.
uint32_t PackByteSum(std::span<const uint8_t> data);

#ifdef _WIN32
#include <string>
// The shell's modal folder picker rooted at a special folder (a CSIDL value), offering
// file-system folders only. The chosen folder's path ("C:\" for a root, else without a
// trailing backslash), or empty when cancelled or not a file-system folder.
std::string BrowseForFolder(int root, const std::string& title);
#endif
