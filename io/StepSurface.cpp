// The STEP file of one B-spline face. Entity numbers are planned before
// anything is written, so that the control points stream out in one pass
// right behind the surface that lists them.
#include "io/SplineParts.h"
#include "opennurbs/SurfaceWeights.h"
#include "io/SurfaceFormats.h"

#include <array>

namespace pelmora::io {
namespace {

// Entities of the fixed frame (product, representation, shell, face,
// contexts), numbered 1 to kFrameEnd - 1.
enum Frame : long long
{
  kProtocol = 1,
  kApplication,
  kShapeDefinition,
  kProductShape,
  kProductDefinition,
  kFormation,
  kProduct,
  kProductContext,
  kDefinitionContext,
  kRepresentation,
  kPlacement,
  kOrigin,
  kAxis,
  kRefDirection,
  kShellModel,
  kShell,
  kFace,
  kBound,
  kLoop,
  kContext3d,
  kLengthUnit,
  kAngleUnit,
  kSolidAngleUnit,
  kUncertainty,
  kCategory,
  kContext2d,
  kSurface, // followed by its control points
};

// One boundary edge: the iso-curve where parameter `dir` is at its start
// or end, and whether the loop runs along it or against it.
struct Edge
{
  int dir;
  bool atEnd;
  bool forward;
  BoundaryCurve curve;
  long long oriented, edgeCurve, surfaceCurve, curve3d, pcurve, definition, line, linePoint, vector,
      direction;
  int from, to; // corner indices
};

class StepText
{
public:
  explicit StepText(TextOutput &out) : m_out(out) {}
  StepText &operator<<(std::string_view text)
  {
    m_out.Put(text);
    return *this;
  }
  StepText &Ref(long long id)
  {
    m_out.Put('#');
    m_out.PutInt(id);
    return *this;
  }
  StepText &Entity(long long id)
  {
    Ref(id);
    m_out.Put(" = ");
    return *this;
  }
  StepText &Real(double x)
  {
    m_out.PutReal(x);
    return *this;
  }
  StepText &Int(long long x)
  {
    m_out.PutInt(x);
    return *this;
  }
  StepText &Point(long long id, const ON_3dPoint &p)
  {
    Entity(id) << "CARTESIAN_POINT('',(";
    Real(p.x) << ",";
    Real(p.y) << ",";
    Real(p.z) << "));\n";
    return *this;
  }
  template <class T, class Put> StepText &List(const std::vector<T> &items, Put put)
  {
    m_out.Put('(');
    for (size_t k = 0; k < items.size(); ++k) {
      if (k)
        m_out.Put(',');
      put(items[k]);
    }
    m_out.Put(')');
    return *this;
  }

private:
  TextOutput &m_out;
};

std::string Quoted(const std::string &text)
{
  std::string quoted = "'";
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7e)
      c = '_'; // plain ASCII only, without encodings
    quoted += c;
    if (c == '\'')
      quoted += '\'';
  }
  return quoted + "'";
}

void WriteHeader(StepText &step, const std::string &name)
{
  step << "ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION(('Pelmora surface'),'2;1');\n"
       << "FILE_NAME(" << Quoted(name) << ",'" << TimeStamp(false)
       << "',(''),(''),'Pelmora','Pelmora','');\n"
       << "FILE_SCHEMA(('AUTOMOTIVE_DESIGN { 1 0 10303 214 1 1 1 1 }'));\nENDSEC;\nDATA;\n";
}

