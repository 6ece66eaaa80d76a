// The built hacq run as a user runs it, on the built-in simulated cameras
// (a gray one first, a colour one second) or on a camera set from JSON.
#include <gtest/gtest.h>
#include <png.h>
#include <signal.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "tool_runner.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

json ParseOut(const ToolResult& r) {
  json document = json::parse(r.out, nullptr, false);
  EXPECT_FALSE(document.is_discarded()) << Describe(r);
  return document;
}

std::vector<std::string> PngFiles(const std::string& dir) {
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (entry.path().extension() == ".png") files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// The built-in cameras' keys as "hacq list --quiet" prints them.
std::vector<std::string> CameraKeys() {
  const ToolResult r = RunTool({"list", "--quiet"});
  std::vector<std::string> keys;
  std::istringstream lines(r.out);
  for (std::string line; std::getline(lines, line);) keys.push_back(line);
  return keys;
}

// ---- Command line ---------------------------------------------------------

struct MistakeCase {
  std::vector<std::string> args;
  std::string named;  // what the message must name (the option), within stderr
};

// Catches: a subcommand without --help, help printed on stderr or with a
// failing status, a usage mistake answered with 0 or 1 instead of 2, a bad
// open option passed on to the host ("error 9003: Host: invalid argument")
// instead of named with what it takes.
TEST(CommandLine, HelpAndUsageErrors) {
  for (const std::string command : {"list", "info", "params", "get", "set", "grab"}) {
    const ToolResult help = RunTool({command, "--help"});
    EXPECT_EQ(help.exit_status, 0) << Describe(help);
    EXPECT_EQ(help.out.rfind("usage: hacq " + command, 0), 0u) << Describe(help);
    EXPECT_TRUE(help.err.empty()) << Describe(help);
  }
  const std::vector<MistakeCase> mistakes = {
      {{}, "missing command"},
      {{"frobnicate"}, "frobnicate"},
      {{"list", "--bogus"}, "--bogus"},
      {{"grab", "--count", "-1"}, "--count takes"},
      {{"grab", "--count", "many"}, "--count takes"},
      {{"grab", "--duration", "0"}, "--duration takes"},
      {{"grab", "--trigger", "line"}, "--trigger"},
      {{"grab", "--no-save", "--out", "x"}, "--out"},
      {{"grab", "--image-width", "abc"}, "--image-width takes a whole number"},
      {{"grab", "--port", "1.5"}, "--port takes a whole number"},
      {{"grab", "--start-row", "99999999999"}, "--start-row takes a whole number"},
      {{"grab", "--field", "weird"}, "--field takes interlaced, progressive or default"},
      {{"grab", "--external-trigger", "yes"}, "--external-trigger takes true, false or default"},
      {{"grab", "--device", std::string(1024, 'd')}, "--device takes"},
      {{"get", "default"}, "get takes"},
      {{"set", "default", "Width"}, "NAME=VALUE"},
      {{"info", "no_such_query"}, "no_such_query"},
      {{"--sdk"}, "--sdk"},
      {{"--sdk=", "list"}, "--sdk takes"},
      {{"list", "--sdk", ""}, "--sdk takes"},
  };
  for (const auto& c : mistakes) {
    const ToolResult r = RunTool(c.args);
    EXPECT_EQ(r.exit_status, 2) << testing::PrintToString(c.args) << Describe(r);
    EXPECT_NE(r.err.find("hacq: "), std::string::npos) << Describe(r);
    EXPECT_NE(r.err.find(c.named), std::string::npos) << Describe(r);
    EXPECT_EQ(r.err.find("9003"), std::string::npos) << Describe(r);
    EXPECT_TRUE(r.out.empty()) << Describe(r);
  }
  const ToolResult top = RunTool({"--help"});
  EXPECT_EQ(top.exit_status, 0);
  EXPECT_NE(top.out.find("grab"), std::string::npos);

  const ToolResult version = RunTool({"--version"});
  EXPECT_EQ(version.exit_status, 0) << Describe(version);
  EXPECT_EQ(version.out.rfind("hacq ", 0), 0u) << Describe(version);
}

// Catches: --sdk refused in either place, or the simulator's choice ("sim")
// not taking the built-in cameras.
TEST(CommandLine, SdkChosenBeforeOrAfterTheCommand) {
  for (const auto& args : std::vector<std::vector<std::string>>{{"--sdk", "sim", "list", "--quiet"},
                                                                {"list", "--quiet", "--sdk=sim"}}) {
    const ToolResult r = RunTool(args);
    EXPECT_EQ(r.exit_status, 0) << Describe(r);
    EXPECT_EQ(r.out, "MONO-2448\nCOLOR-1920\n") << Describe(r);
  }
}

// ---- list and info ----------------------------------------------------------

// Catches: the listing exports' identities lost or mismatched between
// cameras, the board list missing, --quiet printing more than keys.
TEST(ListCommand, BuiltInCamerasListedWithIdentities) {
  const ToolResult r = RunTool({"list", "--json"});
  ASSERT_EQ(r.exit_status, 0) << Describe(r);
  const json document = ParseOut(r);
  ASSERT_EQ(document["cameras"].size(), 2u) << r.out;
  for (const auto& camera : document["cameras"]) {
    for (const char* field : {"key", "model", "vendor", "serial"})
      EXPECT_FALSE(camera[field].get<std::string>().empty()) << field;
  }
  EXPECT_NE(document["cameras"][0]["serial"], document["cameras"][1]["serial"]);
  ASSERT_EQ(document["boards"].size(), 2u);
  EXPECT_NE(document["boards"][1].get<std::string>().find("port:1"), std::string::npos);

  const std::vector<std::string> keys = CameraKeys();
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[0], document["cameras"][0]["key"]);

  const ToolResult text = RunTool({"list"});
  EXPECT_EQ(text.exit_status, 0);
  EXPECT_NE(text.out.find(keys[1]), std::string::npos) << text.out;
}

