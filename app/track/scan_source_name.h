#pragma once
// Which TWAIN source is the printer's remote-scan source: the first one in the manager's order
// whose product name holds "lumaro" and "remote" in any letter case.

#include <span>

namespace orla {

// `productName` is the identity's fixed-size field; it is read no further than its size even
// when the manager left it without a terminating zero, and it is not changed.
bool IsRemoteScanSourceName(std::span<const char> productName);

}  // namespace orla
