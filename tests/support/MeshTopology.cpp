// Closedness, manifoldness and orientation of a mesh; see MeshTopology.h.
#include "support/MeshTopology.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <unordered_map>
#include <vector>

namespace pelmora::test {

namespace {

struct Triangle
{
  int v[3];
};

std::vector<Triangle> Triangles(const ON_Mesh &mesh)
{
  std::vector<Triangle> triangles;
  for (int f = 0; f < mesh.FaceCount(); ++f) {
    const int *vi = mesh.m_F[f].vi;
    triangles.push_back({{vi[0], vi[1], vi[2]}});
    if (vi[2] != vi[3])
      triangles.push_back({{vi[0], vi[2], vi[3]}});
  }
  return triangles;
}

std::uint64_t EdgeKey(int a, int b)
{
  return (std::uint64_t(std::uint32_t(std::min(a, b))) << 32) | std::uint32_t(std::max(a, b));
}

int Find(std::vector<int> &parent, int i)
{
  while (parent[i] != i)
    i = parent[i] = parent[parent[i]];
  return i;
}

// Faces around each vertex form one fan (open or closed) when the union of
// "faces sharing an edge at this vertex" links them all: count the pieces.
int CountNonManifoldVertices(const std::vector<Triangle> &triangles, int vertexCount)
{
  std::vector<std::vector<int>> around(vertexCount);
  for (int t = 0; t < int(triangles.size()); ++t)
    for (int k = 0; k < 3; ++k)
      around[triangles[t].v[k]].push_back(t);
  int bad = 0;
  for (int v = 0; v < vertexCount; ++v) {
    const std::vector<int> &fan = around[v];
    if (fan.size() < 2)
      continue;
    std::vector<int> parent(fan.size());
    std::iota(parent.begin(), parent.end(), 0);
    std::unordered_map<int, int> firstWithNeighbour; // other vertex -> fan index
    for (int i = 0; i < int(fan.size()); ++i)
      for (int k = 0; k < 3; ++k) {
        const int other = triangles[fan[i]].v[k];
        if (other == v)
          continue;
        const auto [found, inserted] = firstWithNeighbour.emplace(other, i);
        if (!inserted)
          parent[Find(parent, i)] = Find(parent, found->second);
      }
    int pieces = 0;
    for (int i = 0; i < int(fan.size()); ++i)
      pieces += Find(parent, i) == i;
    bad += pieces > 1;
  }
  return bad;
}

} // namespace

MeshTopology MeasureTopology(const ON_Mesh &mesh)
{
  MeshTopology topology;
  const std::vector<Triangle> triangles = Triangles(mesh);
  const int vertexCount = mesh.VertexCount();
  topology.faces = int(triangles.size());

  struct EdgeUse
  {
    int count = 0;
    int forward = 0; // uses running from the lower index to the higher
    int face = -1;
  };
  std::unordered_map<std::uint64_t, EdgeUse> edges;
  std::vector<int> parent(triangles.size());
  std::iota(parent.begin(), parent.end(), 0);
  std::vector<char> used(vertexCount, 0);
  for (int t = 0; t < int(triangles.size()); ++t) {
    const Triangle &tri = triangles[t];
    for (int k = 0; k < 3; ++k) {
      const int a = tri.v[k], b = tri.v[(k + 1) % 3];
      used[a] = 1;
      EdgeUse &use = edges[EdgeKey(a, b)];
      ++use.count;
      use.forward += a < b;
      if (use.face >= 0)
        parent[Find(parent, t)] = Find(parent, use.face);
      use.face = t;
    }
    const ON_3dPoint p = mesh.Vertex(tri.v[0]), q = mesh.Vertex(tri.v[1]),
                     r = mesh.Vertex(tri.v[2]);
    const ON_3dPoint o = mesh.Vertex(triangles[0].v[0]); // a local origin keeps digits
    topology.signedVolume += ON_DotProduct(p - o, ON_CrossProduct(q - o, r - o)) / 6.0;
  }
  for (const auto &[key, use] : edges) {
    topology.boundaryEdges += use.count == 1;
    topology.nonManifoldEdges += use.count > 2;
    topology.misorientedEdges += use.count == 2 && use.forward != 1;
  }
  for (int t = 0; t < int(triangles.size()); ++t)
    topology.components += Find(parent, t) == t;
  topology.vertices = int(std::count(used.begin(), used.end(), 1));
  topology.nonManifoldVertices = CountNonManifoldVertices(triangles, vertexCount);
  topology.eulerCharacteristic = topology.vertices - int(edges.size()) + topology.faces;
  return topology;
}

double WindingNumber(const ON_Mesh &mesh, const ON_3dPoint &point)
{
  double total = 0.0;
  for (const Triangle &t : Triangles(mesh)) {
    const ON_3dVector a = mesh.Vertex(t.v[0]) - point, b = mesh.Vertex(t.v[1]) - point,
                      c = mesh.Vertex(t.v[2]) - point;
    const double la = a.Length(), lb = b.Length(), lc = c.Length();
    const double numerator = ON_DotProduct(a, ON_CrossProduct(b, c));
    const double denominator = la * lb * lc + ON_DotProduct(a, b) * lc + ON_DotProduct(b, c) * la +
                               ON_DotProduct(c, a) * lb;
    total += 2.0 * std::atan2(numerator, denominator);
  }
  return total / (4.0 * M_PI);
}

} // namespace pelmora::test
