// Option parsing shared by every subcommand: long options as "--name value"
// or "--name=value", flags, options given more than once, positional
// arguments, "-h" for "--help" and "--" to end the options.
#pragma once

#include <map>
#include <string>
#include <vector>

struct OptionRule {
  std::string name;  // without the leading "--"
  bool takes_value;
};

class ParsedArgs {
 public:
  bool Has(const std::string& name) const { return values_.count(name) != 0; }
  // The last value given for the option, or fallback when it was not given.
  std::string Last(const std::string& name, const std::string& fallback = "") const;
  // Every value given for the option, in order.
  std::vector<std::string> All(const std::string& name) const;
  const std::vector<std::string>& positionals() const { return positionals_; }

 private:
  friend bool ParseArgs(const std::vector<std::string>&, const std::vector<OptionRule>&,
                        ParsedArgs*, std::string*);
  std::map<std::string, std::vector<std::string>> values_;
  std::vector<std::string> positionals_;
};

// False, with *error naming the offending argument, on an unknown option, a
// flag given a value, or an option missing its value.
bool ParseArgs(const std::vector<std::string>& args, const std::vector<OptionRule>& rules,
               ParsedArgs* out, std::string* error);
