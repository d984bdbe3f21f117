// Numbers stored in binary point files: the scalar types the formats share,
// their sizes and their decoding from either byte order. Each format maps its
// own type names onto ScalarType. Inline: the readers decode every
// coordinate through here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace pelmora::io {

enum class ScalarType
{
  Int8,
  UInt8,
  Int16,
  UInt16,
  Int32,
  UInt32,
  Int64,
  UInt64,
  Float32,
  Float64,
  Invalid
};

// A format's names for the scalar types, in ScalarType order (Int8, UInt8,
// ... Float64); null where the format has no such type.
using ScalarNames = const char *const[size_t(ScalarType::Invalid)];

// The type `name` stands for in `names`; Invalid when none.
inline ScalarType FindScalarType(std::string_view name, const ScalarNames &names)
{
  for (size_t i = 0; i < size_t(ScalarType::Invalid); ++i)
    if (names[i] && name == names[i])
      return ScalarType(i);
  return ScalarType::Invalid;
}

// Bytes of one value; 0 for Invalid.
inline size_t ScalarSize(ScalarType type)
{
  switch (type) {
  case ScalarType::Int8:
  case ScalarType::UInt8:
    return 1;
  case ScalarType::Int16:
  case ScalarType::UInt16:
    return 2;
  case ScalarType::Int32:
  case ScalarType::UInt32:
  case ScalarType::Float32:
    return 4;
  case ScalarType::Int64:
  case ScalarType::UInt64:
  case ScalarType::Float64:
    return 8;
  default:
    return 0;
  }
}

// The unsigned integer of `size` bytes (at most 8) stored at `p`, little- or
// big-endian. Assembled by significance, so the host's byte order does not
// matter.
inline uint64_t LoadUnsigned(const void *p, size_t size, bool bigEndian)
{
  const auto *bytes = static_cast<const unsigned char *>(p);
  uint64_t value = 0;
  for (size_t i = 0; i < size; ++i)
    value |= uint64_t(bytes[bigEndian ? size - 1 - i : i]) << (8 * i);
  return value;
}

// The value of `type` stored at `p` (ScalarSize bytes), little- or
// big-endian, as a double; 0 for Invalid.
inline double LoadScalar(ScalarType type, const void *p, bool bigEndian)
{
  // Each case with its size fixed, so that the byte loop unrolls.
  switch (type) {
  case ScalarType::Int8:
    return double(int8_t(LoadUnsigned(p, 1, bigEndian)));
  case ScalarType::UInt8:
    return double(uint8_t(LoadUnsigned(p, 1, bigEndian)));
  case ScalarType::Int16:
    return double(int16_t(LoadUnsigned(p, 2, bigEndian)));
  case ScalarType::UInt16:
    return double(uint16_t(LoadUnsigned(p, 2, bigEndian)));
  case ScalarType::Int32:
    return double(int32_t(LoadUnsigned(p, 4, bigEndian)));
  case ScalarType::UInt32:
    return double(uint32_t(LoadUnsigned(p, 4, bigEndian)));
  case ScalarType::Int64:
    return double(int64_t(LoadUnsigned(p, 8, bigEndian)));
  case ScalarType::UInt64:
    return double(LoadUnsigned(p, 8, bigEndian));
  case ScalarType::Float32: {
    const uint32_t bits = uint32_t(LoadUnsigned(p, 4, bigEndian));
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }
  case ScalarType::Float64: {
    const uint64_t bits = LoadUnsigned(p, 8, bigEndian);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }
  default:
    return 0;
  }
}

} // namespace pelmora::io