// Catches: an empty camera set reported as success, or a crash on it, in
// list and in the commands that open a camera.
TEST(NoCamera, EveryCommandFailsCleanly) {
  ScratchDir dir;
  const std::string config = dir.File("empty.json");
  std::ofstream(config) << R"({"cameras": []})";
  const std::vector<std::string> env = {"TERVIXMD_SIM_CONFIG=" + config};

  const ToolResult list = RunTool({"list"}, env);
  EXPECT_EQ(list.exit_status, 1) << Describe(list);
  EXPECT_NE(list.err.find("no camera found"), std::string::npos) << Describe(list);

  const ToolResult boards = RunTool({"info", "info_boards", "--json"}, env);
  ASSERT_EQ(boards.exit_status, 0) << Describe(boards);
  EXPECT_TRUE(ParseOut(boards)["info_boards"]["values"].empty());

  for (const auto& args :
       std::vector<std::vector<std::string>>{{"grab", "--count", "1", "--no-save"},
                                             {"params", "default"},
                                             {"get", "default", "Width"},
                                             {"set", "default", "Gamma=1.5"}}) {
    const ToolResult r = RunTool(args, env);
    EXPECT_EQ(r.exit_status, 1) << Describe(r);
    EXPECT_NE(r.err.find("error 5302"), std::string::npos) << Describe(r);
  }
}

// Catches: a camera file that does not load answered with the built-in
// cameras or with a silent empty list.
TEST(NoCamera, ListShowsWhyTheCameraFileDidNotLoad) {
  ScratchDir dir;
  const std::string config = dir.File("cameras.json");
  std::ofstream(config) << R"([{"key": "A", "features": {"Width": {"value": 5000, "max": 640}}}])";
  const ToolResult list = RunTool({"list"}, {"TERVIXMD_SIM_CONFIG=" + config});
  EXPECT_EQ(list.exit_status, 1) << Describe(list);
  EXPECT_TRUE(list.out.empty()) << Describe(list);
  EXPECT_NE(list.err.find(config + ": camera 0: Width: \"value\" 5000 is outside 16..640"),
            std::string::npos)
      << Describe(list);
}

