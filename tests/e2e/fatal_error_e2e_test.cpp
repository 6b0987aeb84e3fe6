// End-to-end tests of the fatal error box at start-up: programs whose layout cannot be read
// show the box with its caption and text, and end with exit code -1 after OK.
#include <gtest/gtest.h>

#include "tests/e2e/driver.h"

namespace {

struct Case {
  const wchar_t* program_variable;
  const wchar_t* text;
};

class FatalErrorTest : public ::testing::TestWithParam<Case> {};

HWND StaticTextOf(HWND box) {
  for (HWND h = GetWindow(box, GW_CHILD); h != nullptr; h = GetWindow(h, GW_HWNDNEXT)) {
    if (driver::ClassOf(h) == L"Static" && !driver::TextOf(h).empty()) return h;
  }
  return nullptr;
}

TEST_P(FatalErrorTest, BoxThenExitCodeMinusOne) {
  const std::wstring path = driver::ProgramPath(GetParam().program_variable);
  ASSERT_FALSE(path.empty()) << "program path not set";
  driver::Program program(path);
  ASSERT_TRUE(program.started());
  const HWND box = program.WaitForWindow(L"#32770");
  ASSERT_NE(box, nullptr) << "no message box";
  EXPECT_EQ(driver::TextOf(box), L"错误");
  const HWND text = StaticTextOf(box);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(driver::TextOf(text), GetParam().text);
  EXPECT_EQ(program.WaitForWindow(L"OrvaneWindow", 200), nullptr) << "no window is shown";
  // A single OK button.
  const HWND ok = GetDlgItem(box, IDOK);
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(GetDlgItem(box, IDCANCEL), nullptr);
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
  EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0xFFFFFFFFu));
}

INSTANTIATE_TEST_SUITE_P(
    Startup, FatalErrorTest,
    ::testing::Values(Case{L"VARNELT_BROKEN_TABLE_EXE", L"运行时出错!\r\n\r\n错误信息：载入窗口模板数据段出错!\r\n"},
                      Case{L"VARNELT_UNREADABLE_BLOCK_EXE", L"运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n"}));

}  // namespace
