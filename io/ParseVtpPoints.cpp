// VTK XML poly-data files read as point clouds: the Points array of every
// Piece, stored as ascii, inline base64 or appended (raw or base64) data,
// uncompressed or zlib-compressed, in either byte order. Every size the
// file declares is checked against what the file holds before anything is
// allocated or inflated.
#include "io/BinaryScalar.h"
#include "io/ParseNumber.h"
#include "io/PointParsers.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <vector>
#include <zlib.h>

namespace pelmora::io {
namespace {

using Attributes = std::map<std::string, std::string>;

// Deflate never packs more than this many bytes into one. A block's
// declared size is checked against that ratio with a small allowance on
// top, so that the check can only refuse what cannot be.
constexpr uint64_t kMaxInflateRatio = 1032;
constexpr uint64_t kInflateSlackPerBlock = 64;

// The attributes of the tag starting at `tag` ("<Name a="1" b='2'>").
Attributes ParseAttributes(std::string_view tag)
{
  Attributes attributes;
  size_t pos = tag.find_first_of(" \t\r\n");
  const size_t end = tag.find('>');
  while (pos < end) {
    const size_t equals = tag.find('=', pos);
    if (equals >= end || equals + 1 >= tag.size())
      break;
    const char quote = tag[equals + 1];
    const size_t close = tag.find(quote, equals + 2);
    if ((quote != '"' && quote != '\'') || close >= end)
      break;
    size_t nameStart = pos;
    while (nameStart < equals && IsSpace(tag[nameStart]))
      ++nameStart;
    attributes[std::string(tag.substr(nameStart, equals - nameStart))] =
        std::string(tag.substr(equals + 2, close - equals - 2));
    pos = close + 1;
  }
  return attributes;
}

std::string Get(const Attributes &attributes, const std::string &key, const std::string &fallback)
{
  auto found = attributes.find(key);
  return found == attributes.end() ? fallback : found->second;
}

ScalarType ParseType(const std::string &type)
{
  static const ScalarName kNames[] = {
      {"Int8", ScalarType::Int8},       {"UInt8", ScalarType::UInt8},
      {"Int16", ScalarType::Int16},     {"UInt16", ScalarType::UInt16},
      {"Int32", ScalarType::Int32},     {"UInt32", ScalarType::UInt32},
      {"Int64", ScalarType::Int64},     {"UInt64", ScalarType::UInt64},
      {"Float32", ScalarType::Float32}, {"Float64", ScalarType::Float64},
  };
  return FindScalarType(type, kNames);
}

int Base64Value(char c)
{
  if (c >= 'A' && c <= 'Z')
    return c - 'A';
  if (c >= 'a' && c <= 'z')
    return c - 'a' + 26;
  if (c >= '0' && c <= '9')
    return c - '0' + 52;
  return c == '+' ? 62 : c == '/' ? 63 : -1;
}

// The bytes of a binary array, read in order from raw bytes or from base64
// text. Base64 is decoded four characters at a time, each group on its own,
// because writers encode the size header apart from the data (padding in
// the middle of the text).
class ByteSource
{
public:
  ByteSource(std::string_view data, bool base64) : m_data(data), m_base64(base64) {}

  // An upper bound of the bytes left.
  uint64_t Left() const
  {
    const uint64_t left = m_data.size() - m_pos;
    return m_base64 ? left / 4 * 3 + m_pending.size() - m_pendingPos : left;
  }

  bool Read(unsigned char *into, size_t count)
  {
    if (count == 0) // `into` may then be null, as an empty block's buffer is
      return true;
    if (!m_base64) {
      if (m_data.size() - m_pos < count)
        return false;
      std::memcpy(into, m_data.data() + m_pos, count);
      m_pos += count;
      return true;
    }
    for (size_t i = 0; i < count; ++i) {
      if (m_pendingPos == m_pending.size() && !DecodeGroup())
        return false;
      into[i] = m_pending[m_pendingPos++];
    }
    return true;
  }

