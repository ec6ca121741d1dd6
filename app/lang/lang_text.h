#pragma once
// The language texts on Windows: choosing and loading the language file beside the program,
// putting texts on windows (as UTF-16) and into message boxes (in the process code page), and
// the conversions between the process code page, UTF-16 and UTF-8.

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "afx_string.h"
#include "lang/lang_table.h"
#include "lang/message_ids.h"

namespace orla {

struct ControlTextKey {
  std::uint32_t controlId;
  std::uint32_t key;
};

// The folder of the program file, with its trailing backslash.
bool GetProgramFolder(CString& folder);
// Replaces the process-wide table with the file's entries; false when the file cannot be
// read, is empty or too large, or is malformed.
bool LoadLanguageFile(const char* path);
bool LoadLanguageFile(const char* path, LangTable& table);
// Chooses the file of Lang\*.lan beside the program by the system's default language.
void LoadLanguage(CString& chosenPath);

std::u16string MultiByteToWide(std::string_view text);
// Characters the process code page lacks become "_"; `usedDefault` tells whether any did.
std::string WideToMultiByte(std::u16string_view text, bool* usedDefault);
CString WideToCString(std::u16string_view text);
std::string AnsiToUtf8(std::string_view text);

// The text of a message id in the process code page.
CString GetLangText(int id);
void SetWindowTextById(HWND window, std::uint32_t key);
void SetDlgItemTextsById(HWND dialog, const ControlTextKey* rows, std::size_t count);
int ShowMessageBox(HWND owner, std::u16string_view text, std::u16string_view caption, UINT style);
int ShowErrorMessage(int id, HWND owner);

}  // namespace orla
