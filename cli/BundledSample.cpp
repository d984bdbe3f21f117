// The sample cloud compiled into the binary, so that `pelmora drape` works
// without any file and from any folder.
#include "cli/Commands.h"

#include <string_view>

#define PELMORA_STRINGIFY2(x) #x
#define PELMORA_STRINGIFY(x) PELMORA_STRINGIFY2(x)

__asm__(".section .rodata\n"
        ".balign 16\n"
        "pelmora_bundled_sample_begin:\n"
        ".incbin \"" PELMORA_STRINGIFY(PELMORA_SAMPLE_FILE) "\"\n"
                                                            "pelmora_bundled_sample_end:\n"
                                                            ".byte 0\n"
                                                            ".previous\n");

extern "C" const char pelmora_bundled_sample_begin[];
extern "C" const char pelmora_bundled_sample_end[];

namespace pelmora::cli {

std::string_view BundledSample()
{
  return std::string_view(pelmora_bundled_sample_begin,
                          size_t(pelmora_bundled_sample_end - pelmora_bundled_sample_begin));
}

} // namespace pelmora::cli
