#include "lang/lang_parser.h"

#include <cstdint>
#include <string>

#include "text/utf_conversion.h"

namespace orla {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return text_[pos_]; }

  // Blanks and comments; a comment runs up to and including the next LF.
  void SkipBlanksAndComments() {
    while (!AtEnd()) {
      const char c = Peek();
      if (IsBlank(c)) {
        ++pos_;
      } else if (c == ';') {
        while (!AtEnd() && Peek() != '\n') ++pos_;
        if (!AtEnd()) ++pos_;
      } else {
        return;
      }
    }
  }

  // Only the last eight digits count: each digit shifts the 32-bit value.
  bool ReadKey(std::uint32_t& key) {
    key = 0;
    std::size_t digits = 0;
    while (!AtEnd() && !IsBlank(Peek()) && Peek() != '=') {
      const int value = HexValue(Peek());
      if (value < 0) return false;
      key = (key << 4) | static_cast<std::uint32_t>(value);
      ++pos_;
      ++digits;
    }
    return digits > 0;
  }

  bool Expect(char c) {
    if (AtEnd() || Peek() != c) return false;
    ++pos_;
    return true;
  }

  // The bytes up to the closing quote, with the escapes \" \\ \n \t resolved.
  bool ReadQuotedText(std::string& bytes) {
    bytes.clear();
    while (!AtEnd()) {
      const char c = text_[pos_++];
      if (c == '"') return true;
      if (c != '\\' || AtEnd()) {
        bytes.push_back(c);
        continue;
      }
      const char next = Peek();
      switch (next) {
        case '"': bytes.push_back('"'); ++pos_; break;
        case '\\': bytes.push_back('\\'); ++pos_; break;
        case 'n': bytes.push_back('\n'); ++pos_; break;
        case 't': bytes.push_back('\t'); ++pos_; break;
        default: bytes.push_back('\\'); break;  // the next character follows as itself
      }
    }
    return false;
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

bool ParseLanguageText(std::string_view text, LangTable& table) {
  table.clear();
  const std::size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);

  Reader reader(text);
  std::string bytes;
  for (;;) {
    reader.SkipBlanksAndComments();
    if (reader.AtEnd()) return true;
    LangEntry entry;
    if (!reader.ReadKey(entry.key)) return false;
    reader.SkipBlanksAndComments();
    if (!reader.Expect('=')) return false;
    reader.SkipBlanksAndComments();
    if (!reader.Expect('"')) return false;
    if (!reader.ReadQuotedText(bytes)) return false;
    if (!Utf8ToUtf16(bytes, entry.text)) return false;
    table.push_back(std::move(entry));
  }
}

bool LoadLanguageBytes(std::string_view bytes, LangTable& table) {
  table.clear();
  if (bytes.empty() || bytes.size() > kMaxLanguageFileBytes) return false;
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  const bool clean = ParseLanguageText(bytes, table);
  SortLanguageTable(table);
  return clean;
}

}  // namespace orla
