#include "block_check.h"

namespace orla {

std::uint8_t CheckByteOf(const BlockReading& reading) {
  std::uint8_t check = 0xAA;
  for (const std::uint8_t byte : std::span(reading.data).first<kBlockPayloadBytes>()) {
    check = static_cast<std::uint8_t>(check ^ byte);
  }
  return check;
}

bool IsValidBlock(const BlockReading& reading, int b) {
  if (reading.symbolCount < kBlockSymbols || reading.checkByte != CheckByteOf(reading)) return false;
  if (b != 0) return true;
  const int totalLength = LittleEndian16(reading.data[0], reading.data[1]);
  const int headerLength = LittleEndian16(reading.data[2], reading.data[3]);
  return totalLength >= kPayloadHeaderLength && totalLength <= kLongestPayload && headerLength == kPayloadHeaderLength;
}

}  // namespace orla
