#pragma once
// Writes JPEG files for tests with libjpeg, so a reader test meets the real decoder.

#include <cstdint>
#include <vector>

namespace orla::test {

enum class JpegKind { Grey, Rgb, Cmyk, Ycck, TwoComponents };

struct JpegSpec {
  int width = 8;
  int height = 8;
  JpegKind kind = JpegKind::Grey;
  // Samples from the top line down, interleaved: 1, 3 (R, G, B), 4 (C, M, Y, K) or 2
  // per pixel.
  std::vector<std::uint8_t> samples;
  int quality = 100;
  bool writeJfif = true;
  std::uint8_t densityUnit = 1;  // 0 aspect ratio, 1 dots per inch, 2 dots per centimetre
  std::uint16_t xDensity = 300;
  std::uint16_t yDensity = 300;
  bool writeAdobe = true;  // libjpeg's default for CMYK and YCCK
  bool progressive = false;
};

int JpegComponents(JpegKind kind);
// Every pixel the same colour.
std::vector<std::uint8_t> FlatSamples(const JpegSpec& spec, std::vector<std::uint8_t> pixel);
std::vector<std::uint8_t> EncodeJpeg(const JpegSpec& spec);

}  // namespace orla::test
