#include "cli/Arguments.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cctype>
#include <climits>

namespace pelmora::cli {
namespace {

bool Contains(const std::vector<std::string> &list, const std::string &item)
{
  return std::find(list.begin(), list.end(), item) != list.end();
}

bool ParseDouble(const std::string &text, double &value)
{
  const char *begin = text.data(), *end = begin + text.size();
  if (begin != end && *begin == '+')
    ++begin;
  auto [next, error] = std::from_chars(begin, end, value);
  return error == std::errc() && next == end && std::isfinite(value);
}

} // namespace

Arguments::Arguments(const std::vector<std::string> &args, const std::vector<std::string> &flags,
                     const std::vector<std::string> &valued)
{
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string &arg = args[i];
    if (arg.size() < 2 || arg[0] != '-' || (arg[1] != '-' && std::isdigit((unsigned char)arg[1]))) {
      m_positional.push_back(arg);
      continue;
    }
    std::string name = arg, value;
    size_t equals = arg.find('=');
    bool inlineValue = equals != std::string::npos;
    if (inlineValue) {
      name = arg.substr(0, equals);
      value = arg.substr(equals + 1);
    }
    if (Contains(flags, name) && !inlineValue) {
      m_values[name] = "";
    } else if (Contains(valued, name)) {
      if (!inlineValue) {
        if (i + 1 >= args.size())
          throw UsageError("option " + name + " needs a value");
        value = args[++i];
      }
      m_values[name] = value;
    } else {
      throw UsageError("unknown option " + arg);
    }
  }
}

bool Arguments::Has(const std::string &option) const
{
  return m_values.count(option) != 0;
}

std::string Arguments::Value(const std::string &option, const std::string &fallback) const
{
  auto found = m_values.find(option);
  return found == m_values.end() ? fallback : found->second;
}

int Arguments::PositiveInt(const std::string &option, int fallback) const
{
  if (!Has(option))
    return fallback;
  const std::string text = Value(option);
  long long value = 0;
  auto [next, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || next != text.data() + text.size() || value < 1 || value > INT_MAX)
    throw UsageError(option + " needs a whole number from 1 to " + std::to_string(INT_MAX) +
                     ", not '" + text + "'");
  return int(value);
}

double Arguments::FiniteDouble(const std::string &option, double fallback) const
{
  if (!Has(option))
    return fallback;
  double value;
  if (!ParseDouble(Value(option), value))
    throw UsageError(option + " needs a number, not '" + Value(option) + "'");
  return value;
}

void Arguments::Direction(const std::string &option, double direction[3]) const
{
  if (!Has(option))
    return;
  const std::string text = Value(option);
  double parsed[3];
  size_t start = 0;
  for (int k = 0; k < 3; ++k) {
    size_t comma = text.find(',', start);
    bool last = k == 2;
    if ((comma == std::string::npos) != last ||
        !ParseDouble(text.substr(start, last ? std::string::npos : comma - start), parsed[k]))
      throw UsageError(option + " needs X,Y,Z (three numbers), not '" + text + "'");
    start = comma + 1;
  }
  if (parsed[0] == 0 && parsed[1] == 0 && parsed[2] == 0)
    throw UsageError(option + " needs a non-zero direction");
  std::copy(parsed, parsed + 3, direction);
}

} // namespace pelmora::cli
