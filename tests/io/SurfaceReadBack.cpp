#include "io/SurfaceReadBack.h"

#include <BRepCheck_Analyzer.hxx>
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

#include <cmath>
#include <sstream>

namespace pelmora::test {
namespace {

template <typename Reader> TopoDS_Shape ReadShape(Reader &&reader, const std::string &path)
{
  if (reader.ReadFile(path.c_str()) != IFSelect_RetDone)
    return {};
  reader.TransferRoots();
  return reader.OneShape();
}

} // namespace

ReadBackSurface ReadBackBSpline(const std::string &path)
{
  ReadBackSurface result;
  try {
    Message::DefaultMessenger()->RemovePrinters(STANDARD_TYPE(Message_PrinterOStream));
    const std::string ext = path.substr(path.find_last_of('.') + 1);
    TopoDS_Shape shape;
    if (ext == "iges" || ext == "igs") {
      IGESControl_Controller::Init();
      shape = ReadShape(IGESControl_Reader(), path);
    } else {
      shape = ReadShape(STEPControl_Reader(), path);
    }
    TopExp_Explorer faces(shape, TopAbs_FACE);
    if (shape.IsNull() || !faces.More())
      return result.error = "no face in " + path, result;
    Handle(Geom_BSplineSurface) spline =
        Handle(Geom_BSplineSurface)::DownCast(BRep_Tool::Surface(TopoDS::Face(faces.Current())));
    if (spline.IsNull())
      return result.error = "the face's surface is not a B-spline", result;
    result.faceChecked = BRepCheck_Analyzer(faces.Current()).IsValid();
    result.degree[0] = spline->UDegree();
    result.degree[1] = spline->VDegree();
    for (int k = 1; k <= spline->NbUKnots(); ++k)
      result.flatKnots[0].insert(result.flatKnots[0].end(), spline->UMultiplicity(k),
                                 spline->UKnot(k));
    for (int k = 1; k <= spline->NbVKnots(); ++k)
      result.flatKnots[1].insert(result.flatKnots[1].end(), spline->VMultiplicity(k),
                                 spline->VKnot(k));
    result.poles.resize(spline->NbUPoles());
    result.weights.resize(spline->NbUPoles());
    for (int i = 1; i <= spline->NbUPoles(); ++i)
      for (int j = 1; j <= spline->NbVPoles(); ++j) {
        result.poles[i - 1].emplace_back(spline->Pole(i, j).X(), spline->Pole(i, j).Y(),
                                         spline->Pole(i, j).Z());
        result.weights[i - 1].push_back(spline->Weight(i, j));
      }
    result.pointAt = [spline](double u, double v) {
      gp_Pnt p = spline->Value(u, v);
      return ON_3dPoint(p.X(), p.Y(), p.Z());
    };
  } catch (const Standard_Failure &failure) {
    result.error = failure.GetMessageString();
  }
  return result;
}

std::string CompareSurfaces(const ON_NurbsSurface &expected, const ReadBackSurface &actual,
                            double tolerance)
{
  if (!actual.error.empty())
    return "not read back: " + actual.error;
  if (!actual.faceChecked)
    return "the face fails the shape checker";
  for (int dir = 0; dir < 2; ++dir) {
    const std::string where = " differs in direction " + std::to_string(dir);
    std::vector<double> knots{expected.Knot(dir, 0)};
    for (int k = 0; k < expected.KnotCount(dir); ++k)
      knots.push_back(expected.Knot(dir, k));
    knots.push_back(knots.back());
    if (actual.degree[dir] != expected.Degree(dir) || knots.size() != actual.flatKnots[dir].size())
      return "degree or knot count" + where;
    for (size_t k = 0; k < knots.size(); ++k)
      if (knots[k] != actual.flatKnots[dir][k])
        return "knot " + std::to_string(k) + where;
  }
  if (int(actual.poles.size()) != expected.CVCount(0) ||
      int(actual.poles[0].size()) != expected.CVCount(1))
    return "pole counts differ";
  std::ostringstream difference;
  for (int i = 0; i < expected.CVCount(0); ++i)
    for (int j = 0; j < expected.CVCount(1); ++j) {
      ON_3dPoint cv;
      expected.GetCV(i, j, cv);
      const ON_3dPoint &read = actual.poles[i][j];
      if (cv.x != read.x || cv.y != read.y || cv.z != read.z) {
        difference << "pole (" << i << ", " << j << ") is off by " << cv.DistanceTo(read);
        return difference.str();
      }
      if (expected.Weight(i, j) != actual.weights[i][j]) {
        difference << "weight (" << i << ", " << j << ") differs";
        return difference.str();
      }
    }
  const ON_Interval u = expected.Domain(0), v = expected.Domain(1);
  for (int a = 0; a <= 6; ++a)
    for (int b = 0; b <= 6; ++b) {
      double s = u.ParameterAt(a / 6.0), t = v.ParameterAt(b / 6.0);
      double gap = expected.PointAt(s, t).DistanceTo(actual.pointAt(s, t));
      if (gap > tolerance) {
        difference << "point at (" << s << ", " << t << ") is off by " << gap;
        return difference.str();
      }
    }
  return "";
}

} // namespace pelmora::test
