// The solid of a watertight wrap on a voxel grid; see VoxelClosing.h.
#include "wrap/VoxelClosing.h"

#include "wrap/StageProgress.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace pelmora::wrap {

namespace {

constexpr int kBandRadius = 2;            // blocked voxels around a point
constexpr double kSurfaceDepth = 1.0;     // surface's distance from the outside
constexpr int kPadding = kBandRadius + 2; // free voxels around the cloud

enum : std::uint8_t
{
  kFree = 0,
  kBlocked = 1,
  kOutside = 2
};

struct Strides
{
  std::size_t y, z;
};

Strides StridesOf(const VoxelGrid &grid)
{
  return {std::size_t(grid.dims[0]), std::size_t(grid.dims[0]) * grid.dims[1]};
}

// Blocks every voxel whose centre lies within kBandRadius voxels of a point.
void BlockAroundPoints(const ON_3dPointArray &points, const VoxelGrid &grid,
                       std::vector<std::uint8_t> &label)
{
  const Strides stride = StridesOf(grid);
  const double reach = kBandRadius * kBandRadius;
  for (int i = 0; i < points.Count(); ++i) {
    double at[3];
    int low[3], high[3];
    for (int axis = 0; axis < 3; ++axis) {
      at[axis] = (points[i][axis] - grid.origin[axis]) / grid.voxel;
      low[axis] = std::max(0, int(std::ceil(at[axis] - kBandRadius)));
      high[axis] = std::min(grid.dims[axis] - 1, int(std::floor(at[axis] + kBandRadius)));
    }
    for (int z = low[2]; z <= high[2]; ++z)
      for (int y = low[1]; y <= high[1]; ++y) {
        const double dyz = (y - at[1]) * (y - at[1]) + (z - at[2]) * (z - at[2]);
        if (dyz > reach)
          continue;
        std::uint8_t *row = label.data() + z * stride.z + y * stride.y;
        for (int x = low[0]; x <= high[0]; ++x)
          if ((x - at[0]) * (x - at[0]) + dyz <= reach)
            row[x] = kBlocked;
      }
  }
}

// Marks as outside every free voxel that a face-connected path of free
// voxels joins to the grid's border (all border voxels are free).
void FloodOutside(const VoxelGrid &grid, std::vector<std::uint8_t> &label)
{
  const Strides stride = StridesOf(grid);
  const int nx = grid.dims[0], ny = grid.dims[1], nz = grid.dims[2];
  std::vector<std::uint32_t> queue;
  const auto push = [&](std::size_t v) {
    if (label[v] == kFree) {
      label[v] = kOutside;
      queue.push_back(std::uint32_t(v));
    }
  };
  for (int z = 0; z < nz; ++z)
    for (int y = 0; y < ny; ++y)
      for (int x = 0; x < nx; ++x)
        if (x == 0 || y == 0 || z == 0 || x == nx - 1 || y == ny - 1 || z == nz - 1)
          push(z * stride.z + y * stride.y + x);
  for (std::size_t head = 0; head < queue.size(); ++head) {
    const std::size_t v = queue[head];
    // A step in y or z past the grid's side lands on another border voxel,
    // already outside, so only a step in x across a row end needs a check.
    const std::size_t x = v % stride.y;
    if (x > 0)
      push(v - 1);
    if (x + 1 < std::size_t(nx))
      push(v + 1);
    if (v >= stride.y)
      push(v - stride.y);
    if (v + stride.y < label.size())
      push(v + stride.y);
    if (v >= stride.z)
      push(v - stride.z);
    if (v + stride.z < label.size())
      push(v + stride.z);
  }
}

// A squared distance standing for "no outside voxel on this line yet":
// large enough never to win, small enough to keep the arithmetic finite.
constexpr float kFar = 1e20f;

// One line of the exact squared Euclidean distance transform (lower
// envelope of parabolas): f in, d out, both `n` long.
void DistanceLine(const float *f, float *d, int n, std::vector<int> &v, std::vector<double> &z)
{
  int k = 0;
  v[0] = 0;
  z[0] = -std::numeric_limits<double>::infinity();
  z[1] = std::numeric_limits<double>::infinity();
  for (int q = 1; q < n; ++q) {
    double s;
    for (;;) {
      const int p = v[k];
      s = ((double(f[q]) + double(q) * q) - (double(f[p]) + double(p) * p)) / (2.0 * (q - p));
      if (s > z[k]) // z[0] is minus infinity: always true at k == 0
        break;
      --k;
    }
    ++k;
    v[k] = q;
    z[k] = s;
    z[k + 1] = std::numeric_limits<double>::infinity();
  }
  k = 0;
  for (int q = 0; q < n; ++q) {
    while (z[k + 1] < q)
      ++k;
    const double offset = double(q - v[k]);
    d[q] = float(std::min(offset * offset + f[v[k]], double(kFar)));
  }
}

// Squared distance transform of `field` along one axis, in place. Lines
// along y and z are gathered a plane at a time (the plane of x and that
// axis, which fits in cache) instead of element by element across memory.
void DistanceAlong(std::vector<float> &field, const VoxelGrid &grid, int axis)
{
  const Strides stride = StridesOf(grid);
  const int nx = grid.dims[0], ny = grid.dims[1], nz = grid.dims[2];
  const int n = grid.dims[axis];
  std::vector<float> out(n);
  std::vector<double> z(n + 1);
  std::vector<int> v(n);
  if (axis == 0) {
    for (std::size_t row = 0; row < std::size_t(ny) * nz; ++row) {
      float *line = field.data() + row * nx;
      DistanceLine(line, out.data(), n, v, z);
      std::copy(out.begin(), out.end(), line);
    }
    return;
  }
  // Plane p holds, for each q along `axis`, the row of nx values at q.
  const int planes = axis == 1 ? nz : ny;
  const std::size_t rowStride = axis == 1 ? stride.y : stride.z;
  const std::size_t planeStride = axis == 1 ? stride.z : stride.y;
  std::vector<float> plane(std::size_t(n) * nx), in(n);
  for (int p = 0; p < planes; ++p) {
    float *base = field.data() + p * planeStride;
    for (int q = 0; q < n; ++q)
      std::copy(base + q * rowStride, base + q * rowStride + nx,
                plane.data() + std::size_t(q) * nx);
    for (int x = 0; x < nx; ++x) {
      for (int q = 0; q < n; ++q)
        in[q] = plane[std::size_t(q) * nx + x];
      DistanceLine(in.data(), out.data(), n, v, z);
      for (int q = 0; q < n; ++q)
        plane[std::size_t(q) * nx + x] = out[q];
    }
    for (int q = 0; q < n; ++q)
      std::copy(plane.data() + std::size_t(q) * nx, plane.data() + std::size_t(q + 1) * nx,
                base + q * rowStride);
  }
}

std::size_t VoxelOf(const ON_3dPoint &point, const VoxelGrid &grid)
{
  const Strides stride = StridesOf(grid);
  std::size_t index = 0;
  const std::size_t step[3] = {1, stride.y, stride.z};
  for (int axis = 0; axis < 3; ++axis) {
    const int cell = int(std::lround((point[axis] - grid.origin[axis]) / grid.voxel));
    index += std::size_t(std::clamp(cell, 0, grid.dims[axis] - 1)) * step[axis];
  }
  return index;
}

} // namespace

