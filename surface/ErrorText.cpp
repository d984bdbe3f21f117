// The library-wide error text and the trivial members of PMSurface.
//
// The text is one string with static storage: empty until the first
// failure, overwritten (never appended to) by every later one, and never
// cleared by the library itself. Operations on separate data may run on
// several threads at once, so every read and write of the text holds one
// lock: a reader gets a whole message, never one torn between two.
#include "PMSurface.h"
#include "surface/OperationGuard.h"

#include <mutex>

namespace {

struct ErrorText
{
  std::mutex lock;
  CString text;
};

ErrorText &SharedErrorText()
{
  static ErrorText shared;
  return shared;
}

// Replaces the text under the lock. The copy is made before the lock is
// taken, so a failed copy (no memory) leaves the text as it was.
void ReplaceText(CString copy)
{
  ErrorText &shared = SharedErrorText();
  const std::lock_guard<std::mutex> hold(shared.lock);
  shared.text = std::move(copy);
}

CString CopyText()
{
  ErrorText &shared = SharedErrorText();
  const std::lock_guard<std::mutex> hold(shared.lock);
  return shared.text;
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
  Guarded([message] { ReplaceText(CString(message)); });
}

} // namespace pelmora

CString PMSurface::GetError()
{
  // Copying the text can only fail for lack of memory: an empty text then.
  return pelmora::Guarded(CopyText, [](pelmora::Failure) noexcept { return CString(); });
}

void PMSurface::SetError(const CString &error)
{
  // Keeps the previous text when the copy cannot be made.
  pelmora::Guarded([&error] { ReplaceText(error); });
}
