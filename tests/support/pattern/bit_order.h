#pragma once
// The bit order of the tracking pattern: bit p of a byte string is bit 7 - (p mod 8) of byte
// p div 8, and a 3-bit symbol is stored most significant bit first.

#include <cstdint>
#include <span>
#include <vector>

namespace orla::pattern {

// The bits of `bytes`, one per element (0 or 1), most significant bit of byte 0 first.
std::vector<std::uint8_t> BytesToBits(std::span<const std::uint8_t> bytes);
// The 3-bit symbols of `bits` (whose size is a multiple of 3), each most significant bit first.
std::vector<std::uint8_t> BitsToSymbols(std::span<const std::uint8_t> bits);
std::vector<std::uint8_t> SymbolsToBits(std::span<const std::uint8_t> symbols);
// Packs bits into bytes, most significant bit first; a last partial byte is padded with 0.
std::vector<std::uint8_t> BitsToBytes(std::span<const std::uint8_t> bits);

}  // namespace orla::pattern
