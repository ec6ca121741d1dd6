#include "help_file.h"

#include <cctype>

namespace orla {

std::string HelpFilePath(std::string_view nameText, std::string_view folder) {
  const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  while (!nameText.empty() && blank(nameText.front())) nameText.remove_prefix(1);
  while (!nameText.empty() && blank(nameText.back())) nameText.remove_suffix(1);
  if (nameText.empty()) nameText = kDefaultHelpFileName;
  std::string path(folder);
  path.append(nameText);
  return path;
}

}  // namespace orla
