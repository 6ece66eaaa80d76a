// Call tracing and error reporting: the spy switch and log, HProcessErr and
// IOPrintErrorMessage, each recorded for tests.  Any thread.
#include <atomic>
#include <cstdio>
#include <mutex>

#include "common/abi_barrier.h"
#include "host_state.h"

using namespace hostlayer;

namespace {

std::atomic<bool> spy_on{false};
std::mutex trace_lock;
std::vector<SpyRecord> spy_log;
std::vector<ProcessErrRecord> process_err_log;
std::optional<Herror> process_err_result;
std::vector<std::string> error_messages;

std::string TextOrEmpty(const char* text) {
  return text != nullptr ? text : "";
}

}  // namespace

namespace hostlayer {

void SetSpy(bool on) {
  spy_on.store(on);
}

std::vector<SpyRecord> SpyLog() {
  std::lock_guard lock(trace_lock);
  return spy_log;
}

std::vector<ProcessErrRecord> ProcessErrLog() {
  std::lock_guard lock(trace_lock);
  return process_err_log;
}

void SetProcessErrResult(std::optional<Herror> result) {
  std::lock_guard lock(trace_lock);
  process_err_result = result;
}

std::vector<std::string> ErrorMessages() {
  std::lock_guard lock(trace_lock);
  return error_messages;
}

namespace detail {
void ResetTracing() {
  spy_on.store(false);
  std::lock_guard lock(trace_lock);
  spy_log.clear();
  process_err_log.clear();
  process_err_result.reset();
  error_messages.clear();
}
}  // namespace detail
}  // namespace hostlayer

extern "C" {

HOST_API int32_t IOGetSpyProcCallSwitch(void) {
  return spy_on.load() ? 1 : 0;
}

HOST_API void IOSpyProcCall(const char* text, int32_t line, const char* file) {
  boundary::Barrier([&] {
    std::lock_guard lock(trace_lock);
    spy_log.push_back({TextOrEmpty(text), line, TextOrEmpty(file)});
  });
}

HOST_API Herror HProcessErr(const char* text, Herror err, int32_t line, const char* file) {
  return boundary::Barrier(err, [&] {
    std::lock_guard lock(trace_lock);
    process_err_log.push_back({TextOrEmpty(text), err, line, TextOrEmpty(file)});
    return process_err_result.value_or(err);
  });
}

HOST_API void IOPrintErrorMessage(const char* text) {
  boundary::Barrier([&] {
    const std::string message = TextOrEmpty(text);
    std::fprintf(stderr, "%s\n", message.c_str());
    std::lock_guard lock(trace_lock);
    error_messages.push_back(message);
  });
}

}  // extern "C"
