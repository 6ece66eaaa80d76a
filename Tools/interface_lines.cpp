#include "interface_lines.h"

namespace {

constexpr std::string_view kBlanks = " \t\r\n\v\f";

}  // namespace

std::vector<std::string> InterfaceLines::Take(std::string_view bytes) {
  std::vector<std::string> lines;
  for (const char c : bytes) {
    if (c == '\n' || c == '\0') {
      EndLine(&lines);
      continue;
    }
    partial_ += c;
    if (partial_.size() == kMaxLine) EndLine(&lines);
  }
  return lines;
}

std::vector<std::string> InterfaceLines::Finish() {
  std::vector<std::string> lines;
  EndLine(&lines);
  return lines;
}

void InterfaceLines::EndLine(std::vector<std::string>* lines) {
  const size_t first = partial_.find_first_not_of(kBlanks);
  if (first != std::string::npos) {
    const size_t last = partial_.find_last_not_of(kBlanks);
    lines->push_back(partial_.substr(first, last - first + 1));
  }
  partial_.clear();
}
