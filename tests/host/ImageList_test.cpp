// Image lists: strips cut into images with their masks, composing and greying, sizes, and
// reading a list from a stored layout.
#include <gtest/gtest.h>

#include "framework/ImageList.h"
#include "framework/Menus.h"

namespace {

TEST(ImageList, StripsCutIntoMaskedImages) {
  TImageList list(nullptr);
  EXPECT_EQ(list.Width(), 16);
  list.SetWidth(4);
  list.SetHeight(2);
  // 10 columns: two whole images and a third padded with transparent pixels; a third row
  // beyond the list's height is left out.
  TBitmap strip(10, 3);
  strip.Fill(0x112233);
  strip.SetPixel(1, 0, 0xFF00FF);  // the mask colour (clFuchsia in pixel form)
  strip.SetPixel(9, 1, 0x445566);
  EXPECT_EQ(list.AddMasked(strip, clFuchsia), 0);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_FALSE(list.Opaque(0, 1, 0));
  EXPECT_TRUE(list.Opaque(0, 0, 0));
  EXPECT_TRUE(list.Opaque(2, 1, 1));
  EXPECT_EQ(list.Pixel(2, 1, 1), 0x445566u);
  EXPECT_FALSE(list.Opaque(2, 2, 0));  // padding
  EXPECT_EQ(list.Add(strip), 3);       // unmasked: every pixel opaque
  EXPECT_TRUE(list.Opaque(3, 1, 0));
  EXPECT_EQ(list.Add(TBitmap()), -1);
  // Out-of-range questions answer nothing; a size change drops the images.
  EXPECT_FALSE(list.Opaque(9, 0, 0));
  EXPECT_FALSE(list.Opaque(0, 4, 0));
  list.SetHeight(100000);
  EXPECT_EQ(list.Height(), TImageList::kMaxSize);
  EXPECT_EQ(list.Count(), 0);
}

TEST(ImageList, DrawsOpaquePixelsClippedAndGreyed) {
  TImageList list(nullptr);
  list.SetWidth(2);
  list.SetHeight(2);
  TBitmap strip(2, 2);
  strip.Fill(0x000000);
  strip.SetPixel(1, 1, 0xFFFFFF);
  list.AddMasked(strip, clWhite);
  TBitmap target(3, 3);
  target.Fill(0x0000FF);
  list.DrawTo(target, 1, 1, 0);
  EXPECT_EQ(target.GetPixel(1, 1), 0x000000u);
  EXPECT_EQ(target.GetPixel(2, 2), 0x0000FFu);  // transparent
  list.DrawTo(target, -1, -1, 0, false);        // clipped at the top-left corner
  EXPECT_EQ(target.GetPixel(0, 0), 0x0000FFu);  // the image's transparent corner
  list.DrawTo(target, 2, 2, 0, false);
  EXPECT_EQ(target.GetPixel(2, 2), 0x808080u);
  list.DrawTo(target, 0, 0, 5);  // no such image: nothing
  EXPECT_EQ(target.GetPixel(0, 0), 0x0000FFu);
  // Greying keeps order by brightness, black at 128 and white at 255.
  EXPECT_EQ(GreyedPixel(0x000000), 0x808080u);
  EXPECT_EQ(GreyedPixel(0xFFFFFF), 0xFFFFFFu);
  EXPECT_LT(GreyedPixel(0x0000FF) & 0xFF, GreyedPixel(0x00FF00) & 0xFF);
}

TEST(ImageList, ReadFromLayoutAndDroppedByMenus) {
  TBitmap strip(4, 2);
  strip.Fill(0x00FF00);
  strip.SetPixel(0, 0, 0xFF00FF);
  const Bytes bmp = strip.SaveToBmp();
  std::string hex;
  for (size_t i = 0; i < bmp.size(); ++i) {
    const uint8_t b = bmp.data()[i];
    static const char digits[] = "0123456789ABCDEF";
    hex += digits[b >> 4];
    hex += digits[b & 15];
  }
  RegisterMenuClasses();
  TComponent root(nullptr);
  ReadLayoutText(root,
                 "object R: TComponent\n object Pop: TPopupMenu\n  Images = Icons\n end\n"
                 " object Icons: TImageList\n  Width = 2\n  Height = 2\n  MaskColor = clFuchsia\n  Bitmap = {" +
                     hex + "}\n end\nend",
                 {});
  auto* icons = dynamic_cast<TImageList*>(root.FindComponent("Icons"));
  auto* pop = dynamic_cast<TMenu*>(root.FindComponent("Pop"));
  ASSERT_TRUE(icons && pop);
  EXPECT_EQ(icons->Count(), 2);
  EXPECT_FALSE(icons->Opaque(0, 0, 0));
  EXPECT_EQ(icons->Pixel(1, 0, 0), 0x00FF00u);
  EXPECT_EQ(pop->Images(), icons);
  icons->Free();
  EXPECT_EQ(pop->Images(), nullptr);
  EXPECT_THROW(ReadLayoutText(root, "object R: TComponent\n object X: TImageList\n  Bitmap = {0102}\n end\nend", {}),
               ELayoutError);
}

}  // namespace
