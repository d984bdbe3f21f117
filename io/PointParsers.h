// The point-file parsers behind ReadPointCloud. Each works on the whole file
// in memory and appends its points to `points`; `name` is the file name
// used in messages ("NAME:LINE: ..." for text formats). Every parser fails on
// an empty file ("NAME: the file is empty") and on one without a point
// ("NAME: no points found").
#pragma once

#include "io/IoResult.h"
#include "opennurbs.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora::io {

// Text: one point per line, the first three fields x y z; extra fields
// ignored. A line holding a semicolon is separated by semicolons and takes
// commas as decimal marks ("1,5;2,5;3,5"); otherwise a line holding a comma
// is separated by commas, and any other by blanks. Every field is a number
// as a whole. Blank lines and lines starting with '#', '//', '%', '!' or ';'
// are comments. Before the first point, lines none of whose fields is a
// number in any form (column titles) and a line holding a single whole
// number (a point count) are headers. Anything else, numbers beyond the
// double range and non-finite coordinates fail naming the line.
IoResult ParseTextPoints(std::string_view text, const std::string &name, ON_3dPointArray &points);

// PLY, ASCII or binary (either byte order): the x, y, z properties of the
// "vertex" element, of any numeric type. Fails on a malformed header, a
// vertex element without x, y and z, or a body shorter than the header says.
IoResult ParsePlyPoints(std::string_view data, const std::string &name, ON_3dPointArray &points);

// STL, ASCII or binary: the distinct triangle corners, in order of first
// appearance. ASCII files must close every facet (three vertices) and solid.
IoResult ParseStlPoints(std::string_view data, const std::string &name, ON_3dPointArray &points);

// OBJ: the "v x y z" vertex lines (a weight or colour after them is
// ignored); everything else is ignored.
IoResult ParseObjPoints(std::string_view text, const std::string &name, ON_3dPointArray &points);

// Legacy VTK: the points of a POLYDATA, UNSTRUCTURED_GRID or
// STRUCTURED_GRID data set, or the grid points of STRUCTURED_POINTS and
// RECTILINEAR_GRID, ASCII or BINARY. Counts are checked against the file's
// size before any allocation; data cut short fails.
IoResult ParseLegacyVtkPoints(std::string_view data, const std::string &name,
                              ON_3dPointArray &points);

// VTK XML poly data: the Points array of every Piece (ascii, base64 or
// appended, raw or zlib-compressed). Declared sizes are checked against the
// file before anything is allocated or inflated.
IoResult ParseVtpPoints(std::string_view data, const std::string &name, ON_3dPointArray &points);

// OFF: the vertices of an Object File Format mesh (OFF, COFF, NOFF, ...).
IoResult ParseOffPoints(std::string_view text, const std::string &name, ON_3dPointArray &points);

// PCD: the x, y, z fields of a Point Cloud Data file, ascii or binary;
// binary_compressed fails with a message saying so.
IoResult ParsePcdPoints(std::string_view data, const std::string &name, ON_3dPointArray &points);

// The frame of every parser: an empty file fails, and so does one in which
// `read` (which appends to `points` and returns an IoResult) finds no point.
template <typename Read>
IoResult ReadSomePoints(std::string_view data, const std::string &name, ON_3dPointArray &points,
                        Read read)
{
  if (data.empty())
    return IoResult::Fail(name + ": the file is empty");
  const int before = points.Count();
  IoResult result = read();
  if (result && points.Count() == before)
    return IoResult::Fail(name + ": no points found");
  return result;
}

// A body shorter than its header says: "NAME: truncated FORMAT file: the
// header announces N ITEMS, the file holds M", without the last part when
// `held` is unknown.
inline IoResult TruncatedBody(const std::string &name, const char *format, uint64_t announced,
                              const char *items, std::optional<uint64_t> held)
{
  return IoResult::Fail(name + ": truncated " + format + " file: the header announces " +
                        std::to_string(announced) + " " + items +
                        (held ? ", the file holds " + std::to_string(*held) : std::string()));
}

// Whether all three coordinates are finite (no infinity, no NaN).
inline bool IsFinitePoint(double x, double y, double z)
{
  return std::isfinite(x) && std::isfinite(y) && std::isfinite(z);
}

// Appends a point, or throws std::bad_alloc when the array could not grow
// (openNURBS arrays empty themselves instead of throwing).
inline void AppendPoint(ON_3dPointArray &points, double x, double y, double z)
{
  const int before = points.Count();
  points.Append(ON_3dPoint(x, y, z));
  if (points.Count() != before + 1)
    throw std::bad_alloc();
}

// Makes room for `extra` more points, or throws std::bad_alloc.
inline void ReservePoints(ON_3dPointArray &points, size_t extra)
{
  const size_t wanted = size_t(points.Count()) + extra;
  if (wanted > size_t(INT_MAX) || (points.Reserve(wanted), size_t(points.Capacity()) < wanted))
    throw std::bad_alloc();
}

// Appends the points of `xyz`, three values a point, or throws std::bad_alloc.
inline void AppendTriples(ON_3dPointArray &points, const std::vector<double> &xyz)
{
  const size_t count = xyz.size() / 3;
  ReservePoints(points, count);
  for (size_t i = 0; i < count; ++i)
    AppendPoint(points, xyz[3 * i], xyz[3 * i + 1], xyz[3 * i + 2]);
}

} // namespace pelmora::io
