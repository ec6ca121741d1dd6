#pragma once
// Page files of the test scanner: BMP files read into the packed bitmaps it transfers.

#include <cstdint>
#include <string>
#include <vector>

namespace orla::test::scanner {

struct Page {
  std::string path;
  std::vector<std::uint8_t> dib;  // info header, palette, bottom-up rows
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t bitCount = 0;
  std::int32_t xPelsPerMeter = 0;
  std::int32_t yPelsPerMeter = 0;
};

// The paths of a ';'-separated list; empty entries are skipped.
std::vector<std::string> SplitPageList(const std::string& list);

// The packed bitmap of a BMP file's bytes, or an error text when the file is not an
// uncompressed bottom-up BMP with a 40-byte info header whose rows it holds.
bool PageFromBmp(const std::vector<std::uint8_t>& file, Page& page, std::string& error);

}  // namespace orla::test::scanner
