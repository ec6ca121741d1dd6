// CMarkup's edits: adding elements and setting attributes in the text, with the position
// table moved along.

#include <algorithm>

#include "markup/markup.h"
#include "text/code_page.h"

namespace {

constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

bool CMarkup::IsEmptyElement(std::int32_t position) const {
  if (!IsValidPosition(position)) return false;
  const ElemPos& e = Pos(position);
  return e.startTagClose == e.endTagOpen + 1;
}

bool CMarkup::HasEmptyContent(std::int32_t position) const {
  if (!IsValidPosition(position)) return false;
  const ElemPos& e = Pos(position);
  return e.startTagClose + 1 == e.endTagOpen;
}

std::string CMarkup::EscapeText(std::string_view text, bool forAttribute) {
  std::string out;
  out.reserve(text.size() + text.size() / 10 + 7);
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = orla::CharLengthAt(text, i);
    if (length == 1) {
      switch (text[i]) {
        case '<': out += "&lt;"; break;
        case '&': out += "&amp;"; break;
        case '>': out += "&gt;"; break;
        case '\'': out += forAttribute ? "&apos;" : "'"; break;
        case '"': out += forAttribute ? "&quot;" : "\""; break;
        default: out += text[i]; break;
      }
    } else {
      out.append(text.substr(i, length));
    }
    i += length;
  }
  return out;
}

void CMarkup::ReplaceInDocument(std::int32_t offset, std::int32_t length, std::string_view text) {
  const std::int32_t size = Length();
  offset = std::clamp(offset, 0, size);
  length = std::clamp(length, 0, size - offset);
  m_document.replace(offset, length, text);
}

// Moves all four offsets of every element of the subtree below `root` (root excluded).
void CMarkup::ShiftSubtree(std::int32_t root, std::int32_t difference) {
  std::int32_t node = IsValidPosition(root) ? Pos(root).firstChild : 0;
  while (IsValidPosition(node)) {
    ElemPos& e = Pos(node);
    e.startTagOpen += difference;
    e.startTagClose += difference;
    e.endTagOpen += difference;
    e.endTagClose += difference;
    if (IsValidPosition(e.firstChild)) {
      node = e.firstChild;
      continue;
    }
    // Up until an element with a next sibling, without leaving the subtree.
    while (node != root && !IsValidPosition(Pos(node).nextSibling)) node = Pos(node).parent;
    if (node == root) break;
    node = Pos(node).nextSibling;
  }
}

void CMarkup::ShiftPositions(std::int32_t position, std::int32_t difference) {
  if (!IsValidPosition(position) || difference == 0) return;
  ShiftSubtree(position, difference);
  // Every element behind it in document order: the later siblings of it and of each
  // enclosing element, with their subtrees. The enclosing elements' end tags move too.
  std::int32_t node = position;
  while (IsValidPosition(node)) {
    for (std::int32_t sibling = Pos(node).nextSibling; IsValidPosition(sibling); sibling = Pos(sibling).nextSibling) {
      ElemPos& s = Pos(sibling);
      s.startTagOpen += difference;
      s.startTagClose += difference;
      s.endTagOpen += difference;
      s.endTagClose += difference;
      ShiftSubtree(sibling, difference);
    }
    const std::int32_t parent = Pos(node).parent;
    if (parent != 0 && !IsValidPosition(parent)) break;
    Pos(parent).endTagOpen += difference;
    Pos(parent).endTagClose += difference;
    node = parent;
  }
}

std::int32_t CMarkup::PlaceNewElement(std::int32_t parent, int flags, std::int32_t& sibling) const {
  const bool before = (flags & 1) != 0;
  const bool emptyParent = parent != 0 && IsEmptyElement(parent);
  std::int32_t offset;
  if (IsValidPosition(sibling)) {
    offset = before ? Pos(sibling).startTagOpen : Pos(sibling).endTagClose + 1;
  } else if (parent == 0) {
    offset = before ? 0 : Length();
  } else if (emptyParent) {
    offset = Pos(parent).startTagClose;
  } else {
    offset = before ? Pos(parent).startTagClose + 1 : Pos(parent).endTagOpen;
  }

  // A new element goes right before the next tag, behind the line end of the one before it.
  if ((flags & 2) == 0 && !emptyParent) {
    std::int32_t probe = offset;
    if (!SkipBlanks(probe) || At(probe) == '<') offset = probe;
  }

  const std::int32_t firstChild = parent == 0 || IsValidPosition(parent) ? Pos(parent).firstChild : 0;
  if (!before) {
    if (!IsValidPosition(sibling)) {
      sibling = 0;
      for (std::int32_t child = firstChild; IsValidPosition(child); child = Pos(child).nextSibling) sibling = child;
    }
  } else {
    std::int32_t previous = 0;
    for (std::int32_t child = firstChild; IsValidPosition(child) && child != sibling; child = Pos(child).nextSibling) {
      previous = child;
    }
    sibling = previous;
  }
  return offset;
}

