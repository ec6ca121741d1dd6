#include "saving/save_target.h"

#include <cctype>

#include "text/code_page.h"

namespace orla {
namespace {

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

std::string_view FileNameOf(std::string_view path) {
  // Walked by characters, like ChooseSaveTarget: a second byte may be 0x5C.
  std::size_t nameStart = 0;
  for (std::size_t i = 0; i < path.size();) {
    const std::size_t length = CharLengthAt(path, i);
    if (length == 1 && (path[i] == '\\' || path[i] == '/')) nameStart = i + 1;
    i += length;
  }
  return path.substr(nameStart);
}

SaveTarget ChooseSaveTarget(std::string_view chosenPath) {
  // The second byte of a double-byte character may be 0x5C, so the path is walked by
  // characters, not bytes.
  std::size_t nameStart = 0;
  std::size_t lastDot = std::string_view::npos;
  for (std::size_t i = 0; i < chosenPath.size();) {
    const std::size_t length = CharLengthAt(chosenPath, i);
    if (length == 1) {
      const char c = chosenPath[i];
      if (c == '\\' || c == '/') {
        nameStart = i + 1;
        lastDot = std::string_view::npos;
      } else if (c == '.') {
        lastDot = i;
      }
    }
    i += length;
  }

  SaveTarget target;
  target.path = std::string(chosenPath);
  if (lastDot != std::string_view::npos && lastDot >= nameStart) {
    const std::string extension = LowerAscii(chosenPath.substr(lastDot + 1));
    if (extension == "csv") {
      target.form = SaveForm::Csv;
      return target;
    }
    if (extension == "xml") return target;
    target.path = std::string(chosenPath.substr(0, lastDot + 1)) + "xml";
  } else {
    target.path += ".xml";
  }
  target.renamed = true;
  return target;
}

}  // namespace orla
