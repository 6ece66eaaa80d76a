// hacq info [QUERY]: the interface's information queries.

#include "command_support.h"
#include "host_session.h"
#include "info_queries.h"
#include "literal_value.h"
#include "result_output.h"

namespace {

const char kUsage[] =
    "usage: hacq info [QUERY] [--json]\n"
    "Answers the interface's information queries, every one or the one named.\n"
    "QUERY is a name or a number:\n"
    "  general, defaults, parameters, parameters_readonly, parameters_writeonly,\n"
    "  info_boards, revision, and the value lists of the open parameters port,\n"
    "  camera_type, field, bits_per_channel, color_space, device,\n"
    "  horizontal_resolution, vertical_resolution\n"
    "A query the interface does not support ends with status 1.\n"
    "  --json   {NAME: {\"query\": N, \"text\": ..., \"values\": [...]}, ...}\n";

constexpr char kUnsupportedText[] = "Unsupported query!";

struct Answer {
  int32_t number;
  std::string text;
  std::vector<hostlayer::Value> values;
};

std::string NameOf(int32_t number) {
  const std::string_view name = InfoQueryName(number);
  return name.empty() ? std::to_string(number) : std::string(name);
}

}  // namespace

int RunInfo(const CommandArgs& args) {
  ParsedArgs parsed;
  int exit_status = kExitOk;
  if (!ParseCommand(kUsage, args, {{"json", false}}, &parsed, &exit_status)) return exit_status;
  const auto& positionals = parsed.positionals();
  if (positionals.size() > 1) return UsageError(kUsage, "info takes at most one query");

  std::vector<int32_t> numbers;
  if (positionals.empty()) {
    for (const auto& query : InfoQueries()) numbers.push_back(query.number);
  } else if (auto number = FindInfoQuery(positionals[0])) {
    numbers.push_back(*number);
  } else {
    return UsageError(kUsage, "unknown query '" + positionals[0] + "'");
  }

  hostlayer::Driver* driver = LoadInterface();
  if (driver == nullptr) return kExitFailure;
  std::vector<Answer> answers;
  for (int32_t number : numbers) {
    Answer answer{number, {}, {}};
    const Herror status = driver->Info(number, &answer.text, &answer.values);
    if (status != H_MSG_OK) {
      ReportHostError("query " + NameOf(number), status);
      return kExitFailure;
    }
    // The interface answers a query it does not have with success and this text.
    if (answer.text == kUnsupportedText) {
      ReportError("query " + NameOf(number) + ": the interface does not support it (" +
                  kUnsupportedText + ")");
      return kExitFailure;
    }
    answers.push_back(std::move(answer));
  }

  if (parsed.Has("json")) {
    nlohmann::json document = nlohmann::json::object();
    for (const auto& answer : answers) {
      document[NameOf(answer.number)] = {
          {"query", answer.number}, {"text", answer.text}, {"values", ValuesToJson(answer.values)}};
    }
    PrintJson(document);
    return kExitOk;
  }
  for (const auto& answer : answers) {
    Out() << NameOf(answer.number) << " (" << answer.number << "): " << answer.text << "\n";
    for (const auto& value : answer.values) Out() << "    " << FormatValue(value) << "\n";
  }
  return kExitOk;
}
