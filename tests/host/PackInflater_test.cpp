// PackInflater against the zlib reference of fuzz/InflateOracle.h: zlib's own streams over
// its strategies, levels and windows, every cut and single-bit flip of small streams, and
// hand-made streams for the corner cases of the format.
#include <gtest/gtest.h>

#include <array>

#include "fuzz/InflateOracle.h"

namespace {
using inflate_oracle::Outcome;

// Text, bytes of no pattern and runs of one byte, in stretches of 50..950 bytes.
std::vector<uint8_t> Mixed(size_t n, uint32_t x) {
  static const char kText[] = "the installer copies each file of the pack to the target folder; ";
  std::vector<uint8_t> v;
  while (v.size() < n) {
    x = x * 1103515245 + 12345;
    const size_t run = 50 + (x >> 16) % 900;
    for (size_t i = 0; i < run && v.size() < n; ++i)
      v.push_back(x % 3 == 0 ? kText[i % (sizeof kText - 1)] : x % 3 == 1 ? static_cast<uint8_t>((x ^ i * 2654435761u) >> 24) : 'z');
  }
  return v;
}

// Copies from close by and, now and then, from the far end of the window: the rare distance
// codes get long codes followed by up to 13 extra bits, more than a 32-bit bit buffer holds
// after one refill.
std::vector<uint8_t> FarCopies(size_t n, uint32_t x) {
  std::vector<uint8_t> v;
  while (v.size() < n) {
    x = x * 1103515245 + 12345;
    const size_t len = 3 + (x >> 20) % 40;
    const size_t back = (x >> 8) % 2048 == 0 ? 24577 + (x >> 3) % 8000 : 1 + (x >> 12) % 200;
    for (size_t i = 0; i < len; ++i, x = x * 1103515245 + 12345)
      v.push_back(v.size() < back || (x & 3) == 0 ? static_cast<uint8_t>(x >> 24) : v[v.size() - back]);
  }
  return v;
}

// Deflate bits least significant first; Huffman codes most significant bit first.
struct Bits {
  std::vector<uint8_t> bytes;
  size_t used = 0;
  Bits& Put(uint32_t v, int n) {
    for (int i = 0; i < n; ++i, ++used) {
      if (used % 8 == 0) bytes.push_back(0);
      bytes.back() |= (i < 32 && (v >> i) & 1) << (used % 8);
    }
    return *this;
  }
  Bits& Code(uint32_t code, int n) {
    for (int i = n - 1; i >= 0; --i) Put(code >> i, 1);
    return *this;
  }
  Bits& Fixed(int s) { return s < 144 ? Code(0x30 + s, 8) : s < 256 ? Code(0x190 + s - 144, 9) : s < 280 ? Code(s - 256, 7) : Code(0xC0 + s - 280, 8); }
  Bits& Stored(const char* s, bool final, uint16_t nlenFlip = 0) {
    Put(final, 3);
    used = bytes.size() * 8;
    uint16_t n = static_cast<uint16_t>(strlen(s));
    Put(n, 16).Put(static_cast<uint16_t>(~n ^ nlenFlip), 16);
    for (; *s; ++s) Put(*s, 8);
    return *this;
  }
  // A dynamic block header whose literal/length codes are the symbols given, each of length 1
  // (one or two of them), with one distance code of length 0. Code lengths are coded by
  // 18 (a run of zeros) -> 0, 0 -> 10, 1 -> 11.
  Bits& Dynamic(bool final, std::vector<int> symbols) {
    Put(final, 1).Put(2, 2).Put(0, 5).Put(0, 5).Put(14, 4);
    for (int len : {0, 0, 1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2}) Put(len, 3);
    symbols.push_back(258);  // the distance code, past the 257 literal/length codes
    for (int at = 0; int s : symbols) {
      for (int zeros = s - at; zeros > 0;) {
        if (zeros < 11) zeros--, Code(2, 2);
        else Code(0, 1).Put(std::min(zeros, 138) - 11, 7), zeros -= std::min(zeros, 138);
      }
      if (s < 258) Code(3, 2);
      at = s + 1;
    }
    return *this;
  }
};

// U, a zlib header, the deflate data and the check value of adlerOf (changed by trailerFlip).
std::vector<uint8_t> Zlib(uint32_t u, const Bits& b, const char* adlerOf, uint32_t trailerFlip = 0, uint8_t cmf = 0x78, uint8_t flg = 0x01) {
  std::vector<uint8_t> r(6 + b.bytes.size() + 4);
  const uint32_t a = adler32(1, reinterpret_cast<const Bytef*>(adlerOf), static_cast<uInt>(strlen(adlerOf))) ^ trailerFlip;
  for (int i = 0; i < 4; ++i) r[i] = static_cast<uint8_t>(u >> (8 * i)), r[r.size() - 1 - i] = static_cast<uint8_t>(a >> (8 * i));
  r[4] = cmf, r[5] = flg;
  std::copy(b.bytes.begin(), b.bytes.end(), r.begin() + 6);
  return r;
}
}  // namespace

