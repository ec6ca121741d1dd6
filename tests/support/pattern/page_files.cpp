#include "page_files.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>

#include <tiffio.h>

#include "bmp_bytes.h"
#include "jpeg_writer.h"
#include "pdf_writer.h"
#include "tiff_writer.h"

namespace orla::pattern {
namespace {

test::BmpSpec SpecOf(const GreyPage& page) {
  test::BmpSpec bmp;
  bmp.width = page.width;
  bmp.height = page.height;
  bmp.bitCount = 8;
  bmp.xPelsPerMeter = bmp.yPelsPerMeter = PixelsPerMetreOf(page.dpi);
  bmp.clrUsed = 256;
  bmp.palette = test::GreyRamp(256);
  bmp.rows.reserve(static_cast<std::size_t>(page.height));
  for (int y = 0; y < page.height; ++y) {
    std::vector<std::uint8_t> row = test::FilledRow(8, page.width, 0);
    std::memcpy(row.data(), &page.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(page.width)],
                static_cast<std::size_t>(page.width));
    bmp.rows.push_back(std::move(row));
  }
  return bmp;
}

// Writes the whole file or, failing that, leaves none behind.
bool WriteBytes(const std::vector<std::uint8_t>& bytes, const std::string& path) {
  if (bytes.empty()) return false;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool closed = std::fclose(file) == 0;
  if (!(written && closed)) std::remove(path.c_str());
  return written && closed;
}

std::uint16_t CompressionTag(TiffCompression compression) {
  switch (compression) {
    case TiffCompression::Deflate: return COMPRESSION_ADOBE_DEFLATE;
    case TiffCompression::Lzw: return COMPRESSION_LZW;
    case TiffCompression::PackBits: return COMPRESSION_PACKBITS;
    case TiffCompression::None: break;
  }
  return COMPRESSION_NONE;
}

}  // namespace

std::int32_t PixelsPerMetreOf(int dpi) { return static_cast<std::int32_t>(std::lround(dpi / 0.0254)); }

bool ToHalvoPic(const GreyPage& page, CHalvoPic& out) {
  if (page.empty() || out.CreateBlank8(page.width, page.height) == 0) return false;
  for (int y = 0; y < page.height; ++y)
    std::memcpy(out.rows[static_cast<std::size_t>(y)].get(),
                &page.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(page.width)],
                static_cast<std::size_t>(page.width));
  out.dpiX = out.dpiY = page.dpi;
  out.infoHeader.biXPelsPerMeter = out.infoHeader.biYPelsPerMeter = PixelsPerMetreOf(page.dpi);
  return true;
}

std::vector<std::uint8_t> BmpFileBytes(const GreyPage& page) {
  if (page.empty()) return {};
  return test::BuildBmp(SpecOf(page));
}

bool WriteBmpFile(const GreyPage& page, const std::string& path) { return WriteBytes(BmpFileBytes(page), path); }

MemBlock ToPackedDib(const GreyPage& page) {
  if (page.empty()) return nullptr;
  return test::BuildPackedDib(SpecOf(page));
}

bool WriteJpegFile(const GreyPage& page, const std::string& path, int quality) {
  if (page.empty() || page.dpi < 0 || page.dpi > 0xFFFF) return false;
  test::JpegSpec spec;
  spec.width = page.width;
  spec.height = page.height;
  spec.kind = test::JpegKind::Grey;
  spec.samples = page.pixels;
  spec.quality = quality;
  spec.writeAdobe = false;
  spec.densityUnit = 1;  // dots per inch
  spec.xDensity = spec.yDensity = static_cast<std::uint16_t>(page.dpi);
  try {
    return WriteBytes(test::EncodeJpeg(spec), path);
  } catch (const std::exception&) {
    return false;
  }
}

bool WriteTiffFile(std::span<const GreyPage> pages, const std::string& path, TiffCompression compression) {
  if (pages.empty()) return false;
  std::vector<test::TiffPageSpec> specs;
  for (const GreyPage& page : pages) {
    if (page.empty()) return false;
    test::TiffPageSpec spec;
    spec.width = static_cast<std::uint32_t>(page.width);
    spec.length = static_cast<std::uint32_t>(page.height);
    spec.compression = CompressionTag(compression);
    spec.xResolution = spec.yResolution = static_cast<float>(page.dpi);
    spec.resolutionUnit = RESUNIT_INCH;
    spec.data = page.pixels;
    specs.push_back(std::move(spec));
  }
  try {
    return WriteBytes(test::BuildTiff(specs), path);
  } catch (const std::exception&) {
    return false;
  }
}

std::vector<std::uint8_t> PdfFileBytes(std::span<const GreyPage> pages) {
  if (pages.empty()) return {};
  std::vector<test::PdfPage> pdfPages;
  for (const GreyPage& page : pages) {
    if (page.empty()) return {};
    test::PdfImage image;
    image.width = page.width;
    image.height = page.height;
    image.data = page.pixels;
    image.filter = test::PdfFilter::Flate;
    pdfPages.push_back(test::PdfPage{{std::move(image)}, ""});
  }
  try {
    return test::BuildPdf(pdfPages);
  } catch (const std::exception&) {
    return {};
  }
}

bool WritePdfFile(std::span<const GreyPage> pages, const std::string& path) { return WriteBytes(PdfFileBytes(pages), path); }

}  // namespace orla::pattern
