#pragma once
// The bitmap file and info headers and palette entries, laid out as in a BMP file. They carry
// their own names so that they can meet windows.h in the winelib build.

#include <cstddef>
#include <cstdint>
#include <cstring>

#pragma pack(push, 2)
struct BmpFileHeader {
  std::uint16_t bfType;
  std::uint32_t bfSize;
  std::uint16_t bfReserved1;
  std::uint16_t bfReserved2;
  std::uint32_t bfOffBits;
};
#pragma pack(pop)

struct BmpInfoHeader {
  std::uint32_t biSize;
  std::int32_t biWidth;
  std::int32_t biHeight;
  std::uint16_t biPlanes;
  std::uint16_t biBitCount;
  std::uint32_t biCompression;
  std::uint32_t biSizeImage;
  std::int32_t biXPelsPerMeter;
  std::int32_t biYPelsPerMeter;
  std::uint32_t biClrUsed;
  std::uint32_t biClrImportant;
};

struct RgbQuad {
  std::uint8_t rgbBlue;
  std::uint8_t rgbGreen;
  std::uint8_t rgbRed;
  std::uint8_t rgbReserved;
};

static_assert(sizeof(BmpFileHeader) == 14);
static_assert(sizeof(BmpInfoHeader) == 40);
static_assert(sizeof(RgbQuad) == 4);

// biCompression values.
inline constexpr std::uint32_t kBmpRgb = 0;
inline constexpr std::uint32_t kBmpRle8 = 1;
inline constexpr std::uint32_t kBmpRle4 = 2;
inline constexpr std::uint32_t kBmpBitFields = 3;
inline constexpr std::uint32_t kBmpJpeg = 4;
inline constexpr std::uint32_t kBmpPng = 5;

// The headers are read from byte buffers with memcpy: the fields are little-endian like the
// host, and a buffer need not be aligned.
template <typename Header>
Header ReadHeader(const void* bytes) {
  Header header;
  std::memcpy(&header, bytes, sizeof header);
  return header;
}
