#include "open_options.h"

#include <array>
#include <cstdint>
#include <limits>
#include <string_view>

#include "literal_value.h"
#include "value_typing.h"

namespace {

enum class OptionKind { Integer, Word, Text };

struct OpenOption {
  const char* name;
  hostlayer::Value hostlayer::OpenParams::*field;
  OptionKind kind;
  const char* takes;                        // for the usage error
  std::array<std::string_view, 3> words{};  // of a Word option, besides "default"
};

// In the host's order of the open parameters; "generic" is handled apart
// because it is a list.
const OpenOption kOpenOptions[] = {
    {"horizontal-resolution", &hostlayer::OpenParams::horizontal_resolution, OptionKind::Integer,
     "a whole number: 1, 2, 4 or the camera's width"},
    {"vertical-resolution", &hostlayer::OpenParams::vertical_resolution, OptionKind::Integer,
     "a whole number: 1, 2, 4 or the camera's height"},
    {"image-width", &hostlayer::OpenParams::image_width, OptionKind::Integer,
     "a whole number of pixels (0: the whole width)"},
    {"image-height", &hostlayer::OpenParams::image_height, OptionKind::Integer,
     "a whole number of pixels (0: the whole height)"},
    {"start-row", &hostlayer::OpenParams::start_row, OptionKind::Integer,
     "a whole number of pixels"},
    {"start-column", &hostlayer::OpenParams::start_column, OptionKind::Integer,
     "a whole number of pixels"},
    {"field",
     &hostlayer::OpenParams::field,
     OptionKind::Word,
     "interlaced, progressive or default",
     {"interlaced", "progressive"}},
    {"bits-per-channel", &hostlayer::OpenParams::bits_per_channel, OptionKind::Integer,
     "a whole number (8)"},
    {"color-space", &hostlayer::OpenParams::color_space, OptionKind::Text,
     "a text of at most 1023 characters (default, gray or rgb)"},
    {"external-trigger",
     &hostlayer::OpenParams::external_trigger,
     OptionKind::Word,
     "true, false or default",
     {"true", "false"}},
    {"camera-type", &hostlayer::OpenParams::camera_type, OptionKind::Text,
     "a text of at most 1023 characters"},
    {"device", &hostlayer::OpenParams::device, OptionKind::Text,
     "a camera's key, its name without spaces, default or 0 (at most 1023 characters)"},
    {"port", &hostlayer::OpenParams::port, OptionKind::Integer, "a whole number (0 to 3)"},
    {"line-in", &hostlayer::OpenParams::line_in, OptionKind::Integer, "a whole number (0)"},
};

bool IsWordOf(const OpenOption& option, std::string_view text) {
  if (EqualsIgnoringCase(text, "default")) return true;
  for (const std::string_view word : option.words) {
    if (!word.empty() && EqualsIgnoringCase(text, word)) return true;
  }
  return false;
}

// The value the host takes for the option's text, or nullopt.
std::optional<hostlayer::Value> TypedOption(const OpenOption& option, const std::string& text) {
  switch (option.kind) {
    case OptionKind::Integer: {
      const auto number = ParseInteger(text);
      if (!number || *number < std::numeric_limits<int32_t>::min() ||
          *number > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
      }
      return hostlayer::Value(*number);
    }
    case OptionKind::Word:
      if (!IsWordOf(option, text)) return std::nullopt;
      return hostlayer::Value(text);
    case OptionKind::Text:
      if (text.size() >= FG_STRING_LEN) return std::nullopt;
      return hostlayer::Value(text);
  }
  return std::nullopt;
}

}  // namespace

const std::vector<OptionRule>& OpenOptionRules() {
  static const std::vector<OptionRule> rules = [] {
    std::vector<OptionRule> list;
    for (const auto& option : kOpenOptions) list.push_back({option.name, true});
    list.push_back({"generic", true});
    return list;
  }();
  return rules;
}

bool ApplyOpenOptions(const ParsedArgs& args, hostlayer::OpenParams* params, std::string* error) {
  for (const auto& option : kOpenOptions) {
    if (!args.Has(option.name)) continue;
    const std::string text = args.Last(option.name);
    const auto value = TypedOption(option, text);
    if (!value) {
      *error = "--" + std::string(option.name) + " takes " + option.takes + ", not '" + text + "'";
      return false;
    }
    params->*option.field = *value;
  }
  if (args.Has("generic")) {
    params->generic.clear();
    for (const auto& text : args.All("generic")) params->generic.push_back(ParseLiteral(text));
  }
  return true;
}
