// PMSurface: the surface-reconstruction operations of the pelmora library.
//
// Every operation is a static member; a host never needs an instance.
// Geometry is passed as openNURBS objects owned by the caller. Operations
// that can fail return 1 for success and 0 for failure; after a 0 the
// message is read with GetError(). No operation clears the error text, and
// no exception leaves the library.
//
// Messages: "Cancelled", "Incorrect number of control points",
// "Invalid Nurbs Surface", "Invalid mesh", and messages naming input that
// cannot be worked on (see each operation).
//
// Threads: every operation runs on the calling thread and returns when its
// work is done. The long loops (of Offset, MeasureDeviations,
// FindProbeFolds, FitSurfaceToPoints and a surface's closest-point search)
// spread over worker threads of their own, one per core or as many as the
// environment variable PELMORA_THREADS says (1: none); their results do not
// depend on the number. Operations on
// separate data (no cloud, matrix, surface or mesh shared by two calls, or
// shared only as a const input) may run on several threads at once, with
// progress on or off: all operations of this class, GetError and SetError,
// and separate PMProgress objects. What they share is safe to share:
//   - the error text is one for the whole library: every read returns one
//     whole message, but with several threads failing, the text read after
//     a 0 may be another thread's later failure;
//   - the wraps' pipeline progress reporter is one per thread;
//   - VTK's warning display is off while any wrap runs and is given back
//     as the host had it when the last running wrap ends.
// Windows belong to the thread that opens them. With Qt, only the thread of
// the QApplication shows windows; on other threads no window opens, as
// without a display (GetSurfaceParameters, and so DrapeSurface, then keep
// the values passed in or suggested). Not safe: one object (an array being
// written, one PMProgress) used by two threads at once. Choose the toolkit
// (PMSelectToolkit) before the threads start.
#pragma once

#include "PMExport.h"
#include "PMFramework.h"
#include "PMProgress.h"
#include "PMSurfaceReports.h"
#include "opennurbs.h"

// What PMSurface::FitSurfaceToPoints found besides the surface.
struct PMFitReport
{
  double smoothing = 0.0;   // the penalty weight used
  int smoothingChosen = 0;  // 1 when it was chosen by hold-out validation
  double residualRms = 0.0; // RMS height residual of the points against the
                            // fit through them (the centre surface)
  ON_3dPointArray tight;    // with a probe: points of the surface (caller's
                            // orientation) where the ball could not follow
                            // the part: hollows narrower than the ball,
                            // which it bridged, and the control points where
                            // the centres bend more tightly than the ball
                            // (FindProbeFolds on the centre surface: there a
                            // normal offset would fold); empty otherwise
};

class PELMORA_API PMSurface
{
public:
  // The class holds no data: construction, destruction and assignment do
  // nothing (assignment returns the object itself) and cannot fail.
  PMSurface();
  PMSurface(const PMSurface &);
  ~PMSurface();
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
  // Result: 1 once the matrix is built (a failed fit or offset only sets the
  // error text; test the surface's validity to know); 0 with "Cancelled"
  // when the user cancels (matrix and surface then untouched); 0 with the
  // grid's own message when the accepted counts or the cloud cannot make a
  // grid (surface untouched), or with "Not enough memory for the point
  // cloud" / "The surface could not be draped" when the work cannot be
  // done at all.
  static int DrapeSurface(ON_3dPointArray &matrix, int &rows, int &cols, ON_NurbsSurface &surface,
                          const ON_3dPointArray &points, const ON_3dVector &direction,
                          int interpolate, int showProgress, HWND const *parent);

  // Rotates `points` in place about the origin (count and order kept).
  //   direction  in: the drape direction, any non-zero length; not changed.
  //   invert     != 0 carries the unit direction onto (0, 0, -1) (align);
  //              0 applies the reverse rotation (back). Align then back
  //              returns every point (exactly for axis directions).
  // The rotation maps the world XY frame onto a target frame whose z axis is
  // -d (d the unit direction): for (0,0,1), (0,+-1,0), (+-1,0,0) a fixed
  // axis frame, so the map only exchanges coordinates and signs (align with
  // (0,0,1): (-x, y, -z); (0,1,0): (x, z, -y); (0,-1,0): (-x, z, y);
  // (-1,0,0): (y, z, x); (1,0,0): (-y, z, -x)); any other direction uses
  // ON_Plane(origin, -d). Unit direction (0, 0, -1): nothing happens and no
  // progress is shown. A zero or non-finite direction leaves the points
  // untouched; a point with a non-finite coordinate comes out non-finite.
  // Progress: "Transforming points", one step per point.
  static void TransformPoints(ON_3dPointArray &points, const ON_3dVector &direction, int invert,
                              int showProgress);

