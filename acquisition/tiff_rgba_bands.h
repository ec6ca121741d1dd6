#pragma once
// libtiff's RGBA reading of one TIFF page a band of lines at a time, so that the reader can
// tell how far it has come while libtiff decodes. Every band is what one read of the whole page
// would give for its lines. Compiled by g++ only (libtiff headers).

#include <cstdint>
#include <string>
#include <vector>

#include <tiffio.h>

namespace orla {

class TiffRgbaBands {
 public:
  // Starts on the current directory of `tiff`; ok() tells whether libtiff can read it.
  explicit TiffRgbaBands(TIFF* tiff);
  ~TiffRgbaBands();
  TiffRgbaBands(const TiffRgbaBands&) = delete;
  TiffRgbaBands& operator=(const TiffRgbaBands&) = delete;

  bool ok() const { return started_; }
  // Why libtiff cannot read the page, when ok() is false.
  const std::string& refusal() const { return refusal_; }
  // Lines a band holds (the last one may hold fewer).
  std::uint32_t rows() const { return rows_; }

  // The `count` lines from line `first` of the file into `raster` (width x count pixels, bytes
  // R, G, B, A), bottom-up: its first row is the band's lowest line on the page. Bands are
  // read in order from line 0. False when libtiff could read none of the band.
  bool Read(std::uint32_t first, std::uint32_t count, std::uint32_t* raster);

  // The bitmap row (counted from the bottom) that takes a band's first raster row. Files whose
  // lines run from the top of the page come flipped into the bottom-up raster, so their first
  // band is the page's top; files that start at the bottom come as they are.
  std::int64_t StoredRowOf(std::uint32_t first, std::uint32_t count) const;

 private:
  bool StartsAtTop() const;
  bool ReadScanlines(std::uint32_t first, std::uint32_t count, std::uint32_t* raster);

  TIFF* tiff_;
  TIFFRGBAImage image_{};
  bool started_ = false;
  std::string refusal_;
  std::uint32_t rows_ = 1;
  // Strips taller than a band are read line by line and converted by libtiff's own routine for
  // the page's pixels, where the layout allows it; `lines_` holds a band of decoded lines.
  bool byScanline_ = false;
  std::vector<std::uint8_t> lines_;
  std::int64_t lineBytes_ = 0;
};

}  // namespace orla