bool CMarkup::AddElement(std::string_view name, std::optional<std::string_view> text, bool asChild) {
  std::int32_t parent;
  std::int32_t sibling;
  if (asChild) {
    if (!IsValidPosition(m_currentPos)) return false;
    parent = m_currentPos;
    sibling = m_childPos;
  } else {
    parent = m_parentPos;
    sibling = m_currentPos;
    if (parent == 0) {
      if (m_positions[0].firstChild != 0) return false;
      m_positions[0].endTagOpen = Length();
    }
  }

  const bool emptyParent = parent != 0 && IsEmptyElement(parent);
  const bool emptyContent = parent != 0 && HasEmptyContent(parent);
  std::int32_t offset = PlaceNewElement(parent, 0, sibling);
  // Room for the CR LF put in front of the new element.
  if (emptyParent || emptyContent) offset += 2;

  const std::int32_t position = TakePosition();
  ElemPos& e = Pos(position);
  e = ElemPos{};
  e.startTagOpen = offset;
  e.parent = parent;
  if (IsValidPosition(sibling)) {
    e.nextSibling = Pos(sibling).nextSibling;
    Pos(sibling).nextSibling = position;
  } else {
    e.nextSibling = Pos(parent).firstChild;
    Pos(parent).firstChild = position;
  }

  const auto nameLength = static_cast<std::int32_t>(name.size());
  std::string element;
  if (!text || text->empty()) {
    element.append("<").append(name).append("/>").append(kLineEnd);
    e.startTagClose = e.startTagOpen + nameLength + 2;
    e.endTagOpen = e.startTagClose - 1;
    e.endTagClose = e.startTagClose;
  } else {
    const std::string escaped = EscapeText(*text, false);
    element.append("<").append(name).append(">").append(escaped).append("</").append(name).append(">").append(kLineEnd);
    e.startTagClose = e.startTagOpen + nameLength + 1;
    e.endTagOpen = e.startTagClose + static_cast<std::int32_t>(escaped.size()) + 1;
    e.endTagClose = e.endTagOpen + nameLength + 2;
  }

  std::string inserted;
  std::int32_t replaceAt;
  std::int32_t replaced = 0;
  if (emptyParent) {
    // "<parent/>" opens: its '/' becomes ">", CR LF, the element, "</parent".
    const std::string parentName = GetElementName(parent);
    inserted.append(">").append(kLineEnd).append(element).append("</").append(parentName);
    ElemPos& p = Pos(parent);
    replaceAt = p.endTagOpen;
    replaced = 1;
    p.startTagClose -= 1;
    p.endTagOpen -= 1 + static_cast<std::int32_t>(parentName.size());
  } else if (emptyContent) {
    inserted.append(kLineEnd).append(element);
    replaceAt = Pos(parent).startTagClose + 1;
  } else {
    inserted = element;
    replaceAt = offset;
  }
  ReplaceInDocument(replaceAt, replaced, inserted);
  ShiftPositions(position, static_cast<std::int32_t>(inserted.size()) - replaced);

  if (asChild) {
    m_childPos = position;
  } else {
    m_currentPos = position;
    m_childPos = 0;
  }
  m_nodeType = MNT_ELEMENT;
  return true;
}

bool CMarkup::SetAttribute(std::int32_t position, std::string_view name, std::string_view value) {
  if (!IsValidPosition(position) || m_nodeType != MNT_ELEMENT) return false;
  ElemPos& e = Pos(position);
  const std::string escaped = EscapeText(value, true);

  MarkupToken token;
  token.next = e.startTagOpen + 1;
  std::int32_t offset;
  std::int32_t replaced;
  std::string inserted;
  if (FindAttributeValue(token, name)) {
    offset = token.first;
    replaced = std::max(token.last - token.first + 1, 0);
    inserted = escaped;
  } else {
    inserted.append(" ").append(name).append("=\"").append(escaped).append("\"");
    offset = IsEmptyElement(position) ? e.endTagOpen : e.startTagClose;
    replaced = 0;
  }
  ReplaceInDocument(offset, replaced, inserted);
  const std::int32_t difference = static_cast<std::int32_t>(inserted.size()) - replaced;
  e.startTagClose += difference;
  e.endTagOpen += difference;
  e.endTagClose += difference;
  ShiftPositions(position, difference);
  return true;
}
