// Drapes a sample dome on the Qt toolkit and saves a picture of the
// "Surface Parameters" window as the drape shows it, then cancels.
//   capture_parameters_dialog <picture.png>
#include "PMSurface.h"
#include "drape/HeightFieldCloud.h"
#include "drape/QtDialogDriver.h"

#include <QPixmap>

#include <cstdio>

int main(int argc, char **argv)
{
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <picture.png>\n", argv[0]);
    return 2;
  }
  drape_test::UseQtToolkit();
  bool saved = false;
  drape_test::WhenModal([&](QWidget *dialog) {
    saved = dialog->grab().save(QString::fromLocal8Bit(argv[1]), "PNG");
    dialog->close();
  });
  const ON_3dPointArray cloud = drape_test::uniformCloud(1200, 60.0, 40.0, drape_test::dome);
  ON_3dPointArray matrix;
  ON_NurbsSurface surface;
  int rows = 0, cols = 0;
  const int result = PMSurface::DrapeSurface(matrix, rows, cols, surface, cloud,
                                             ON_3dVector(0, 0, -1), 1, 0, nullptr);
  if (!saved || result != 0) {
    std::fprintf(stderr, "no picture of the parameters window was taken\n");
    return 1;
  }
  return 0;
}
