// What a wrap must be, measured on a mesh: closed, 2-manifold, consistently
// oriented and facing outward. Used by the wrap tests and by the
// mesh_report tool that judges meshes written to files.
#pragma once

#include "opennurbs.h"

namespace pelmora::test {

struct MeshTopology
{
  int vertices = 0; // vertices used by a face
  int faces = 0;
  int boundaryEdges = 0;       // undirected edges used by exactly one face
  int nonManifoldEdges = 0;    // undirected edges used by three or more faces
  int misorientedEdges = 0;    // two faces crossing an edge in the same direction
  int nonManifoldVertices = 0; // faces around the vertex do not form one fan
  int components = 0;          // face-connected pieces
  int eulerCharacteristic = 0; // V - E + F over used vertices
  double signedVolume = 0.0;   // positive when the faces face outward

  bool Closed() const { return faces > 0 && boundaryEdges == 0; }
  bool Manifold() const { return nonManifoldEdges == 0 && nonManifoldVertices == 0; }
  // Closed, 2-manifold, consistently oriented and facing outward.
  bool Sound() const
  {
    return Closed() && Manifold() && misorientedEdges == 0 && signedVolume > 0.0;
  }
};

// Quads count as two triangles; vertices are identified by index (the wraps
// never give two indices one location). Volume from the double vertices.
MeshTopology MeasureTopology(const ON_Mesh &mesh);

// How many times the closed mesh winds around `point`: about 1 inside an
// outward mesh, 0 outside (the sum of the faces' solid angles over 4 pi).
double WindingNumber(const ON_Mesh &mesh, const ON_3dPoint &point);

} // namespace pelmora::test
