// A small self-checking runner for the PE test programs: named cases, CHECK lines that
// report where they failed, and a closing "N passed, N failed".
#pragma once

#include <cstdio>

namespace check {

inline int g_caseFailures = 0;
inline int g_passed = 0;
inline int g_failed = 0;

inline bool Check(bool ok, const char* text, const char* file, int line) {
  if (!ok) {
    ++g_caseFailures;
    std::printf("    failed at %s:%d: %s\n", file, line, text);
    std::fflush(stdout);
  }
  return ok;
}

template <class Body>
void Run(const char* name, Body&& body) {
  g_caseFailures = 0;
  std::printf("case %s\n", name);
  std::fflush(stdout);
  body();
  if (g_caseFailures) {
    ++g_failed;
    std::printf("  FAIL %s\n", name);
  } else {
    ++g_passed;
    std::printf("  ok\n");
  }
  std::fflush(stdout);
}

inline int Summary() {
  std::printf("%d passed, %d failed\n", g_passed, g_failed);
  std::fflush(stdout);
  return g_failed ? 1 : 0;
}

}  // namespace check

#define CHECK(condition) ::check::Check(static_cast<bool>(condition), #condition, __FILE__, __LINE__)
