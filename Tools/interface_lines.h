// The interface's own output cut into lines for the user: each line trimmed
// of white space at both ends (its texts end in "\r\n" or " \n"), empty
// lines dropped, and a line too long for a message cut into pieces.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class InterfaceLines {
 public:
  static constexpr size_t kMaxLine = 4096;

  // The lines the bytes complete.  A NUL byte ends a partial line as a
  // newline does (the relay's sync mark).
  std::vector<std::string> Take(std::string_view bytes);
  // The partial line left at the end of the output, if any.
  std::vector<std::string> Finish();

 private:
  void EndLine(std::vector<std::string>* lines);
  std::string partial_;
};
