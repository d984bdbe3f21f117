#include "io/ParseNumber.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <stdlib.h>
#include <string>

namespace pelmora::io {
namespace {

bool IsDigit(char c)
{
  return c >= '0' && c <= '9';
}

bool EqualsNoCase(std::string_view text, const char *word)
{
  size_t i = 0;
  for (; i < text.size() && word[i]; ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) != word[i])
      return false;
  return i == text.size() && !word[i];
}

// from_chars leaves the value untouched when out of range; strtod tells an
// overflow (HUGE_VAL) from an underflow (the nearest tiny value). It reads
// in the C locale: under the process's locale, which a host may have set to
// one with a decimal comma, "1.5e-400" would read as 1.
NumberStatus OutOfRangeOrTiny(std::string_view field, double &value)
{
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
  const std::string copy(field);
  char *end = nullptr;
  const double parsed = strtod_l(copy.c_str(), &end, cLocale);
  if (end != copy.c_str() + copy.size())
    return NumberStatus::NotANumber;
  if (std::fabs(parsed) == HUGE_VAL)
    return NumberStatus::OutOfRange;
  value = parsed;
  return NumberStatus::Ok;
}

template <typename Separator>
std::string_view NextWordBetween(const char *&p, const char *end, Separator isSeparator)
{
  while (p != end && isSeparator(*p))
    ++p;
  const char *start = p;
  while (p != end && !isSeparator(*p))
    ++p;
  return std::string_view(start, size_t(p - start));
}

} // namespace

NumberStatus ParseNumber(std::string_view field, double &value, char decimalMark)
{
  if (field.empty())
    return NumberStatus::NotANumber;
  std::string swapped;
  if (decimalMark != '.' && field.find(decimalMark) != std::string_view::npos) {
    if (field.find('.') != std::string_view::npos)
      return NumberStatus::NotANumber;
    swapped.assign(field);
    for (char &c : swapped)
      if (c == decimalMark)
        c = '.';
    field = swapped;
  }
  std::string_view digits = field;
  if (digits[0] == '+')
    digits.remove_prefix(1);
  // from_chars takes "-" itself but neither "+" nor a second sign.
  if (digits.empty() || digits[0] == '+' || (digits[0] == '-' && field[0] == '+'))
    return NumberStatus::NotANumber;
  const char *begin = digits.data(), *end = begin + digits.size();
  auto [next, error] = std::from_chars(begin, end, value);
  if (next != end)
    return NumberStatus::NotANumber;
  if (error == std::errc::result_out_of_range)
    return OutOfRangeOrTiny(digits, value);
  return error == std::errc() ? NumberStatus::Ok : NumberStatus::NotANumber;
}

bool LooksNumeric(std::string_view field)
{
  if (!field.empty() && (field[0] == '+' || field[0] == '-'))
    field.remove_prefix(1);
  if (field.empty())
    return false;
  if (IsDigit(field[0]) || (field[0] == '.' && field.size() > 1 && IsDigit(field[1])))
    return true;
  return EqualsNoCase(field, "inf") || EqualsNoCase(field, "infinity") ||
         EqualsNoCase(field, "nan");
}

bool ParseCount(std::string_view field, unsigned long long &value)
{
  if (field.empty() || !IsDigit(field[0]))
    return false;
  auto [next, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  return error == std::errc() && next == field.data() + field.size();
}

std::string_view NextWord(const char *&p, const char *end)
{
  return NextWordBetween(p, end, IsBlank);
}

std::string_view NextSpacedWord(const char *&p, const char *end)
{
  return NextWordBetween(p, end, IsSpace);
}

} // namespace pelmora::io