// Catches: query names mapped to the wrong numbers, an unsupported query
// reported as success, the parameter list incomplete.
TEST(InfoCommand, QueriesByNameAndNumber) {
  const ToolResult all = RunTool({"info", "--json"});
  ASSERT_EQ(all.exit_status, 0) << Describe(all);
  const json document = ParseOut(all);
  EXPECT_EQ(document["parameters"]["values"].size(), 15u);
  EXPECT_EQ(document["revision"]["values"][0], "5.x");
  EXPECT_EQ(document["port"]["values"], json::array({0, 1, 2, 3}));
  EXPECT_EQ(document["general"]["query"], 2);

  const ToolResult one = RunTool({"info", "color_space"});
  ASSERT_EQ(one.exit_status, 0) << Describe(one);
  EXPECT_EQ(one.out,
            "color_space (10): Value list for color space parameter.\n"
            "    default\n    gray\n    rgb\n");

  const ToolResult unsupported = RunTool({"info", "7"});
  EXPECT_EQ(unsupported.exit_status, 1) << Describe(unsupported);
  EXPECT_TRUE(unsupported.out.empty()) << Describe(unsupported);
  EXPECT_NE(unsupported.err.find("query 7: the interface does not support it"), std::string::npos)
      << Describe(unsupported);
}

// ---- params, get, set --------------------------------------------------------

// Catches: parameters missing from the table, metadata not shown, values
// printed wrongly typed or joined, a float range shown with a step, a bad
// device or a refused read reported as success.
TEST(ParamsAndGetCommands, EveryParameterWithItsMetadataAndValues) {
  const ToolResult r = RunTool({"params", "default", "--json"});
  ASSERT_EQ(r.exit_status, 0) << Describe(r);
  const json list = ParseOut(r);
  EXPECT_EQ(list.size(), 23u) << r.out;
  std::map<std::string, json> by_name;
  for (const auto& entry : list) by_name[entry["name"]] = entry;
  ASSERT_TRUE(by_name.count("Width"));
  EXPECT_TRUE(by_name["Width"]["readable"].get<bool>());
  EXPECT_TRUE(by_name["Width"].contains("range"));
  EXPECT_EQ(by_name["Width"]["category"], "ImageFormatControl");
  EXPECT_EQ(by_name["Width"]["range"]["step"], 16);
  // A float range has no step: the interface reports 1.0 for every one.
  EXPECT_EQ(by_name["Gamma"]["range"], json({{"min", 0.1}, {"max", 4.0}}));
  EXPECT_EQ(by_name["ReverseX"]["values"], json::array({"False", "True"}));
  EXPECT_FALSE(by_name["do_abort_grab"]["readable"].get<bool>());
  EXPECT_EQ(by_name["revision"]["value"], json::array({"5.x"}));

  const ToolResult table = RunTool({"params", "default"});
  ASSERT_EQ(table.exit_status, 0) << Describe(table);
  EXPECT_NE(table.out.find("Specifies the desired exposure time"), std::string::npos);

  const ToolResult bad = RunTool({"params", "NoSuchCamera"});
  EXPECT_EQ(bad.exit_status, 1) << Describe(bad);
  EXPECT_NE(bad.err.find("open 'NoSuchCamera': error 5302"), std::string::npos) << Describe(bad);

  const ToolResult revision = RunTool({"get", "default", "revision"});
  EXPECT_EQ(revision.exit_status, 0) << Describe(revision);
  EXPECT_EQ(revision.out, "5.x\n");

  const ToolResult range = RunTool({"get", "default", "grab_timeout_range", "--json"});
  ASSERT_EQ(range.exit_status, 0) << Describe(range);
  EXPECT_EQ(ParseOut(range)["values"], json::array({1, 32767, 1, 5000}));

  const ToolResult unknown = RunTool({"get", "default", "NoSuchParameter"});
  EXPECT_EQ(unknown.exit_status, 1) << Describe(unknown);
  EXPECT_NE(unknown.err.find("error 5321"), std::string::npos) << Describe(unknown);
}

// The writes that reached the simulated cameras in a run with
// TERVIXMD_WRITE_LOG: "FEATURE VALUE accepted|refused" per write, of
// the features named (the open's own writes left out).
std::vector<std::string> CameraWrites(const std::string& log_path,
                                      const std::vector<std::string>& features) {
  std::vector<std::string> writes;
  std::ifstream log(log_path);
  for (std::string line; std::getline(log, line);) {
    std::istringstream fields(line);
    std::string key, feature, value, outcome;
    std::getline(fields, key, '\t');
    std::getline(fields, feature, '\t');
    std::getline(fields, value, '\t');
    std::getline(fields, outcome, '\t');
    if (std::find(features.begin(), features.end(), feature) != features.end()) {
      writes.push_back(feature + " " + value + " " + outcome);
    }
  }
  return writes;
}

