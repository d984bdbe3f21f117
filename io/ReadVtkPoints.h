// The points of a legacy VTK file (any data set) or, with `xml`, of a VTK
// XML poly-data file, appended to `points`.
#pragma once

#include "io/IoResult.h"
#include "opennurbs.h"

#include <string>

namespace pelmora::io {

IoResult ReadVtkPoints(const std::string &path, bool xml, ON_3dPointArray &points);

} // namespace pelmora::io
