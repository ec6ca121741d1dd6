// Loading a packed device-independent bitmap into a CHalvoPic.

#include <algorithm>
#include <bit>
#include <cstring>

#include "halvo_pic.h"

namespace {

// The channel masks of a 16- or 32-bit bit-field bitmap, as scanner drivers hand them over.
struct ChannelMasks {
  std::uint32_t red = 0;
  std::uint32_t green = 0;
  std::uint32_t blue = 0;

  bool operator==(const ChannelMasks&) const = default;
};

constexpr ChannelMasks kMasks565{0xF800, 0x07E0, 0x001F};
constexpr ChannelMasks kMasks555{0x7C00, 0x03E0, 0x001F};
constexpr ChannelMasks kMasksBgr{0x00FF0000, 0x0000FF00, 0x000000FF};

bool HasChannelMasks(const BmpInfoHeader& header) {
  return header.biCompression == kBmpBitFields && (header.biBitCount == 16 || header.biBitCount == 32);
}

// A 40-byte header is followed by the three masks, before the palette; the longer headers
// hold them themselves, at the same offset.
bool MasksFollowHeader(const BmpInfoHeader& header) { return HasChannelMasks(header) && header.biSize < 52; }

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

// Brings bit-field rows into the layouts the grey conversion reads: 16-bit words as 5-6-5
// (biCompression not 0) or 5-5-5 (0), 32-bit pixels as the bytes blue, green, red and one
// unused. Rows already in one of these layouts are kept as they are, so their grey values
// are those of the plain bitmaps.
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

// Palette size in bytes as the block lays it out, computed in 32 bits so a large biClrUsed
// cannot wrap around into a plausible small palette.
std::int64_t StoredPaletteBytes(const BmpInfoHeader& header) {
  if (header.biClrUsed != 0) return std::int64_t{header.biClrUsed} * 4;
  switch (header.biBitCount) {
    case 1: return 8;
    case 4: return 64;
    case 8: return 1024;
    default: return 0;
  }
}

}  // namespace

int CHalvoPic::LoadFromDib(PackedDib dib) {
  orla::BlockLock lock(dib);
  if (!lock) return 0;
  const auto* bytes = static_cast<const std::uint8_t*>(lock.get());
  const auto blockSize = static_cast<std::int64_t>(orla::BlockSize(dib));
  if (blockSize < 40) return 0;

  const auto header = ReadHeader<BmpInfoHeader>(bytes);
  if (header.biSize < 40 || header.biHeight == INT32_MIN) return 0;
  // A negative height marks top-down rows.
  const bool topDown = header.biHeight < 0;
  const std::int32_t rowCount = topDown ? -header.biHeight : header.biHeight;
  const std::int64_t rowBytes = orla::DibStride(header.biBitCount, header.biWidth);
  const std::int64_t paletteBytes = StoredPaletteBytes(header);
  const std::int64_t masksAfterHeader = MasksFollowHeader(header) ? 12 : 0;
  const std::int64_t paletteOffset = std::int64_t{header.biSize} + masksAfterHeader;
  const std::int64_t pixelOffset = paletteOffset + paletteBytes;
  const std::int64_t pixelBytes = orla::PageBytes(header.biBitCount, header.biWidth, rowCount);
  if (pixelBytes < 0 || pixelOffset + pixelBytes > blockSize) return 0;

  infoHeader = header;
  width = header.biWidth;
  height = rowCount;
  bitsPerPixel = header.biBitCount;
  stride = static_cast<std::int32_t>(rowBytes);

  dpiX = orla::DpiFromPixelsPerMetre(header.biXPelsPerMeter);
  dpiY = orla::DpiFromPixelsPerMetre(header.biYPelsPerMeter);
  auto defaultDpi = [](std::int32_t side) { return side <= 2000 ? 200 : side <= 4000 ? 300 : 600; };
  if (dpiX < 98) dpiX = defaultDpi(width);
  if (dpiY < 98) dpiY = defaultDpi(height);

  palette = {};
  if (paletteBytes > 0) {
    std::memcpy(palette.data(), bytes + paletteOffset,
                static_cast<std::size_t>(std::min<std::int64_t>(paletteBytes, sizeof palette)));
  }

  if (!AllocateRows(0xFF)) return 0;
  const std::uint8_t* source = bytes + pixelOffset;
  for (std::int32_t i = 0; i < rowCount; ++i, source += rowBytes) {
    const std::int32_t y = topDown ? i : rowCount - 1 - i;
    std::memcpy(rows[static_cast<std::size_t>(y)].get(), source, static_cast<std::size_t>(rowBytes));
  }
  if (HasChannelMasks(header)) {
    ChannelMasks masks;
    std::memcpy(&masks, bytes + (masksAfterHeader != 0 ? header.biSize : sizeof(BmpInfoHeader)), sizeof masks);
    ReadByChannelMasks(*this, masks);
  }
  empty = 0;
  return 1;
}
