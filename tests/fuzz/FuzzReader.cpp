// One reader under libFuzzer: any bytes, read as the format of the name the
// build gives (PELMORA_FUZZ_NAME), must end in points or a message naming
// the file: no crash, no sanitizer report, and a failure leaves the cloud
// as it was.
#include "io/PointCloudReader.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
  const std::string name = PELMORA_FUZZ_NAME;
  ON_3dPointArray points;
  points.Append(ON_3dPoint(1, 2, 3));
  const pelmora::io::IoResult result = pelmora::io::ReadPointCloudFromMemory(
      std::string_view(reinterpret_cast<const char *>(data), size), name, points);
  if (result.ok ? points.Count() == 0 || !result.message.empty()
                : points.Count() != 1 || result.message.rfind(name, 0) != 0)
    std::abort();
  return 0;
}
