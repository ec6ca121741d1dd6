#include "bit_order.h"

namespace orla::pattern {

std::vector<std::uint8_t> BytesToBits(std::span<const std::uint8_t> bytes) {
  std::vector<std::uint8_t> bits;
  bits.reserve(bytes.size() * 8);
  for (std::uint8_t byte : bytes)
    for (int i = 7; i >= 0; --i) bits.push_back(static_cast<std::uint8_t>((byte >> i) & 1u));
  return bits;
}

std::vector<std::uint8_t> BitsToSymbols(std::span<const std::uint8_t> bits) {
  std::vector<std::uint8_t> symbols;
  for (std::size_t i = 0; i + 2 < bits.size(); i += 3)
    symbols.push_back(static_cast<std::uint8_t>((bits[i] << 2) | (bits[i + 1] << 1) | bits[i + 2]));
  return symbols;
}

std::vector<std::uint8_t> SymbolsToBits(std::span<const std::uint8_t> symbols) {
  std::vector<std::uint8_t> bits;
  bits.reserve(symbols.size() * 3);
  for (std::uint8_t s : symbols)
    for (int i = 2; i >= 0; --i) bits.push_back(static_cast<std::uint8_t>((s >> i) & 1u));
  return bits;
}

std::vector<std::uint8_t> BitsToBytes(std::span<const std::uint8_t> bits) {
  std::vector<std::uint8_t> bytes((bits.size() + 7) / 8, 0);
  for (std::size_t i = 0; i < bits.size(); ++i)
    if (bits[i]) bytes[i / 8] = static_cast<std::uint8_t>(bytes[i / 8] | (0x80u >> (i % 8)));
  return bytes;
}

}  // namespace orla::pattern
