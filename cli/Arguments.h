// Command-line scanning for the pelmora command: options, their values and
// positional arguments, with the checks every command shares. A bad
// argument throws UsageError, which the command turns into exit status 2.
#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace pelmora::cli {

enum ExitStatus
{
  ExitSuccess = 0,
  ExitFailed = 1,   // the operation failed (the library's error text is shown)
  ExitBadUsage = 2, // bad arguments or unreadable input
};

struct UsageError : std::runtime_error
{
  using std::runtime_error::runtime_error;
};

class Arguments
{
public:
  // `flags` take no value, `valued` take one ("--rows 40" or "--rows=40").
  Arguments(const std::vector<std::string> &args, const std::vector<std::string> &flags,
            const std::vector<std::string> &valued);

  bool Has(const std::string &option) const;
  std::string Value(const std::string &option, const std::string &fallback = "") const;
  const std::vector<std::string> &Positional() const { return m_positional; }

  // Typed values; throw UsageError naming the option when malformed.
  int PositiveInt(const std::string &option, int fallback) const;
  double FiniteDouble(const std::string &option, double fallback) const;
  // "X,Y,Z": three finite numbers, not all zero.
  void Direction(const std::string &option, double direction[3]) const;

private:
  std::map<std::string, std::string> m_values;
  std::vector<std::string> m_positional;
};

} // namespace pelmora::cli
