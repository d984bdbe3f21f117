#include "io/DeviationWriter.h"
#include "io/AtomicWrite.h"
#include "io/FileBuffer.h"
#include "io/TextOutput.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace pelmora::io {
namespace {

void PutNumber(TextOutput &out, double value)
{
  char digits[32];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  out.Put(std::string_view(digits, size_t(result.ptr - digits)));
}

void WriteCsv(TextOutput &out, const ON_3dPointArray &points, const double *deviations,
              const unsigned char *folded)
{
  out.Put("x,y,z,deviation,fold\n");
  for (int i = 0; i < points.Count(); ++i) {
    PutNumber(out, points[i].x);
    out.Put(',');
    PutNumber(out, points[i].y);
    out.Put(',');
    PutNumber(out, points[i].z);
    out.Put(',');
    if (!std::isnan(deviations[i]))
      PutNumber(out, deviations[i]);
    out.Put(folded[i] ? ",1\n" : ",0\n");
  }
}

void WritePly(TextOutput &out, const ON_3dPointArray &points, const double *deviations,
              const unsigned char *folded)
{
  out.Put("ply\nformat binary_little_endian 1.0\ncomment signed deviation from the surface, "
          "NaN where none was measured; fold 1 where the probe compensation folds\nelement "
          "vertex " +
          std::to_string(points.Count()) +
          "\nproperty double x\nproperty double y\nproperty double z\nproperty double "
          "deviation\nproperty uchar fold\nend_header\n");
  char record[4 * sizeof(double) + 1];
  for (int i = 0; i < points.Count(); ++i) {
    const double values[4] = {points[i].x, points[i].y, points[i].z, deviations[i]};
    std::memcpy(record, values, sizeof values);
    record[sizeof values] = static_cast<char>(folded[i] ? 1 : 0);
    out.Put(std::string_view(record, sizeof record));
  }
}

} // namespace

const char *DeviationExtensions()
{
  return "csv, ply";
}

IoResult WriteDeviations(const std::string &path, const ON_3dPointArray &points,
                         const double *deviations, const unsigned char *folded)
{
  static_assert(sizeof(double) == 8, "ply doubles are 8 bytes");
  const std::string extension = LowerExtension(path);
  if (extension != "csv" && extension != "ply")
    return IoResult::Fail(path + ": unknown deviation file type (writable: " +
                          std::string(DeviationExtensions()) + ")");
  return WriteBufferedAtomically(path, [&](TextOutput &out) {
    if (extension == "csv")
      WriteCsv(out, points, deviations, folded);
    else
      WritePly(out, points, deviations, folded);
  });
}

} // namespace pelmora::io
