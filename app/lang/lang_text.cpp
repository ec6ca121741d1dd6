#include "lang/lang_text.h"

#include <string>
#include <vector>

#include "lang/lang_choice.h"
#include "lang/lang_parser.h"
#include "text/code_page_conversion.h"
#include "text/safe_format.h"

namespace orla {
namespace {

LPCWSTR Wide(const std::u16string& text) { return reinterpret_cast<LPCWSTR>(text.c_str()); }

}  // namespace

bool GetProgramFolder(CString& folder) {
  char name[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameA(nullptr, name, sizeof name);
  if (length == 0 || length > MAX_PATH) return false;
  const std::string path(name, length);
  const auto slash = path.rfind('\\');
  if (slash == std::string::npos) return false;
  folder = CString(path.substr(0, slash + 1));
  return true;
}

bool LoadLanguageFile(const char* path, LangTable& table) {
  table.clear();
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  std::string bytes;
  bool read = GetFileSizeEx(file, &size) != 0 && size.QuadPart > 0 &&
              static_cast<unsigned long long>(size.QuadPart) <= kMaxLanguageFileBytes;
  if (read) {
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD got = 0;
    read = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) != 0 && got == bytes.size();
  }
  CloseHandle(file);
  return read && LoadLanguageBytes(bytes, table);
}

bool LoadLanguageFile(const char* path) { return LoadLanguageFile(path, g_LangTable); }

void LoadLanguage(CString& chosenPath) {
  chosenPath.Empty();
  CString folder;
  if (!GetProgramFolder(folder)) return;
  const std::string langFolder = folder.str() + "Lang\\";
  std::vector<std::string> candidates;
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA((langFolder + "*.lan").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
      candidates.push_back(langFolder + found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  const LanguageFileLoader load = [](const std::string& path, LangTable& table) {
    return LoadLanguageFile(path.c_str(), table);
  };
  chosenPath = CString(ChooseLanguageFile(candidates, GetSystemDefaultLangID(), load, g_LangTable));
}

CString GetLangText(int id) { return WideToCString(GetLangTextW(id)); }

void SetWindowTextById(HWND window, std::uint32_t key) {
  std::u16string text;
  if (FindLanguageEntry(key, text)) SetWindowTextW(window, Wide(text));
}

void SetDlgItemTextsById(HWND dialog, const ControlTextKey* rows, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    std::u16string text;
    if (!FindLanguageEntry(rows[i].key, text)) continue;
    HWND control = GetDlgItem(dialog, static_cast<int>(rows[i].controlId));
    if (control != nullptr) SetWindowTextW(control, Wide(text));
  }
}

int ShowMessageBox(HWND owner, std::u16string_view text, std::u16string_view caption, UINT style) {
  const std::string textA = WideToMultiByte(text, nullptr);
  const std::string captionA = WideToMultiByte(caption, nullptr);
  return MessageBoxA(owner, textA.c_str(), captionA.c_str(), style);
}

int ShowErrorMessage(int id, HWND owner) {
  return ShowMessageBox(owner, GetLangTextW(id), GetLangTextW(kMsgCaption), MB_ICONHAND);
}

int ShowErrorMessage(int id, HWND owner, std::initializer_list<long long> numbers) {
  // The format comes from a language file: only the safe formatter reads it.
  return ShowMessageBox(owner, FormatIntegers(GetLangTextW(id), numbers), GetLangTextW(kMsgCaption), MB_ICONHAND);
}

}  // namespace orla
