#pragma once
// The file operations that saving needs, behind a neutral interface: the program implements
// it over the Windows file API, native code and tests over POSIX (saving/posix_file_store.h).

#include <memory>
#include <span>
#include <string>

namespace orla {

class OutputFile {
 public:
  virtual ~OutputFile() = default;
  // Writes all of `bytes`; false when any of it could not be written.
  virtual bool Write(std::span<const char> bytes) = 0;
  // Flushes and closes; false when the data may not have reached the file. A file destroyed
  // without Close is closed without a check.
  virtual bool Close() = 0;
};

class FileStore {
 public:
  virtual ~FileStore() = default;
  virtual bool Exists(const std::string& path) = 0;
  // Creates a new empty file in the folder of `target` under a name no file has yet; sets
  // `tempPath` to it. Null when it cannot.
  virtual std::unique_ptr<OutputFile> CreateTempBeside(const std::string& target, std::string& tempPath) = 0;
  // Puts the closed file `from` in the place of `to`, replacing a file there in one step.
  virtual bool Replace(const std::string& from, const std::string& to) = 0;
  virtual bool Remove(const std::string& path) = 0;
};

// Writes `bytes` to a temporary file beside `target`, checking every write and the close,
// then replaces `target` with it. On any failure the temporary file is removed and `target`
// is left as it was.
bool WriteFileReplacing(FileStore& store, const std::string& target, std::span<const char> bytes);

}  // namespace orla
