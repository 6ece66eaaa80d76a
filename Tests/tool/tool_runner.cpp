#include "tool_runner.h"

#include <fcntl.h>
#include <png.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace {

// Seconds a run may take before it is killed as hung.
constexpr int kTimeoutSeconds = 90;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (auto& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// The controlling side of a pseudo-terminal whose other side the child
// opens by its path; output taken as written (no "\r" added before "\n").
int OpenTerminal(std::string* device) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  termios settings{};
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0 || ptsname(master) == nullptr ||
      tcgetattr(master, &settings) != 0 || fcntl(master, F_SETFL, O_NONBLOCK) != 0) {
    return -1;
  }
  *device = ptsname(master);
  settings.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  tcsetattr(master, TCSANOW, &settings);
  return master;
}

void ReadTerminal(int master, std::string* text) {
  char buffer[4096];
  for (ssize_t count = 0; master >= 0 && (count = read(master, buffer, sizeof buffer)) > 0;) {
    text->append(buffer, static_cast<size_t>(count));
  }
}

}  // namespace

ToolResult RunTool(const std::vector<std::string>& args, const std::vector<std::string>& env,
                   const RunOptions& options) {
  ToolResult result;
  const ScratchDir files;
  std::string err_path = files.File("err");
  const std::string out_path = files.File("out");
  std::vector<std::string> argv_texts = {HACQ_TOOL_PATH};
  argv_texts.insert(argv_texts.end(), args.begin(), args.end());
  std::vector<std::string> env_texts;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    if (std::string(*entry).rfind("TERVIXMD_SIM_CONFIG=", 0) != 0) env_texts.push_back(*entry);
  }
  env_texts.insert(env_texts.end(), env.begin(), env.end());
  // Everything the child needs is prepared before fork: after it, only
  // async-signal-safe calls.
  std::vector<char*> argv = Pointers(argv_texts);
  std::vector<char*> envp = Pointers(env_texts);
  const int terminal = options.err_on_terminal ? OpenTerminal(&err_path) : -1;
  if (options.err_on_terminal && terminal < 0) return result;

  const pid_t pid = fork();
  if (pid == 0) {
    const int in = open("/dev/null", O_RDONLY);
    const int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOCTTY, 0600);
    if (in < 0 || out < 0 || err < 0) _exit(127);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kTimeoutSeconds);
  int status = 0;
  bool signalled = options.signal == 0;
  while (pid > 0 && waitpid(pid, &status, WNOHANG) == 0) {
    if (!signalled && options.ready()) signalled = kill(pid, options.signal) == 0;
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      result.err = "(timed out)\n";
      break;
    }
    // A terminal is read while the tool runs: a full one would stop it.
    ReadTerminal(terminal, &result.err);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (pid > 0 && WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
  result.out = Slurp(out_path);
  if (terminal >= 0) {
    ReadTerminal(terminal, &result.err);
    close(terminal);
  } else {
    result.err += Slurp(err_path);
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
  png_image image{};
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
  return "exit " + std::to_string(r.exit_status) + "\nstdout:\n" + r.out + "stderr:\n" + r.err;
}
