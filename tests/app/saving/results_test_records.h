#pragma once
// Records, a code-page converter and a command runner for the saving tests. Free of
// std::filesystem, so that the winelib test programs can use it too.

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "tracking_record.h"

namespace orla::test {

template <std::size_t N>
void Put(char (&field)[N], std::string_view text) {
  std::memset(field, 0, N);
  std::memcpy(field, text.data(), text.size() < N - 1 ? text.size() : N - 1);
}

inline TrackingRecord MakeRecord(std::string_view time, std::string_view serial, std::string_view mac,
                                 std::string_view user, std::string_view job, std::string_view description) {
  TrackingRecord r{};
  Put(r.TimeStamp, time);
  Put(r.SerialNumber, serial);
  Put(r.MACAddress, mac);
  Put(r.UserName, user);
  Put(r.JobName, job);
  Put(r.Description, description);
  r.Valid = 1;
  return r;
}

// The process code page of the tests: Latin-1, every byte its own code point.
inline std::optional<std::string> Latin1ToUtf8(std::string_view text) {
  std::string out;
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | (u >> 6));
      out += static_cast<char>(0x80 | (u & 0x3F));
    }
  }
  return out;
}

// Runs a command and returns its standard output; `status` gets its exit status.
inline std::string RunCommand(const std::string& command, int& status) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    status = -1;
    return out;
  }
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  status = pclose(pipe);
  return out;
}

}  // namespace orla::test