  bool ReadWord(size_t size, bool bigEndian, uint64_t &value)
  {
    unsigned char bytes[8] = {};
    if (!Read(bytes, size))
      return false;
    value = LoadUnsigned(bytes, size, bigEndian);
    return true;
  }

private:
  bool DecodeGroup()
  {
    int values[4];
    int count = 0;
    while (count < 4 && m_pos < m_data.size()) {
      const char c = m_data[m_pos++];
      if (c == '=') {
        values[count++] = -2;
      } else if (Base64Value(c) >= 0) {
        values[count++] = Base64Value(c);
      } else if (!IsSpace(c)) {
        return false;
      }
    }
    if (count < 4 || values[0] < 0 || values[1] < 0 || (values[2] == -2 && values[3] != -2))
      return false;
    m_pending.clear();
    m_pendingPos = 0;
    const uint32_t bits = uint32_t(values[0]) << 18 | uint32_t(values[1]) << 12 |
                          uint32_t(values[2] < 0 ? 0 : values[2]) << 6 |
                          uint32_t(values[3] < 0 ? 0 : values[3]);
    m_pending.push_back(static_cast<unsigned char>(bits >> 16));
    if (values[2] >= 0)
      m_pending.push_back(static_cast<unsigned char>(bits >> 8));
    if (values[3] >= 0)
      m_pending.push_back(static_cast<unsigned char>(bits));
    return true;
  }

  std::string_view m_data;
  size_t m_pos = 0;
  bool m_base64;
  std::vector<unsigned char> m_pending;
  size_t m_pendingPos = 0;
};

struct FileLayout
{
  bool bigEndian = false;
  size_t headerSize = 4; // UInt32 or UInt64 size words
  bool compressed = false;
  std::string_view appended; // the appended data after its '_'
  bool appendedBase64 = false;
};

class VtpReader
{
public:
  VtpReader(std::string_view data, const std::string &name) : m_data(data), m_name(name) {}

  IoResult Read(ON_3dPointArray &points)
  {
    IoResult layout = ReadLayout();
    if (!layout)
      return layout;
    size_t pos = m_data.find("<Piece");
    if (pos == std::string_view::npos)
      return Fail("no Piece in the file");
    for (; pos != std::string_view::npos; pos = m_data.find("<Piece", pos + 6)) {
      IoResult piece = ReadPiece(pos, points);
      if (!piece)
        return piece;
    }
    return IoResult::Ok();
  }

private:
  IoResult Fail(const std::string &what) const { return IoResult::Fail(m_name + ": " + what); }

  IoResult ReadLayout()
  {
    const size_t file = m_data.find("<VTKFile");
    if (file == std::string_view::npos)
      return Fail("not a VTK XML file (no <VTKFile> element)");
    const Attributes attributes = ParseAttributes(m_data.substr(file));
    if (Get(attributes, "type", "") != "PolyData")
      return Fail("not a poly-data file (type '" + Get(attributes, "type", "") + "')");
    m_layout.bigEndian = Get(attributes, "byte_order", "LittleEndian") == "BigEndian";
    const std::string header = Get(attributes, "header_type", "UInt32");
    if (header != "UInt32" && header != "UInt64")
      return Fail("unsupported header_type '" + header + "'");
    m_layout.headerSize = header == "UInt64" ? 8 : 4;
    const std::string compressor = Get(attributes, "compressor", "");
    if (!compressor.empty() && compressor != "vtkZLibDataCompressor")
      return Fail("compressed with " + compressor +
                  ", which this reader does not support "
                  "(write it with zlib compression or none)");
    m_layout.compressed = !compressor.empty();
    const size_t appended = m_data.find("<AppendedData");
    if (appended != std::string_view::npos) {
      const size_t underscore = m_data.find('_', m_data.find('>', appended));
      if (underscore == std::string_view::npos)
        return Fail("AppendedData without its '_' marker");
      m_layout.appended = m_data.substr(underscore + 1);
      m_layout.appendedBase64 =
          Get(ParseAttributes(m_data.substr(appended)), "encoding", "raw") == "base64";
    }
    return IoResult::Ok();
  }

