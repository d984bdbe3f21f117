// Dynamic arrays of trivially copyable elements, and the point arrays.
//
// ON_SimpleArray moves its elements with memcpy and never runs constructors
// or destructors of T. Capacity grows to 4, then doubles. Allocation failure
// never throws: the array is left empty (count and capacity 0).
#pragma once

#include <climits>
#include <cstdlib>
#include <cstring>
#include <type_traits>

#include "opennurbs_bounding_box.h"
#include "opennurbs_point.h"

class ON_Xform;

// Asks the kernel to back a block of at least a few megabytes with huge
// pages; call it before the block is first written. Each first touch of a
// small page is a fault that costs microseconds (tens of them on virtual
// machines), so filling a block of tens of megabytes page by page can take
// longer than computing what goes in it. Only a hint: where the kernel
// declines, nothing changes.
ON_DECL void ON_AdviseHugePages(void *block, size_t bytes);

template <class T> class ON_CLASS ON_SimpleArray
{
  static_assert(std::is_trivially_copyable<T>::value, "ON_SimpleArray needs trivially copyable T");

public:
  ON_SimpleArray() = default;
  // Reserves exactly initial_capacity slots (none when 0).
  explicit ON_SimpleArray(size_t initial_capacity)
  {
    if (initial_capacity > 0)
      SetCapacity(initial_capacity);
  }
  ON_SimpleArray(const ON_SimpleArray<T> &src) { *this = src; }
  ON_SimpleArray(ON_SimpleArray<T> &&src) noexcept
      : m_a(src.m_a), m_count(src.m_count), m_capacity(src.m_capacity)
  {
    src.m_a = nullptr;
    src.m_count = 0;
    src.m_capacity = 0;
  }
  virtual ~ON_SimpleArray() { std::free(m_a); }

  // Copying an empty array only sets the count to 0 (memory and contents
  // kept). Otherwise grows to exactly src.Count() when the capacity is
  // smaller, then copies; a larger capacity is kept.
  ON_SimpleArray<T> &operator=(const ON_SimpleArray<T> &src)
  {
    if (this == &src)
      return *this;
    if (src.m_count <= 0) {
      m_count = 0;
      return *this;
    }
    if (m_capacity < src.m_count)
      SetCapacity((size_t)src.m_count);
    if (m_a && m_capacity >= src.m_count) {
      std::memcpy((void *)m_a, (const void *)src.m_a, (size_t)src.m_count * sizeof(T));
      m_count = src.m_count;
    }
    return *this;
  }
  ON_SimpleArray<T> &operator=(ON_SimpleArray<T> &&src) noexcept
  {
    if (this != &src) {
      std::free(m_a);
      m_a = src.m_a;
      m_count = src.m_count;
      m_capacity = src.m_capacity;
      src.m_a = nullptr;
      src.m_count = 0;
      src.m_capacity = 0;
    }
    return *this;
  }

  int Count() const { return m_count; }
  unsigned int UnsignedCount() const { return (unsigned int)m_count; }
  int Capacity() const { return m_capacity; }
  size_t SizeOfArray() const { return (size_t)m_capacity * sizeof(T); }

  // No bounds check: the caller keeps 0 <= i < Count().
  T &operator[](int i) { return m_a[i]; }
  const T &operator[](int i) const { return m_a[i]; }
  T &operator[](unsigned int i) { return m_a[i]; }
  const T &operator[](unsigned int i) const { return m_a[i]; }
  T &operator[](ON__INT64 i) { return m_a[i]; }
  const T &operator[](ON__INT64 i) const { return m_a[i]; }
  T &operator[](ON__UINT64 i) { return m_a[i]; }
  const T &operator[](ON__UINT64 i) const { return m_a[i]; }

  operator T *() { return m_a; }
  operator const T *() const { return m_a; }
  // Null when nothing is allocated.
  T *Array() { return m_a; }
  const T *Array() const { return m_a; }
  T *First() { return m_count > 0 ? m_a : nullptr; }
  const T *First() const { return m_count > 0 ? m_a : nullptr; }
  T *Last() { return m_count > 0 ? m_a + (m_count - 1) : nullptr; }
  const T *Last() const { return m_count > 0 ? m_a + (m_count - 1) : nullptr; }

  // Stores x at index Count(). x may be an element of this array.
  void Append(const T &x)
  {
    if (m_count < m_capacity) {
      m_a[m_count++] = x;
      return;
    }
    const T copy = x; // x may live in the block about to be reallocated
    if (!Grow(NewCapacity()))
      return;
    m_a[m_count++] = copy;
  }

  // Appends count elements from buffer; nothing when count <= 0 or buffer
  // is null. buffer may point into this array.
  void Append(int count, const T *buffer)
  {
    if (count <= 0 || !buffer)
      return;
    if ((long long)m_count + count > INT_MAX)
      return;
    const int needed = m_count + count;
    if (needed > m_capacity) {
      int newcap = NewCapacity();
      if (newcap < needed)
        newcap = needed;
      if (m_a && buffer >= m_a && buffer < m_a + m_capacity) {
        T *copy = (T *)std::malloc((size_t)count * sizeof(T));
        if (!copy)
          return;
        std::memcpy((void *)copy, (const void *)buffer, (size_t)count * sizeof(T));
        if (Grow(newcap))
          AppendBlock(count, copy);
        std::free(copy);
        return;
      }
      if (!Grow(newcap))
        return;
    }
    AppendBlock(count, buffer);
  }

  // Grows as Append does, zero-fills the new slot and returns it. If the
  // array cannot grow, returns a zeroed scratch element that is not part of
  // the array.
  T &AppendNew()
  {
    if (m_count == m_capacity && !Grow(NewCapacity())) {
      static thread_local T scratch;
      std::memset((void *)&scratch, 0, sizeof(T));
      return scratch;
    }
    std::memset((void *)(m_a + m_count), 0, sizeof(T));
    return m_a[m_count++];
  }

  // Zero-fills every allocated slot and sets the count to 0; the memory is
  // kept.
  void Empty()
  {
    if (m_a)
      std::memset((void *)m_a, 0, (size_t)m_capacity * sizeof(T));
    m_count = 0;
  }
  // Frees the memory: count and capacity 0, Array() null.
  void Destroy() { SetCapacity(0); }

  // Grows to exactly n slots when the capacity is smaller; never shrinks.
  T *Reserve(size_t n)
  {
    if ((size_t)m_capacity < n)
      SetCapacity(n);
    return m_a;
  }

  // Sets the capacity to n when 0 < n <= INT_MAX, otherwise frees the array
  // (so a negative int converted to size_t frees it). The count is cut to
  // the new capacity; newly gained slots are zero-filled. On allocation
  // failure the array becomes empty (null, count and capacity 0).
  T *SetCapacity(size_t n)
  {
    if (m_capacity == 0) {
      m_a = nullptr;
      m_count = 0;
    }
    const int capacity = (n > 0 && n <= (size_t)INT_MAX) ? (int)n : 0;
    if (capacity == m_capacity)
      return m_a;
    if (capacity > 0) {
      if (m_count > capacity)
        m_count = capacity;
      T *p = (T *)std::realloc((void *)m_a, (size_t)capacity * sizeof(T));
      if (!p) {
        std::free(m_a);
        m_a = nullptr;
        m_count = 0;
        m_capacity = 0;
        return nullptr;
      }
      m_a = p;
      if (capacity > m_capacity) {
        ON_AdviseHugePages(m_a, (size_t)capacity * sizeof(T));
        std::memset((void *)(m_a + m_capacity), 0, (size_t)(capacity - m_capacity) * sizeof(T));
      }
      m_capacity = capacity;
    } else {
      std::free(m_a);
      m_a = nullptr;
      m_count = 0;
      m_capacity = 0;
    }
    return m_a;
  }

  // Sets the count to n when 0 <= n <= Capacity(); otherwise nothing.
  // Slots are not initialised.
  void SetCount(int n)
  {
    if (n >= 0 && n <= m_capacity)
      m_count = n;
  }

  // Zero-fills slots [Count(), Capacity()).
  void Zero()
  {
    if (m_a)
      std::memset((void *)m_a, 0, (size_t)m_capacity * sizeof(T));
  }

  // Capacity Append grows to: 4 while count <= 2, then twice the count;
  // beyond 256 MB of elements, count + min(count, 8 + 256MB/sizeof(T)).
  // Never beyond INT_MAX.
  int NewCapacity() const
  {
    const size_t cap_size = (size_t)32 * sizeof(void *) * 1024 * 1024;
    long long newcap;
    if (m_count < 8 || (size_t)m_count * sizeof(T) <= cap_size) {
      newcap = (m_count <= 2) ? 4 : 2 * (long long)m_count;
    } else {
      long long delta = 8 + (long long)(cap_size / sizeof(T));
      if (delta > m_count)
        delta = m_count;
      newcap = (long long)m_count + delta;
    }
    return newcap > INT_MAX ? INT_MAX : (int)newcap;
  }

protected:
  T *m_a = nullptr;
  int m_count = 0;
  int m_capacity = 0;

private:
  // Grows to at least newcap slots; false when no slot could be gained.
  bool Grow(int newcap)
  {
    if (newcap <= m_count)
      return false;
    Reserve((size_t)newcap);
    return m_a != nullptr && m_count < m_capacity;
  }
  void AppendBlock(int count, const T *buffer)
  {
    std::memmove((void *)(m_a + m_count), (const void *)buffer, (size_t)count * sizeof(T));
    m_count += count;
  }
};

