#pragma once
// FileStore over POSIX files: the native programs' and the tests' file store. Paths use '/'.

#include "saving/file_store.h"

namespace orla {

class PosixFileStore : public FileStore {
 public:
  bool Exists(const std::string& path) override;
  std::unique_ptr<OutputFile> CreateTempBeside(const std::string& target, std::string& tempPath) override;
  bool Replace(const std::string& from, const std::string& to) override;
  bool Remove(const std::string& path) override;
};

}  // namespace orla
