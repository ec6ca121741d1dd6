#include "track/scan_source_name.h"

#include <algorithm>
#include <string>

namespace orla {

bool IsRemoteScanSourceName(std::span<const char> productName) {
  const auto end = std::find(productName.begin(), productName.end(), '\0');
  std::string name(productName.begin(), end);
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return name.find("lumaro") != std::string::npos && name.find("remote") != std::string::npos;
}

}  // namespace orla
