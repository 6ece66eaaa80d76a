#include "tool_runner.h"

#include <fcntl.h>
#include <png.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace {

std::string TempFile() {
  char pattern[] = "/tmp/hacq-run-XXXXXX";
  const int fd = mkstemp(pattern);
  if (fd >= 0) close(fd);
  return pattern;
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::remove(path.c_str());
  return text.str();
}

std::vector<std::string> ChildEnvironment(const std::vector<std::string>& extra) {
  std::vector<std::string> env;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    if (std::string(*entry).rfind("TERVIXMD_SIM_CONFIG=", 0) != 0) env.push_back(*entry);
  }
  env.insert(env.end(), extra.begin(), extra.end());
  return env;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (auto& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

ToolResult RunToolAndSignal(const std::vector<std::string>& args,
                            const std::vector<std::string>& env, int signal,
                            const std::function<bool()>& ready, int timeout_seconds) {
  ToolResult result;
  const std::string out_path = TempFile();
  const std::string err_path = TempFile();
  std::vector<std::string> argv_texts = {HACQ_TOOL_PATH};
  argv_texts.insert(argv_texts.end(), args.begin(), args.end());
  std::vector<std::string> env_texts = ChildEnvironment(env);
  // Everything the child needs is prepared before fork: after it, only
  // async-signal-safe calls.
  std::vector<char*> argv = Pointers(argv_texts);
  std::vector<char*> envp = Pointers(env_texts);

  const pid_t pid = fork();
  if (pid == 0) {
    const int in = open("/dev/null", O_RDONLY);
    const int out = open(out_path.c_str(), O_WRONLY | O_TRUNC);
    const int err = open(err_path.c_str(), O_WRONLY | O_TRUNC);
    if (in < 0 || out < 0 || err < 0) _exit(127);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  if (pid < 0) return result;

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
  int status = 0;
  bool signalled = signal == 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (!signalled && ready()) {
      kill(pid, signal);
      signalled = true;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      result.timed_out = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (!result.timed_out && WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
  result.out = Slurp(out_path);
  result.err = Slurp(err_path);
  return result;
}

ScratchDir::ScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "hacq-test-XXXXXX").string();
  path_ = mkdtemp(pattern.data()) ? pattern : "";
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

PngImage ReadPng(const std::string& path) {
  PngImage result;
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return result;
  result.width = image.width;
  result.height = image.height;
  result.format = image.format;
  result.pixels.resize(PNG_IMAGE_SIZE(image));
  result.ok = png_image_finish_read(&image, nullptr, result.pixels.data(), 0, nullptr) != 0;
  return result;
}

ToolResult RunTool(const std::vector<std::string>& args, const std::vector<std::string>& env,
                   int timeout_seconds) {
  return RunToolAndSignal(args, env, 0, {}, timeout_seconds);
}
