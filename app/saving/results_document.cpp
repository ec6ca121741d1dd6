#include "saving/results_document.h"

#include <cstring>

#include "markup/csv_write.h"
#include "markup/markup.h"
#include "pages/record_display.h"
#include "text/code_page.h"

namespace orla {
namespace {

template <std::size_t N>
std::string_view FieldOf(const char (&field)[N]) {
  return {field, strnlen(field, N)};
}

// XML 1.0 allows TAB, LF and CR of the control characters below the blank.
bool IsForbiddenInXml(unsigned char c) { return c < 0x20 && c != '\t' && c != '\n' && c != '\r'; }

std::string DropLoneLeadBytes(std::string_view text, bool forXml) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (IsLoneLeadByte(text, i)) {
      ++i;
      continue;
    }
    const std::size_t length = CharLengthAt(text, i);
    if (length == 1 && forXml && IsForbiddenInXml(static_cast<unsigned char>(text[i]))) {
      out += '_';
    } else {
      out.append(text.substr(i, length));
    }
    i += length;
  }
  return out;
}

}  // namespace

std::array<std::string, 6> RecordTexts(const TrackingRecord& record) {
  if (record.Valid == 0) return {};
  return {FormatTimeStampForDisplay(FieldOf(record.TimeStamp)), std::string(FieldOf(record.SerialNumber)),
          FormatMacAddressForDisplay(FieldOf(record.MACAddress)), std::string(FieldOf(record.UserName)),
          std::string(FieldOf(record.JobName)), std::string(FieldOf(record.Description))};
}

std::string XmlFieldText(std::string_view text) { return DropLoneLeadBytes(text, true); }

std::string CsvFieldText(std::string_view text) { return DropLoneLeadBytes(text, false); }

std::string BuildResultsXmlText(std::span<const TrackingRecord> records) {
  CMarkup markup;
  // The declaration holds no element, so this parse fails and the text stays as it is.
  markup.SetDocument("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n");
  markup.AddElement(kResultsRootName, std::nullopt, false);
  markup.SetAttribute("xmlns", kResultsNamespace);
  markup.SetAttribute("xmlns:xsi", kSchemaInstanceNamespace);
  markup.SetAttribute("xsi:schemaLocation", std::string(kResultsNamespace) + " " + std::string(kSchemaLocationFile));
  int page = 0;
  for (const TrackingRecord& record : records) {
    markup.AddElement("Page" + std::to_string(++page), std::nullopt, true);
    markup.StepIntoChild();
    const std::array<std::string, 6> texts = RecordTexts(record);
    for (std::size_t i = 0; i < texts.size(); ++i) {
      markup.AddElement(kResultFieldNames[i], XmlFieldText(texts[i]), true);
    }
    markup.StepOutToParent();
  }
  return markup.GetDocument();
}

std::optional<std::string> BuildResultsXml(std::span<const TrackingRecord> records, const CodePageToUtf8& toUtf8) {
  return toUtf8(BuildResultsXmlText(records));
}

std::string BuildResultsCsv(std::span<const TrackingRecord> records) {
  CCSVWrite csv;
  for (const std::string_view name : kResultFieldNames) csv.AddField(name);
  for (const TrackingRecord& record : records) {
    csv.EndRow();
    for (const std::string& text : RecordTexts(record)) csv.AddField(CsvFieldText(text));
  }
  std::string line = csv.GetLine();
  if (!line.empty() && line.back() == ',') line.pop_back();

  // Written as a text-mode stream writes it: every LF becomes CR LF.
  std::string out;
  out.reserve(line.size() + records.size() + 1);
  for (const char c : line) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

}  // namespace orla
