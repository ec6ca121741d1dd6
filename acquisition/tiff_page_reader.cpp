#include "tiff_page_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <tiffio.h>

#include "packed_dib_layout.h"
#include "tiff_rgba_bands.h"

namespace {

std::string g_lastDiagnostic;

// libtiff's messages are kept, never shown: a page that cannot be read is reported by the
// caller. Returning 1 stops libtiff from calling its process-wide handlers (stderr) as well.
int KeepDiagnostic(TIFF*, void*, const char* module, const char* format, va_list args) {
  char text[512];
  std::vsnprintf(text, sizeof text, format, args);
  g_lastDiagnostic = module != nullptr ? std::string(module) + ": " + text : std::string(text);
  return 1;
}

struct TiffCloser {
  void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using TiffFile = std::unique_ptr<TIFF, TiffCloser>;

TiffFile OpenTiff(const char* fileName) {
  if (fileName == nullptr) return nullptr;
  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  if (options == nullptr) return nullptr;
  TIFFOpenOptionsSetErrorHandlerExtR(options, KeepDiagnostic, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(options, KeepDiagnostic, nullptr);
  // libtiff's own buffers stay within what a page may take.
  TIFFOpenOptionsSetMaxSingleMemAlloc(options, orla::kMaxPageBytes);
  TiffFile file(TIFFOpenExt(fileName, "r", options));
  TIFFOpenOptionsFree(options);
  return file;
}

// A side as the page list holds it; 0 for one too large for it.
std::int32_t Side(std::uint32_t value) { return value > INT32_MAX ? 0 : static_cast<std::int32_t>(value); }

// Rounded resolution tag value. Values no page has (negative, not a number, or so large that
// the pixels per metre would not fit) count as absent.
std::int32_t RoundedResolution(float value) {
  if (!(value >= 0.0f && value < 2.0e7f)) return 0;
  return static_cast<std::int32_t>(value + 0.5);
}

}  // namespace

int ListTiffPages(std::vector<TiffPageInfo>& pages, const char* fileName) {
  TiffFile tiff = OpenTiff(fileName);
  if (!tiff) return 0;
  int listed = 0;
  const tdir_t count = TIFFNumberOfDirectories(tiff.get());
  for (tdir_t d = 0; d < count && d <= INT32_MAX; ++d) {
    // A directory libtiff cannot select would report the fields of another one.
    if (TIFFSetDirectory(tiff.get(), d) != 1) continue;
    std::uint32_t width = 0, length = 0;
    std::uint16_t bitsPerSample = 0;
    TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &length);
    TIFFGetField(tiff.get(), TIFFTAG_BITSPERSAMPLE, &bitsPerSample);
    if (Side(width) == 0 || Side(length) == 0) continue;
    TiffPageInfo page;
    page.width = Side(width);
    page.length = Side(length);
    page.directoryIndex = static_cast<std::int32_t>(d);
    page.bitsPerSample = bitsPerSample;
    page.name = "image" + std::to_string(d);
    pages.push_back(std::move(page));
    ++listed;
  }
  return listed;
}

void PremultiplyAndSwapRB(std::uint32_t* pixels, std::int32_t width, std::int32_t height) {
  if (pixels == nullptr || width <= 0 || height <= 0) return;
  auto* bytes = reinterpret_cast<std::uint8_t*>(pixels);
  const std::int64_t count = std::int64_t{width} * height;
  for (std::int64_t i = 0; i < count; ++i, bytes += 4) {
    const int paper = 255 - bytes[3];
    // Premultiplied colours never exceed alpha; a broken file may still have them.
    auto over = [paper](std::uint8_t c) { return static_cast<std::uint8_t>(c + paper > 255 ? 255 : c + paper); };
    const std::uint8_t red = over(bytes[0]);
    bytes[0] = over(bytes[2]);
    bytes[1] = over(bytes[1]);
    bytes[2] = red;
  }
}

PackedDib LoadTiffPageAsDib(const char* fileName, std::int32_t directoryIndex, orla::ReadProgress* progress) {
  if (directoryIndex < 0) return nullptr;
  TiffFile tiff = OpenTiff(fileName);
  if (!tiff) return nullptr;
  if (TIFFSetDirectory(tiff.get(), static_cast<tdir_t>(directoryIndex)) != 1) return nullptr;

  std::uint32_t width = 0, length = 0;
  TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width);
  TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &length);
  // A missing YResolution repeats the X value: both are read into the same float.
  float resolution = 0.0f;
  TIFFGetField(tiff.get(), TIFFTAG_XRESOLUTION, &resolution);
  std::int32_t x = RoundedResolution(resolution);
  TIFFGetField(tiff.get(), TIFFTAG_YRESOLUTION, &resolution);
  std::int32_t y = RoundedResolution(resolution);
  std::uint16_t unit = RESUNIT_INCH;
  TIFFGetField(tiff.get(), TIFFTAG_RESOLUTIONUNIT, &unit);
  if (unit == RESUNIT_INCH) {
    x = static_cast<std::int32_t>(x / 2.54);
    y = static_cast<std::int32_t>(y / 2.54);
  }

  orla::PackedDibLayout layout;
  if (!orla::PlanPackedDib(Side(width), Side(length), 24, 0, layout)) return nullptr;
  // libtiff's pixels take 4 bytes: a page is held to the size whose 32-bit raster would fit
  // in what a page may take, even though only a band of it is ever held at once.
  const std::int64_t pixelCount = std::int64_t{width} * length;
  if (pixelCount > orla::kMaxPageBytes / 4) return nullptr;

  orla::TiffRgbaBands bands(tiff.get());
  if (!bands.ok()) {
    g_lastDiagnostic = std::string(TIFFFileName(tiff.get())) + ": " + bands.refusal();
    return nullptr;
  }
  std::vector<std::uint32_t> raster;
  try {
    raster.resize(static_cast<std::size_t>(width) * bands.rows());
  } catch (const std::bad_alloc&) {
    return nullptr;
  }

  orla::OwnedBlock dib(orla::AllocateBlock(static_cast<std::size_t>(layout.blockSize)));
  if (!dib) return nullptr;
  orla::BlockLock lock(dib.get());
  if (!lock) return nullptr;
  auto* bits = static_cast<std::uint8_t*>(lock.get());
  orla::DibHeaderFields fields;
  fields.width = Side(width);
  fields.height = Side(length);
  fields.bitCount = 24;
  fields.sizeImage = static_cast<std::uint32_t>(layout.blockSize);
  fields.xPelsPerMeter = x * 100;
  fields.yPelsPerMeter = y * 100;
  orla::WriteDibHeader(bits, fields);

  // Band by band, so that the caller hears of the page's progress while libtiff decodes it.
  // Each band's raster comes bottom-up, as the bitmap stores its rows: its first row is the
  // band's lowest line on the page.
  for (std::uint32_t first = 0; first < length; first += bands.rows()) {
    const std::uint32_t count = std::min(bands.rows(), length - first);
    if (!bands.Read(first, count, raster.data())) {
      // libtiff goes on past a strip it cannot read once it has read one; the lines of a band
      // it gives up on (a file cut short) stay white paper.
      if (first == 0) return nullptr;
      std::fill(raster.begin(), raster.end(), 0u);
    }
    PremultiplyAndSwapRB(raster.data(), Side(width), static_cast<std::int32_t>(count));
    std::uint8_t* row = bits + 40 + bands.StoredRowOf(first, count) * layout.stride;
    const auto* source = reinterpret_cast<const std::uint8_t*>(raster.data());
    for (std::uint32_t r = 0; r < count; ++r, row += layout.stride) {
      for (std::uint32_t c = 0; c < width; ++c, source += 4) std::memcpy(row + 3 * c, source, 3);
    }
    if (!orla::ReadOn(progress, first + count, length)) return nullptr;
  }
  return dib.release();
}

std::string LastTiffDiagnostic() { return g_lastDiagnostic; }
