#include "tiff_writer.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <tiffio.h>

namespace orla::test {

namespace {

// Contiguous samples of whole bytes, cut into tiles padded with zeros.
void WriteTiles(TIFF* tiff, const TiffPageSpec& page, std::size_t rowBytes) {
  const std::size_t pixelBytes = std::size_t{page.samplesPerPixel} * page.bitsPerSample / 8;
  if (pixelBytes == 0 || page.planarSeparate) throw std::invalid_argument("tiles take whole-byte contiguous pixels");
  std::vector<std::uint8_t> tile(std::size_t{page.tileWidth} * page.tileLength * pixelBytes);
  for (std::uint32_t ty = 0; ty < page.length; ty += page.tileLength) {
    for (std::uint32_t tx = 0; tx < page.width; tx += page.tileWidth) {
      std::fill(tile.begin(), tile.end(), std::uint8_t{0});
      for (std::uint32_t y = 0; y < page.tileLength && ty + y < page.length; ++y) {
        const std::uint32_t columns = std::min(page.tileWidth, page.width - tx);
        std::copy_n(page.data.begin() + static_cast<std::ptrdiff_t>((ty + y) * rowBytes + tx * pixelBytes),
                    columns * pixelBytes, tile.begin() + static_cast<std::ptrdiff_t>(y * page.tileWidth * pixelBytes));
      }
      if (TIFFWriteTile(tiff, tile.data(), tx, ty, 0, 0) < 0) throw std::runtime_error("libtiff cannot write a tile");
    }
  }
}

// One plane per sample, each row by row.
void WritePlanes(TIFF* tiff, const TiffPageSpec& page) {
  if (page.bitsPerSample != 8) throw std::invalid_argument("planes take 8-bit samples");
  const std::uint16_t samples = page.samplesPerPixel;
  std::vector<std::uint8_t> row(page.width);
  for (std::uint16_t s = 0; s < samples; ++s) {
    for (std::uint32_t y = 0; y < page.length; ++y) {
      for (std::uint32_t x = 0; x < page.width; ++x) row[x] = page.data[(std::size_t{y} * page.width + x) * samples + s];
      if (TIFFWriteScanline(tiff, row.data(), y, s) != 1) throw std::runtime_error("libtiff cannot write a row");
    }
  }
}

}  // namespace

std::size_t TiffRowBytes(const TiffPageSpec& page) {
  return (std::size_t{page.width} * page.samplesPerPixel * page.bitsPerSample + 7) / 8;
}

TiffPageSpec GreyTiffPage(std::uint32_t width, std::uint32_t length, std::uint8_t first) {
  TiffPageSpec page;
  page.width = width;
  page.length = length;
  for (std::uint32_t y = 0; y < length; ++y) page.data.insert(page.data.end(), width, static_cast<std::uint8_t>(first + y));
  return page;
}

std::vector<std::uint8_t> BuildTiff(const std::vector<TiffPageSpec>& pages) {
  char path[] = "/tmp/orla-tiff-XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) throw std::runtime_error("cannot create a temporary TIFF file");
  close(fd);
  TIFF* tiff = TIFFOpen(path, "w");
  if (tiff == nullptr) throw std::runtime_error("libtiff cannot write the file");
  for (const TiffPageSpec& page : pages) {
    const std::size_t rowBytes = TiffRowBytes(page);
    if (page.data.size() != rowBytes * page.length) throw std::invalid_argument("TIFF data does not match the size");
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, page.width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, page.length);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, page.samplesPerPixel);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, page.bitsPerSample);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, page.photometric);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, page.compression);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, page.planarSeparate ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG);
    const bool tiled = page.tileWidth != 0 && page.tileLength != 0;
    if (tiled) {
      TIFFSetField(tiff, TIFFTAG_TILEWIDTH, page.tileWidth);
      TIFFSetField(tiff, TIFFTAG_TILELENGTH, page.tileLength);
    } else {
      TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, page.rowsPerStrip);
    }
    if (page.orientation) TIFFSetField(tiff, TIFFTAG_ORIENTATION, *page.orientation);
    if (page.compression == COMPRESSION_JPEG && page.photometric == PHOTOMETRIC_YCBCR) {
      TIFFSetField(tiff, TIFFTAG_YCBCRSUBSAMPLING, 2, 2);
      TIFFSetField(tiff, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    }
    if (page.extraSample) {
      const std::uint16_t extra[] = {*page.extraSample};
      TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, extra);
    }
    if (page.xResolution) TIFFSetField(tiff, TIFFTAG_XRESOLUTION, double{*page.xResolution});
    if (page.yResolution) TIFFSetField(tiff, TIFFTAG_YRESOLUTION, double{*page.yResolution});
    if (page.resolutionUnit) TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, *page.resolutionUnit);
    if (page.photometric == PHOTOMETRIC_PALETTE) {
      TIFFSetField(tiff, TIFFTAG_COLORMAP, page.red.data(), page.green.data(), page.blue.data());
    }
    if (tiled) {
      WriteTiles(tiff, page, rowBytes);
    } else if (page.planarSeparate) {
      WritePlanes(tiff, page);
    } else {
      std::vector<std::uint8_t> row(rowBytes);
      for (std::uint32_t y = 0; y < page.length; ++y) {
        std::copy_n(page.data.begin() + static_cast<std::ptrdiff_t>(y * rowBytes), rowBytes, row.begin());
        if (TIFFWriteScanline(tiff, row.data(), y, 0) != 1) throw std::runtime_error("libtiff cannot write a row");
      }
    }
    if (TIFFWriteDirectory(tiff) != 1) throw std::runtime_error("libtiff cannot write a directory");
  }
  TIFFClose(tiff);
  std::ifstream in(path, std::ios::binary);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::remove(path);
  return bytes;
}