  // Suggests rows and columns for a grid over the x-y extent of `points`
  // (about one grid point per point, square cells): with ratio = x extent /
  // y extent and n points, rows = trunc(sqrt(n / ratio)) and cols =
  // trunc(rows * ratio). 100 points over 20 x 10 give 7 x 14.
  // `direction` is not used; z plays no part; points with a non-finite
  // coordinate are ignored. Always writes both outputs: at least 1 each and
  // never more than n cells. A cloud with no extent along x suggests n x 1,
  // with none along y 1 x n, and an empty, single-point or stacked cloud
  // 1 x 1.
  static void AnalyzePoints(const ON_3dPointArray &points, const ON_3dVector &direction, int &rows,
                            int &cols);

  // Shows the modal "Surface Parameters" window with the given values.
  // Result: 1 with the accepted values (also when no window can open: the
  // values are then returned as they came); 0 with "Cancelled", values
  // unchanged.
  static int GetSurfaceParameters(int &rows, int &cols, double &probeDiameter, HWND const *parent);

  // Builds the point matrix: a rows x cols grid over the x-y bounding box of
  // the aligned cloud `points`, row-major (element r * cols + c; x grows
  // with c, y with r; row 0 at the lowest y, column 0 at the lowest x), the
  // node coordinates made by repeated addition of the steps
  // (extent / (count - 1)). Each point goes to its nearest node (a
  // remainder of 0.5 or more rounds up) and the node keeps the highest z.
  // Nodes no point reached (holes) go to the lowest z of the cloud, or with
  // interpolate != 0: holes on the border go to the lowest z and interior
  // holes get the inverse-distance mean of the nearest known node to the
  // left, right, previous and next row, filled in row-major order.
  //   points  in: the cloud; points with a non-finite coordinate are skipped.
  //           May be the same array as `matrix`.
  //   matrix  out: rows x cols points; replaced on success, untouched when
  //           the input is refused (emptied if memory runs out).
  // A single row lies at the lowest y and a single column at the lowest x.
  // Progress: "Calculating surface" (per point), then "Finalizing surface"
  // (per cell, interpolate == 0) or "Checking for missing points" (per cell
  // up to the first hole) and, when a hole exists, "Interpolating points".
  // Result: 1; 0 with an error text when the grid cannot be laid: rows or
  // cols below 1, rows x cols beyond int, no finite point, no extent along
  // x (y) for more than one column (row), an extent that overflows, no
  // memory ("Not enough memory for the point matrix"), or anything else
  // that stops it ("The point matrix could not be built").
  static int CreatePointMatrix(const ON_3dPointArray &points, int rows, int cols,
                               ON_3dPointArray &matrix, int interpolate, int showProgress);

  // Makes a rational biquadratic (order 3 x 3) NURBS surface whose control
  // point (i, j) is matrix element j * cols + i (weights 1), with clamped
  // uniform knots of spacing 1: domain [0, cols - 2] x [0, rows - 2]. The
  // surface passes through the four corner points of the matrix.
  //   matrix  in: rows x cols points, row-major; not changed.
  // Progress: "Creating surface", one step per point.
  // Result: 1; 0 with "Incorrect number of control points" when the matrix
  // does not hold rows x cols points (also for a product beyond int; the
  // surface is untouched), or "Invalid Nurbs Surface" when the surface
  // cannot be made (rows or cols below 3, an empty matrix: the surface is
  // left empty, whatever it held) or fails the validity test (non-finite
  // points: the surface keeps what was built).
  static int CreateSurfaceFromPointMatrix(ON_NurbsSurface &surface, ON_3dPointArray &matrix,
                                          int rows, int cols, int showProgress);

  // Probe compensation: moves every matrix point by `distance` along the
  // unit normal of the entry `surface` at the point's closest surface point
  // (the normal points to the side of growing z of the frame the matrix was
  // built in; the drape passes -0.5 x the probe diameter), then fits
  // `surface` again through the moved matrix with
  // CreateSurfaceFromPointMatrix(surface, matrix, rows, cols, showProgress).
  // A point whose closest point cannot be found stays where it is; so do all
  // points when the entry surface is not valid or `distance` is not finite.
  // Progress: "Offsetting surface" (per point), then "Creating surface".
  // Result: always 1; a failed refit only leaves its message and surface.
  static int Offset(ON_3dPointArray &matrix, int rows, int cols, ON_NurbsSurface &surface,
                    double distance, int showProgress);

