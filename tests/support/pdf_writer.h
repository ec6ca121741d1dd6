#pragma once
// A small PDF writer for tests: pages that each draw raster images (image XObjects or inline
// images) in the order given, and optionally a line of text. Enough to meet poppler's real
// parser with the files a scanner produces and the odd ones that a reader must survive.

#include <cstdint>
#include <string>
#include <vector>

namespace orla::test {

enum class PdfFilter { None, Flate, Dct };

struct PdfImage {
  int width = 1;
  int height = 1;
  std::string colorSpace = "/DeviceGray";  // PDF syntax, e.g. "[/Indexed /DeviceRGB 1 <000000FF0000>]"
  int bitsPerComponent = 8;
  std::string decode;  // e.g. "[1 0]"; empty writes none
  bool imageMask = false;
  // Samples as the image stores them, top row first. With PdfFilter::Dct they are the bytes of
  // a JPEG file; with Flate the writer compresses them.
  std::vector<std::uint8_t> data;
  PdfFilter filter = PdfFilter::None;
  bool inlineImage = false;
};

struct PdfPage {
  std::vector<PdfImage> images;
  std::string text;  // drawn in Helvetica when not empty
};

std::vector<std::uint8_t> BuildPdf(const std::vector<PdfPage>& pages);

// Packs rows of 0/1 pixel values (top row first) into 1-bit sample rows, padded per row.
std::vector<std::uint8_t> PackBits1(const std::vector<std::vector<int>>& rows);

}  // namespace orla::test
