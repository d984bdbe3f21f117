// Mesh building rules and validity.
#include "opennurbs.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// Unit square in z = 0 as vertices 0..3, plus vertex 4 above it.
ON_Mesh SquareMesh()
{
  ON_Mesh mesh(2, 5, false, false);
  const double xyz[5][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0.5, 0.5, 1}};
  for (int i = 0; i < 5; i++)
    mesh.SetVertex(i, ON_3dPoint(xyz[i][0], xyz[i][1], xyz[i][2]));
  return mesh;
}

} // namespace

TEST(Mesh, BuildingCountingAndFlipping)
{
  ON_Mesh mesh(4, 8, true, true);
  EXPECT_EQ(mesh.m_V.Capacity(), 8);
  EXPECT_EQ(mesh.m_N.Capacity(), 8);
  EXPECT_EQ(mesh.m_F.Capacity(), 4);
  EXPECT_TRUE(mesh.IsEmpty());
  EXPECT_FALSE(mesh.HasVertexNormals());

  // Vertex index rules: == count appends, < count overwrites, others fail.
  EXPECT_FALSE(mesh.SetVertex(-1, ON_3dPoint(0, 0, 0)));
  EXPECT_FALSE(mesh.SetVertex(1, ON_3dPoint(0, 0, 0)));
  EXPECT_TRUE(mesh.SetVertex(0, ON_3dPoint(0.1, 1.0 / 3.0, 0)));
  EXPECT_TRUE(mesh.SetVertex(1, ON_3dPoint(1, 0, 0)));
  EXPECT_TRUE(mesh.SetVertex(2, ON_3fPoint(0, 1, 0)));
  EXPECT_TRUE(mesh.SetVertex(2, ON_3dPoint(0, 2, 0)));
  EXPECT_EQ(mesh.VertexCount(), 3);
  ASSERT_TRUE(mesh.HasDoublePrecisionVertices());
  // The float vertex is the rounded value, the double copy is exact.
  EXPECT_EQ(mesh.m_V[0].x, 0.1f);
  EXPECT_NE((double)mesh.m_V[0].x, 0.1);
  EXPECT_NE((double)mesh.m_V[0].y, 1.0 / 3.0);
  EXPECT_EQ(mesh.m_dV[0].x, 0.1);
  EXPECT_EQ(mesh.Vertex(0), ON_3dPoint(0.1, 1.0 / 3.0, 0));
  EXPECT_EQ(mesh.m_dV[2], ON_3dPoint(0, 2, 0));

  // Faces: an invalid face is stored anyway; a gap is refused.
  EXPECT_TRUE(mesh.SetTriangle(0, 0, 1, 2));
  EXPECT_FALSE(mesh.SetTriangle(2, 0, 1, 2));
  EXPECT_FALSE(mesh.SetTriangle(-1, 0, 1, 2));
  EXPECT_FALSE(mesh.SetTriangle(1, 0, 1, 3));
  EXPECT_EQ(mesh.FaceCount(), 2);
  EXPECT_EQ(mesh.InvalidFaceCount(), 1);
  EXPECT_FALSE(mesh.IsValid());
  EXPECT_TRUE(mesh.SetVertex(3, ON_3dPoint(1, 1, 0))); // face 1 becomes valid
  EXPECT_EQ(mesh.InvalidFaceCount(), 0);
  EXPECT_TRUE(mesh.SetQuad(1, 0, 1, 3, 2));
  EXPECT_EQ(mesh.TriangleCount(), 1);
  EXPECT_EQ(mesh.QuadCount(), 1);
  EXPECT_TRUE(mesh.IsValid());

  // Flip keeps vi[0] and negates matching normal arrays only.
  mesh.m_FN.Append(ON_3fVector(0, 0, 1));
  mesh.m_FN.Append(ON_3fVector(0, 0, 1));
  mesh.m_N.Append(ON_3fVector(0, 0, 1)); // partial: left alone
  mesh.Flip();
  const int tri[4] = {0, 2, 1, 1}, quad[4] = {0, 2, 3, 1};
  for (int k = 0; k < 4; k++) {
    EXPECT_EQ(mesh.m_F[0].vi[k], tri[k]);
    EXPECT_EQ(mesh.m_F[1].vi[k], quad[k]);
  }
  EXPECT_EQ(mesh.m_FN[1], ON_3fVector(0, 0, -1));
  EXPECT_EQ(mesh.m_N[0], ON_3fVector(0, 0, 1));

  // Assignment copies independently; Destroy empties.
  ON_Mesh copy;
  copy.SetVertex(0, ON_3dPoint(9, 9, 9));
  copy = mesh;
  EXPECT_EQ(copy.VertexCount(), 4);
  EXPECT_EQ(copy.FaceCount(), 2);
  copy.m_V[0].x = 5;
  EXPECT_EQ(mesh.m_V[0].x, 0.1f);
  ON_Mesh constructed(mesh);
  EXPECT_EQ(constructed.m_dV.Count(), 4);
  mesh.Destroy();
  EXPECT_TRUE(mesh.IsEmpty());
  EXPECT_EQ(mesh.m_V.Array(), nullptr);
  EXPECT_EQ(mesh.m_dV.Count(), 0);
  EXPECT_EQ(mesh.m_N.Count(), 0);
  mesh.Flip(); // nothing to do on an empty mesh

  // A float-only mesh: SetVertex leaves m_dV alone.
  ON_Mesh floats;
  floats.m_V.Append(ON_3fPoint(0, 0, 0));
  EXPECT_TRUE(floats.SetVertex(1, ON_3dPoint(1, 0, 0)));
  EXPECT_EQ(floats.m_dV.Count(), 0);
  EXPECT_FALSE(floats.HasDoublePrecisionVertices());
}

