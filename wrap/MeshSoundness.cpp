// Closedness, manifoldness and orientation of a wrap's mesh; see
// MeshSoundness.h.
#include "wrap/MeshSoundness.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace pelmora::wrap {

namespace {

struct Triangle
{
  int v[3];
};

std::vector<Triangle> Triangles(const ON_Mesh &mesh)
{
  std::vector<Triangle> triangles;
  triangles.reserve(std::size_t(mesh.FaceCount()) * 2);
  for (int f = 0; f < mesh.FaceCount(); ++f) {
    const int *vi = mesh.m_F[f].vi;
    triangles.push_back({{vi[0], vi[1], vi[2]}});
    if (vi[2] != vi[3])
      triangles.push_back({{vi[0], vi[2], vi[3]}});
  }
  return triangles;
}

std::uint64_t Directed(int from, int to)
{
  return (std::uint64_t(std::uint32_t(from)) << 32) | std::uint32_t(to);
}

// With every edge shared by two opposite faces, the faces around a vertex
// form one fan exactly when walking from face to face across the edges at
// the vertex visits all of them: each face has one outgoing edge at v,
// leading to the face across it.
bool EveryVertexHasOneFan(const std::vector<Triangle> &triangles,
                          const std::unordered_map<std::uint64_t, int> &faceOf, int vertexCount)
{
  std::vector<int> facesAround(std::size_t(vertexCount), 0),
      firstFace(std::size_t(vertexCount), -1);
  for (int t = 0; t < int(triangles.size()); ++t)
    for (int v : triangles[t].v) {
      ++facesAround[std::size_t(v)];
      firstFace[std::size_t(v)] = t;
    }
  for (int v = 0; v < vertexCount; ++v) {
    if (firstFace[std::size_t(v)] < 0)
      continue;
    int face = firstFace[std::size_t(v)], steps = 0;
    do {
      const Triangle &tri = triangles[std::size_t(face)];
      const int k = tri.v[0] == v ? 0 : tri.v[1] == v ? 1 : 2;
      // The edge leaving v in this face, crossed backwards by the next.
      face = faceOf.at(Directed(tri.v[(k + 1) % 3], v));
      ++steps;
    } while (face != firstFace[std::size_t(v)] && steps <= facesAround[std::size_t(v)]);
    if (steps != facesAround[std::size_t(v)])
      return false;
  }
  return true;
}

} // namespace

bool IsClosedManifold(const ON_Mesh &mesh)
{
  if (!mesh.IsValid())
    return false;
  const std::vector<Triangle> triangles = Triangles(mesh);
  std::unordered_map<std::uint64_t, int> faceOf; // directed edge -> its face
  faceOf.reserve(triangles.size() * 3);
  for (int t = 0; t < int(triangles.size()); ++t)
    for (int k = 0; k < 3; ++k)
      if (!faceOf.emplace(Directed(triangles[t].v[k], triangles[t].v[(k + 1) % 3]), t).second)
        return false; // two faces run the same way along an edge
  for (const auto &[edge, face] : faceOf)
    if (faceOf.count(Directed(int(edge & 0xffffffffu), int(edge >> 32))) == 0)
      return false; // an open edge
  return EveryVertexHasOneFan(triangles, faceOf, mesh.VertexCount());
}

double EnclosedVolume6(const ON_Mesh &mesh)
{
  if (mesh.VertexCount() == 0)
    return 0.0;
  const ON_3dPoint origin = mesh.Vertex(0); // keeps digits far from zero
  double volume = 0.0;
  for (const Triangle &t : Triangles(mesh)) {
    const ON_3dVector a = mesh.Vertex(t.v[0]) - origin, b = mesh.Vertex(t.v[1]) - origin,
                      c = mesh.Vertex(t.v[2]) - origin;
    volume += ON_DotProduct(a, ON_CrossProduct(b, c));
  }
  return volume;
}

} // namespace pelmora::wrap
