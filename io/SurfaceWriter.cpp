#include "io/SurfaceWriter.h"
#include "io/AtomicWrite.h"
#include "io/FileBuffer.h"
#include "io/SplineParts.h"
#include "io/SurfaceFormats.h"

#include <ctime>
#include <exception>

namespace pelmora::io {

std::string TimeStamp(bool iges)
{
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, iges ? "%Y%m%d.%H%M%S" : "%Y-%m-%dT%H:%M:%S", &local);
  return text;
}

const char *SurfaceExtensions()
{
  return "step, stp, iges, igs";
}

IoResult WriteSurface(const std::string &path, const ON_NurbsSurface &surface)
{
  const std::string extension = LowerExtension(path);
  const bool step = extension == "step" || extension == "stp";
  if (!step && extension != "iges" && extension != "igs")
    return IoResult::Fail(
        path + ": unknown surface file type (writable: " + std::string(SurfaceExtensions()) + ")");
  if (!surface.IsValid() || surface.Dimension() != 3 || !IsFinite(surface))
    return IoResult::Fail("cannot write " + path + ": the surface is not valid");
  const std::string name = path.substr(path.find_last_of('/') + 1);
  return WriteBufferedAtomically(path, [&](TextOutput &out) {
    if (step)
      WriteStep(out, surface, name);
    else
      WriteIges(out, surface, name);
  });
}

} // namespace pelmora::io
