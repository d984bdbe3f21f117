// PCD (Point Cloud Data) files read as point clouds: the x, y and z fields,
// ascii or binary. Points whose coordinates are NaN, which is how organized
// clouds mark missing measurements, are left out.
#include "io/BinaryScalar.h"
#include "io/ParseNumber.h"
#include "io/PointParsers.h"
#include "io/TextLines.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace pelmora::io {
namespace {

// Values one field may hold (its COUNT), a bound well above any real file.
constexpr unsigned long long kMaxFieldCount = 1u << 20;

struct PcdField
{
  std::string name;
  size_t size = 4;
  char type = 'F';
  size_t count = 1;
  size_t offset = 0; // in a binary record
  size_t column = 0; // in an ascii line
  ScalarType binaryType = ScalarType::Float32;
};

struct PcdHeader
{
  std::vector<PcdField> fields;
  unsigned long long points = 0;
  bool havePoints = false;
  unsigned long long width = 0, height = 1;
  std::string data;
  size_t bodyOffset = 0;
  long bodyLine = 0;
  int xyz[3] = {-1, -1, -1};
};

// The binary type of a field by its TYPE (F, I or U) and SIZE.
ScalarType FieldType(char type, size_t size)
{
  static const struct
  {
    char type;
    size_t size;
    ScalarType binaryType;
  } kTypes[] = {
      {'F', 4, ScalarType::Float32}, {'F', 8, ScalarType::Float64}, {'I', 1, ScalarType::Int8},
      {'I', 2, ScalarType::Int16},   {'I', 4, ScalarType::Int32},   {'I', 8, ScalarType::Int64},
      {'U', 1, ScalarType::UInt8},   {'U', 2, ScalarType::UInt16},  {'U', 4, ScalarType::UInt32},
      {'U', 8, ScalarType::UInt64},
  };
  for (const auto &known : kTypes)
    if (type == known.type && size == known.size)
      return known.binaryType;
  return ScalarType::Invalid;
}

class PcdReader
{
public:
  PcdReader(std::string_view data, const std::string &name) : m_data(data), m_name(name) {}

  IoResult Read(ON_3dPointArray &points)
  {
    IoResult header = ReadHeader();
    if (!header)
      return header;
    if (m_header.data == "binary_compressed")
      return Fail(m_line, "binary_compressed PCD files are not supported; save the cloud as "
                          "binary or ascii");
    if (m_header.data == "binary")
      return ReadBinary(points);
    if (m_header.data == "ascii")
      return ReadAscii(points);
    return Fail(m_line, "unknown DATA '" + FieldExcerpt(m_header.data) + "'");
  }

private:
  IoResult Fail(long line, const std::string &what) const { return LineError(m_name, line, what); }

  // The body holds fewer points than the header announces: `held`, when known.
  IoResult Truncated(std::optional<uint64_t> held) const
  {
    return TruncatedBody(m_name, "PCD", m_header.points, "points", held);
  }

  IoResult ReadHeader()
  {
    size_t pos = 0;
    for (m_line = 1; pos < m_data.size(); ++m_line) {
      const char *p = m_data.data() + pos;
      const char *lineEnd = LineEnd(p, m_data.data() + m_data.size());
      pos = size_t(lineEnd - m_data.data()) + 1;
      const std::string keyword(NextWord(p, lineEnd));
      if (keyword.empty() || keyword[0] == '#')
        continue;
      IoResult line = HeaderLine(keyword, p, lineEnd);
      if (!line)
        return line;
      if (keyword == "DATA") {
        m_header.bodyOffset = std::min(pos, m_data.size());
        m_header.bodyLine = m_line + 1;
        return CheckFields();
      }
    }
    return IoResult::Fail(m_name + ": no DATA line: not a PCD file");
  }

  IoResult HeaderLine(const std::string &keyword, const char *p, const char *end)
  {
    std::vector<std::string_view> words;
    for (std::string_view word = NextWord(p, end); !word.empty(); word = NextWord(p, end))
      words.push_back(word);
    // One value per field, each taken by `set` or refused.
    auto perField = [&](auto set) {
      if (words.size() != m_header.fields.size())
        return Fail(m_line, keyword + " needs one value per field");
      for (size_t i = 0; i < words.size(); ++i)
        if (!set(m_header.fields[i], words[i]))
          return Fail(m_line, "bad " + keyword + " value '" + std::string(words[i]) + "'");
      return IoResult::Ok();
    };
    auto counts = [&](auto set) {
      return perField([&](PcdField &field, std::string_view word) {
        unsigned long long value;
        return ParseCount(word, value) && set(field, value);
      });
    };
    unsigned long long value;
    if (keyword == "VERSION" || keyword == "VIEWPOINT")
      return IoResult::Ok();
    if (keyword == "FIELDS" || keyword == "COLUMNS") {
      m_header.fields.clear();
      for (std::string_view word : words)
        m_header.fields.push_back({std::string(word)});
      return IoResult::Ok();
    }
    if (keyword == "SIZE")
      return counts([](PcdField &field, unsigned long long size) {
        field.size = size_t(size);
        return size == 1 || size == 2 || size == 4 || size == 8;
      });
    if (keyword == "COUNT")
      return counts([](PcdField &field, unsigned long long count) {
        field.count = size_t(count);
        return count >= 1 && count <= kMaxFieldCount;
      });
    if (keyword == "TYPE")
      return perField([](PcdField &field, std::string_view type) {
        field.type = type[0];
        return type == "F" || type == "I" || type == "U";
      });
    if (keyword == "WIDTH" || keyword == "HEIGHT" || keyword == "POINTS") {
      if (words.size() != 1 || !ParseCount(words[0], value))
        return Fail(m_line, "bad " + keyword + " line");
      (keyword == "WIDTH"    ? m_header.width
       : keyword == "HEIGHT" ? m_header.height
                             : m_header.points) = value;
      m_header.havePoints = m_header.havePoints || keyword == "POINTS";
      return IoResult::Ok();
    }
    if (keyword == "DATA") {
      if (words.size() != 1)
        return Fail(m_line, "bad DATA line");
      m_header.data = std::string(words[0]);
      return IoResult::Ok();
    }
    return Fail(m_line, "unknown keyword '" + FieldExcerpt(keyword) + "' in PCD header");
  }

