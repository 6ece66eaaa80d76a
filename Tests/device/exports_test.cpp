// What the built library exports: its symbol table, its registration when
// the camera SDK cannot be had, and the camera-listing functions.
#include "registration/exports.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>
#include <thread>
#include <tuple>
#include <vector>

#include "device_test_util.h"

namespace device_test {
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
  const std::string listing =
      RunCommand(std::string(HACQ_NM) + " -D --defined-only '" + HACQ_INTERFACE_PATH + "'");
  std::set<std::string> names;
  std::istringstream fields(listing);
  std::string address, type, name;
  while (fields >> address >> type >> name) {
    if (type != "A") names.insert(name.substr(0, name.find('@')));  // "A": the version node
  }
  const std::set<std::string> expected = {"FGInit",       "discovery_camera", "getKey",
                                          "getModelName", "getName",          "getSerialNumber",
                                          "getVendorName"};
  EXPECT_EQ(names, expected) << listing;
}

// The probe's output when the interface runs from a folder that holds
// every library but the SDK (and `sdk_stand_in` in its place, when given),
// with `choice` as HACQ_CAMERA_SDK (null: unset).
std::string RunProbe(const char* sdk_stand_in, const char* choice) {
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
  std::string command = "env -u LD_LIBRARY_PATH -u LD_PRELOAD -u HACQ_CAMERA_SDK ";
  if (choice != nullptr) command += std::string("'HACQ_CAMERA_SDK=") + choice + "' ";
  const std::string output =
      RunCommand(command + HACQ_PROBE_PATH + " '" +
                 (folder / fs::path(HACQ_INTERFACE_PATH).filename()).string() + "' 2>&1");
  fs::remove_all(folder);
  return output;
}

// Catches a registration that calls into a library or function that was
// not found (FGInit must answer 3 after the box, opens 5302, listings -1),
// a library chosen by HACQ_CAMERA_SDK that is not named on a line of its
// own, one accepted with the system entry point only (every open would fail
// later), and a path in the variable that is not the library loaded.
TEST(MissingSdk, RegistrationFailsCleanlyAndOpensAnswer5302) {
  struct Case {
    const char* sdk_stand_in;  // copied in as the SDK library; null: none
    const char* choice;        // HACQ_CAMERA_SDK; null: unset
    const char* box;           // null: the library loads and serves
    const char* naming_line;   // null: the variable must not be named
  };
  const Case cases[] = {
      {nullptr, nullptr, "FGOpen: fail to load dll!", nullptr},
      {HACQ_HOLLOW_SDK_PATH, nullptr, "FGOpen: fail to GetProcAddress!", nullptr},
      {nullptr, "sim", "FGOpen: fail to load dll!", nullptr},
      {nullptr, "", "FGOpen: fail to load dll!", nullptr},
      {nullptr, "aravis", "FGOpen: fail to load dll!",
       "camera SDK library \"aravis\" (HACQ_CAMERA_SDK) cannot be loaded: libTervixmdAravis.so"},
      {nullptr, "/nowhere/libNoSdk.so", "FGOpen: fail to load dll!",
       "\"/nowhere/libNoSdk.so\" (HACQ_CAMERA_SDK) cannot be loaded: /nowhere/libNoSdk.so"},
      {nullptr, HACQ_HOLLOW_SDK_PATH, "FGOpen: fail to GetProcAddress!",
       "(HACQ_CAMERA_SDK) lacks GENICAM_getSystemInstance"},
      {nullptr, HACQ_SYSTEM_ONLY_SDK_PATH, "FGOpen: fail to GetProcAddress!",
       "(HACQ_CAMERA_SDK) lacks GENICAM_createStreamSource"},
      {nullptr, HACQ_SIM_SDK_PATH, nullptr, nullptr},
  };
  for (const Case& c : cases) {
    const std::string output = RunProbe(c.sdk_stand_in, c.choice);
    SCOPED_TRACE(testing::Message() << (c.choice ? c.choice : "unset") << ":\n" << output);
    std::vector<std::string> lines = {"init 2\n", "discovery 0 2\n", "getKey found\n"};
    if (c.box != nullptr) {
      lines = {c.box, "init 3\n", "open 5302\n", "discovery -1 77\n", "getKey null\n"};
    }
    if (c.naming_line != nullptr) lines.emplace_back(c.naming_line);
    for (const std::string& line : lines) EXPECT_NE(output.find(line), std::string::npos) << line;
    EXPECT_EQ(output.find("HACQ_CAMERA_SDK") == std::string::npos, c.naming_line == nullptr);
  }
}

class ListingTest : public DeviceTest {
 protected:
  static const char* Ask(const char* getter, const char* key) {
    using Getter = const char* (*)(const char*);
    return reinterpret_cast<Getter>(driver().Symbol(getter))(key);
  }
  static int32_t Discover(char* keys, uint32_t* count) {
    using Discovery = int32_t (*)(char*, uint32_t*);
    return reinterpret_cast<Discovery>(driver().Symbol("discovery_camera"))(keys, count);
  }
  // The keys of a discovery that must succeed.
  static std::vector<std::string> Keys() {
    std::vector<char> keys(8 * HACQ_KEY_SLOT, '#');
    uint32_t count = 0;
    EXPECT_EQ(Discover(keys.data(), &count), 0);
    std::vector<std::string> result;
    for (uint32_t i = 0; i < count; ++i) result.emplace_back(&keys[i * HACQ_KEY_SLOT]);
    return result;
  }
};