void WriteFrame(StepText &step, const std::array<long long, 4> &orientedEdges,
                const std::string &name)
{
  const std::string product = Quoted(name);
  step.Entity(kProtocol) << "APPLICATION_PROTOCOL_DEFINITION('international standard',"
                            "'automotive_design',2000,";
  step.Ref(kApplication) << ");\n";
  step.Entity(kApplication)
      << "APPLICATION_CONTEXT('core data for automotive mechanical design processes');\n";
  step.Entity(kShapeDefinition) << "SHAPE_DEFINITION_REPRESENTATION(";
  step.Ref(kProductShape) << ",";
  step.Ref(kRepresentation) << ");\n";
  step.Entity(kProductShape) << "PRODUCT_DEFINITION_SHAPE('','',";
  step.Ref(kProductDefinition) << ");\n";
  step.Entity(kProductDefinition) << "PRODUCT_DEFINITION('design','',";
  step.Ref(kFormation) << ",";
  step.Ref(kDefinitionContext) << ");\n";
  step.Entity(kFormation) << "PRODUCT_DEFINITION_FORMATION('','',";
  step.Ref(kProduct) << ");\n";
  step.Entity(kProduct) << "PRODUCT(" << product << "," << product << ",'',(";
  step.Ref(kProductContext) << "));\n";
  step.Entity(kProductContext) << "PRODUCT_CONTEXT('',";
  step.Ref(kApplication) << ",'mechanical');\n";
  step.Entity(kDefinitionContext) << "PRODUCT_DEFINITION_CONTEXT('part definition',";
  step.Ref(kApplication) << ",'design');\n";
  step.Entity(kRepresentation) << "MANIFOLD_SURFACE_SHAPE_REPRESENTATION('',(";
  step.Ref(kPlacement) << ",";
  step.Ref(kShellModel) << "),";
  step.Ref(kContext3d) << ");\n";
  step.Entity(kPlacement) << "AXIS2_PLACEMENT_3D('',";
  step.Ref(kOrigin) << ",";
  step.Ref(kAxis) << ",";
  step.Ref(kRefDirection) << ");\n";
  step.Entity(kOrigin) << "CARTESIAN_POINT('',(0.,0.,0.));\n";
  step.Entity(kAxis) << "DIRECTION('',(0.,0.,1.));\n";
  step.Entity(kRefDirection) << "DIRECTION('',(1.,0.,0.));\n";
  step.Entity(kShellModel) << "SHELL_BASED_SURFACE_MODEL('',(";
  step.Ref(kShell) << "));\n";
  step.Entity(kShell) << "OPEN_SHELL('',(";
  step.Ref(kFace) << "));\n";
  step.Entity(kFace) << "ADVANCED_FACE('',(";
  step.Ref(kBound) << "),";
  step.Ref(kSurface) << ",.T.);\n";
  step.Entity(kBound) << "FACE_BOUND('',";
  step.Ref(kLoop) << ",.T.);\n";
  step.Entity(kLoop) << "EDGE_LOOP('',(";
  for (size_t k = 0; k < orientedEdges.size(); ++k) {
    if (k)
      step << ",";
    step.Ref(orientedEdges[k]);
  }
  step << "));\n";
  step.Entity(kContext3d) << "( GEOMETRIC_REPRESENTATION_CONTEXT(3) "
                             "GLOBAL_UNCERTAINTY_ASSIGNED_CONTEXT((";
  step.Ref(kUncertainty) << ")) GLOBAL_UNIT_ASSIGNED_CONTEXT((";
  step.Ref(kLengthUnit) << ",";
  step.Ref(kAngleUnit) << ",";
  step.Ref(kSolidAngleUnit) << ")) REPRESENTATION_CONTEXT('Context #1',"
                               "'3D Context with UNIT and UNCERTAINTY') );\n";
  step.Entity(kLengthUnit) << "( LENGTH_UNIT() NAMED_UNIT(*) SI_UNIT(.MILLI.,.METRE.) );\n";
  step.Entity(kAngleUnit) << "( NAMED_UNIT(*) PLANE_ANGLE_UNIT() SI_UNIT($,.RADIAN.) );\n";
  step.Entity(kSolidAngleUnit) << "( NAMED_UNIT(*) SI_UNIT($,.STERADIAN.) SOLID_ANGLE_UNIT() );\n";
  step.Entity(kUncertainty) << "UNCERTAINTY_MEASURE_WITH_UNIT(LENGTH_MEASURE(1.E-07),";
  step.Ref(kLengthUnit) << ",'distance_accuracy_value','confusion accuracy');\n";
  step.Entity(kCategory) << "PRODUCT_RELATED_PRODUCT_CATEGORY('part',$,(";
  step.Ref(kProduct) << "));\n";
  step.Entity(kContext2d) << "( GEOMETRIC_REPRESENTATION_CONTEXT(2) "
                             "PARAMETRIC_REPRESENTATION_CONTEXT() "
                             "REPRESENTATION_CONTEXT('2D SPACE','') );\n";
}

void WriteKnots(StepText &step, const KnotRuns &u, const KnotRuns &v, bool withV)
{
  step.List(u.multiplicities, [&](int m) { step.Int(m); }) << ",";
  if (withV)
    step.List(v.multiplicities, [&](int m) { step.Int(m); }) << ",";
  step.List(u.values, [&](double x) { step.Real(x); });
  if (withV)
    step << ",";
  if (withV)
    step.List(v.values, [&](double x) { step.Real(x); });
}

