// Drapes a surface over a point file and prints what came back.
//
//   pelmora_host POINTS.xyz [DX DY DZ]
//
// POINTS.xyz holds one point per line, "x y z" separated by blanks or commas;
// empty lines and lines starting with '#' are skipped. The drape direction
// defaults to straight down. When no window can open, the suggested rows and
// columns and a probe diameter of 0 are used.
#include "PMSurface.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

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

} // namespace

int main(int argc, char **argv)
{
  if (argc != 2 && argc != 5) {
    std::fprintf(stderr, "usage: %s POINTS.xyz [DX DY DZ]\n", argv[0]);
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
