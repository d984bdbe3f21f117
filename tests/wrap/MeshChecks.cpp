#include "MeshChecks.h"

#include "PMSurface.h"
#include "support/PointCloudGenerator.h"

#include <QApplication>
#include <gtest/gtest.h>
#include <vtkNew.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkSurfaceReconstructionFilter.h>

#include <cmath>

namespace pelmora::test {

ON_3dPointArray SphereCloud(int count, double radius, const ON_3dPoint &centre)
{
  return Cloud(count, [&](int i) {
    const double z = 1.0 - 2.0 * (i + 0.5) / count, ring = std::sqrt(1.0 - z * z);
    const double angle = M_PI * (3.0 - std::sqrt(5.0)) * i;
    return centre + ON_3dPoint(ring * std::cos(angle), ring * std::sin(angle), z) * radius;
  });
}

ON_3dPointArray TorusCloud(int count, double ringRadius, double tubeRadius)
{
  Random random(7);
  const int around = static_cast<int>(std::sqrt(count * ringRadius / tubeRadius));
  const int across = count / around;
  return Cloud(around * across, [&](int k) {
    const double u = 2.0 * M_PI * (k / across + random.Uniform(-0.2, 0.2)) / around;
    const double v = 2.0 * M_PI * (k % across + random.Uniform(-0.2, 0.2)) / across;
    const double rho = ringRadius + tubeRadius * std::cos(v);
    return ON_3dPoint(rho * std::cos(u), rho * std::sin(u), tubeRadius * std::sin(v));
  });
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

void ExpectWrapFails(int (*wrap)(ON_Mesh &, const ON_3dPointArray &, int),
                     const ON_3dPointArray &cloud, int caseIndex)
{
  PMSurface::SetError(CString(L"before"));
  ON_Mesh mesh = MarkerMesh();
  EXPECT_EQ(wrap(mesh, cloud, 0), 0) << "case " << caseIndex;
  EXPECT_EQ(PMSurface::GetError(), L"Invalid mesh") << "case " << caseIndex;
  EXPECT_TRUE(SameMesh(mesh, MarkerMesh())) << "case " << caseIndex;
}

void EnsureApplication()
{
  static int argc = 1;
  static char name[] = "test_wrap";
  static char *argv[] = {name, nullptr};
  if (!qApp)
    new QApplication(argc, argv); // lives for the rest of the process
}

vtkSmartPointer<vtkImageData> ReconstructionVolume(const ON_3dPointArray &cloud)
{
  vtkNew<vtkPoints> points;
  for (int i = 0; i < cloud.Count(); ++i)
    points->InsertNextPoint(cloud[i].x, cloud[i].y, cloud[i].z);
  vtkNew<vtkPolyData> input;
  input->SetPoints(points);
  vtkNew<vtkSurfaceReconstructionFilter> filter;
  filter->SetInputData(input);
  filter->Update();
  return filter->GetOutput();
}

} // namespace pelmora::test
