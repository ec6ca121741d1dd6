#pragma once
// Messages the portable core shows the operator. The program installs a sink that shows a
// message box with an OK button; tests install one that records the texts.

#include <functional>
#include <string>

namespace orla {

using MessageSink = std::function<void(const std::string& text)>;

// Installs `sink` and returns the previous one; an empty sink restores the default (stderr).
MessageSink SetMessageSink(MessageSink sink);
void ShowMessage(const std::string& text);

}  // namespace orla
