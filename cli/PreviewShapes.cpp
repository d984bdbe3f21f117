#include "cli/PreviewShapes.h"
#include "io/MeshWriter.h"

#include <vtkCellArray.h>
#include <vtkDoubleArray.h>
#include <vtkNew.h>
#include <vtkPointData.h>
#include <vtkPoints.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace pelmora::cli {
namespace {

constexpr int kSurfaceSamples = 160; // per direction

// Height against the drape direction (up in the picture).
double HeightOf(const ON_3dPoint &p, const ON_3dVector &direction)
{
  ON_3dVector up = -direction;
  up.Unitize();
  return p.x * up.x + p.y * up.y + p.z * up.z;
}

// The mean deviation of the points in each of bins x bins parameter cells,
// empty cells next to filled ones filled from them (two passes: farther
// from any point the surface stays grey).
std::vector<double> DeviationField(const PreviewScene &scene, int bins)
{
  const ON_Interval u = scene.surface->Domain(0), v = scene.surface->Domain(1);
  std::vector<double> sum(size_t(bins) * bins, 0.0), field(size_t(bins) * bins, NAN);
  std::vector<int> count(size_t(bins) * bins, 0);
  for (int i = 0; i < scene.parameters->Count(); ++i) {
    const double d = (*scene.deviations)[i];
    const ON_2dPoint &st = (*scene.parameters)[i];
    if (std::isnan(d) || std::isnan(st.x) || std::isnan(st.y))
      continue;
    const int a = std::clamp(int((st.x - u.Min()) / u.Length() * bins), 0, bins - 1);
    const int b = std::clamp(int((st.y - v.Min()) / v.Length() * bins), 0, bins - 1);
    sum[size_t(b) * bins + a] += d;
    ++count[size_t(b) * bins + a];
  }
  for (size_t k = 0; k < field.size(); ++k)
    if (count[k] > 0)
      field[k] = sum[k] / count[k];
  for (int pass = 0; pass < 2; ++pass) {
    std::vector<double> next = field;
    for (int b = 0; b < bins; ++b)
      for (int a = 0; a < bins; ++a) {
        if (!std::isnan(field[size_t(b) * bins + a]))
          continue;
        double total = 0.0;
        int known = 0;
        for (int db = -1; db <= 1; ++db)
          for (int da = -1; da <= 1; ++da) {
            const int nb = b + db, na = a + da;
            if (nb >= 0 && na >= 0 && nb < bins && na < bins &&
                !std::isnan(field[size_t(nb) * bins + na])) {
              total += field[size_t(nb) * bins + na];
              ++known;
            }
          }
        if (known > 0)
          next[size_t(b) * bins + a] = total / known;
      }
    field.swap(next);
  }
  return field;
}

// The field of bins x bins cell values at (a, b) in [0, 1]^2, bilinear
// between cell centres; cells without a value are left out (NaN when all
// four are).
double Bilinear(const std::vector<double> &field, int bins, double a, double b)
{
  const double x = std::clamp(a * bins - 0.5, 0.0, bins - 1.0);
  const double y = std::clamp(b * bins - 0.5, 0.0, bins - 1.0);
  const int x0 = std::min(int(x), bins - 2 < 0 ? 0 : bins - 2),
            y0 = std::min(int(y), bins - 2 < 0 ? 0 : bins - 2);
  const int x1 = std::min(x0 + 1, bins - 1), y1 = std::min(y0 + 1, bins - 1);
  const double fx = x - x0, fy = y - y0;
  const double weights[4] = {(1 - fx) * (1 - fy), fx * (1 - fy), (1 - fx) * fy, fx * fy};
  const double values[4] = {field[size_t(y0) * bins + x0], field[size_t(y0) * bins + x1],
                            field[size_t(y1) * bins + x0], field[size_t(y1) * bins + x1]};
  double total = 0.0, weight = 0.0;
  for (int k = 0; k < 4; ++k)
    if (!std::isnan(values[k])) {
      total += weights[k] * values[k];
      weight += weights[k];
    }
  return weight > 0.0 ? total / weight : NAN;
}

// The colour range of the deviations: the given one, or 1.5 times the 95th
// percentile of their magnitudes.
double DeviationRange(const PreviewScene &scene)
{
  if (scene.colourRange > 0.0)
    return scene.colourRange;
  std::vector<double> magnitudes;
  for (int i = 0; i < scene.deviations->Count(); ++i)
    if (!std::isnan((*scene.deviations)[i]))
      magnitudes.push_back(std::fabs((*scene.deviations)[i]));
  if (magnitudes.empty())
    return 1.0;
  const size_t rank = size_t(0.95 * double(magnitudes.size() - 1));
  std::nth_element(magnitudes.begin(), magnitudes.begin() + long(rank), magnitudes.end());
  const double range = 1.5 * magnitudes[rank];
  return range > 0.0 ? range : 1.0;
}

} // namespace

