#include "saving/posix_file_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

namespace orla {
namespace {

class PosixOutputFile : public OutputFile {
 public:
  explicit PosixOutputFile(int fd) : fd_(fd) {}
  ~PosixOutputFile() override {
    if (fd_ >= 0) ::close(fd_);
  }
  PosixOutputFile(const PosixOutputFile&) = delete;
  PosixOutputFile& operator=(const PosixOutputFile&) = delete;

  bool Write(std::span<const char> bytes) override {
    while (!bytes.empty()) {
      const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      bytes = bytes.subspan(n);
    }
    return true;
  }

  bool Close() override {
    if (fd_ < 0) return false;
    const bool synced = ::fsync(fd_) == 0;
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    return synced && closed;
  }

 private:
  int fd_;
};

std::atomic<unsigned> g_tempCounter{0};

}  // namespace

bool PosixFileStore::Exists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

std::unique_ptr<OutputFile> PosixFileStore::CreateTempBeside(const std::string& target, std::string& tempPath) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string candidate = target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(g_tempCounter++);
    // 0666 lets the umask decide, as it would for the file written directly.
    const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      tempPath = candidate;
      return std::make_unique<PosixOutputFile>(fd);
    }
    if (errno != EEXIST) return nullptr;
  }
  return nullptr;
}

bool PosixFileStore::Replace(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

bool PosixFileStore::Remove(const std::string& path) { return ::unlink(path.c_str()) == 0; }

}  // namespace orla
