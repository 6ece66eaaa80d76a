#include "result_output.h"

#include <unistd.h>

#include <cstdio>
#include <streambuf>

namespace {

class FileBuffer : public std::streambuf {
 public:
  void Bind(std::FILE* file) { file_ = file; }

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    return std::fputc(c, file_) == EOF ? traits_type::eof() : c;
  }
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    return static_cast<std::streamsize>(std::fwrite(text, 1, static_cast<size_t>(count), file_));
  }
  int sync() override { return std::fflush(file_) == 0 ? 0 : -1; }

 private:
  std::FILE* file_ = stdout;
};

FileBuffer& ResultBuffer() {
  static FileBuffer buffer;
  return buffer;
}

}  // namespace

void BindResults(int fd) {
  if (std::FILE* results = fdopen(fd, "w")) ResultBuffer().Bind(results);
}

std::ostream& Out() {
  static std::ostream stream(&ResultBuffer());
  return stream;
}
