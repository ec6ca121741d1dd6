#include "bit_fields.h"

namespace {

constexpr int kSymbolAreaBits = 48;

// A field of 1 to 3 bits touches the second byte only when it runs past the first, so a field
// that ends on a byte boundary never reads or writes the byte after it.
int ReadField(const std::uint8_t* bytes, int bitOffset, int width) {
  const std::uint8_t* at = bytes + bitOffset / 8;
  const int end = bitOffset % 8 + width;
  const int mask = (1 << width) - 1;
  if (end <= 8) return (at[0] >> (8 - end)) & mask;
  return ((at[0] << (end - 8)) & mask) | (at[1] >> (16 - end));
}

void WriteField(std::uint8_t* bytes, int bitOffset, int width, int value) {
  std::uint8_t* at = bytes + bitOffset / 8;
  const int end = bitOffset % 8 + width;
  const int mask = (1 << width) - 1;
  value &= mask;
  if (end <= 8) {
    at[0] = static_cast<std::uint8_t>((at[0] & ~(mask << (8 - end))) | (value << (8 - end)));
    return;
  }
  const int lowBits = end - 8;  // bits that land in the next byte
  at[0] = static_cast<std::uint8_t>((at[0] & ~(mask >> lowBits)) | (value >> lowBits));
  at[1] = static_cast<std::uint8_t>((at[1] & (0xFF >> lowBits)) | ((value << (16 - end)) & 0xFF));
}

}  // namespace

void UnpackBitFields(const std::uint8_t* source, int startBit, int count, std::uint8_t* destination) {
  for (int i = 0; i < count; ++i) destination[i] = static_cast<std::uint8_t>(ReadField(source, startBit + 3 * i, 3));
}

void PackBitFields(std::uint8_t* destination, int startBit, const std::uint8_t* source, int count) {
  for (int i = 0; i < count; ++i) WriteField(destination, startBit + 3 * i, 3, source[i]);
}

void PackBitField(std::uint8_t* destination, int startBit, const std::uint8_t* source, int count,
                  int leadWidth) {
  if (count <= 0) return;
  if (leadWidth < 1 || leadWidth > 3) leadWidth = 3;
  WriteField(destination, startBit, leadWidth, source[0]);
  for (int i = 1; i < count; ++i) WriteField(destination, startBit + leadWidth + 3 * (i - 1), 3, source[i]);
}

int ReadBits(const std::uint8_t* bytes, int bitOffset) { return ReadField(bytes, bitOffset, 3); }

int WriteBits(std::uint8_t* bytes, int bitOffset, int width, std::uint8_t value) {
  // A negative offset would write before the area as surely as an overlong field past it.
  if (bitOffset < 0 || bitOffset + width > kSymbolAreaBits) return 0;
  for (int j = 0; j < width; ++j) {
    const int shift = width - 1 - j;
    const int bit = shift < 8 ? (value >> shift) & 1 : 0;
    const int p = bitOffset + j;
    const std::uint8_t mask = static_cast<std::uint8_t>(0x80 >> (p % 8));
    bytes[p / 8] = static_cast<std::uint8_t>(bit ? bytes[p / 8] | mask : bytes[p / 8] & ~mask);
  }
  return 1;
}
