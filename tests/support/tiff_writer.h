#pragma once
// Writes TIFF files for tests: well-formed ones with libtiff, and odd directories byte by byte
// where libtiff would refuse to write them.

#include <cstdint>
#include <optional>
#include <vector>

namespace orla::test {

struct TiffPageSpec {
  std::uint32_t width = 4;
  std::uint32_t length = 3;
  std::uint16_t samplesPerPixel = 1;
  std::uint16_t bitsPerSample = 8;
  std::uint16_t photometric = 1;  // PHOTOMETRIC_MINISBLACK
  std::uint16_t compression = 1;  // COMPRESSION_NONE
  std::optional<std::uint16_t> extraSample;  // EXTRASAMPLE_ASSOCALPHA or _UNASSALPHA
  std::optional<float> xResolution;
  std::optional<float> yResolution;
  std::optional<std::uint16_t> resolutionUnit;
  // Lines a strip holds; tiles of tileWidth x tileLength (multiples of 16) instead of strips
  // when both are set.
  std::uint32_t rowsPerStrip = 2;
  std::uint32_t tileWidth = 0;
  std::uint32_t tileLength = 0;
  std::optional<std::uint16_t> orientation;
  // Each sample in a plane of its own (8-bit samples only).
  bool planarSeparate = false;
  // With COMPRESSION_JPEG and PHOTOMETRIC_YCBCR the data are RGB samples, stored as YCbCr
  // subsampled 2 x 2 (rowsPerStrip a multiple of 16).
  // Palette for PHOTOMETRIC_PALETTE: 1 << bitsPerSample entries each of 16-bit red, green, blue.
  std::vector<std::uint16_t> red, green, blue;
  // Rows from the top line down, each (width x samples x bits + 7) / 8 bytes.
  std::vector<std::uint8_t> data;
};

std::size_t TiffRowBytes(const TiffPageSpec& page);
// A page of `width` x `length` 8-bit grey pixels, row y filled with `first` + y.
TiffPageSpec GreyTiffPage(std::uint32_t width, std::uint32_t length, std::uint8_t first = 10);
std::vector<std::uint8_t> BuildTiff(const std::vector<TiffPageSpec>& pages);

// One directory of a hand-made little-endian file: single-valued SHORT or LONG entries in the
// order given (the writer sorts nothing), and a strip of 8-bit grey samples that the
// directory's StripOffsets entry, added by the writer, points at.
struct RawTiffEntry {
  std::uint16_t tag;
  std::uint16_t type;  // 3 SHORT, 4 LONG
  std::uint32_t value;
};
struct RawTiffDirectory {
  std::vector<RawTiffEntry> entries;
  std::vector<std::uint8_t> strip;
};
// Entries for an 8-bit grey page of width x length without compression; leave `length` out
// with `withLength` false.
RawTiffDirectory RawGreyDirectory(std::uint32_t width, std::uint32_t length, bool withLength = true);
std::vector<std::uint8_t> BuildRawTiff(const std::vector<RawTiffDirectory>& directories);

}  // namespace orla::test