  IoResult CheckFields()
  {
    const char *axes[3] = {"x", "y", "z"};
    size_t offset = 0, column = 0;
    for (size_t i = 0; i < m_header.fields.size(); ++i) {
      PcdField &field = m_header.fields[i];
      if (field.type == 'F' && field.size != 4 && field.size != 8)
        return Fail(m_line, "field '" + field.name + "' is a float of " +
                                std::to_string(field.size) + " bytes");
      field.binaryType = FieldType(field.type, field.size);
      field.offset = offset;
      field.column = column;
      offset += field.size * field.count;
      column += field.count;
      for (int k = 0; k < 3; ++k)
        if (field.name == axes[k] && field.count == 1)
          m_header.xyz[k] = int(i);
    }
    m_recordSize = offset;
    if (m_header.xyz[0] < 0 || m_header.xyz[1] < 0 || m_header.xyz[2] < 0)
      return Fail(m_line, "the PCD file has no x, y and z fields");
    if (!m_header.havePoints) {
      if (m_header.height != 0 && m_header.width > UINT64_MAX / m_header.height)
        return Fail(m_line, "WIDTH and HEIGHT are too large");
      m_header.points = m_header.width * m_header.height;
    }
    return IoResult::Ok();
  }

  void Add(ON_3dPointArray &points, const double xyz[3])
  {
    if (!std::isnan(xyz[0]) && !std::isnan(xyz[1]) && !std::isnan(xyz[2]))
      AppendPoint(points, xyz[0], xyz[1], xyz[2]);
  }

  IoResult ReadBinary(ON_3dPointArray &points)
  {
    const uint64_t body = m_data.size() - m_header.bodyOffset;
    if (m_recordSize == 0 || body / m_recordSize < m_header.points)
      return Truncated(m_recordSize ? body / m_recordSize : 0);
    ReservePoints(points, size_t(m_header.points));
    const char *record = m_data.data() + m_header.bodyOffset;
    for (uint64_t i = 0; i < m_header.points; ++i, record += m_recordSize) {
      double xyz[3];
      for (int k = 0; k < 3; ++k) {
        const PcdField &field = m_header.fields[size_t(m_header.xyz[k])];
        xyz[k] = LoadScalar(field.binaryType, record + field.offset, false);
      }
      Add(points, xyz);
    }
    return IoResult::Ok();
  }

  IoResult ReadAscii(ON_3dPointArray &points)
  {
    const char *p = m_data.data() + m_header.bodyOffset;
    const char *const end = m_data.data() + m_data.size();
    size_t columns = 0;
    for (const PcdField &field : m_header.fields)
      columns += field.count;
    // A point's line takes at least two bytes a column.
    if (m_header.points > uint64_t(end - p) / (2 * columns) + 1)
      return Truncated(std::nullopt);
    ReservePoints(points, size_t(m_header.points));
    long line = m_header.bodyLine;
    for (uint64_t i = 0; i < m_header.points; ++i, ++line) {
      if (p >= end)
        return Truncated(i);
      const char *lineEnd = LineEnd(p, end);
      double values[3] = {0, 0, 0};
      size_t column = 0;
      for (std::string_view word = NextWord(p, lineEnd); !word.empty();
           word = NextWord(p, lineEnd), ++column) {
        double value;
        if (ParseNumber(word, value) != NumberStatus::Ok)
          return Fail(line, "expected a number, found '" + FieldExcerpt(word) + "'");
        for (int k = 0; k < 3; ++k)
          if (m_header.fields[size_t(m_header.xyz[k])].column == column)
            values[k] = value;
      }
      if (column != columns)
        return Fail(line, "expected " + std::to_string(columns) + " numbers, found " +
                              std::to_string(column));
      Add(points, values);
      p = lineEnd + 1;
    }
    return IoResult::Ok();
  }

  std::string_view m_data;
  const std::string &m_name;
  PcdHeader m_header;
  size_t m_recordSize = 0;
  long m_line = 0;
};

} // namespace

IoResult ParsePcdPoints(std::string_view data, const std::string &name, ON_3dPointArray &points)
{
  return ReadSomePoints(data, name, points, [&] { return PcdReader(data, name).Read(points); });
}

} // namespace pelmora::io
