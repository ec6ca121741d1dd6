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
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 2u);
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
    std::vector<std::uint8_t> row(rowBytes);
    for (std::uint32_t y = 0; y < page.length; ++y) {
      std::copy_n(page.data.begin() + static_cast<std::ptrdiff_t>(y * rowBytes), rowBytes, row.begin());
      if (TIFFWriteScanline(tiff, row.data(), y, 0) != 1) throw std::runtime_error("libtiff cannot write a row");
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
