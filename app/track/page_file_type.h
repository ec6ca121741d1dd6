#pragma once
// The reader a page file goes to, chosen by its first two bytes and, for PDF, by its name.

#include <cstdint>
#include <span>
#include <string_view>

namespace orla {

enum class PageFileType {
  Empty,        // no byte could be read
  Bmp,          // "BM"
  Jpeg,         // FF D8
  Tiff,         // "II" or "MM": every page
  Pdf,          // any other start, and the name ends in "pdf" in any letter case: every page
  Unsupported,  // none of these
};

// `firstBytes` holds the bytes read, at most two; a one-byte file is typed by its byte and a
// zero second byte. No dot is needed before "pdf".
PageFileType PageFileTypeOf(std::span<const std::uint8_t> firstBytes, std::string_view path);

}  // namespace orla