// The surface entity, then its control points numbered right after it.
void WriteSurface(StepText &step, const ON_NurbsSurface &surface)
{
  const int countU = surface.CVCount(0), countV = surface.CVCount(1);
  const bool rational = HasWeightOtherThanOne(surface);
  const KnotRuns knots[2] = {KnotRunsOf(surface, 0), KnotRunsOf(surface, 1)};
  auto poleLists = [&] {
    step << "(";
    for (int i = 0; i < countU; ++i) {
      step << (i ? ",\n(" : "\n(");
      for (int j = 0; j < countV; ++j) {
        if (j)
          step << ((j & 15) ? "," : ",\n");
        step.Ref(kSurface + 1 + (long long)i * countV + j);
      }
      step << ")";
    }
    step << ")";
  };
  step.Entity(kSurface);
  if (!rational) {
    step << "B_SPLINE_SURFACE_WITH_KNOTS('',";
    step.Int(surface.Degree(0)) << ",";
    step.Int(surface.Degree(1)) << ",";
    poleLists();
    step << ",.UNSPECIFIED.,.F.,.F.,.F.,";
    WriteKnots(step, knots[0], knots[1], true);
    step << ",.UNSPECIFIED.);\n";
  } else {
    step << "( BOUNDED_SURFACE() B_SPLINE_SURFACE(";
    step.Int(surface.Degree(0)) << ",";
    step.Int(surface.Degree(1)) << ",";
    poleLists();
    step << ",.UNSPECIFIED.,.F.,.F.,.F.) B_SPLINE_SURFACE_WITH_KNOTS(";
    WriteKnots(step, knots[0], knots[1], true);
    step << ",.UNSPECIFIED.) GEOMETRIC_REPRESENTATION_ITEM() RATIONAL_B_SPLINE_SURFACE((";
    for (int i = 0; i < countU; ++i) {
      step << (i ? ",\n(" : "\n(");
      for (int j = 0; j < countV; ++j) {
        if (j)
          step << ",";
        step.Real(surface.Weight(i, j));
      }
      step << ")";
    }
    step << ")) REPRESENTATION_ITEM('') SURFACE() );\n";
  }
  for (int i = 0; i < countU; ++i)
    for (int j = 0; j < countV; ++j) {
      ON_3dPoint p;
      surface.GetCV(i, j, p);
      step.Point(kSurface + 1 + (long long)i * countV + j, p);
    }
}

