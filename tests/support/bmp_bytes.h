#pragma once
// Builds BMP file bytes and packed bitmaps for tests, field by field, so a test can write
// exactly the odd file it needs.

#include <cstdint>
#include <string>
#include <vector>

#include "bitmap_headers.h"
#include "mem_block.h"

namespace orla::test {

struct BmpSpec {
  std::int32_t width = 4;
  std::int32_t height = 3;
  std::uint16_t bitCount = 24;
  std::uint32_t compression = 0;
  std::int32_t xPelsPerMeter = 11811;
  std::int32_t yPelsPerMeter = 11811;
  std::uint32_t clrUsed = 0;
  std::uint32_t infoSize = 40;
  std::vector<RgbQuad> palette;  // written as given
  std::vector<std::uint8_t> gap;  // bytes between the palette and the pixel rows
  // Rows from the top line down, each already `stride` bytes long; written bottom-up.
  std::vector<std::vector<std::uint8_t>> rows;
  bool offBitsPointsPastGap = true;  // bfOffBits names the real pixel start
};

std::int32_t Stride(std::int32_t bitCount, std::int32_t width);
// The whole file.
std::vector<std::uint8_t> BuildBmp(const BmpSpec& spec);
// The same layout without the 14-byte file header, in a movable block the caller frees.
MemBlock BuildPackedDib(const BmpSpec& spec);
// Row of `stride` bytes, every byte `fill`.
std::vector<std::uint8_t> FilledRow(std::int32_t bitCount, std::int32_t width, std::uint8_t fill);
std::vector<RgbQuad> GreyRamp(int entries);

// A file in a private temporary folder, removed with the object.
class TempFile {
 public:
  explicit TempFile(const std::vector<std::uint8_t>& bytes, const std::string& suffix = ".bmp");
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace orla::test
