#include "MeshChecks.h"

#include "support/PointCloudGenerator.h"

#include <cmath>
#include <map>
#include <utility>

namespace pelmora::test {

ON_3dPointArray SphereCloud(int count, double radius, const ON_3dPoint &centre)
{
  ON_3dPointArray points;
  const double golden = M_PI * (3.0 - std::sqrt(5.0));
  for (int i = 0; i < count; ++i) {
    const double z = 1.0 - 2.0 * (i + 0.5) / count;
    const double ring = std::sqrt(1.0 - z * z);
    const double angle = golden * i;
    points.Append(ON_3dPoint(centre.x + radius * ring * std::cos(angle),
                             centre.y + radius * ring * std::sin(angle), centre.z + radius * z));
  }
  return points;
}

ON_3dPointArray TorusCloud(int count, double ringRadius, double tubeRadius)
{
  ON_3dPointArray points;
  Random random(7);
  const int around = static_cast<int>(std::sqrt(count * ringRadius / tubeRadius));
  const int across = count / around;
  for (int i = 0; i < around; ++i)
    for (int j = 0; j < across; ++j) {
      const double u = 2.0 * M_PI * (i + random.Uniform(-0.2, 0.2)) / around;
      const double v = 2.0 * M_PI * (j + random.Uniform(-0.2, 0.2)) / across;
      const double rho = ringRadius + tubeRadius * std::cos(v);
      points.Append(ON_3dPoint(rho * std::cos(u), rho * std::sin(u), tubeRadius * std::sin(v)));
    }
  return points;
}

namespace {

int CornerCount(const ON_MeshFace &face)
{
  return face.IsTriangle() ? 3 : 4;
}

} // namespace

bool IsClosedAndConsistentlyOriented(const ON_Mesh &mesh)
{
  std::map<std::pair<int, int>, int> directedEdges;
  for (int f = 0; f < mesh.FaceCount(); ++f) {
    const ON_MeshFace &face = mesh.m_F[f];
    const int corners = CornerCount(face);
    for (int k = 0; k < corners; ++k)
      ++directedEdges[{face.vi[k], face.vi[(k + 1) % corners]}];
  }
  for (const auto &[edge, uses] : directedEdges) {
    const auto reverse = directedEdges.find({edge.second, edge.first});
    if (uses != 1 || reverse == directedEdges.end() || reverse->second != 1)
      return false;
  }
  return !directedEdges.empty();
}

double SignedVolume(const ON_Mesh &mesh)
{
  double volume = 0.0;
  for (int f = 0; f < mesh.FaceCount(); ++f) {
    const ON_MeshFace &face = mesh.m_F[f];
    const ON_3dPoint a = mesh.Vertex(face.vi[0]);
    for (int k = 1; k + 1 < CornerCount(face); ++k) {
      const ON_3dPoint b = mesh.Vertex(face.vi[k]);
      const ON_3dPoint c = mesh.Vertex(face.vi[k + 1]);
      volume += (a.x * (b.y * c.z - b.z * c.y) - a.y * (b.x * c.z - b.z * c.x) +
                 a.z * (b.x * c.y - b.y * c.x)) /
                6.0;
    }
  }
  return volume;
}

bool SameMesh(const ON_Mesh &a, const ON_Mesh &b)
{
  if (a.VertexCount() != b.VertexCount() || a.FaceCount() != b.FaceCount())
    return false;
  for (int i = 0; i < a.VertexCount(); ++i)
    if (!(a.Vertex(i) == b.Vertex(i)))
      return false;
  for (int f = 0; f < a.FaceCount(); ++f)
    for (int k = 0; k < 4; ++k)
      if (a.m_F[f].vi[k] != b.m_F[f].vi[k])
        return false;
  return true;
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
