#include "literal_value.h"

#include <charconv>
#include <cmath>

namespace {

// from_chars takes no leading '+'; people write one.
std::string_view SkipPlus(std::string_view text) {
  if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
  return text;
}

}  // namespace

std::optional<int64_t> ParseInteger(std::string_view text) {
  text = SkipPlus(text);
  int64_t value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

std::optional<double> ParseFloat(std::string_view text) {
  text = SkipPlus(text);
  double value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

hostlayer::Value ParseLiteral(std::string_view text) {
  if (auto integer = ParseInteger(text)) return *integer;
  if (auto real = ParseFloat(text)) return *real;
  return std::string(text);
}

std::string FormatValue(const hostlayer::Value& value) {
  if (const auto* integer = std::get_if<int64_t>(&value)) return std::to_string(*integer);
  if (const auto* real = std::get_if<double>(&value)) {
    char buffer[64];
    auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, *real);
    return ec == std::errc() ? std::string(buffer, ptr) : std::string("?");
  }
  return std::get<std::string>(value);
}

std::string FormatValues(const std::vector<hostlayer::Value>& values, const char* separator) {
  std::string text;
  for (size_t i = 0; i < values.size(); ++i) {
    if (i > 0) text += separator;
    text += FormatValue(values[i]);
  }
  return text;
}

nlohmann::json ValueToJson(const hostlayer::Value& value) {
  return std::visit([](const auto& v) { return nlohmann::json(v); }, value);
}

nlohmann::json ValuesToJson(const std::vector<hostlayer::Value>& values) {
  nlohmann::json list = nlohmann::json::array();
  for (const auto& value : values) list.push_back(ValueToJson(value));
  return list;
}
