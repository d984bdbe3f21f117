// Message boxes of the Qt toolkit.
#include "framework/qt/QtToolkitParts.h"

#include <QMessageBox>

int RunQtMessageBox(QWidget *owner, const CString &text, const CString &caption, UINT type)
{
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  switch (type & MB_ICONMASK) {
  case MB_ICONERROR:
    icon = QMessageBox::Critical;
    break;
  case MB_ICONQUESTION:
    icon = QMessageBox::Question;
    break;
  case MB_ICONEXCLAMATION:
    icon = QMessageBox::Warning;
    break;
  case MB_ICONINFORMATION:
    icon = QMessageBox::Information;
    break;
  }
  const bool withCancel = (type & MB_TYPEMASK) == MB_OKCANCEL;
  QMessageBox box(icon, ToQString(caption), ToQString(text),
                  withCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok, owner);
  return box.exec() == QMessageBox::Cancel ? IDCANCEL : IDOK;
}
