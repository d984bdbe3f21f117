#include "MeshChecks.h"

#include "support/PointCloudGenerator.h"

#include <cmath>
#include <map>
#include <utility>

namespace pelmora::test {

ON_3dPointArray SphereCloud(int count, double radius, const ON_3dPoint &centre)
{
  ON_3dPointArray points;
  for (int i = 0; i < count; ++i) {
    const double z = 1.0 - 2.0 * (i + 0.5) / count, ring = std::sqrt(1.0 - z * z);
    const double angle = M_PI * (3.0 - std::sqrt(5.0)) * i;
    points.Append(centre + ON_3dPoint(ring * std::cos(angle), ring * std::sin(angle), z) * radius);
  }
  return points;
}

ON_3dPointArray TorusCloud(int count, double ringRadius, double tubeRadius)
{
  ON_3dPointArray points;
  Random random(7);
  const int around = static_cast<int>(std::sqrt(count * ringRadius / tubeRadius));
  for (int i = 0; i < around; ++i)
    for (int j = 0; j < count / around; ++j) {
      const double u = 2.0 * M_PI * (i + random.Uniform(-0.2, 0.2)) / around;
      const double v = 2.0 * M_PI * (j + random.Uniform(-0.2, 0.2)) / (count / around);
      const double rho = ringRadius + tubeRadius * std::cos(v);
      points.Append(ON_3dPoint(rho * std::cos(u), rho * std::sin(u), tubeRadius * std::sin(v)));
    }
  return points;
}

bool IsClosedAndConsistentlyOriented(const ON_Mesh &mesh)
{
  std::map<std::pair<int, int>, int> edges;
  for (int f = 0; f < mesh.FaceCount(); ++f) {
    const ON_MeshFace &face = mesh.m_F[f];
    const int corners = face.IsTriangle() ? 3 : 4;
    for (int k = 0; k < corners; ++k)
      ++edges[{face.vi[k], face.vi[(k + 1) % corners]}];
  }
  for (const auto &[edge, uses] : edges) {
    const auto reverse = edges.find({edge.second, edge.first});
    if (uses != 1 || reverse == edges.end() || reverse->second != 1)
      return false;
  }
  return !edges.empty();
}

double SignedVolume(const ON_Mesh &mesh)
{
  double volume = 0.0;
  for (int f = 0; f < mesh.FaceCount(); ++f) {
    const int *vi = mesh.m_F[f].vi;
    const ON_3dVector a = mesh.Vertex(vi[0]) - ON_3dPoint(0, 0, 0);
    for (int k = 1; k + 1 < (mesh.m_F[f].IsTriangle() ? 3 : 4); ++k)
      volume += a *
                ON_CrossProduct(mesh.Vertex(vi[k]) - ON_3dPoint(0, 0, 0),
                                mesh.Vertex(vi[k + 1]) - ON_3dPoint(0, 0, 0)) /
                6.0;
  }
  return volume;
}

bool SameMesh(const ON_Mesh &a, const ON_Mesh &b)
{
  bool same = a.VertexCount() == b.VertexCount() && a.FaceCount() == b.FaceCount();
  for (int i = 0; same && i < a.VertexCount(); ++i)
    same = a.Vertex(i) == b.Vertex(i);
  for (int f = 0; same && f < a.FaceCount(); ++f)
    for (int k = 0; k < 4; ++k)
      same = same && a.m_F[f].vi[k] == b.m_F[f].vi[k];
  return same;
}

ON_Mesh MarkerMesh()
{
  ON_Mesh mesh;
  mesh.SetVertex(0, ON_3dPoint(7, 0, 0));
  mesh.SetVertex(1, ON_3dPoint(0, 7, 0));
  mesh.SetVertex(2, ON_3dPoint(0, 0, 7));
  mesh.SetTriangle(0, 0, 1, 2);
  return mesh;
}

} // namespace pelmora::test
