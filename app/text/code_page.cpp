#include "text/code_page.h"

namespace orla {
namespace {

LeadByteTest g_leadByteTest = nullptr;

}  // namespace

LeadByteTest SetLeadByteTest(LeadByteTest test) {
  const LeadByteTest previous = g_leadByteTest;
  g_leadByteTest = test;
  return previous;
}

bool IsLeadByte(unsigned char byte) { return g_leadByteTest != nullptr && g_leadByteTest(byte); }

std::size_t CharLengthAt(std::string_view text, std::size_t offset) {
  if (offset + 1 < text.size() && IsLeadByte(static_cast<unsigned char>(text[offset]))) return 2;
  return 1;
}

bool IsLoneLeadByte(std::string_view text, std::size_t offset) {
  if (offset >= text.size() || !IsLeadByte(static_cast<unsigned char>(text[offset]))) return false;
  return offset + 1 >= text.size() || static_cast<unsigned char>(text[offset + 1]) < 0x40;
}

}  // namespace orla
