// The saved XML and CSV texts byte for byte, the field rules, and the files read back by
// independent readers: xmllint, and Python's xml.etree and csv modules.

#include <gtest/gtest.h>

#include <vector>

#include "markup/markup.h"
#include "pages/record_display.h"
#include "results_test_support.h"
#include "saving/results_document.h"
#include "text/code_page.h"

namespace {

using orla::test::MakeRecord;

std::vector<TrackingRecord> ThreeRecords() {
  return {MakeRecord("261210090712", "LX12345678", "0a1b2c3d4e5f", "alice<&>", "Report, \"final\" ", "caf\xE9"),
          TrackingRecord{},
          MakeRecord("2612100907", "SN2", "0A1B2C3D4E5", "bob", "inner blanks only", "tab\there\x01x")};
}

const char* const kExpectedXml =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
    "<DocumentZiviDuzuzing xmlns=\"http://www.lumaro.com/Lumaro/DocumentZiviDuzuzing\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
    "xsi:schemaLocation=\"http://www.lumaro.com/Lumaro/DocumentZiviDuzuzing C:\\Users\\UserName\\XMLSAM~1.XSD\">\r\n"
    "<Page1>\r\n"
    "<TimeStamp>2026/12/10 09:07:12</TimeStamp>\r\n"
    "<SerialNumber>LX12345678</SerialNumber>\r\n"
    "<MACAddress>0a-1b-2c-3d-4e-5f</MACAddress>\r\n"
    "<UserName>alice&lt;&amp;&gt;</UserName>\r\n"
    "<JobName>Report, \"final\" </JobName>\r\n"
    "<Description>caf\xC3\xA9</Description>\r\n"
    "</Page1>\r\n"
    "<Page2>\r\n"
    "<TimeStamp/>\r\n<SerialNumber/>\r\n<MACAddress/>\r\n<UserName/>\r\n<JobName/>\r\n<Description/>\r\n"
    "</Page2>\r\n"
    "<Page3>\r\n"
    "<TimeStamp>2612100907</TimeStamp>\r\n"
    "<SerialNumber>SN2</SerialNumber>\r\n"
    "<MACAddress>0A1B2C3D4E5</MACAddress>\r\n"
    "<UserName>bob</UserName>\r\n"
    "<JobName>inner blanks only</JobName>\r\n"
    "<Description>tab\there_x</Description>\r\n"
    "</Page3>\r\n"
    "</DocumentZiviDuzuzing>\r\n";

const char* const kExpectedCsv =
    "TimeStamp,SerialNumber,MACAddress,UserName,JobName,Description\r\n"
    "2026/12/10 09:07:12,LX12345678,0a-1b-2c-3d-4e-5f,alice<&>,\"Report, \"\"final\"\" \",caf\xE9\r\n"
    "\"\",\"\",\"\",\"\",\"\",\"\"\r\n"
    "2612100907,SN2,0A1B2C3D4E5,bob,inner blanks only,tab\there\x01x";

TEST(ResultsDocument, XmlByteForByte) {
  const auto records = ThreeRecords();
  const std::optional<std::string> xml = orla::BuildResultsXml(records, orla::test::Latin1ToUtf8);
  ASSERT_TRUE(xml);
  EXPECT_EQ(*xml, kExpectedXml);
  std::size_t lines = 0;
  for (std::size_t at = 0; (at = xml->find("\r\n", at)) != std::string::npos; at += 2) ++lines;
  EXPECT_EQ(lines, 8 * records.size() + 3);
}

TEST(ResultsDocument, CsvByteForByte) {
  EXPECT_EQ(orla::BuildResultsCsv(ThreeRecords()), kExpectedCsv);
  // One record: its row ends without a comma and without a line end.
  const TrackingRecord one[] = {MakeRecord("", "S", "", "u", "j", "d")};
  EXPECT_EQ(orla::BuildResultsCsv(one),
            "TimeStamp,SerialNumber,MACAddress,UserName,JobName,Description\r\n\"\",S,\"\",u,j,d");
  // No records: the header alone.
  EXPECT_EQ(orla::BuildResultsCsv({}), "TimeStamp,SerialNumber,MACAddress,UserName,JobName,Description");
}

TEST(ResultsDocument, FailedConversionGivesNoDocument) {
  const auto records = ThreeRecords();
  EXPECT_FALSE(orla::BuildResultsXml(records, [](std::string_view) { return std::optional<std::string>(); }));
}

struct DisplayCase {
  const char* stored;
  const char* timeStamp;
  const char* macAddress;
};

TEST(RecordDisplay, TwelveCharactersAreRewrittenOthersKept) {
  const DisplayCase cases[] = {
      {"261210090712", "2026/12/10 09:07:12", "26-12-10-09-07-12"},
      {"aBcDeFgHiJkL", "20aB/cD/eF gH:iJ:kL", "aB-cD-eF-gH-iJ-kL"},
      {"2612100907", "2612100907", "2612100907"},
      {"26121009071", "26121009071", "26121009071"},
      {"2612100907123", "2612100907123", "2612100907123"},
      {"", "", ""},
  };
  for (const DisplayCase& c : cases) {
    SCOPED_TRACE(c.stored);
    EXPECT_EQ(FormatTimeStampForDisplay(c.stored), c.timeStamp);
    EXPECT_EQ(FormatMacAddressForDisplay(c.stored), c.macAddress);
  }
}

TEST(ResultsDocument, FieldsAreReadNoFurtherThanTheirArrays) {
  TrackingRecord r{};
  r.Valid = 1;
  std::memset(r.TimeStamp, 'A', sizeof r.TimeStamp);  // no terminating zero
  std::memset(r.Description, 'D', sizeof r.Description);
  const auto texts = orla::RecordTexts(r);
  EXPECT_EQ(texts[0], std::string(13, 'A'));
  EXPECT_EQ(texts[1], "");
  EXPECT_EQ(texts[5], std::string(33, 'D'));
}

bool ShiftJisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

struct FieldCase {
  const char* text;
  const char* xml;
  const char* csv;
};

TEST(ResultsDocument, FieldRules) {
  const orla::LeadByteTest previous = orla::SetLeadByteTest(ShiftJisLead);
  const FieldCase cases[] = {
      {"plain", "plain", "plain"},
      {"\x01\x08\x0B\x0C\x0E\x1F", "______", "\x01\x08\x0B\x0C\x0E\x1F"},
      {"\t\n\r", "\t\n\r", "\t\n\r"},
      {"ab\x95", "ab", "ab"},             // a lead byte ending the field
      {"\x95\x5C\x83\x5D", "\x95\x5C\x83\x5D", "\x95\x5C\x83\x5D"},  // whole characters kept
      {"\x95<b", "<b", "<b"},             // no usable second byte: the lead byte goes
      {"\x95\x01", "_", "\x01"},
  };
  for (const FieldCase& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(orla::XmlFieldText(c.text), c.xml);
    EXPECT_EQ(orla::CsvFieldText(c.text), c.csv);
  }

  // A user name ending in a lead byte no longer swallows the '<' of its end tag.
  const TrackingRecord records[] = {MakeRecord("", "", "", "name\x95", "", "")};
  CMarkup reparsed;
  EXPECT_TRUE(reparsed.SetDocument(orla::BuildResultsXmlText(records))) << reparsed.GetError();
  EXPECT_EQ(orla::BuildResultsCsv(records).substr(64), "\"\",\"\",\"\",name,\"\",\"\"");
  orla::SetLeadByteTest(previous);
}

// The independent readers.

std::string Quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

TEST(ResultsReadBack, XmllintAcceptsTheDocumentAndCountsItsElements) {
  orla::test::TempFolder folder;
  const auto file = folder.path() / "result.xml";
  orla::test::WriteFile(file, *orla::BuildResultsXml(ThreeRecords(), orla::test::Latin1ToUtf8));

  int status = 0;
  const std::string errors = orla::test::RunCommand(std::string(ORLA_XMLLINT) + " --noout " + Quoted(file) + " 2>&1", status);
  EXPECT_EQ(status, 0) << errors;
  EXPECT_EQ(errors, "");
  struct Count {
    const char* xpath;
    const char* count;
  };
  const Count counts[] = {
      {"count(/*/*)", "3"},
      {"count(//*[local-name()='TimeStamp'])", "3"},
      {"count(/*/*[3]/*)", "6"},
      {"count(//*[namespace-uri()='http://www.lumaro.com/Lumaro/DocumentZiviDuzuzing'])", "22"},
      {"string(//*[local-name()='UserName'][1])", "alice<&>"},
  };
  for (const Count& c : counts) {
    SCOPED_TRACE(c.xpath);
    const std::string out = orla::test::RunCommand(
        std::string(ORLA_XMLLINT) + " --xpath \"" + c.xpath + "\" " + Quoted(file) + " 2>&1", status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out.substr(0, out.find_last_not_of('\n') + 1), c.count);
  }
}

TEST(ResultsReadBack, PythonReadsNamesNamespaceOrderAndTexts) {
  orla::test::TempFolder folder;
  const auto file = folder.path() / "result.xml";
  orla::test::WriteFile(file, *orla::BuildResultsXml(ThreeRecords(), orla::test::Latin1ToUtf8));
  int status = 0;
  const std::string out = orla::test::RunCommand(
      std::string(ORLA_PYTHON3) + " " + ORLA_READ_RESULTS_PY + " xml " + Quoted(file) + " 2>&1", status);
  ASSERT_EQ(status, 0) << out;
  const std::string ns = "{http://www.lumaro.com/Lumaro/DocumentZiviDuzuzing}";
  auto page = [&](int n, std::vector<std::string> texts) {
    std::string line = ns + "Page" + std::to_string(n);
    for (std::size_t i = 0; i < 6; ++i) line += "\t" + ns + std::string(orla::kResultFieldNames[i]) + "\t" + texts[i];
    return line + "\n";
  };
  const std::string expected =
      ns + "DocumentZiviDuzuzing\n" +
      "http://www.lumaro.com/Lumaro/DocumentZiviDuzuzing C:\\Users\\UserName\\XMLSAM~1.XSD\n" +
      page(1, {"2026/12/10 09:07:12", "LX12345678", "0a-1b-2c-3d-4e-5f", "alice<&>", "Report, \"final\" ",
               "caf\xC3\xA9"}) +
      page(2, {"", "", "", "", "", ""}) +
      page(3, {"2612100907", "SN2", "0A1B2C3D4E5", "bob", "inner blanks only", "tab\\there_x"});
  EXPECT_EQ(out, expected);
}

TEST(ResultsReadBack, PythonCsvReadsRowsAndFields) {
  orla::test::TempFolder folder;
  const auto file = folder.path() / "result.csv";
  auto records = ThreeRecords();
  // A CR inside a field keeps the row together because the field is quoted.
  orla::test::Put(records[2].JobName, "one\rtwo, and \"three\"");
  orla::test::WriteFile(file, orla::BuildResultsCsv(records));
  int status = 0;
  const std::string out = orla::test::RunCommand(
      std::string(ORLA_PYTHON3) + " " + ORLA_READ_RESULTS_PY + " csv " + Quoted(file) + " 2>&1", status);
  ASSERT_EQ(status, 0) << out;
  EXPECT_EQ(out,
            "TimeStamp\tSerialNumber\tMACAddress\tUserName\tJobName\tDescription\n"
            "2026/12/10 09:07:12\tLX12345678\t0a-1b-2c-3d-4e-5f\talice<&>\tReport, \"final\" \tcaf\xC3\xA9\n"
            "\t\t\t\t\t\n"
            "2612100907\tSN2\t0A1B2C3D4E5\tbob\tone\\rtwo, and \"three\"\ttab\\there\x01x\n");
}

}  // namespace
