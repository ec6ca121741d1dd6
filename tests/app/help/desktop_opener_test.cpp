// The desktop's opener as a child process: real programs and small shell scripts written here
// stand in for xdg-open, one that succeeds, fails, is missing or keeps running.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "help/desktop_open_watch.h"
#include "help/desktop_opener.h"

namespace orla {
namespace {

using namespace std::chrono_literals;
using State = DesktopOpener::State;

class ScriptFolder {
 public:
  ScriptFolder() {
    std::string name = (std::filesystem::temp_directory_path() / "orla_opener_XXXXXX").string();
    path_ = mkdtemp(name.data()) != nullptr ? name : std::string();
  }
  ~ScriptFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  // An executable shell script of `body`; its full path.
  std::string Script(const std::string& name, const std::string& body) const {
    const std::string file = path_ + "/" + name;
    std::ofstream(file) << "#!/bin/sh\n" << body << "\n";
    chmod(file.c_str(), 0755);
    return file;
  }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Polls until the opener has ended; Running after 20 s.
State WaitForEnd(DesktopOpener& opener) {
  for (int i = 0; i < 2000; ++i) {
    const State state = opener.Poll();
    if (state != State::Running) return state;
    std::this_thread::sleep_for(10ms);
  }
  return State::Running;
}

TEST(DesktopOpener, EndsOpenedOnlyWithExitCodeZero) {
  ScriptFolder folder;
  const struct {
    const char* body;
    State end;
  } cases[] = {
      {"exit 0", State::Opened},
      {"exit 1", State::Failed},
      {"exit 4", State::Failed},  // xdg-open: the action failed
      {"kill -KILL $$", State::Failed},
  };
  for (const auto& c : cases) {
    DesktopOpener opener(folder.Script("opener", c.body), "file:///tmp/page.html");
    EXPECT_EQ(WaitForEnd(opener), c.end) << c.body;
    EXPECT_EQ(opener.Poll(), c.end) << c.body;  // the end stays
  }
}

TEST(DesktopOpener, MissingProgramFailsAtOnce) {
  DesktopOpener opener("orla-no-such-opener", "file:///tmp/page.html");
  EXPECT_EQ(opener.Poll(), State::Failed);
}

TEST(DesktopOpener, FoundOnTheSearchPathWithTheTargetAsItsOneArgumentInASessionOfItsOwn) {
  ScriptFolder folder;
  const std::string out = folder.File("seen");
  folder.Script("orla-test-opener", "printf '%s|%s|%s' \"$#\" \"$1\" \"$(cut -d' ' -f6 /proc/$$/stat)\" > '" + out +
                                        "'");
  const char* oldPath = std::getenv("PATH");
  const std::string saved = oldPath != nullptr ? oldPath : "";
  setenv("PATH", (folder.File("") + ":" + saved).c_str(), 1);
  DesktopOpener opener("orla-test-opener", "file:///tmp/my help/index.html");
  setenv("PATH", saved.c_str(), 1);
  ASSERT_EQ(WaitForEnd(opener), State::Opened);
  const std::string seen = ReadAll(out);
  const std::string prefix = "1|file:///tmp/my help/index.html|";
  ASSERT_EQ(seen.substr(0, prefix.size()), prefix);
  EXPECT_NE(seen.substr(prefix.size()), std::to_string(getsid(0)));
}

TEST(DesktopOpenWatch, ReportsAFailureSoonAfterTheStartOnce) {
  ScriptFolder folder;
  // It fails a moment after its start: one that failed already when Open first looks is
  // refused by Open itself.
  DesktopOpenWatch watch(folder.Script("opener", "sleep 0.3; exit 3"), 10s);
  const auto start = DesktopOpenWatch::Clock::now();
  ASSERT_TRUE(watch.Open("file:///tmp/a.html", start));
  std::vector<std::string> failed;
  for (int i = 0; i < 2000 && watch.Watching(); ++i) {
    for (std::string& target : watch.TakeFailures(start + 1s)) failed.push_back(target);
    std::this_thread::sleep_for(10ms);
  }
  EXPECT_FALSE(watch.Watching());
  EXPECT_EQ(failed, std::vector<std::string>{"file:///tmp/a.html"});
  EXPECT_TRUE(watch.TakeFailures(start + 1s).empty());
}

TEST(DesktopOpenWatch, AnOpenerThatRanOnPastTheGraceSaysNothingWhenItEnds) {
  ScriptFolder folder;
  const std::string release = folder.File("release");
  // Runs like a browser in the foreground until the test lets it end, then fails.
  DesktopOpenWatch watch(folder.Script("opener", "while [ ! -e '" + release + "' ]; do sleep 0.02; done; exit 4"),
                         10s);
  const auto start = DesktopOpenWatch::Clock::now();
  ASSERT_TRUE(watch.Open("file:///tmp/b.html", start));
  EXPECT_TRUE(watch.TakeFailures(start + 1s).empty());
  EXPECT_TRUE(watch.Watching());
  std::ofstream(release) << "";
  std::vector<std::string> failed;
  for (int i = 0; i < 2000 && watch.Watching(); ++i) {
    for (std::string& target : watch.TakeFailures(start + 11s)) failed.push_back(target);
    std::this_thread::sleep_for(10ms);
  }
  EXPECT_FALSE(watch.Watching());
  EXPECT_TRUE(failed.empty());
}

TEST(DesktopOpenWatch, SeveralOpenersAndOneThatCannotStart) {
  ScriptFolder folder;
  DesktopOpenWatch missing("orla-no-such-opener", 10s);
  EXPECT_FALSE(missing.Open("file:///tmp/c.html", DesktopOpenWatch::Clock::now()));
  EXPECT_FALSE(missing.Watching());

  // The opener fails for pages whose name holds "bad".
  DesktopOpenWatch watch(folder.Script("opener", "sleep 0.3; case \"$1\" in *bad*) exit 2;; esac"), 10s);
  const auto start = DesktopOpenWatch::Clock::now();
  for (const char* target : {"file:///tmp/good1.html", "file:///tmp/bad.html", "file:///tmp/good2.html"}) {
    ASSERT_TRUE(watch.Open(target, start));
  }
  std::vector<std::string> failed;
  for (int i = 0; i < 2000 && watch.Watching(); ++i) {
    for (std::string& target : watch.TakeFailures(start + 1s)) failed.push_back(target);
    std::this_thread::sleep_for(10ms);
  }
  EXPECT_EQ(failed, std::vector<std::string>{"file:///tmp/bad.html"});
}

}  // namespace
}  // namespace orla
