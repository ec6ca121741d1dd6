// The XML builder: building, escaping, attributes, the parse errors, and the positions it
// keeps while editing compared with those a fresh parse of the text finds.

#include <gtest/gtest.h>

#include <string>

#include "markup/markup.h"
#include "text/code_page.h"

namespace {

const std::string kDecl = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n";

// Checks that the builder's table matches what a parse of its own text finds, entry by
// entry (entry 0, the document level, differs by design).
void ExpectSameAsReparsed(const CMarkup& built) {
  CMarkup parsed;
  ASSERT_TRUE(parsed.SetDocument(built.GetDocument())) << parsed.GetError();
  const auto a = built.Positions();
  const auto b = parsed.Positions();
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t i = 1; i < a.size(); ++i) {
    SCOPED_TRACE("position " + std::to_string(i));
    EXPECT_EQ(a[i].startTagOpen, b[i].startTagOpen);
    EXPECT_EQ(a[i].startTagClose, b[i].startTagClose);
    EXPECT_EQ(a[i].endTagOpen, b[i].endTagOpen);
    EXPECT_EQ(a[i].endTagClose, b[i].endTagClose);
    EXPECT_EQ(a[i].parent, b[i].parent);
    EXPECT_EQ(a[i].firstChild, b[i].firstChild);
    EXPECT_EQ(a[i].nextSibling, b[i].nextSibling);
  }
  EXPECT_EQ(a[0].firstChild, b[0].firstChild);
}

TEST(MarkupBuild, DeclarationAloneFailsAndRootIsAppendedBehindIt) {
  CMarkup m;
  EXPECT_FALSE(m.SetDocument(kDecl));
  EXPECT_EQ(m.GetError(), "Element tag not found");
  EXPECT_EQ(m.GetDocument(), kDecl);
  EXPECT_TRUE(m.AddElement("X", std::nullopt, false));
  EXPECT_EQ(m.GetDocument(), kDecl + "<X/>\r\n");
  // A second top-level element is refused and changes nothing.
  EXPECT_FALSE(m.AddElement("Y", std::nullopt, false));
  EXPECT_EQ(m.GetDocument(), kDecl + "<X/>\r\n");
}

TEST(MarkupBuild, EmptyOrAbsentTextDoesNotParse) {
  CMarkup m;
  EXPECT_FALSE(m.SetDocument());
  EXPECT_FALSE(m.SetDocument(""));
  EXPECT_EQ(m.GetError(), "");
  EXPECT_FALSE(m.AddElement("C", std::nullopt, true));  // no current element
}

TEST(MarkupBuild, ChildrenOpenAnEmptyParentAndFollowEachOther) {
  CMarkup m;
  m.AddElement("X", std::nullopt, false);
  ASSERT_TRUE(m.AddElement("C", std::nullopt, true));
  EXPECT_EQ(m.GetDocument(), "<X>\r\n<C/>\r\n</X>\r\n");
  ASSERT_TRUE(m.AddElement("D", "t", true));
  EXPECT_EQ(m.GetDocument(), "<X>\r\n<C/>\r\n<D>t</D>\r\n</X>\r\n");
  m.StepIntoChild();  // into D
  ASSERT_TRUE(m.AddElement("E", std::nullopt, true));
  // Behind text content the child goes straight before the end tag, on the text's line.
  EXPECT_EQ(m.GetDocument(), "<X>\r\n<C/>\r\n<D>t<E/>\r\n</D>\r\n</X>\r\n");
  m.StepOutToParent();
  ASSERT_TRUE(m.AddElement("F", std::nullopt, true));
  EXPECT_EQ(m.GetDocument(), "<X>\r\n<C/>\r\n<D>t<E/>\r\n</D>\r\n<F/>\r\n</X>\r\n");
  ExpectSameAsReparsed(m);
}

struct EscapeCase {
  const char* text;
  const char* element;    // as written in element text
  const char* attribute;  // as written in an attribute value
};

