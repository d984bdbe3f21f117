// Polygon meshes of triangles and quads with single-precision vertices and
// optional double-precision copies.
#pragma once

#include "opennurbs_array.h"
#include "opennurbs_point.h"

// One face: four vertex indices; a triangle repeats its last index
// (vi[2] == vi[3]).
struct ON_CLASS ON_MeshFace
{
  int vi[4];

  // vi[2] == vi[3]; assumes a valid face.
  bool IsTriangle() const { return vi[2] == vi[3]; }
  // vi[2] != vi[3]; assumes a valid face.
  bool IsQuad() const { return vi[2] != vi[3]; }
  // All indices in 0..n-1, the first three distinct, and either a triangle
  // or vi[3] distinct from vi[0] and vi[1].
  bool IsValid(int mesh_vertex_count) const;
  // IsValid(n) and the corners at pairwise different locations (exact
  // comparison), so two indices at one location make the face invalid.
  bool IsValid(int mesh_vertex_count, const ON_3fPoint *V) const;
  bool IsValid(int mesh_vertex_count, const ON_3dPoint *V) const;
  // Reverses the orientation keeping vi[0]: (a,b,c,c) -> (a,c,b,b),
  // (a,b,c,d) -> (a,d,c,b).
  void Flip();
};

class ON_CLASS ON_Mesh
{
public:
  ON_3fPointArray m_V;             // vertex locations; their count is the vertex count
  ON_3dPointArray m_dV;            // optional double-precision copies of m_V
  ON_SimpleArray<ON_MeshFace> m_F; // faces
  ON_3fVectorArray m_N;            // optional unit vertex normals
  ON_3fVectorArray m_FN;           // optional face normals
  ON_2fPointArray m_T;             // optional texture coordinates
  ON_2dPointArray m_S;             // optional surface parameters

  ON_Mesh() = default;
  // Reserves m_V for the vertices and m_F for the faces, and m_N / m_T for
  // the vertices when asked; all counts stay 0. Non-positive capacities
  // reserve nothing.
  ON_Mesh(int initial_face_array_capacity, int initial_vertex_array_capacity,
          bool has_vertex_normals, bool has_texture_coordinates);
  // Independent copy of every array.
  ON_Mesh(const ON_Mesh &src);
  // Destroy, then copy every array.
  ON_Mesh &operator=(const ON_Mesh &src);
  virtual ~ON_Mesh();

  // Frees every array; the mesh is empty afterwards.
  void Destroy();

  // Checks, the first failure deciding: every face index below the vertex
  // count and m_dV empty or in step; at least one face; at least 3
  // vertices; m_dV in step with m_V (each double cast to float equals the
  // float, so NaN fails); m_N, m_T, m_S empty or one per vertex; vertex
  // normals of squared length in [0.985, 1.015]; every face valid with
  // distinct corner locations (double locations when the mesh has them).
  // Unreferenced vertices are fine. text_log is not written.
  bool IsValid(ON_TextLog *text_log = nullptr) const;

  int VertexCount() const { return m_V.Count(); }
  int FaceCount() const { return m_F.Count(); }
  // Valid faces with vi[2] == vi[3].
  int TriangleCount() const;
  // Valid faces with vi[2] != vi[3].
  int QuadCount() const;
  // Faces failing ON_MeshFace::IsValid(VertexCount()).
  int InvalidFaceCount() const;
  // VertexCount() > 0 && m_N.Count() == VertexCount().
  bool HasVertexNormals() const;
  // FaceCount() > 0 && m_FN.Count() == FaceCount().
  bool HasFaceNormals() const;
  // VertexCount() > 0 && m_T.Count() == VertexCount().
  bool HasTextureCoordinates() const;
  // VertexCount() > 0 && m_S.Count() == VertexCount().
  bool HasSurfaceParameters() const;
  // VertexCount() > 0 && m_dV.Count() == VertexCount().
  bool HasDoublePrecisionVertices() const;
  // No vertices and no faces.
  bool IsEmpty() const { return m_V.Count() <= 0 && m_F.Count() <= 0; }
  // Vertex i: the double copy when the mesh has them, else the float
  // widened. Unset point when i is out of range.
  ON_3dPoint Vertex(int vertex_index) const;

  // index == VertexCount() appends, index < VertexCount() overwrites,
  // anything else returns false and changes nothing. m_dV is written too
  // when it is in step with m_V (as it is for a mesh filled only through
  // SetVertex), so both stay in step; the float is a plain (float) cast.
  bool SetVertex(int vertex_index, const ON_3dPoint &vertex_location);
  bool SetVertex(int vertex_index, const ON_3fPoint &vertex_location);

  // SetQuad(face_index, a, b, c, c).
  bool SetTriangle(int face_index, int a, int b, int c);
  // face_index < FaceCount() overwrites, == FaceCount() appends, anything
  // else returns false storing nothing. A stored face is kept even when
  // invalid; the result is ON_MeshFace::IsValid(VertexCount()).
  bool SetQuad(int face_index, int a, int b, int c, int d);

  // FlipFaceOrientation, FlipFaceNormals and FlipVertexNormals.
  void Flip();
  // ON_MeshFace::Flip on every face.
  void FlipFaceOrientation();
  // Negates m_FN when HasFaceNormals().
  void FlipFaceNormals();
  // Negates m_N when HasVertexNormals().
  void FlipVertexNormals();
};
