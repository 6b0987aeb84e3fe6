// End-to-end tests of the main window: started from another folder, found and checked
// from outside (class, title, place, styles, every control), driven with real key presses.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/e2e/driver.h"

namespace {

using driver::Program;

constexpr DWORD kVisible = WS_VISIBLE;

struct ExpectedControl {
  const wchar_t* what;
  const wchar_t* class_name;
  int id;
  int parent_id;  // 0: the main window
  RECT rect;      // in the parent's client area
  DWORD style;
  const wchar_t* text;  // nullptr: not checked
};

// Creation order; ids 100, 110, ...
const ExpectedControl kControls[] = {
    {L"frame panel", L"VarneltPicBox", 100, 0, {0, 0, 159, 246}, 0x44000000 | kVisible, nullptr},
    {L"photo slot", L"VarneltPicBox", 110, 100, {9, 10, 150, 236}, 0x44000000 | kVisible, nullptr},
    {L"badge", L"VarneltPicBox", 120, 110, {43, 6, 55, 18}, 0x44000000 | kVisible, nullptr},
    {L"Load button", L"Button", 130, 0, {169, 164, 265, 188}, 0x44012F00 | kVisible, L"上传图片"},
    {L"open dialog", L"Static", 140, 0, {202, 216, 228, 242}, 0x44000000, nullptr},
    {L"save dialog", L"Static", 150, 0, {165, 216, 191, 242}, 0x44000000, nullptr},
    {L"Save button", L"Button", 160, 0, {288, 164, 384, 188}, 0x44012F00 | kVisible, L"保存图片"},
    {L"credit line", L"VarneltLabel", 170, 0, {248, 200, 312, 216}, 0x44000000 | kVisible, nullptr},
    {L"contact line", L"VarneltLabel", 180, 0, {240, 224, 320, 240}, 0x44000000 | kVisible, nullptr},
    {L"help box", L"Button", 190, 0, {168, 3, 384, 152}, 0x44000107 | kVisible, L"使用帮助"},
    {L"usage text", L"VarneltLabel", 200, 190, {5, 21, 208, 141}, 0x44000000 | kVisible, nullptr},
};

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    start_folder_ = temp;
    const ULONGLONG start = GetTickCount64();
    program_ = std::make_unique<Program>(driver::ProgramPath(), start_folder_);
    ASSERT_TRUE(program_->started()) << "cannot start the program";
    window_ = program_->WaitForWindow(L"OrvaneWindow");
    ASSERT_NE(window_, nullptr) << "no main window";
    startup_ms_ = GetTickCount64() - start;
    driver::Settle(500);
  }

  HWND Control(int id) const {
    for (const auto& c : kControls) {
      if (c.id == id) {
        const HWND parent = c.parent_id == 0 ? window_ : Control(c.parent_id);
        return GetDlgItem(parent, id);
      }
    }
    return nullptr;
  }

  std::wstring start_folder_;
  ULONGLONG startup_ms_ = 0;
  std::unique_ptr<Program> program_;
  HWND window_ = nullptr;
};

TEST_F(MainWindowTest, ClassTitlePlaceAndStyle) {
  std::printf("start-up to a visible main window: %llu ms\n", static_cast<unsigned long long>(startup_ms_));
  EXPECT_EQ(driver::TextOf(window_), L"Varnelt");
  RECT outer{};
  GetWindowRect(window_, &outer);
  EXPECT_EQ(outer.right - outer.left, 396);
  EXPECT_EQ(outer.bottom - outer.top, 271);
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 396) / 2);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - 271) / 2);
  // The system gives every top-level window WS_CLIPSIBLINGS besides what it was made with.
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(window_, GWL_STYLE)) & ~static_cast<DWORD>(WS_CLIPSIBLINGS),
            0x02C80000u | kVisible);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(window_, GWL_EXSTYLE)) & ~static_cast<DWORD>(WS_EX_WINDOWEDGE), 0u);
  EXPECT_EQ(GetWindow(window_, GW_OWNER), nullptr);
}

TEST_F(MainWindowTest, StartsInTheExecutablesFolder) {
  const std::wstring exe = driver::ProgramPath();
  std::wstring folder = exe.substr(0, exe.rfind(L'\\'));
  std::wstring current = program_->CurrentDirectory();
  if (!current.empty() && current.back() == L'\\') current.pop_back();
  EXPECT_EQ(_wcsicmp(current.c_str(), folder.c_str()), 0) << "current folder " << current.c_str();
  EXPECT_NE(_wcsicmp(current.c_str(), start_folder_.c_str()), 0);
}

