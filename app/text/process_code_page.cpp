#include "text/process_code_page.h"

#include <windows.h>

#include "text/code_page.h"

namespace orla {
namespace {

bool IsProcessLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

}  // namespace

void UseProcessCodePage() { SetLeadByteTest(IsProcessLeadByte); }

}  // namespace orla
