// The built library's symbol table, and registration without the SDK.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string RunCommand(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return output;
  char chunk[4096];
  size_t n = 0;
  while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) output.append(chunk, n);
  pclose(pipe);
  return output;
}

// Catches a symbol leaking out of the library (an internal function the
// host or a second interface could bind to by accident) or an entry point
// that is missing.
TEST(LibraryExports, OnlyTheSevenEntryPointsAreDefined) {
  std::string command = HACQ_NM;
  command.append(" -D --defined-only '").append(HACQ_INTERFACE_PATH).append("'");
  const std::string listing = RunCommand(command);
  std::set<std::string> names;
  std::istringstream lines(listing);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string address, type, name;
    if (!(fields >> address >> type >> name)) continue;
    if (type == "A") continue;  // the version node, not a symbol
    names.insert(name.substr(0, name.find('@')));
  }
  const std::set<std::string> expected = {"FGInit",       "discovery_camera", "getKey",
                                          "getModelName", "getName",          "getSerialNumber",
                                          "getVendorName"};
  EXPECT_EQ(names, expected) << listing;
}

// The probe's output when the interface runs from a folder that holds
// every library but the SDK (and `sdk_stand_in` in its place, when given),
// with `environment` ("NAME=value" or empty) added to the probe's.
std::string RunProbe(const char* sdk_stand_in, const std::string& environment) {
  const fs::path build = fs::path(HACQ_INTERFACE_PATH).parent_path();
  char pattern[] = "/tmp/hacq-nosdk-XXXXXX";
  if (mkdtemp(pattern) == nullptr) return "mkdtemp failed";
  const fs::path folder(pattern);
  for (const auto& item : fs::directory_iterator(build)) {
    const std::string name = item.path().filename().string();
    if (name.find(".so") == std::string::npos || name.rfind("libTervixmd", 0) == 0) continue;
    fs::copy_file(item.path(), folder / name);
  }
  if (sdk_stand_in != nullptr) {
    fs::copy_file(sdk_stand_in, folder / fs::path(sdk_stand_in).filename());
  }
  const std::string output =
      RunCommand("env -u LD_LIBRARY_PATH -u LD_PRELOAD -u HACQ_CAMERA_SDK " + environment + " '" +
                 std::string(HACQ_PROBE_PATH) + "' '" +
                 (folder / fs::path(HACQ_INTERFACE_PATH).filename()).string() + "' 2>&1");
  fs::remove_all(folder);
  return output;
}

// Catches a registration that calls into a library or function that was
// not found: FGInit must answer 3 after the box, opens 5302, listings -1.
// The same for a library that HACQ_CAMERA_SDK chooses, which must also be
// named on a line of its own, and must have every entry point (a library
// with the system entry point only would fail later, at every open).
TEST(MissingSdk, RegistrationFailsCleanlyAndOpensAnswer5302) {
  struct Case {
    const char* sdk_stand_in;  // copied in as the SDK library; null: none
    std::string environment;
    const char* box;
    const char* naming_line;  // null: none may be printed
  };
  const std::string choice = "HACQ_CAMERA_SDK=";
  const Case cases[] = {
      {nullptr, "", "FGOpen: fail to load dll!", nullptr},
      {HACQ_HOLLOW_SDK_PATH, "", "FGOpen: fail to GetProcAddress!", nullptr},
      {nullptr, choice + "sim", "FGOpen: fail to load dll!", nullptr},
      {nullptr, choice, "FGOpen: fail to load dll!", nullptr},
      {nullptr, choice + "aravis", "FGOpen: fail to load dll!",
       "camera SDK library \"aravis\" (HACQ_CAMERA_SDK) cannot be loaded: "
       "libTervixmdAravis.so"},
      {nullptr, choice + "/nowhere/libNoSdk.so", "FGOpen: fail to load dll!",
       "camera SDK library \"/nowhere/libNoSdk.so\" (HACQ_CAMERA_SDK) cannot be loaded: "
       "/nowhere/libNoSdk.so"},
      {nullptr, choice + HACQ_HOLLOW_SDK_PATH, "FGOpen: fail to GetProcAddress!",
       "(HACQ_CAMERA_SDK) lacks GENICAM_getSystemInstance"},
      {nullptr, choice + HACQ_SYSTEM_ONLY_SDK_PATH, "FGOpen: fail to GetProcAddress!",
       "(HACQ_CAMERA_SDK) lacks GENICAM_createStreamSource"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.environment + " " + c.box);
    const std::string output = RunProbe(c.sdk_stand_in, c.environment);
    EXPECT_NE(output.find(c.box), std::string::npos) << output;
    if (c.naming_line != nullptr) {
      EXPECT_NE(output.find(c.naming_line), std::string::npos) << output;
    } else {
      EXPECT_EQ(output.find("HACQ_CAMERA_SDK"), std::string::npos) << output;
    }
    EXPECT_NE(output.find("init 3\n"), std::string::npos) << output;
    EXPECT_NE(output.find("open 5302\n"), std::string::npos) << output;
    EXPECT_NE(output.find("discovery -1 77\n"), std::string::npos) << output;
    EXPECT_NE(output.find("getKey null\n"), std::string::npos) << output;
  }
}

// Catches a path in HACQ_CAMERA_SDK that is not the library loaded: the
// simulator named by its path serves an interface that has no SDK beside
// it.
TEST(ChosenSdk, APathInTheVariableIsTheLibraryLoaded) {
  const std::string output = RunProbe(nullptr, std::string("HACQ_CAMERA_SDK=") + HACQ_SIM_SDK_PATH);
  for (const char* line : {"init 2\n", "discovery 0 2\n", "getKey found\n"})
    EXPECT_NE(output.find(line), std::string::npos) << output;
}

}  // namespace
