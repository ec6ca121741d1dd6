#include "help/help_file.h"

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

std::string HelpStartPagePath(std::string_view helpFilePath) {
  const std::size_t nameStart = helpFilePath.find_last_of("\\/") + 1;  // 0 without a folder
  const std::size_t dot = helpFilePath.rfind('.');
  if (dot != std::string_view::npos && dot > nameStart) helpFilePath = helpFilePath.substr(0, dot);
  std::string page(helpFilePath);
  page.append("\\index.html");
  return page;
}

}  // namespace orla
