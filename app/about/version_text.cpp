#include "about/version_text.h"

namespace orla {
namespace {

// The fixed part is little-endian 32-bit words: signature, structure version, file version
// (most, least significant), product version (most, least significant), ...
std::uint32_t WordAt(std::span<const std::uint8_t> bytes, std::size_t index) {
  const std::size_t at = index * 4;
  return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

}  // namespace

std::string FormatFixedVersionText(std::span<const std::uint8_t> fixedInfo) {
  if (fixedInfo.size() < kFixedVersionInfoSize || WordAt(fixedInfo, 0) != kFixedVersionSignature) return {};
  const std::uint32_t most = WordAt(fixedInfo, 4);
  const std::uint32_t least = WordAt(fixedInfo, 5);
  return std::to_string(most >> 16) + "." + std::to_string(most & 0xFFFF) + "." + std::to_string(least >> 16) + "." +
         std::to_string(least & 0xFFFF) + " ";
}

}  // namespace orla
