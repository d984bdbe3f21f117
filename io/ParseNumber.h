// Numbers and fields of the text formats, read strictly: a field is a number
// as a whole or not at all, never a prefix.
#pragma once

#include <string>
#include <string_view>

namespace pelmora::io {

enum class NumberStatus
{
  Ok,
  NotANumber, // anything but a decimal number with an optional sign and exponent
  OutOfRange, // a magnitude beyond the double range (1e400)
};

// Reads all of `field` as a decimal number ("-1.5", "+2", ".5e-3", "inf",
// "nan"). With `decimalMark` ',' a field holding a comma takes it as its
// decimal mark, and one holding both marks is NotANumber. Hexadecimal floats, a doubled sign
// ("+-1") and trailing characters are NotANumber. A magnitude below the
// smallest double ("1e-400") reads as the nearest double, zero or subnormal.
NumberStatus ParseNumber(std::string_view field, double &value, char decimalMark = '.');

// True when `field` is a number in any notation a program might write:
// decimal, out of range, hexadecimal float, inf or nan, in any case and with
// a sign. Column titles never are.
bool LooksNumeric(std::string_view field);

// A whole non-negative decimal integer (an element or point count).
bool ParseCount(std::string_view field, unsigned long long &value);

inline bool IsBlank(char c)
{
  return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

// A blank or a line break: what separates the words of the formats that do
// not care about lines (VTK, XML).
inline bool IsSpace(char c)
{
  return IsBlank(c) || c == '\n';
}

// At most the first kExcerptChars characters of a field, for a message that
// quotes what the file held: the message stays one short line whatever the
// file has there.
constexpr size_t kExcerptChars = 40;
inline std::string FieldExcerpt(std::string_view field)
{
  return std::string(field.substr(0, kExcerptChars));
}

// The next blank-separated word of [p, end), advancing p past it; empty at
// the end.
std::string_view NextWord(const char *&p, const char *end);

// The same across lines: the next word separated by blanks or line breaks.
std::string_view NextSpacedWord(const char *&p, const char *end);

} // namespace pelmora::io