void WriteEdge(StepText &step, const ON_NurbsSurface &surface, const Edge &edge,
               const long long vertices[4])
{
  const int along = 1 - edge.dir;
  const KnotRuns knots = KnotRunsOf(surface, along);
  const BoundaryCurve &curve = edge.curve;
  const bool rational = HasWeightOtherThanOne(surface);
  step.Entity(edge.oriented) << "ORIENTED_EDGE('',*,*,";
  step.Ref(edge.edgeCurve) << (edge.forward ? ",.T.);\n" : ",.F.);\n");
  step.Entity(edge.edgeCurve) << "EDGE_CURVE('',";
  step.Ref(vertices[edge.from]) << ",";
  step.Ref(vertices[edge.to]) << ",";
  step.Ref(edge.surfaceCurve) << ",.T.);\n";
  step.Entity(edge.surfaceCurve) << "SURFACE_CURVE('',";
  step.Ref(edge.curve3d) << ",(";
  step.Ref(edge.pcurve) << "),.PCURVE_S1.);\n";

  const long long firstPole = edge.curve3d + 1;
  auto poles = [&] {
    step << "(";
    for (size_t k = 0; k < curve.poles.size(); ++k) {
      if (k)
        step << ((k & 15) ? "," : ",\n");
      step.Ref(firstPole + (long long)k);
    }
    step << ")";
  };
  step.Entity(edge.curve3d);
  if (!rational) {
    step << "B_SPLINE_CURVE_WITH_KNOTS('',";
    step.Int(surface.Degree(along)) << ",";
    poles();
    step << ",.UNSPECIFIED.,.F.,.F.,";
    WriteKnots(step, knots, knots, false);
    step << ",.UNSPECIFIED.);\n";
  } else {
    step << "( BOUNDED_CURVE() B_SPLINE_CURVE(";
    step.Int(surface.Degree(along)) << ",";
    poles();
    step << ",.UNSPECIFIED.,.F.,.F.) B_SPLINE_CURVE_WITH_KNOTS(";
    WriteKnots(step, knots, knots, false);
    step << ",.UNSPECIFIED.) CURVE() GEOMETRIC_REPRESENTATION_ITEM() RATIONAL_B_SPLINE_CURVE(";
    step.List(curve.weights, [&](double w) { step.Real(w); });
    step << ") REPRESENTATION_ITEM('') );\n";
  }
  for (size_t k = 0; k < curve.poles.size(); ++k)
    step.Point(firstPole + (long long)k, curve.poles[k]);

  // In the surface's parameters the edge is the line where `dir` is fixed,
  // run through with the curve's own parameter.
  const double fixed = edge.atEnd ? surface.Domain(edge.dir).Max() : surface.Domain(edge.dir).Min();
  step.Entity(edge.pcurve) << "PCURVE('',";
  step.Ref(kSurface) << ",";
  step.Ref(edge.definition) << ");\n";
  step.Entity(edge.definition) << "DEFINITIONAL_REPRESENTATION('',(";
  step.Ref(edge.line) << "),";
  step.Ref(kContext2d) << ");\n";
  step.Entity(edge.line) << "LINE('',";
  step.Ref(edge.linePoint) << ",";
  step.Ref(edge.vector) << ");\n";
  step.Entity(edge.linePoint) << "CARTESIAN_POINT('',(";
  step.Real(edge.dir == 0 ? fixed : 0.0) << ",";
  step.Real(edge.dir == 0 ? 0.0 : fixed) << "));\n";
  step.Entity(edge.vector) << "VECTOR('',";
  step.Ref(edge.direction) << ",1.);\n";
  step.Entity(edge.direction) << (edge.dir == 0 ? "DIRECTION('',(0.,1.));\n"
                                                : "DIRECTION('',(1.,0.));\n");
}

} // namespace

void WriteStep(TextOutput &out, const ON_NurbsSurface &surface, const std::string &name)
{
  // Corners (u, v): 0 = (min, min), 1 = (max, min), 2 = (max, max),
  // 3 = (min, max). The loop runs counter-clockwise in (u, v): along v = min,
  // up u = max, back along v = max, down u = min.
  Edge edges[4] = {{1, false, true, {}, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1},
                   {0, true, true, {}, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2},
                   {1, true, false, {}, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 2},
                   {0, false, false, {}, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3}};
  long long next = kSurface + 1 + (long long)surface.CVCount(0) * surface.CVCount(1);
  long long vertices[4], vertexPoints[4];
  for (int k = 0; k < 4; ++k) {
    vertices[k] = next++;
    vertexPoints[k] = next++;
  }
  std::array<long long, 4> oriented{};
  for (int k = 0; k < 4; ++k) {
    Edge &e = edges[k];
    e.curve = BoundaryOf(surface, e.dir, e.atEnd);
    e.oriented = next++;
    e.edgeCurve = next++;
    e.surfaceCurve = next++;
    e.curve3d = next++;
    next += (long long)e.curve.poles.size();
    e.pcurve = next++;
    e.definition = next++;
    e.line = next++;
    e.linePoint = next++;
    e.vector = next++;
    e.direction = next++;
    oriented[size_t(k)] = e.oriented;
  }

  StepText step(out);
  WriteHeader(step, name);
  WriteFrame(step, oriented, name);
  WriteSurface(step, surface);
  const ON_Interval u = surface.Domain(0), v = surface.Domain(1);
  const ON_3dPoint corners[4] = {
      surface.PointAt(u.Min(), v.Min()), surface.PointAt(u.Max(), v.Min()),
      surface.PointAt(u.Max(), v.Max()), surface.PointAt(u.Min(), v.Max())};
  for (int k = 0; k < 4; ++k) {
    step.Entity(vertices[k]) << "VERTEX_POINT('',";
    step.Ref(vertexPoints[k]) << ");\n";
    step.Point(vertexPoints[k], corners[k]);
  }
  for (const Edge &edge : edges)
    WriteEdge(step, surface, edge, vertices);
  step << "ENDSEC;\nEND-ISO-10303-21;\n";
}

} // namespace pelmora::io