  // Wraps `points` in a closed mesh: the convex hull (concave == 0) or a
  // reconstructed surface that follows hollows (concave != 0). Only
  // showProgress == 1 shows progress. Result: 1; 0 with "Invalid mesh",
  // `mesh` untouched.
  static int WrapMesh(ON_Mesh &mesh, const ON_3dPointArray &points, int concave, int showProgress);
  static int WrapConcaveMesh(ON_Mesh &mesh, const ON_3dPointArray &points, int showProgress);
  static int WrapConvexMesh(ON_Mesh &mesh, const ON_3dPointArray &points, int showProgress);

  // The message of the most recent failure: empty before any, overwritten
  // by each later one, never cleared by the library (so meaningful only
  // right after a 0). SetError replaces it; a host may set or clear it.
  static CString GetError();
  static void SetError(const CString &error);

  // ---- Fitting and judging a drape: grid fit, coverage, deviations, folds ----

  // Suggests rows and columns that fit the cloud's real spacing seen along
  // `direction` (the cloud in the caller's orientation; it is aligned
  // internally): the finest grid of about square cells at which 95 % of the
  // nodes inside the cloud's outline receive a point (see PMGridCoverage:
  // filled / (filled + enclosed holes)). Never finer than AnalyzePoints'
  // one node per point, never below 3 x 3 while the cloud has an extent in
  // both directions; a cloud without one gets AnalyzePoints' suggestion.
  // Always writes both outputs.
  static void SuggestFittedGrid(const ON_3dPointArray &points, const ON_3dVector &direction,
                                int &rows, int &cols);

  // Counts how the nodes of a rows x cols grid over the cloud seen along
  // `direction` are reached, each point going to its nearest node as in
  // CreatePointMatrix. Result: 1; 0 with an error text when such a grid
  // cannot be laid (counts below 1 or beyond int, no finite point, no
  // extent for more than one node along an axis), `coverage` untouched.
  static int MeasureGridCoverage(const ON_3dPointArray &points, const ON_3dVector &direction,
                                 int rows, int cols, PMGridCoverage &coverage);

  // Signed deviation of every cloud point from `surface`: the distance to
  // its closest surface point, positive on the side the surface normal
  // points to (for a drape, against the drape direction); with a probe
  // diameter other than 0 the points are probe centres and half the
  // diameter is subtracted. The closest point is searched from the control
  // point nearest the cloud point seen along `direction` (the drape's
  // direction); where the point found lies more than half a control-point
  // spacing away, every part of the surface that can come nearer is
  // searched as well. Runs on all cores; the values do not depend on their
  // number.
  //   tolerance   points deviating by more than this (magnitude) are counted.
  //   report      out: the statistics over the measured points.
  //   deviations  out (optional): one value per point, NaN where skipped.
  //   parameters  out (optional): the surface parameters (s, t) of each
  //               point's closest point, NaN where skipped.
  // Result: 1; 0 with an error text when the surface is not valid or the
  // direction is zero or not finite (outputs untouched).
  static int MeasureDeviations(const ON_3dPointArray &points, const ON_NurbsSurface &surface,
                               const ON_3dVector &direction, double probeDiameter, double tolerance,
                               PMDeviationReport &report,
                               ON_SimpleArray<double> *deviations = nullptr,
                               ON_2dPointArray *parameters = nullptr);

  // The control points of a surface fitted through a point matrix (before
  // its probe compensation) where Offset with -0.5 x probeDiameter folds
  // the surface over itself: where 1 + d k reaches 0 for d = -0.5 x
  // probeDiameter and a principal curvature k (k > 0 where the surface bends
  // away from its normal's side), evaluated at each control point's
  // Greville parameters. For a positive diameter: where the surface bends
  // away from the probe more tightly than the probe radius.
  //   folds  out: matrix indices j * cols + i of control point (i, j), in
  //          increasing order; empty for a diameter of 0.
  // Result: 1; 0 with "Invalid Nurbs Surface" when the surface is not valid.
  static int FindProbeFolds(const ON_NurbsSurface &surface, double probeDiameter,
                            ON_SimpleArray<int> &folds);

  // ---- Watertight wrap ----

