// The drape without the parameters window: the one sequence of steps that
// PMSurface::DrapeSurface runs after asking, and that the pelmora tool and
// the benchmarks run with a grid and a probe they already know.
//
// Internal to the project (not installed): exported from the shared library
// only so that the tool can call it.
//
//   DrapeFrame frame(points, direction, showProgress); // copy and align
//   frame.SuggestGrid(settings.rows, settings.cols);   // optional
//   frame.Drape(settings, matrix, surface);            // grid, back, fit, offset
#pragma once

#include "PMExport.h"
#include "opennurbs.h"

namespace pelmora {

// How a drape is built once the cloud is aligned.
struct DrapeSettings
{
  int rows = 1;               // grid rows (counts below 1 are refused by the grid)
  int cols = 1;               // grid columns
  double probeDiameter = 0.0; // 0: no compensation; otherwise offset by -diameter / 2
  int interpolate = 0;        // hole rule: non-zero fills interior holes from neighbours
  int showProgress = 0;       // non-zero: every step shows its progress window
};

// The caller's cloud seen along the drape direction: a working copy rotated
// so that the direction points straight down (the only copy of the cloud a
// drape makes). The caller's cloud is never changed.
class PELMORA_API DrapeFrame
{
public:
  // Copies `points` and aligns the copy (TransformPoints with invert 1).
  // Throws std::bad_alloc when the copy cannot get its memory.
  DrapeFrame(const ON_3dPointArray &points, const ON_3dVector &direction, int showProgress);

  // The grid AnalyzePoints suggests for the aligned cloud.
  void SuggestGrid(int &rows, int &cols) const;

  // The aligned cloud (empty once Drape has built the matrix).
  const ON_3dPointArray &AlignedPoints() const { return m_aligned; }
  const ON_3dVector &Direction() const { return m_direction; }

  // Builds the rows x cols point matrix over the aligned cloud with the hole
  // rule, releases the aligned cloud, rotates the matrix back, fits the
  // surface and, for a probe diameter other than 0, compensates it.
  // Result: 1 once the matrix is built (a failed fit only leaves its message
  // and the surface as the fit left it: test the surface's validity); 0 with
  // the grid's message when the grid cannot be laid (surface untouched).
  // `folds` (optional) receives the control points where the compensation
  // folds the surface over itself (PMSurface::FindProbeFolds on the surface
  // before it is compensated); empty without a probe or a valid fit.
  int Drape(const DrapeSettings &settings, ON_3dPointArray &matrix, ON_NurbsSurface &surface,
            ON_SimpleArray<int> *folds = nullptr);

private:
  ON_3dPointArray m_aligned;
  ON_3dVector m_direction;
};

} // namespace pelmora
