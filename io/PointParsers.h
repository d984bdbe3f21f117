// The point-file parsers behind ReadPointCloud. Each works on the whole file
// in memory and appends its points to `points`; `name` is the file name
// used in messages ("NAME:LINE: ..." for text formats).
#pragma once

#include "io/IoResult.h"
#include "opennurbs.h"

#include <string>
#include <string_view>

namespace pelmora::io {

// Text: one point per line, the first three fields x y z separated by
// blanks, commas or semicolons; extra fields ignored. Blank lines and lines
// starting with '#', '//', '%', '!' or ';' are comments. Before the first
// point, lines that do not start with a number (column titles) and a line
// holding a single integer (a point count) are headers. Anything else, and
// non-finite coordinates, fail naming the line.
IoResult ParseTextPoints(std::string_view text, const std::string &name, ON_3dPointArray &points);

// PLY, ASCII or binary (either byte order): the x, y, z properties of the
// "vertex" element, of any numeric type. Fails on a malformed header, a
// vertex element without x, y and z, or a body shorter than the header says.
IoResult ParsePlyPoints(std::string_view data, const std::string &name, ON_3dPointArray &points);

// STL, ASCII or binary: the distinct triangle corners, in order of first
// appearance.
IoResult ParseStlPoints(std::string_view data, const std::string &name, ON_3dPointArray &points);

// OBJ: the "v x y z" vertex lines; everything else is ignored.
IoResult ParseObjPoints(std::string_view text, const std::string &name, ON_3dPointArray &points);

// Reads the first three numbers of [begin, end) separated by blanks, commas
// or semicolons. Returns how many numbers were read (0..3) and sets `rest`
// to where reading stopped; `clean` is false when a field that should have
// been a number was not one.
int ParseLeadingNumbers(const char *begin, const char *end, double values[3], const char *&rest,
                        bool &clean);

} // namespace pelmora::io
