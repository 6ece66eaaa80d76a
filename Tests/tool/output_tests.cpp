// What the tool writes: PNG files, file names, statistics, progress, tables.
#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "frame_files.h"
#include "grab_stats.h"
#include "png_writer.h"
#include "progress_bar.h"
#include "text_table.h"
#include "tool_runner.h"

namespace {

namespace fs = std::filesystem;

hostlayer::Image Plane(int32_t width, int32_t height, uint8_t base) {
  hostlayer::Image image;
  image.width = width;
  image.height = height;
  image.owned.reset(new uint8_t[static_cast<size_t>(width * height)],
                    std::default_delete<uint8_t[]>());
  for (int32_t i = 0; i < width * height; ++i) {
    image.owned.get()[i] = static_cast<uint8_t>(base + i);
  }
  image.pixels = image.owned.get();
  return image;
}

// Catches: rows written with the wrong stride, a gray image stored as
// colour, red and blue planes swapped, or planes not interleaved per pixel.
TEST(PngWriter, GrayAndColourImagesRoundTrip) {
  ScratchDir dir;
  std::string error;
  const hostlayer::Images gray = {Plane(7, 3, 10)};
  ASSERT_TRUE(WritePng(dir.path() + "/gray.png", gray, &error)) << error;
  PngImage back = ReadPng(dir.path() + "/gray.png");
  ASSERT_TRUE(back.ok);
  EXPECT_EQ(back.width, 7u);
  EXPECT_EQ(back.height, 3u);
  EXPECT_EQ(back.format, static_cast<uint32_t>(PNG_FORMAT_GRAY));
  EXPECT_EQ(0, std::memcmp(back.pixels.data(), gray[0].pixels, 21));

  const hostlayer::Images rgb = {Plane(5, 2, 0), Plane(5, 2, 100), Plane(5, 2, 200)};
  ASSERT_TRUE(WritePng(dir.path() + "/rgb.png", rgb, &error)) << error;
  back = ReadPng(dir.path() + "/rgb.png");
  ASSERT_TRUE(back.ok);
  ASSERT_EQ(back.format, static_cast<uint32_t>(PNG_FORMAT_RGB));
  for (size_t i = 0; i < 30; ++i) EXPECT_EQ(back.pixels[i], rgb[i % 3].pixels[i / 3]) << i;
}

// Catches: a failed write reported as success, planes of different sizes
// read past the smaller one, two planes written as if they were three.
TEST(PngWriter, RefusesWhatItCannotWrite) {
  ScratchDir dir;
  std::string error;
  EXPECT_FALSE(WritePng(dir.path() + "/no/such/dir/x.png", {Plane(2, 2, 0)}, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(WritePng(dir.path() + "/a.png", {Plane(4, 4, 0), Plane(2, 2, 0), Plane(4, 4, 0)},
                        &error));
  EXPECT_FALSE(WritePng(dir.path() + "/b.png", {Plane(2, 2, 0), Plane(2, 2, 0)}, &error));
  EXPECT_FALSE(WritePng(dir.path() + "/c.png", {}, &error));
  EXPECT_FALSE(fs::exists(dir.path() + "/a.png"));
}

// Catches: a device key with '/' or ".." writing outside the output
// directory, names that do not sort in frame order, and an output directory
// that exists as a file taken for a directory.
TEST(FrameFiles, NamesStayInsideTheDirectoryAndSort) {
  EXPECT_EQ(FramePath("out", "default", 3, 5), "out/default_0003.png");
  EXPECT_EQ(FramePath("out", "../../etc/x", 0, 1), "out/.._.._etc_x_0000.png");
  EXPECT_EQ(FramePath("out", "..", 0, 1), "out/camera.._0000.png");
  EXPECT_EQ(FramePath("out", "Cam One", 12345, 20000), "out/Cam_One_12345.png");
  EXPECT_EQ(FramePath("out", "k", 7, 20000), "out/k_00007.png");
  ScratchDir dir;
  std::string error;
  EXPECT_TRUE(EnsureDirectory(dir.path() + "/a/b", &error)) << error;
  EXPECT_TRUE(fs::is_directory(dir.path() + "/a/b"));
  { std::ofstream(dir.path() + "/file") << "x"; }
  EXPECT_FALSE(EnsureDirectory(dir.path() + "/file", &error));
}

struct PercentileCase {
  std::vector<double> samples;
  double median;
  double p99;
};

// Catches: unsorted samples used as they came, the even-count median taken
// as one middle sample, p99 off by one rank, empty runs dividing by zero.
TEST(GrabStatistics, MedianAndP99) {
  std::vector<double> hundred;
  for (int i = 100; i >= 1; --i) hundred.push_back(i);
  const std::vector<PercentileCase> cases = {
      {{}, 0, 0},
      {{5}, 5, 5},
      {{3, 1, 2}, 2, 3},
      {{4, 1, 3, 2}, 2.5, 4},
      {hundred, 50.5, 99},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(GrabStats::Median(c.samples), c.median) << c.samples.size();
    EXPECT_DOUBLE_EQ(GrabStats::Percentile(c.samples, 99), c.p99) << c.samples.size();
  }
}

// Catches: failures of different codes merged, failed grabs counted as frames.
TEST(GrabStatistics, FailuresCountedByCode) {
  GrabStats stats;
  stats.AddFrame(10);
  stats.AddFailure(5306);
  stats.AddFailure(5306);
  stats.AddFailure(5302);
  EXPECT_EQ(stats.grabbed(), 1);
  EXPECT_EQ(stats.failed(), 3);
  EXPECT_EQ(stats.failures().at(5306), 2);
  EXPECT_EQ(stats.failures().at(5302), 1);
}

// Catches: a bar that overflows its width or divides by a zero total.
TEST(Progress, BarStaysWithinItsWidth) {
  EXPECT_EQ(RenderProgress(0, 4, 8), "[........] 0/4");
  EXPECT_EQ(RenderProgress(2, 4, 8), "[####....] 2/4");
  EXPECT_EQ(RenderProgress(9, 4, 8), "[########] 9/4");
  EXPECT_EQ(RenderProgress(0, 0, 4), "[####] 0/0");
}

// Catches: columns misaligned by a long cell, trailing blanks on lines.
TEST(TextTable, ColumnsAligned) {
  EXPECT_EQ(FormatTable({"A", "B", "C"}, {{"long", "x", "last"}, {"s", "yy", ""}}),
            "A     B   C\n"
            "long  x   last\n"
            "s     yy\n");
}

}  // namespace
