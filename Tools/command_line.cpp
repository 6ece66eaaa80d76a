#include "command_line.h"

#include <algorithm>

std::string ParsedArgs::Last(const std::string& name, const std::string& fallback) const {
  auto it = values_.find(name);
  return it == values_.end() || it->second.empty() ? fallback : it->second.back();
}

std::vector<std::string> ParsedArgs::All(const std::string& name) const {
  auto it = values_.find(name);
  return it == values_.end() ? std::vector<std::string>{} : it->second;
}

namespace {

const OptionRule* FindRule(const std::vector<OptionRule>& rules, const std::string& name) {
  auto it = std::find_if(rules.begin(), rules.end(),
                         [&](const OptionRule& rule) { return rule.name == name; });
  return it == rules.end() ? nullptr : &*it;
}

// "-" alone and negative numbers are values, not options.
bool LooksLikeOption(const std::string& arg) {
  return arg.size() > 1 && arg[0] == '-' && !(arg[1] >= '0' && arg[1] <= '9') && arg[1] != '.';
}

}  // namespace

bool ParseArgs(const std::vector<std::string>& args, const std::vector<OptionRule>& rules,
               ParsedArgs* out, std::string* error) {
  *out = ParsedArgs();
  bool options_ended = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_ended || !LooksLikeOption(arg)) {
      out->positionals_.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_ended = true;
      continue;
    }
    std::string name;
    if (arg == "-h") {
      name = "help";
    } else if (arg.rfind("--", 0) == 0) {
      name = arg.substr(2);
    } else {
      *error = "unknown option '" + arg + "'";
      return false;
    }
    std::string value;
    const size_t equals = name.find('=');
    const bool inline_value = equals != std::string::npos;
    if (inline_value) {
      value = name.substr(equals + 1);
      name.resize(equals);
    }
    const OptionRule* rule = FindRule(rules, name);
    if (rule == nullptr) {
      *error = "unknown option '" + arg + "'";
      return false;
    }
    if (!rule->takes_value && inline_value) {
      *error = "option '--" + name + "' takes no value";
      return false;
    }
    if (rule->takes_value && !inline_value) {
      if (i + 1 >= args.size()) {
        *error = "option '--" + name + "' needs a value";
        return false;
      }
      value = args[++i];
    }
    out->values_[name].push_back(value);
  }
  return true;
}
