// pelmora wrap CLOUD [--concave | --watertight [--detail D]] -o mesh.stl|.ply|.obj|.vtp
//                    [--preview picture.png]
#include "PMSurface.h"
#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Outputs.h"
#include "cli/Preview.h"
#include "io/MeshWriter.h"

#include <cstdint>
#include <cstdio>
#include <unordered_map>

namespace pelmora::cli {
namespace {

const char *const kHelp =
    "Usage: pelmora wrap CLOUD [--concave | --watertight [--detail D]] -o MESH\n"
    "                    [--preview FILE.png]\n"
    "\n"
    "Wraps CLOUD in a closed mesh: its convex hull; with --concave a surface\n"
    "reconstructed from the points; with --watertight a closed surface that\n"
    "follows hollows wider than the detail size D and passes within D of\n"
    "every point.\n"
    "\n"
    "  --concave           reconstructed surface (follows hollows)\n"
    "  --watertight        closed surface at a chosen detail size\n"
    "  --detail D          detail size in cloud units (default: from the point\n"
    "                      spacing, shown in the summary)\n"
    "  -o MESH             mesh file: .stl, .ply, .obj or .vtp (ply, obj and vtp\n"
    "                      keep double-precision coordinates)\n"
    "  --preview FILE.png  also render a shaded picture (needs a display)\n";

// Edges not shared by exactly two faces running opposite ways: 0 for a
// closed, consistently oriented mesh.
int OpenEdges(const ON_Mesh &mesh)
{
  std::unordered_map<std::uint64_t, int> uses; // directed edge -> count
  const auto key = [](int a, int b) {
    return (std::uint64_t(std::uint32_t(a)) << 32) | std::uint32_t(b);
  };
  for (int f = 0; f < mesh.FaceCount(); ++f) {
    const int *vi = mesh.m_F[f].vi;
    const int corners = vi[2] == vi[3] ? 3 : 4;
    for (int k = 0; k < corners; ++k)
      ++uses[key(vi[k], vi[(k + 1) % corners])];
  }
  int open = 0;
  for (const auto &[edge, count] : uses) {
    const auto reverse = uses.find(key(int(edge & 0xffffffffu), int(edge >> 32)));
    open += count != 1 || reverse == uses.end() || reverse->second != 1;
  }
  return open;
}

void PrintSummary(const std::string &name, int pointCount, const char *kind, const ON_Mesh &mesh,
                  double detail, bool detailSuggested)
{
  std::printf("cloud      %s (%d points)\n", name.c_str(), pointCount);
  const int open = OpenEdges(mesh);
  std::printf("mesh       %s: %d vertices, %d faces, %s\n", kind, mesh.VertexCount(),
              mesh.FaceCount(), open == 0 ? "closed" : "not closed");
  if (open != 0)
    std::printf("           %d edges open or not shared by exactly two faces\n", open);
  if (detail > 0.0)
    std::printf("detail     %.6g%s\n", detail, detailSuggested ? " (from the point spacing)" : "");
}

} // namespace

int RunWrap(const std::vector<std::string> &args, const Settings &settings)
{
  Arguments arguments(args, {"--help", "-h", "--concave", "--watertight"},
                      {"-o", "--output", "--preview", "--detail", "--format"});
  if (arguments.Has("--help") || arguments.Has("-h")) {
    std::fputs(kHelp, stdout);
    std::fputs(kFormatHelp, stdout);
    return ExitSuccess;
  }
  if (arguments.Positional().size() != 1)
    throw UsageError("wrap needs exactly one CLOUD file (see 'pelmora wrap --help')");
  const bool concave = arguments.Has("--concave"), watertight = arguments.Has("--watertight");
  if (concave && watertight)
    throw UsageError("wrap takes --concave or --watertight, not both");
  if (arguments.Has("--detail") && !watertight)
    throw UsageError("--detail goes with --watertight");
  const double requestedDetail = arguments.FiniteDouble("--detail", 0.0);
  if (arguments.Has("--detail") && !(requestedDetail > 0.0))
    throw UsageError("--detail must be a positive size");
  const std::string cloudPath = arguments.Positional()[0];
  const std::string meshPath = arguments.Value("-o", arguments.Value("--output"));
  const std::string previewPath = arguments.Value("--preview");
  if (meshPath.empty())
    throw UsageError("wrap needs -o MESH (.stl, .ply, .obj or .vtp)");
  CheckOutput(meshPath, {"stl", "ply", "obj", "vtp"}, "mesh", cloudPath);
  CheckOutput(previewPath, {"png"}, "preview", cloudPath);

  ON_3dPointArray points;
  std::string name;
  if (!LoadCloud(cloudPath, arguments.Value("--format"), points, name))
    return ExitBadUsage;
  RequirePreviewDisplay(previewPath);

  ON_Mesh mesh;
  const int progress = settings.quiet ? 0 : 1;
  double detail = 0.0;
  int wrapped = 0;
  if (watertight) {
    detail = requestedDetail > 0.0 ? requestedDetail : PMSurface::SuggestWrapDetail(points);
    wrapped = PMSurface::WrapWatertightMesh(mesh, points, detail, progress);
  } else {
    wrapped = PMSurface::WrapMesh(mesh, points, concave ? 1 : 0, progress);
  }
  if (!wrapped) {
    PrintError(PMSurface::GetError().ToUtf8());
    return ExitFailed;
  }
  if (!settings.quiet)
    PrintSummary(name, points.Count(), watertight ? "watertight" : (concave ? "concave" : "convex"),
                 mesh, detail, watertight && !(requestedDetail > 0.0));
  Written written(settings.quiet);
  if (!written.Add(meshPath, io::WriteMesh(meshPath, mesh)))
    return ExitFailed;
  if (!previewPath.empty()) {
    PreviewScene scene{&points, ON_3dVector(0, 0, -1), nullptr, &mesh};
    if (!written.Add(previewPath, RenderPreview(previewPath, scene)))
      return ExitFailed;
  }
  return written.Commit() ? ExitSuccess : ExitFailed;
}

} // namespace pelmora::cli
