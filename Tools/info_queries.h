// The interface's information queries by the host's names.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

struct InfoQuery {
  std::string_view name;
  int32_t number;
};

// Every query the interface answers, in number order.
const std::vector<InfoQuery>& InfoQueries();

// The query that text names (letter case ignored), or the number it spells
// (any number: the interface answers unknown ones itself); nullopt otherwise.
std::optional<int32_t> FindInfoQuery(std::string_view text);

// The host's name of a query number, or empty.
std::string_view InfoQueryName(int32_t number);
