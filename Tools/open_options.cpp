#include "open_options.h"

#include "literal_value.h"

namespace {

struct OpenOption {
  const char* name;
  hostlayer::Value hostlayer::OpenParams::*field;
  bool is_text;  // a word even when it reads as a number (device "0")
};

// In the host's order of the open parameters; "generic" is handled apart
// because it is a list.
constexpr OpenOption kOpenOptions[] = {
    {"horizontal-resolution", &hostlayer::OpenParams::horizontal_resolution, false},
    {"vertical-resolution", &hostlayer::OpenParams::vertical_resolution, false},
    {"image-width", &hostlayer::OpenParams::image_width, false},
    {"image-height", &hostlayer::OpenParams::image_height, false},
    {"start-row", &hostlayer::OpenParams::start_row, false},
    {"start-column", &hostlayer::OpenParams::start_column, false},
    {"field", &hostlayer::OpenParams::field, false},
    {"bits-per-channel", &hostlayer::OpenParams::bits_per_channel, false},
    {"color-space", &hostlayer::OpenParams::color_space, true},
    {"external-trigger", &hostlayer::OpenParams::external_trigger, false},
    {"camera-type", &hostlayer::OpenParams::camera_type, true},
    {"device", &hostlayer::OpenParams::device, true},
    {"port", &hostlayer::OpenParams::port, false},
    {"line-in", &hostlayer::OpenParams::line_in, false},
};

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

void ApplyOpenOptions(const ParsedArgs& args, hostlayer::OpenParams* params) {
  for (const auto& option : kOpenOptions) {
    if (!args.Has(option.name)) continue;
    const std::string text = args.Last(option.name);
    params->*option.field = option.is_text ? hostlayer::Value(text) : ParseLiteral(text);
  }
  if (args.Has("generic")) {
    params->generic.clear();
    for (const auto& text : args.All("generic")) params->generic.push_back(ParseLiteral(text));
  }
}