TEST(PackInflater, AgreesWithZlibOnItsStreamsTheirCutsAndFlips) {
  std::string text;
  for (int i = 0; i < 80; ++i) text += "line " + std::to_string(i * i) + ": each file of the pack, back to back\r\n";
  std::vector<uint8_t> noise(5000);
  for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<uint8_t>((i * 2654435761u) >> 13);
  const std::vector<std::vector<uint8_t>> inputs = {{text.begin(), text.end()}, noise, std::vector<uint8_t>(20000, 'z'), {}, Mixed(70000, 3)};
  uint64_t seed = 0;
  for (size_t i = 0; i < inputs.size(); ++i)
    for (int strategy : {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED})
      for (auto [level, window] : {std::pair{0, 15}, {1, 9}, {6, 15}, {9, 12}}) {
        inflate_oracle::DeflateParams p{level, strategy, window, level == 1 ? 1 : 8, {}, {}};
        if (level == 6)
          for (size_t at = 7000, k = 0; at < inputs[i].size(); at += 7000, ++k)
            p.flushes.push_back({at, std::array{Z_SYNC_FLUSH, Z_FULL_FLUSH, Z_BLOCK, Z_PARTIAL_FLUSH}[k % 4]});
        std::vector<uint8_t> res = inflate_oracle::Deflate(inputs[i], p);
        const uint32_t n = static_cast<uint32_t>(inputs[i].size());
        for (uint32_t u : {n, n / 2, n + 1}) {
          for (int b = 0; b < 4; ++b) res[b] = static_cast<uint8_t>(u >> (8 * b));
          EXPECT_EQ(inflate_oracle::Check(res, ++seed), "") << i << " " << strategy << " " << level << " U " << u;
        }
      }
  EXPECT_EQ(inflate_oracle::Check(inflate_oracle::Deflate(FarCopies(400000, 5), {6, Z_DEFAULT_STRATEGY, 15, 8, {}, {}}), 1), "");
  const std::span<const uint8_t> small(inputs[4].data(), 300);
  for (const auto& res : {inflate_oracle::Deflate(small, {9, Z_DEFAULT_STRATEGY, 15, 8, {}, {}}),
                          inflate_oracle::Deflate(small.first(40), {9, Z_FIXED, 15, 8, {{20, Z_SYNC_FLUSH}}, {}})}) {
    for (size_t cut = 0; cut <= res.size(); ++cut)
      EXPECT_EQ(inflate_oracle::Check({res.data(), cut}, cut), "") << "cut at " << cut;
    for (size_t bit = 32; bit < res.size() * 8; ++bit) {
      std::vector<uint8_t> flipped = res;
      flipped[bit / 8] ^= 1 << bit % 8;
      EXPECT_EQ(inflate_oracle::Check(flipped, bit), "") << "bit " << bit << " flipped";
    }
  }
}

