// ON_AdviseHugePages: the huge-page hint for large blocks about to be filled.
#include "opennurbs.h"

#include <cstdint>
#include <sys/mman.h>

namespace {

// Below this a block spans too few huge pages for the hint to matter.
constexpr size_t kMinAdvisedBytes = size_t(4) << 20;
constexpr uintptr_t kSmallPage = 4096;

} // namespace

void ON_AdviseHugePages(void *block, size_t bytes)
{
#ifdef MADV_HUGEPAGE
  if (!block || bytes < kMinAdvisedBytes)
    return;
  // madvise wants page boundaries: the whole pages inside the block.
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(block) + kSmallPage - 1) & ~(kSmallPage - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(block) + bytes) & ~(kSmallPage - 1);
  if (end > begin)
    (void)madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#else
  (void)block;
  (void)bytes;
#endif
}