  IoResult ReadPiece(size_t piece, ON_3dPointArray &points)
  {
    unsigned long long count;
    const std::string declared = Get(ParseAttributes(m_data.substr(piece)), "NumberOfPoints", "");
    if (!ParseCount(declared, count) || count > uint64_t(INT_MAX) / 3)
      return Fail("a Piece with a bad NumberOfPoints ('" + FieldExcerpt(declared) + "')");
    if (count == 0)
      return IoResult::Ok();
    const size_t pointsTag = m_data.find("<Points", piece);
    const size_t array = m_data.find("<DataArray", pointsTag);
    if (pointsTag == std::string_view::npos || array == std::string_view::npos ||
        m_data.find("</Points", pointsTag) < array)
      return Fail("a Piece with points but no Points array");
    const Attributes attributes = ParseAttributes(m_data.substr(array));
    const std::string typeName = Get(attributes, "type", "");
    const ScalarType type = ParseType(typeName);
    if (type == ScalarType::Invalid)
      return Fail("unsupported point type '" + typeName + "'");
    if (Get(attributes, "NumberOfComponents", "1") != "3")
      return Fail("the Points array does not have three components");
    const size_t contentStart = m_data.find('>', array);
    const size_t contentEnd = m_data.find('<', contentStart);
    if (contentEnd == std::string_view::npos)
      return Fail("the Points array is cut");
    const std::string_view content = m_data.substr(contentStart + 1, contentEnd - contentStart - 1);
    std::vector<double> values;
    const std::string format = Get(attributes, "format", "");
    IoResult read = IoResult::Ok();
    if (format == "ascii") {
      read = ReadAscii(content, 3 * count, values);
    } else if (format == "binary") {
      ByteSource source(content, true);
      read = ReadBinary(source, type, 3 * count, values);
    } else if (format == "appended") {
      unsigned long long offset;
      const std::string text = Get(attributes, "offset", "");
      if (m_layout.appended.empty() && m_data.find("<AppendedData") == std::string_view::npos)
        return Fail("the Points array is appended but the file has no AppendedData");
      if (!ParseCount(text, offset) || offset >= m_layout.appended.size())
        return Fail("the Points array has a bad offset ('" + FieldExcerpt(text) + "')");
      ByteSource source(m_layout.appended.substr(offset), m_layout.appendedBase64);
      read = ReadBinary(source, type, 3 * count, values);
    } else {
      return Fail("the Points array has an unknown format '" + format + "'");
    }
    if (!read)
      return read;
    AppendTriples(points, values);
    return IoResult::Ok();
  }

  IoResult ReadAscii(std::string_view text, uint64_t count, std::vector<double> &values)
  {
    if (text.size() / 2 + 1 < count)
      return Short(count);
    values.resize(size_t(count));
    const char *p = text.data(), *end = p + text.size();
    for (uint64_t i = 0; i < count; ++i) {
      const std::string_view word = NextSpacedWord(p, end);
      if (word.empty())
        return Short(count);
      if (ParseNumber(word, values[i]) != NumberStatus::Ok)
        return Fail("expected a number in the Points array, found '" + FieldExcerpt(word) + "'");
    }
    if (!NextSpacedWord(p, end).empty())
      return Fail("the Points array holds more values than NumberOfPoints says");
    return IoResult::Ok();
  }

  IoResult Short(uint64_t count) const
  {
    return Fail("the Points array holds fewer than the " + std::to_string(count) +
                " values NumberOfPoints says");
  }

