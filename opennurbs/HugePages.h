// A hint for large blocks that are about to be filled.
#pragma once

#include <cstddef>

namespace pelmora {

// Asks the kernel to back a block of at least a few megabytes with huge
// pages. Each first touch of a small page is a fault that costs
// microseconds (tens of them on virtual machines), so filling a block of
// tens of megabytes page by page can take longer than computing what goes
// in it. Only a hint: where the kernel declines, nothing changes. Call it
// before the block is first written.
void AdviseHugePages(void *data, size_t bytes);

} // namespace pelmora
