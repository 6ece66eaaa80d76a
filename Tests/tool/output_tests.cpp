// What the tool writes: PNG files, file names, statistics, summaries and
// status lines, the interface's lines, progress bars, tables.
#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "frame_files.h"
#include "grab_report.h"
#include "interface_lines.h"
#include "live_status.h"
#include "png_writer.h"
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
  for (int32_t i = 0; i < width * height; ++i)
    image.owned.get()[i] = static_cast<uint8_t>(base + i);
  image.pixels = image.owned.get();
  return image;
}

// Catches: rows written with the wrong stride, a gray image stored as
// colour, red and blue planes swapped, or planes not interleaved per pixel;
// a failed write reported as success, planes of different sizes read past
// the smaller one, two planes written as if they were three, a partial file
// left behind when the final name cannot be taken.
TEST(PngWriter, ImagesRoundTripAndUnwritableOnesAreRefused) {
  ScratchDir dir;
  std::string error;
  const hostlayer::Images gray = {Plane(7, 3, 10)};
  const hostlayer::Images rgb = {Plane(5, 2, 0), Plane(5, 2, 100), Plane(5, 2, 200)};
  for (const hostlayer::Images& planes : {gray, rgb}) {
    ASSERT_TRUE(WritePng(dir.File("image.png"), planes, &error)) << error;
    const PngImage back = ReadPng(dir.File("image.png"));
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(back.width, static_cast<uint32_t>(planes[0].width));
    EXPECT_EQ(back.height, static_cast<uint32_t>(planes[0].height));
    EXPECT_EQ(back.format, planes.size() == 1 ? PNG_FORMAT_GRAY : PNG_FORMAT_RGB);
    ASSERT_EQ(back.pixels.size(), planes.size() * planes[0].width * planes[0].height);
    for (size_t i = 0; i < back.pixels.size(); ++i) {
      EXPECT_EQ(back.pixels[i], planes[i % planes.size()].pixels[i / planes.size()]) << i;
    }
  }
  fs::remove(dir.File("image.png"));
  fs::create_directory(dir.File("taken.png"));
  const std::pair<std::string, hostlayer::Images> refused[] = {
      {"no/such/dir/x.png", {Plane(2, 2, 0)}},
      {"a.png", {Plane(4, 4, 0), Plane(2, 2, 0), Plane(4, 4, 0)}},
      {"b.png", {Plane(2, 2, 0), Plane(2, 2, 0)}},
      {"c.png", {}},
      {"taken.png", {Plane(2, 2, 0)}},
  };
  for (const auto& [name, planes] : refused) {
    error.clear();
    EXPECT_FALSE(WritePng(dir.File(name), planes, &error)) << name;
    EXPECT_FALSE(error.empty()) << name;
  }
  EXPECT_NE(error.find("taken.png"), std::string::npos) << error;
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

// Catches: a device key with '/' or ".." writing outside the output
// directory, names that do not sort in frame order (one digit short when
// the last index just needs one more), and an output directory
// that exists as a file taken for a directory.
TEST(FrameFiles, NamesStayInsideTheDirectoryAndSort) {
  EXPECT_EQ(FramePath("out", "default", 3, 5), "out/default_0003.png");
  EXPECT_EQ(FramePath("out", "../../etc/x", 0, 1), "out/.._.._etc_x_0000.png");
  EXPECT_EQ(FramePath("out", "..", 0, 1), "out/camera.._0000.png");
  EXPECT_EQ(FramePath("out", "Cam One", 12345, 20000), "out/Cam_One_12345.png");
  EXPECT_EQ(FramePath("out", "k", 7, 20000), "out/k_00007.png");
  EXPECT_EQ(FramePath("out", "k", 7, 10001), "out/k_00007.png");
  ScratchDir dir;
  std::string error;
  EXPECT_TRUE(EnsureDirectory(dir.File("a/b"), &error)) << error;
  EXPECT_TRUE(fs::is_directory(dir.File("a/b")));
  std::ofstream(dir.File("file")) << "x";
  EXPECT_FALSE(EnsureDirectory(dir.File("file"), &error));
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
      {{}, 0, 0}, {{5}, 5, 5}, {{3, 1, 2}, 2, 3}, {{4, 1, 3, 2}, 2.5, 4}, {hundred, 50.5, 99},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(GrabStats::Median(c.samples), c.median) << c.samples.size();
    EXPECT_DOUBLE_EQ(GrabStats::Percentile(c.samples, 99), c.p99) << c.samples.size();
  }
}

struct SummaryCase {
  int64_t count;  // the plan's, 0 for none
  int frames;     // grabbed, each 2 MB in 10 ms
  int timeouts;   // failed grabs
  int save_failures;
  int interrupted_by;  // signal number or 0
  std::string text;
};

