// hacq list: the cameras through the listing exports, and the boards the
// interface registered at start-up (its board-list query).

#include "camera_listing.h"
#include "command_support.h"
#include "host_session.h"
#include "literal_value.h"
#include "result_output.h"
#include "text_table.h"

namespace {

constexpr int32_t kBoardsQuery = 5;

const char kUsage[] =
    "usage: hacq list [--json] [--quiet]\n"
    "Lists the cameras: key, name, model, serial number and vendor, then the\n"
    "boards the interface registered when it was loaded.  The key opens the\n"
    "camera (--device KEY, or hacq params KEY).\n"
    "  --json   one JSON object: {\"cameras\": [...], \"boards\": [...]}\n"
    "  --quiet  the keys alone, one per line\n"
    "Exit status 1 when no camera is found.\n";

nlohmann::json CamerasToJson(const std::vector<CameraIdentity>& cameras) {
  nlohmann::json list = nlohmann::json::array();
  for (const auto& camera : cameras) {
    list.push_back({{"key", camera.key},
                    {"name", camera.name},
                    {"model", camera.model},
                    {"serial", camera.serial},
                    {"vendor", camera.vendor}});
  }
  return list;
}

void PrintText(const std::vector<CameraIdentity>& cameras,
               const std::vector<hostlayer::Value>& boards) {
  std::vector<std::vector<std::string>> rows;
  for (const auto& camera : cameras) {
    rows.push_back({camera.key, camera.name, camera.model, camera.serial, camera.vendor});
  }
  Out() << FormatTable({"KEY", "NAME", "MODEL", "SERIAL", "VENDOR"}, rows);
  Out() << "\nregistered boards:\n";
  for (const auto& board : boards) Out() << "  " << FormatValue(board) << "\n";
}

}  // namespace

int RunList(const CommandArgs& args) {
  ParsedArgs parsed;
  int exit_status = kExitOk;
  if (!ParseCommand(kUsage, args, {{"json", false}, {"quiet", false}}, &parsed, &exit_status)) {
    return exit_status;
  }
  if (!parsed.positionals().empty()) return UsageError(kUsage, "list takes no arguments");
  hostlayer::Driver* driver = LoadInterface();
  if (driver == nullptr) return kExitFailure;

  std::vector<CameraIdentity> cameras;
  std::string error;
  if (!ListCameras(*driver, &cameras, &error)) {
    ReportError(error);
    return kExitFailure;
  }
  std::string boards_text;
  std::vector<hostlayer::Value> boards;
  const Herror status = driver->Info(kBoardsQuery, &boards_text, &boards);
  if (status != H_MSG_OK) {
    ReportHostError("board list", status);
    return kExitFailure;
  }

  if (parsed.Has("json")) {
    PrintJson({{"cameras", CamerasToJson(cameras)}, {"boards", ValuesToJson(boards)}});
  } else if (parsed.Has("quiet")) {
    for (const auto& camera : cameras) Out() << camera.key << "\n";
  } else if (!cameras.empty()) {
    PrintText(cameras, boards);
  }
  if (cameras.empty()) {
    ReportError("no camera found");
    return kExitFailure;
  }
  return kExitOk;
}
