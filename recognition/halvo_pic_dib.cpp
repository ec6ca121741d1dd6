// Loading a packed device-independent bitmap into a CHalvoPic.

#include <algorithm>
#include <cstring>

#include "bit_field_masks.h"
#include "halvo_pic.h"

namespace {

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

int CHalvoPic::LoadFromDib(PackedDib dib, orla::ReadProgress* progress) {
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
  const std::int64_t masksAfterHeader = orla::MasksFollowHeader(header) ? orla::kChannelMaskBytes : 0;
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

  // Every row is copied whole below, so the block needs no filling first: a page of a hundred
  // megabytes is walked once, not twice.
  if (!ReserveRows(static_cast<std::size_t>(height))) return 0;
  const std::uint8_t* source = bytes + pixelOffset;
  for (std::int32_t i = 0; i < rowCount; ++i, source += rowBytes) {
    const std::int32_t y = topDown ? i : rowCount - 1 - i;
    std::memcpy(rows[y].get(), source, static_cast<std::size_t>(rowBytes));
    if (!orla::ReadOn(progress, i + 1, rowCount)) {
      Free();
      return 0;
    }
  }
  if (orla::HasChannelMasks(header)) {
    orla::ChannelMasks masks;
    std::memcpy(&masks, bytes + sizeof(BmpInfoHeader), sizeof masks);
    orla::ReadByChannelMasks(*this, masks);
  }
  empty = 0;
  return 1;
}