TEST_F(MainWindowTest, EveryControlAsLaidOut) {
  for (const auto& c : kControls) {
    SCOPED_TRACE(testing::Message() << "control " << c.id);
    const HWND h = Control(c.id);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(driver::ClassOf(h), c.class_name);
    EXPECT_EQ(GetDlgCtrlID(h), c.id);
    const RECT r = driver::RectInParent(h);
    EXPECT_EQ(r.left, c.rect.left);
    EXPECT_EQ(r.top, c.rect.top);
    EXPECT_EQ(r.right, c.rect.right);
    EXPECT_EQ(r.bottom, c.rect.bottom);
    EXPECT_EQ(GetParent(h), c.parent_id == 0 ? window_ : Control(c.parent_id));
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(h, GWL_STYLE)), c.style);
    EXPECT_EQ(IsWindowVisible(h) != FALSE, (c.style & kVisible) != 0);
    if (c.text != nullptr) {
      EXPECT_EQ(driver::TextOf(h), c.text);
    }
  }
}

TEST_F(MainWindowTest, LastCreatedSiblingOnTop) {
  // Children of the window, top first: the reverse of creation order.
  std::vector<int> ids;
  for (HWND h : driver::ChildrenTopFirst(window_)) ids.push_back(GetDlgCtrlID(h));
  EXPECT_EQ(ids, (std::vector<int>{190, 180, 170, 160, 150, 140, 130, 100}));
  std::vector<int> in_help_box;
  for (HWND h : driver::ChildrenTopFirst(Control(190))) in_help_box.push_back(GetDlgCtrlID(h));
  EXPECT_EQ(in_help_box, (std::vector<int>{200}));
  ASSERT_EQ(driver::ChildrenTopFirst(Control(100)).size(), 1u);
  EXPECT_EQ(GetDlgCtrlID(driver::ChildrenTopFirst(Control(100)).front()), 110);
  ASSERT_EQ(driver::ChildrenTopFirst(Control(110)).size(), 1u);
  EXPECT_EQ(GetDlgCtrlID(driver::ChildrenTopFirst(Control(110)).front()), 120);
}

TEST_F(MainWindowTest, FocusStartsOnLoadAndTabAlternates) {
  EXPECT_EQ(driver::FocusOf(window_), Control(130));
  driver::PressKey(VK_TAB);
  EXPECT_EQ(driver::FocusOf(window_), Control(160));
  driver::PressKey(VK_TAB);
  EXPECT_EQ(driver::FocusOf(window_), Control(130));
  driver::PressKey(VK_TAB, {VK_SHIFT});
  EXPECT_EQ(driver::FocusOf(window_), Control(160));
  driver::PressKey(VK_TAB, {VK_SHIFT});
  EXPECT_EQ(driver::FocusOf(window_), Control(130));
  // Ctrl+Tab is no combination of the window's.
  driver::PressKey(VK_TAB, {VK_CONTROL});
  EXPECT_EQ(driver::FocusOf(window_), Control(130));
}

TEST_F(MainWindowTest, EnterDoesNotClickTheButtonSpaceDoes) {
  const HWND load = Control(130);
  driver::PressKey(VK_RETURN);
  EXPECT_FALSE(driver::Shows(*program_, L"#32770", 1000)) << "Enter clicked the Load button";
  driver::KeyDown(VK_SPACE);
  driver::Settle();
  EXPECT_NE(SendMessageW(load, BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
  driver::KeyUp(VK_SPACE);
  // The click runs the Load action, which opens the system's open dialog.
  const HWND dialog = driver::WaitForFileDialog(*program_);
  ASSERT_NE(dialog, nullptr) << "Space did not click the Load button";
  driver::CancelDialog(dialog);
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_EQ(driver::FocusOf(window_), load) << "the focus is given back after the dialog";
}

TEST_F(MainWindowTest, FocusComesBackAfterDeactivation) {
  driver::PressKey(VK_TAB);
  ASSERT_EQ(driver::FocusOf(window_), Control(160));
  // Another program's window takes the foreground, then ours is activated again.
  HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(other, nullptr);
  SetForegroundWindow(other);
  driver::Settle();
  EXPECT_NE(GetForegroundWindow(), window_);
  SetForegroundWindow(window_);
  driver::Settle();
  EXPECT_EQ(driver::FocusOf(window_), Control(160));
  DestroyWindow(other);
}

TEST_F(MainWindowTest, ShiftEscDoesNothingEscCloses) {
  driver::PressKey(VK_ESCAPE, {VK_SHIFT});
  EXPECT_FALSE(program_->WaitForExit(500).has_value());
  EXPECT_TRUE(IsWindow(window_));
  driver::PressKey(VK_ESCAPE);
  EXPECT_EQ(program_->WaitForExit(), std::optional<DWORD>(0));
}

TEST_F(MainWindowTest, AltF4Closes) {
  driver::PressKey(VK_F4, {VK_MENU});
  EXPECT_EQ(program_->WaitForExit(), std::optional<DWORD>(0));
}

TEST_F(MainWindowTest, SystemMenuCloseCloses) {
  // What the caption's close button and the system menu's Close item send.
  PostMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(program_->WaitForExit(), std::optional<DWORD>(0));
}

TEST_F(MainWindowTest, EndSessionQueryIsNotRefused) {
  EXPECT_NE(SendMessageW(window_, WM_QUERYENDSESSION, 0, 0), 0);
}

}  // namespace
