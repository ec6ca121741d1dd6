#include "help/desktop_open_watch.h"

#include <utility>

namespace orla {

DesktopOpenWatch::DesktopOpenWatch(std::string program, Clock::duration grace)
    : program_(std::move(program)), grace_(grace) {}

bool DesktopOpenWatch::Open(const std::string& target, Clock::time_point now) {
  DesktopOpener opener(program_, target);
  if (opener.Poll() == DesktopOpener::State::Failed) return false;
  watched_.push_back(Watched{std::move(opener), target, now});
  return true;
}

std::vector<std::string> DesktopOpenWatch::TakeFailures(Clock::time_point now) {
  std::vector<std::string> failed;
  // Only ended openers are removed, so no running one is moved over.
  std::erase_if(watched_, [&](Watched& watched) {
    const DesktopOpener::State state = watched.opener.Poll();
    if (state == DesktopOpener::State::Running) return false;
    if (state == DesktopOpener::State::Failed && now - watched.started <= grace_) failed.push_back(watched.target);
    return true;
  });
  return failed;
}

}  // namespace orla
