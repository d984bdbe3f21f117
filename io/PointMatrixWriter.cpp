#include "io/PointMatrixWriter.h"
#include "io/AtomicWrite.h"
#include "io/FileBuffer.h"
#include "io/TextOutput.h"

#include <charconv>

namespace pelmora::io {
namespace {

void WriteText(TextOutput &out, const ON_3dPointArray &matrix, char separator)
{
  char line[128];
  for (int i = 0; i < matrix.Count(); ++i) {
    const ON_3dPoint &p = matrix[i];
    char *end = line;
    const double values[3] = {p.x, p.y, p.z};
    for (int k = 0; k < 3; ++k) {
      end = std::to_chars(end, line + sizeof line, values[k]).ptr;
      *end++ = k < 2 ? separator : '\n';
    }
    out.Put(std::string_view(line, size_t(end - line)));
  }
}

void WritePly(TextOutput &out, const ON_3dPointArray &matrix, int rows, int cols)
{
  out.Put("ply\nformat binary_little_endian 1.0\ncomment point matrix rows " +
          std::to_string(rows) + " cols " + std::to_string(cols) + "\nelement vertex " +
          std::to_string(matrix.Count()) +
          "\nproperty double x\nproperty double y\nproperty double z\nend_header\n");
  static_assert(sizeof(ON_3dPoint) == 24, "ON_3dPoint is three doubles");
  out.Put(std::string_view(reinterpret_cast<const char *>(matrix.Array()),
                           size_t(matrix.Count()) * sizeof(ON_3dPoint)));
}

} // namespace

const char *PointMatrixExtensions()
{
  return "xyz, csv, ply";
}

IoResult WritePointMatrix(const std::string &path, const ON_3dPointArray &matrix, int rows,
                          int cols)
{
  const std::string extension = LowerExtension(path);
  if (extension != "xyz" && extension != "csv" && extension != "ply")
    return IoResult::Fail(path + ": unknown point matrix file type (writable: " +
                          std::string(PointMatrixExtensions()) + ")");
  return WriteBufferedAtomically(path, [&](TextOutput &out) {
    if (extension == "xyz") {
      out.Put("# rows " + std::to_string(rows) + " cols " + std::to_string(cols) + "\n");
      WriteText(out, matrix, ' ');
    } else if (extension == "csv") {
      out.Put("x,y,z\n");
      WriteText(out, matrix, ',');
    } else {
      WritePly(out, matrix, rows, cols);
    }
  });
}

} // namespace pelmora::io
