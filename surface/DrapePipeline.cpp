// The drape steps after the parameters window, in their fixed order. Every
// step is an exported PMSurface operation; this file only orchestrates them.
#include "surface/DrapePipeline.h"

#include "PMSurface.h"

#include <new>

namespace pelmora {

DrapeFrame::DrapeFrame(const ON_3dPointArray &points, const ON_3dVector &direction,
                       int showProgress)
    : m_aligned(points), m_direction(direction)
{
  // A copy that could not get its memory comes back empty.
  if (m_aligned.Count() != points.Count())
    throw std::bad_alloc();
  PMSurface::TransformPoints(m_aligned, m_direction, 1, showProgress);
}

void DrapeFrame::SuggestGrid(int &rows, int &cols) const
{
  PMSurface::AnalyzePoints(m_aligned, m_direction, rows, cols);
}

int DrapeFrame::Drape(const DrapeSettings &settings, ON_3dPointArray &matrix,
                      ON_NurbsSurface &surface, ON_SimpleArray<int> *folds)
{
  if (folds)
    folds->SetCount(0);
  const int show = settings.showProgress;
  if (!PMSurface::CreatePointMatrix(m_aligned, settings.rows, settings.cols, matrix,
                                    settings.interpolate, show))
    return 0;
  m_aligned.Destroy(); // not needed any more; frees its memory before the fit

  PMSurface::TransformPoints(matrix, m_direction, 0, show);
  const int fitted =
      PMSurface::CreateSurfaceFromPointMatrix(surface, matrix, settings.rows, settings.cols, show);
  if (folds && fitted && settings.probeDiameter != 0.0)
    PMSurface::FindProbeFolds(surface, settings.probeDiameter, *folds);
  // The probe radius, along the drape direction (against the normal).
  if (settings.probeDiameter != 0.0)
    PMSurface::Offset(matrix, settings.rows, settings.cols, surface, -0.5 * settings.probeDiameter,
                      show);
  return 1;
}

} // namespace pelmora
