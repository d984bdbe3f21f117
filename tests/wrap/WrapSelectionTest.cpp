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

TEST(WrapMesh, ZeroChoosesTheConvexWrapAnyOtherValueTheConcaveOne)
{
  const ON_3dPointArray cloud = DentedCloud();
  ON_Mesh convex, concave, chosen;
  ASSERT_EQ(PMSurface::WrapConvexMesh(convex, cloud, 0), 1);
  ASSERT_EQ(PMSurface::WrapConcaveMesh(concave, cloud, 0), 1);
  EXPECT_TRUE(IsClosedAndConsistentlyOriented(convex));
  ASSERT_FALSE(SameMesh(convex, concave));
  ASSERT_EQ(PMSurface::WrapMesh(chosen, cloud, 0, 0), 1);
  EXPECT_TRUE(SameMesh(chosen, convex));
  for (int choice : {1, 2, -1}) {
    ASSERT_EQ(PMSurface::WrapMesh(chosen, cloud, choice, 0), 1) << choice;
    EXPECT_TRUE(SameMesh(chosen, concave)) << choice;
  }
  for (int choice : {0, 1}) {
    PMSurface::SetError(CString(L"before"));
    ON_Mesh untouched = MarkerMesh();
    EXPECT_EQ(PMSurface::WrapMesh(untouched, ON_3dPointArray(), choice, 0), 0);
    EXPECT_EQ(PMSurface::GetError(), L"Invalid mesh");
    EXPECT_TRUE(SameMesh(untouched, MarkerMesh()));
  }
}

TEST(WrapProgress, OnlyFlagOneOpensOneWindowTitledWithTheWrap)
{
  static int argc = 1;
  static char name[] = "test_wrap";
  static char *argv[] = {name, nullptr};
  if (!qApp)
    new QApplication(argc, argv); // lives for the rest of the process
  ShownWindows shown;
  qApp->installEventFilter(&shown);
  const ON_3dPointArray cloud = DentedCloud();
  const wchar_t *titles[] = {L"Wrapping convex mesh", L"Wrapping concave mesh"};
  for (int concave : {0, 1}) {
    for (int flag : {0, 2, -1}) {
      thePipelineProgress.SetTitle(CString(L"untouched"));
      shown.count = 0;
      ON_Mesh mesh;
      ASSERT_EQ(PMSurface::WrapMesh(mesh, cloud, concave, flag), 1);
      EXPECT_EQ(shown.count, 0) << "flag " << flag;
      EXPECT_EQ(thePipelineProgress.GetTitle(), L"untouched") << "flag " << flag;
    }
    shown.count = 0;
    ON_Mesh withProgress, without;
    ASSERT_EQ(PMSurface::WrapMesh(withProgress, cloud, concave, 1), 1);
    EXPECT_EQ(shown.count, 1);
    EXPECT_EQ(thePipelineProgress.GetTitle(), titles[concave]);
    ASSERT_EQ(PMSurface::WrapMesh(without, cloud, concave, 0), 1);
    EXPECT_TRUE(SameMesh(withProgress, without)); // progress changes nothing
  }
  qApp->removeEventFilter(&shown);
}
