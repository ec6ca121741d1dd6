#pragma once
// What the Wine tests that drive ORLA from another process share besides the session: Unix and
// Windows paths of their fixtures, the English texts ORLA shows, and keys typed on its main
// window through the X server.

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "lang/lang_parser.h"
#include "lang/lang_table.h"

extern "C" WCHAR* CDECL wine_get_dos_file_name(const char* unixName);

namespace orla::test {

// The path ORLA sees for a Unix path, in the process code page.
inline std::string DosPath(const std::string& unixPath) {
  WCHAR* wide = wine_get_dos_file_name(unixPath.c_str());
  if (wide == nullptr) return {};
  char text[MAX_PATH * 2] = {};
  WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
  HeapFree(GetProcessHeap(), 0, wide);
  return text;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The texts of a language file, by key, as ORLA's message boxes show them (ASCII here).
class LanguageTexts {
 public:
  bool Load(const std::string& unixPath) { return LoadLanguageBytes(ReadFile(unixPath), table_); }
  std::string operator()(std::uint32_t key) const {
    std::u16string text;
    FindLanguageEntry(table_, key, text);
    std::string out;
    for (char16_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '_');
    return out;
  }

 private:
  LangTable table_;
};

// Keys pressed on ORLA's main window through the X server, as on a keyboard. xdotool gives up
// when a window vanishes while it searches (a dialog that has just closed): it tries again.
inline bool PressKeys(const std::string& keys) {
  const std::string command =
      "xdotool search --name '^ORLA tracking' windowfocus --sync key " + keys + " >/dev/null 2>&1";
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (std::system(command.c_str()) == 0) return true;
    Sleep(100);
  }
  return false;
}

}  // namespace orla::test