TEST(MarkupBuild, EscapesElementTextAndAttributeValues) {
  const EscapeCase cases[] = {
      {"a<b", "a&lt;b", "a&lt;b"},
      {"a&b", "a&amp;b", "a&amp;b"},
      {"a>b", "a&gt;b", "a&gt;b"},
      {"it's", "it's", "it&apos;s"},
      {"say \"hi\"", "say \"hi\"", "say &quot;hi&quot;"},
      {"&lt;", "&amp;lt;", "&amp;lt;"},
  };
  for (const EscapeCase& c : cases) {
    SCOPED_TRACE(c.text);
    CMarkup m;
    m.AddElement("R", std::nullopt, false);
    m.SetAttribute("a", c.text);
    m.AddElement("T", c.text, true);
    EXPECT_EQ(m.GetDocument(), std::string("<R a=\"") + c.attribute + "\">\r\n<T>" + c.element + "</T>\r\n</R>\r\n");
    ExpectSameAsReparsed(m);
  }
}

TEST(MarkupBuild, AttributesAppendInOrderAndReplaceOnlyTheValue) {
  CMarkup m;
  m.AddElement("R", std::nullopt, false);
  EXPECT_TRUE(m.SetAttribute("a", "1"));
  EXPECT_EQ(m.GetDocument(), "<R a=\"1\"/>\r\n");  // before "/>" of an empty element
  m.AddElement("C", "x", true);
  EXPECT_TRUE(m.SetAttribute("b", "2"));  // before '>' of a start tag
  EXPECT_TRUE(m.SetAttribute("a", "long value"));
  EXPECT_TRUE(m.SetAttribute("b", ""));
  EXPECT_EQ(m.GetDocument(), "<R a=\"long value\" b=\"\">\r\n<C>x</C>\r\n</R>\r\n");
  // The child's offsets moved with the edits of its parent's start tag.
  ExpectSameAsReparsed(m);
  m.AddElement("D", std::nullopt, true);
  EXPECT_EQ(m.GetDocument(), "<R a=\"long value\" b=\"\">\r\n<C>x</C>\r\n<D/>\r\n</R>\r\n");
  ExpectSameAsReparsed(m);
}

TEST(MarkupBuild, SetAttributeWithoutAnElementChangesNothing) {
  CMarkup m;
  EXPECT_FALSE(m.SetAttribute("a", "1"));
  EXPECT_FALSE(m.SetAttribute(0, "a", "1"));
  m.AddElement("R", std::nullopt, false);
  m.StepIntoChild();  // no child: the cursor is on no element
  EXPECT_FALSE(m.SetAttribute("a", "1"));
  EXPECT_EQ(m.GetDocument(), "<R/>\r\n");
}

TEST(MarkupBuild, ManyElementsKeepTheirPositions) {
  CMarkup m;
  m.SetDocument(kDecl);
  m.AddElement("Root", std::nullopt, false);
  m.SetAttribute("xmlns", "urn:x");
  for (int page = 1; page <= 40; ++page) {
    m.AddElement("Page" + std::to_string(page), std::nullopt, true);
    m.StepIntoChild();
    for (int f = 0; f < 6; ++f) m.AddElement("F" + std::to_string(f), f % 2 ? "v&" : "", true);
    m.StepOutToParent();
    if (page == 20) m.SetAttribute("late", "after twenty pages");
  }
  EXPECT_EQ(m.Positions().size(), 1u + 1 + 40 * 7);
  ExpectSameAsReparsed(m);
}

