#include "cli/Arguments.h"

namespace lockwell {
namespace {

const OptionSpec* Find(const std::vector<OptionSpec>& specs, const std::string& name, char alias) {
  for (const OptionSpec& spec : specs) {
    if (alias != 0 ? spec.alias == alias : name == spec.name) return &spec;
  }
  return nullptr;
}

}  // namespace

bool Arguments::Parse(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs,
                      std::string& error) {
  values_.clear();
  positional_.clear();
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      positional_.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    const OptionSpec* spec = nullptr;
    std::string shown = arg;
    std::string inlineValue;
    bool hasInline = false;
    if (arg[1] == '-') {
      std::string name = arg.substr(2);
      const size_t eq = name.find('=');
      if (eq != std::string::npos) {
        inlineValue = name.substr(eq + 1);
        name.resize(eq);
        hasInline = true;
        shown = "--" + name;
      }
      spec = Find(specs, name, 0);
    } else if (arg.size() == 2) {
      spec = Find(specs, {}, arg[1]);
    }
    if (spec == nullptr) {
      error = "unknown option " + shown;
      return false;
    }
    std::vector<std::string>& slot = values_[spec->name];
    if (!slot.empty() && !spec->repeatable) {
      error = "option --" + std::string(spec->name) + " given twice";
      return false;
    }
    if (!spec->takesValue) {
      if (hasInline) {
        error = "option --" + std::string(spec->name) + " takes no value";
        return false;
      }
      slot.emplace_back();
      continue;
    }
    if (hasInline) {
      slot.push_back(inlineValue);
    } else if (i + 1 < args.size()) {
      slot.push_back(args[++i]);
    } else {
      error = "option " + shown + " needs a value";
      return false;
    }
  }
  return true;
}

std::string Arguments::Value(const std::string& name, const std::string& fallback) const {
  const auto it = values_.find(name);
  return it == values_.end() || it->second.empty() ? fallback : it->second.back();
}

const std::vector<std::string>& Arguments::Values(const std::string& name) const {
  static const std::vector<std::string> kNone;
  const auto it = values_.find(name);
  return it == values_.end() ? kNone : it->second;
}

}  // namespace lockwell
