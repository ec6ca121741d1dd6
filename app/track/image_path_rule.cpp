#include "track/image_path_rule.h"

#include <cstddef>

#include "text/code_page.h"

namespace orla {
namespace {

constexpr std::size_t kNotFound = std::string_view::npos;

// Offset of the first `c` in `text` that is a character of its own, not a trail byte.
std::size_t FindChar(std::string_view text, char c) {
  for (std::size_t i = 0; i < text.size(); i += CharLengthAt(text, i)) {
    if (CharLengthAt(text, i) == 1 && text[i] == c) return i;
  }
  return kNotFound;
}

}  // namespace

bool IsAcceptedImagePath(std::string_view path) {
  const std::string_view head = path.substr(0, 3);
  if (head.size() >= 2 && head[0] == '\\' && head[1] == '\\') return true;
  const bool driveColon = FindChar(head, ':') == 1;
  if (FindChar(head, '\\') == 2) return driveColon;
  return FindChar(head, '/') == 2 && driveColon;
}

}  // namespace orla
