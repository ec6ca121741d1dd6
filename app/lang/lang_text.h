#pragma once
// The language texts on Windows: choosing and loading the language file beside the program,
// and putting texts on windows (as UTF-16) and into message boxes (in the process code page).

#include <windows.h>

#include <cstdint>
#include <initializer_list>
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

// The text of a message id in the process code page.
CString GetLangText(int id);
void SetWindowTextById(HWND window, std::uint32_t key);
void SetDlgItemTextsById(HWND dialog, const ControlTextKey* rows, std::size_t count);
int ShowMessageBox(HWND owner, std::u16string_view text, std::u16string_view caption, UINT style);
int ShowErrorMessage(int id, HWND owner);
// The same for a message whose text is a format that receives these numbers.
int ShowErrorMessage(int id, HWND owner, std::initializer_list<long long> numbers);

}  // namespace orla
