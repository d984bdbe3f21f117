// PMSurface::GetSurfaceParameters: the modal "Surface Parameters" window.
#include "PMSurface.h"

#include "framework/AfxModule.h"
#include "framework/Guarded.h"
#include "framework/WinApp.h"
#include "ui/LibraryModule.h"
#include "ui/SurfaceParametersDlg.h"

namespace {

// The owner by the parent-window convention: the window behind `parent`, or
// for a null pointer the thread's main window (none when there is none).
CWnd *ParentWindow(HWND const *parent)
{
  if (parent)
    return CWnd::FromHandle(*parent);
  CWinThread *thread = AfxGetThread();
  return thread ? thread->GetMainWnd() : nullptr;
}

} // namespace

int PMSurface::GetSurfaceParameters(int &rows, int &cols, double &probeDiameter, HWND const *parent)
{
  AFX_MAINTAIN_STATE2 moduleState(LibraryModuleState());
  // A window that failed while it ran is treated like one that never
  // opened: the values stay as they came in, and the result is 1.
  return pelmora::Guarded(
      [&] {
        CSurfaceParametersDlg dialog(ParentWindow(parent));
        dialog.m_nRows = rows;
        dialog.m_nCols = cols;
        dialog.m_dProbeDiameter = probeDiameter;
        if (dialog.DoModal() == IDCANCEL) {
          SetError(L"Cancelled");
          return 0;
        }
        // IDOK, or a window that could not open (the values then come back
        // as they went in).
        rows = dialog.m_nRows;
        cols = dialog.m_nCols;
        probeDiameter = dialog.m_dProbeDiameter;
        return 1;
      },
      [](pelmora::Failure) noexcept { return 1; });
}
