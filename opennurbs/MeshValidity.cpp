// Face and mesh validity.
#include "opennurbs/opennurbs_mesh.h"

namespace {

template <class P> bool CornersDistinct(const ON_MeshFace &f, const P *V)
{
  const P &a = V[f.vi[0]];
  const P &b = V[f.vi[1]];
  const P &c = V[f.vi[2]];
  if (a == b || a == c || b == c)
    return false;
  if (f.vi[2] == f.vi[3])
    return true;
  const P &d = V[f.vi[3]];
  return d != a && d != b && d != c;
}

// Every index, read as unsigned, below the vertex count.
bool IndicesInRange(const ON_SimpleArray<ON_MeshFace> &F, int vertex_count)
{
  const unsigned int n = (unsigned int)vertex_count;
  for (int i = 0; i < F.Count(); i++) {
    const int *vi = F[i].vi;
    if ((unsigned int)vi[0] >= n || (unsigned int)vi[1] >= n || (unsigned int)vi[2] >= n ||
        (unsigned int)vi[3] >= n)
      return false;
  }
  return true;
}

// Each double coordinate cast to float equals the stored float. The cast is
// stored in a float first so that the rounding cannot be optimised away.
bool DoublesMatchFloats(const ON_3dPointArray &dV, const ON_3fPointArray &V)
{
  for (int i = 0; i < V.Count(); i++) {
    const ON_3fPoint rounded(dV[i]);
    if (!(rounded.x == V[i].x && rounded.y == V[i].y && rounded.z == V[i].z))
      return false;
  }
  return true;
}

bool NormalsAreUnit(const ON_3fVectorArray &N)
{
  for (int i = 0; i < N.Count(); i++) {
    const float length_squared = N[i].LengthSquared();
    if (!(length_squared >= 0.985 && length_squared <= 1.015))
      return false;
  }
  return true;
}

} // namespace

bool ON_MeshFace::IsValid(int n) const
{
  if (vi[0] < 0 || vi[1] < 0 || vi[2] < 0 || vi[3] < 0)
    return false;
  if (vi[0] >= n || vi[1] >= n || vi[2] >= n || vi[3] >= n)
    return false;
  if (vi[0] == vi[1] || vi[1] == vi[2] || vi[2] == vi[0])
    return false;
  return vi[2] == vi[3] || (vi[3] != vi[0] && vi[3] != vi[1]);
}

bool ON_MeshFace::IsValid(int n, const ON_3fPoint *V) const
{
  return IsValid(n) && V && CornersDistinct(*this, V);
}

bool ON_MeshFace::IsValid(int n, const ON_3dPoint *V) const
{
  return IsValid(n) && V && CornersDistinct(*this, V);
}

void ON_MeshFace::Flip()
{
  if (vi[2] == vi[3]) {
    const int b = vi[1];
    vi[1] = vi[2];
    vi[2] = b;
    vi[3] = b;
  } else {
    const int b = vi[1];
    vi[1] = vi[3];
    vi[3] = b;
  }
}

bool ON_Mesh::IsValid(ON_TextLog *) const
{
  const int n = m_V.Count();
  // 1. corruption pre-check
  if (!IndicesInRange(m_F, n) || (m_dV.Count() != 0 && m_dV.Count() != n))
    return false;
  // 2-4. sizes
  if (m_F.Count() < 1 || n < 3)
    return false;
  // 5. single and double vertices in step
  const bool has_doubles = m_dV.Count() > 0;
  if (has_doubles && !DoublesMatchFloats(m_dV, m_V))
    return false;
  // 6-8. optional per-vertex arrays
  if ((m_N.Count() != 0 && m_N.Count() != n) || (m_T.Count() != 0 && m_T.Count() != n) ||
      (m_S.Count() != 0 && m_S.Count() != n))
    return false;
  // 9. unit vertex normals
  if (HasVertexNormals() && !NormalsAreUnit(m_N))
    return false;
  // 10. faces with distinct corners
  for (int i = 0; i < m_F.Count(); i++) {
    const bool ok = has_doubles ? m_F[i].IsValid(n, m_dV.Array()) : m_F[i].IsValid(n, m_V.Array());
    if (!ok)
      return false;
  }
  return true;
}
