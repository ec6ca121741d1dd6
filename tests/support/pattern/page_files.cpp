#include "page_files.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "bmp_bytes.h"

namespace orla::pattern {
namespace {

test::BmpSpec SpecOf(const GreyPage& page) {
  test::BmpSpec spec;
  spec.width = page.width;
  spec.height = page.height;
  spec.bitCount = 8;
  spec.xPelsPerMeter = spec.yPelsPerMeter = PixelsPerMetreOf(page.dpi);
  spec.clrUsed = 256;
  spec.palette = test::GreyRamp(256);
  spec.rows.reserve(static_cast<std::size_t>(page.height));
  for (int y = 0; y < page.height; ++y) {
    std::vector<std::uint8_t> row = test::FilledRow(8, page.width, 0);
    std::memcpy(row.data(), &page.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(page.width)],
                static_cast<std::size_t>(page.width));
    spec.rows.push_back(std::move(row));
  }
  return spec;
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

bool WriteBmpFile(const GreyPage& page, const std::string& path) {
  const std::vector<std::uint8_t> bytes = BmpFileBytes(page);
  if (bytes.empty()) return false;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool closed = std::fclose(file) == 0;
  if (!(written && closed)) std::remove(path.c_str());
  return written && closed;
}

MemBlock ToPackedDib(const GreyPage& page) {
  if (page.empty()) return nullptr;
  return test::BuildPackedDib(SpecOf(page));
}

}  // namespace orla::pattern
