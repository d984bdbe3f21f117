// Helpers for the wrap tests: sample clouds on known shapes and checks of a
// mesh's topology.
#pragma once

#include "opennurbs.h"

#include <vector>

namespace pelmora::test {

// `count` points spread evenly (Fibonacci spiral) over a sphere.
ON_3dPointArray SphereCloud(int count, double radius, const ON_3dPoint &centre);

// `count` points spread over a torus around the z axis (ring radius R, tube
// radius r) on a regular angle grid with a small deterministic jitter.
ON_3dPointArray TorusCloud(int count, double ringRadius, double tubeRadius);

// Every edge is shared by exactly two faces which run through it in opposite
// directions: the mesh is closed and its faces are consistently oriented.
bool IsClosedAndConsistentlyOriented(const ON_Mesh &mesh);

// Volume enclosed by the faces (positive when they face outwards).
double SignedVolume(const ON_Mesh &mesh);

// Same vertices (exactly) and the same faces in the same order.
bool SameMesh(const ON_Mesh &a, const ON_Mesh &b);

// A small valid mesh to pre-fill an output and see whether it is touched.
ON_Mesh MarkerMesh();

} // namespace pelmora::test
