#pragma once
// FileStore over the Windows file API, for the program's Save As. Paths are in the process
// code page, as the save dialog returns them.

#include "saving/file_store.h"

namespace orla {

class Win32FileStore : public FileStore {
 public:
  bool Exists(const std::string& path) override;
  // The temporary file is made by GetTempFileName in the target's folder, so the replace that
  // follows stays on one volume.
  std::unique_ptr<OutputFile> CreateTempBeside(const std::string& target, std::string& tempPath) override;
  bool Replace(const std::string& from, const std::string& to) override;
  bool Remove(const std::string& path) override;
};

}  // namespace orla
