// PMSurface: the surface-reconstruction operations of the pelmora library.
//
// Every operation is a static member; a host never needs an instance.
// Geometry is passed as openNURBS objects owned by the caller. Operations
// that can fail return 1 for success and 0 for failure; after a 0 the
// message is read with GetError(). No operation clears the error text, and
// no exception leaves the library.
//
// Messages: "Cancelled", "Incorrect number of control points",
// "Invalid Nurbs Surface", "Invalid mesh".
#pragma once

#include "PMExport.h"
#include "PMFramework.h"
#include "PMProgress.h"
#include "opennurbs.h"

class PELMORA_API PMSurface
{
public:
  PMSurface();
  ~PMSurface();
  // Copies nothing and returns the object itself.
  PMSurface &operator=(const PMSurface &);

  // Drapes a NURBS surface over `points` seen along `direction`: aligns a
  // copy of the cloud, suggests rows and columns, asks the user in the
  // "Surface Parameters" window (owner: *parent, or the thread's main window
  // when parent is null), builds the point matrix (interior holes filled
  // when `interpolate` is non-zero), rotates it back, fits the surface and,
  // for a probe diameter other than 0, offsets it by half the diameter
  // against the surface normal.
  //   matrix  out: rows x cols points, row-major, caller's orientation.
  //   rows, cols out: the counts used (their entry values are ignored).
  //   surface out: the fitted surface (left as the fit left it on failure).
  // Result: 1 once the matrix is built (a failed fit only sets the error
  // text); 0 with "Cancelled" when the user cancels (matrix and surface are
  // then untouched).
  static int DrapeSurface(ON_3dPointArray &matrix, int &rows, int &cols, ON_NurbsSurface &surface,
                          const ON_3dPointArray &points, const ON_3dVector &direction,
                          int interpolate, int showProgress, HWND const *parent);

  // Rotates `points` in place about the origin. invert != 0 carries
  // `direction` onto (0, 0, -1) (align); invert == 0 applies the reverse
  // rotation (back). The six axis directions use exact coordinate maps;
  // (0, 0, -1) leaves the points untouched. A zero or non-finite direction
  // leaves the points untouched as well.
  static void TransformPoints(ON_3dPointArray &points, const ON_3dVector &direction, int invert,
                              int showProgress);

  // Suggests rows and columns for a grid over the x-y extent of `points`
  // (about one grid point per point, square cells). `direction` is not used.
  // Always writes both outputs, at least 1 each.
  static void AnalyzePoints(const ON_3dPointArray &points, const ON_3dVector &direction, int &rows,
                            int &cols);

  // Shows the modal "Surface Parameters" window with the given values.
  // Result: 1 with the accepted values (also when no window can open: the
  // values are then returned as they came); 0 with "Cancelled", values
  // unchanged.
  static int GetSurfaceParameters(int &rows, int &cols, double &probeDiameter, HWND const *parent);

  // Builds the point matrix: a rows x cols grid over the bounding box of the
  // aligned cloud `points`, each node carrying the highest z of the points
  // nearest to it. Holes are lowered to the lowest z, or (interpolate != 0)
  // border holes lowered and interior holes interpolated. `matrix` is
  // replaced. Result: 1; 0 with an error text when the grid cannot be built
  // (counts below 1, a product beyond int, no finite point, no memory).
  static int CreatePointMatrix(const ON_3dPointArray &points, int rows, int cols,
                               ON_3dPointArray &matrix, int interpolate, int showProgress);

  // Makes a biquadratic clamped uniform NURBS surface whose control point
  // (i, j) is matrix element j * cols + i.
  // Result: 1; 0 with "Incorrect number of control points" (surface
  // untouched) or "Invalid Nurbs Surface" (surface left empty when it could
  // not be created, otherwise as built).
  static int CreateSurfaceFromPointMatrix(ON_NurbsSurface &surface, ON_3dPointArray &matrix,
                                          int rows, int cols, int showProgress);

  // Moves every matrix point by `distance` along the unit normal of
  // `surface` at its closest point, then fits `surface` again through the
  // moved matrix. Points are left unmoved when `surface` is not valid or no
  // closest point is found. Result: always 1 (the refit may set an error).
  static int Offset(ON_3dPointArray &matrix, int rows, int cols, ON_NurbsSurface &surface,
                    double distance, int showProgress);

  // Wraps `points` in a closed mesh: the convex hull (concave == 0) or a
  // reconstructed surface that follows hollows (concave != 0). Only
  // showProgress == 1 shows progress. Result: 1; 0 with "Invalid mesh",
  // `mesh` untouched.
  static int WrapMesh(ON_Mesh &mesh, const ON_3dPointArray &points, int concave, int showProgress);
  static int WrapConcaveMesh(ON_Mesh &mesh, const ON_3dPointArray &points, int showProgress);
  static int WrapConvexMesh(ON_Mesh &mesh, const ON_3dPointArray &points, int showProgress);

  // The message of the most recent failure (empty before any).
  static CString GetError();
  static void SetError(const CString &error);

protected:
  // Fills hole `index` (row `row`, column `col`) of a point matrix with the
  // inverse-distance mean of the nearest known cell (z >= floorZ) to the
  // left, right, previous and next row. Never reads or writes outside the
  // matrix; a call outside its precondition uses the neighbours that exist
  // and leaves the cell unchanged when there are none.
  static void InterpolatePoint(ON_3dPointArray &matrix, int rows, int cols, int index, int row,
                               int col, double floorZ);
};
