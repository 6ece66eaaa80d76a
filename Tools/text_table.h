// Plain-text tables: left-aligned columns separated by two blanks; the last
// column is not padded, so long descriptions do not widen the others.
#pragma once

#include <string>
#include <vector>

std::string FormatTable(const std::vector<std::string>& header,
                        const std::vector<std::vector<std::string>>& rows);
