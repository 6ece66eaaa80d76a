// hacq with the Aravis SDK (--sdk aravis), against Aravis's fake GigE Vision
// camera in a network namespace of this test's own, which hacq runs in too.
#include <gtest/gtest.h>

#include "hacq_test/fake_gv_camera.h"
#include "hacq_test/private_network.h"
#include "tool_runner.h"

namespace {

// Catches: --sdk aravis not reaching the Aravis SDK (the simulator's
// cameras listed instead), a real GigE Vision camera that cannot be listed
// or grabbed, and frames saved with other pixels than the camera sent.
TEST(AravisSdk, ListAndGrabTheFakeCamera) {
  const std::string network = hacq_test::EnterPrivateNetwork();
  if (!network.empty()) GTEST_SKIP() << "no network namespace of its own (" << network << ")";
  hacq_test::FakeGvCamera camera("127.0.0.1", "TOOL");
  ASSERT_TRUE(camera.running());

  const ToolResult list = RunTool({"--sdk", "aravis", "list", "--quiet"});
  ASSERT_EQ(list.exit_status, 0) << Describe(list);
  EXPECT_EQ(list.out, camera.key() + "\n") << Describe(list);

  ScratchDir out;
  const ToolResult grab = RunTool(
      {"--sdk", "aravis", "grab", "--device", camera.key(), "--count", "3", "--out", out.path()});
  ASSERT_EQ(grab.exit_status, 0) << Describe(grab);
  EXPECT_NE(grab.out.find("grabbed 3 of 3 frames"), std::string::npos) << grab.out;
  const PngImage png = ReadPng(out.File(camera.key() + "_0002.png"));
  ASSERT_TRUE(png.ok) << Describe(grab);
  ASSERT_EQ(png.width, 64u);
  ASSERT_EQ(png.height, 48u);
  ASSERT_EQ(png.pixels.size(), 64u * 48u) << "a gray image";
  const uint8_t frame = hacq_test::PatternFrame(png.pixels[0], 0, 0, 64, 48, false, false);
  for (uint32_t y = 0; y < 48; ++y)
    for (uint32_t x = 0; x < 64; ++x)
      ASSERT_EQ(png.pixels[y * 64 + x], hacq_test::PatternSample(x, y, 64, 48, false, false, frame))
          << "pixel " << x << "," << y;
}

}  // namespace
