#include "pages/record_display.h"

std::string FormatTimeStampForDisplay(std::string_view t) {
  if (t.size() != 12) return std::string(t);
  std::string out = "20";
  out.append(t.substr(0, 2)).append("/").append(t.substr(2, 2)).append("/").append(t.substr(4, 2));
  out.append(" ").append(t.substr(6, 2)).append(":").append(t.substr(8, 2)).append(":").append(t.substr(10, 2));
  return out;
}

std::string FormatMacAddressForDisplay(std::string_view mac) {
  if (mac.size() != 12) return std::string(mac);
  std::string out;
  for (std::size_t i = 0; i < 12; i += 2) {
    if (i > 0) out += '-';
    out.append(mac.substr(i, 2));
  }
  return out;
}
