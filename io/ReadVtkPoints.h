// The points of a legacy VTK file (any data set) or, with `xml`, of a VTK
// XML poly-data file, appended to `xyz`.
#pragma once

#include "io/IoResult.h"

#include <string>
#include <vector>

namespace pelmora::io {

IoResult ReadVtkPoints(const std::string &path, bool xml, std::vector<double> &xyz);

} // namespace pelmora::io
