#pragma once
// CCSVWrite: builds comma-separated text field by field. Its line text holds the whole text
// built so far (rows end in LF), in the process code page.

#include <string>
#include <string_view>

class CCSVWrite {
 public:
  CCSVWrite() = default;
  virtual ~CCSVWrite() = default;

  // The field as written into the text: double quotes doubled, and the whole wrapped in
  // double quotes when it holds a comma, LF, CR or double quote, begins or ends with a blank,
  // or is empty.
  static std::string QuoteField(std::string_view field);
  // Appends the quoted field and a ",".
  void AddField(std::string_view field);
  // Drops the "," that ends the row and appends LF.
  void EndRow();
  std::string GetLine() const { return m_line; }

 private:
  std::string m_line;
};
