// Where the Help button finds the help file and its topics as HTML pages.

#include <gtest/gtest.h>

#include "help/help_file.h"

namespace orla {
namespace {

TEST(HelpFile, NameFromTheLanguageFileOrBuiltIn) {
  EXPECT_EQ(HelpFilePath("  Other Help.chm \t", "Z:\\orla\\"), "Z:\\orla\\Other Help.chm");
  EXPECT_EQ(HelpFilePath(" \r\n", "Z:\\orla\\"), "Z:\\orla\\Dravo_Marrowfind.chm");
  EXPECT_EQ(HelpFilePath("", ""), "Dravo_Marrowfind.chm");
}

TEST(HelpFile, StartPageLiesInTheFolderNamedLikeTheHelpFile) {
  const struct {
    const char* helpFile;
    const char* startPage;
  } cases[] = {
      {"Z:\\orla\\Dravo_Marrowfind.chm", "Z:\\orla\\Dravo_Marrowfind\\index.html"},
      {"Z:\\orla\\Other Help.v2.chm", "Z:\\orla\\Other Help.v2\\index.html"},
      {"Z:\\orla.d\\Help", "Z:\\orla.d\\Help\\index.html"},  // a dot in a folder is no extension
      {"Z:\\orla\\.chm", "Z:\\orla\\.chm\\index.html"},      // nor one that starts the name
      {"Dravo_Marrowfind.chm", "Dravo_Marrowfind\\index.html"},
  };
  for (const auto& c : cases) EXPECT_EQ(HelpStartPagePath(c.helpFile), c.startPage) << c.helpFile;
}

}  // namespace
}  // namespace orla
