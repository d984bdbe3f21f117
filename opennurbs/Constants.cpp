// The special floating-point values.
#include "opennurbs/opennurbs_defines.h"

#include <limits>

const double ON_DBL_QNAN = std::numeric_limits<double>::quiet_NaN();
const double ON_DBL_PINF = std::numeric_limits<double>::infinity();
const double ON_DBL_NINF = -std::numeric_limits<double>::infinity();
const float ON_FLT_QNAN = std::numeric_limits<float>::quiet_NaN();
const float ON_FLT_PINF = std::numeric_limits<float>::infinity();
const float ON_FLT_NINF = -std::numeric_limits<float>::infinity();
