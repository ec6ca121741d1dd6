// CMarkup: the document, its parse into the position table, and the cursor.

#include <climits>
#include <utility>

#include "markup/markup.h"

namespace {

// Offsets are 32-bit; a text they cannot address is not parsed.
constexpr std::size_t kMaxParsedBytes = INT_MAX / 2;

}  // namespace

CMarkup::CMarkup() { SetDocument(); }

CMarkup::~CMarkup() = default;

bool CMarkup::SetDocument(std::optional<std::string_view> text) {
  m_parentPos = m_currentPos = m_childPos = 0;
  m_nodeType = MNT_NONE;
  m_nextFreePos = 1;
  m_document = text ? std::string(*text) : std::string();

  bool parsed = false;
  if (!m_document.empty() && m_document.size() < kMaxParsedBytes) {
    const std::size_t needed = m_document.size() / 64 + 8;
    if (m_positions.size() < needed) m_positions.resize(needed);
    m_positions[0] = ElemPos{};
    const std::int32_t root = ParseElement(0, 0);
    if (root > 0) {
      m_positions[0].firstChild = root;
      parsed = true;
    }
  } else if (m_positions.size() < 8) {
    m_positions.resize(8);
  }
  if (!parsed) {
    m_positions[0] = ElemPos{};
    m_nextFreePos = 1;
  }
  m_parentPos = m_currentPos = m_childPos = 0;
  m_nodeType = MNT_NONE;
  return parsed;
}

std::int32_t CMarkup::TakePosition() {
  if (std::cmp_equal(m_nextFreePos, m_positions.size())) {
    m_positions.resize(m_positions.size() + m_positions.size() / 2);
  }
  return m_nextFreePos++;
}

std::int32_t CMarkup::FailParse(const char* message, std::string_view name) {
  std::string text = message;
  if (const std::size_t at = text.find("%s"); at != std::string::npos) text.replace(at, 2, name);
  m_error = std::move(text);
  --m_nextFreePos;
  return -1;
}

// Returns the new element's position, 0 when an end tag stands where an element could start,
// or -1 on an error (the error text set).
std::int32_t CMarkup::ParseElement(std::int32_t parent, int depth) {
  const std::int32_t position = TakePosition();
  Pos(position) = ElemPos{};
  Pos(position).startTagOpen = Pos(parent).endTagOpen;
  Pos(position).parent = parent;
  if (depth > kMaxParseDepth) return FailParse("Elements nested too deeply", {});

  std::int32_t scan = Pos(position).startTagOpen;
  MarkupToken token;
  for (;;) {
    if (!FindCharInDoc(scan, '<')) return FailParse("Element tag not found", {});
    Pos(position).startTagOpen = scan;
    Pos(parent).endTagOpen = scan;
    token.next = scan + 1;
    if (!NextToken(token)) return FailParse("Abrupt end within tag", {});
    if (token.quoted) return FailParse("Tag starts with quote", {});
    const char first = At(token.first);
    if (first != '?' && first != '!') break;
    // Declarations, processing instructions, comments, CDATA sections and document type
    // declarations are passed over.
    // "< ?" or "< !" (blanks behind the '<') begins no such node: without this check the scan
    // would stand still.
    token.next = scan;
    const MarkupNodeType node = ClassifyNode(token);
    if (node == MNT_NONE || node == MNT_ELEMENT || token.next <= scan) return FailParse("Invalid node", {});
    scan = token.next;
  }
  if (At(token.first) == '/') {
    --m_nextFreePos;
    return 0;
  }

  const std::string name = TokenText(token);
  std::int32_t close = token.next;
  if (!FindCharInDoc(close, '>')) return FailParse("End of tag not found", {});
  Pos(position).startTagClose = close;
  if (At(close - 1) == '/') {
    Pos(position).endTagOpen = close - 1;
    Pos(position).endTagClose = close;
    return position;
  }

  Pos(position).endTagOpen = close + 1;
  std::int32_t previousChild = 0;
  for (;;) {
    const std::int32_t child = ParseElement(position, depth + 1);
    if (child < 0) return -1;
    if (child == 0) break;
    if (previousChild == 0) {
      Pos(position).firstChild = child;
    } else {
      Pos(previousChild).nextSibling = child;
    }
    previousChild = child;
    Pos(position).endTagOpen = Pos(child).endTagClose + 1;
  }

  std::int32_t endOpen = Pos(position).endTagOpen;
  if (!FindCharInDoc(endOpen, '<')) return FailParse("End tag of %s element not found", name);
  Pos(position).endTagOpen = endOpen;
  token.next = endOpen + 1;
  int count = 0;
  while (NextToken(token)) {
    ++count;
    if (count == 1) {
      if (token.quoted || At(token.first) != '/') return FailParse("Expecting end tag of element %s", name);
    } else if (count == 2) {
      if (token.quoted || !NameMatches(token, name)) return FailParse("End tag does not correspond to %s", name);
    } else if (!token.quoted && At(token.first) == '>') {
      Pos(position).endTagClose = token.first;
      return position;
    }
  }
  return FailParse("End tag not completed for element %s", name);
}

void CMarkup::StepIntoChild() {
  if (m_currentPos == 0 || m_nodeType != MNT_ELEMENT) return;
  m_parentPos = m_currentPos;
  m_currentPos = m_childPos;
  m_childPos = 0;
  m_nodeType = m_currentPos != 0 ? MNT_ELEMENT : MNT_NONE;
}

void CMarkup::StepOutToParent() {
  if (m_parentPos == 0) return;
  m_childPos = m_currentPos;
  m_currentPos = m_parentPos;
  m_parentPos = Pos(m_parentPos).parent;
  m_nodeType = MNT_ELEMENT;
}
