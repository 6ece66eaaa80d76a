// The built hacq run as a user runs it, on the built-in simulated cameras
// (a gray one first, a colour one second) or on a camera set from JSON.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include <nlohmann/json.hpp>

#include "tool_runner.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

std::string Describe(const ToolResult& r) {
  return "exit " + std::to_string(r.exit_status) + (r.timed_out ? " (timed out)" : "") +
         "\nstdout:\n" + r.out + "stderr:\n" + r.err;
}

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

// Catches: a subcommand without --help, help printed on stderr or with a
// failing status, a usage mistake answered with 0 or 1 instead of 2.
TEST(CommandLine, HelpAndUsageErrors) {
  for (const std::string command : {"list", "info", "params", "get", "set", "grab"}) {
    const ToolResult help = RunTool({command, "--help"});
    EXPECT_EQ(help.exit_status, 0) << Describe(help);
    EXPECT_EQ(help.out.rfind("usage: hacq " + command, 0), 0u) << Describe(help);
    EXPECT_TRUE(help.err.empty()) << Describe(help);
  }
  const std::vector<std::vector<std::string>> mistakes = {
      {},
      {"frobnicate"},
      {"list", "--bogus"},
      {"grab", "--count", "0"},
      {"grab", "--count", "many"},
      {"grab", "--trigger", "line"},
      {"grab", "--no-save", "--out", "x"},
      {"get", "default"},
      {"set", "default", "Width"},
      {"info", "no_such_query"},
  };
  for (const auto& args : mistakes) {
    const ToolResult r = RunTool(args);
    EXPECT_EQ(r.exit_status, 2) << testing::PrintToString(args) << Describe(r);
    EXPECT_NE(r.err.find("hacq: "), std::string::npos) << Describe(r);
    EXPECT_TRUE(r.out.empty()) << Describe(r);
  }
  const ToolResult top = RunTool({"--help"});
  EXPECT_EQ(top.exit_status, 0);
  EXPECT_NE(top.out.find("grab"), std::string::npos);
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

  for (const auto& args : std::vector<std::vector<std::string>>{
           {"grab", "--count", "1", "--no-save"}, {"params", "default"}, {"get", "default", "Width"},
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
// treated as a failure, the parameter list incomplete.
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
  EXPECT_EQ(unsupported.exit_status, 0) << Describe(unsupported);
  EXPECT_NE(unsupported.out.find("Unsupported query!"), std::string::npos);
}

// ---- params, get, set --------------------------------------------------------

// Catches: parameters missing from the table, metadata not shown, values
// printed wrongly typed or joined, a bad device or a refused read reported
// as success.
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

struct SetCase {
  std::vector<std::string> assignments;
  int exit_status;
  std::string out;  // expected on stdout (whole)
  std::string err;  // expected within stderr
};

// Catches: float parameters sent as integers (5325), integers typed from
// words, refusals without the host's code or the accepted values, a
// refused setting followed by the next one.
TEST(SetCommand, ValuesTypedAndRefusalsExplained) {
  const std::vector<SetCase> cases = {
      {{"ExposureTime=2000"}, 0, "ExposureTime = 2000\n", ""},
      {{"Gamma=1", "Contrast=3"}, 0, "Gamma = 1\nContrast = 3\n", ""},
      {{"TriggerMode=Software_Trigger"}, 0, "TriggerMode = Software_Trigger\n", ""},
      {{"DeviceUserID=left=1"}, 0, "DeviceUserID = left=1\n", ""},
      {{"do_TriggerSoftware"}, 0, "do_TriggerSoftware set\n", ""},
      {{"Width=abc"}, 1, "", "Width takes an integer, not 'abc'"},
      {{"ReverseX=maybe", "Gamma=1"}, 1, "", "error 5326"},
      {{"ReverseX=maybe"}, 1, "", "ReverseX accepts one of: False, True"},
      {{"revision=6"}, 1, "", "set revision=6: error 5321"},
      {{"volatile=enable"}, 0, "volatile = enable\n", ""},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"set", "default"};
    args.insert(args.end(), c.assignments.begin(), c.assignments.end());
    const ToolResult r = RunTool(args);
    EXPECT_EQ(r.exit_status, c.exit_status) << testing::PrintToString(args) << Describe(r);
    EXPECT_EQ(r.out, c.out) << testing::PrintToString(args) << Describe(r);
    EXPECT_NE(r.err.find(c.err), std::string::npos) << Describe(r);
  }
}

// ---- grab ------------------------------------------------------------------

// Catches: frames not saved, colour planes saved as gray, files overwritten
// under one name, a summary that does not count the frames.
TEST(GrabCommand, SavesGrayAndColourFrames) {
  const std::vector<std::string> keys = CameraKeys();
  ASSERT_EQ(keys.size(), 2u);
  for (size_t camera = 0; camera < keys.size(); ++camera) {
    ScratchDir out;
    const ToolResult r =
        RunTool({"grab", "--device", keys[camera], "--count", "3", "--out", out.path()});
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
      {{"--color-space", "rgb", "--volatile"}, 1, "volatile mode needs a gray image"},
      {{"--generic", "num_buffers=9"}, 1, "error 5326"},
      {{"--color-space", "cmyk"}, 1, "error 5315"},
      {{"--device", "NoSuchCamera"}, 1, "error 5302"},
      {{"--set", "Width=wide"}, 1, "Width takes an integer"},
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
// the JSON document; failed grabs missing from the summary or its status.
TEST(GrabCommand, FailuresCountedAndInterfaceMessagesKeptOutOfResults) {
  // Software trigger mode without triggers: no frame ever comes.
  const ToolResult r = RunTool({"grab", "--count", "2", "--no-save", "--json", "--set",
                                "TriggerMode=software_trigger"});
  EXPECT_EQ(r.exit_status, 1) << Describe(r);
  const json summary = ParseOut(r);
  EXPECT_EQ(summary["grabbed"], 0);
  ASSERT_EQ(summary["failures"].size(), 1u) << r.out;
  EXPECT_EQ(summary["failures"][0]["code"], 5306);
  EXPECT_EQ(summary["failures"][0]["count"], 2);
  EXPECT_NE(r.err.find("getFrame fail"), std::string::npos) << Describe(r);
}

// Catches: --set applied after the first grab, or Width not reaching the
// delivered image.
TEST(GrabCommand, SettingsApplyBeforeTheFirstFrame) {
  ScratchDir out;
  const ToolResult r =
      RunTool({"grab", "--count", "2", "--set", "Width=640", "--set", "Height=480", "--out",
               out.path()});
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
