// The convex hull through qhull's reentrant library; see ConvexHull.h.
#include "wrap/ConvexHull.h"

#include "wrap/CloudBounds.h"
#include "wrap/StageProgress.h"

extern "C" {
#include <libqhull_r/qhull_ra.h>
}

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace pelmora::wrap {

namespace {

// The cloud moved to a frame centred on its bounding box and scaled per
// axis by a power of two to about [-1, 1]. Hull faces, vertices and
// coplanarity are unchanged by such a map; qhull's rounding, which grows
// with the coordinates' size, then stays relative to each axis's extent, so
// a tiny spread far from the origin or a thin slab keeps its digits. The
// scaling is exact; only the centring rounds.
struct HullFrame
{
  ON_3dPoint centre;
  double scale[3];
  double largestCoordinate; // the largest magnitude of any coordinate
};

bool ToHullFrame(const ON_3dPointArray &points, HullFrame &frame, std::vector<double> &coordinates)
{
  const int count = points.Count();
  if (count < 4)
    return false;
  double low[3], high[3];
  if (!FiniteBounds(points, low, high))
    return false;
  double *centre = &frame.centre.x, *scale = frame.scale;
  frame.largestCoordinate = 0.0;
  for (int axis = 0; axis < 3; ++axis) {
    frame.largestCoordinate =
        std::max({frame.largestCoordinate, std::fabs(low[axis]), std::fabs(high[axis])});
    const double halfExtent = 0.5 * (high[axis] - low[axis]);
    if (!(halfExtent > 0.0) || !std::isfinite(halfExtent))
      return false; // flat along this axis, or beyond double range
    centre[axis] = low[axis] + halfExtent;
    int exponent = 0;
    std::frexp(halfExtent, &exponent);
    scale[axis] = std::ldexp(1.0, -exponent);
  }
  coordinates.resize(3 * std::size_t(count));
  for (int i = 0; i < count; ++i)
    for (int axis = 0; axis < 3; ++axis)
      coordinates[3 * std::size_t(i) + axis] = (points[i][axis] - centre[axis]) * scale[axis];
  return true;
}

// One qhull run; frees every byte qhull took when it goes.
class Qhull
{
public:
  Qhull() : m_qh(std::make_unique<qhT>())
  {
    // qhull's messages go to a memory stream nobody reads: the library
    // prints nothing, and a failure shows only in the result.
    m_messages = open_memstream(&m_messageText, &m_messageSize);
    qh_zero(m_qh.get(), m_messages);
  }
  ~Qhull()
  {
    int curlong = 0, totlong = 0;
    qh_freeqhull(m_qh.get(), !qh_ALL);
    qh_memfreeshort(m_qh.get(), &curlong, &totlong);
    if (m_messages)
      std::fclose(m_messages);
    std::free(m_messageText);
  }
  Qhull(const Qhull &) = delete;
  Qhull &operator=(const Qhull &) = delete;

  // Merged facets for precision (qhull's default for 3-d), triangulated
  // output (Qt). Coordinates stay owned by the caller.
  bool Run(std::vector<double> &coordinates)
  {
    if (!m_messages)
      return false;
    char options[] = "qhull Qt";
    const int count = static_cast<int>(coordinates.size() / 3);
    return qh_new_qhull(m_qh.get(), 3, count, coordinates.data(), False, options, nullptr,
                        m_messages) == 0;
  }
  qhT *Get() { return m_qh.get(); }

private:
  std::unique_ptr<qhT> m_qh;
  FILE *m_messages = nullptr;
  char *m_messageText = nullptr;
  std::size_t m_messageSize = 0;
};

struct HullTriangle
{
  int id[3]; // cloud indices, counter-clockwise seen from outside
};

// The triangles of the hull as cloud indices. qhull keeps each simplicial
// facet's vertices in a set whose order, with the facet's top-orientation
// flag, gives the facet's side consistently across the hull.
std::vector<HullTriangle> CollectTriangles(qhT *qh, const double *coordinates)
{
  std::vector<HullTriangle> triangles;
  triangles.reserve(static_cast<std::size_t>(qh->num_facets));
  facetT *facet = nullptr;
  FORALLfacets
  {
    if (facet->visible || qh_setsize(qh, facet->vertices) != 3)
      continue;
    int corner[3];
    for (int k = 0; k < 3; ++k) {
      const vertexT *vertex = static_cast<vertexT *>(SETelem_(facet->vertices, k));
      corner[k] = static_cast<int>((vertex->point - coordinates) / 3);
    }
    // Top-oriented facets list their vertices clockwise seen from outside.
    if (facet->toporient)
      triangles.push_back({{corner[1], corner[0], corner[2]}});
    else
      triangles.push_back({{corner[0], corner[1], corner[2]}});
  }
  return triangles;
}

// The hull mesh: used cloud points in ascending order, then the triangles.
void BuildMesh(const ON_3dPointArray &points, const std::vector<HullTriangle> &triangles,
               ON_Mesh &hull)
{
  std::vector<int> vertexOf(static_cast<std::size_t>(points.Count()), -1);
  for (const HullTriangle &triangle : triangles)
    for (int id : triangle.id)
      vertexOf[id] = 0;
  int vertexCount = 0;
  for (int &vertex : vertexOf)
    if (vertex == 0)
      vertex = vertexCount++;
  ON_Mesh mesh(static_cast<int>(triangles.size()), vertexCount, false, false);
  for (int i = 0; i < points.Count(); ++i)
    if (vertexOf[i] >= 0)
      mesh.SetVertex(vertexOf[i], points[i]);
  for (const HullTriangle &t : triangles)
    mesh.SetTriangle(mesh.FaceCount(), vertexOf[t.id[0]], vertexOf[t.id[1]], vertexOf[t.id[2]]);
  hull = mesh;
}

// A cloud whose points leave a plane by no more than the rounding of its
// coordinates is flat, though rounding makes a hull of it: judged by the
// hull's mean width (twice its volume over its area, about the thickness
// of a thin hull) against 1024 units in the last place of the largest
// coordinate. A real slab 1e-12 as thick as it is wide stays solid.
bool HasVolume(const ON_3dPointArray &points, const std::vector<HullTriangle> &triangles,
               const HullFrame &frame)
{
  double volume = 0.0, area = 0.0;
  for (const HullTriangle &t : triangles) {
    const ON_3dVector a = points[t.id[0]] - frame.centre, b = points[t.id[1]] - frame.centre,
                      c = points[t.id[2]] - frame.centre;
    volume += ON_DotProduct(a, ON_CrossProduct(b, c)) / 6.0;
    area += 0.5 * ON_CrossProduct(b - a, c - a).Length();
  }
  const double width = 2.0 * volume / area;
  return width > 1024.0 * DBL_EPSILON * frame.largestCoordinate;
}

} // namespace

bool ComputeConvexHull(const ON_3dPointArray &points, StageProgress &progress, ON_Mesh &hull)
{
  hull.Destroy();
  HullFrame frame;
  std::vector<double> coordinates;
  if (!ToHullFrame(points, frame, coordinates))
    return false;
  progress.Reach(0.1);
  std::vector<HullTriangle> triangles;
  {
    Qhull qhull;
    if (!qhull.Run(coordinates))
      return false; // flat or collinear input ends here
    progress.Reach(0.8);
    triangles = CollectTriangles(qhull.Get(), coordinates.data());
  }
  if (triangles.size() < 4 || !HasVolume(points, triangles, frame))
    return false;
  progress.Reach(0.9);
  BuildMesh(points, triangles, hull);
  return true;
}

} // namespace pelmora::wrap
