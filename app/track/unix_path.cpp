#include "track/unix_path.h"

#include <windows.h>

#include "text/code_page_conversion.h"

extern "C" char* CDECL wine_get_unix_file_name(LPCWSTR dosName);

namespace orla {

std::string UnixPathOf(const char* windowsPath) {
  if (windowsPath == nullptr || *windowsPath == '\0') return {};
  const std::u16string wide = MultiByteToWide(windowsPath);
  // Wine allocates the name on its process heap.
  char* unixName = wine_get_unix_file_name(reinterpret_cast<LPCWSTR>(wide.c_str()));
  if (unixName == nullptr) return {};
  std::string path(unixName);
  HeapFree(GetProcessHeap(), 0, unixName);
  return path;
}

}  // namespace orla
