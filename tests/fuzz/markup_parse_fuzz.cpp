// Feeds arbitrary text to the XML builder's parser, with and without a double-byte code page,
// then edits what parsed: every offset the table holds is used again by those edits.

#include <cstdint>
#include <string_view>

#include "markup/markup.h"
#include "text/code_page.h"

namespace {

bool ShiftJisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte picks the code page; the rest is the text.
  orla::SetLeadByteTest((data[0] & 1) != 0 ? ShiftJisLead : nullptr);
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

  CMarkup markup;
  const bool parsed = markup.SetDocument(text);
  if (!parsed) {
    // The save road: a root appended behind whatever did not parse.
    markup.AddElement("Root", std::nullopt, false);
  }
  markup.SetAttribute("a", text.substr(0, 16));
  markup.AddElement("C", text.substr(0, 8), true);
  markup.StepIntoChild();
  markup.AddElement("D", std::nullopt, true);
  markup.SetAttribute("b", "<&'\">");
  markup.StepOutToParent();
  markup.AddElement("E", std::nullopt, true);
  markup.SetAttribute("a", "again");

  CMarkup reparsed;
  reparsed.SetDocument(markup.GetDocument());
  orla::SetLeadByteTest(nullptr);
  return 0;
}
