#include <gtest/gtest.h>

#include <vector>

#include "framework/Bitmap.h"

namespace {

std::vector<uint8_t> V(const Bytes& b) { return std::vector<uint8_t>(b.data(), b.data() + b.size()); }

// Every width from 1 to 40 crosses the 24-bit rows' fast paths (four pixels at a time, with
// and without the vector unit) and their tails.
TEST(Bitmap, BmpRoundTripKeepsEveryPixel) {
  for (int w = 1; w <= 40; ++w) {
    TBitmap b(w, 3);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < w; ++x) b.SetPixel(x, y, static_cast<uint32_t>(x * 97 + y * 31) * 2654435761u >> 8);
    for (int bpp : {24, 32}) {
      TBitmap back;
      ASSERT_TRUE(TBitmap::LoadFromBmp(V(b.SaveToBmp(bpp)), back));
      ASSERT_EQ(back.Width(), w);
      ASSERT_EQ(back.Height(), 3);
      for (int y = 0; y < 3; ++y)
        for (int x = 0; x < w; ++x) ASSERT_EQ(back.GetPixel(x, y), b.GetPixel(x, y)) << w << " " << bpp << " " << x;
    }
  }
}

TEST(Bitmap, PalettedAndTopDownFiles) {
  // 2x2, 8 bpp, top-down (negative height), palette of two colours.
  std::vector<uint8_t> f(14 + 40 + 8 + 8, 0);
  f[0] = 'B', f[1] = 'M', f[10] = 14 + 40 + 8, f[14] = 40, f[18] = 2;
  f[22] = 0xFE, f[23] = f[24] = f[25] = 0xFF;  // height -2
  f[26] = 1, f[28] = 8, f[46] = 2;
  f[54] = 0xFF, f[55] = 0x00, f[56] = 0xFF;  // index 0: fuchsia (B, G, R)
  f[58] = 0x10, f[59] = 0x20, f[60] = 0x30;  // index 1
  f[62] = 0, f[63] = 1;                      // top row
  f[66] = 1, f[67] = 0;                      // bottom row
  TBitmap b;
  ASSERT_TRUE(TBitmap::LoadFromBmp(f, b));
  EXPECT_EQ(b.GetPixel(0, 0), 0xFF00FFu);
  EXPECT_EQ(b.GetPixel(1, 0), 0x302010u);
  EXPECT_EQ(b.GetPixel(0, 1), 0x302010u);
}

TEST(Bitmap, MalformedFilesAreRefused) {
  TBitmap ok(3, 3);
  std::vector<uint8_t> good = V(ok.SaveToBmp());
  struct Case {
    const char* what;
    size_t at;
    std::vector<uint8_t> bytes;  // written at `at`
  };
  std::vector<Case> cases = {
      {"not BM", 0, {'P', 'K'}},
      {"zero width", 18, {0, 0, 0, 0}},
      {"huge width", 18, {0xFF, 0xFF, 0xFF, 0x7F}},
      {"pixel data past the end", 10, {0xF0, 0xFF, 0, 0}},
      {"odd bit count", 28, {7, 0}},
      {"run-length compression", 30, {1, 0, 0, 0}},
      {"palette larger than 256", 46, {0, 1, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint8_t> bad = good;
    std::copy(c.bytes.begin(), c.bytes.end(), bad.begin() + c.at);
    if (std::string(c.what) == "palette larger than 256") bad[28] = 8;
    TBitmap b(1, 1);
    EXPECT_FALSE(TBitmap::LoadFromBmp(bad, b));
    EXPECT_EQ(b.Width(), 1);  // untouched
  }
  std::vector<uint8_t> cut(good.begin(), good.end() - 4);
  TBitmap b;
  EXPECT_FALSE(TBitmap::LoadFromBmp(cut, b));
}

TEST(Bitmap, ColoursAndPixelsSwapRedAndBlue) {
  EXPECT_EQ(ColorToPixel(0x0099FF), 0xFF9900u);  // TColor orange 39423 -> pixel
  EXPECT_EQ(PixelToColor(0xFF00FF), 0xFF00FFu);
}

}  // namespace
