#include "value_typing.h"

#include <algorithm>
#include <array>

#include "literal_value.h"

namespace {

ValueKind KindOf(const hostlayer::Value& value) {
  if (std::holds_alternative<int64_t>(value)) return ValueKind::Integer;
  if (std::holds_alternative<double>(value)) return ValueKind::Float;
  return ValueKind::String;
}

constexpr std::array<std::string_view, 7> kIntegerParameters = {"Width",
                                                                "Height",
                                                                "Contrast",
                                                                "grab_timeout",
                                                                "bits_per_channel",
                                                                "horizontal_resolution",
                                                                "vertical_resolution"};
constexpr std::array<std::string_view, 4> kFloatParameters = {
    "ExposureTime", "AcquisitionFrameRate", "GainRaw", "Gamma"};

std::optional<double> NumberOf(const hostlayer::Value& value) {
  if (const auto* integer = std::get_if<int64_t>(&value)) return static_cast<double>(*integer);
  if (const auto* real = std::get_if<double>(&value)) return *real;
  return std::nullopt;
}

bool SameValue(const hostlayer::Value& a, const hostlayer::Value& b) {
  const auto* word_a = std::get_if<std::string>(&a);
  const auto* word_b = std::get_if<std::string>(&b);
  if (word_a != nullptr || word_b != nullptr) {
    return word_a != nullptr && word_b != nullptr && EqualsIgnoringCase(*word_a, *word_b);
  }
  return NumberOf(a) == NumberOf(b);
}

}  // namespace

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](char x, char y) { return lower(x) == lower(y); });
}

bool IsAction(std::string_view name) {
  return EqualsIgnoringCase(name.substr(0, 3), "do_");
}

bool AllowedByMetadata(const hostlayer::Value& value, const std::vector<hostlayer::Value>& range,
                       const std::vector<hostlayer::Value>& values) {
  if (range.size() >= 2) {
    const auto number = NumberOf(value);
    const auto minimum = NumberOf(range[0]);
    const auto maximum = NumberOf(range[1]);
    if (number && minimum && maximum && (*number < *minimum || *number > *maximum)) return false;
  }
  return values.empty() || std::any_of(values.begin(), values.end(), [&](const auto& allowed) {
           return SameValue(value, allowed);
         });
}

std::optional<ValueKind> KindFromMetadata(const std::vector<hostlayer::Value>& range,
                                          const std::vector<hostlayer::Value>& values) {
  if (!range.empty()) return KindOf(range.front());
  if (!values.empty()) return KindOf(values.front());
  return std::nullopt;
}

ValueKind CatalogueKind(std::string_view name) {
  auto named = [&](std::string_view known) { return EqualsIgnoringCase(known, name); };
  if (std::any_of(kIntegerParameters.begin(), kIntegerParameters.end(), named)) {
    return ValueKind::Integer;
  }
  if (std::any_of(kFloatParameters.begin(), kFloatParameters.end(), named)) {
    return ValueKind::Float;
  }
  return ValueKind::String;
}

bool TypeValue(std::string_view name, ValueKind kind, std::string_view text, hostlayer::Value* out,
               std::string* error) {
  switch (kind) {
    case ValueKind::Integer:
      if (auto integer = ParseInteger(text)) {
        *out = *integer;
        return true;
      }
      *error = std::string(name) + " takes an integer, not '" + std::string(text) + "'";
      return false;
    case ValueKind::Float:
      if (auto real = ParseFloat(text)) {
        *out = *real;
        return true;
      }
      *error = std::string(name) + " takes a number, not '" + std::string(text) + "'";
      return false;
    case ValueKind::String:
      *out = std::string(text);
      return true;
  }
  return false;
}

bool SplitAssignment(std::string_view text, std::string* name, std::string* value,
                     std::string* error) {
  const size_t equals = text.find('=');
  if (equals == std::string_view::npos) {
    if (IsAction(text)) {
      *name = std::string(text);
      *value = "1";
      return true;
    }
    *error = "expected NAME=VALUE, got '" + std::string(text) + "'";
    return false;
  }
  if (equals == 0) {
    *error = "missing parameter name in '" + std::string(text) + "'";
    return false;
  }
  *name = std::string(text.substr(0, equals));
  *value = std::string(text.substr(equals + 1));
  return true;
}

std::string DescribeAllowed(const std::vector<hostlayer::Value>& range,
                            const std::vector<hostlayer::Value>& values) {
  if (range.size() >= 3) {
    const std::string bounds =
        "values from " + FormatValue(range[0]) + " to " + FormatValue(range[1]);
    if (std::holds_alternative<double>(range[2])) return bounds;
    return bounds + " in steps of " + FormatValue(range[2]);
  }
  if (!values.empty()) return "one of: " + FormatValues(values, ", ");
  return "";
}
