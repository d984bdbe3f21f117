// The one guard of the library's boundary. Every exported entry runs its
// body through Guarded, so that no exception leaves the library and each is
// answered the way that entry answers a failure: a lack of memory
// (std::bad_alloc, the only thing the library's own code throws) by its
// memory message or fallback, anything a dependency throws by its own
// failure message or fallback.
#pragma once

#include <new>
#include <utility>

namespace pelmora {

enum class Failure
{
  NoMemory, // std::bad_alloc and what derives from it
  Other,    // any other exception
};

// Returns body(); when body throws, returns onFailure(the kind of failure).
// onFailure must not throw (checked at compile time): it runs outside any
// handler, after whatever the body had made is released.
template <class Body, class OnFailure>
auto Guarded(Body &&body, OnFailure &&onFailure) noexcept -> decltype(body())
{
  static_assert(noexcept(onFailure(Failure::Other)), "a failure handler must not throw");
  Failure failure = Failure::Other;
  try {
    return std::forward<Body>(body)();
  } catch (const std::bad_alloc &) {
    failure = Failure::NoMemory;
  } catch (...) {
    failure = Failure::Other;
  }
  return onFailure(failure);
}

// For bodies with nothing to report: an exception only ends the body.
template <class Body> void Guarded(Body &&body) noexcept
{
  Guarded(std::forward<Body>(body), [](Failure) noexcept {});
}

} // namespace pelmora
