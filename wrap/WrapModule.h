// The wrap operations as the library reaches them in the wrap module
// (libpelmora_wrap.so, which holds VTK and qhull): one table of entry points.
// A new wrap operation of PMSurface gets its entry here, in WrapModule.cpp,
// and a forwarding definition in library/WrapEntries.cpp (the library's own
// definition; the one in this folder runs inside the module).
#pragma once

#include "opennurbs.h"

struct PMWrapEntries
{
  int (*wrapMesh)(ON_Mesh &mesh, const ON_3dPointArray &points, int concave, int showProgress);
  int (*wrapConcaveMesh)(ON_Mesh &mesh, const ON_3dPointArray &points, int showProgress);
  int (*wrapConvexMesh)(ON_Mesh &mesh, const ON_3dPointArray &points, int showProgress);
  int (*wrapWatertightMesh)(ON_Mesh &mesh, const ON_3dPointArray &points, double detail,
                            int showProgress);
  double (*suggestWrapDetail)(const ON_3dPointArray &points);
};

// Entry point name of the table, and the module's file.
#define PELMORA_WRAP_ENTRIES "pelmora_wrap_entries"
#define PELMORA_WRAP_MODULE "libpelmora_wrap.so"
