// Sample clouds on known shapes and mesh checks for the wrap tests.
#pragma once

#include "opennurbs.h"

namespace pelmora::test {

// Evenly spread (Fibonacci spiral) points on a sphere.
ON_3dPointArray SphereCloud(int count, double radius, const ON_3dPoint &centre);
// Points on a torus around the z axis, on a slightly jittered angle grid.
ON_3dPointArray TorusCloud(int count, double ringRadius, double tubeRadius);
// Every directed edge appears once and its reverse once: closed and
// consistently oriented.
bool IsClosedAndConsistentlyOriented(const ON_Mesh &mesh);
// Enclosed volume, positive when the faces point outwards.
double SignedVolume(const ON_Mesh &mesh);
// Exactly the same vertices and faces in the same order.
bool SameMesh(const ON_Mesh &a, const ON_Mesh &b);
// A small valid mesh to pre-fill an output with.
ON_Mesh MarkerMesh();

} // namespace pelmora::test
