#include "packed_dib_layout.h"

#include <cstring>

#include "bitmap_headers.h"

namespace orla {

bool PlanPackedDib(std::int64_t width, std::int64_t height, int bitCount, std::int64_t paletteBytes,
                   PackedDibLayout& layout) {
  if (width <= 0 || height <= 0 || width > INT32_MAX || height > INT32_MAX || bitCount <= 0) return false;
  const std::int64_t stride = DibStride(bitCount, width);
  if (stride > kMaxPageBytes / height) return false;
  layout.stride = stride;
  layout.pixelBytes = stride * height;
  layout.blockSize = layout.pixelBytes + 40 + paletteBytes;
  return true;
}

void WriteDibHeader(std::uint8_t* block, const DibHeaderFields& fields) {
  BmpInfoHeader header{};
  header.biSize = 40;
  header.biWidth = fields.width;
  header.biHeight = fields.height;
  header.biPlanes = 1;
  header.biBitCount = fields.bitCount;
  header.biCompression = kBmpRgb;
  header.biSizeImage = fields.sizeImage;
  header.biXPelsPerMeter = fields.xPelsPerMeter;
  header.biYPelsPerMeter = fields.yPelsPerMeter;
  std::memcpy(block, &header, sizeof header);
}

void WriteGreyPalette(std::uint8_t* block) {
  std::uint8_t* entry = block + 40;
  for (int i = 0; i < 256; ++i, entry += 4) {
    entry[0] = entry[1] = entry[2] = static_cast<std::uint8_t>(i);
    entry[3] = 0;
  }
}

}  // namespace orla
