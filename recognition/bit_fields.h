#pragma once
// Bit strings of the tracking pattern, numbered from the most significant bit of the first
// byte: bit p is bit 7 - (p mod 8) of byte p div 8, and every field is stored most significant
// bit first. The callers size the buffers; nothing here allocates or checks pointers.

#include <cstdint>

// destination[i] = the 3 bits at bit startBit + 3i of source, for i = 0 .. count - 1.
void UnpackBitFields(const std::uint8_t* source, int startBit, int count, std::uint8_t* destination);

// Stores the low 3 bits of source[i] at bit startBit + 3i; other bits stay as they are.
void PackBitFields(std::uint8_t* destination, int startBit, const std::uint8_t* source, int count);

// As PackBitFields, but the first field is leadWidth bits wide (a width outside 1..3 counts as
// 3) and the 3-bit fields follow right after it.
void PackBitField(std::uint8_t* destination, int startBit, const std::uint8_t* source, int count,
                  int leadWidth);

// The 3 bits at bitOffset.
int ReadBits(const std::uint8_t* bytes, int bitOffset);

// Sets the width bits at bitOffset of a 6-byte symbol area to the value's low bits; 1, or 0
// with nothing written when the field does not lie inside the area.
int WriteBits(std::uint8_t* bytes, int bitOffset, int width, std::uint8_t value);
