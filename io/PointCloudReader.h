// Reading a point cloud from a file, by the file's extension:
//   xyz, txt, csv, pts, asc  text, one point per line (see ParseTextPoints)
//   ply                      PLY vertices, ASCII or binary
//   stl, obj                 the mesh's vertices
//   vtk, vtp                 the points of a legacy VTK or XML poly-data file
// Every point must be finite. Errors name the file, and the line where the
// format has lines.
#pragma once

#include "io/IoResult.h"
#include "opennurbs.h"

#include <string>
#include <string_view>

namespace pelmora::io {

// Replaces `points` with the file's points; on failure `points` is unchanged.
IoResult ReadPointCloud(const std::string &path, ON_3dPointArray &points);

// The same for a file already in memory; `name` supplies the extension and
// the name used in messages (vtk and vtp are not read from memory).
IoResult ReadPointCloudFromMemory(std::string_view data, const std::string &name,
                                  ON_3dPointArray &points);

// "xyz, txt, csv, pts, asc, ply, stl, obj, vtk, vtp"
const char *ReadableExtensions();

} // namespace pelmora::io
