#include "tiff_rgba_bands.h"

#include <algorithm>
#include <new>

namespace orla {
namespace {

// Lines a band holds at least: a few milliseconds of decoding at 600 dots per inch.
constexpr std::uint32_t kBandRows = 64;

// The layouts whose lines libtiff decodes one at a time into the same bytes a strip holds:
// one plane, no subsampled colour, and a codec that works line by line.
bool ReadableByScanline(TIFF* tiff) {
  std::uint16_t planar = PLANARCONFIG_CONTIG, photometric = 0, compression = COMPRESSION_NONE;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
  TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);
  if (TIFFIsTiled(tiff) || planar != PLANARCONFIG_CONTIG) return false;
  switch (photometric) {
    case PHOTOMETRIC_MINISWHITE:
    case PHOTOMETRIC_MINISBLACK:
    case PHOTOMETRIC_RGB:
    case PHOTOMETRIC_PALETTE:
    case PHOTOMETRIC_SEPARATED:
      break;
    default:
      return false;
  }
  switch (compression) {
    case COMPRESSION_NONE:
    case COMPRESSION_CCITTRLE:
    case COMPRESSION_CCITTFAX3:
    case COMPRESSION_CCITTFAX4:
    case COMPRESSION_LZW:
    case COMPRESSION_PACKBITS:
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE:
      return true;
    default:
      return false;
  }
}

}  // namespace

TiffRgbaBands::TiffRgbaBands(TIFF* tiff) : tiff_(tiff) {
  char message[1024] = "";
  started_ = TIFFRGBAImageOK(tiff, message) != 0 && TIFFRGBAImageBegin(&image_, tiff, 0, message) != 0;
  if (!started_) {
    refusal_ = message;
    return;
  }
  image_.req_orientation = ORIENTATION_BOTLEFT;
  const std::uint32_t height = std::max<std::uint32_t>(image_.height, 1);
  std::uint32_t unit = 0;
  if (TIFFIsTiled(tiff)) {
    TIFFGetField(tiff, TIFFTAG_TILELENGTH, &unit);
  } else {
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &unit);
  }
  unit = std::clamp<std::uint32_t>(unit, 1, height);
  if (unit > kBandRows && image_.put.contig != nullptr && ReadableByScanline(tiff)) {
    lineBytes_ = TIFFScanlineSize64(tiff);
    try {
      if (lineBytes_ > 0) lines_.resize(static_cast<std::size_t>(lineBytes_) * kBandRows);
      byScanline_ = lineBytes_ > 0;
    } catch (const std::bad_alloc&) {
      byScanline_ = false;
    }
  }
  // Otherwise whole strips or tile rows: each is decoded once, as a read of the whole page does.
  rows_ = byScanline_ ? kBandRows : unit >= kBandRows ? unit : (kBandRows + unit - 1) / unit * unit;
  rows_ = std::min(rows_, height);
}

TiffRgbaBands::~TiffRgbaBands() {
  if (started_) TIFFRGBAImageEnd(&image_);
}

bool TiffRgbaBands::Read(std::uint32_t first, std::uint32_t count, std::uint32_t* raster) {
  if (byScanline_) return ReadScanlines(first, count, raster);
  image_.row_offset = static_cast<int>(first);
  image_.col_offset = 0;
  return TIFFRGBAImageGet(&image_, raster, image_.width, count) != 0;
}

bool TiffRgbaBands::ReadScanlines(std::uint32_t first, std::uint32_t count, std::uint32_t* raster) {
  const std::uint32_t width = image_.width;
  const bool flipped = StartsAtTop();
  std::vector<std::uint32_t> lost;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (TIFFReadScanline(tiff_, lines_.data() + i * lineBytes_, first + i, 0) != 1) {
      if (first == 0 && i == 0) return false;
      lost.push_back(i);
    }
  }
  // As libtiff's own strip reading calls the routine: flipped pages fill the raster from its
  // last row upwards.
  const std::int64_t start = flipped ? std::int64_t{count} - 1 : 0;
  const auto skew = flipped ? -2 * static_cast<std::int32_t>(width) : 0;
  image_.put.contig(&image_, raster + start * width, 0, static_cast<std::uint32_t>(start), width, count, 0, skew,
                    lines_.data());
  switch (image_.orientation) {
    case ORIENTATION_TOPRIGHT:
    case ORIENTATION_RIGHTTOP:
    case ORIENTATION_BOTRIGHT:
    case ORIENTATION_RIGHTBOT:
      for (std::uint32_t r = 0; r < count; ++r) {
        std::reverse(raster + std::size_t{r} * width, raster + std::size_t{r + 1} * width);
      }
      break;
    default:
      break;
  }
  // Lines libtiff could not decode are left as no paint at all: white paper once laid over it.
  for (const std::uint32_t i : lost) {
    const std::uint32_t r = flipped ? count - 1 - i : i;
    std::fill(raster + std::size_t{r} * width, raster + std::size_t{r + 1} * width, 0u);
  }
  return true;
}

std::int64_t TiffRgbaBands::StoredRowOf(std::uint32_t first, std::uint32_t count) const {
  return StartsAtTop() ? std::int64_t{image_.height} - first - count : std::int64_t{first};
}

bool TiffRgbaBands::StartsAtTop() const {
  switch (image_.orientation) {
    case ORIENTATION_TOPLEFT:
    case ORIENTATION_TOPRIGHT:
    case ORIENTATION_LEFTTOP:
    case ORIENTATION_RIGHTTOP:
      return true;
    default:
      return false;
  }
}

}  // namespace orla
