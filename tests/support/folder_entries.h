#pragma once
// The names in a folder, for the Wine tests that check what a save left behind.

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace orla::test {

// The names of the files and folders in `folder` (which ends in a backslash), without "." and
// "..", sorted.
inline std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace orla::test
