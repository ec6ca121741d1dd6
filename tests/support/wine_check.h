#pragma once
// A tiny self-checking runner for winelib test programs: each failed check is printed with
// its line, and the program exits non-zero when any failed.

#include <cstdio>

namespace wine_check {

inline int& Failures() {
  static int failures = 0;
  return failures;
}
inline int& Passes() {
  static int passes = 0;
  return passes;
}

inline void Check(bool ok, const char* what, const char* file, int line) {
  if (ok) {
    ++Passes();
  } else {
    ++Failures();
    std::printf("FAILED %s:%d: %s\n", file, line, what);
  }
}

inline int Finish(const char* name) {
  std::printf("%s: %d passed, %d failed\n", name, Passes(), Failures());
  std::fflush(stdout);
  return Failures() == 0 ? 0 : 1;
}

}  // namespace wine_check

#define CHECK(cond) ::wine_check::Check((cond), #cond, __FILE__, __LINE__)
