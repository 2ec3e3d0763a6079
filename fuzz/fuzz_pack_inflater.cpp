// PackInflater against zlib's inflate (fuzz/InflateOracle.h): outcome, bytes produced,
// ByteSum, whether read whole or in pieces. Two kinds of input: the raw bytes as a
// resource, or parameters for zlib's deflate followed by the data it compresses, with the
// stream then damaged, cut short or given another U.
#include <cstdio>

#include "fuzz/FuzzCursor.h"
#include "fuzz/InflateOracle.h"

namespace {

// U kept below 256 KiB unless negative, so that each run stays fast.
std::vector<uint8_t> RawResource(FuzzCursor in) {
  std::vector<uint8_t> res(in.p, in.p + in.left);
  if (res.size() >= 4 && res[3] < 0x80) res[2] &= 0x03, res[3] = 0;
  return res;
}

std::vector<uint8_t> MadeResource(FuzzCursor in) {
  inflate_oracle::DeflateParams p;
  static const int kStrategies[] = {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED};
  static const int kFlushes[] = {Z_SYNC_FLUSH, Z_FULL_FLUSH, Z_BLOCK, Z_PARTIAL_FLUSH};
  uint8_t b = in.Byte();
  p.level = b % 10;
  p.strategy = kStrategies[b / 10 % 5];
  b = in.Byte();
  p.windowBits = 8 + b % 8;
  p.memLevel = 1 + (b >> 3) % 9;
  const uint8_t damage = in.Byte();
  const uint8_t shape = in.Byte();
  std::vector<std::pair<size_t, int>> points(shape % 6);
  for (auto& [at, kind] : points) {
    at = in.Byte();
    at |= in.Byte() << 8;
    kind = kFlushes[in.Byte() % 4];
  }
  const uint32_t flips[3] = {in.U32(), in.U32(), in.U32()};
  const uint32_t cut = in.U32(), delta = in.U32();

  std::vector<uint8_t> data(in.p, in.p + in.left);
  // Now and then a large, barely compressible input: streams past 64 KiB of compressed
  // bytes and outputs far beyond the window.
  if (shape >> 3 == 31 && !data.empty()) {
    uint32_t x = delta;
    size_t n = 70000 + (cut & 0xFFFF);
    data.resize(n);
    for (size_t i = in.left; i < n; ++i) {
      x = x * 1103515245 + 12345;
      data[i] = (x >> 29) ? static_cast<uint8_t>(x >> 16) : data[i % in.left];
    }
  }
  for (auto& [at, kind] : points) at = at * data.size() / 65535;
  std::sort(points.begin(), points.end());
  p.flushes = points;
  static const uint8_t kDictionary[] = "a preset dictionary the stream asks for";
  if ((damage & 0x1C) == 0x1C) p.dictionary = std::span(kDictionary);
  std::vector<uint8_t> res = inflate_oracle::Deflate(data, p);

  const size_t packed = res.size() - 4;
  if (damage & 1)
    for (int i = 0; i < 3; ++i)
      if (packed && (i == 0 || flips[i] % 4 == 0)) res[4 + (flips[i] >> 2) % packed] ^= static_cast<uint8_t>(1 << (flips[i] >> 29));
  if (damage & 2) res.resize(4 + cut % (packed + 1));
  // U: mostly the true size, else smaller, larger, zero or (below 1 MiB unless negative) any.
  uint32_t u = static_cast<uint32_t>(data.size());
  switch (damage >> 5) {
    case 4: u -= delta % (u + 1); break;
    case 5: u += 1 + delta % 300; break;
    case 6: u = 0; break;
    case 7: u = static_cast<int32_t>(delta) < 0 ? delta : delta % (1u << 20); break;
  }
  for (int i = 0; i < 4; ++i) res[i] = static_cast<uint8_t>(u >> (8 * i));
  return res;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint64_t seed = 14695981039346656037ull;
  for (size_t i = 0; i < size; ++i) seed = (seed ^ data[i]) * 1099511628211ull;
  FuzzCursor in{data, size};
  const bool made = in.Byte() & 1;
  std::vector<uint8_t> res = made ? MadeResource(in) : RawResource(in);
  std::string report = inflate_oracle::Check(res, seed);
  if (!report.empty()) {
    std::fprintf(stderr, "PackInflater differs from zlib (%s resource):\n%s", made ? "made" : "raw", report.c_str());
    __builtin_trap();
  }
  return 0;
}