double CrumbShare(const ON_3dPointArray &points, const VoxelGrid &grid)
{
  const std::size_t count = std::size_t(grid.VoxelCount());
  std::vector<std::uint8_t> label(count, kFree);
  BlockAroundPoints(points, grid, label);
  FloodOutside(grid, label);
  // Solid voxels lie farther than kSurfaceDepth (one voxel) from the
  // outside: no outside voxel among the 6 face neighbours.
  const Strides stride = StridesOf(grid);
  const long offsets[18] = {1,
                            -1,
                            long(stride.y),
                            -long(stride.y),
                            long(stride.z),
                            -long(stride.z),
                            1 + long(stride.y),
                            1 - long(stride.y),
                            -1 + long(stride.y),
                            -1 - long(stride.y),
                            1 + long(stride.z),
                            1 - long(stride.z),
                            -1 + long(stride.z),
                            -1 - long(stride.z),
                            long(stride.y + stride.z),
                            long(stride.y) - long(stride.z),
                            -long(stride.y) + long(stride.z),
                            -long(stride.y + stride.z)};
  std::vector<std::uint32_t> piece(count, 0), queue;
  const auto solid = [&](std::size_t v) {
    if (label[v] == kOutside)
      return false;
    for (int k = 0; k < 6; ++k)
      if (label[std::size_t(long(v) + offsets[k])] == kOutside)
        return false;
    return true;
  };
  // Face-connected pieces of the solid, numbered from 1. Border voxels are
  // outside, so every solid voxel's neighbours lie inside the grid.
  std::uint32_t pieces = 0;
  for (std::size_t seed = 0; seed < count; ++seed) {
    if (piece[seed] != 0 || label[seed] == kOutside || !solid(seed))
      continue;
    piece[seed] = ++pieces;
    queue.assign(1, std::uint32_t(seed));
    while (!queue.empty()) {
      const std::size_t v = queue.back();
      queue.pop_back();
      for (int k = 0; k < 6; ++k) {
        const std::size_t n = std::size_t(long(v) + offsets[k]);
        if (piece[n] == 0 && solid(n)) {
          piece[n] = pieces;
          queue.push_back(std::uint32_t(n));
        }
      }
    }
  }
  // A point belongs to the piece of a solid voxel next to it, if any.
  std::vector<int> pointsIn(std::size_t(pieces) + 1, 0);
  for (int i = 0; i < points.Count(); ++i) {
    const std::size_t v = VoxelOf(points[i], grid);
    std::uint32_t found = piece[v];
    for (int k = 0; k < 18 && found == 0; ++k)
      found = piece[std::size_t(long(v) + offsets[k])];
    ++pointsIn[found];
  }
  const double small = 0.01 * points.Count();
  double crumbs = pointsIn[0];
  for (std::size_t p = 1; p < pointsIn.size(); ++p)
    if (pointsIn[p] < small)
      crumbs += pointsIn[p];
  return points.Count() > 0 ? crumbs / points.Count() : 0.0;
}

