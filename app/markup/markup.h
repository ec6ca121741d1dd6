#pragma once
// CMarkup: one XML document held as a single text plus a table of element positions (byte
// offsets into the text and tree links), kept in step with every edit. It parses a text into
// the table and builds documents in place: elements one per line, lines ending in CR LF.
// Texts are byte strings in the process code page; scanning steps over double-byte
// characters whole (see text/code_page.h).

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

enum MarkupNodeType : std::int32_t {
  MNT_NONE = 0,
  MNT_ELEMENT = 1,
  MNT_TEXT = 2,
  MNT_WHITESPACE = 4,
  MNT_CDATA_SECTION = 8,
  MNT_PROCESSING_INSTRUCTION = 16,
  MNT_COMMENT = 32,
  MNT_DOCUMENT_TYPE = 64,
};

class CMarkup {
 public:
  // Offsets of one element's tags and its links (table indices, 0 = none). Entry 0 stands for
  // the document level: its firstChild is the root, its endTagOpen the top-level append point.
  struct ElemPos {
    std::int32_t startTagOpen = 0;
    std::int32_t startTagClose = 0;
    // For an empty element ("<name/>") the '/', and endTagClose the same '>' as startTagClose.
    std::int32_t endTagOpen = 0;
    std::int32_t endTagClose = 0;
    std::int32_t parent = 0;
    std::int32_t firstChild = 0;
    std::int32_t nextSibling = 0;
  };

  // Deeper element nesting than this fails the parse instead of exhausting the stack.
  static constexpr int kMaxParseDepth = 1000;

  CMarkup();
  virtual ~CMarkup();
  CMarkup(const CMarkup&) = default;
  CMarkup& operator=(const CMarkup&) = default;

  // Replaces the document and parses its first top-level element. False (the text is kept,
  // the table holds no element) when the text is empty or absent or does not parse.
  bool SetDocument(std::optional<std::string_view> text = std::nullopt);
  std::string GetDocument() const { return m_document; }
  // The message of the last failed parse; a later success does not clear it.
  const std::string& GetError() const { return m_error; }

  // Adds an element with the given text (absent or empty: an empty element) as the last child
  // of the current element (asChild) or behind the current element under the parent.
  bool AddElement(std::string_view name, std::optional<std::string_view> text, bool asChild);
  // Sets an attribute of the element at `position`: replaces the value of one already there,
  // else appends it to the start tag.
  bool SetAttribute(std::int32_t position, std::string_view name, std::string_view value);
  // The same on the current element.
  bool SetAttribute(std::string_view name, std::string_view value) {
    return SetAttribute(m_currentPos, name, value);
  }
  void StepIntoChild();
  void StepOutToParent();

  // Read-only views for callers that check a document's structure.
  std::span<const ElemPos> Positions() const { return std::span(m_positions).first(m_nextFreePos); }
  std::int32_t CurrentPosition() const { return m_currentPos; }
  std::int32_t ParentPosition() const { return m_parentPos; }
  std::int32_t ChildPosition() const { return m_childPos; }
  MarkupNodeType NodeType() const { return m_nodeType; }

 private:
  // Scanner state: first and last character of a token (inclusive; quotes excluded for a
  // quoted string) and the scan offset behind it.
  struct MarkupToken {
    std::int32_t first = 0;
    std::int32_t last = -1;
    std::int32_t next = 0;
    bool quoted = false;
  };

  std::int32_t ParseElement(std::int32_t parent, int depth);
  std::int32_t FailParse(const char* message, std::string_view name);
  std::int32_t TakePosition();
  bool NextToken(MarkupToken& token) const;
  std::string TokenText(const MarkupToken& token) const;
  bool NameMatches(const MarkupToken& token, std::string_view name) const;
  MarkupNodeType ClassifyNode(MarkupToken& token) const;
  bool FindCharInDoc(std::int32_t& offset, char c) const;
  bool FindTextInDoc(std::int32_t& offset, std::string_view text) const;
  bool SkipBlanks(std::int32_t& offset) const;
  std::string GetElementName(std::int32_t position) const;
  bool FindAttributeValue(MarkupToken& token, std::string_view name) const;
  static std::string EscapeText(std::string_view text, bool forAttribute);
  void ReplaceInDocument(std::int32_t offset, std::int32_t length, std::string_view text);
  void ShiftPositions(std::int32_t position, std::int32_t difference);
  void ShiftSubtree(std::int32_t root, std::int32_t difference);
  std::int32_t PlaceNewElement(std::int32_t parent, int flags, std::int32_t& sibling) const;

  bool IsValidPosition(std::int32_t position) const { return position > 0 && position < m_nextFreePos; }
  // An entry of the table. The table grows as elements are added, so entries are reached
  // through this each time, never through a reference kept across TakePosition.
  ElemPos& Pos(std::int32_t position) { return m_positions[position]; }
  const ElemPos& Pos(std::int32_t position) const { return m_positions[position]; }
  bool IsEmptyElement(std::int32_t position) const;
  bool HasEmptyContent(std::int32_t position) const;
  // The character at `offset`, '\0' outside the text; and the offset behind it, where a
  // double-byte character is stepped over whole.
  char At(std::int32_t offset) const;
  std::int32_t CharEnd(std::int32_t offset) const;
  std::int32_t Length() const { return static_cast<std::int32_t>(m_document.size()); }

  std::string m_document;
  std::string m_error;
  std::vector<ElemPos> m_positions;
  std::int32_t m_parentPos = 0;
  std::int32_t m_currentPos = 0;
  std::int32_t m_childPos = 0;
  std::int32_t m_nextFreePos = 1;
  MarkupNodeType m_nodeType = MNT_NONE;
};
