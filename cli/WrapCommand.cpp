// pelmora wrap CLOUD [--concave] -o mesh.stl|.ply|.obj|.vtp [--preview picture.png]
#include "PMSurface.h"
#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Outputs.h"
#include "cli/Preview.h"
#include "io/MeshWriter.h"

#include <cstdio>

namespace pelmora::cli {
namespace {

const char *const kHelp = "Usage: pelmora wrap CLOUD [--concave] -o MESH [--preview FILE.png]\n"
                          "\n"
                          "Wraps CLOUD in a closed mesh: its convex hull, or with --concave a\n"
                          "reconstructed surface that follows the hollows of the cloud.\n"
                          "\n"
                          "  --concave           follow hollows (default: convex hull)\n"
                          "  -o MESH             mesh file: .stl, .ply, .obj or .vtp\n"
                          "  --preview FILE.png  also render a shaded picture (needs a display)\n";

} // namespace

int RunWrap(const std::vector<std::string> &args, const Settings &settings)
{
  Arguments arguments(args, {"--help", "-h", "--concave"},
                      {"-o", "--output", "--preview", "--format"});
  if (arguments.Has("--help") || arguments.Has("-h")) {
    std::fputs(kHelp, stdout);
    std::fputs(kFormatHelp, stdout);
    return ExitSuccess;
  }
  if (arguments.Positional().size() != 1)
    throw UsageError("wrap needs exactly one CLOUD file (see 'pelmora wrap --help')");
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
  const int concave = arguments.Has("--concave") ? 1 : 0;
  if (!PMSurface::WrapMesh(mesh, points, concave, settings.quiet ? 0 : 1)) {
    PrintError(PMSurface::GetError().ToUtf8());
    return ExitFailed;
  }
  if (!settings.quiet) {
    std::printf("cloud      %s (%d points)\n", name.c_str(), points.Count());
    std::printf("mesh       %s: %d vertices, %d triangles, %d quads\n",
                concave ? "concave" : "convex", mesh.VertexCount(), mesh.TriangleCount(),
                mesh.QuadCount());
  }
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
