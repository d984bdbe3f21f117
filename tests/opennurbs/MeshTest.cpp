// Mesh building rules and validity.
#include "opennurbs.h"

#include <gtest/gtest.h>

TEST(Mesh, BuildingCountingAndFlipping)
{
  ON_Mesh mesh(4, 8, true, true);
  EXPECT_TRUE(mesh.m_V.Capacity() == 8 && mesh.m_N.Capacity() == 8 && mesh.m_F.Capacity() == 4);
  EXPECT_TRUE(mesh.IsEmpty());

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
  EXPECT_NE((double)mesh.m_V[0].y, 1.0 / 3.0);
  EXPECT_EQ(mesh.Vertex(0), ON_3dPoint(0.1, 1.0 / 3.0, 0));
  EXPECT_EQ(mesh.m_dV[2], ON_3dPoint(0, 2, 0));

  // Faces: an invalid face is stored anyway; a gap is refused.
  EXPECT_TRUE(mesh.SetTriangle(0, 0, 1, 2));
  EXPECT_FALSE(mesh.SetTriangle(2, 0, 1, 2));
  EXPECT_FALSE(mesh.SetTriangle(-1, 0, 1, 2));
  EXPECT_FALSE(mesh.SetTriangle(1, 0, 1, 3));
  EXPECT_EQ(mesh.FaceCount(), 2);
  EXPECT_EQ(mesh.InvalidFaceCount(), 1);
  EXPECT_TRUE(mesh.SetVertex(3, ON_3dPoint(1, 1, 0))); // face 1 becomes valid
  EXPECT_EQ(mesh.InvalidFaceCount(), 0);
  EXPECT_TRUE(mesh.SetQuad(1, 0, 1, 3, 2));
  EXPECT_TRUE(mesh.TriangleCount() == 1 && mesh.QuadCount() == 1);
  EXPECT_TRUE(mesh.IsValid());

  // Flip keeps vi[0] and negates matching normal arrays only.
  mesh.m_FN.Append(ON_3fVector(0, 0, 1));
  mesh.m_FN.Append(ON_3fVector(0, 0, 1));
  mesh.m_N.Append(ON_3fVector(0, 0, 1)); // partial: left alone
  mesh.Flip();
  const int tri[4] = {0, 2, 1, 1}, quad[4] = {0, 2, 3, 1};
  for (int k = 0; k < 4; k++)
    EXPECT_TRUE(mesh.m_F[0].vi[k] == tri[k] && mesh.m_F[1].vi[k] == quad[k]) << k;
  EXPECT_EQ(mesh.m_FN[1], ON_3fVector(0, 0, -1));
  EXPECT_EQ(mesh.m_N[0], ON_3fVector(0, 0, 1));

  // Copies are independent; Destroy empties.
  ON_Mesh copy;
  copy.SetVertex(0, ON_3dPoint(9, 9, 9));
  copy = mesh;
  EXPECT_TRUE(copy.VertexCount() == 4 && copy.FaceCount() == 2);
  copy.m_V[0].x = 5;
  EXPECT_EQ(mesh.m_V[0].x, 0.1f);
  EXPECT_EQ(ON_Mesh(mesh).m_dV.Count(), 4);
  mesh.Destroy();
  EXPECT_TRUE(mesh.IsEmpty());
  EXPECT_EQ(mesh.m_V.Array(), nullptr);
  EXPECT_TRUE(mesh.m_dV.Count() == 0 && mesh.m_N.Count() == 0);
  mesh.Flip(); // nothing to do on an empty mesh

  // A float-only mesh: SetVertex leaves m_dV alone.
  ON_Mesh floats;
  floats.m_V.Append(ON_3fPoint(0, 0, 0));
  EXPECT_TRUE(floats.SetVertex(1, ON_3dPoint(1, 0, 0)));
  EXPECT_EQ(floats.m_dV.Count(), 0);
}

TEST(Mesh, ValidityTable)
{
  // Each case starts from the unit square in z = 0 (vertices 0..3) plus the
  // apex 4, gets one face (its corner digits, '-' for -1), then an edit.
  using Edit = void (*)(ON_Mesh &);
  const struct
  {
    const char *name;
    const char *face;
    Edit edit;
    bool valid;
  } cases[] = {
      {"triangle", "012", nullptr, true},
      {"quad", "0123", nullptr, true},
      {"unreferenced vertex", "014", nullptr, true},
      {"no faces", "", nullptr, false},
      {"index out of range", "015", nullptr, false},
      {"negative index", "0-2", nullptr, false},
      {"repeated index", "011", nullptr, false},
      {"quad with vi[3] == vi[0]", "0120", nullptr, false},
      {"quad with vi[3] == vi[1]", "0121", nullptr, false},
      {"corners at one location", "014", [](ON_Mesh &m) { m.SetVertex(4, ON_3dPoint(1, 0, 0)); },
       false},
      {"float-only corners at one location", "014",
       [](ON_Mesh &m) {
         m.m_dV.Destroy();
         m.m_V[4] = m.m_V[1];
       },
       false},
      {"partial normals", "012", [](ON_Mesh &m) { m.m_N.Append(ON_3fVector(0, 0, 1)); }, false},
      {"partial texture coordinates", "012", [](ON_Mesh &m) { m.m_T.Append(ON_2fPoint(0, 0)); },
       false},
      {"unit normals", "012",
       [](ON_Mesh &m) {
         for (int i = 0; i < 5; i++)
           m.m_N.Append(ON_3fVector(0, 0.6f, 0.8f));
       },
       true},
      {"short normal", "012",
       [](ON_Mesh &m) {
         for (int i = 0; i < 5; i++)
           m.m_N.Append(ON_3fVector(0, 0, i == 3 ? 0.99f : 1.0f));
       },
       false},
      {"double copy out of step", "012", [](ON_Mesh &m) { m.m_dV[3].x += 1e-3; }, false},
      // 1 + 1e-12 rounds to 1.0f
      {"double copy differing below float precision", "012",
       [](ON_Mesh &m) { m.m_dV[2].x += 1e-12; }, true},
      {"NaN vertex with double copy", "012",
       [](ON_Mesh &m) { m.SetVertex(4, ON_3dPoint(ON_DBL_QNAN, 0, 0)); }, false},
      {"infinite vertex with double copy", "012",
       [](ON_Mesh &m) { m.SetVertex(4, ON_3dPoint(ON_DBL_PINF, 0, 0)); }, true},
      {"NaN vertex, float only", "012",
       [](ON_Mesh &m) {
         m.m_dV.Destroy();
         m.m_V[4].x = ON_FLT_QNAN;
       },
       true},
      {"double copy of the wrong size", "012", [](ON_Mesh &m) { m.m_dV.SetCount(4); }, false},
  };
  const double xyz[5][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0.5, 0.5, 1}};
  for (const auto &c : cases) {
    ON_Mesh mesh(2, 5, false, false);
    for (int i = 0; i < 5; i++)
      mesh.SetVertex(i, ON_3dPoint(xyz[i][0], xyz[i][1], xyz[i][2]));
    int vi[4] = {0, 0, 0, 0};
    for (int k = 0; c.face[k]; k++)
      vi[k] = c.face[k] == '-' ? -1 : c.face[k] - '0';
    if (c.face[0] && !c.face[3])
      mesh.SetTriangle(0, vi[0], vi[1], vi[2]);
    else if (c.face[0])
      mesh.SetQuad(0, vi[0], vi[1], vi[2], vi[3]);
    if (c.edit)
      c.edit(mesh);
    EXPECT_EQ(mesh.IsValid(), c.valid) << c.name;
  }
}
