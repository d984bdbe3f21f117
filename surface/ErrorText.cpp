// The library-wide error text and the trivial members of PMSurface.
//
// The text is one string with static storage: empty until the first
// failure, overwritten (never appended to) by every later one, and never
// cleared by the library itself.
#include "PMSurface.h"

namespace {

CString &errorText()
{
  static CString text;
  return text;
}

} // namespace

PMSurface::PMSurface() = default;

PMSurface::PMSurface(const PMSurface &) = default;

PMSurface::~PMSurface() = default;

PMSurface &PMSurface::operator=(const PMSurface &)
{
  return *this;
}

CString PMSurface::GetError()
{
  try {
    return errorText();
  } catch (...) {
    // Copying the text can only fail for lack of memory.
    return CString();
  }
}

void PMSurface::SetError(const CString &error)
{
  try {
    errorText() = error;
  } catch (...) {
    // Keeps the previous text when the copy cannot be made.
  }
}
