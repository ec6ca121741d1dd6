#include "markup/csv_write.h"

std::string CCSVWrite::QuoteField(std::string_view field) {
  std::string out;
  out.reserve(field.size() + 2);
  for (const char c : field) {
    out += c;
    if (c == '"') out += '"';
  }
  // A CR unquoted would end the row for every reader that takes CR LF or CR as a line end.
  const bool quote = field.empty() || field.find_first_of(",\n\r\"") != std::string_view::npos ||
                     field.front() == ' ' || field.back() == ' ';
  if (quote) out = '"' + out + '"';
  return out;
}

void CCSVWrite::AddField(std::string_view field) {
  m_line += QuoteField(field);
  m_line += ',';
}

void CCSVWrite::EndRow() {
  if (!m_line.empty() && m_line.back() == ',') m_line.pop_back();
  m_line += '\n';
}
