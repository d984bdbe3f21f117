// A host built against the installed package: the headers alone must be
// enough to call the library.
#include "PMSurface.h"

#include <cstdio>

int main()
{
  // 100 points spread over 20 x 10 suggest 7 rows and 14 columns.
  ON_3dPointArray points;
  for (int i = 0; i < 100; ++i)
    points.Append(ON_3dPoint(20.0 * (i % 10) / 9.0, 10.0 * (i / 10) / 9.0, 0.0));
  int rows = 0, cols = 0;
  PMSurface::AnalyzePoints(points, ON_3dVector(0, 0, -1), rows, cols);

  PMSurface::SetError(CString(L"host text"));
  const bool errorKept = PMSurface::GetError() == L"host text";
  std::printf("rows %d cols %d error %s\n", rows, cols, errorKept ? "kept" : "lost");
  return errorKept ? 0 : 1;
}