class ON_CLASS ON_3dPointArray : public ON_SimpleArray<ON_3dPoint>
{
public:
  ON_3dPointArray() = default;
  explicit ON_3dPointArray(int initial_capacity)
      : ON_SimpleArray<ON_3dPoint>(initial_capacity > 0 ? (size_t)initial_capacity : 0)
  {
  }
  ON_3dPointArray(const ON_SimpleArray<ON_3dPoint> &src) : ON_SimpleArray<ON_3dPoint>(src) {}
  ON_3dPointArray(const ON_3dPointArray &) = default;
  ON_3dPointArray(ON_3dPointArray &&) = default;
  ON_3dPointArray &operator=(const ON_3dPointArray &) = default;
  ON_3dPointArray &operator=(ON_3dPointArray &&) = default;
  ON_3dPointArray &operator=(const ON_SimpleArray<ON_3dPoint> &src)
  {
    ON_SimpleArray<ON_3dPoint>::operator=(src);
    return *this;
  }

  // The box of all points, or the empty (invalid) box for an empty array.
  // No point is skipped: unset points widen the box like any number.
  ON_BoundingBox BoundingBox() const;
  // GetBBox on bbox's corners.
  bool GetBoundingBox(ON_BoundingBox &bbox, int bGrowBox = false) const;
  // Box of the points in boxmin/boxmax. With bGrowBox (ignored when the
  // incoming box has boxmin[k] > boxmax[k]) the box is enlarged. An empty
  // array leaves the box unwritten and returns bGrowBox. Per coordinate:
  // if min > v then min = v, else if max < v then max = v (NaNs after the
  // first point are ignored).
  bool GetBBox(double boxmin[3], double boxmax[3], bool bGrowBox = false) const;
  // Homogeneous transform of every point (ON_3dPoint::Transform); false
  // for an empty array.
  bool Transform(const ON_Xform &xform);
};

