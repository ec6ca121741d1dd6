#pragma once
// 16- and 32-bit bitmaps whose pixels are laid out by three channel masks (bit-field bitmaps),
// as scanner drivers hand them over and some programs save them: the masks lie at offset 40 of
// the info header, right after a 40-byte header or inside a longer one, and every pixel is read
// by them.

#include <cstdint>

#include "bitmap_headers.h"

class CHalvoPic;

namespace orla {

struct ChannelMasks {
  std::uint32_t red = 0;
  std::uint32_t green = 0;
  std::uint32_t blue = 0;

  bool operator==(const ChannelMasks&) const = default;
};

inline constexpr int kChannelMaskBytes = 12;

bool HasChannelMasks(const BmpInfoHeader& header);
// A 40-byte header is followed by the three masks, before the palette; the longer headers hold
// them themselves, at the same offset.
bool MasksFollowHeader(const BmpInfoHeader& header);

// Brings bit-field rows into the layouts the grey conversion reads: 16-bit words as 5-6-5
// (biCompression not 0) or 5-5-5 (0), 32-bit pixels as the bytes blue, green, red and one
// unused. Rows already in one of these layouts are kept as they are, so their grey values are
// those of the plain bitmaps.
void ReadByChannelMasks(CHalvoPic& pic, const ChannelMasks& masks);

}  // namespace orla
