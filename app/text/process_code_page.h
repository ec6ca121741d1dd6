#pragma once
// The program's code page as the portable text rules see it (text/code_page.h): installs the
// platform's lead-byte test of the process code page.

namespace orla {

// Called once at start-up, before any text is built or scanned.
void UseProcessCodePage();

}  // namespace orla
