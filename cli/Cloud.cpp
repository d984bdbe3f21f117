// Loading the input cloud and the messages every command shares.
#include "cli/Commands.h"
#include "io/PointCloudReader.h"

#include <cstdio>

namespace pelmora::cli {

void PrintError(const std::string &message)
{
  std::fprintf(stderr, "pelmora: %s\n", message.c_str());
}

std::string Stem(const std::string &path)
{
  size_t slash = path.find_last_of('/');
  std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  size_t dot = base.find_last_of('.');
  return dot == std::string::npos || dot == 0 ? base : base.substr(0, dot);
}

const char *const kFormatHelp =
    "  --format NAME        read CLOUD as NAME whatever its extension: xyz, txt, csv,\n"
    "                       pts, asc, pwn, ply, stl, obj, off, pcd, vtk or vtp\n";

bool LoadCloud(const std::string &path, const std::string &format, ON_3dPointArray &points,
               std::string &name)
{
  io::IoResult loaded;
  if (path.empty()) {
    name = "panel.xyz";
    loaded = io::ReadPointCloudFromMemory(BundledSample(), name, points);
  } else {
    name = path;
    loaded = io::ReadPointCloud(path, points, format);
  }
  if (!loaded)
    PrintError(loaded.message);
  return loaded.ok;
}

} // namespace pelmora::cli