vtkSmartPointer<vtkPolyData> ColouredSurface(const PreviewScene &scene, SurfaceColouring &colouring)
{
  const ON_NurbsSurface &surface = *scene.surface;
  const ON_Interval u = surface.Domain(0), v = surface.Domain(1);
  const int n = kSurfaceSamples;
  colouring.byDeviation = scene.deviations && scene.parameters &&
                          scene.parameters->Count() == scene.deviations->Count();
  // About three points a colour cell, at most one cell per sample.
  const int bins =
      colouring.byDeviation
          ? std::clamp(int(std::sqrt(scene.deviations->Count() / 3.0)), 4, kSurfaceSamples)
          : 0;
  const std::vector<double> field =
      colouring.byDeviation ? DeviationField(scene, bins) : std::vector<double>();
  vtkNew<vtkPoints> points;
  vtkNew<vtkCellArray> quads;
  vtkNew<vtkDoubleArray> values;
  double low = INFINITY, high = -INFINITY;
  for (int j = 0; j <= n; ++j)
    for (int i = 0; i <= n; ++i) {
      const double s = u.ParameterAt(double(i) / n), t = v.ParameterAt(double(j) / n);
      const ON_3dPoint p = surface.PointAt(s, t);
      points->InsertNextPoint(p.x, p.y, p.z);
      double value = HeightOf(p, scene.direction);
      if (colouring.byDeviation)
        value = Bilinear(field, bins, double(i) / n, double(j) / n);
      values->InsertNextValue(value);
      if (!std::isnan(value)) {
        low = std::min(low, value);
        high = std::max(high, value);
      }
      if (i < n && j < n) {
        const vtkIdType a = j * (n + 1) + i;
        const vtkIdType ids[4] = {a, a + 1, a + n + 2, a + n + 1};
        quads->InsertNextCell(4, ids);
      }
    }
  if (colouring.byDeviation) {
    const double range = DeviationRange(scene);
    colouring.low = -range;
    colouring.high = range;
    colouring.title = "Deviation\n(cloud units)";
  } else {
    colouring.low = std::isfinite(low) ? low : 0.0;
    colouring.high = std::isfinite(high) && high > low ? high : colouring.low + 1.0;
    colouring.title = "Height\n(cloud units)";
  }
  auto data = vtkSmartPointer<vtkPolyData>::New();
  data->SetPoints(points);
  data->SetPolys(quads);
  data->GetPointData()->SetScalars(values);
  return data;
}

vtkSmartPointer<vtkPolyData> ColouredMesh(const PreviewScene &scene, SurfaceColouring &colouring)
{
  vtkSmartPointer<vtkPolyData> data;
  data.TakeReference(io::MeshToPolyData(*scene.mesh, true));
  vtkNew<vtkDoubleArray> values;
  double low = INFINITY, high = -INFINITY;
  for (vtkIdType k = 0; k < data->GetNumberOfPoints(); ++k) {
    double p[3];
    data->GetPoint(k, p);
    const double h = HeightOf(ON_3dPoint(p[0], p[1], p[2]), scene.direction);
    values->InsertNextValue(h);
    low = std::min(low, h);
    high = std::max(high, h);
  }
  data->GetPointData()->SetScalars(values);
  colouring.byDeviation = false;
  colouring.low = std::isfinite(low) ? low : 0.0;
  colouring.high = std::isfinite(high) && high > low ? high : colouring.low + 1.0;
  colouring.title = "Height\n(cloud units)";
  return data;
}

