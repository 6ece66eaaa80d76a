// The camera-listing exports.
#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "device_test_util.h"
#include "registration/exports.h"

namespace {

using device_test::Camera;

struct Listing {
  int32_t (*discover)(char*, uint32_t*);
  const char* (*get_key)(const char*);
  const char* (*get_model)(const char*);
  const char* (*get_name)(const char*);
  const char* (*get_serial)(const char*);
  const char* (*get_vendor)(const char*);
};

template <class Fn>
Fn Symbol(const char* name) {
  return reinterpret_cast<Fn>(hostlayer::Driver::Get().Symbol(name));
}

Listing Exports() {
  return {Symbol<int32_t (*)(char*, uint32_t*)>("discovery_camera"),
          Symbol<const char* (*)(const char*)>("getKey"),
          Symbol<const char* (*)(const char*)>("getModelName"),
          Symbol<const char* (*)(const char*)>("getName"),
          Symbol<const char* (*)(const char*)>("getSerialNumber"),
          Symbol<const char* (*)(const char*)>("getVendorName")};
}

class ListingExportsTest : public hacq_test::InterfaceTest {
 protected:
  void SetUp() override {
    InterfaceTest::SetUp();
    listing_ = Exports();
    ASSERT_NE(listing_.discover, nullptr);
    ASSERT_NE(listing_.get_key, nullptr);
  }
  std::vector<std::string> Discover() {
    std::vector<char> keys(8 * HACQ_KEY_SLOT, '#');
    uint32_t count = 0;
    EXPECT_EQ(listing_.discover(keys.data(), &count), 0);
    std::vector<std::string> result;
    for (uint32_t i = 0; i < count; ++i) result.emplace_back(&keys[i * HACQ_KEY_SLOT]);
    return result;
  }
  Listing listing_{};
};

// Catches keys written with spaces or at the wrong slot, getters that look
// up by the key with spaces, getKey not returning the SDK's own text, and a
// listing that disturbs the camera table opens use.
TEST_F(ListingExportsTest, ListsKeysAndAnswersByStrippedKey) {
  simsdk::CameraConfig spaced = Camera("KEY WITH SPACE", "Spaced Cam");
  spaced.vendor = "Vendor A";
  spaced.model = "Model 7";
  UseCameras({Camera("PLAIN", "Plain Cam"), spaced});
  const auto keys = Discover();
  ASSERT_EQ(keys, (std::vector<std::string>{"PLAIN", "KEYWITHSPACE"}));
  EXPECT_STREQ(listing_.get_key("KEYWITHSPACE"), "KEY WITH SPACE");
  EXPECT_STREQ(listing_.get_name("KEYWITHSPACE"), "Spaced Cam");
  EXPECT_STREQ(listing_.get_vendor("KEYWITHSPACE"), "Vendor A");
  EXPECT_STREQ(listing_.get_model("KEYWITHSPACE"), "Model 7");
  EXPECT_STREQ(listing_.get_serial("PLAIN"), "SN-PLAIN");
  EXPECT_EQ(listing_.get_name("KEY WITH SPACE"), nullptr);
  EXPECT_EQ(listing_.get_name("plain"), nullptr);  // exact, case-sensitive
  EXPECT_EQ(listing_.get_name(nullptr), nullptr);
  // A listing leaves the camera table of FGInit alone.
  EXPECT_TRUE(OpenOk("SpacedCam"));
}

// Catches a listing that writes into the buffer with no camera, or that
// answers from a list a failed discovery should have emptied.
TEST_F(ListingExportsTest, EmptyAndFailedDiscoveries) {
  UseCameras({});
  std::vector<char> keys(HACQ_KEY_SLOT, '#');
  uint32_t count = 99;
  EXPECT_EQ(listing_.discover(keys.data(), &count), 0);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(keys[0], '#');

  UseCameras({Camera("ONE", "")});
  ASSERT_EQ(Discover().size(), 1u);
  ASSERT_NE(listing_.get_key("ONE"), nullptr);

  // A system object that cannot be had leaves the list as it was.
  hacq_test::SdkControls().InjectFault("", sdkabi::FaultPoint::SystemInstance);
  count = 99;
  EXPECT_EQ(listing_.discover(keys.data(), &count), -1);
  EXPECT_EQ(count, 99u);
  EXPECT_NE(listing_.get_key("ONE"), nullptr);

  // A failed discovery empties it.
  hacq_test::SdkControls().InjectFault("", sdkabi::FaultPoint::Discovery);
  EXPECT_EQ(listing_.discover(keys.data(), &count), -1);
  EXPECT_EQ(count, 99u);
  EXPECT_EQ(listing_.get_key("ONE"), nullptr);
  EXPECT_EQ(listing_.discover(nullptr, &count), -1);
  EXPECT_EQ(listing_.discover(keys.data(), nullptr), -1);
}

// Catches a shared result buffer for space stripping: listings and opens
// on several threads must each see their own camera's key.
TEST_F(ListingExportsTest, ConcurrentLookupsSeeTheirOwnCamera) {
  std::vector<simsdk::CameraConfig> cameras;
  for (int i = 0; i < 4; ++i) {
    cameras.push_back(Camera("CAM " + std::to_string(i) + " KEY", "Name " + std::to_string(i)));
  }
  UseCameras(cameras);
  ASSERT_EQ(Discover().size(), 4u);
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      const std::string key = "CAM" + std::to_string(t) + "KEY";
      const std::string name = "Name " + std::to_string(t);
      for (int i = 0; i < 2000; ++i) {
        const char* got = listing_.get_name(key.c_str());
        if (got == nullptr || name != got) ++wrong;
      }
    });
  }
  threads.emplace_back([&] {
    for (int i = 0; i < 200; ++i) {
      if (TryOpen(hacq_test::DefaultParams("Name" + std::to_string(i % 4))) != H_MSG_OK) ++wrong;
    }
  });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
