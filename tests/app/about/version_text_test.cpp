// The about box's version text from the fixed part of a version resource.

#include <gtest/gtest.h>

#include <vector>

#include "about/version_text.h"

namespace {

std::vector<std::uint8_t> FixedInfo(std::uint32_t productMost, std::uint32_t productLeast,
                                    std::uint32_t signature = orla::kFixedVersionSignature, std::size_t size = 52) {
  std::vector<std::uint8_t> bytes(size, 0);
  auto put = [&](std::size_t word, std::uint32_t v) {
    for (std::size_t i = 0; i < 4 && word * 4 + i < size; ++i) bytes[word * 4 + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  put(0, signature);
  put(1, 0x00010000);
  put(2, 0x00090008);  // a file version that must not be shown
  put(3, 0x00070006);
  put(4, productMost);
  put(5, productLeast);
  return bytes;
}

struct VersionCase {
  std::vector<std::uint8_t> block;
  const char* text;
};

TEST(VersionText, ProductVersionWithOneBlankOrNothing) {
  const VersionCase cases[] = {
      {FixedInfo(0x00010000, 0x0000000C), "1.0.0.12 "},
      {FixedInfo(0x00020003, 0x00040005), "2.3.4.5 "},
      {FixedInfo(0xFFFF8000, 0x7FFF0001), "65535.32768.32767.1 "},
      {FixedInfo(0x00010000, 0x0000000C, 0xFEEF04BC), ""},  // wrong signature
      {FixedInfo(0x00010000, 0x0000000C, orla::kFixedVersionSignature, 51), ""},  // too short
      {FixedInfo(0x00010000, 0x0000000C, orla::kFixedVersionSignature, 60), "1.0.0.12 "},
      {{}, ""},
  };
  for (const VersionCase& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(orla::FormatFixedVersionText(c.block), c.text);
  }
}

}  // namespace
