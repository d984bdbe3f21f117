// Reading a point cloud from a file, by its format: the file's extension,
// or a format named by the caller for files whose extension says nothing.
//   xyz, txt, csv, pts, asc  text, one point per line (see ParseTextPoints)
//   pwn                      text, x y z nx ny nz per line (the normals unused)
//   ply                      PLY vertices, ASCII or binary
//   stl, obj, off            the mesh's vertices
//   pcd                      Point Cloud Data, ascii or binary
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
// `format` is one of ReadableExtensions(), or empty to go by the extension.
// The file is opened and read once (a named pipe works).
IoResult ReadPointCloud(const std::string &path, ON_3dPointArray &points,
                        const std::string &format = "");

// The same for a file already in memory; `name` is used in messages and,
// without `format`, supplies the extension.
IoResult ReadPointCloudFromMemory(std::string_view data, const std::string &name,
                                  ON_3dPointArray &points, const std::string &format = "");

// "xyz, txt, csv, pts, asc, pwn, ply, stl, obj, off, pcd, vtk, vtp"
const char *ReadableExtensions();

// True when `format` is one of ReadableExtensions() (any case).
bool IsReadableFormat(const std::string &format);

} // namespace pelmora::io
