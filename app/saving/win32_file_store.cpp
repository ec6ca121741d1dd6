#include "saving/win32_file_store.h"

#include <windows.h>

namespace orla {
namespace {

constexpr std::size_t kMaxChunk = std::size_t{1} << 30;

class Win32OutputFile : public OutputFile {
 public:
  explicit Win32OutputFile(HANDLE file) : file_(file) {}
  ~Win32OutputFile() override {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  }
  Win32OutputFile(const Win32OutputFile&) = delete;
  Win32OutputFile& operator=(const Win32OutputFile&) = delete;

  bool Write(std::span<const char> bytes) override {
    while (!bytes.empty()) {
      // WriteFile takes a 32-bit count.
      const DWORD chunk = static_cast<DWORD>(bytes.size() < kMaxChunk ? bytes.size() : kMaxChunk);
      DWORD written = 0;
      if (!WriteFile(file_, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
      bytes = bytes.subspan(written);
    }
    return true;
  }

  bool Close() override {
    if (file_ == INVALID_HANDLE_VALUE) return false;
    const bool flushed = FlushFileBuffers(file_) != 0;
    const bool closed = CloseHandle(file_) != 0;
    file_ = INVALID_HANDLE_VALUE;
    return flushed && closed;
  }

 private:
  HANDLE file_;
};

// The folder part of `path`, with its separator; "." for a bare name. CharNextA keeps a
// double-byte character whose second byte is 0x5C in one piece.
std::string FolderOf(const std::string& path) {
  const char* folderEnd = nullptr;
  for (const char* p = path.c_str(); *p != '\0'; p = CharNextA(p)) {
    if (*p == '\\' || *p == '/') folderEnd = p + 1;
  }
  if (folderEnd == nullptr) return ".";
  return std::string(path.c_str(), folderEnd);
}

}  // namespace

bool Win32FileStore::Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::unique_ptr<OutputFile> Win32FileStore::CreateTempBeside(const std::string& target, std::string& tempPath) {
  char name[MAX_PATH + 1] = {};
  if (GetTempFileNameA(FolderOf(target).c_str(), "orl", 0, name) == 0) return nullptr;
  HANDLE file = CreateFileA(name, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    DeleteFileA(name);
    return nullptr;
  }
  tempPath = name;
  return std::make_unique<Win32OutputFile>(file);
}

bool Win32FileStore::Replace(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool Win32FileStore::Remove(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

}  // namespace orla
