// What reading a point file from memory comes to, as one string a table of
// cases can compare with: "read N points" or the failure's message.
#pragma once

#include "io/PointCloudReader.h"

#include <string>

namespace pelmora::test {

inline std::string ReadOutcome(const std::string &text, const std::string &name)
{
  ON_3dPointArray points;
  const io::IoResult result = io::ReadPointCloudFromMemory(text, name, points);
  return result.ok ? "read " + std::to_string(points.Count()) + " points" : result.message;
}

} // namespace pelmora::test