  // Wraps `points` in a watertight mesh that follows hollows: the boundary
  // of the cloud's closing on a voxel grid, contoured in a frame centred on
  // the cloud (vertices in double precision, m_dV, beside m_V). The result
  // is closed, 2-manifold and faces outward, one closed piece per separate
  // part of the cloud (enclosed cavities are filled). It follows hollows
  // and recesses wider than `detail`; every cloud point lies within
  // `detail` of it, except at the bottom of slots narrower than `detail`
  // and deeper than it. An open scan becomes a thin closed slab around it.
  //   detail  the detail size in cloud units; 0 or less picks
  //           SuggestWrapDetail(points).
  // Progress (showProgress == 1): "Wrapping watertight mesh".
  // Result: 1; 0 with `mesh` untouched and "Invalid mesh" for a cloud with
  // a non-finite coordinate or without extent, or, when the voxel grid
  // would need more memory than the machine can give, a message naming the
  // smallest detail that fits ("Detail D needs N voxels, more than the B
  // this machine can give: use a detail of S or more").
  static int WrapWatertightMesh(ON_Mesh &mesh, const ON_3dPointArray &points, double detail,
                                int showProgress);

  // The detail size a watertight wrap of `points` uses by default: 2.5
  // times the median distance from a point to its tenth nearest neighbour,
  // raised where needed so the voxel grid stays within 64 voxels a point
  // and at most 2^24 voxels (about 0.15 GB), and raised further (up to 7.6
  // times) while noise or gaps would leave more than 0.2 % of the points in
  // crumbs apart from the main pieces. 0 for a cloud with a non-finite
  // coordinate or no extent.
  static double SuggestWrapDetail(const ON_3dPointArray &points);

  // ---- Accurate fit: a least-squares surface through probe centres ----
  //
  // Fits a non-rational biquadratic B-spline surface (order 3 x 3, clamped
  // uniform knots of spacing 1: domain [0, cols - 2] x [0, rows - 2], the
  // knots of CreateSurfaceFromPointMatrix) to the scattered `points` seen
  // along `direction`, by least squares with a bending-energy penalty,
  // instead of draping a sheet over a grid of highest points. In the frame
  // where `direction` points down (TransformPoints with invert 1) the
  // surface is a height field over the cloud's x-y extent whose control
  // points stand on a regular grid there (x grows with the column index i,
  // y with the row index j), so it never folds; it is returned in the
  // caller's orientation.
  //   points    in: the cloud (probe centres when probeDiameter > 0); points
  //             with a non-finite coordinate are ignored. Not changed.
  //   direction in: the drape direction (the probe approaches along it).
  //   rows, cols in: control points across y and along x, each >= 3.
  //   probeDiameter in: 0 fits the points themselves; > 0 treats them as
  //             centres of a ball of that diameter above the part and fits
  //             the lower envelope of the ball, i.e. the surface the ball
  //             touched (where the part is tighter than the ball, the
  //             surface the ball could reach; see report.tight).
  //   smoothing in: the penalty weight (length^4 in the cloud's units; its
  //             fourth root is about the length over which bumps are
  //             smoothed away); a negative value chooses it by hold-out
  //             validation on a tenth of the points. At least (span /
  //             256)^4 is used (span: the smaller control spacing), so that
  //             control points over empty cells stay held.
  //   surface   out: replaced on success, untouched on failure.
  //   report    out: what the fit found (see PMFitReport).
  // Progress: "Fitting surface", then with a probe "Compensating probe".
  // Result: 1; 0 with a message, surface and report untouched: "The surface
  // needs at least 3 rows and 3 columns", "The surface has too many
  // control points" (more than 2^22), "Not enough points to fit a
  // surface" (fewer than 3 finite points), "The points have no extent
  // across the direction", "The direction must be finite and not zero",
  // "The probe diameter must be finite and not negative", "The smoothing
  // weight must be finite", "Not enough memory for the point cloud", "The
  // surface could not be fitted".
  static int FitSurfaceToPoints(ON_NurbsSurface &surface, PMFitReport &report,
                                const ON_3dPointArray &points, const ON_3dVector &direction,
                                int rows, int cols, double probeDiameter, double smoothing,
                                int showProgress);

protected:
  // Fills hole `index` (row `row`, column `col`) of a rows x cols point
  // matrix: its z becomes the mean of the heights of the nearest known cell
  // (z >= floorZ) to the left, right, previous and next row, each weighted
  // by 1 / its x-y distance (`index` decides the cell; row and col are
  // expected to describe it). Only that z changes. Meant for interior cells
  // of a matrix whose border is known; otherwise (and for counts that do not
  // fit the array) each search stays inside the cell's own row or column and
  // the array, the neighbours found are used, and the cell is left unchanged
  // when there are none. Where 1 / distance is not representable (tiny or
  // zero spacing) the limit of the same mean is used, never NaN.
  static void InterpolatePoint(ON_3dPointArray &matrix, int rows, int cols, int index, int row,
                               int col, double floorZ);
};
