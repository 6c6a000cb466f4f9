// The command line of one subcommand: options and positional arguments.
//
// Options are long ("--reveal", "--format csv", "--format=csv") with an
// optional one-letter alias ("-c NAME"); "--" ends the options.  Each
// subcommand declares what it accepts, so an unknown option or a missing
// value is a usage error with a message, never silently ignored.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace lockwell {

struct OptionSpec {
  const char* name;       // long name without "--"
  char alias;             // one-letter alias, or 0
  bool takesValue;
  bool repeatable;
};

class Arguments {
 public:
  // Parses `args` against `specs`; false with `error` set on a usage fault.
  bool Parse(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs, std::string& error);

  bool Has(const std::string& name) const { return values_.count(name) != 0; }
  // The (last) value of an option, or `fallback`.
  std::string Value(const std::string& name, const std::string& fallback = {}) const;
  const std::vector<std::string>& Values(const std::string& name) const;
  const std::vector<std::string>& Positional() const { return positional_; }

 private:
  std::map<std::string, std::vector<std::string>> values_;
  std::vector<std::string> positional_;
};

}  // namespace lockwell
