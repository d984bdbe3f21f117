// Construction, storage and accessors of ON_NurbsSurface.
#include "opennurbs.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

// Grows an owned array to exactly `capacity` doubles; a caller-owned array
// (capacity 0, pointer set) is left alone. New doubles are zeroed.
bool ReserveArray(double *&array, int &current, int capacity)
{
  if (array && current == 0)
    return true;
  if (capacity > current) {
    void *grown = std::realloc(array, sizeof(double) * size_t(capacity));
    if (!grown)
      return false;
    array = static_cast<double *>(grown);
    if (current == 0)
      ON_AdviseHugePages(array, sizeof(double) * size_t(capacity));
    std::memset(array + current, 0, sizeof(double) * size_t(capacity - current));
    current = capacity;
  }
  return array != nullptr;
}

} // namespace

ON_NurbsSurface::ON_NurbsSurface()
{
  Initialize();
}

ON_NurbsSurface::ON_NurbsSurface(const ON_NurbsSurface &src) : ON_Surface(src)
{
  Initialize();
  *this = src;
}

ON_NurbsSurface::ON_NurbsSurface(int dimension, bool bIsRational, int order0, int order1,
                                 int cv_count0, int cv_count1)
{
  Initialize();
  Create(dimension, bIsRational, order0, order1, cv_count0, cv_count1);
}

ON_NurbsSurface::~ON_NurbsSurface()
{
  Destroy();
}

void ON_NurbsSurface::Initialize(void)
{
  DestroySurfaceTree();
  m_dim = 0;
  m_is_rat = 0;
  m_order[0] = m_order[1] = 0;
  m_cv_count[0] = m_cv_count[1] = 0;
  m_knot_capacity[0] = m_knot_capacity[1] = 0;
  m_knot[0] = m_knot[1] = nullptr;
  m_cv_stride[0] = m_cv_stride[1] = 0;
  m_cv_capacity = 0;
  m_cv = nullptr;
}

void ON_NurbsSurface::Destroy()
{
  if (m_cv && m_cv_capacity > 0)
    std::free(m_cv);
  for (int dir = 0; dir < 2; ++dir) {
    if (m_knot[dir] && m_knot_capacity[dir] > 0)
      std::free(m_knot[dir]);
  }
  Initialize();
}

bool ON_NurbsSurface::ReserveKnotCapacity(int dir, int capacity)
{
  DestroySurfaceTree();
  const int d = dir ? 1 : 0;
  return ReserveArray(m_knot[d], m_knot_capacity[d], capacity);
}

bool ON_NurbsSurface::ReserveCVCapacity(int capacity)
{
  DestroySurfaceTree();
  return ReserveArray(m_cv, m_cv_capacity, capacity);
}

ON_NurbsSurface &ON_NurbsSurface::operator=(const ON_NurbsSurface &src)
{
  if (this == &src)
    return *this;
  DestroySurfaceTree();
  m_dim = src.m_dim;
  m_is_rat = src.m_is_rat;
  for (int dir = 0; dir < 2; ++dir) {
    m_order[dir] = src.m_order[dir];
    m_cv_count[dir] = src.m_cv_count[dir];
  }
  const int cvsize = CVSize();
  m_cv_stride[1] = cvsize;
  m_cv_stride[0] = cvsize * m_cv_count[1];
  bool ok = true;
  for (int dir = 0; dir < 2 && ok; ++dir) {
    if (!src.m_knot[dir])
      continue;
    const int count = KnotCount(dir);
    ok = count <= 0 || ReserveKnotCapacity(dir, count);
    if (ok && count > 0)
      std::memcpy(m_knot[dir], src.m_knot[dir], sizeof(double) * size_t(count));
  }
  if (ok && src.m_cv) {
    const long long total = (long long)m_cv_count[0] * m_cv_count[1] * cvsize;
    ok = total <= INT_MAX && (total <= 0 || ReserveCVCapacity(int(total)));
    if (ok && total > 0) {
      if (src.m_cv_stride[0] == m_cv_stride[0] && src.m_cv_stride[1] == m_cv_stride[1]) {
        std::memcpy(m_cv, src.m_cv, sizeof(double) * size_t(total));
      } else {
        for (int i = 0; i < m_cv_count[0]; ++i)
          for (int j = 0; j < m_cv_count[1]; ++j)
            std::memcpy(CV(i, j), src.CV(i, j), sizeof(double) * size_t(cvsize));
      }
    }
  }
  if (!ok)
    Destroy(); // out of memory: an empty surface rather than a half copy
  return *this;
}

