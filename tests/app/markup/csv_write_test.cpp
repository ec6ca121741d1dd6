// The CSV line builder: quoting of one field, and rows.

#include <gtest/gtest.h>

#include "markup/csv_write.h"

namespace {

struct QuoteCase {
  const char* field;
  const char* written;
};

TEST(CsvWrite, QuoteField) {
  const QuoteCase cases[] = {
      {"plain", "plain"},
      {"", "\"\""},
      {"a,b", "\"a,b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"\"", "\"\"\"\""},
      {"two\nlines", "\"two\nlines\""},
      {"cr\ronly", "\"cr\ronly\""},
      {" lead", "\" lead\""},
      {"trail ", "\"trail \""},
      {"ends with blank but has more ", "\"ends with blank but has more \""},
      {"inner blanks only", "inner blanks only"},
      {"2026/12/10 09:07:12", "2026/12/10 09:07:12"},
      {"\ttab\t", "\ttab\t"},
      {"it's", "it's"},
  };
  for (const QuoteCase& c : cases) {
    SCOPED_TRACE(c.field);
    EXPECT_EQ(CCSVWrite::QuoteField(c.field), c.written);
  }
}

TEST(CsvWrite, RowsDropTheirTrailingComma) {
  CCSVWrite csv;
  EXPECT_EQ(csv.GetLine(), "");
  csv.EndRow();  // an empty text has no comma to drop
  EXPECT_EQ(csv.GetLine(), "\n");
  csv.AddField("a");
  csv.AddField("");
  EXPECT_EQ(csv.GetLine(), "\na,\"\",");
  csv.EndRow();
  csv.AddField("x,y");
  EXPECT_EQ(csv.GetLine(), "\na,\"\"\n\"x,y\",");
}

}  // namespace
