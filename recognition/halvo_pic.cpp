#include "halvo_pic.h"

#include <cstring>
#include <new>

CHalvoPic::CHalvoPic() = default;

CHalvoPic::~CHalvoPic() { Free(); }

void CHalvoPic::Free() {
  if (empty == 0) {
    rows.clear();
    rows.shrink_to_fit();
    pixels_.Release();
  }
  empty = 1;
}

bool CHalvoPic::ReserveRows(std::size_t count) {
  const auto lineBytes = static_cast<std::size_t>(stride);
  try {
    if (!pixels_.Resize(count * lineBytes)) throw std::bad_alloc();
    rows.resize(count);
  } catch (const std::bad_alloc&) {
    rows.clear();
    rows.shrink_to_fit();
    pixels_.Release();
    return false;
  }
  for (std::size_t y = 0; y < count; ++y) rows[y] = Row(pixels_.data() + y * lineBytes);
  return true;
}

bool CHalvoPic::AllocateRows(std::uint8_t fill) {
  if (!ReserveRows(static_cast<std::size_t>(height))) return false;
  if (pixels_.size() != 0) std::memset(pixels_.data(), fill, pixels_.size());
  return true;
}

int CHalvoPic::CreateBlank8(std::int32_t newWidth, std::int32_t newHeight) { return Shape8(newWidth, newHeight, true); }

int CHalvoPic::Shape8(std::int32_t newWidth, std::int32_t newHeight, bool white) {
  const std::int64_t newStride = orla::DibStride(8, newWidth);
  if (orla::PageBytes(8, newWidth, newHeight) < 0) return 0;
  width = newWidth;
  height = newHeight;
  bitsPerPixel = 8;
  stride = static_cast<std::int32_t>(newStride);
  if (!(white ? AllocateRows(0xFF) : ReserveRows(static_cast<std::size_t>(height)))) return 0;

  const auto imageBytes = static_cast<std::uint32_t>(newStride * newHeight);
  fileHeader = BmpFileHeader{0x4D42, imageBytes, 0, 0, 1078};
  infoHeader = BmpInfoHeader{40, width, height, 1, 8, kBmpRgb, imageBytes, 0, 0, 0, 0};
  for (std::size_t i = 0; i < palette.size(); ++i) {
    const auto v = static_cast<std::uint8_t>(i);
    palette[i] = RgbQuad{v, v, v, 0};
  }
  empty = 0;
  return 1;
}

CHalvoPic& CHalvoPic::operator=(const CHalvoPic& source) {
  if (&source == this) return *this;
  const bool hasRows = source.empty == 0 && !source.rows.empty();
  if (!hasRows) Free();
  bitsPerPixel = source.bitsPerPixel;
  infoHeader = source.infoHeader;
  fileHeader = source.fileHeader;
  width = source.width;
  height = source.height;
  stride = source.stride;
  dpiX = source.dpiX;
  dpiY = source.dpiY;
  empty = source.empty;
  palette = source.palette;
  if (!hasRows) return *this;

  if (!ReserveRows(source.rows.size())) {
    Free();
    throw std::bad_alloc();
  }
  const auto lineBytes = static_cast<std::size_t>(stride);
  for (std::size_t y = 0; y < rows.size(); ++y) {
    // A line the source lacks is white here, never what the block held before.
    if (source.rows[y]) {
      std::memcpy(rows[y].get(), source.rows[y].get(), lineBytes);
    } else {
      std::memset(rows[y].get(), 0xFF, lineBytes);
    }
  }
  return *this;
}

bool CHalvoPic::IsGreyPage() const {
  if (bitsPerPixel != 8) return false;
  for (std::size_t i = 0; i < palette.size(); ++i) {
    const RgbQuad& entry = palette[i];
    if (entry.rgbBlue != i || entry.rgbGreen != i || entry.rgbRed != i) return false;
  }
  return true;
}
