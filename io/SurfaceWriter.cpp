#include "io/SurfaceWriter.h"
#include "io/AtomicWrite.h"
#include "io/FileBuffer.h"

#include <BRepBuilderAPI_MakeFace.hxx>
#include <Geom_BSplineSurface.hxx>
#include <IFSelect_ReturnStatus.hxx>
#include <IGESControl_Controller.hxx>
#include <IGESControl_Writer.hxx>
#include <Interface_Static.hxx>
#include <Message.hxx>
#include <Message_Messenger.hxx>
#include <Message_PrinterOStream.hxx>
#include <STEPControl_Writer.hxx>
#include <Standard_Failure.hxx>
#include <TColStd_Array1OfInteger.hxx>
#include <TColStd_Array1OfReal.hxx>
#include <TColStd_Array2OfReal.hxx>
#include <TColgp_Array2OfPnt.hxx>
#include <TopoDS_Face.hxx>

#include <vector>

namespace pelmora::io {
namespace {

void SilenceOpenCascade()
{
  static bool silenced = false;
  if (silenced)
    return;
  Message::DefaultMessenger()->RemovePrinters(STANDARD_TYPE(Message_PrinterOStream));
  silenced = true;
}

// openNURBS keeps order + cv_count - 2 knots; the full knot vector repeats
// the first and the last once more. Distinct values and multiplicities.
void KnotsOf(const ON_NurbsSurface &surface, int dir, std::vector<double> &values,
             std::vector<int> &multiplicities)
{
  const int count = surface.KnotCount(dir);
  std::vector<double> full;
  full.push_back(surface.Knot(dir, 0));
  for (int k = 0; k < count; ++k)
    full.push_back(surface.Knot(dir, k));
  full.push_back(surface.Knot(dir, count - 1));
  for (double knot : full) {
    if (!values.empty() && values.back() == knot) {
      ++multiplicities.back();
    } else {
      values.push_back(knot);
      multiplicities.push_back(1);
    }
  }
}

Handle(Geom_BSplineSurface) ToOpenCascade(const ON_NurbsSurface &surface)
{
  const int countU = surface.CVCount(0), countV = surface.CVCount(1);
  TColgp_Array2OfPnt poles(1, countU, 1, countV);
  TColStd_Array2OfReal weights(1, countU, 1, countV);
  for (int i = 0; i < countU; ++i)
    for (int j = 0; j < countV; ++j) {
      ON_3dPoint cv;
      surface.GetCV(i, j, cv);
      poles.SetValue(i + 1, j + 1, gp_Pnt(cv.x, cv.y, cv.z));
      weights.SetValue(i + 1, j + 1, surface.Weight(i, j));
    }
  std::vector<double> knots[2];
  std::vector<int> multiplicities[2];
  KnotsOf(surface, 0, knots[0], multiplicities[0]);
  KnotsOf(surface, 1, knots[1], multiplicities[1]);
  TColStd_Array1OfReal knotsU(1, int(knots[0].size())), knotsV(1, int(knots[1].size()));
  TColStd_Array1OfInteger multsU(1, int(knots[0].size())), multsV(1, int(knots[1].size()));
  for (size_t k = 0; k < knots[0].size(); ++k) {
    knotsU.SetValue(int(k) + 1, knots[0][k]);
    multsU.SetValue(int(k) + 1, multiplicities[0][k]);
  }
  for (size_t k = 0; k < knots[1].size(); ++k) {
    knotsV.SetValue(int(k) + 1, knots[1][k]);
    multsV.SetValue(int(k) + 1, multiplicities[1][k]);
  }
  if (surface.IsRational())
    return new Geom_BSplineSurface(poles, weights, knotsU, knotsV, multsU, multsV,
                                   surface.Degree(0), surface.Degree(1));
  return new Geom_BSplineSurface(poles, knotsU, knotsV, multsU, multsV, surface.Degree(0),
                                 surface.Degree(1));
}

IoResult WriteStep(const std::string &tempPath, const TopoDS_Face &face, const std::string &path)
{
  STEPControl_Writer writer;
  if (writer.Transfer(face, STEPControl_AsIs) != IFSelect_RetDone)
    return IoResult::Fail("cannot write " + path + ": the surface could not be put into STEP");
  if (writer.Write(tempPath.c_str()) != IFSelect_RetDone)
    return IoResult::Fail("cannot write " + path);
  return IoResult::Ok();
}

IoResult WriteIges(const std::string &tempPath, const TopoDS_Face &face, const std::string &path)
{
  IGESControl_Controller::Init();
  IGESControl_Writer writer("MM", 0);
  if (!writer.AddShape(face))
    return IoResult::Fail("cannot write " + path + ": the surface could not be put into IGES");
  writer.ComputeModel();
  if (!writer.Write(tempPath.c_str()))
    return IoResult::Fail("cannot write " + path);
  return IoResult::Ok();
}

} // namespace

const char *SurfaceExtensions()
{
  return "step, stp, iges, igs";
}

IoResult WriteSurface(const std::string &path, const ON_NurbsSurface &surface)
{
  const std::string extension = LowerExtension(path);
  const bool step = extension == "step" || extension == "stp";
  if (!step && extension != "iges" && extension != "igs")
    return IoResult::Fail(
        path + ": unknown surface file type (writable: " + std::string(SurfaceExtensions()) + ")");
  if (!surface.IsValid() || surface.Dimension() != 3)
    return IoResult::Fail("cannot write " + path + ": the surface is not valid");
  try {
    SilenceOpenCascade();
    Handle(Geom_BSplineSurface) converted = ToOpenCascade(surface);
    BRepBuilderAPI_MakeFace makeFace(converted, 1e-7);
    if (!makeFace.IsDone())
      return IoResult::Fail("cannot write " + path + ": no face could be made of the surface");
    TopoDS_Face face = makeFace.Face();
    return WriteAtomically(path, [&](const std::string &tempPath) {
      try {
        return step ? WriteStep(tempPath, face, path) : WriteIges(tempPath, face, path);
      } catch (const Standard_Failure &failure) {
        return IoResult::Fail("cannot write " + path + ": " + failure.GetMessageString());
      }
    });
  } catch (const Standard_Failure &failure) {
    return IoResult::Fail("cannot write " + path + ": " + failure.GetMessageString());
  } catch (const std::exception &error) {
    return IoResult::Fail("cannot write " + path + ": " + error.what());
  }
}

} // namespace pelmora::io
