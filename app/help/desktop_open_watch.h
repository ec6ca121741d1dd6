#pragma once
// Pages handed to the desktop's opener, each opener watched until it ends. An opener that fails
// soon after its start did not open its page. One that runs on has started a browser in the
// foreground, as xdg-open does on a desktop it does not know: it ends when the browser does, and
// that end says nothing about the page any more.

#include <chrono>
#include <string>
#include <vector>

#include "help/desktop_opener.h"

namespace orla {

class DesktopOpenWatch {
 public:
  using Clock = std::chrono::steady_clock;

  // `program` is the opener (xdg-open); an opener that fails later than `grace` after its
  // start counts as having opened its page.
  DesktopOpenWatch(std::string program, Clock::duration grace);

  // Starts the opener on `target`; false when it cannot be started at all, or failed already
  // when first looked at.
  bool Open(const std::string& target, Clock::time_point now);
  // Looks at every opener without waiting: the targets whose opener failed within the grace
  // period since the last call. Openers that ended are let go.
  std::vector<std::string> TakeFailures(Clock::time_point now);
  // Some opener has not ended yet.
  bool Watching() const { return !watched_.empty(); }

 private:
  struct Watched {
    DesktopOpener opener;
    std::string target;
    Clock::time_point started;
  };
  std::string program_;
  Clock::duration grace_;
  std::vector<Watched> watched_;
};

}  // namespace orla
