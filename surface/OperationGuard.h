// The boundary guard of the PMSurface operations that report failures: an
// exception thrown by the body sets the operation's message for that kind
// of failure and makes the result 0.
#pragma once

#include "PMExport.h"
#include "framework/Guarded.h"

namespace pelmora {

// What an operation says when its body throws.
struct FailureMessages
{
  const wchar_t *noMemory; // the body ran out of memory
  const wchar_t *failed;   // anything else stopped it
};

// Replaces the library's error text; never throws (the previous text stays
// when the copy cannot be made). PMSurface::SetError for internal callers,
// exported for the library's modules (the wraps).
PELMORA_API void SetErrorText(const wchar_t *message) noexcept;

// Returns body() (1 or 0); when it throws, sets the message for the failure
// and returns 0.
template <class Body> int GuardedOperation(const FailureMessages &messages, Body &&body) noexcept
{
  return Guarded(std::forward<Body>(body), [&messages](Failure failure) noexcept {
    SetErrorText(failure == Failure::NoMemory ? messages.noMemory : messages.failed);
    return 0;
  });
}

} // namespace pelmora
