// The two pure rules of the licence watch, kept free of windows.h so they are tested natively.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace trellum {

// How far short of the last page the text may stop and still count as read, in scroll units.
inline constexpr int kEndTolerance = 4;

// True when a vertical scroll position shows the end of the text: nPos >= nMax - nPage - 4,
// worked in 32-bit signed arithmetic that wraps as the installer's own code does, without
// relying on signed overflow.
inline bool IsScrolledToEnd(int nPos, int nMax, unsigned nPage) {
  const auto limit = static_cast<std::int32_t>(static_cast<std::uint32_t>(nMax) - nPage -
                                               static_cast<std::uint32_t>(kEndTolerance));
  return nPos >= limit;
}

// The window text under which the Next button is looked up: its control text with a leading
// text-style prefix ("{\Style}" or "{&Style}") dropped. No name (nullopt) when nothing would be
// left to look for: an empty text, a prefix with nothing behind it, or an opening brace that is
// never closed; an empty name would match whichever child window happens to have no text.
template <class Char>
std::optional<std::basic_string_view<Char>> NextButtonName(std::basic_string_view<Char> text) {
  if (!text.empty() && text.front() == Char('{')) {
    const auto close = text.find(Char('}'));
    if (close == std::basic_string_view<Char>::npos) return std::nullopt;
    text.remove_prefix(close + 1);
  }
  if (text.empty()) return std::nullopt;
  return text;
}

}  // namespace trellum
