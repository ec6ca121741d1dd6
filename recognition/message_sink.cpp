#include "message_sink.h"

#include <cstdio>
#include <utility>

namespace orla {
namespace {

MessageSink& CurrentSink() {
  static MessageSink sink;
  return sink;
}

}  // namespace

MessageSink SetMessageSink(MessageSink sink) { return std::exchange(CurrentSink(), std::move(sink)); }

void ShowMessage(const std::string& text) {
  if (const MessageSink& sink = CurrentSink()) {
    sink(text);
  } else {
    std::fprintf(stderr, "%s\n", text.c_str());
  }
}

}  // namespace orla