RawTiffDirectory RawGreyDirectory(std::uint32_t width, std::uint32_t length, bool withLength) {
  RawTiffDirectory directory;
  directory.entries.push_back({256, 4, width});
  if (withLength) directory.entries.push_back({257, 4, length});
  directory.entries.push_back({258, 3, 8});
  directory.entries.push_back({259, 3, 1});
  directory.entries.push_back({262, 3, 1});
  directory.entries.push_back({277, 3, 1});
  directory.entries.push_back({278, 4, length});
  directory.entries.push_back({279, 4, width * length});
  directory.strip.assign(std::size_t{width} * length, 0x80);
  return directory;
}

namespace {

void Put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  out[at] = static_cast<std::uint8_t>(v);
  out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  Put16(out, at, v & 0xFFFF);
  Put16(out, at + 2, v >> 16);
}

}  // namespace

std::vector<std::uint8_t> BuildRawTiff(const std::vector<RawTiffDirectory>& directories) {
  std::vector<std::uint8_t> out = {'I', 'I', 42, 0, 0, 0, 0, 0};
  std::size_t linkAt = 4;  // where the offset of the next directory goes
  for (const RawTiffDirectory& directory : directories) {
    const std::size_t stripAt = out.size();
    out.insert(out.end(), directory.strip.begin(), directory.strip.end());
    if (out.size() % 2 != 0) out.push_back(0);
    std::vector<RawTiffEntry> entries = directory.entries;
    // Directories list their tags in ascending order.
    entries.push_back({273, 4, static_cast<std::uint32_t>(stripAt)});
    std::stable_sort(entries.begin(), entries.end(), [](const RawTiffEntry& a, const RawTiffEntry& b) { return a.tag < b.tag; });
    const std::size_t directoryAt = out.size();
    Put32(out, linkAt, static_cast<std::uint32_t>(directoryAt));
    out.resize(directoryAt + 2 + 12 * entries.size() + 4, 0);
    Put16(out, directoryAt, static_cast<std::uint32_t>(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const std::size_t at = directoryAt + 2 + 12 * i;
      Put16(out, at, entries[i].tag);
      Put16(out, at + 2, entries[i].type);
      Put32(out, at + 4, 1);
      if (entries[i].type == 3) {
        Put16(out, at + 8, entries[i].value);
      } else {
        Put32(out, at + 8, entries[i].value);
      }
    }
    linkAt = directoryAt + 2 + 12 * entries.size();
  }
  return out;
}

}  // namespace orla::test
