// The language texts on real Wine windows: choosing the file in the Lang folder beside the
// program, window texts from the table (every UTF-16 character kept, missing keys and
// controls left alone), the code-page conversions and the error message box.

#include <windows.h>

#include <cstdio>
#include <string>

#include "framework.h"
#include "lang/lang_choice.h"
#include "lang/lang_parser.h"
#include "lang/lang_text.h"
#include "text/code_page_conversion.h"
#include "wine_check.h"

namespace {

using namespace orla;

void WriteFile(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::string ReadUnixFile(const char* path) {
  std::string bytes;
  if (FILE* file = std::fopen(path, "rb")) {
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
    std::fclose(file);
  }
  return bytes;
}

void TestLanguageChoice() {
  CString folder;
  CHECK(GetProgramFolder(folder));
  CHECK(!folder.IsEmpty() && folder.Right(1) == "\\");
  const std::string lang = folder.str() + "Lang\\";
  CreateDirectoryA(lang.c_str(), nullptr);
  CreateDirectoryA((lang + "dir.lan").c_str(), nullptr);  // a directory is no candidate

  const std::string english = ReadUnixFile(ORLA_ENGLISH_FILE);
  CHECK(!english.empty());
  WriteFile(lang + "English.lan", english);
  WriteFile(lang + "big.lan", std::string(kMaxLanguageFileBytes + 1, ' '));
  const LanguageCode systemCode = LanguageCodeOfLangId(GetSystemDefaultLangID());
  char code[32];
  std::snprintf(code, sizeof code, "%u-%u", systemCode.primary, systemCode.sub);
  WriteFile(lang + "system.lan", std::string("2=\"") + code + "\" 10000002=\"exact\"");

  CString chosen;
  LoadLanguage(chosen);
  CHECK(chosen == (lang + "system.lan").c_str());
  CHECK(GetLangTextW(kMsgCaption) == u"exact");

  DeleteFileA((lang + "system.lan").c_str());
  LoadLanguage(chosen);
  if (systemCode.primary != 9 || systemCode.sub == 0) {
    CHECK(chosen.IsEmpty());
  }
  CHECK(GetLangTextW(kMsgCaption) == u"ORLA");
  CHECK(!GetLangText(kMsgProgressTitle).IsEmpty());
  CHECK(GetLangTextW(6).empty());

  CHECK(!LoadLanguageFile((lang + "big.lan").c_str()));
  CHECK(!LoadLanguageFile((lang + "missing.lan").c_str()));
  CHECK(LoadLanguageFile((lang + "English.lan").c_str()));
  DeleteFileA((lang + "big.lan").c_str());
}

void TestWindowTexts() {
  CHECK(LoadLanguageBytes("02000000=\"Caption \xC3\xA9\" 02000001=\"Groupe \xE4\xB8\xAD \xF0\x9F\x98\x80\" "
                          "02000003=\"never shown\"",
                          g_LangTable));
  HWND dialog = CreateWindowExW(0, reinterpret_cast<LPCWSTR>(u"STATIC"), reinterpret_cast<LPCWSTR>(u"old caption"),
                                WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  const auto child = [&](int id, const char16_t* text) {
    return CreateWindowExW(0, reinterpret_cast<LPCWSTR>(u"BUTTON"), reinterpret_cast<LPCWSTR>(text), WS_CHILD, 0, 0,
                           50, 20, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                           nullptr);
  };
  HWND group = child(1016, u"Recognition Type");
  HWND radio = child(1002, u"Scan from MFP");
  const ControlTextKey rows[] = {{1016, 0x02000001}, {1002, 0x02000002}, {9999, 0x02000003}};
  SetWindowTextById(dialog, 0x02000000);
  SetDlgItemTextsById(dialog, rows, 3);
  const auto textOf = [](HWND window) {
    char16_t buffer[128] = {};
    GetWindowTextW(window, reinterpret_cast<LPWSTR>(buffer), 128);
    return std::u16string(buffer);
  };
  CHECK(textOf(dialog) == u"Caption \u00e9");
  CHECK(textOf(group) == u"Groupe \u4e2d \U0001F600");
  CHECK(textOf(radio) == u"Scan from MFP");  // no text for its key
  SetWindowTextById(dialog, 0x0200FFFF);
  CHECK(textOf(dialog) == u"Caption \u00e9");
  DestroyWindow(dialog);
}

void TestConversions() {
  CHECK(MultiByteToWide("Track 3") == u"Track 3");
  CHECK(MultiByteToWide("").empty());
  bool used = true;
  CHECK(WideToMultiByte(u"plain", &used) == "plain");
  CHECK(!used);
  CHECK(AnsiToUtf8("abc") == "abc");
  const UINT acp = GetACP();
  std::printf("process code page %u\n", acp);
  if (acp == 1252) {
    CHECK(WideToMultiByte(u"a\u4e2d\u00e9", &used) == "a_\xE9");
    CHECK(used);
    CHECK(AnsiToUtf8("caf\xE9") == "caf\xC3\xA9");
  } else if (acp == CP_UTF8) {
    CHECK(WideToMultiByte(u"a\u4e2d", &used) == "a\xE4\xB8\xAD");
    CHECK(AnsiToUtf8("caf\xC3\xA9") == "caf\xC3\xA9");
  }
}

struct SeenBox {
  std::u16string caption;
  std::u16string text;
  bool found = false;
} g_seen;

BOOL CALLBACK FindBox(HWND window, LPARAM) {
  char16_t name[32] = {};
  GetClassNameW(window, reinterpret_cast<LPWSTR>(name), 32);
  if (std::u16string(name) != u"#32770") return TRUE;
  char16_t buffer[256] = {};
  GetWindowTextW(window, reinterpret_cast<LPWSTR>(buffer), 256);
  g_seen.caption = buffer;
  buffer[0] = 0;
  GetDlgItemTextW(window, 0xFFFF, reinterpret_cast<LPWSTR>(buffer), 256);
  g_seen.text = buffer;
  g_seen.found = true;
  PostMessageW(window, WM_COMMAND, IDOK, 0);
  return FALSE;
}

void CALLBACK CloseBox(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), FindBox, 0); }

void TestErrorMessage() {
  const struct {
    const char* table;
    std::u16string caption;
    std::u16string text;
  } cases[] = {
      {"", u"", u""},
      {"10000002=\"ORLA\" 1000001E=\"Nothing found.\"", u"ORLA", u"Nothing found."},
  };
  for (const auto& c : cases) {
    LoadLanguageBytes(c.table, g_LangTable);
    g_seen = {};
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, CloseBox);
    const int result = ShowErrorMessage(kMsgNothingFound, nullptr);
    KillTimer(nullptr, timer);
    CHECK(result == IDOK);
    CHECK(g_seen.found);
    CHECK(g_seen.caption == c.caption);
    CHECK(g_seen.text == c.text);
  }
}

}  // namespace

int main() {
  TestLanguageChoice();
  TestWindowTexts();
  TestConversions();
  TestErrorMessage();
  return wine_check::Finish("lang_text_test");
}