vtkSmartPointer<vtkLookupTable> ColourTable(const SurfaceColouring &colouring)
{
  auto table = vtkSmartPointer<vtkLookupTable>::New();
  const int n = 256;
  table->SetNumberOfTableValues(n);
  table->SetRange(colouring.low, colouring.high);
  for (int k = 0; k < n; ++k) {
    const double f = double(k) / (n - 1);
    double r, g, b;
    if (colouring.byDeviation) {
      // Blue (below the surface), cyan, green (on it), yellow, red (above).
      const double stops[5][3] = {{0.1, 0.25, 0.95},
                                  {0.1, 0.8, 0.95},
                                  {0.2, 0.75, 0.2},
                                  {0.98, 0.85, 0.1},
                                  {0.9, 0.12, 0.1}};
      const double at = f * 4.0;
      const int k0 = std::min(int(at), 3);
      const double w = at - k0;
      r = stops[k0][0] + w * (stops[k0 + 1][0] - stops[k0][0]);
      g = stops[k0][1] + w * (stops[k0 + 1][1] - stops[k0][1]);
      b = stops[k0][2] + w * (stops[k0 + 1][2] - stops[k0][2]);
    } else {
      // Dark blue, teal, green, yellow.
      r = std::clamp(-0.1 + 1.2 * f * f, 0.0, 1.0);
      g = std::clamp(0.1 + 0.8 * f, 0.0, 1.0);
      b = std::clamp(0.5 + 0.4 * std::sin(3.0 * f) - 0.6 * f, 0.0, 1.0);
    }
    table->SetTableValue(k, r, g, b, 1.0);
  }
  table->SetNanColor(0.72, 0.72, 0.72, 1.0);
  table->UseAboveRangeColorOn();
  table->UseBelowRangeColorOn();
  // Beyond the range: darker ends, so that what exceeds it stands out.
  table->SetAboveRangeColor(colouring.byDeviation ? 0.5 : 1.0, 0.0,
                            colouring.byDeviation ? 0.0 : 1.0, 1.0);
  table->SetBelowRangeColor(0.05, 0.0, colouring.byDeviation ? 0.45 : 0.3, 1.0);
  table->Build();
  return table;
}

namespace {

// The cloud points whose index `keep` accepts, as vertices.
template <class Keep>
vtkSmartPointer<vtkPolyData> VertexCloud(const ON_3dPointArray &cloud, Keep keep)
{
  vtkNew<vtkPoints> points;
  vtkNew<vtkCellArray> vertices;
  for (int i = 0; i < cloud.Count(); ++i) {
    if (!keep(i))
      continue;
    const vtkIdType id = points->InsertNextPoint(cloud[i].x, cloud[i].y, cloud[i].z);
    vertices->InsertNextCell(1, &id);
  }
  auto data = vtkSmartPointer<vtkPolyData>::New();
  data->SetPoints(points);
  data->SetVerts(vertices);
  return data;
}

} // namespace

vtkSmartPointer<vtkPolyData> CloudSample(const ON_3dPointArray &cloud, int stride)
{
  const int step = std::max(stride, 1);
  return VertexCloud(cloud, [step](int i) { return i % step == 0; });
}

vtkSmartPointer<vtkPolyData> FoldMarkers(const PreviewScene &scene)
{
  const std::vector<unsigned char> *onFold = scene.onFold;
  return VertexCloud(*scene.points, [onFold](int i) {
    return onFold && size_t(i) < onFold->size() && (*onFold)[size_t(i)];
  });
}

vtkSmartPointer<vtkPolyData> DirectionArrow(const double d[3], const double across[3])
{
  double tail[3], tip[3], headA[3], headB[3];
  for (int k = 0; k < 3; ++k) {
    tail[k] = -d[k];
    tip[k] = 0.0;
    headA[k] = -0.3 * d[k] + 0.18 * across[k];
    headB[k] = -0.3 * d[k] - 0.18 * across[k];
  }
  vtkNew<vtkPoints> points;
  for (const double *p : {tail, tip, headA, headB})
    points->InsertNextPoint(p);
  vtkNew<vtkCellArray> lines;
  const vtkIdType shaft[2] = {0, 1}, left[2] = {1, 2}, right[2] = {1, 3};
  lines->InsertNextCell(2, shaft);
  lines->InsertNextCell(2, left);
  lines->InsertNextCell(2, right);
  auto data = vtkSmartPointer<vtkPolyData>::New();
  data->SetPoints(points);
  data->SetLines(lines);
  return data;
}

} // namespace pelmora::cli
