// pelmora: drape NURBS surfaces over point clouds and wrap them in meshes.
#include "PMToolkit.h"
#include "cli/Arguments.h"
#include "cli/Commands.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <new>

namespace {

const char *const kUsage =
    "Usage: pelmora [--quiet] COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  drape    drape a NURBS surface over a point cloud (STEP/IGES out)\n"
    "  wrap     wrap a point cloud in a closed mesh (STL/PLY/OBJ/VTP out)\n"
    "  analyze  count, extent and suggested grid of a point cloud\n"
    "\n"
    "Options:\n"
    "  --quiet    no progress and no summary (errors are still shown)\n"
    "  --version  print the version\n"
    "  --help     this text; 'pelmora COMMAND --help' for a command\n"
    "\n"
    "'pelmora drape' without a cloud drapes the bundled sample (a car-body panel).\n"
    "Exit status: 0 success, 1 the operation failed, 2 bad usage or input.\n";

int Run(int argc, char **argv)
{
  pelmora::cli::Settings settings;
  int first = 1;
  for (; first < argc && argv[first][0] == '-'; ++first) {
    if (!std::strcmp(argv[first], "--quiet") || !std::strcmp(argv[first], "-q")) {
      settings.quiet = true;
    } else if (!std::strcmp(argv[first], "--version")) {
      std::printf("pelmora %s\n", PELMORA_VERSION);
      return pelmora::cli::ExitSuccess;
    } else if (!std::strcmp(argv[first], "--help") || !std::strcmp(argv[first], "-h")) {
      std::fputs(kUsage, stdout);
      return pelmora::cli::ExitSuccess;
    } else {
      pelmora::cli::PrintError(std::string("unknown option ") + argv[first]);
      std::fputs(kUsage, stderr);
      return pelmora::cli::ExitBadUsage;
    }
  }
  if (first == argc) {
    std::fputs(kUsage, stderr);
    return pelmora::cli::ExitBadUsage;
  }
  const std::string command = argv[first];
  std::vector<std::string> args;
  for (int i = first + 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--quiet") || !std::strcmp(argv[i], "-q"))
      settings.quiet = true;
    else
      args.push_back(argv[i]);
  }
  PMSelectToolkit(PMToolkitKind::Terminal);
  if (command == "drape")
    return pelmora::cli::RunDrape(args, settings);
  if (command == "wrap")
    return pelmora::cli::RunWrap(args, settings);
  if (command == "analyze")
    return pelmora::cli::RunAnalyze(args, settings);
  pelmora::cli::PrintError("unknown command '" + command + "'");
  std::fputs(kUsage, stderr);
  return pelmora::cli::ExitBadUsage;
}

} // namespace

int main(int argc, char **argv)
{
  try {
    return Run(argc, argv);
  } catch (const pelmora::cli::UsageError &error) {
    pelmora::cli::PrintError(error.what());
    return pelmora::cli::ExitBadUsage;
  } catch (const std::bad_alloc &) {
    pelmora::cli::PrintError("not enough memory");
  } catch (const std::exception &error) {
    pelmora::cli::PrintError(error.what());
  }
  return pelmora::cli::ExitFailed;
}
