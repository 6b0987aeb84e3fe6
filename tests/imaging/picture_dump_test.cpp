// Tests the picture-dump tool's interface: the line it prints, the PPM it writes and its
// exit status, as other tools and tests rely on them.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "picture_fixtures.h"

namespace varnelt {
namespace {

struct DumpResult {
  int status = -1;
  std::string out;
  std::string err;
};

DumpResult RunDump(const std::string& input, const std::string& output) {
  const std::string err_path = output + ".stderr";
  const std::string command =
      std::string("'") + VARNELT_PICTURE_DUMP + "' '" + input + "' '" + output + "' 2>'" + err_path + "'";
  DumpResult run;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) run.out += buffer;
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  const auto err = testing::ReadFileBytes(err_path);
  if (err) run.err.assign(err->begin(), err->end());
  std::filesystem::remove(err_path);
  return run;
}

class PictureDump : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("picture-dump-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Out() const { return (dir_ / "out.ppm").string(); }
  std::filesystem::path dir_;
};

TEST_F(PictureDump, PrintsKindAndSizeAndWritesTheReferencePixels) {
  if (!testing::FixturesConfigured()) GTEST_SKIP() << "VARNELT_FIXTURES is not set";
  struct Case {
    const char* name;
    const char* line;
  };
  for (const Case& c : {Case{"jpeg_baseline.jpg", "kind=1 width=227 height=149\n"},
                        Case{"bmp24_w3_topdown.bmp", "kind=2 width=3 height=5\n"},
                        Case{"pcx8_netpbm.pcx", "kind=6 width=159 height=5\n"},
                        Case{"pcx24_netpbm.pcx", "kind=6 width=159 height=5\n"},
                        Case{"pcx1_w159.pcx", "kind=7 width=159 height=5\n"}}) {
    const DumpResult run = RunDump(testing::FixturePath(c.name), Out());
    EXPECT_EQ(run.status, 0) << c.name << ": " << run.err;
    EXPECT_EQ(run.out, c.line) << c.name;
    const auto written = testing::ReadFileBytes(Out());
    const auto reference = testing::ReadFileBytes(testing::FixturePath(std::string(c.name) + ".ref.ppm"));
    ASSERT_TRUE(written && reference) << c.name;
    EXPECT_TRUE(*written == *reference) << c.name << ": PPM differs from the reference decode";
    std::filesystem::remove(Out());
  }
}

TEST_F(PictureDump, IconsPrintTheChosenEntryAndWriteNoPixels) {
  if (!testing::FixturesConfigured()) GTEST_SKIP() << "VARNELT_FIXTURES is not set";
  const DumpResult icon = RunDump(testing::FixturePath("icon_png.ico"), Out());
  EXPECT_EQ(icon.status, 0);
  EXPECT_EQ(icon.out, "kind=3 width=256 height=256 entry=1\n");
  EXPECT_FALSE(std::filesystem::exists(Out()));
  const DumpResult cursor = RunDump(testing::FixturePath("cursor_three.cur"), Out());
  EXPECT_EQ(cursor.out, "kind=4 width=48 height=48 entry=2\n");
}

TEST_F(PictureDump, GifStillIsTheImageOnItsScreenWithThePaletteApplied) {
  // Screen 3x2, one 2x1 image (indexes 1, 0) at the top left: the rest of the screen is black.
  const testing::Bytes gif = {'G', 'I', 'F', '8', '7', 'a', 3, 0, 2, 0, 0x80, 0, 0, 10, 20, 30, 200, 150, 100,
                              0x2C, 0, 0, 0, 0, 2, 0, 1, 0, 0, 2, 2, 0x0C, 0x0A, 0, 0x3B};
  const std::string input = (dir_ / "in.gif").string();
  FILE* f = std::fopen(input.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(gif.data(), 1, gif.size(), f);
  std::fclose(f);
  const DumpResult run = RunDump(input, Out());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "kind=5 width=3 height=2\n");
  const auto written = testing::ReadFileBytes(Out());
  ASSERT_TRUE(written);
  const auto ppm = testing::ParsePpm(*written);
  ASSERT_TRUE(ppm);
  const testing::Bytes expected = {200, 150, 100, 10, 20, 30, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(ppm->pixels, expected);
}

TEST_F(PictureDump, NoPictureIsOneLineOnStderrAndExitStatusOne) {
  const std::string input = (dir_ / "notes.txt").string();
  FILE* f = std::fopen(input.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("not a picture at all\n", f);
  std::fclose(f);
  for (const std::string& path : {input, (dir_ / "missing.bmp").string()}) {
    const DumpResult run = RunDump(path, Out());
    EXPECT_EQ(run.status, 1) << path;
    EXPECT_EQ(run.out, "") << path;
    ASSERT_FALSE(run.err.empty()) << path;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << path << ": " << run.err;
    EXPECT_FALSE(std::filesystem::exists(Out()));
  }
}

}  // namespace
}  // namespace varnelt