const std::vector<std::string> kSetFeatures = {"ExposureTime", "Gamma",       "GainRaw",
                                               "Contrast",     "ReverseX",    "PixelFormat",
                                               "DeviceUserID", "TriggerMode", "Width"};

struct SetCase {
  std::vector<std::string> args;  // after "set default"
  int exit_status;
  std::string out;                  // expected on stdout (whole)
  std::string err;                  // expected within stderr
  std::vector<std::string> writes;  // what reached the camera (CameraWrites)
};

// Catches: float parameters sent as integers (5325), integers typed from
// words, a value outside the range or the value list sent to the camera
// (or any value of a command that has one such), --force not reaching the
// camera, the camera's refusal hidden or shown without its code, a refused
// setting followed by the next one.
TEST(SetCommand, ValuesCheckedTypedAndRefusalsExplained) {
  const std::vector<SetCase> cases = {
      {{"ExposureTime=2000"}, 0, "ExposureTime = 2000\n", "", {"ExposureTime 2000 accepted"}},
      {{"Gamma=1", "Contrast=3"},
       0,
       "Gamma = 1\nContrast = 3\n",
       "",
       {"Gamma 1 accepted", "Contrast 3 accepted"}},
      {{"TriggerMode=Software_Trigger"},
       0,
       "TriggerMode = Software_Trigger\n",
       "",
       {"TriggerMode On accepted"}},
      {{"PixelFormat=mono12"}, 0, "PixelFormat = Mono12\n", "", {"PixelFormat Mono12 accepted"}},
      {{"DeviceUserID=left=1"}, 0, "DeviceUserID = left=1\n", "", {"DeviceUserID left=1 accepted"}},
      {{"do_TriggerSoftware"}, 0, "do_TriggerSoftware set\n", "", {}},
      {{"Width=abc"}, 1, "", "Width takes an integer, not 'abc'", {}},
      {{"ExposureTime=-5", "GainRaw=33", "Contrast=101", "Gamma=0"},
       1,
       "",
       "Gamma=0 not sent: Gamma accepts values from 0.1 to 4 (--force sends it anyway)",
       {}},
      {{"ExposureTime=2000", "Width=2449"}, 1, "", "Width accepts values from 16 to 2448", {}},
      {{"ReverseX=maybe", "Gamma=1"}, 1, "", "ReverseX accepts one of: False, True", {}},
      {{"PixelFormat=Mono9"}, 1, "", "PixelFormat=Mono9 not sent", {}},
      {{"--force", "Gamma=0", "ExposureTime=2000"},
       1,
       "",
       "set Gamma=0: error 5326: Image acquisition: parameter value out of range or missing\n"
       "hacq: Gamma accepts values from 0.1 to 4\n",
       {"Gamma 0 refused"}},
      {{"ReverseX=maybe", "--force"}, 1, "", "set ReverseX=maybe: error 5326", {}},
      {{"PixelFormat=Mono9", "--force"}, 1, "", "set PixelFormat=Mono9: error 5326", {}},
      {{"revision=6"}, 1, "", "set revision=6: error 5321", {}},
      {{"volatile=enable"}, 0, "volatile = enable\n", "", {}},
  };
  for (const auto& c : cases) {
    ScratchDir dir;
    std::vector<std::string> args = {"set", "default"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const ToolResult r = RunTool(args, {"TERVIXMD_WRITE_LOG=" + dir.File("writes")});
    EXPECT_EQ(r.exit_status, c.exit_status) << testing::PrintToString(args) << Describe(r);
    EXPECT_EQ(r.out, c.out) << testing::PrintToString(args) << Describe(r);
    EXPECT_NE(r.err.find(c.err), std::string::npos) << Describe(r);
    EXPECT_EQ(CameraWrites(dir.File("writes"), kSetFeatures), c.writes)
        << testing::PrintToString(args);
    // Only a run that changed the camera is reminded that the simulator forgets.
    EXPECT_EQ(r.err.find("keeps these settings only until hacq exits") != std::string::npos,
              c.exit_status == 0)
        << Describe(r);
  }
}

// ---- grab ------------------------------------------------------------------

// Catches: frames not saved, colour planes saved as gray, files overwritten
// under one name, files named after the device string as typed ("0",
// "default", a name) instead of the camera's key, a summary that does not
// count the frames.
TEST(GrabCommand, SavesGrayAndColourFramesUnderTheCameraKey) {
  const std::vector<std::string> keys = CameraKeys();
  ASSERT_EQ(keys.size(), 2u);
  const std::vector<std::pair<std::string, size_t>> devices = {{"0", 0}, {"ColorCam1", 1}};
  for (const auto& [device, camera] : devices) {
    ScratchDir out;
    const ToolResult r = RunTool({"grab", "--device", device, "--count", "3", "--out", out.path()});
    ASSERT_EQ(r.exit_status, 0) << Describe(r);
    EXPECT_NE(r.out.find("grabbed 3 of 3 frames"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("failures: none"), std::string::npos) << r.out;
    const auto files = PngFiles(out.path());
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(fs::path(files[0]).filename(), keys[camera] + "_0000.png");
    const PngImage png = ReadPng(files[2]);
    ASSERT_TRUE(png.ok) << files[2];
    EXPECT_EQ((png.format & PNG_FORMAT_FLAG_COLOR) != 0, camera == 1) << keys[camera];
    EXPECT_GT(png.width, 0u);
    // No progress bar when stderr is not a terminal.
    EXPECT_EQ(r.err.find('\r'), std::string::npos);
  }

  // A camera named with spaces is opened by its name without them.
  ScratchDir out;
  std::ofstream(out.File("cameras.json"))
      << R"({"cameras": [{"key": "CAM-1", "name": "Line Cam"}]})";
  const ToolResult named =
      RunTool({"grab", "--device", "linecam", "--count", "1", "--out", out.path()},
              {"TERVIXMD_SIM_CONFIG=" + out.File("cameras.json")});
  ASSERT_EQ(named.exit_status, 0) << Describe(named);
  EXPECT_TRUE(fs::exists(out.File("CAM-1_0000.png"))) << Describe(named);
}

struct GrabCase {
  std::vector<std::string> options;
  int exit_status;
  std::string err;  // expected within stderr
};

// Catches: the asynchronous, volatile and software-trigger paths losing
// frames (the stream stopped by the trigger, a trigger sent before the
// stream runs), --set ignored, open refusals reported as success.
TEST(GrabCommand, ModesAndRefusals) {
  const std::vector<GrabCase> cases = {
      {{"--async"}, 0, ""},
      {{"--volatile"}, 0, ""},
      {{"--trigger", "software"}, 0, ""},
      {{"--trigger", "software", "--async"}, 0, ""},
      {{"--generic", "num_buffers=5", "--set", "Gamma=1.5"}, 0, ""},
      {{"--color-space", "rgb", "--volatile"},
       1,
       "set volatile=enable: error 5326: Image acquisition: parameter value out of range or "
       "missing\nhacq: volatile mode needs a gray image"},
      {{"--generic", "num_buffers=9"}, 1, "error 5326"},
      {{"--color-space", "cmyk"}, 1, "error 5315"},
      {{"--port", "9"}, 1, "error 5316"},
      {{"--external-trigger", "true"}, 1, "error 5313"},
      {{"--device", "NoSuchCamera"}, 1, "error 5302"},
      {{"--set", "Width=wide"}, 1, "Width takes an integer"},
      {{"--set", "Gamma=9"}, 1, "Gamma=9 not sent"},
      {{"--set", "Gamma=9", "--force"}, 1, "set Gamma=9: error 5326"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"grab", "--count", "4", "--no-save", "--json"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const ToolResult r = RunTool(args);
    EXPECT_EQ(r.exit_status, c.exit_status) << testing::PrintToString(args) << Describe(r);
    EXPECT_NE(r.err.find(c.err), std::string::npos) << Describe(r);
    if (c.exit_status != 0) continue;
    const json summary = ParseOut(r);
    EXPECT_EQ(summary["grabbed"], 4) << r.out;
    EXPECT_TRUE(summary["failures"].empty()) << r.out;
    EXPECT_TRUE(summary["files"].empty());
    EXPECT_GE(summary["grab_ms"]["p99"].get<double>(), summary["grab_ms"]["median"].get<double>());
  }
}

// Catches: the interface's own failure lines ("getFrame fail") printed into
// the JSON document, unmarked, with their "\r" or after the status line;
// failed grabs missing from the summary or its status; numbers printed for
// a run without frames.
TEST(GrabCommand, FailuresCountedAndInterfaceMessagesKeptOutOfResults) {
  // Software trigger mode without triggers: no frame ever comes, each grab
  // waits 500 ms.
  const ToolResult r = RunTool(
      {"grab", "--count", "3", "--no-save", "--json", "--set", "TriggerMode=software_trigger"});
  EXPECT_EQ(r.exit_status, 1) << Describe(r);
  const json summary = ParseOut(r);
  EXPECT_EQ(summary["grabbed"], 0);
  ASSERT_EQ(summary["failures"].size(), 1u) << r.out;
  EXPECT_EQ(summary["failures"][0]["code"], 5306);
  EXPECT_EQ(summary["failures"][0]["count"], 3);
  EXPECT_TRUE(summary["fps"].is_null()) << r.out;
  EXPECT_TRUE(summary["grab_ms"].is_null()) << r.out;
  // Marked, whole, and before the status line that counts their failures.
  const std::string two_failures =
      "hacq: interface: getFrame fail\nhacq: interface: getFrame fail\n[1 s] 0 frames";
  EXPECT_EQ(r.err.rfind(two_failures, 0), 0u) << Describe(r);
  EXPECT_EQ(r.err.find('\r'), std::string::npos) << Describe(r);
}

// Catches, with standard error a terminal: an interface line written into
// the progress line, the progress line not drawn again below it, or left
// standing at the end of the run.
TEST(GrabCommand, TerminalKeepsInterfaceLinesOutOfTheProgressLine) {
  RunOptions options;
  options.err_on_terminal = true;
  const ToolResult r = RunTool(
      {"grab", "--count", "2", "--no-save", "--set", "TriggerMode=software_trigger"}, {}, options);
  EXPECT_EQ(r.exit_status, 1) << Describe(r);
  const std::string clear = "\r\x1b[K";
  const std::string half_bar = "[" + std::string(15, '#') + std::string(15, '.') + "] 1/2";
  EXPECT_NE(r.err.find(clear + half_bar + "  [0 s] 0 frames, failures: 5306 x1"), std::string::npos)
      << Describe(r);
  size_t lines = 0;
  for (size_t at = r.err.find("hacq: interface: "); at != std::string::npos;
       at = r.err.find("hacq: interface: ", at + 1), ++lines) {
    const bool line_of_its_own =
        at == 0 || r.err[at - 1] == '\n' ||
        (at >= clear.size() && r.err.compare(at - clear.size(), clear.size(), clear) == 0);
    EXPECT_TRUE(line_of_its_own) << at << Describe(r);
  }
  EXPECT_EQ(lines, 2u) << Describe(r);
  EXPECT_NE(r.err.find("getFrame fail\n" + half_bar), std::string::npos) << Describe(r);
  ASSERT_GE(r.err.size(), clear.size());
  EXPECT_EQ(r.err.substr(r.err.size() - clear.size()), clear) << Describe(r);
}

// Catches: a failed save stopping the run, or missing from the summary,
// the JSON or the exit status; a partial file left beside the others.
TEST(GrabCommand, FailedSaveCountedAndTheRunGoesOn) {
  ScratchDir out;
  // A directory where the first frame's file should go: that save fails.
  fs::create_directory(out.File("MONO-2448_0000.png"));
  const ToolResult text = RunTool({"grab", "--count", "3", "--out", out.path()});
  EXPECT_EQ(text.exit_status, 1) << Describe(text);
  EXPECT_NE(text.out.find("failures: none, save failures: 1"), std::string::npos) << text.out;
  EXPECT_NE(text.err.find("MONO-2448_0000.png"), std::string::npos) << Describe(text);
  EXPECT_EQ(PngFiles(out.path()).size(), 3u);  // the directory and two frames

  const ToolResult r = RunTool({"grab", "--count", "3", "--json", "--out", out.path()});
  const json summary = ParseOut(r);
  EXPECT_EQ(summary["grabbed"], 3);
  EXPECT_EQ(summary["save_failures"], 1);
  EXPECT_EQ(summary["files"].size(), 2u);
  for (const auto& entry : fs::directory_iterator(out.path())) {
    EXPECT_EQ(entry.path().extension(), ".png") << entry.path();
  }
}

// Catches: no status line while a timed run goes on, a run for a duration
// that stops at the default count, a summary that claims a count.
TEST(GrabCommand, DurationRunShowsStatusLines) {
  const ToolResult r = RunTool({"grab", "--duration", "1.2", "--no-save", "--json"});
  ASSERT_EQ(r.exit_status, 0) << Describe(r);
  const json summary = ParseOut(r);
  EXPECT_TRUE(summary["requested"].is_null()) << r.out;
  EXPECT_EQ(summary["duration"], 1.2);
  EXPECT_GE(summary["seconds"].get<double>(), 1.2);
  EXPECT_GT(summary["grabbed"].get<int64_t>(), 10) << r.out;
  EXPECT_GT(summary["mb_per_s"].get<double>(), 0) << r.out;
  // One status line a second: the run ends before the second one.
  EXPECT_EQ(r.err.rfind("[1 s] ", 0), 0u) << Describe(r);
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << Describe(r);
  EXPECT_NE(r.err.find(" fps, "), std::string::npos) << Describe(r);
  EXPECT_EQ(r.err.find('\r'), std::string::npos) << Describe(r);
}

struct SignalCase {
  int signal;
  int exit_status;
  std::string name;
};

// Catches: a signal that kills the run (no summary, no JSON, a truncated
// last file), the trigger mode or a --set value left as the run set them,
// the wrong exit status, a grab that waits for a frame not ended.
TEST(GrabCommand, SignalStopsTheRunCleanly) {
  const std::vector<SignalCase> cases = {{SIGINT, 130, "SIGINT"}, {SIGTERM, 143, "SIGTERM"}};
  for (const auto& c : cases) {
    ScratchDir out;
    ScratchDir logs;
    const std::string first = out.File("MONO-2448_0000.png");
    RunOptions options;
    options.signal = c.signal;
    options.ready = [&] { return fs::exists(first); };
    options.timeout_seconds = 60;
    const ToolResult r = RunTool({"grab", "--count", "0", "--trigger", "software", "--set",
                                  "ExposureTime=3000", "--json", "--out", out.path()},
                                 {"TERVIXMD_WRITE_LOG=" + logs.File("writes")}, options);
    ASSERT_EQ(r.exit_status, c.exit_status) << c.name << Describe(r);
    const json summary = ParseOut(r);
    EXPECT_EQ(summary["interrupted"], c.name);
    EXPECT_GE(summary["grabbed"].get<int64_t>(), 1);
    EXPECT_TRUE(summary["failures"].empty()) << r.out;
    const auto files = PngFiles(out.path());
    EXPECT_EQ(files.size(), summary["files"].size());
    size_t entries = 0;
    for (const auto& entry : fs::directory_iterator(out.path())) entries += entry.exists() ? 1 : 0;
    EXPECT_EQ(entries, files.size()) << "a partial file was left";
    for (const auto& file : files) EXPECT_TRUE(ReadPng(file).ok) << file;

    const auto writes = CameraWrites(logs.File("writes"), {"TriggerMode", "ExposureTime"});
    ASSERT_GE(writes.size(), 2u);
    EXPECT_EQ(writes[writes.size() - 2], "TriggerMode Off accepted");
    EXPECT_EQ(writes.back(), "ExposureTime 10000 accepted");
  }
}

// Catches: --set applied after the first grab, or Width not reaching the
// delivered image.
TEST(GrabCommand, SettingsApplyBeforeTheFirstFrame) {
  ScratchDir out;
  const ToolResult r = RunTool(
      {"grab", "--count", "2", "--set", "Width=640", "--set", "Height=480", "--out", out.path()});
  ASSERT_EQ(r.exit_status, 0) << Describe(r);
  const auto files = PngFiles(out.path());
  ASSERT_EQ(files.size(), 2u);
  for (const auto& file : files) {
    const PngImage png = ReadPng(file);
    EXPECT_EQ(png.width, 640u) << file;
    EXPECT_EQ(png.height, 480u) << file;
  }
}

}  // namespace
