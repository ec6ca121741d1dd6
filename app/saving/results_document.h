#pragma once
// The two forms in which Save As writes the records of a run: an XML document (built with
// CMarkup, converted to UTF-8) and comma-separated text. Both write every record, one without
// a result as six empty fields, and the fields in the same order.

#include <array>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "tracking_record.h"

namespace orla {

inline constexpr std::array<std::string_view, 6> kResultFieldNames = {
    "TimeStamp", "SerialNumber", "MACAddress", "UserName", "JobName", "Description"};

inline constexpr std::string_view kResultsRootName = "DocumentZiviDuzuzing";
inline constexpr std::string_view kResultsNamespace = "http://www.lumaro.com/Lumaro/DocumentZiviDuzuzing";
inline constexpr std::string_view kSchemaInstanceNamespace = "http://www.w3.org/2001/XMLSchema-instance";
inline constexpr std::string_view kSchemaLocationFile = "C:\\Users\\UserName\\XMLSAM~1.XSD";

// Converts a text from the process code page to UTF-8; nullopt when it cannot.
using CodePageToUtf8 = std::function<std::optional<std::string>(std::string_view text)>;

// The six texts of a record as both forms write them: all empty when it has no result, else
// the stored texts (read no further than their arrays) with the time stamp and MAC address
// in their display forms.
std::array<std::string, 6> RecordTexts(const TrackingRecord& record);

// A field as it may stand in the XML document: the control characters that XML 1.0 forbids
// become "_", and a lead byte without its second byte is dropped (it would swallow the '<'
// of the end tag behind it).
std::string XmlFieldText(std::string_view text);
// A field for the CSV text: a lead byte without its second byte is dropped, so that it cannot
// swallow the quote or comma behind it.
std::string CsvFieldText(std::string_view text);

// The whole XML document in the process code page, lines ending in CR LF.
std::string BuildResultsXmlText(std::span<const TrackingRecord> records);
// The same converted to UTF-8, as it is written to the file; nullopt when the conversion fails.
std::optional<std::string> BuildResultsXml(std::span<const TrackingRecord> records, const CodePageToUtf8& toUtf8);
// The CSV text as written: header row and one row per record, rows separated by CR LF, no
// line end after the last row, in the process code page.
std::string BuildResultsCsv(std::span<const TrackingRecord> records);

}  // namespace orla
