#include "packed_dib.h"

#include <cstring>

std::uint16_t GetDibPaletteSize(const void* header) {
  const auto* bytes = static_cast<const unsigned char*>(header);
  std::uint32_t size;
  std::memcpy(&size, bytes, sizeof size);
  if (size == 40) {
    std::uint32_t clrUsed;
    std::uint16_t bitCount;
    std::memcpy(&clrUsed, bytes + 32, sizeof clrUsed);
    std::memcpy(&bitCount, bytes + 14, sizeof bitCount);
    if (clrUsed != 0) return static_cast<std::uint16_t>((clrUsed & 0xFFFF) * 4);
    switch (bitCount) {
      case 1: return 8;
      case 4: return 64;
      case 8: return 1024;
      default: return 0;
    }
  }
  std::uint16_t coreBitCount;
  std::memcpy(&coreBitCount, bytes + 10, sizeof coreBitCount);
  switch (coreBitCount) {
    case 1: return 6;
    case 4: return 48;
    case 8: return 768;
    default: return 0;
  }
}
