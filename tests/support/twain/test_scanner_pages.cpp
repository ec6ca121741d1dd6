#include "test_scanner_pages.h"

#include <cstring>

#include "bitmap_headers.h"
#include "packed_dib.h"

namespace orla::test::scanner {

std::vector<std::string> SplitPageList(const std::string& list) {
  std::vector<std::string> paths;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(';', start);
    if (end == std::string::npos) end = list.size();
    if (end > start) paths.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return paths;
}

bool PageFromBmp(const std::vector<std::uint8_t>& file, Page& page, std::string& error) {
  BmpFileHeader fileHeader{};
  BmpInfoHeader info{};
  if (file.size() < sizeof fileHeader + sizeof info) {
    error = "too short for a BMP file";
    return false;
  }
  std::memcpy(&fileHeader, file.data(), sizeof fileHeader);
  std::memcpy(&info, file.data() + sizeof fileHeader, sizeof info);
  if (fileHeader.bfType != 0x4D42) {
    error = "not a BMP file";
    return false;
  }
  if (info.biSize != sizeof info || info.biCompression != kBmpRgb || info.biWidth <= 0 || info.biHeight <= 0) {
    error = "not an uncompressed bottom-up BMP with a 40-byte info header";
    return false;
  }
  const std::uint16_t bits = info.biBitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) {
    error = "unsupported bit count " + std::to_string(bits);
    return false;
  }
  std::uint64_t paletteEntries = info.biClrUsed;
  if (paletteEntries == 0 && bits <= 8) paletteEntries = std::uint64_t{1} << bits;
  const std::uint64_t paletteBytes = paletteEntries * 4;
  const std::int64_t rowBytes = PageBytes(bits, info.biWidth, info.biHeight);
  const std::uint64_t paletteStart = sizeof fileHeader + sizeof info;
  if (rowBytes < 0 || paletteStart + paletteBytes > fileHeader.bfOffBits ||
      fileHeader.bfOffBits + static_cast<std::uint64_t>(rowBytes) > file.size()) {
    error = "palette or rows do not fit in the file";
    return false;
  }

  page.dib.clear();
  page.dib.insert(page.dib.end(), file.begin() + sizeof fileHeader,
                  file.begin() + static_cast<std::ptrdiff_t>(paletteStart + paletteBytes));
  page.dib.insert(page.dib.end(), file.begin() + fileHeader.bfOffBits,
                  file.begin() + static_cast<std::ptrdiff_t>(fileHeader.bfOffBits + rowBytes));
  page.width = info.biWidth;
  page.height = info.biHeight;
  page.bitCount = bits;
  page.xPelsPerMeter = info.biXPelsPerMeter;
  page.yPelsPerMeter = info.biYPelsPerMeter;
  return true;
}

}  // namespace orla::test::scanner
