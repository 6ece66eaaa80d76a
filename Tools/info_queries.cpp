#include "info_queries.h"

#include "literal_value.h"
#include "value_typing.h"

const std::vector<InfoQuery>& InfoQueries() {
  static const std::vector<InfoQuery> queries = {
      {"port", 0},
      {"camera_type", 1},
      {"general", 2},
      {"defaults", 3},
      {"parameters", 4},
      {"info_boards", 5},
      {"revision", 6},
      {"field", 8},
      {"bits_per_channel", 9},
      {"color_space", 10},
      {"device", 12},
      {"parameters_readonly", 13},
      {"parameters_writeonly", 14},
      {"horizontal_resolution", 19},
      {"vertical_resolution", 20},
  };
  return queries;
}

std::optional<int32_t> FindInfoQuery(std::string_view text) {
  for (const auto& query : InfoQueries()) {
    if (EqualsIgnoringCase(text, query.name)) return query.number;
  }
  if (auto number = ParseInteger(text); number && *number >= 0 && *number <= INT32_MAX) {
    return static_cast<int32_t>(*number);
  }
  return std::nullopt;
}

std::string_view InfoQueryName(int32_t number) {
  for (const auto& query : InfoQueries()) {
    if (query.number == number) return query.name;
  }
  return {};
}
