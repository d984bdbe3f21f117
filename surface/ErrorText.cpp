// The library-wide error text and the trivial members of PMSurface.
//
// The text is one string with static storage: empty until the first
// failure, overwritten (never appended to) by every later one, and never
// cleared by the library itself.
#include "PMSurface.h"
#include "surface/OperationGuard.h"

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

namespace pelmora {

void SetErrorText(const wchar_t *message) noexcept
{
  Guarded([message] { errorText() = message; });
}

} // namespace pelmora

CString PMSurface::GetError()
{
  // Copying the text can only fail for lack of memory: an empty text then.
  return pelmora::Guarded([] { return errorText(); },
                          [](pelmora::Failure) noexcept { return CString(); });
}

void PMSurface::SetError(const CString &error)
{
  // Keeps the previous text when the copy cannot be made.
  pelmora::Guarded([&error] { errorText() = error; });
}
