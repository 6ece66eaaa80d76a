#include "result_output.h"

#include <cstdio>
#include <streambuf>

#if defined(_WIN32)
#include <io.h>
#define HACQ_DUP _dup
#define HACQ_DUP2 _dup2
#define HACQ_FDOPEN _fdopen
#else
#include <unistd.h>
#define HACQ_DUP dup
#define HACQ_DUP2 dup2
#define HACQ_FDOPEN fdopen
#endif

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
    return static_cast<std::streamsize>(
        std::fwrite(text, 1, static_cast<size_t>(count), file_));
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

void SeparateInterfaceOutput() {
  std::fflush(stdout);
  const int results_fd = HACQ_DUP(1);
  if (results_fd < 0) return;
  std::FILE* results = HACQ_FDOPEN(results_fd, "w");
  if (results == nullptr || HACQ_DUP2(2, 1) < 0) return;
  ResultBuffer().Bind(results);
  // The interface's lines then reach standard error in step with hacq's own.
  std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
}

std::ostream& Out() {
  static std::ostream stream(&ResultBuffer());
  return stream;
}
