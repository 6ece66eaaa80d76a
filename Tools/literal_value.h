// Conversions between command-line text and host parameter values.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hostlayer/host_driver.h"

// The whole text as a decimal integer (optional sign); nullopt otherwise,
// also when it does not fit into 64 bits.
std::optional<int64_t> ParseInteger(std::string_view text);
// The whole text as a finite decimal number; nullopt otherwise.
std::optional<double> ParseFloat(std::string_view text);
// An integer if the text is one, else a float if it is one, else the text.
hostlayer::Value ParseLiteral(std::string_view text);

// Integers in decimal, floats in their shortest exact form, texts as they are.
std::string FormatValue(const hostlayer::Value& value);
std::string FormatValues(const std::vector<hostlayer::Value>& values, const char* separator);
nlohmann::json ValueToJson(const hostlayer::Value& value);
nlohmann::json ValuesToJson(const std::vector<hostlayer::Value>& values);
