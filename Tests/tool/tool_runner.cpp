#include "tool_runner.h"

#include <fcntl.h>
#include <png.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
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

// The controlling side of a pseudo-terminal, for a child's standard error.
struct Terminal {
  int master = -1;
  std::string device;  // the terminal side's path, opened by the child

  bool Open() {
    master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return false;
    const char* name = ptsname(master);
    if (name == nullptr) return false;
    device = name;
    // Taken as written: no "\r" added before each "\n".
    termios settings{};
    if (tcgetattr(master, &settings) == 0) {
      settings.c_oflag &= ~static_cast<tcflag_t>(OPOST);
      tcsetattr(master, TCSANOW, &settings);
    }
    return fcntl(master, F_SETFL, O_NONBLOCK) == 0;
  }
  // What the child wrote so far.
  void ReadInto(std::string* text) const {
    if (master < 0) return;
    char buffer[4096];
    ssize_t count = 0;
    while ((count = read(master, buffer, sizeof buffer)) > 0) {
      text->append(buffer, static_cast<size_t>(count));
    }
  }
  ~Terminal() {
    if (master >= 0) close(master);
  }
};

}  // namespace

ToolResult RunTool(const std::vector<std::string>& args, const std::vector<std::string>& env,
                   const RunOptions& options) {
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
  Terminal terminal;
  if (options.err_on_terminal && !terminal.Open()) return result;

  const pid_t pid = fork();
  if (pid == 0) {
    const int in = open("/dev/null", O_RDONLY);
    const int out = open(out_path.c_str(), O_WRONLY | O_TRUNC);
    const int err = options.err_on_terminal ? open(terminal.device.data(), O_WRONLY | O_NOCTTY)
                                            : open(err_path.c_str(), O_WRONLY | O_TRUNC);
    if (in < 0 || out < 0 || err < 0) _exit(127);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  if (pid < 0) return result;

  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::seconds(options.timeout_seconds);
  int status = 0;
  bool signalled = options.signal == 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (!signalled && options.ready()) {
      kill(pid, options.signal);
      signalled = true;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      result.timed_out = true;
      break;
    }
    // A terminal is read while the tool runs: a full one would stop it.
    terminal.ReadInto(&result.err);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (!result.timed_out && WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
  result.out = Slurp(out_path);
  if (options.err_on_terminal) {
    terminal.ReadInto(&result.err);
    std::remove(err_path.c_str());
  } else {
    result.err = Slurp(err_path);
  }
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

std::string Describe(const ToolResult& r) {
  return "exit " + std::to_string(r.exit_status) + (r.timed_out ? " (timed out)" : "") +
         "\nstdout:\n" + r.out + "stderr:\n" + r.err;
}
