#pragma once
// The desktop's opener (xdg-open) run on one page as a child process of the program, and what
// became of it. Wine's shell hands a page to winebrowser, which starts the opener without
// waiting for it and succeeds as soon as it started: the opener's failure reaches the program
// only by watching the opener itself.

#include <string>

namespace orla {

class DesktopOpener {
 public:
  enum class State { Running, Opened, Failed };

  // Starts `program`, looked up on the search path, with the one argument `target`, in a
  // session of its own, so that a browser it starts is not tied to the program's terminal.
  // Failed at once when it cannot be started (not installed).
  DesktopOpener(const std::string& program, const std::string& target);
  DesktopOpener(DesktopOpener&& other) noexcept;
  DesktopOpener& operator=(DesktopOpener&& other) noexcept;
  DesktopOpener(const DesktopOpener&) = delete;
  DesktopOpener& operator=(const DesktopOpener&) = delete;
  // An opener still running is left running: it may be the browser itself. Watch it until it
  // ends (Poll), or it stays a zombie until the program ends.
  ~DesktopOpener() = default;

  // Looks without waiting: Opened once it ended with exit code 0, Failed once it ended in any
  // other way.
  State Poll();

 private:
  int pid_ = -1;
  State state_ = State::Failed;
};

}  // namespace orla
