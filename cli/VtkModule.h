// The tool's VTK parts (mesh files and preview pictures) as the tool reaches
// them in its VTK module (libpelmora_tool_vtk.so): one table of entry points,
// so that commands that need none of them never map VTK.
#pragma once

#include "cli/Preview.h"
#include "io/IoResult.h"

#include <string>

struct PMToolVtkEntries
{
  pelmora::io::IoResult (*writeMesh)(const std::string &path, const ON_Mesh &mesh);
  bool (*previewAvailable)(std::string &reason);
  void (*requirePreviewDisplay)(const std::string &path);
  pelmora::io::IoResult (*renderPreview)(const std::string &path,
                                         const pelmora::cli::PreviewScene &scene);
};

#define PELMORA_TOOL_VTK_ENTRIES "pelmora_tool_vtk_entries"
#define PELMORA_TOOL_VTK_MODULE "libpelmora_tool_vtk.so"
