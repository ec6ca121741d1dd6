#include "bit_field_masks.h"

#include <bit>

#include "halvo_pic.h"

namespace orla {
namespace {

constexpr ChannelMasks kMasks565{0xF800, 0x07E0, 0x001F};
constexpr ChannelMasks kMasks555{0x7C00, 0x03E0, 0x001F};
constexpr ChannelMasks kMasksBgr{0x00FF0000, 0x0000FF00, 0x000000FF};

// The channel of `pixel` that `mask` selects, scaled from the mask's width to `bits` bits and
// rounded, so that a full channel stays full.
std::uint32_t Channel(std::uint32_t pixel, std::uint32_t mask, int bits) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const std::uint64_t field = mask >> shift;
  const std::uint64_t value = (pixel & mask) >> shift;
  const std::uint64_t top = (std::uint64_t{1} << bits) - 1;
  return static_cast<std::uint32_t>((value * top + field / 2) / field);
}

}  // namespace

bool HasChannelMasks(const BmpInfoHeader& header) {
  return header.biCompression == kBmpBitFields && (header.biBitCount == 16 || header.biBitCount == 32);
}

bool MasksFollowHeader(const BmpInfoHeader& header) {
  return HasChannelMasks(header) && header.biSize < sizeof(BmpInfoHeader) + kChannelMaskBytes;
}

void ReadByChannelMasks(CHalvoPic& pic, const ChannelMasks& masks) {
  const auto each = [&pic](std::size_t bytesPerPixel, auto repack) {
    for (const CHalvoPic::Row& row : pic.rows) {
      for (std::int32_t x = 0; x < pic.width; ++x) repack(row.get() + static_cast<std::size_t>(x) * bytesPerPixel);
    }
  };
  if (pic.bitsPerPixel == 16) {
    if (masks == kMasks555) {
      pic.infoHeader.biCompression = kBmpRgb;
    } else if (!(masks == kMasks565)) {
      each(2, [&masks](std::uint8_t* p) {
        const std::uint32_t v = p[0] | (p[1] << 8);
        const std::uint32_t word =
            (Channel(v, masks.red, 5) << 11) | (Channel(v, masks.green, 6) << 5) | Channel(v, masks.blue, 5);
        p[0] = static_cast<std::uint8_t>(word & 0xFF);
        p[1] = static_cast<std::uint8_t>(word >> 8);
      });
    }
    return;
  }
  if (!(masks == kMasksBgr)) {
    each(4, [&masks](std::uint8_t* p) {
      const std::uint32_t v = p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t{p[3]} << 24);
      p[0] = static_cast<std::uint8_t>(Channel(v, masks.blue, 8));
      p[1] = static_cast<std::uint8_t>(Channel(v, masks.green, 8));
      p[2] = static_cast<std::uint8_t>(Channel(v, masks.red, 8));
      p[3] = 0;
    });
  }
  pic.infoHeader.biCompression = kBmpRgb;
}

}  // namespace orla
