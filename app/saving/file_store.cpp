#include "saving/file_store.h"

namespace orla {

bool WriteFileReplacing(FileStore& store, const std::string& target, std::span<const char> bytes) {
  std::string tempPath;
  std::unique_ptr<OutputFile> file = store.CreateTempBeside(target, tempPath);
  if (!file) return false;
  const bool written = file->Write(bytes);
  const bool closed = file->Close();
  file.reset();
  if (!written || !closed || !store.Replace(tempPath, target)) {
    store.Remove(tempPath);
    return false;
  }
  return true;
}

}  // namespace orla
