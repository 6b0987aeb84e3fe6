// End-to-end tests of animated GIFs loaded through the Load button: the frames play in
// order without end under the badge, Save copies a frame with the badge, a one-image GIF
// runs no worker, new bytes or closing the window stop the worker.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/e2e/driver.h"

namespace {

using driver::Program;

constexpr int kLoadButton = 130;
constexpr int kSaveButton = 160;

int ThreadsOf(const Program& program) { return driver::CountsOf(program).threads; }

// The colour names of the frames: 0 red, 1 green, 2 blue, -1 anything else.
int FrameOf(std::uint32_t c) {
  switch (c) {
    case 0xFF0000: return 0;
    case 0x00FF00: return 1;
    case 0x0000FF: return 2;
    default: return -1;
  }
}

bool IsWhitish(std::uint32_t c) { return (c >> 16 & 0xFF) > 220 && (c >> 8 & 0xFF) > 220 && (c & 0xFF) > 220; }

class AnimationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fixtures_ = driver::ProgramPath(L"VARNELT_E2E_FIXTURES");
    if (fixtures_.empty()) GTEST_SKIP() << "VARNELT_E2E_FIXTURES is not set";
    fixtures_ += L"\\";
    work_ = driver::ProgramPath(L"VARNELT_E2E_WORK");
    if (!work_.empty() && work_.back() != L'\\') work_ += L'\\';
    program_ = std::make_unique<Program>(driver::ProgramPath());
    ASSERT_TRUE(program_->started());
    window_ = program_->WaitForWindow(L"OrvaneWindow");
    ASSERT_NE(window_, nullptr);
    driver::Settle(500);
  }

  HWND Click(int button) {
    PostMessageW(GetDlgItem(window_, button), BM_CLICK, 0, 0);
    return driver::WaitForFileDialog(*program_);
  }

  void Load(const std::wstring& path) {
    HWND dialog = Click(kLoadButton);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(driver::ChooseFile(dialog, path));
  }

  std::wstring fixtures_, work_;
  std::unique_ptr<Program> program_;
  HWND window_ = nullptr;
};

TEST_F(AnimationTest, PlaysInOrderWithoutEndUnderTheBadge) {
  Load(fixtures_ + L"anim.gif");
  // Sample the slot's centre and the badge's white inside for 2.4 s: four rounds of the
  // three 200 ms frames, more than the two the file asks for.
  std::vector<int> frames;
  int badge_missing = 0;
  const ULONGLONG until = GetTickCount64() + 2400;
  while (GetTickCount64() < until) {
    const driver::Pixels shown = driver::CaptureClient(window_);
    const int frame = FrameOf(shown.at(9 + 70, 10 + 150));
    if (frame >= 0 && (frames.empty() || frames.back() != frame)) frames.push_back(frame);
    badge_missing += !IsWhitish(shown.at(53, 17));
    Sleep(40);
  }
  ASSERT_GE(frames.size(), 9u) << "fewer frame changes than three rounds";
  for (std::size_t i = 1; i < frames.size(); ++i) {
    EXPECT_EQ(frames[i], (frames[i - 1] + 1) % 3) << "frame " << i << " out of order";
  }
  EXPECT_EQ(badge_missing, 0) << "the badge was covered by the animation";
}

TEST_F(AnimationTest, SaveDuringPlaybackHoldsAFrameAndTheBadge) {
  Load(fixtures_ + L"anim.gif");
  driver::Settle(500);
  const std::wstring target = work_ + L"saved-playing.bmp";
  DeleteFileW(target.c_str());
  HWND dialog = Click(kSaveButton);
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(driver::ChooseFile(dialog, target));
  const auto file = driver::ReadFileBytes(target);
  ASSERT_EQ(file.size(), 118134u);
  auto pixel = [&](int x, int y) {
    const std::size_t at = 54 + static_cast<std::size_t>(245 - y) * 480 + static_cast<std::size_t>(x) * 3;
    return static_cast<std::uint32_t>(file[at + 2]) << 16 | static_cast<std::uint32_t>(file[at + 1]) << 8 | file[at];
  };
  EXPECT_GE(FrameOf(pixel(9 + 70, 10 + 150)), 0) << "the slot holds none of the frames";
  EXPECT_TRUE(IsWhitish(pixel(53, 17))) << "the badge is missing";
}

TEST_F(AnimationTest, WorkerOnlyWhileAnAnimationPlays) {
  // The system's dialogs may leave threads of their own: count after the first one.
  Load(fixtures_ + L"single.gif");
  driver::Settle(500);
  const int baseline = ThreadsOf(*program_);
  Load(fixtures_ + L"single.gif");
  driver::Settle(500);
  EXPECT_EQ(ThreadsOf(*program_), baseline) << "a one-image GIF started a worker";
  Load(fixtures_ + L"anim.gif");
  driver::Settle(500);
  EXPECT_EQ(ThreadsOf(*program_), baseline + 1);
  Load(fixtures_ + L"bmp24.bmp");
  driver::Settle(500);
  EXPECT_EQ(ThreadsOf(*program_), baseline) << "the worker outlived the animation";
}

TEST_F(AnimationTest, ClosingWhilePlayingEndsTheProcess) {
  Load(fixtures_ + L"anim.gif");
  driver::Settle(500);
  const ULONGLONG start = GetTickCount64();
  PostMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(program_->WaitForExit(1000), std::optional<DWORD>(0));
  std::printf("closed while playing in %llu ms\n", static_cast<unsigned long long>(GetTickCount64() - start));
}

}  // namespace
