// CMarkup: the document, its parse into the position table, and the cursor.

#include <climits>

#include "markup/markup.h"

CMarkup::CMarkup() { SetDocument(); }

CMarkup::~CMarkup() = default;

bool CMarkup::SetDocument(std::optional<std::string_view> text) {
  m_parentPos = m_currentPos = m_childPos = 0;
  m_nodeType = MNT_NONE;
  m_nextFreePos = 1;
  m_document = text ? std::string(*text) : std::string();

  bool parsed = false;
  // Offsets are 32-bit; a text they cannot address is not parsed.
  if (!m_document.empty() && m_document.size() < static_cast<std::size_t>(INT_MAX / 2)) {
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
  if (static_cast<std::size_t>(m_nextFreePos) == m_positions.size()) {
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
  // The table may have grown: reach entries by index only.
  auto at = [this](std::int32_t index) -> ElemPos& { return m_positions[static_cast<std::size_t>(index)]; };
  at(position) = ElemPos{};
  at(position).startTagOpen = at(parent).endTagOpen;
  at(position).parent = parent;
  if (depth > kMaxParseDepth) return FailParse("Elements nested too deeply", {});

  std::int32_t scan = at(position).startTagOpen;
  MarkupToken token;
  for (;;) {
    if (!FindCharInDoc(scan, '<')) return FailParse("Element tag not found", {});
    at(position).startTagOpen = scan;
    at(parent).endTagOpen = scan;
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
  at(position).startTagClose = close;
  if (At(close - 1) == '/') {
    at(position).endTagOpen = close - 1;
    at(position).endTagClose = close;
    return position;
  }

  at(position).endTagOpen = close + 1;
  std::int32_t previousChild = 0;
  for (;;) {
    const std::int32_t child = ParseElement(position, depth + 1);
    if (child < 0) return -1;
    if (child == 0) break;
    if (previousChild == 0) {
      at(position).firstChild = child;
    } else {
      at(previousChild).nextSibling = child;
    }
    previousChild = child;
    at(position).endTagOpen = at(child).endTagClose + 1;
  }

  std::int32_t endOpen = at(position).endTagOpen;
  if (!FindCharInDoc(endOpen, '<')) return FailParse("End tag of %s element not found", name);
  at(position).endTagOpen = endOpen;
  token.next = endOpen + 1;
  int count = 0;
  while (NextToken(token)) {
    ++count;
    if (count == 1) {
      if (token.quoted || At(token.first) != '/') return FailParse("Expecting end tag of element %s", name);
    } else if (count == 2) {
      if (token.quoted || !NameMatches(token, name)) return FailParse("End tag does not correspond to %s", name);
    } else if (!token.quoted && At(token.first) == '>') {
      at(position).endTagClose = token.first;
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
  m_parentPos = m_positions[static_cast<std::size_t>(m_parentPos)].parent;
  m_nodeType = MNT_ELEMENT;
}
