#pragma once
// The check byte rule of a block: a reading or a combination of block b is valid when it has
// all 16 symbols and its check byte is the XOR of its 6 data bytes and 0xAA. Block 0 carries
// the payload header, so it must also announce a header length of exactly 24 and a total
// length of at least 24 and at most what the 100 block slots carry: a longer one can only be
// a chance match, and learned for the pass it would keep every later assembly from trying.

#include <cstdint>
#include <span>

#include "block_reading.h"

namespace orla {

inline constexpr int kPayloadHeaderLength = 24;
inline constexpr int kLongestPayload = 100 * kBlockPayloadBytes;

std::uint8_t CheckByteOf(const BlockReading& reading);

// A little-endian uint16 from two bytes.
inline int LittleEndian16(std::uint8_t low, std::uint8_t high) { return low | (high << 8); }

bool IsValidBlock(const BlockReading& reading, int b);

}  // namespace orla