class ON_CLASS ON_3fPointArray : public ON_SimpleArray<ON_3fPoint>
{
public:
  ON_3fPointArray() = default;
  explicit ON_3fPointArray(int initial_capacity)
      : ON_SimpleArray<ON_3fPoint>(initial_capacity > 0 ? (size_t)initial_capacity : 0)
  {
  }
  ON_3fPointArray(const ON_3fPointArray &) = default;
  ON_3fPointArray(ON_3fPointArray &&) = default;
  ON_3fPointArray &operator=(const ON_3fPointArray &) = default;
  ON_3fPointArray &operator=(ON_3fPointArray &&) = default;
};

class ON_CLASS ON_3fVectorArray : public ON_SimpleArray<ON_3fVector>
{
public:
  ON_3fVectorArray() = default;
  explicit ON_3fVectorArray(int initial_capacity)
      : ON_SimpleArray<ON_3fVector>(initial_capacity > 0 ? (size_t)initial_capacity : 0)
  {
  }
  ON_3fVectorArray(const ON_3fVectorArray &) = default;
  ON_3fVectorArray(ON_3fVectorArray &&) = default;
  ON_3fVectorArray &operator=(const ON_3fVectorArray &) = default;
  ON_3fVectorArray &operator=(ON_3fVectorArray &&) = default;
};

class ON_CLASS ON_2fPointArray : public ON_SimpleArray<ON_2fPoint>
{
public:
  ON_2fPointArray() = default;
  explicit ON_2fPointArray(int initial_capacity)
      : ON_SimpleArray<ON_2fPoint>(initial_capacity > 0 ? (size_t)initial_capacity : 0)
  {
  }
  ON_2fPointArray(const ON_2fPointArray &) = default;
  ON_2fPointArray(ON_2fPointArray &&) = default;
  ON_2fPointArray &operator=(const ON_2fPointArray &) = default;
  ON_2fPointArray &operator=(ON_2fPointArray &&) = default;
};

class ON_CLASS ON_2dPointArray : public ON_SimpleArray<ON_2dPoint>
{
public:
  ON_2dPointArray() = default;
  explicit ON_2dPointArray(int initial_capacity)
      : ON_SimpleArray<ON_2dPoint>(initial_capacity > 0 ? (size_t)initial_capacity : 0)
  {
  }
  ON_2dPointArray(const ON_2dPointArray &) = default;
  ON_2dPointArray(ON_2dPointArray &&) = default;
  ON_2dPointArray &operator=(const ON_2dPointArray &) = default;
  ON_2dPointArray &operator=(ON_2dPointArray &&) = default;
};
