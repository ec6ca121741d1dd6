#pragma once
// The about box's version text from the fixed part of a version resource, as the version
// query returns it: the product version as "%d.%d.%d.%d " (one blank at the end), each part
// an unsigned 16-bit number. Empty unless the block is long enough and carries the fixed
// part's signature.

#include <cstdint>
#include <span>
#include <string>

namespace orla {

inline constexpr std::uint32_t kFixedVersionSignature = 0xFEEF04BD;
inline constexpr std::size_t kFixedVersionInfoSize = 52;

std::string FormatFixedVersionText(std::span<const std::uint8_t> fixedInfo);

}  // namespace orla
