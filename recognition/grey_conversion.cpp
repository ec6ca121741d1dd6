// Converting a page of any supported bit count to 8-bit grey. The weights and the order of
// the steps are fixed: results at the rounding boundaries (a grey 101 becomes 100 on a 24-bit
// page) depend on them, so each single-precision step is written out as float.

#include <cstdio>
#include <cstring>
#include <string>

#include "halvo_pic.h"
#include "message_sink.h"

namespace {

std::uint8_t GreyOfTrueColour(std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
  const float a = static_cast<float>(green * 0.587);
  const float b = static_cast<float>(a + static_cast<float>(blue * 0.114));
  const float c = static_cast<float>(b + static_cast<float>(red * 0.299));
  return static_cast<std::uint8_t>(c);
}

std::uint8_t GreyOfHighColour(std::uint16_t v, bool sixBitGreen) {
  int red, green;
  if (sixBitGreen) {
    red = (v >> 8) & 0xF8;
    green = (v >> 3) & 0xFC;
  } else {
    red = (v >> 7) & 0xF8;
    green = (v >> 2) & 0xF8;
  }
  const int blue = (v & 0x1F) << 3;
  return static_cast<std::uint8_t>((green * 0.587 + red * 0.299) + blue * 0.114);
}

// Palette entries are rounded to the nearest grey, so an entry (v, v, v) gives v exactly.
std::uint8_t GreyOfPaletteEntry(const RgbQuad& entry) {
  return static_cast<std::uint8_t>(((entry.rgbBlue * 0.114 + entry.rgbGreen * 0.587) + entry.rgbRed * 0.299) + 0.5);
}

}  // namespace

int CHalvoPic::ConvertTo8Bit(CHalvoPic& destination, orla::ReadProgress* progress) const {
  if (empty != 0 || rows.empty()) return 0;
  const bool supported = bitsPerPixel > 16 || bitsPerPixel == 16 || bitsPerPixel == 1 ||
                         bitsPerPixel == 4 || bitsPerPixel == 8;
  // A page it converts has every byte of its rows written below, row by row; one it does not
  // is left white.
  if (destination.Shape8(width, height, !supported) == 0) return 0;
  destination.dpiX = dpiX;
  destination.dpiY = dpiY;

  if (!supported) {
    char text[64];
    std::snprintf(text, sizeof text, "Not support %d bitcount image", bitsPerPixel);
    orla::ShowMessage(text);
    return 0;
  }

  std::array<std::uint8_t, 256> paletteGrey{};
  for (std::size_t i = 0; i < palette.size(); ++i) paletteGrey[i] = GreyOfPaletteEntry(palette[i]);
  const bool sixBitGreen = infoHeader.biCompression != 0;
  const std::size_t bytesPerPixel = static_cast<std::size_t>(bitsPerPixel) / 8;

  const auto columns = static_cast<std::size_t>(width);
  const auto lineBytes = static_cast<std::size_t>(destination.stride);
  for (std::int32_t y = 0; y < height; ++y) {
    const std::uint8_t* source = rows[y].get();
    std::uint8_t* target = destination.rows[y].get();
    // A row the source lacks is white, and so is the padding after every row's pixels.
    const std::size_t written = source != nullptr ? columns : 0;
    std::memset(target + written, 0xFF, lineBytes - written);
    for (std::size_t x = 0; source != nullptr && x < columns; ++x) {
      std::uint8_t grey;
      if (bitsPerPixel > 16) {
        const std::uint8_t* pixel = source + x * bytesPerPixel;
        grey = GreyOfTrueColour(pixel[0], pixel[1], pixel[2]);
      } else if (bitsPerPixel == 16) {
        const auto v = static_cast<std::uint16_t>(source[2 * x] | (source[2 * x + 1] << 8));
        grey = GreyOfHighColour(v, sixBitGreen);
      } else if (bitsPerPixel == 8) {
        grey = paletteGrey[source[x]];
      } else if (bitsPerPixel == 4) {
        // The high nibble is the left pixel of the pair.
        const std::uint8_t pair = source[x / 2];
        grey = paletteGrey[(x % 2 == 0) ? (pair >> 4) : (pair & 0x0F)];
      } else {
        grey = paletteGrey[(source[x / 8] >> (7 - x % 8)) & 1];
      }
      target[x] = grey;
    }
    if (!orla::ReadOn(progress, y + 1, height)) {
      destination.Free();
      return 0;
    }
  }
  return 1;
}