  IoResult ReadBinary(ByteSource &source, ScalarType type, uint64_t count,
                      std::vector<double> &values)
  {
    const size_t size = ScalarSize(type);
    const uint64_t bytes = count * size;
    std::vector<unsigned char> raw;
    IoResult read = m_layout.compressed ? Inflate(source, bytes, raw) : Copy(source, bytes, raw);
    if (!read)
      return read;
    values.resize(size_t(count));
    for (uint64_t i = 0; i < count; ++i)
      values[i] = LoadScalar(type, raw.data() + i * size, m_layout.bigEndian);
    return IoResult::Ok();
  }

  IoResult Copy(ByteSource &source, uint64_t bytes, std::vector<unsigned char> &raw)
  {
    uint64_t declared;
    if (!source.ReadWord(m_layout.headerSize, m_layout.bigEndian, declared))
      return Fail("the Points array is cut");
    if (declared != bytes)
      return Fail("the Points array holds " + std::to_string(declared) + " bytes, " +
                  std::to_string(bytes) + " expected from NumberOfPoints");
    if (source.Left() < bytes)
      return Short(bytes);
    raw.resize(size_t(bytes));
    if (!source.Read(raw.data(), raw.size()))
      return Fail("the Points array is cut");
    return IoResult::Ok();
  }

  IoResult Inflate(ByteSource &source, uint64_t bytes, std::vector<unsigned char> &raw)
  {
    uint64_t blocks, blockSize, lastSize;
    const size_t word = m_layout.headerSize;
    if (!source.ReadWord(word, m_layout.bigEndian, blocks) ||
        !source.ReadWord(word, m_layout.bigEndian, blockSize) ||
        !source.ReadWord(word, m_layout.bigEndian, lastSize) || blocks > source.Left() / word)
      return Fail("the compressed Points array has a bad header");
    std::vector<uint64_t> packed(static_cast<size_t>(blocks));
    uint64_t packedTotal = 0;
    for (uint64_t &size : packed) {
      if (!source.ReadWord(word, m_layout.bigEndian, size) || size > source.Left())
        return Fail("the compressed Points array has a bad header");
      packedTotal += size;
    }
    if (blocks == 0 || packedTotal > source.Left() || blockSize == 0 || lastSize > blockSize)
      return Fail("the compressed Points array is cut or has a bad header");
    if (blocks - 1 > bytes / blockSize)
      return Fail("the compressed Points array holds more blocks than NumberOfPoints needs");
    const uint64_t total = (blocks - 1) * blockSize + (lastSize ? lastSize : blockSize);
    if (total > kMaxInflateRatio * packedTotal + kInflateSlackPerBlock * blocks)
      return Fail("the compressed Points array declares more than its blocks can hold");
    if (total != bytes)
      return Fail("the compressed Points array holds " + std::to_string(total) + " bytes, " +
                  std::to_string(bytes) + " expected from NumberOfPoints");
    raw.resize(size_t(bytes));
    std::vector<unsigned char> block;
    for (uint64_t b = 0; b < blocks; ++b) {
      const uint64_t expected = b + 1 == blocks && lastSize ? lastSize : blockSize;
      if (expected > kMaxInflateRatio * packed[b] + kInflateSlackPerBlock)
        return Fail("the compressed Points array declares more than its blocks can hold");
      block.resize(size_t(packed[b]));
      if (!source.Read(block.data(), block.size()))
        return Fail("the compressed Points array is cut");
      uLongf produced = uLongf(expected);
      if (::uncompress(raw.data() + b * blockSize, &produced, block.data(), uLong(block.size())) !=
              Z_OK ||
          produced != expected)
        return Fail("the compressed Points array is corrupt");
    }
    return IoResult::Ok();
  }

  std::string_view m_data;
  const std::string &m_name;
  FileLayout m_layout;
};

} // namespace

IoResult ParseVtpPoints(std::string_view data, const std::string &name, ON_3dPointArray &points)
{
  return ReadSomePoints(data, name, points, [&] { return VtpReader(data, name).Read(points); });
}

} // namespace pelmora::io
