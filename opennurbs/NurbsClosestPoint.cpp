// Global closest point of ON_NurbsSurface on its cached bispan hierarchy.
#include "opennurbs.h"

#include <cmath>
#include <mutex>
#include <new>

#include "BispanTree.h"

namespace {

// Serialises the lazy construction of hierarchies of const surfaces.
std::mutex &TreeMutex()
{
  static std::mutex mutex;
  return mutex;
}

} // namespace

void ON_NurbsSurface::DestroySurfaceTree()
{
  delete m_surface_tree.exchange(nullptr);
}

const pelmora::BispanTree *ON_NurbsSurface::SurfaceTree() const
{
  pelmora::BispanTree *tree = m_surface_tree.load(std::memory_order_acquire);
  if (tree && tree->Matches(*this))
    return tree;
  std::lock_guard<std::mutex> lock(TreeMutex());
  tree = m_surface_tree.load(std::memory_order_acquire);
  if (tree && tree->Matches(*this))
    return tree;
  // An invalid surface gets an empty tree, so that the validity test runs
  // once per change rather than once per query.
  pelmora::BispanTree *fresh = nullptr;
  try {
    fresh = new pelmora::BispanTree(*this, pelmora::BispanTree::Supports(*this) && IsValid());
  } catch (const std::bad_alloc &) {
    fresh = nullptr;
  }
  m_surface_tree.store(fresh, std::memory_order_release);
  delete tree;
  return fresh;
}

bool ON_NurbsSurface::GetClosestPoint(const ON_3dPoint &P, double *s, double *t,
                                      double maximum_distance, const ON_Interval *sdomain,
                                      const ON_Interval *tdomain) const
{
  if (!s || !t || !P.IsValid())
    return false;
  if (!pelmora::BispanTree::Supports(*this))
    return ON_Surface::GetClosestPoint(P, s, t, maximum_distance, sdomain, tdomain);
  const pelmora::BispanTree *tree = SurfaceTree();
  pelmora::ParameterRect rect;
  if (!tree || !tree->IsUsable() || !pelmora::SearchRectangle(*this, sdomain, tdomain, rect))
    return false;
  const double limit2 =
      maximum_distance > 0.0 ? std::nextafter(maximum_distance * maximum_distance, HUGE_VAL) : 0.0;
  double u = 0.0, v = 0.0, dist2 = 0.0;
  if (!tree->ClosestPoint(*this, P, rect, limit2, u, v, dist2))
    return false;
  if (maximum_distance > 0.0 && std::sqrt(dist2) > maximum_distance)
    return false;
  *s = u;
  *t = v;
  return true;
}
