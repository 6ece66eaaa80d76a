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

// Catches a registration that calls into a library or function that was
// not found: FGInit must answer 3 after the box, opens 5302, listings -1.
// The interface runs from a folder that holds every library but the SDK,
// or in its place one that exports none of the SDK's functions.
TEST(MissingSdk, RegistrationFailsCleanlyAndOpensAnswer5302) {
  struct Case {
    const char* sdk_stand_in;  // copied in as the SDK library; null: none
    const char* box;
  };
  const Case cases[] = {{nullptr, "FGOpen: fail to load dll!"},
                        {HACQ_HOLLOW_SDK_PATH, "FGOpen: fail to GetProcAddress!"}};
  const fs::path build = fs::path(HACQ_INTERFACE_PATH).parent_path();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.box);
    char pattern[] = "/tmp/hacq-nosdk-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path folder(pattern);
    for (const auto& item : fs::directory_iterator(build)) {
      const std::string name = item.path().filename().string();
      if (name.find(".so") == std::string::npos || name.rfind("libTervixmd", 0) == 0) continue;
      fs::copy_file(item.path(), folder / name);
    }
    if (c.sdk_stand_in != nullptr) {
      fs::copy_file(c.sdk_stand_in, folder / fs::path(c.sdk_stand_in).filename());
    }
    const std::string output = RunCommand(
        "env -u LD_LIBRARY_PATH -u LD_PRELOAD '" + std::string(HACQ_PROBE_PATH) + "' '" +
        (folder / fs::path(HACQ_INTERFACE_PATH).filename()).string() + "' 2>&1");
    fs::remove_all(folder);
    EXPECT_NE(output.find(c.box), std::string::npos) << output;
    EXPECT_NE(output.find("init 3\n"), std::string::npos) << output;
    EXPECT_NE(output.find("open 5302\n"), std::string::npos) << output;
    EXPECT_NE(output.find("discovery -1 77\n"), std::string::npos) << output;
    EXPECT_NE(output.find("getKey null\n"), std::string::npos) << output;
  }
}

}  // namespace
