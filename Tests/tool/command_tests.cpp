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

size_t Entries(const std::string& dir) {
  return static_cast<size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

// The writes that reached the simulated cameras in a run with
// TERVIXMD_WRITE_LOG: "FEATURE VALUE accepted|refused" per write, of the
// features named (the open's own writes left out).
std::vector<std::string> CameraWrites(const std::string& log_path,
                                      const std::vector<std::string>& features) {
  std::vector<std::string> writes;
  std::ifstream log(log_path);
  for (std::string line; std::getline(log, line);) {
    std::istringstream fields(line);
    std::string key, feature, value, outcome;
    for (std::string* field : {&key, &feature, &value, &outcome})
      std::getline(fields, *field, '\t');
    if (std::find(features.begin(), features.end(), feature) != features.end()) {
      writes.push_back(feature + " " + value + " " + outcome);
    }
  }
  return writes;
}

// ---- Commands that print and fail --------------------------------------------

struct RunCase {
  std::vector<std::string> args;
  int exit_status;
  // The whole of stdout when it ends with a newline, otherwise a text
  // within it; stdout stays empty when the command fails.
  std::string out;
  std::string err;  // within stderr, which stays empty when the command succeeds
  std::vector<std::string> env = {};
};

// Catches: a subcommand without --help, help printed on stderr or with a
// failing status; options after "--", negative numbers or an option's
// inline value (or only its first one) taken for something else; a usage
// mistake answered with 0 or 1 instead of 2, a bad open option passed on
// to the host ("error 9003: Host: invalid argument") instead of named with
// what it takes; --sdk refused in either place, or
// the simulator's choice ("sim") not taking the built-in cameras, --quiet
// printing more than keys; query names mapped to the wrong numbers, an
// unsupported query, a bad device or a refused read reported as success;
// an empty camera set reported as success, or a crash on it, in list and in
// the commands that open a camera; a camera file that does not load
// answered with the built-in cameras or with a silent empty list.
TEST(Commands, OutputExitStatusAndMessages) {
  ScratchDir dir;
  std::ofstream(dir.File("empty.json")) << R"({"cameras": []})";
  std::ofstream(dir.File("bad.json"))
      << R"([{"key": "A", "features": {"Width": {"value": 5000, "max": 640}}}])";
  const std::vector<std::string> none = {"TERVIXMD_SIM_CONFIG=" + dir.File("empty.json")};
  std::vector<RunCase> cases = {
      {{"--help"}, 0, "grab", ""},
      {{"list", "-h"}, 0, "usage: hacq list", ""},
      {{"--version"}, 0, "hacq ", ""},
      {{}, 2, "", "missing command"},
      {{"frobnicate"}, 2, "", "frobnicate"},
      {{"list", "--bogus"}, 2, "", "--bogus"},
      {{"list", "-x"}, 2, "", "-x"},
      {{"list", "--json=yes"}, 2, "", "--json"},
      {{"grab", "--count"}, 2, "", "option '--count' needs a value"},
      {{"grab", "--count", "-1"}, 2, "", "--count takes"},
      {{"grab", "--count", "many"}, 2, "", "--count takes"},
      {{"grab", "--duration", "0"}, 2, "", "--duration takes"},
      {{"grab", "--trigger", "line"}, 2, "", "--trigger"},
      {{"grab", "--no-save", "--out", "x"}, 2, "", "--out"},
      {{"grab", "--start-row", "99999999999"}, 2, "", "--start-row takes a whole number"},
      {{"grab", "--field", "weird"}, 2, "", "--field takes interlaced, progressive or default"},
      {{"grab", "--external-trigger", "yes"}, 2, "", "--external-trigger takes true, false"},
      {{"grab", "--device", std::string(1024, 'd')}, 2, "", "--device takes"},
      {{"get", "default"}, 2, "", "get takes"},
      {{"set", "default", "Width"}, 2, "", "NAME=VALUE"},
      {{"set", "default", "=5"}, 2, "", "missing parameter name"},
      {{"info", "no_such_query"}, 2, "", "no_such_query"},
      {{"--sdk"}, 2, "", "--sdk"},
      {{"--sdk", "sim"}, 2, "", "missing command"},
      {{"--sdk=", "list"}, 2, "", "--sdk takes"},
      {{"list", "--sdk", ""}, 2, "", "--sdk takes"},
      {{"--sdk", "sim", "list", "--quiet"}, 0, "MONO-2448\nCOLOR-1920\n", ""},
      {{"list", "--quiet", "--sdk=sim"}, 0, "MONO-2448\nCOLOR-1920\n", ""},
      {{"list"}, 0, "COLOR-1920", ""},
      {{"info", "color_space"},
       0,
       "color_space (10): Value list for color space parameter.\n    default\n    gray\n    rgb\n",
       ""},
      {{"info", "7"}, 1, "", "query 7: the interface does not support it"},
      {{"params", "default"}, 0, "Specifies the desired exposure time", ""},
      {{"params", "NoSuchCamera"}, 1, "", "open 'NoSuchCamera': error 5302"},
      {{"get", "--", "default", "revision"}, 0, "5.x\n", ""},
      {{"get", "default", "-5"}, 1, "", "get -5: error 5321"},
      {{"grab", "--count=5", "--count", "1", "--no-save"}, 0, "grabbed 1 of 1 frame", ""},
      {{"get", "default", "NoSuchParameter"}, 1, "", "error 5321"},
      {{"list"}, 1, "", "no camera found", none},
      {{"info", "info_boards"}, 0, "info_boards (5): Info about installed xy boards.\n", "", none},
      {{"grab", "--count", "1", "--no-save"}, 1, "", "error 5302", none},
      {{"params", "default"}, 1, "", "error 5302", none},
      {{"get", "default", "Width"}, 1, "", "error 5302", none},
      {{"set", "default", "Gamma=1.5"}, 1, "", "error 5302", none},
      {{"list"},
       1,
       "",
       dir.File("bad.json") + ": camera 0: Width: \"value\" 5000 is outside 16..640",
       {"TERVIXMD_SIM_CONFIG=" + dir.File("bad.json")}},
  };
  for (const std::string command : {"list", "info", "params", "get", "set", "grab"}) {
    cases.push_back({{command, "--help"}, 0, "usage: hacq " + command, ""});
  }
  for (const auto& c : cases) {
    const ToolResult r = RunTool(c.args, c.env);
    const std::string run = testing::PrintToString(c.args) + Describe(r);
    EXPECT_EQ(r.exit_status, c.exit_status) << run;
    if (!c.out.empty() && c.out.back() == '\n') {
      EXPECT_EQ(r.out, c.out) << run;
    } else {
      EXPECT_NE(r.out.find(c.out), std::string::npos) << run;
    }
    EXPECT_EQ(r.out.empty(), c.exit_status != 0) << run;
    EXPECT_EQ(r.err.empty(), c.exit_status == 0) << run;
    EXPECT_NE(r.err.find(c.err), std::string::npos) << run;
    if (c.exit_status != 0) {
      EXPECT_EQ(r.err.rfind("hacq: ", 0), 0u) << run;
    }
    EXPECT_EQ(r.err.find("9003"), std::string::npos) << run;
  }
}

// Catches: the listing exports' identities lost or mismatched between
// cameras, the board list missing; query names mapped to the wrong
// numbers; parameters missing from the table, metadata not shown, values
// printed wrongly typed or joined, a float range shown with a step.
TEST(Commands, JsonOfListInfoParamsAndGet) {
  EXPECT_EQ(ParseOut(RunTool({"list", "--json"})), json::parse(R"({
    "boards": ["device:MonoCam port:0", "device:ColorCam1 port:1"],
    "cameras": [
      {"key": "MONO-2448", "model": "TX-2448M", "name": "Mono Cam", "serial": "TX24480001",
       "vendor": "Tervixmd"},
      {"key": "COLOR-1920", "model": "TX-1920C", "name": "ColorCam1", "serial": "TX19200002",
       "vendor": "Tervixmd"}]})"));

  const json info = ParseOut(RunTool({"info", "--json"}));
  EXPECT_EQ(info["parameters"]["values"].size(), 15u);
  EXPECT_EQ(info["revision"]["values"][0], "5.x");
  EXPECT_EQ(info["port"]["values"], json::array({0, 1, 2, 3}));
  EXPECT_EQ(info["general"]["query"], 2);
  EXPECT_EQ(ParseOut(RunTool({"get", "default", "grab_timeout_range", "--json"}))["values"],
            json::array({1, 32767, 1, 5000}));

  const json list = ParseOut(RunTool({"params", "default", "--json"}));
  EXPECT_EQ(list.size(), 23u) << list.dump();
  std::map<std::string, json> by_name;
  for (const auto& entry : list) by_name[entry["name"]] = entry;
  EXPECT_TRUE(by_name["Width"]["readable"].get<bool>());
  EXPECT_EQ(by_name["Width"]["category"], "ImageFormatControl");
  EXPECT_EQ(by_name["Width"]["range"]["step"], 16);
  // A float range has no step: the interface reports 1.0 for every one.
  EXPECT_EQ(by_name["Gamma"]["range"], json({{"min", 0.1}, {"max", 4.0}}));
  EXPECT_EQ(by_name["ReverseX"]["values"], json::array({"False", "True"}));
  EXPECT_FALSE(by_name["do_abort_grab"]["readable"].get<bool>());
  EXPECT_EQ(by_name["revision"]["value"], json::array({"5.x"}));
}

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
  const std::vector<std::string> features = {"ExposureTime", "Gamma",       "GainRaw",
                                             "Contrast",     "ReverseX",    "PixelFormat",
                                             "DeviceUserID", "TriggerMode", "Width"};
  for (const auto& c : cases) {
    ScratchDir dir;
    std::vector<std::string> args = {"set", "default"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const ToolResult r = RunTool(args, {"TERVIXMD_WRITE_LOG=" + dir.File("writes")});
    EXPECT_EQ(r.exit_status, c.exit_status) << testing::PrintToString(args) << Describe(r);
    EXPECT_EQ(r.out, c.out) << testing::PrintToString(args) << Describe(r);
    EXPECT_NE(r.err.find(c.err), std::string::npos) << Describe(r);
    EXPECT_EQ(CameraWrites(dir.File("writes"), features), c.writes) << testing::PrintToString(args);
    // Only a run that changed the camera is reminded that the simulator forgets.
    EXPECT_EQ(r.err.find("keeps these settings only until hacq exits") != std::string::npos,
              c.exit_status == 0)
        << Describe(r);
  }
}

// ---- grab ------------------------------------------------------------------

// Catches: frames not saved, colour planes saved as gray, files overwritten
// under one name, files named after the device string as typed ("0", a
// name, a name with its spaces left out) instead of the camera's key, --set
// applied after the first grab or Width not reaching the delivered image,
// a summary that does not count the frames.
TEST(GrabCommand, SavesGrayAndColourFramesUnderTheCameraKey) {
  ScratchDir out;
  std::ofstream(out.File("cameras.json"))
      << R"({"cameras": [{"key": "CAM-1", "name": "Line Cam"}]})";
  const std::vector<std::string> own_camera = {"TERVIXMD_SIM_CONFIG=" + out.File("cameras.json")};
  const struct {
    std::vector<std::string> options;
    std::vector<std::string> env;
    std::string key;
    bool colour;
    uint32_t width;  // 0: the camera's own
  } cases[] = {
      {{"--device", "0", "--set", "Width=640", "--set", "Height=480"}, {}, "MONO-2448", false, 640},
      {{"--device", "ColorCam1"}, {}, "COLOR-1920", true, 0},
      {{"--device", "linecam"}, own_camera, "CAM-1", false, 0}};
  for (const auto& c : cases) {
    ScratchDir dir;
    std::vector<std::string> args = {"grab", "--count", "3", "--out", dir.path()};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const ToolResult r = RunTool(args, c.env);
    ASSERT_EQ(r.exit_status, 0) << Describe(r);
    EXPECT_NE(r.out.find("grabbed 3 of 3 frames"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("failures: none"), std::string::npos) << r.out;
    // No progress bar when stderr is not a terminal.
    EXPECT_EQ(r.err.find('\r'), std::string::npos);
    const auto files = PngFiles(dir.path());
    ASSERT_EQ(files.size(), 3u);
    for (size_t i = 0; i < files.size(); ++i) {
      EXPECT_EQ(fs::path(files[i]).filename(), c.key + "_000" + std::to_string(i) + ".png");
      const PngImage png = ReadPng(files[i]);
      ASSERT_TRUE(png.ok) << files[i];
      EXPECT_EQ((png.format & PNG_FORMAT_FLAG_COLOR) != 0, c.colour) << c.key;
      if (c.width != 0) {
        EXPECT_EQ(png.width, c.width) << files[i];
        EXPECT_EQ(png.height, 480u) << files[i];
      }
    }
  }
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
  const ToolResult r = RunTool({"grab", "--count", "3", "--json", "--out", out.path()});
  EXPECT_EQ(r.exit_status, 1) << Describe(r);
  EXPECT_NE(r.err.find("MONO-2448_0000.png"), std::string::npos) << Describe(r);
  const json summary = ParseOut(r);
  EXPECT_EQ(summary["grabbed"], 3);
  EXPECT_TRUE(summary["failures"].empty()) << r.out;
  EXPECT_EQ(summary["save_failures"], 1);
  EXPECT_EQ(summary["files"].size(), 2u);
  EXPECT_EQ(Entries(out.path()), 3u);  // the directory and two frames
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

// Catches: a signal that kills the run (no summary, no JSON, a truncated
// last file), the trigger mode or a --set value left as the run set them,
// the wrong exit status, a grab that waits for a frame not ended.
TEST(GrabCommand, SignalStopsTheRunCleanly) {
  const std::tuple<int, int, std::string> cases[] = {{SIGINT, 130, "SIGINT"},
                                                     {SIGTERM, 143, "SIGTERM"}};
  for (const auto& [signal, exit_status, name] : cases) {
    ScratchDir out;
    ScratchDir logs;
    RunOptions options;
    options.signal = signal;
    options.ready = [&] { return fs::exists(out.File("MONO-2448_0000.png")); };
    const ToolResult r = RunTool({"grab", "--count", "0", "--trigger", "software", "--set",
                                  "ExposureTime=3000", "--json", "--out", out.path()},
                                 {"TERVIXMD_WRITE_LOG=" + logs.File("writes")}, options);
    ASSERT_EQ(r.exit_status, exit_status) << name << Describe(r);
    const json summary = ParseOut(r);
    EXPECT_EQ(summary["interrupted"], name);
    EXPECT_GE(summary["grabbed"].get<int64_t>(), 1);
    EXPECT_TRUE(summary["failures"].empty()) << r.out;
    const auto files = PngFiles(out.path());
    EXPECT_EQ(files.size(), summary["files"].size());
    EXPECT_EQ(Entries(out.path()), files.size()) << "a partial file was left";
    for (const auto& file : files) EXPECT_TRUE(ReadPng(file).ok) << file;
    const auto writes = CameraWrites(logs.File("writes"), {"TriggerMode", "ExposureTime"});
    ASSERT_GE(writes.size(), 2u);
    EXPECT_EQ(writes[writes.size() - 2], "TriggerMode Off accepted");
    EXPECT_EQ(writes.back(), "ExposureTime 10000 accepted");
  }
}

}  // namespace
