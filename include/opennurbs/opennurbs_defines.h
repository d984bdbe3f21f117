// Constants, scalar validity tests and export macros shared by every
// geometry type.
#pragma once

#include <cfloat>
#include <cmath>
#include <cstdint>

#include "PMExport.h"

// Export markers of the geometry types.
#define ON_CLASS PELMORA_API
#define ON_DECL PELMORA_API
#define ON_EXTERN_DECL PELMORA_API

typedef int ON_BOOL32;
typedef int64_t ON__INT64;
typedef uint64_t ON__UINT64;

// "Not set" markers: finite values that no real coordinate takes.
#define ON_UNSET_POSITIVE_VALUE 1.23432101234321e+308
#define ON_UNSET_VALUE -1.23432101234321e+308
#define ON_UNSET_POSITIVE_FLOAT 1.234321e+38f
#define ON_UNSET_FLOAT -1.234321e+38f
#define ON_UNSET_UINT_INDEX 0xFFFFFFFFU
#define ON_UNSET_INT_INDEX (-2147483647)

#define ON_DBL_MIN 2.22507385850720200e-308
#define ON_DBL_MAX 1.7976931348623158e+308
#define ON_EPSILON 2.2204460492503131e-16
#define ON_SQRT_EPSILON 1.490116119385000000e-8
#define ON_ZERO_TOLERANCE 2.3283064365386962890625e-10
#define ON_RELATIVE_TOLERANCE 2.27373675443232059478759765625e-13
#define ON_ZERO_CURVATURE_TOLERANCE 1.0e-8
#define ON_PI 3.141592653589793238462643
#define ON_DEFAULT_ANGLE_TOLERANCE (ON_PI / 180.0)
#define ON_DEFAULT_ANGLE_TOLERANCE_COSINE 0.99984769515639123915701155881391
#define ON_FLT_MAX 3.402823466e+38F

// Quiet NaN and the two infinities.
ON_EXTERN_DECL extern const double ON_DBL_QNAN;
ON_EXTERN_DECL extern const double ON_DBL_PINF;
ON_EXTERN_DECL extern const double ON_DBL_NINF;
ON_EXTERN_DECL extern const float ON_FLT_QNAN;
ON_EXTERN_DECL extern const float ON_FLT_PINF;
ON_EXTERN_DECL extern const float ON_FLT_NINF;

// True when x is strictly between ON_UNSET_VALUE and ON_UNSET_POSITIVE_VALUE:
// NaN, the infinities, both unset values and finite values of magnitude at or
// above them are invalid.
#define ON_IS_VALID(x) ((x) > ON_UNSET_VALUE && (x) < ON_UNSET_POSITIVE_VALUE)
#define ON_IS_VALID_FLOAT(x) ((x) > ON_UNSET_FLOAT && (x) < ON_UNSET_POSITIVE_FLOAT)
// Neither infinite nor NaN.
#define ON_IS_FINITE(x) (std::isfinite(x))
// Control point coordinates accepted by the surface validity test.
#define ON_CV_COORDINATE_IS_VALID(x) (-1.0e307 < (x) && (x) < 1.0e307)

inline bool ON_IsValid(double x)
{
  return ON_IS_VALID(x);
}

inline bool ON_IsValidFloat(float x)
{
  return ON_IS_VALID_FLOAT(x);
}

// Diagnostic log; the library never writes one, so it stays opaque.
class ON_TextLog;