TEST(MarkupParse, RootWithOneEmptyChild) {
  CMarkup m;
  ASSERT_TRUE(m.SetDocument("<?xml version=\"1.0\"?><!-- c --><!DOCTYPE r [<!ELEMENT r ANY>]><r a='1'>\n<c/>\n</r>"));
  const auto p = m.Positions();
  ASSERT_EQ(p.size(), 3u);
  EXPECT_EQ(p[0].firstChild, 1);
  EXPECT_EQ(p[1].firstChild, 2);
  EXPECT_EQ(p[2].parent, 1);
  EXPECT_EQ(p[2].startTagClose, p[2].endTagClose);
  EXPECT_EQ(p[2].endTagOpen + 1, p[2].startTagClose);
  const std::string doc = m.GetDocument();
  EXPECT_EQ(doc.substr(static_cast<std::size_t>(p[1].endTagOpen), 4), "</r>");
}

struct ParseErrorCase {
  const char* text;
  const char* error;
};

// "End tag of %s element not found" and "Expecting end tag of element %s" cannot come: the
// search for a further child fails first when no '<' follows, and ends only at a '<' whose
// first token is '/', which is where the end tag is then read.
TEST(MarkupParse, ParseErrors) {
  const ParseErrorCase cases[] = {
      {"just text", "Element tag not found"},
      {"<a>", "Element tag not found"},
      {"<   ", "Abrupt end within tag"},
      {"<'a'>", "Tag starts with quote"},
      {"<!-- never closed <a/>", "Invalid node"},
      {"<?pi <a/>", "Invalid node"},
      {"< !x><a/>", "Invalid node"},
      {"<a b='c'", "End of tag not found"},
      {"<a><b/><!-- x --></a", "End tag not completed for element a"},
      {"<a>text</b>", "End tag does not correspond to a"},
      {"<a></ab>", "End tag does not correspond to a"},
      {"<a></>", "End tag does not correspond to a"},
      {"<a></", "End tag not completed for element a"},
      {"<a><b></a>", "End tag does not correspond to b"},
  };
  for (const ParseErrorCase& c : cases) {
    SCOPED_TRACE(c.text);
    CMarkup m;
    EXPECT_FALSE(m.SetDocument(c.text));
    EXPECT_EQ(m.GetError(), c.error);
    EXPECT_EQ(m.GetDocument(), c.text);
    EXPECT_EQ(m.Positions().size(), 1u);
  }
}

TEST(MarkupParse, DeepNestingFailsInsteadOfOverflowing) {
  std::string deep;
  for (int i = 0; i < 5000; ++i) deep += "<a>";
  CMarkup m;
  EXPECT_FALSE(m.SetDocument(deep));
  EXPECT_EQ(m.GetError(), "Elements nested too deeply");
}

bool ShiftJisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

TEST(MarkupDoubleByte, SecondBytesThatLookLikeMarkupAreNotMarkup) {
  const orla::LeadByteTest previous = orla::SetLeadByteTest(ShiftJisLead);
  CMarkup m;
  // 0x95 0x5C is one character whose second byte is '\'; 0x83 0x5D has ']' as second byte.
  const std::string name = "\x95\x5C\x83\x5D";
  m.AddElement("R", std::nullopt, false);
  m.SetAttribute("a", name);
  m.AddElement("T", name + "<", true);
  EXPECT_EQ(m.GetDocument(), "<R a=\"" + name + "\">\r\n<T>" + name + "&lt;</T>\r\n</R>\r\n");
  ExpectSameAsReparsed(m);
  // In a CDATA section before the element, 0x83 0x5D is one character: the "]>" behind it does
  // not close the section, so the document has no end of it; with the "]]>" after it, it has.
  CMarkup cdata;
  EXPECT_FALSE(cdata.SetDocument("<![CDATA[\x83]]><a/>"));
  EXPECT_TRUE(cdata.SetDocument("<![CDATA[\x83]]]><a/>"));
  // A lead byte at the very end of the text does not step past it.
  CMarkup cut;
  EXPECT_FALSE(cut.SetDocument("<a>\x95"));
  EXPECT_FALSE(cut.SetDocument("<a b='\x95"));
  EXPECT_EQ(cut.GetError(), "End of tag not found");
  orla::SetLeadByteTest(previous);
}

}  // namespace
