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

// A sphere cloud with a dent: the two wraps give clearly different meshes.
ON_3dPointArray DentedCloud()
{
  ON_3dPointArray cloud = SphereCloud(800, 1.0, ON_3dPoint(0, 0, 0));
  for (int i = 0; i < cloud.Count(); ++i)
    if (cloud[i].z > 0.6)
      cloud[i].z = 0.6 - (cloud[i].z - 0.6);
  return cloud;
}

// Counts the top-level windows shown while it is installed.
class ShownWindows : public QObject
{
public:
  int count = 0;
  bool eventFilter(QObject *object, QEvent *event) override
  {
    if (event->type() == QEvent::Show && object->isWidgetType() &&
        static_cast<QWidget *>(object)->isWindow())
      ++count;
    return false;
  }
};

QApplication &Application()
{
  static int argc = 1;
  static char name[] = "test_wrap";
  static char *argv[] = {name, nullptr};
  static QApplication *app = qApp ? nullptr : new QApplication(argc, argv);
  (void)app;
  return *static_cast<QApplication *>(QCoreApplication::instance());
}

} // namespace

TEST(WrapMesh, ZeroChoosesTheConvexWrapAnyOtherValueTheConcaveOne)
{
  const ON_3dPointArray cloud = DentedCloud();
  ON_Mesh convex, concave;
  ASSERT_EQ(PMSurface::WrapConvexMesh(convex, cloud, 0), 1);
  ASSERT_EQ(PMSurface::WrapConcaveMesh(concave, cloud, 0), 1);
  ASSERT_FALSE(SameMesh(convex, concave));

  ON_Mesh chosen;
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
  QApplication &app = Application();
  ShownWindows shown;
  app.installEventFilter(&shown);
  const ON_3dPointArray cloud = DentedCloud();
  struct Case
  {
    int concave;
    const wchar_t *title;
  };
  for (const Case c : {Case{0, L"Wrapping convex mesh"}, Case{1, L"Wrapping concave mesh"}}) {
    for (int flag : {0, 2, -1}) {
      thePipelineProgress.SetTitle(CString(L"untouched"));
      shown.count = 0;
      ON_Mesh mesh;
      ASSERT_EQ(PMSurface::WrapMesh(mesh, cloud, c.concave, flag), 1);
      EXPECT_EQ(shown.count, 0) << "flag " << flag;
      EXPECT_EQ(thePipelineProgress.GetTitle(), L"untouched") << "flag " << flag;
    }
    shown.count = 0;
    ON_Mesh withProgress, without;
    ASSERT_EQ(PMSurface::WrapMesh(withProgress, cloud, c.concave, 1), 1);
    EXPECT_EQ(shown.count, 1);
    EXPECT_EQ(thePipelineProgress.GetTitle(), c.title);
    // Progress changes nothing in the result.
    ASSERT_EQ(PMSurface::WrapMesh(without, cloud, c.concave, 0), 1);
    EXPECT_TRUE(SameMesh(withProgress, without));
  }
  app.removeEventFilter(&shown);
}
