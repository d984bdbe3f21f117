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

IoResult Parse(Kind kind, std::string_view data, const std::string &name, ON_3dPointArray &points)
{
  switch (kind) {
  case Kind::Text:
    return ParseTextPoints(data, name, points);
  case Kind::Ply:
    return ParsePlyPoints(data, name, points);
  case Kind::Stl:
    return ParseStlPoints(data, name, points);
  case Kind::Obj:
    return ParseObjPoints(data, name, points);
  default:
    return UnknownKind(name);
  }
}

// Checks every coordinate, then hands the points over.
IoResult Store(ON_3dPointArray &loaded, const std::string &name, ON_3dPointArray &points)
{
  for (int i = 0; i < loaded.Count(); ++i)
    if (!std::isfinite(loaded[i].x) || !std::isfinite(loaded[i].y) || !std::isfinite(loaded[i].z))
      return IoResult::Fail(name + ": point " + std::to_string(i + 1) +
                            " has a non-finite coordinate");
  points = std::move(loaded);
  return IoResult::Ok();
}

template <typename Read> IoResult Guarded(const std::string &name, Read read)
{
  try {
    return read();
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
  return Guarded(name, [&] {
    ON_3dPointArray loaded;
    IoResult parsed = Parse(KindOf(name), data, name, loaded);
    return parsed ? Store(loaded, name, points) : parsed;
  });
}

IoResult ReadPointCloud(const std::string &path, ON_3dPointArray &points)
{
  return Guarded(path, [&] {
    const Kind kind = KindOf(path);
    if (kind == Kind::Unknown)
      return UnknownKind(path);
    FileContents contents;
    IoResult read = contents.Load(path);
    if (!read)
      return read;
    ON_3dPointArray loaded;
    if (kind == Kind::LegacyVtk || kind == Kind::XmlVtk) {
      if (contents.View().empty())
        return IoResult::Fail(path + ": the file is empty");
      read = ReadVtkPoints(path, kind == Kind::XmlVtk, loaded);
    } else {
      read = Parse(kind, contents.View(), path, loaded);
    }
    return read ? Store(loaded, path, points) : read;
  });
}

} // namespace pelmora::io
