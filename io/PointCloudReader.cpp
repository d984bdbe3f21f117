#include "io/PointCloudReader.h"
#include "io/FileBuffer.h"
#include "io/PointParsers.h"

#include <cctype>
#include <new>
#include <utility>

namespace pelmora::io {
namespace {

using Parser = IoResult (*)(std::string_view, const std::string &, ON_3dPointArray &);

struct Format
{
  const char *name;
  Parser parse;
};

const Format kFormats[] = {
    {"xyz", ParseTextPoints}, {"txt", ParseTextPoints}, {"csv", ParseTextPoints},
    {"pts", ParseTextPoints}, {"asc", ParseTextPoints}, {"pwn", ParseTextPoints},
    {"ply", ParsePlyPoints},  {"stl", ParseStlPoints},  {"obj", ParseObjPoints},
    {"off", ParseOffPoints},  {"pcd", ParsePcdPoints},  {"vtk", ParseLegacyVtkPoints},
    {"vtp", ParseVtpPoints},
};

std::string Lower(std::string text)
{
  for (char &c : text)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

const Format *FindFormat(const std::string &name, const std::string &format)
{
  const std::string wanted = format.empty() ? LowerExtension(name) : Lower(format);
  for (const Format &candidate : kFormats)
    if (wanted == candidate.name)
      return &candidate;
  return nullptr;
}

IoResult UnknownFormat(const std::string &name, const std::string &format)
{
  return IoResult::Fail(name + ": unknown point file type" +
                        (format.empty() ? std::string() : " '" + format + "'") +
                        " (readable: " + std::string(ReadableExtensions()) + ")");
}

// Checks every coordinate, then hands the points over.
IoResult Store(ON_3dPointArray &loaded, const std::string &name, ON_3dPointArray &points)
{
  for (int i = 0; i < loaded.Count(); ++i)
    if (!IsFinitePoint(loaded[i].x, loaded[i].y, loaded[i].z))
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
  return "xyz, txt, csv, pts, asc, pwn, ply, stl, obj, off, pcd, vtk, vtp";
}

bool IsReadableFormat(const std::string &format)
{
  return !format.empty() && FindFormat("", format) != nullptr;
}

IoResult ReadPointCloudFromMemory(std::string_view data, const std::string &name,
                                  ON_3dPointArray &points, const std::string &format)
{
  return Guarded(name, [&] {
    const Format *found = FindFormat(name, format);
    if (!found)
      return UnknownFormat(name, format);
    ON_3dPointArray loaded;
    IoResult parsed = found->parse(data, name, loaded);
    return parsed ? Store(loaded, name, points) : parsed;
  });
}

IoResult ReadPointCloud(const std::string &path, ON_3dPointArray &points, const std::string &format)
{
  return Guarded(path, [&] {
    if (!FindFormat(path, format))
      return UnknownFormat(path, format);
    FileContents contents;
    IoResult read = contents.Load(path);
    if (!read)
      return read;
    return ReadPointCloudFromMemory(contents.View(), path, points, format);
  });
}

} // namespace pelmora::io