// Catches: rates and grab times printed for runs that cannot have them (no
// frame, one frame), a count shown for a run that had none, failures of
// different codes merged, failed grabs counted as frames, failed saves or
// an interruption missing from the summary.
TEST(GrabReport, SummarySaysWhatTheFiguresAllow) {
  const std::string timeout = " (" + hostlayer::Driver::ErrorText(5306) + ")";
  const std::vector<SummaryCase> cases = {
      {3, 0, 3, 0, 0,
       "grabbed 0 of 3 frames in 2.00 s; no frame: no rate or grab time; failures: 5306 x3" +
           timeout + "\n"},
      {1, 1, 0, 0, 0,
       "grabbed 1 of 1 frame (2.0 MB) in 2.00 s; one frame: no rate; grab time 10.00 ms; "
       "failures: none\n"},
      {0, 4, 1, 2, 2,
       "grabbed 4 frames (8.0 MB) in 2.00 s; 2.0 fps, 4.0 MB/s; grab time median 10.00 ms, "
       "p99 10.00 ms; failures: 5302 x1 (" +
           hostlayer::Driver::ErrorText(5302) + "), 5306 x1" + timeout +
           ", save failures: 2; interrupted by SIGINT\n"},
  };
  for (const auto& c : cases) {
    GrabPlan plan;
    plan.count = c.count;
    GrabOutcome outcome;
    outcome.seconds = 2;
    outcome.interrupted_by = c.interrupted_by;
    for (int i = 0; i < c.frames; ++i) outcome.stats.AddFrame(10, 2000000);
    for (int i = 0; i < c.timeouts; ++i) outcome.stats.AddFailure(5306);
    if (c.interrupted_by != 0) outcome.stats.AddFailure(5302);
    for (int i = 0; i < c.save_failures; ++i) outcome.stats.AddSaveFailure();
    EXPECT_EQ(SummaryText(plan, outcome), c.text);

    const nlohmann::json json = SummaryJson(plan, outcome);
    EXPECT_EQ(json["grabbed"], c.frames);
    EXPECT_EQ(json["fps"].is_null(), c.frames < 2) << json.dump();
    EXPECT_EQ(json["grab_ms"].is_null(), c.frames == 0) << json.dump();
    EXPECT_EQ(json["requested"].is_null(), c.count == 0) << json.dump();
    EXPECT_TRUE(json["duration"].is_null()) << json.dump();
    EXPECT_EQ(json["save_failures"], c.save_failures);
    EXPECT_EQ(json["interrupted"].is_null(), c.interrupted_by == 0) << json.dump();
  }
}

// Catches: rates shown before a second has passed, or taken over the whole
// run instead of the last second; a zero time dividing by zero; a progress
// bar that overflows its width or divides by a zero total; table columns
// misaligned by a long cell, trailing blanks on lines.
TEST(GrabReport, StatusLineProgressBarAndTable) {
  GrabStats stats;
  stats.AddFrame(1, 1000000);
  stats.AddFailure(5306);
  EXPECT_EQ(StatusLine(0.4, stats, std::nullopt), "[0 s] 1 frame, failures: 5306 x1");
  EXPECT_EQ(StatusLine(2.9, stats, RatesOver(3, 6000000, 1.5)),
            "[2 s] 1 frame, 2.0 fps, 4.0 MB/s, failures: 5306 x1");
  EXPECT_EQ(RatesOver(5, 5, 0).fps, 0);
  EXPECT_EQ(RenderProgress(0, 4, 8), "[........] 0/4");
  EXPECT_EQ(RenderProgress(9, 4, 8), "[########] 9/4");
  EXPECT_EQ(RenderProgress(0, 0, 4), "[####] 0/0");
  EXPECT_EQ(FormatTable({"A", "B", "C"}, {{"long", "x", "last"}, {"s", "yy", ""}}),
            "A     B   C\n"
            "long  x   last\n"
            "s     yy\n");
}

struct LinesCase {
  std::vector<std::string> chunks;
  std::vector<std::string> lines;  // Take of every chunk, then Finish
};

// Catches: the interface's "\r\n" endings or doubled blanks kept, a line
// split across two reads shown as two, empty lines shown, a line without
// its newline lost at the end or at a sync mark, an endless line held
// whole in memory.
TEST(InterfaceOutput, LinesTrimmedAndJoinedAcrossReads) {
  const std::string endless(InterfaceLines::kMaxLine + 5, 'x');
  const std::vector<LinesCase> cases = {
      {{"getFrame fail\r\n"}, {"getFrame fail"}},
      {{"StartGrabbing  fail.\n", "\r\n", "  \n"}, {"StartGrabbing  fail."}},
      {{"stop grab", "bing fail.\r", "\n"}, {"stop grabbing fail."}},
      {{"partial", std::string(1, '\0'), "next\n"}, {"partial", "next"}},
      {{"FGOpen: fail to load dll!"}, {"FGOpen: fail to load dll!"}},
      {{endless}, {std::string(InterfaceLines::kMaxLine, 'x'), "xxxxx"}},
  };
  for (const auto& c : cases) {
    InterfaceLines splitter;
    std::vector<std::string> lines;
    for (const auto& chunk : c.chunks) {
      for (auto& line : splitter.Take(chunk)) lines.push_back(line);
    }
    for (auto& line : splitter.Finish()) lines.push_back(line);
    EXPECT_EQ(lines, c.lines) << testing::PrintToString(c.chunks);
  }
}

}  // namespace
