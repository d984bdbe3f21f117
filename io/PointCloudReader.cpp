#include "io/PointCloudReader.h"
#include "io/FileBuffer.h"
#include "io/PointParsers.h"
#include "io/ReadVtkPoints.h"

#include <cmath>
#include <cstring>
#include <new>
#include <utility>

namespace pelmora::io {
namespace {

enum class Kind
{
  Text,
  Ply,
  Stl,
  Obj,
  LegacyVtk,
  XmlVtk,
  Unknown
};

Kind KindOf(const std::string &name)
{
  std::string extension = LowerExtension(name);
  if (extension == "xyz" || extension == "txt" || extension == "csv" || extension == "pts" ||
      extension == "asc")
    return Kind::Text;
  if (extension == "ply")
    return Kind::Ply;
  if (extension == "stl")
    return Kind::Stl;
  if (extension == "obj")
    return Kind::Obj;
  if (extension == "vtk")
    return Kind::LegacyVtk;
  if (extension == "vtp")
    return Kind::XmlVtk;
  return Kind::Unknown;
}

IoResult UnknownKind(const std::string &name)
{
  return IoResult::Fail(
      name + ": unknown point file type (readable: " + std::string(ReadableExtensions()) + ")");
}

IoResult Parse(Kind kind, std::string_view data, const std::string &name, std::vector<double> &xyz)
{
  switch (kind) {
  case Kind::Text:
    return ParseTextPoints(data, name, xyz);
  case Kind::Ply:
    return ParsePlyPoints(data, name, xyz);
  case Kind::Stl:
    return ParseStlPoints(data, name, xyz);
  case Kind::Obj:
    return ParseObjPoints(data, name, xyz);
  default:
    return UnknownKind(name);
  }
}

// Checks every coordinate and moves the triples into `points`.
IoResult Store(const std::vector<double> &xyz, const std::string &name, ON_3dPointArray &points)
{
  const size_t count = xyz.size() / 3;
  if (count > size_t(0x7FFFFFFF))
    return IoResult::Fail(name + ": too many points (" + std::to_string(count) + ")");
  for (size_t i = 0; i < xyz.size(); ++i)
    if (!std::isfinite(xyz[i]))
      return IoResult::Fail(name + ": point " + std::to_string(i / 3 + 1) +
                            " has a non-finite coordinate");
  ON_3dPointArray loaded;
  loaded.SetCapacity(count);
  if (loaded.Capacity() < int(count))
    return IoResult::Fail(name + ": not enough memory for " + std::to_string(count) + " points");
  static_assert(sizeof(ON_3dPoint) == 3 * sizeof(double), "ON_3dPoint is three doubles");
  std::memcpy(static_cast<void *>(loaded.Array()), xyz.data(), count * sizeof(ON_3dPoint));
  loaded.SetCount(int(count));
  points = std::move(loaded);
  return IoResult::Ok();
}

IoResult Guarded(const std::string &name,
                 IoResult (*read)(const std::string &, ON_3dPointArray &, std::string_view),
                 ON_3dPointArray &points, std::string_view data)
{
  try {
    return read(name, points, data);
  } catch (const std::bad_alloc &) {
    return IoResult::Fail(name + ": not enough memory");
  } catch (const std::exception &error) {
    return IoResult::Fail(name + ": " + error.what());
  }
}

} // namespace

const char *ReadableExtensions()
{
  return "xyz, txt, csv, pts, asc, ply, stl, obj, vtk, vtp";
}

IoResult ReadPointCloudFromMemory(std::string_view data, const std::string &name,
                                  ON_3dPointArray &points)
{
  return Guarded(
      name,
      [](const std::string &fileName, ON_3dPointArray &out, std::string_view bytes) {
        std::vector<double> xyz;
        IoResult parsed = Parse(KindOf(fileName), bytes, fileName, xyz);
        return parsed ? Store(xyz, fileName, out) : parsed;
      },
      points, data);
}

IoResult ReadPointCloud(const std::string &path, ON_3dPointArray &points)
{
  return Guarded(path,
                 [](const std::string &fileName, ON_3dPointArray &out, std::string_view) {
                   Kind kind = KindOf(fileName);
                   if (kind == Kind::Unknown)
                     return UnknownKind(fileName);
                   std::string contents;
                   IoResult read = ReadWholeFile(fileName, contents);
                   if (!read)
                     return read;
                   std::vector<double> xyz;
                   if (kind == Kind::LegacyVtk || kind == Kind::XmlVtk) {
                     if (contents.empty())
                       return IoResult::Fail(fileName + ": the file is empty");
                     read = ReadVtkPoints(fileName, kind == Kind::XmlVtk, xyz);
                   } else {
                     read = Parse(kind, contents, fileName, xyz);
                   }
                   return read ? Store(xyz, fileName, out) : read;
                 },
                 points, {});
}

} // namespace pelmora::io
