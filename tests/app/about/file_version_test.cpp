// The about box's version text from a real version resource under Wine: this program's own
// (product version 2.3.40000.5, file version 9.8.7.6), a system library's, and files without
// one.

#include <windows.h>

#include <string>

#include "about/file_version_text.h"
#include "wine_check.h"

namespace {

int Count(const std::string& text, char c) {
  int n = 0;
  for (const char x : text) n += x == c ? 1 : 0;
  return n;
}

}  // namespace

int main() {
  CHECK(orla::GetFileVersionText() == "2.3.40000.5 ");

  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  const std::string kernel = orla::GetFileVersionTextOf((std::string(system) + "\\kernel32.dll").c_str());
  CHECK(Count(kernel, '.') == 3 && !kernel.empty() && kernel.back() == ' ');

  char folder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  const std::string plain = std::string(folder) + "orla-version-" + std::to_string(GetCurrentProcessId()) + ".txt";
  HANDLE file = CreateFileA(plain.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, "not a program", 13, &written, nullptr);
  CloseHandle(file);
  CHECK(orla::GetFileVersionTextOf(plain.c_str()).empty());
  DeleteFileA(plain.c_str());
  CHECK(orla::GetFileVersionTextOf((std::string(folder) + "no-such-file.exe").c_str()).empty());
  return wine_check::Finish("file_version_test");
}