TEST(Mesh, ValidityTable)
{
  struct Case
  {
    const char *name;
    std::function<void(ON_Mesh &)> edit;
    bool valid;
  };
  const Case cases[] = {
      {"triangle", [](ON_Mesh &m) { m.SetTriangle(0, 0, 1, 2); }, true},
      {"quad", [](ON_Mesh &m) { m.SetQuad(0, 0, 1, 2, 3); }, true},
      {"unreferenced vertex", [](ON_Mesh &m) { m.SetTriangle(0, 0, 1, 4); }, true},
      {"no faces", [](ON_Mesh &) {}, false},
      {"two vertices",
       [](ON_Mesh &m) {
         m.m_V.SetCount(2);
         m.m_dV.SetCount(2);
         m.SetTriangle(0, 0, 1, 1);
       },
       false},
      {"index out of range", [](ON_Mesh &m) { m.SetTriangle(0, 0, 1, 5); }, false},
      {"negative index", [](ON_Mesh &m) { m.SetTriangle(0, 0, -1, 2); }, false},
      {"repeated index", [](ON_Mesh &m) { m.SetTriangle(0, 0, 1, 1); }, false},
      {"quad with vi[3] == vi[0]", [](ON_Mesh &m) { m.SetQuad(0, 0, 1, 2, 0); }, false},
      {"quad with vi[3] == vi[1]", [](ON_Mesh &m) { m.SetQuad(0, 0, 1, 2, 1); }, false},
      {"corners at one location",
       [](ON_Mesh &m) {
         m.SetVertex(4, ON_3dPoint(1, 0, 0));
         m.SetTriangle(0, 0, 1, 4);
       },
       false},
      {"float-only corners at one location",
       [](ON_Mesh &m) {
         m.m_dV.Destroy();
         m.m_V[4] = m.m_V[1];
         m.SetTriangle(0, 0, 1, 4);
       },
       false},
      {"partial normals",
       [](ON_Mesh &m) {
         m.SetTriangle(0, 0, 1, 2);
         m.m_N.Append(ON_3fVector(0, 0, 1));
       },
       false},
      {"partial texture coordinates",
       [](ON_Mesh &m) {
         m.SetTriangle(0, 0, 1, 2);
         m.m_T.Append(ON_2fPoint(0, 0));
       },
       false},
      {"unit normals",
       [](ON_Mesh &m) {
         m.SetTriangle(0, 0, 1, 2);
         for (int i = 0; i < 5; i++)
           m.m_N.Append(ON_3fVector(0, 0.6f, 0.8f));
       },
       true},
      {"short normal",
       [](ON_Mesh &m) {
         m.SetTriangle(0, 0, 1, 2);
         for (int i = 0; i < 5; i++)
           m.m_N.Append(ON_3fVector(0, 0, i == 3 ? 0.99f : 1.0f));
       },
       false},
      {"double copy out of step",
       [](ON_Mesh &m) {
         m.SetTriangle(0, 0, 1, 2);
         m.m_dV[3].x += 1e-3;
       },
       false},
      {"double copy differing below float precision",
       [](ON_Mesh &m) {
         m.SetTriangle(0, 0, 1, 2);
         m.m_dV[2].x += 1e-12; // 1 + 1e-12 rounds to 1.0f
       },
       true},
      {"NaN vertex with double copy",
       [](ON_Mesh &m) {
         m.SetTriangle(0, 0, 1, 2);
         m.SetVertex(4, ON_3dPoint(ON_DBL_QNAN, 0, 0));
       },
       false},
      {"infinite vertex with double copy",
       [](ON_Mesh &m) {
         m.SetTriangle(0, 0, 1, 2);
         m.SetVertex(4, ON_3dPoint(ON_DBL_PINF, 0, 0));
       },
       true},
      {"NaN vertex, float only",
       [](ON_Mesh &m) {
         m.m_dV.Destroy();
         m.SetTriangle(0, 0, 1, 2);
         m.m_V[4].x = ON_FLT_QNAN;
       },
       true},
      {"double copy of the wrong size",
       [](ON_Mesh &m) {
         m.SetTriangle(0, 0, 1, 2);
         m.m_dV.SetCount(4);
       },
       false},
  };
  for (const Case &c : cases) {
    ON_Mesh mesh = SquareMesh();
    c.edit(mesh);
    EXPECT_EQ(mesh.IsValid(), c.valid) << c.name;
  }
}
