// Stress through the Load and Save buttons: many loads alternating an animated and a still
// GIF, with saves in between. The program must never hang, and its threads, kernel handles
// and GDI objects must come back to where they were.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/e2e/driver.h"

namespace {

using driver::Program;

constexpr int kLoadButton = 130;
constexpr int kSaveButton = 160;
constexpr int kLoads = 200;
constexpr int kLoadsPerSave = 5;

std::string Describe(const driver::ResourceCounts& c) {
  return std::to_string(c.threads) + " threads, " + std::to_string(c.handles) + " handles, " +
         std::to_string(c.registry_keys) + " registry keys, " + std::to_string(c.gdi_objects) + " GDI objects";
}

class StressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fixtures_ = driver::ProgramPath(L"VARNELT_E2E_FIXTURES");
    work_ = driver::ProgramPath(L"VARNELT_E2E_WORK");
    if (fixtures_.empty() || work_.empty()) GTEST_SKIP() << "VARNELT_E2E_FIXTURES or VARNELT_E2E_WORK is not set";
    fixtures_ += L"\\";
    if (work_.back() != L'\\') work_ += L'\\';
    program_ = std::make_unique<Program>(driver::ProgramPath());
    ASSERT_TRUE(program_->started());
    window_ = program_->WaitForWindow(L"OrvaneWindow");
    ASSERT_NE(window_, nullptr);
  }

  // One round through a file dialog; false when the dialog does not come, does not take
  // the path, or the program does not answer after it.
  bool Through(int button, const std::wstring& path) {
    PostMessageW(GetDlgItem(window_, button), BM_CLICK, 0, 0);
    const HWND dialog = driver::WaitForFileDialog(*program_);
    return dialog != nullptr && driver::ChooseFile(dialog, path, 8000, 0);
  }

  // The counts once the worker of a stopped animation has gone.
  driver::ResourceCounts SettledCounts(const driver::ResourceCounts& expected) {
    driver::ResourceCounts now = driver::CountsOf(*program_);
    for (int i = 0; i < 40 && (now.threads != expected.threads || now.handles != expected.handles); ++i) {
      driver::Settle(50);
      now = driver::CountsOf(*program_);
    }
    return now;
  }

  std::wstring fixtures_, work_;
  std::unique_ptr<Program> program_;
  HWND window_ = nullptr;
};

TEST_F(StressTest, AlternatingAnimatedAndStillGifsWithSavesLeakNothing) {
  const std::wstring animated = fixtures_ + L"anim.gif", still = fixtures_ + L"still.gif";
  const std::wstring target = work_ + L"stress.bmp";
  // The system's dialogs keep caches and threads of their own after their first uses
  // (in a new prefix, some GDI objects only after a few rounds): take the baseline after
  // a warm-up of the same pattern.
  for (int load = 0; load < kLoadsPerSave * 2; ++load) {
    ASSERT_TRUE(Through(kLoadButton, load % 2 == 0 ? animated : still)) << "warm-up load " << load;
    if (load % kLoadsPerSave == kLoadsPerSave - 1) {
      DeleteFileW(target.c_str());
      ASSERT_TRUE(Through(kSaveButton, target)) << "warm-up save after load " << load;
    }
  }
  ASSERT_TRUE(Through(kLoadButton, still));
  driver::Settle(300);
  const driver::ResourceCounts start = driver::CountsOf(*program_);
  ASSERT_GT(start.threads, 0);
  ASSERT_GT(start.handles, 0);
  ASSERT_GE(start.registry_keys, 0);
  ASSERT_GT(start.gdi_objects, 0);

  const ULONGLONG began = GetTickCount64();
  int saves = 0;
  for (int load = 0; load < kLoads; ++load) {
    const bool playing = load % 2 == 0;
    ASSERT_TRUE(Through(kLoadButton, playing ? animated : still)) << "load " << load << " hung or failed";
    if (load % kLoadsPerSave == kLoadsPerSave - 1) {
      DeleteFileW(target.c_str());
      ASSERT_TRUE(Through(kSaveButton, target)) << "save after load " << load << " hung or failed";
      ASSERT_EQ(driver::ReadFileBytes(target).size(), 118134u) << "save after load " << load;
      ++saves;
    }
  }
  const ULONGLONG took = GetTickCount64() - began;
  std::printf("%d loads and %d saves in %llu ms (%llu ms a round)\n", kLoads, saves,
              static_cast<unsigned long long>(took), static_cast<unsigned long long>(took / static_cast<ULONGLONG>(kLoads + saves)));

  // The last load was the still GIF: no worker is left.
  const driver::ResourceCounts end = SettledCounts(start);
  std::printf("start: %s\nend:   %s\n", Describe(start).c_str(), Describe(end).c_str());
  EXPECT_EQ(end.threads, start.threads);
  EXPECT_EQ(end.handles, start.handles);
  EXPECT_EQ(end.gdi_objects, start.gdi_objects);
  // The program opens no registry key. Wine's file dialog leaves its recent-folder key
  // open after each confirmed round; that is all the growth there may be.
  EXPECT_LE(end.registry_keys - start.registry_keys, kLoads + saves);
}

}  // namespace