// Catches keys written with spaces, past their slot's 1023 characters or at
// the wrong slot, a stripped key one character too long (the longest key
// is cut exactly), getters that look up by the key with spaces, getKey not
// answering the SDK's own text, and a listing that disturbs the camera
// table opens use.
TEST_F(ListingTest, ListsKeysAndAnswersByStrippedKey) {
  const std::string longest(kTextLen - 1, 'K');
  simsdk::CameraConfig spaced = Camera("KEY WITH SPACE", "Spaced Cam");
  spaced.vendor = "Vendor A";
  spaced.model = "Model 7";
  UseCameras({Camera("PLAIN", "Plain Cam"), spaced, Camera(longest + " Z", "")});
  EXPECT_EQ(Keys(), (std::vector<std::string>{"PLAIN", "KEYWITHSPACE", longest}));
  EXPECT_STREQ(Ask("getKey", "KEYWITHSPACE"), "KEY WITH SPACE");
  EXPECT_STREQ(Ask("getName", "KEYWITHSPACE"), "Spaced Cam");
  EXPECT_STREQ(Ask("getVendorName", "KEYWITHSPACE"), "Vendor A");
  EXPECT_STREQ(Ask("getModelName", "KEYWITHSPACE"), "Model 7");
  EXPECT_STREQ(Ask("getSerialNumber", "PLAIN"), "SN-PLAIN");
  EXPECT_STREQ(Ask("getKey", longest.c_str()), (longest + " Z").c_str());
  EXPECT_EQ(Ask("getName", "KEY WITH SPACE"), nullptr);
  EXPECT_EQ(Ask("getName", "plain"), nullptr);  // exact, case-sensitive
  EXPECT_EQ(Ask("getName", nullptr), nullptr);
  EXPECT_TRUE(OpenOk("SpacedCam"));
}

// Catches a listing that writes into the buffer with no camera, or that
// answers from a list a failed discovery should have emptied; and a failed
// discovery at registration that still reports success or keeps the old
// table.
TEST_F(ListingTest, EmptyAndFailedDiscoveries) {
  UseCameras({});
  std::vector<char> keys(HACQ_KEY_SLOT, '#');
  uint32_t count = 99;
  EXPECT_EQ(Discover(keys.data(), &count), 0);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(keys[0], '#');
  EXPECT_EQ(Discover(nullptr, &count), -1);
  EXPECT_EQ(Discover(keys.data(), nullptr), -1);

  // A system object that cannot be had leaves the list as it was; a failed
  // discovery empties it.
  const std::tuple<sdkabi::FaultPoint, const char*, bool> faults[] = {
      {sdkabi::FaultPoint::SystemInstance, "pSystem is null.\r\n", true},
      {sdkabi::FaultPoint::Discovery, "discovery device fail.\r\n", false}};
  for (const auto& [fault, line, list_kept] : faults) {
    UseCameras({Camera("ONE", "")});
    ASSERT_EQ(Keys().size(), 1u);
    SdkControls().InjectFault("", fault);
    count = 99;
    EXPECT_EQ(Discover(keys.data(), &count), -1);
    EXPECT_EQ(count, 99u);
    EXPECT_EQ(Ask("getKey", "ONE") != nullptr, list_kept);
    SdkControls().InjectFault("", fault);
    Herror status = 0;
    EXPECT_EQ(Capture([&] { status = driver().Reinit(); }).out, line);
    EXPECT_EQ(status, 3);
    // The host does not use an interface whose registration failed.
    EXPECT_EQ(TryOpen(DefaultParams("default")), hostlayer::kErrNotLoaded);
    ASSERT_EQ(driver().Reinit(), H_MSG_OK);
  }
}

// Catches a shared result buffer for space stripping: listings and opens
// on several threads must each see their own camera.
TEST_F(ListingTest, ConcurrentLookupsSeeTheirOwnCamera) {
  std::vector<simsdk::CameraConfig> cameras;
  for (int i = 0; i < 4; ++i) {
    cameras.push_back(Camera("CAM " + std::to_string(i) + " KEY", "Name " + std::to_string(i)));
  }
  UseCameras(cameras);
  ASSERT_EQ(Keys().size(), 4u);
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      const std::string key = "CAM" + std::to_string(t) + "KEY";
      const std::string name = "Name " + std::to_string(t);
      for (int i = 0; i < 2000; ++i) {
        const char* got = Ask("getName", key.c_str());
        if (got == nullptr || name != got) ++wrong;
      }
    });
  }
  threads.emplace_back([&] {
    for (int i = 0; i < 200; ++i) {
      if (TryOpen(DefaultParams("Name" + std::to_string(i % 4))) != H_MSG_OK) ++wrong;
    }
  });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
}  // namespace device_test