bool ON_NurbsSurface::Create(int dim, bool is_rat, int order0, int order1, int cv_count0,
                             int cv_count1)
{
  if (dim < 1 || order0 < 2 || order1 < 2 || cv_count0 < order0 || cv_count1 < order1)
    return false;
  const long long cvsize = dim + (is_rat ? 1 : 0);
  const long long total = cvsize * cv_count0 * cv_count1;
  if (total > INT_MAX || (long long)order0 + cv_count0 > INT_MAX ||
      (long long)order1 + cv_count1 > INT_MAX)
    return false;
  DestroySurfaceTree();
  m_dim = dim;
  m_is_rat = is_rat ? 1 : 0;
  m_order[0] = order0;
  m_order[1] = order1;
  m_cv_count[0] = cv_count0;
  m_cv_count[1] = cv_count1;
  m_cv_stride[1] = int(cvsize);
  m_cv_stride[0] = int(cvsize * cv_count1);
  const bool ok = ReserveKnotCapacity(0, KnotCount(0)) && ReserveKnotCapacity(1, KnotCount(1)) &&
                  ReserveCVCapacity(int(total));
  if (!ok)
    Destroy();
  return ok;
}

int ON_NurbsSurface::Dimension() const
{
  return m_dim;
}

bool ON_NurbsSurface::IsRational() const
{
  return m_is_rat != 0;
}

int ON_NurbsSurface::CVSize() const
{
  return (m_dim > 0) ? (m_is_rat ? m_dim + 1 : m_dim) : 0;
}

int ON_NurbsSurface::Order(int dir) const
{
  return m_order[dir ? 1 : 0];
}

int ON_NurbsSurface::Degree(int dir) const
{
  const int order = Order(dir);
  return order >= 2 ? order - 1 : 0;
}

int ON_NurbsSurface::CVCount(int dir) const
{
  return m_cv_count[dir ? 1 : 0];
}

int ON_NurbsSurface::CVCount(void) const
{
  return m_cv_count[0] * m_cv_count[1];
}

int ON_NurbsSurface::KnotCount(int dir) const
{
  return ON_KnotCount(Order(dir), CVCount(dir));
}

double *ON_NurbsSurface::CV(int i, int j) const
{
  if (!m_cv || i < 0 || j < 0 || i >= m_cv_count[0] || j >= m_cv_count[1])
    return nullptr;
  const long long offset = (long long)i * m_cv_stride[0] + (long long)j * m_cv_stride[1];
  return offset < 0 ? nullptr : m_cv + offset;
}

double *ON_NurbsSurface::CV(int i, int j)
{
  DestroySurfaceTree();
  return static_cast<const ON_NurbsSurface *>(this)->CV(i, j);
}

double ON_NurbsSurface::Weight(int i, int j) const
{
  const double *cv = CV(i, j);
  return (cv && m_is_rat) ? cv[m_dim] : 1.0;
}

double ON_NurbsSurface::Knot(int dir, int knot_index) const
{
  const double *knot = m_knot[dir ? 1 : 0];
  return (knot && knot_index >= 0 && knot_index < KnotCount(dir)) ? knot[knot_index] : 0.0;
}

const double *ON_NurbsSurface::Knot(int dir) const
{
  return m_knot[dir ? 1 : 0];
}

ON_Interval ON_NurbsSurface::Domain(int dir) const
{
  const int d = dir ? 1 : 0;
  if (m_order[d] < 2 || m_cv_count[d] < m_order[d] || !m_knot[d])
    return ON_Interval();
  return ON_Interval(m_knot[d][m_order[d] - 2], m_knot[d][m_cv_count[d] - 1]);
}
