#include "track/page_file_type.h"

#include <array>
#include <cctype>

namespace orla {
namespace {

bool EndsInPdf(std::string_view path) {
  if (path.size() < 3) return false;
  const std::string_view tail = path.substr(path.size() - 3);
  constexpr std::string_view kPdf = "pdf";
  for (std::size_t i = 0; i < 3; ++i) {
    if (std::tolower(static_cast<unsigned char>(tail[i])) != kPdf[i]) return false;
  }
  return true;
}

}  // namespace

PageFileType PageFileTypeOf(std::span<const std::uint8_t> firstBytes, std::string_view path) {
  if (firstBytes.empty()) return PageFileType::Empty;
  std::array<std::uint8_t, 2> b{};
  b[0] = firstBytes[0];
  if (firstBytes.size() > 1) b[1] = firstBytes[1];
  if (b[0] == 0x42 && b[1] == 0x4D) return PageFileType::Bmp;
  if (b[0] == 0xFF && b[1] == 0xD8) return PageFileType::Jpeg;
  if ((b[0] == 0x49 && b[1] == 0x49) || (b[0] == 0x4D && b[1] == 0x4D)) return PageFileType::Tiff;
  return EndsInPdf(path) ? PageFileType::Pdf : PageFileType::Unsupported;
}

}  // namespace orla
