// Mesh construction, vertices, faces, counts and flips.
#include "opennurbs/opennurbs_mesh.h"

ON_Mesh::ON_Mesh(int face_capacity, int vertex_capacity, bool has_vertex_normals,
                 bool has_texture_coordinates)
{
  if (vertex_capacity > 0) {
    m_V.Reserve((size_t)vertex_capacity);
    if (has_vertex_normals)
      m_N.Reserve((size_t)vertex_capacity);
    if (has_texture_coordinates)
      m_T.Reserve((size_t)vertex_capacity);
  }
  if (face_capacity > 0)
    m_F.Reserve((size_t)face_capacity);
}

ON_Mesh::ON_Mesh(const ON_Mesh &src)
{
  *this = src;
}

ON_Mesh &ON_Mesh::operator=(const ON_Mesh &src)
{
  if (this == &src)
    return *this;
  Destroy();
  m_V = src.m_V;
  m_dV = src.m_dV;
  m_F = src.m_F;
  m_N = src.m_N;
  m_FN = src.m_FN;
  m_T = src.m_T;
  m_S = src.m_S;
  return *this;
}

ON_Mesh::~ON_Mesh()
{
  Destroy();
}

void ON_Mesh::Destroy()
{
  m_dV.Destroy();
  m_V.Destroy();
  m_F.Destroy();
  m_N.Destroy();
  m_FN.Destroy();
  m_T.Destroy();
  m_S.Destroy();
}

bool ON_Mesh::HasVertexNormals() const
{
  return m_V.Count() > 0 && m_N.Count() == m_V.Count();
}

bool ON_Mesh::HasFaceNormals() const
{
  return m_F.Count() > 0 && m_FN.Count() == m_F.Count();
}

bool ON_Mesh::HasTextureCoordinates() const
{
  return m_V.Count() > 0 && m_T.Count() == m_V.Count();
}

bool ON_Mesh::HasSurfaceParameters() const
{
  return m_V.Count() > 0 && m_S.Count() == m_V.Count();
}

bool ON_Mesh::HasDoublePrecisionVertices() const
{
  return m_V.Count() > 0 && m_dV.Count() == m_V.Count();
}

ON_3dPoint ON_Mesh::Vertex(int i) const
{
  if (i < 0 || i >= m_V.Count())
    return ON_3dPoint::UnsetPoint;
  return HasDoublePrecisionVertices() ? m_dV[i] : ON_3dPoint(m_V[i]);
}

int ON_Mesh::TriangleCount() const
{
  const int n = m_V.Count();
  int count = 0;
  for (int i = 0; i < m_F.Count(); i++)
    count += (m_F[i].IsValid(n) && m_F[i].IsTriangle()) ? 1 : 0;
  return count;
}

int ON_Mesh::QuadCount() const
{
  const int n = m_V.Count();
  int count = 0;
  for (int i = 0; i < m_F.Count(); i++)
    count += (m_F[i].IsValid(n) && m_F[i].IsQuad()) ? 1 : 0;
  return count;
}

int ON_Mesh::InvalidFaceCount() const
{
  const int n = m_V.Count();
  int count = 0;
  for (int i = 0; i < m_F.Count(); i++)
    count += m_F[i].IsValid(n) ? 0 : 1;
  return count;
}

bool ON_Mesh::SetVertex(int vertex_index, const ON_3dPoint &location)
{
  const int n = m_V.Count();
  if (vertex_index < 0 || vertex_index > n)
    return false;
  if (m_dV.Count() == n) {
    if (vertex_index < n)
      m_dV[vertex_index] = location;
    else
      m_dV.Append(location);
  }
  const ON_3fPoint single(location);
  if (vertex_index < n) {
    m_V[vertex_index] = single;
    return true;
  }
  m_V.Append(single);
  return m_V.Count() == n + 1; // false only when memory ran out
}

bool ON_Mesh::SetVertex(int vertex_index, const ON_3fPoint &location)
{
  const int n = m_V.Count();
  if (vertex_index < 0 || vertex_index > n)
    return false;
  if (m_dV.Count() == n) {
    const ON_3dPoint widened(location);
    if (vertex_index < n)
      m_dV[vertex_index] = widened;
    else
      m_dV.Append(widened);
  }
  if (vertex_index < n) {
    m_V[vertex_index] = location;
    return true;
  }
  m_V.Append(location);
  return m_V.Count() == n + 1;
}

bool ON_Mesh::SetTriangle(int face_index, int a, int b, int c)
{
  return SetQuad(face_index, a, b, c, c);
}

bool ON_Mesh::SetQuad(int face_index, int a, int b, int c, int d)
{
  if (face_index < 0 || face_index > m_F.Count())
    return false;
  const ON_MeshFace face = {{a, b, c, d}};
  if (face_index < m_F.Count()) {
    m_F[face_index] = face;
  } else {
    m_F.Append(face);
    if (m_F.Count() != face_index + 1)
      return false; // memory ran out
  }
  return face.IsValid(m_V.Count());
}

void ON_Mesh::Flip()
{
  FlipFaceOrientation();
  FlipFaceNormals();
  FlipVertexNormals();
}

void ON_Mesh::FlipFaceOrientation()
{
  for (int i = 0; i < m_F.Count(); i++)
    m_F[i].Flip();
}

void ON_Mesh::FlipFaceNormals()
{
  if (!HasFaceNormals())
    return;
  for (int i = 0; i < m_FN.Count(); i++)
    m_FN[i] = -m_FN[i];
}

void ON_Mesh::FlipVertexNormals()
{
  if (!HasVertexNormals())
    return;
  for (int i = 0; i < m_N.Count(); i++)
    m_N[i] = -m_N[i];
}
