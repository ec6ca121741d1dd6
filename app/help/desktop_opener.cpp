#include "help/desktop_opener.h"

#include <errno.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <utility>

extern char** environ;

namespace orla {

DesktopOpener::DesktopOpener(const std::string& program, const std::string& target) {
  posix_spawnattr_t attributes;
  if (posix_spawnattr_init(&attributes) != 0) return;
  // The opener starts as from a shell: no blocked signals, and SIGPIPE, which a Wine process
  // ignores, back to its default.
  sigset_t none;
  sigemptyset(&none);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  std::string programArg = program;
  std::string targetArg = target;
  char* const argv[] = {programArg.data(), targetArg.data(), nullptr};
  pid_t pid = -1;
  // A program that is not there fails here: the C library reports the failed exec.
  if (posix_spawnp(&pid, program.c_str(), nullptr, &attributes, argv, environ) == 0) {
    pid_ = pid;
    state_ = State::Running;
  }
  posix_spawnattr_destroy(&attributes);
}

DesktopOpener::DesktopOpener(DesktopOpener&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)), state_(std::exchange(other.state_, State::Failed)) {}

DesktopOpener& DesktopOpener::operator=(DesktopOpener&& other) noexcept {
  pid_ = std::exchange(other.pid_, -1);
  state_ = std::exchange(other.state_, State::Failed);
  return *this;
}

DesktopOpener::State DesktopOpener::Poll() {
  if (state_ != State::Running) return state_;
  int status = 0;
  pid_t ended = 0;
  do {
    ended = waitpid(pid_, &status, WNOHANG);
  } while (ended < 0 && errno == EINTR);
  if (ended == 0) return state_;
  if (ended < 0) {
    // Someone else collected it: its end is not known, and no failure is claimed.
    state_ = State::Opened;
  } else {
    state_ = WIFEXITED(status) && WEXITSTATUS(status) == 0 ? State::Opened : State::Failed;
  }
  pid_ = -1;
  return state_;
}

}  // namespace orla
