#include "io/SurfaceReadBack.h"

#include <BRep_Tool.hxx>
#include <Geom_BSplineSurface.hxx>
#include <IGESControl_Controller.hxx>
#include <IGESControl_Reader.hxx>
#include <Message.hxx>
#include <Message_Messenger.hxx>
#include <Message_PrinterOStream.hxx>
#include <STEPControl_Reader.hxx>
#include <Standard_Failure.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Face.hxx>

#include <cmath>
#include <memory>
#include <sstream>

namespace pelmora::test {
namespace {

TopoDS_Shape ReadShape(const std::string &path)
{
  Message::DefaultMessenger()->RemovePrinters(STANDARD_TYPE(Message_PrinterOStream));
  const bool iges = path.size() > 5 && (path.substr(path.size() - 5) == ".iges" ||
                                        path.substr(path.size() - 4) == ".igs");
  if (iges) {
    IGESControl_Controller::Init();
    IGESControl_Reader reader;
    if (reader.ReadFile(path.c_str()) != IFSelect_RetDone)
      return {};
    reader.TransferRoots();
    return reader.OneShape();
  }
  STEPControl_Reader reader;
  if (reader.ReadFile(path.c_str()) != IFSelect_RetDone)
    return {};
  reader.TransferRoots();
  return reader.OneShape();
}

} // namespace

ON_3dPoint ReadBackSurface::PointAt(double u, double v) const
{
  gp_Pnt p = static_cast<Geom_BSplineSurface *>(handle)->Value(u, v);
  return ON_3dPoint(p.X(), p.Y(), p.Z());
}

ReadBackSurface ReadBackBSpline(const std::string &path)
{
  ReadBackSurface result;
  try {
    TopoDS_Shape shape = ReadShape(path);
    TopExp_Explorer faces(shape, TopAbs_FACE);
    if (shape.IsNull() || !faces.More()) {
      result.error = "no face in " + path;
      return result;
    }
    Handle(Geom_Surface) surface = BRep_Tool::Surface(TopoDS::Face(faces.Current()));
    Handle(Geom_BSplineSurface) spline = Handle(Geom_BSplineSurface)::DownCast(surface);
    if (spline.IsNull()) {
      result.error = "the face's surface is not a B-spline";
      return result;
    }
    result.degree[0] = spline->UDegree();
    result.degree[1] = spline->VDegree();
    for (int k = 1; k <= spline->NbUKnots(); ++k)
      for (int m = 0; m < spline->UMultiplicity(k); ++m)
        result.flatKnots[0].push_back(spline->UKnot(k));
    for (int k = 1; k <= spline->NbVKnots(); ++k)
      for (int m = 0; m < spline->VMultiplicity(k); ++m)
        result.flatKnots[1].push_back(spline->VKnot(k));
    result.poles.resize(spline->NbUPoles());
    result.weights.resize(spline->NbUPoles());
    for (int i = 1; i <= spline->NbUPoles(); ++i)
      for (int j = 1; j <= spline->NbVPoles(); ++j) {
        gp_Pnt p = spline->Pole(i, j);
        result.poles[i - 1].push_back(ON_3dPoint(p.X(), p.Y(), p.Z()));
        result.weights[i - 1].push_back(spline->Weight(i, j));
      }
    auto *kept = new Handle(Geom_BSplineSurface)(spline);
    result.keep = std::shared_ptr<void>(
        kept, [](void *p) { delete static_cast<Handle(Geom_BSplineSurface) *>(p); });
    result.handle = spline.get();
    result.ok = true;
  } catch (const Standard_Failure &failure) {
    result.error = failure.GetMessageString();
  }
  return result;
}

std::vector<double> FullKnots(const ON_NurbsSurface &surface, int dir)
{
  std::vector<double> knots{surface.Knot(dir, 0)};
  for (int k = 0; k < surface.KnotCount(dir); ++k)
    knots.push_back(surface.Knot(dir, k));
  knots.push_back(surface.Knot(dir, surface.KnotCount(dir) - 1));
  return knots;
}

std::string CompareSurfaces(const ON_NurbsSurface &expected, const ReadBackSurface &actual,
                            double tolerance)
{
  std::ostringstream difference;
  if (!actual.ok)
    return "not read back: " + actual.error;
  for (int dir = 0; dir < 2; ++dir) {
    if (actual.degree[dir] != expected.Degree(dir))
      return "degree differs in direction " + std::to_string(dir);
    std::vector<double> knots = FullKnots(expected, dir);
    if (knots.size() != actual.flatKnots[dir].size())
      return "knot count differs in direction " + std::to_string(dir);
    for (size_t k = 0; k < knots.size(); ++k)
      if (std::fabs(knots[k] - actual.flatKnots[dir][k]) > 1e-12 * (1 + std::fabs(knots[k])))
        return "knot " + std::to_string(k) + " differs in direction " + std::to_string(dir);
  }
  if (int(actual.poles.size()) != expected.CVCount(0) ||
      int(actual.poles[0].size()) != expected.CVCount(1))
    return "pole counts differ";
  for (int i = 0; i < expected.CVCount(0); ++i)
    for (int j = 0; j < expected.CVCount(1); ++j) {
      ON_3dPoint cv;
      expected.GetCV(i, j, cv);
      if (cv.DistanceTo(actual.poles[i][j]) > tolerance) {
        difference << "pole (" << i << ", " << j << ") differs by "
                   << cv.DistanceTo(actual.poles[i][j]);
        return difference.str();
      }
    }
  const ON_Interval u = expected.Domain(0), v = expected.Domain(1);
  for (int a = 0; a <= 6; ++a)
    for (int b = 0; b <= 6; ++b) {
      double s = u[0] + (u[1] - u[0]) * a / 6.0, t = v[0] + (v[1] - v[0]) * b / 6.0;
      double gap = expected.PointAt(s, t).DistanceTo(actual.PointAt(s, t));
      if (gap > tolerance) {
        difference << "point at (" << s << ", " << t << ") differs by " << gap;
        return difference.str();
      }
    }
  return "";
}

} // namespace pelmora::test
