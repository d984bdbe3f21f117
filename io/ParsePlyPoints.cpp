#include "io/BinaryScalar.h"
#include "io/ParseNumber.h"
#include "io/PointParsers.h"
#include "io/TextLines.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <sstream>
#include <vector>

namespace pelmora::io {
namespace {

enum class Format
{
  Ascii,
  BinaryLittle,
  BinaryBig
};

struct Property
{
  std::string name;
  ScalarType type = ScalarType::Invalid;
  bool isList = false;
  ScalarType countType = ScalarType::Invalid;
};

struct Element
{
  std::string name;
  uint64_t count = 0;
  std::vector<Property> properties;
};

struct Header
{
  Format format = Format::Ascii;
  std::vector<Element> elements;
  size_t bodyOffset = 0;
  long bodyLine = 0; // line number of the first body line (ASCII)
};

// A PLY type name; 64-bit integers are not PLY types.
ScalarType ParseScalar(const std::string &word)
{
  static const ScalarName kNames[] = {
      {"char", ScalarType::Int8},      {"int8", ScalarType::Int8},
      {"uchar", ScalarType::UInt8},    {"uint8", ScalarType::UInt8},
      {"short", ScalarType::Int16},    {"int16", ScalarType::Int16},
      {"ushort", ScalarType::UInt16},  {"uint16", ScalarType::UInt16},
      {"int", ScalarType::Int32},      {"int32", ScalarType::Int32},
      {"uint", ScalarType::UInt32},    {"uint32", ScalarType::UInt32},
      {"float", ScalarType::Float32},  {"float32", ScalarType::Float32},
      {"double", ScalarType::Float64}, {"float64", ScalarType::Float64},
  };
  return FindScalarType(word, kNames);
}

IoResult ParseHeader(std::string_view data, const std::string &name, Header &header)
{
  if (data.compare(0, 3, "ply") != 0 || data.size() < 4 || (data[3] != '\n' && data[3] != '\r'))
    return LineError(name, 1, "not a PLY file (it does not start with 'ply')");
  size_t pos = 0;
  bool sawFormat = false;
  for (long line = 1;; ++line) {
    size_t end = data.find('\n', pos);
    if (end == std::string_view::npos)
      return IoResult::Fail(name + ": PLY header has no 'end_header'");
    std::string text(data.substr(pos, end - pos));
    pos = end + 1;
    if (!text.empty() && text.back() == '\r')
      text.pop_back();
    std::istringstream words(text);
    std::string keyword;
    words >> keyword;
    auto fail = [&](const std::string &what) {
      return LineError(name, line, what + " in PLY header");
    };
    if (line == 1 || keyword.empty() || keyword == "comment" || keyword == "obj_info")
      continue;
    if (keyword == "format") {
      std::string kind;
      words >> kind;
      if (kind == "ascii")
        header.format = Format::Ascii;
      else if (kind == "binary_little_endian")
        header.format = Format::BinaryLittle;
      else if (kind == "binary_big_endian")
        header.format = Format::BinaryBig;
      else
        return fail("unknown format '" + kind + "'");
      sawFormat = true;
    } else if (keyword == "element") {
      Element element;
      std::string count, extra;
      words >> element.name >> count >> extra;
      unsigned long long parsed;
      if (element.name.empty() || !extra.empty() || !ParseCount(count, parsed))
        return fail("malformed element line (expected 'element NAME COUNT')");
      element.count = parsed;
      header.elements.push_back(element);
    } else if (keyword == "property") {
      if (header.elements.empty())
        return fail("property before any element");
      Property property;
      std::string type;
      words >> type;
      if (type == "list") {
        std::string countType, itemType;
        words >> countType >> itemType >> property.name;
        property.isList = true;
        property.countType = ParseScalar(countType);
        property.type = ParseScalar(itemType);
        if (property.countType == ScalarType::Invalid ||
            property.countType == ScalarType::Float32 || property.countType == ScalarType::Float64)
          return fail("bad list count type '" + countType + "'");
      } else {
        property.type = ParseScalar(type);
        words >> property.name;
      }
      if (property.type == ScalarType::Invalid || property.name.empty())
        return fail("malformed property line");
      header.elements.back().properties.push_back(property);
    } else if (keyword == "end_header") {
      if (!sawFormat)
        return fail("no format line");
      header.bodyOffset = pos;
      header.bodyLine = line + 1;
      return IoResult::Ok();
    } else {
      return fail("unknown keyword '" + keyword + "'");
    }
  }
}

struct VertexLayout
{
  bool isVertex = false;       // the element holds the vertices
  int index[3] = {-1, -1, -1}; // property index of x, y, z
};

// Whether `element` holds the vertices and, if so, which of its properties
// are x, y and z; its vertices must fit in `points`.
IoResult FindVertexLayout(const Element &element, const std::string &name,
                          const ON_3dPointArray &points, VertexLayout &layout)
{
  layout.isVertex = element.name == "vertex";
  if (!layout.isVertex)
    return IoResult::Ok();
  const char *axes[3] = {"x", "y", "z"};
  for (size_t p = 0; p < element.properties.size(); ++p)
    for (int k = 0; k < 3; ++k)
      if (element.properties[p].name == axes[k] && !element.properties[p].isList)
        layout.index[k] = int(p);
  if (layout.index[0] < 0 || layout.index[1] < 0 || layout.index[2] < 0)
    return IoResult::Fail(name + ": the PLY vertex element has no x, y and z properties");
  if (element.count > uint64_t(INT_MAX - points.Count()))
    return IoResult::Fail(name + ": too many vertices (" + std::to_string(element.count) + ")");
  return IoResult::Ok();
}

// The body ends inside `element`, after `found` complete items.
IoResult Truncated(const std::string &name, const Element &element, uint64_t found)
{
  if (element.name != "vertex")
    return IoResult::Fail(name + ": truncated PLY file in element '" + element.name + "'");
  return TruncatedBody(name, "PLY", element.count, "vertices", found);
}

IoResult ParseBinary(std::string_view data, const std::string &name, const Header &header,
                     ON_3dPointArray &points)
{
  const bool bigEndian = header.format == Format::BinaryBig;
  const char *p = data.data() + header.bodyOffset;
  const char *const end = data.data() + data.size();
  for (const Element &element : header.elements) {
    std::vector<size_t> offsets;
    size_t stride = 0;
    bool fixed = true;
    for (const Property &property : element.properties) {
      offsets.push_back(stride);
      fixed = fixed && !property.isList;
      stride += ScalarSize(property.isList ? property.countType : property.type);
    }
    VertexLayout layout;
    IoResult found = FindVertexLayout(element, name, points, layout);
    if (!found)
      return found;
    const bool isVertex = layout.isVertex;
    if (fixed && !isVertex) {
      if (stride != 0 && uint64_t(end - p) / stride < element.count)
        return Truncated(name, element, 0);
      p += element.count * stride;
      continue;
    }
    if (fixed) {
      uint64_t available = stride ? uint64_t(end - p) / stride : element.count;
      if (available < element.count)
        return Truncated(name, element, available);
      ReservePoints(points, size_t(element.count));
      const Property *props = element.properties.data();
      for (uint64_t v = 0; v < element.count; ++v, p += stride) {
        double values[3];
        for (int k = 0; k < 3; ++k)
          values[k] =
              LoadScalar(props[layout.index[k]].type, p + offsets[layout.index[k]], bigEndian);
        AppendPoint(points, values[0], values[1], values[2]);
      }
      return IoResult::Ok();
    }
    // Elements with lists: walk item by item.
    for (uint64_t v = 0; v < element.count; ++v) {
      double values[3] = {0, 0, 0};
      for (size_t q = 0; q < element.properties.size(); ++q) {
        const Property &property = element.properties[q];
        if (!property.isList) {
          size_t size = ScalarSize(property.type);
          if (size_t(end - p) < size)
            return Truncated(name, element, v);
          for (int k = 0; k < 3; ++k)
            if (isVertex && layout.index[k] == int(q))
              values[k] = LoadScalar(property.type, p, bigEndian);
          p += size;
          continue;
        }
        size_t countSize = ScalarSize(property.countType);
        if (size_t(end - p) < countSize)
          return Truncated(name, element, v);
        double items = LoadScalar(property.countType, p, bigEndian);
        p += countSize;
        if (items < 0 || double(end - p) < items * double(ScalarSize(property.type)))
          return Truncated(name, element, v);
        p += size_t(items) * ScalarSize(property.type);
      }
      if (isVertex)
        AppendPoint(points, values[0], values[1], values[2]);
    }
    if (isVertex)
      return IoResult::Ok();
  }
  return IoResult::Fail(name + ": the PLY file has no vertex element");
}

// One ASCII element line: every property's number(s) in header order and
// nothing else. Sets values[k] to the value of property layout.index[k].
bool ParseAsciiLine(const char *p, const char *end, const Element &element,
                    const VertexLayout *layout, double values[3])
{
  for (size_t q = 0; q < element.properties.size(); ++q) {
    const Property &property = element.properties[q];
    double value;
    if (ParseNumber(NextWord(p, end), value) != NumberStatus::Ok)
      return false;
    if (property.isList) {
      unsigned long long items = 0;
      if (value < 0 || value != std::floor(value) || value > double(end - p))
        return false;
      items = (unsigned long long)value;
      for (unsigned long long i = 0; i < items; ++i) {
        double item;
        if (ParseNumber(NextWord(p, end), item) != NumberStatus::Ok)
          return false;
      }
      continue;
    }
    if (layout)
      for (int k = 0; k < 3; ++k)
        if (layout->index[k] == int(q))
          values[k] = value;
  }
  return NextWord(p, end).empty();
}

IoResult ParseAscii(std::string_view data, const std::string &name, const Header &header,
                    ON_3dPointArray &points)
{
  const char *p = data.data() + header.bodyOffset;
  const char *const end = data.data() + data.size();
  long line = header.bodyLine;
  for (const Element &element : header.elements) {
    VertexLayout layout;
    IoResult found = FindVertexLayout(element, name, points, layout);
    if (!found)
      return found;
    const bool isVertex = layout.isVertex;
    if (isVertex) {
      // A vertex line takes at least six bytes ("0 0 0\n"): never reserve
      // more than the body can hold, whatever the header claims.
      ReservePoints(points, size_t(std::min<uint64_t>(element.count, uint64_t(end - p) / 6 + 1)));
    }
    for (uint64_t v = 0; v < element.count; ++v, ++line) {
      if (p >= end)
        return Truncated(name, element, v);
      const char *lineEnd = LineEnd(p, end);
      double values[3] = {0.0, 0.0, 0.0};
      if (!ParseAsciiLine(p, lineEnd, element, isVertex ? &layout : nullptr, values))
        return LineError(
            name, line,
            "expected " +
                (isVertex ? std::string("a vertex's") : "element '" + element.name + "'") +
                " numbers in PLY body");
      if (isVertex) {
        if (!IsFinitePoint(values[0], values[1], values[2]))
          return LineError(name, line, "non-finite coordinate");
        AppendPoint(points, values[0], values[1], values[2]);
      }
      p = lineEnd + 1;
    }
    if (isVertex)
      return IoResult::Ok();
  }
  return IoResult::Fail(name + ": the PLY file has no vertex element");
}

} // namespace

IoResult ParsePlyPoints(std::string_view data, const std::string &name, ON_3dPointArray &points)
{
  return ReadSomePoints(data, name, points, [&] {
    Header header;
    IoResult parsed = ParseHeader(data, name, header);
    if (!parsed)
      return parsed;
    return header.format == Format::Ascii ? ParseAscii(data, name, header, points)
                                          : ParseBinary(data, name, header, points);
  });
}

} // namespace pelmora::io
