// CMarkup's scanner: tokens, node kinds and searches over the document text. Every step over
// a double-byte character is bounded by the text's length.

#include <cstring>

#include "markup/markup.h"
#include "text/code_page.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool IsTokenDelimiter(char c) { return IsBlank(c) || (c != '\0' && std::strchr("<>=\\/?!", c) != nullptr); }

}  // namespace

char CMarkup::At(std::int32_t offset) const {
  if (offset < 0 || offset >= Length()) return '\0';
  return m_document[offset];
}

std::int32_t CMarkup::CharEnd(std::int32_t offset) const {
  return offset + static_cast<std::int32_t>(orla::CharLengthAt(m_document, offset));
}

bool CMarkup::SkipBlanks(std::int32_t& offset) const {
  if (offset < 0) offset = 0;
  while (offset < Length() && IsBlank(At(offset))) ++offset;
  return offset < Length();
}

bool CMarkup::FindCharInDoc(std::int32_t& offset, char c) const {
  if (offset < 0) offset = 0;
  while (offset < Length()) {
    if (At(offset) == c) return true;
    offset = CharEnd(offset);
  }
  offset = Length();
  return false;
}

// Like FindCharInDoc for a run of characters; a match never begins inside a double-byte
// character (the second byte of one may look like ']').
bool CMarkup::FindTextInDoc(std::int32_t& offset, std::string_view text) const {
  if (offset < 0) offset = 0;
  while (offset < Length()) {
    if (std::string_view(m_document).substr(offset).starts_with(text)) return true;
    offset = CharEnd(offset);
  }
  offset = Length();
  return false;
}

bool CMarkup::NextToken(MarkupToken& token) const {
  token.quoted = false;
  std::int32_t offset = token.next;
  if (!SkipBlanks(offset)) {
    token.first = token.last = token.next = Length();
    return false;
  }
  const char c = At(offset);
  if (c == '"' || c == '\'') {
    token.first = offset + 1;
    std::int32_t end = token.first;
    while (end < Length() && At(end) != c) end = CharEnd(end);
    token.last = end - 1;
    token.next = end < Length() ? end + 1 : Length();
    token.quoted = true;
    return true;
  }
  token.first = offset;
  std::int32_t end = offset;
  while (end < Length() && !IsTokenDelimiter(At(end))) end = CharEnd(end);
  // A delimiter is a token by itself.
  if (end == offset) end = offset + 1;
  token.next = end;
  token.last = end - 1;
  return true;
}

std::string CMarkup::TokenText(const MarkupToken& token) const {
  if (token.first > token.last || token.first < 0 || token.first >= Length()) return {};
  const std::int32_t last = token.last < Length() ? token.last : Length() - 1;
  return m_document.substr(token.first, last - token.first + 1);
}

bool CMarkup::NameMatches(const MarkupToken& token, std::string_view name) const {
  const std::string text = TokenText(token);
  if (text.size() > name.size() || name.substr(0, text.size()) != text) return false;
  if (text.size() == name.size()) return true;
  const char after = name[text.size()];
  return after == ' ' || after == '=' || after == '/' || after == '[';
}

MarkupNodeType CMarkup::ClassifyNode(MarkupToken& token) const {
  const std::int32_t at = token.next;
  if (at < 0 || at >= Length()) return MNT_NONE;
  if (At(at) != '<') {
    std::int32_t offset = at;
    if (!SkipBlanks(offset) || At(offset) == '<') {
      token.next = offset;
      return MNT_WHITESPACE;
    }
    FindCharInDoc(offset, '<');
    token.next = offset;
    return MNT_TEXT;
  }
  if (Length() - at - 1 < 2) return MNT_NONE;
  const char second = At(at + 1);
  if (second == '?') {
    std::int32_t offset = at + 2;
    if (!FindTextInDoc(offset, "?>")) return MNT_NONE;
    token.next = offset + 2;
    return MNT_PROCESSING_INSTRUCTION;
  }
  if (second == '/') return MNT_NONE;
  if (second != '!') return MNT_ELEMENT;
  const char third = At(at + 2);
  if (third == '[' || third == '-') {
    const std::string_view close = third == '[' ? "]]>" : "-->";
    std::int32_t offset = at + 3;
    if (!FindTextInDoc(offset, close)) return MNT_NONE;
    token.next = offset + static_cast<std::int32_t>(close.size());
    return third == '[' ? MNT_CDATA_SECTION : MNT_COMMENT;
  }
  // A document type declaration: its internal subset in brackets may hold further '>'.
  MarkupToken inner;
  inner.next = at + 2;
  int depth = 0;
  while (NextToken(inner)) {
    if (inner.quoted) continue;
    const char first = At(inner.first);
    if (first == '>' && depth == 0) {
      token.next = inner.next;
      return MNT_DOCUMENT_TYPE;
    }
    for (const char c : TokenText(inner)) {
      if (c == '[') ++depth;
      if (c == ']' && depth > 0) --depth;
    }
  }
  return MNT_NONE;
}

std::string CMarkup::GetElementName(std::int32_t position) const {
  if (!IsValidPosition(position)) return {};
  MarkupToken token;
  token.next = Pos(position).startTagOpen + 1;
  if (!NextToken(token)) return {};
  return TokenText(token);
}

bool CMarkup::FindAttributeValue(MarkupToken& token, std::string_view name) const {
  int count = 0;
  int matched = -1;
  while (NextToken(token)) {
    ++count;
    if (count == 1) continue;  // the element's name
    if (!token.quoted) {
      const char first = At(token.first);
      if (first == '>' || first == '/' || first == '?') return false;
      if (first == '=') continue;
      if (matched < 0) {
        if (name.empty()) return true;
        if (NameMatches(token, name)) matched = count;
      }
      continue;
    }
    if (matched >= 0 && count == matched + 2) return true;
  }
  return false;
}
