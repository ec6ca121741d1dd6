// Reading a BMP file into a CHalvoPic.

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "bit_field_masks.h"
#include "halvo_pic.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

constexpr std::int64_t kHeadersSize = 14 + 40;

// A file must hold at least this share of the pixel rows its header claims, unless the claim
// is small. No scanner or program writes a bitmap that stops after a sliver of its rows, but a
// few damaged header bytes can claim a page of gigabytes that would be allocated, whitened
// and searched in full for the little the file holds. A page cut short anywhere past its
// first sixty-fourth still loads, its missing rows white.
constexpr std::int64_t kLeastShareOfRows = 64;
constexpr std::int64_t kSmallClaimBytes = std::int64_t{1} << 20;

std::int64_t FileLength(std::FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return -1;
  const long length = std::ftell(file);
  return length < 0 ? -1 : length;
}

bool IsCompressed(std::uint32_t compression) {
  return compression == kBmpRle8 || compression == kBmpRle4 || compression == kBmpJpeg ||
         compression == kBmpPng;
}

}  // namespace

int CHalvoPic::LoadBmpFile(std::string path) {
  File file(std::fopen(path.c_str(), "rb"));
  if (!file) return 0;

  unsigned char headers[kHeadersSize];
  if (std::fread(headers, 1, sizeof headers, file.get()) != sizeof headers) return 0;
  const auto newFileHeader = ReadHeader<BmpFileHeader>(headers);
  const auto newInfoHeader = ReadHeader<BmpInfoHeader>(headers + 14);
  const std::int64_t fileLength = FileLength(file.get());

  // A top-down file (negative height), a compressed one or one whose size overflows is
  // refused before anything is allocated.
  const std::int64_t newStride = orla::DibStride(newInfoHeader.biBitCount, newInfoHeader.biWidth);
  if (newInfoHeader.biSize < 40 || IsCompressed(newInfoHeader.biCompression) || fileLength < 0 ||
      orla::PageBytes(newInfoHeader.biBitCount, newInfoHeader.biWidth, newInfoHeader.biHeight) < 0) {
    return 0;
  }

  // The palette holds biClrUsed entries when the file says so, else the full table of its
  // bit count; pixel rows start at bfOffBits when that lies past the palette and inside the
  // file, else straight after the palette.
  const int bitCount = newInfoHeader.biBitCount;
  std::int64_t entries = bitCount <= 8 ? (std::int64_t{1} << bitCount) : 0;
  if (newInfoHeader.biClrUsed >= 1 && newInfoHeader.biClrUsed <= 256) entries = newInfoHeader.biClrUsed;
  const std::int64_t masksAfterHeader = orla::MasksFollowHeader(newInfoHeader) ? orla::kChannelMaskBytes : 0;
  const std::int64_t paletteOffset = 14 + std::int64_t{newInfoHeader.biSize} + masksAfterHeader;
  const std::int64_t paletteBytes = entries * 4;
  std::int64_t pixelOffset = paletteOffset + paletteBytes;
  if (newFileHeader.bfOffBits >= pixelOffset && newFileHeader.bfOffBits < fileLength) {
    pixelOffset = newFileHeader.bfOffBits;
  }
  const std::int64_t claimedBytes = newStride * newInfoHeader.biHeight;
  const std::int64_t heldBytes = std::max<std::int64_t>(fileLength - pixelOffset, 0);
  if (claimedBytes > kSmallClaimBytes && heldBytes < claimedBytes / kLeastShareOfRows) return 0;

  fileHeader = newFileHeader;
  infoHeader = newInfoHeader;
  width = newInfoHeader.biWidth;
  height = newInfoHeader.biHeight;
  bitsPerPixel = bitCount;
  stride = static_cast<std::int32_t>(newStride);

  palette = {};
  if (paletteBytes > 0 && std::fseek(file.get(), static_cast<long>(paletteOffset), SEEK_SET) == 0) {
    const std::size_t kept = static_cast<std::size_t>(std::min<std::int64_t>(paletteBytes, sizeof palette));
    if (std::fread(palette.data(), 1, kept, file.get()) != kept) {
      // A truncated palette leaves the rest of the table zero; the rows are missing anyway.
    }
  }

  dpiX = orla::DpiFromPixelsPerMetre(newInfoHeader.biXPelsPerMeter);
  dpiY = orla::DpiFromPixelsPerMetre(newInfoHeader.biYPelsPerMeter);
  if (dpiX < 300) dpiX = width <= 4000 ? 300 : 600;
  if (dpiY < 300) dpiY = height <= 4000 ? 300 : 600;

  // Rows missing at the end of a short file stay white, so the page is always whole.
  if (!AllocateRows(0xFF)) return 0;
  if (std::fseek(file.get(), static_cast<long>(pixelOffset), SEEK_SET) == 0) {
    for (std::int32_t y = height - 1; y >= 0; --y) {
      const std::size_t got = std::fread(rows[y].get(), 1,
                                         static_cast<std::size_t>(stride), file.get());
      if (got < static_cast<std::size_t>(stride)) {
        std::memset(rows[y].get() + got, 0xFF, static_cast<std::size_t>(stride) - got);
        break;
      }
    }
  }
  // A file too short for its masks has no rows either: its white page stays white.
  orla::ChannelMasks masks;
  if (orla::HasChannelMasks(newInfoHeader) && std::fseek(file.get(), static_cast<long>(kHeadersSize), SEEK_SET) == 0 &&
      std::fread(&masks, 1, sizeof masks, file.get()) == sizeof masks) {
    orla::ReadByChannelMasks(*this, masks);
  }
  empty = 0;
  return 1;
}