TEST(PackInflater, AgreesWithZlibOnHandMadeCornerCases) {
  const Bits ab = Bits().Stored("ab", false);  // two bytes out before the case's own block
  auto fixed = [&](std::initializer_list<std::pair<int, int>> codes) {  // (symbol, or -1: distance code)
    Bits b = ab;
    b.Put(1, 1).Put(1, 2).Fixed('c');
    for (auto [s, d] : codes) s >= 0 ? b.Fixed(s) : b.Code(d, 5);
    return b.Fixed(256);
  };
  struct Case {
    const char* what;
    std::vector<uint8_t> res;
    Outcome outcome;
    size_t produced;
  };
  const Case cases[] = {
      {"literal/length code 286", Zlib(9, fixed({{286, 0}}), "abc"), Outcome::DecompressionError, 3},
      {"literal/length code 287", Zlib(9, fixed({{287, 0}}), "abc"), Outcome::DecompressionError, 3},
      {"distance code 30", Zlib(9, fixed({{257, 0}, {-1, 30}}), "abc"), Outcome::DecompressionError, 3},
      {"distance code 31", Zlib(9, fixed({{257, 0}, {-1, 31}}), "abc"), Outcome::DecompressionError, 3},
      {"distance 4 after 3 bytes", Zlib(9, fixed({{257, 0}, {-1, 3}}), "abc"), Outcome::DecompressionError, 3},
      {"distance 3 after 3 bytes", Zlib(6, fixed({{257, 0}, {-1, 2}}), "abcabc"), Outcome::Ok, 6},
      {"dynamic block of end-of-block alone", Zlib(3, Bits(ab).Dynamic(false, {256}).Code(0, 1).Stored("c", true), "abc"), Outcome::Ok, 3},
      {"end-of-block alone, other code used", Zlib(3, Bits(ab).Dynamic(true, {256}).Code(1, 1), "ab"), Outcome::DecompressionError, 2},
      {"no distance codes", Zlib(5, Bits(ab).Dynamic(true, {'x', 256}).Code(0, 1).Code(0, 1).Code(0, 1).Code(1, 1), "abxxx"), Outcome::Ok, 5},
      {"code-length code all zero", Zlib(3, Bits(ab).Put(5, 3).Put(0, 14).Put(0, 12).Put(0, 300), "ab"), Outcome::DecompressionError, 2},
      {"stored LEN != ~NLEN", Zlib(3, Bits(ab).Stored("c", true, 0x100), "abc"), Outcome::DecompressionError, 2},
      {"block type 3", Zlib(3, Bits(ab).Put(7, 3).Put(0, 16), "ab"), Outcome::DecompressionError, 2},
      {"block type 3 after U", Zlib(2, Bits(ab).Put(7, 3).Put(0, 16), "ab"), Outcome::Ok, 2},
      {"preset dictionary", Zlib(2, Bits(ab).Stored("", true), "ab", 0, 0x78, 0x20), Outcome::DecompressionError, 0},
      {"bad header check", Zlib(2, Bits(ab).Stored("", true), "ab", 0, 0x78, 0x02), Outcome::DecompressionError, 0},
      {"window above 32K", Zlib(2, Bits(ab).Stored("", true), "ab", 0, 0x88, 0x1C), Outcome::DecompressionError, 0},
      {"bad trailer, stream ends at U", Zlib(3, Bits(ab).Stored("c", true), "abc", 1), Outcome::DecompressionError, 3},
      {"bad trailer, U smaller", Zlib(2, Bits(ab).Stored("c", true), "abc", 1), Outcome::Ok, 2},
      {"bad trailer, U larger", Zlib(4, Bits(ab).Stored("c", true), "abc", 1), Outcome::DecompressionError, 3},
      // Header, "ab" and the next block's 5 bytes, then 65520 bytes: the trailer at 65534.
      {"bad trailer across 64 KiB, ends at U", Zlib(65522, Bits(ab).Stored(std::string(65520, 's').c_str(), true), ("ab" + std::string(65520, 's')).c_str(), 1), Outcome::DecompressionError, 65522},
      {"trailer cut short at U", [&] { auto r = Zlib(3, Bits(ab).Stored("c", true), "abc"); r.pop_back(); return r; }(), Outcome::Ok, 3},
  };
  for (const Case& c : cases) {
    const inflate_oracle::Expected e = inflate_oracle::Reference(c.res);
    EXPECT_EQ(e.outcome, c.outcome) << c.what << ": zlib " << e.rc << " " << e.msg;
    EXPECT_EQ(e.bytes.size(), c.produced) << c.what;
    EXPECT_EQ(inflate_oracle::Check(c.res, c.produced), "") << c.what;
  }
}
