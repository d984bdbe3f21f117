// Drapes a surface over a point file and prints what came back.
//
//   pelmora_host [--toolkit auto|qt|terminal|none] POINTS.xyz [DX DY DZ]
//
// POINTS.xyz holds one point per line, "x y z" separated by blanks or commas;
// empty lines and lines starting with '#' are skipped. The drape direction
// defaults to straight down. The "Surface Parameters" window opens on the
// chosen toolkit (auto: Qt when a display is reachable); with none, or when
// no window can open, the suggested rows and columns and a probe diameter
// of 0 are used.
#include "PMSurface.h"
#include "PMToolkit.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <cstring>

namespace {

bool readPoints(const char *path, ON_3dPointArray &points)
{
  std::ifstream in(path);
  if (!in) {
    std::fprintf(stderr, "%s: cannot open\n", path);
    return false;
  }
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    for (char &c : line)
      if (c == ',')
        c = ' ';
    std::istringstream fields(line);
    double x, y, z;
    std::string first;
    if (!(fields >> first) || first[0] == '#')
      continue;
    fields.clear();
    fields.str(line);
    if (!(fields >> x >> y >> z)) {
      std::fprintf(stderr, "%s:%d: expected three numbers\n", path, number);
      return false;
    }
    points.Append(ON_3dPoint(x, y, z));
  }
  return true;
}

bool selectToolkit(const char *name)
{
  const struct
  {
    const char *name;
    PMToolkitKind kind;
  } kinds[] = {{"auto", PMToolkitKind::Automatic},
               {"qt", PMToolkitKind::Qt},
               {"terminal", PMToolkitKind::Terminal},
               {"none", PMToolkitKind::None}};
  for (const auto &k : kinds)
    if (std::strcmp(name, k.name) == 0) {
      PMSelectToolkit(k.kind);
      return true;
    }
  return false;
}

} // namespace

int main(int argc, char **argv)
{
  if (argc >= 3 && std::strcmp(argv[1], "--toolkit") == 0) {
    if (!selectToolkit(argv[2])) {
      std::fprintf(stderr, "unknown toolkit: %s\n", argv[2]);
      return 2;
    }
    argv += 2;
    argc -= 2;
  }
  if (argc != 2 && argc != 5) {
    std::fprintf(stderr, "usage: pelmora_host [--toolkit auto|qt|terminal|none] POINTS.xyz "
                         "[DX DY DZ]\n");
    return 2;
  }
  ON_3dPointArray points;
  if (!readPoints(argv[1], points))
    return 1;
  ON_3dVector direction(0.0, 0.0, -1.0);
  if (argc == 5)
    direction = ON_3dVector(std::atof(argv[2]), std::atof(argv[3]), std::atof(argv[4]));

  ON_3dPointArray matrix;
  ON_NurbsSurface surface;
  int rows = 0, cols = 0;
  if (!PMSurface::DrapeSurface(matrix, rows, cols, surface, points, direction, 1, 0, nullptr)) {
    std::fprintf(stderr, "drape failed: %s\n", PMSurface::GetError().ToUtf8().c_str());
    return 1;
  }
  std::printf("points %d\nrows %d\ncolumns %d\nmatrix %d\nsurface %s\n", points.Count(), rows, cols,
              matrix.Count(), surface.IsValid() ? "valid" : "invalid");
  return 0;
}
