#pragma once
// The process code page as the text rules see it: which bytes begin a double-byte character.
// The program installs the platform's lead-byte test at start-up; without one every byte is a
// character of its own, as in the single-byte code pages.

#include <cstddef>
#include <string_view>

namespace orla {

using LeadByteTest = bool (*)(unsigned char byte);

// Installs `test` (null: single-byte) and returns the previous one.
LeadByteTest SetLeadByteTest(LeadByteTest test);
bool IsLeadByte(unsigned char byte);

// Length in bytes of the character at `offset`: 2 for a lead byte that has a byte behind it
// inside `text`, 1 otherwise. Never steps past the end of `text`.
std::size_t CharLengthAt(std::string_view text, std::size_t offset);

// True when the lead byte at `offset` has no usable second byte: it ends the text, or the
// byte behind it is below 0x40, which no double-byte code page takes as a second byte (and
// which holds every control and markup character).
bool IsLoneLeadByte(std::string_view text, std::size_t offset);

}  // namespace orla
