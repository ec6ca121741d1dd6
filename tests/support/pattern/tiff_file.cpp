// Compiled by g++ only: libtiff's headers must not meet the winelib compiler.
#include <cstdio>
#include <memory>

#include <tiffio.h>

#include "page_files.h"

namespace orla::pattern {
namespace {

struct TiffCloser {
  void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};

std::uint16_t CompressionTag(TiffCompression compression) {
  switch (compression) {
    case TiffCompression::Deflate: return COMPRESSION_ADOBE_DEFLATE;
    case TiffCompression::Lzw: return COMPRESSION_LZW;
    case TiffCompression::PackBits: return COMPRESSION_PACKBITS;
    case TiffCompression::None: break;
  }
  return COMPRESSION_NONE;
}

bool WritePage(TIFF* tiff, const GreyPage& page, TiffCompression compression, int number, int count) {
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(page.width));
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(page.height));
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
  TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tiff, TIFFTAG_COMPRESSION, CompressionTag(compression));
  TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 64u);
  TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
  TIFFSetField(tiff, TIFFTAG_XRESOLUTION, static_cast<float>(page.dpi));
  TIFFSetField(tiff, TIFFTAG_YRESOLUTION, static_cast<float>(page.dpi));
  if (count > 1) {
    TIFFSetField(tiff, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
    TIFFSetField(tiff, TIFFTAG_PAGENUMBER, static_cast<std::uint16_t>(number), static_cast<std::uint16_t>(count));
  }
  for (int y = 0; y < page.height; ++y) {
    auto* row = const_cast<std::uint8_t*>(&page.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(page.width)]);
    if (TIFFWriteScanline(tiff, row, static_cast<std::uint32_t>(y), 0) < 0) return false;
  }
  return TIFFWriteDirectory(tiff) == 1;
}

}  // namespace

bool WriteTiffFile(std::span<const GreyPage> pages, const std::string& path, TiffCompression compression) {
  if (pages.empty()) return false;
  for (const GreyPage& page : pages)
    if (page.empty()) return false;
  bool ok = true;
  {
    std::unique_ptr<TIFF, TiffCloser> tiff(TIFFOpen(path.c_str(), "w"));
    if (!tiff) return false;
    const int count = static_cast<int>(pages.size());
    for (int i = 0; i < count && ok; ++i) ok = WritePage(tiff.get(), pages[static_cast<std::size_t>(i)], compression, i, count);
  }
  if (!ok) std::remove(path.c_str());
  return ok;
}

}  // namespace orla::pattern
