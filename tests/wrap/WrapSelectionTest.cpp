// WrapMesh's choice of wrap, and the progress window of a wrap.
#include "MeshChecks.h"
#include "PMSurface.h"
#include "ui/PipelineProgress.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <gtest/gtest.h>

using namespace pelmora::test;

namespace {

// A sphere with a dent: the two wraps give clearly different meshes.
ON_3dPointArray DentedCloud()
{
  ON_3dPointArray cloud = SphereCloud(800, 1.0, ON_3dPoint(0, 0, 0));
  for (int i = 0; i < cloud.Count(); ++i)
    if (cloud[i].z > 0.6)
      cloud[i].z = 1.2 - cloud[i].z;
  return cloud;
}

// Counts the top-level windows shown while installed on the application.
struct ShownWindows : QObject
{
  int count = 0;
  bool eventFilter(QObject *object, QEvent *event) override
  {
    count += event->type() == QEvent::Show && object->isWidgetType() &&
             static_cast<QWidget *>(object)->isWindow();
    return false;
  }
};

} // namespace

TEST(WrapMesh, ZeroChoosesTheConvexWrapAndOnlyFlagOneOpensOneWindowTitledWithTheWrap)
{
  EnsureApplication();
  ShownWindows shown;
  qApp->installEventFilter(&shown);
  const ON_3dPointArray cloud = DentedCloud();
  ON_Mesh direct[2];
  ASSERT_EQ(PMSurface::WrapConvexMesh(direct[0], cloud, 0), 1);
  ASSERT_EQ(PMSurface::WrapConcaveMesh(direct[1], cloud, 0), 1);
  ASSERT_FALSE(SameMesh(direct[0], direct[1]));
  const wchar_t *titles[] = {L"Wrapping convex mesh", L"Wrapping concave mesh"};
  for (int choice : {0, 1, 2, -1}) {
    const int concave = choice != 0;
    for (int flag : {0, 1, 2, -1}) {
      SCOPED_TRACE(testing::Message() << "choice " << choice << " flag " << flag);
      thePipelineProgress.SetTitle(CString(L"untouched"));
      shown.count = 0;
      ON_Mesh mesh;
      ASSERT_EQ(PMSurface::WrapMesh(mesh, cloud, choice, flag), 1);
      EXPECT_TRUE(SameMesh(mesh, direct[concave]));
      EXPECT_EQ(shown.count, flag == 1 ? 1 : 0);
      EXPECT_EQ(thePipelineProgress.GetTitle(), flag == 1 ? titles[concave] : L"untouched");
      if (flag == 1) {
        EXPECT_EQ(thePipelineProgress.GetCurrent(), 100.0); // the last value before closing
      }
    }
    ON_Mesh untouched = MarkerMesh();
    EXPECT_EQ(PMSurface::WrapMesh(untouched, ON_3dPointArray(), choice, 0), 0);
    EXPECT_TRUE(SameMesh(untouched, MarkerMesh()));
  }
  qApp->removeEventFilter(&shown);
}
