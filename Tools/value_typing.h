// Typing "NAME=VALUE" texts for a set request.  The interface refuses a
// value of the wrong type code, so the text is converted to the kind the
// parameter demands: as its metadata shows it, or as the catalogue has it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hostlayer/host_driver.h"

enum class ValueKind { Integer, Float, String };

// The kind that the answers of NAME_range and NAME_values show (empty when
// the query was refused): the type of the range's first value, else of the
// value list's first value; nullopt when neither says.
std::optional<ValueKind> KindFromMetadata(const std::vector<hostlayer::Value>& range,
                                          const std::vector<hostlayer::Value>& values);

// The catalogue's kind of a parameter without metadata (name compared
// ignoring letter case); strings for names it does not know.
ValueKind CatalogueKind(std::string_view name);

// Converts text to the kind; false with *error when it is not of that kind.
bool TypeValue(std::string_view name, ValueKind kind, std::string_view text, hostlayer::Value* out,
               std::string* error);

// ASCII letters compared without case, as the interface compares names and
// keywords.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// An action parameter ("do_abort_grab"): setting it acts, whatever the value.
bool IsAction(std::string_view name);

// Whether a typed value is one the metadata allows: within the range's
// minimum and maximum, and one of the value list (words in any letter
// case).  What the metadata does not bound is allowed.
bool AllowedByMetadata(const hostlayer::Value& value, const std::vector<hostlayer::Value>& range,
                       const std::vector<hostlayer::Value>& values);

// Splits "NAME=VALUE" at the first '='.  An action parameter may come
// without a value and is then given the integer text "1".
bool SplitAssignment(std::string_view text, std::string* name, std::string* value,
                     std::string* error);

// A reminder of what the parameter accepts ("one of: False, True",
// "values from 16 to 2448 in steps of 16", "values from 0.1 to 4": the
// interface's step of a number range is not a step the camera keeps to),
// or empty when the metadata says nothing.
std::string DescribeAllowed(const std::vector<hostlayer::Value>& range,
                            const std::vector<hostlayer::Value>& values);