VoxelGrid PlanVoxelGrid(const ON_BoundingBox &box, double detail)
{
  VoxelGrid grid;
  grid.voxel = detail / kVoxelsPerDetail;
  for (int axis = 0; axis < 3; ++axis) {
    const double cells = std::ceil((box.m_max[axis] - box.m_min[axis]) / grid.voxel);
    const double count = cells + 1 + 2 * kPadding;
    grid.dims[axis] = count < 2e9 ? int(count) : std::numeric_limits<int>::max();
    // Centred on the box, so the padding is the same on both sides.
    grid.origin[axis] = 0.5 * (box.m_min[axis] + box.m_max[axis]) - 0.5 * (count - 1) * grid.voxel;
  }
  return grid;
}

double VoxelBudget()
{
  const double pages = double(sysconf(_SC_AVPHYS_PAGES)), pageSize = double(sysconf(_SC_PAGESIZE));
  const double fromMemory = pages > 0 && pageSize > 0 ? pages * pageSize / 10.0 : 0.0;
  return std::min(std::ldexp(1.0, 28), std::max(fromMemory, std::ldexp(1.0, 20)));
}

double SmallestDetail(const ON_BoundingBox &box, double budget)
{
  double extent = 0.0;
  for (int axis = 0; axis < 3; ++axis)
    extent = std::max(extent, box.m_max[axis] - box.m_min[axis]);
  double low = extent * 1e-9, high = extent * 10.0 + 1e-300;
  for (int i = 0; i < 200 && high > low * (1 + 1e-6); ++i) {
    const double middle = std::sqrt(low * high);
    (PlanVoxelGrid(box, middle).VoxelCount() <= budget ? high : low) = middle;
  }
  return high;
}

std::vector<float> ClosingField(const ON_3dPointArray &points, const VoxelGrid &grid,
                                StageProgress &progress, double from, double to)
{
  const std::size_t count = std::size_t(grid.VoxelCount());
  std::vector<std::uint8_t> label(count, kFree);
  BlockAroundPoints(points, grid, label);
  progress.Reach(from + 0.2 * (to - from));
  FloodOutside(grid, label);
  progress.Reach(from + 0.4 * (to - from));

  std::vector<float> field(count);
  for (std::size_t v = 0; v < count; ++v)
    field[v] = label[v] == kOutside ? 0.0f : kFar;
  label = std::vector<std::uint8_t>();
  for (int axis = 0; axis < 3; ++axis) {
    DistanceAlong(field, grid, axis);
    progress.Reach(from + (0.6 + 0.13 * axis) * (to - from));
  }
  // Voxels next to the outside lie exactly on the level; they count as
  // outside, a little below it, so every surface point falls strictly
  // inside an edge and no two coincide.
  for (float &value : field) {
    value = std::min(std::sqrt(value), float(kSurfaceDepth + 4)) - float(kSurfaceDepth);
    if (value == 0.0f)
      value = -0.05f;
  }
  return field;
}

} // namespace pelmora::wrap
