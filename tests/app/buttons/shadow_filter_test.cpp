#include "buttons/shadow_filter.h"

#include <gtest/gtest.h>

#include <vector>

#include "buttons/dib_buffer_size.h"

namespace orla {
namespace {

constexpr std::uint32_t kWhite = 0x00FFFFFF;
constexpr std::uint32_t kGrey = 0x00808080;

// A silhouette as the shadow draws it: white, with a grey rectangle for the image's shape at
// (4, 4) + (shapeLeft, shapeTop).
struct Arrays {
  int width, height;
  std::size_t rowWords, rows;
  std::vector<std::uint32_t> silhouette, background;

  Arrays(int w, int h, std::uint32_t backgroundPixel, std::size_t extraWords = 0)
      : width(w),
        height(h),
        rowWords(static_cast<std::size_t>(w) + 8 + extraWords),
        rows(static_cast<std::size_t>(h) + 8),
        silhouette(rowWords * rows, kWhite),
        background(rowWords * rows, backgroundPixel) {}

  void Shape(int left, int top, int right, int bottom) {
    for (int r = top; r < bottom; ++r)
      for (int c = left; c < right; ++c) silhouette[(r + 4) * rowWords + (c + 4)] = kGrey;
  }
  bool Apply() {
    const PixelRows32 s{silhouette, rowWords, rows};
    PixelRows32 b{background, rowWords, rows};
    return ApplyShadowKernel(s, b, width, height);
  }
  std::uint32_t At(int row, int column) const { return background[row * rowWords + column]; }
};

TEST(ApplyShadowKernel, NoShapeLeavesTheBackground) {
  Arrays a(10, 6, 0xAA123456);
  ASSERT_TRUE(a.Apply());
  for (std::size_t r = 0; r < a.rows; ++r) {
    for (std::size_t c = 0; c < a.rowWords; ++c) {
      const bool written = r >= 2 && r < a.rows - 2 && c >= 2 && c < a.rowWords - 2;
      // The colour stays; only the unused fourth byte of the written area is cleared.
      EXPECT_EQ(a.At(r, c), written ? 0x00123456u : 0xAA123456u) << r << "," << c;
    }
  }
}

TEST(ApplyShadowKernel, HalfBrightnessUnderALargeShapeAndASoftEdge) {
  Arrays a(20, 20, 0x00FFC8FF);  // red 255, green 200, blue 255
  a.Shape(0, 0, 20, 20);
  ASSERT_TRUE(a.Apply());
  // Deep inside the shape the blur is 128: 255 * 128 / 255 = 128, 200 * 128 / 255 = 100.
  EXPECT_EQ(a.At(14, 14), 0x00806480u);
  // Two pixels left of the shape's edge only the kernel's outer column (weights 9 in all)
  // meets grey: (80 * 255 - 9 * 127) / 80 = 240.
  EXPECT_EQ(a.At(14, 2) & 0xFF, 240u);
  EXPECT_EQ(a.At(14, 2) >> 16, 240u);
  // Beside the edge it falls off in between.
  const std::uint32_t edge = a.At(14, 4) & 0xFF;
  EXPECT_GT(edge, 128u);
  EXPECT_LT(edge, 240u);
}

TEST(ApplyShadowKernel, WiderRowsKeepTheirPadding) {
  Arrays a(4, 4, kWhite, 3);
  a.Shape(0, 0, 4, 4);
  ASSERT_TRUE(a.Apply());
  for (std::size_t r = 0; r < a.rows; ++r)
    for (std::size_t c = 12; c < a.rowWords; ++c) EXPECT_EQ(a.At(r, c), kWhite);
}

TEST(ApplyShadowKernel, RefusesArraysTooSmallForTheImage) {
  Arrays a(6, 5, kWhite);
  a.Shape(0, 0, 6, 5);
  const std::vector<std::uint32_t> before = a.background;
  const PixelRows32 s{a.silhouette, a.rowWords, a.rows};
  PixelRows32 b{a.background, a.rowWords, a.rows};
  EXPECT_FALSE(ApplyShadowKernel(s, b, 7, 5));  // rows too short for a wider image
  EXPECT_FALSE(ApplyShadowKernel(s, b, 6, 6));  // too few rows
  EXPECT_FALSE(ApplyShadowKernel(s, b, 0, 5));
  EXPECT_FALSE(ApplyShadowKernel(s, b, 6, -1));

  const PixelRows32 shortSilhouette{std::span(a.silhouette).first(a.silhouette.size() - 1), a.rowWords, a.rows};
  EXPECT_FALSE(ApplyShadowKernel(shortSilhouette, b, 6, 5));
  PixelRows32 narrowBackground{a.background, a.rowWords - 1, a.rows};
  EXPECT_FALSE(ApplyShadowKernel(s, narrowBackground, 6, 5));
  PixelRows32 lowBackground{std::span(a.background).first(a.rowWords * (a.rows - 1)), a.rowWords, a.rows - 1};
  EXPECT_FALSE(ApplyShadowKernel(s, lowBackground, 6, 5));
  EXPECT_EQ(a.background, before);
}

TEST(DibBufferSizeFor, RowLengthsSizesAndRefusals) {
  const auto b32 = DibBufferSizeFor(5, 3, 32, 0);
  ASSERT_TRUE(b32);
  EXPECT_EQ(b32->rowWords, 5);
  EXPECT_EQ(b32->bytes, 60u);
  const auto b24 = DibBufferSizeFor(3, 2, 24, 0);  // 9 bytes a row, padded to 12
  ASSERT_TRUE(b24);
  EXPECT_EQ(b24->rowWords, 3);
  EXPECT_EQ(b24->bytes, 24u);
  // A header that names a larger image size gets a buffer that large; a smaller one cannot
  // shrink the buffer below what GetDIBits writes.
  EXPECT_EQ(DibBufferSizeFor(5, 3, 32, 100)->bytes, 100u);
  EXPECT_EQ(DibBufferSizeFor(5, 3, 32, 8)->bytes, 60u);

  EXPECT_FALSE(DibBufferSizeFor(0, 3, 32, 0));
  EXPECT_FALSE(DibBufferSizeFor(5, 0, 32, 0));
  EXPECT_FALSE(DibBufferSizeFor(-5, 3, 32, 0));
  EXPECT_FALSE(DibBufferSizeFor(5, -3, 32, 0));
  EXPECT_FALSE(DibBufferSizeFor(5, 3, 0, 0));
  // A row longer than an int can count.
  EXPECT_FALSE(DibBufferSizeFor(0x7FFFFFFF, 1, 64, 0));
}

}  // namespace
}  // namespace orla
