// End-to-end tests of Load and Save through the system's file dialogs: what the saved BMP
// holds after each kind of picture, non-pictures, cancelling, the remembered name,
// overwriting, and files that cannot be read or replaced.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/e2e/driver.h"
#include "tests/win/win_test_support.h"

namespace {

using driver::Program;
using Bytes = std::vector<std::uint8_t>;

constexpr int kLoadButton = 130;
constexpr int kSaveButton = 160;

std::wstring Folder(const wchar_t* variable) {
  std::wstring folder = driver::ProgramPath(variable);
  if (folder.empty()) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    folder = temp;
  }
  if (folder.back() != L'\\') folder += L'\\';
  return folder;
}

std::uint32_t Pattern(int x, int y) {
  return static_cast<std::uint32_t>((x * 7) % 256) << 16 | static_cast<std::uint32_t>((y * 3) % 250) << 8 | 0x40;
}

// Pixel (x, y) from the top of a saved 159x246 frame, 0x00RRGGBB.
std::uint32_t FramePixel(const Bytes& file, int x, int y) {
  const std::size_t at = 54 + static_cast<std::size_t>(245 - y) * 480 + static_cast<std::size_t>(x) * 3;
  return static_cast<std::uint32_t>(file[at + 2]) << 16 | static_cast<std::uint32_t>(file[at + 1]) << 8 | file[at];
}

bool UnderBadge(int sx, int sy) { return sx >= 43 && sx < 55 && sy >= 6 && sy < 18; }

bool IsBlackish(std::uint32_t c) { return (c >> 16 & 0xFF) < 40 && (c >> 8 & 0xFF) < 40 && (c & 0xFF) < 40; }
bool IsReddish(std::uint32_t c) { return (c >> 16 & 0xFF) > 200 && (c >> 8 & 0xFF) < 60 && (c & 0xFF) < 60; }

// Reads a binary PPM into 0x00RRGGBB pixels.
std::vector<std::uint32_t> ReadPpm(const std::wstring& path, int* width, int* height) {
  const Bytes d = driver::ReadFileBytes(path);
  std::vector<std::uint32_t> pixels;
  int fields[3] = {};
  std::size_t at = 2;
  for (int& f : fields) {
    while (at < d.size() && std::isspace(d[at])) ++at;
    while (at < d.size() && std::isdigit(d[at])) f = f * 10 + (d[at++] - '0');
  }
  ++at;
  *width = fields[0];
  *height = fields[1];
  for (std::size_t i = at; i + 2 < d.size() + 0 && pixels.size() < static_cast<std::size_t>(fields[0] * fields[1]); i += 3) {
    pixels.push_back(static_cast<std::uint32_t>(d[i]) << 16 | static_cast<std::uint32_t>(d[i + 1]) << 8 | d[i + 2]);
  }
  return pixels;
}

// Whether a file dialog opened on the given file: its full path or, in its folder, its name.
bool OpensOn(HWND dialog, const std::wstring& path, const std::wstring& name) {
  const std::wstring shown = driver::TextOf(driver::FileNameBox(dialog));
  return shown == path || shown == name;
}

class LoadSaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    work_ = Folder(L"VARNELT_E2E_WORK");
    program_ = std::make_unique<Program>(driver::ProgramPath());
    ASSERT_TRUE(program_->started());
    window_ = program_->WaitForWindow(L"OrvaneWindow");
    ASSERT_NE(window_, nullptr);
    driver::Settle(500);
  }

  std::wstring Path(const std::wstring& name) const { return work_ + name; }

  HWND Click(int button_id) {
    PostMessageW(GetDlgItem(window_, button_id), BM_CLICK, 0, 0);
    return driver::WaitForFileDialog(*program_);
  }

  void Load(const std::wstring& path) {
    HWND dialog = Click(kLoadButton);
    ASSERT_NE(dialog, nullptr) << "no open dialog";
    ASSERT_TRUE(driver::ChooseFile(dialog, path)) << "the open dialog stayed open";
    driver::Settle(300);
  }

  // Saves through the dialog and reads the file back.
  Bytes Save(const std::wstring& name) {
    const std::wstring path = Path(name);
    DeleteFileW(path.c_str());
    HWND dialog = Click(kSaveButton);
    EXPECT_NE(dialog, nullptr) << "no save dialog";
    if (dialog == nullptr) return {};
    EXPECT_TRUE(driver::ChooseFile(dialog, path)) << "the save dialog stayed open";
    driver::Settle(300);
    return driver::ReadFileBytes(path);
  }

  std::wstring work_;
  std::unique_ptr<Program> program_;
  HWND window_ = nullptr;
};

TEST_F(LoadSaveTest, PictureOfTheSlotsSizeIsSavedExactlyInTheFrame) {
  const std::wstring source = Path(L"slot-sized.bmp");
  ASSERT_TRUE(driver::WriteFileBytes(source, varnelt::test::MakeBmp24(141, 226, Pattern)));
  Load(source);
  const Bytes file = Save(L"saved-exact.bmp");
  ASSERT_EQ(file.size(), 118134u);
  const std::uint8_t header[54] = {
      0x42, 0x4D, 0x76, 0xCD, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x36, 0x00, 0x00, 0x00, 0x28, 0x00, 0x00, 0x00,
      0x9F, 0x00, 0x00, 0x00, 0xF6, 0x00, 0x00, 0x00, 0x01, 0x00, 0x18, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0xCD,
      0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
  EXPECT_EQ(std::memcmp(file.data(), header, 54), 0);
  int wrong_border = 0, wrong_slot = 0;
  for (int y = 0; y < 246; ++y) {
    for (int x = 0; x < 159; ++x) {
      const bool border = x < 9 || x >= 150 || y < 10 || y >= 236;
      if (border) {
        wrong_border += !IsBlackish(FramePixel(file, x, y));
      } else if (!UnderBadge(x - 9, y - 10)) {
        wrong_slot += FramePixel(file, x, y) != Pattern(x - 9, y - 10);
      }
    }
  }
  EXPECT_EQ(wrong_border, 0);
  EXPECT_EQ(wrong_slot, 0);
  // The badge's red frame at (52, 16) of the frame panel.
  for (int i = 0; i < 12; ++i) {
    EXPECT_TRUE(IsReddish(FramePixel(file, 52 + i, 16))) << i;
    EXPECT_TRUE(IsReddish(FramePixel(file, 52, 16 + i))) << i;
    EXPECT_TRUE(IsReddish(FramePixel(file, 63, 16 + i))) << i;
  }
}

TEST_F(LoadSaveTest, LargerPictureIsHalvedSmallerStretched) {
  const std::wstring large = Path(L"double.bmp");
  ASSERT_TRUE(driver::WriteFileBytes(large, varnelt::test::MakeBmp24(282, 452, [](int x, int y) { return Pattern(x / 2, y / 2); })));
  Load(large);
  Bytes file = Save(L"saved-halved.bmp");
  ASSERT_EQ(file.size(), 118134u);
  int wrong = 0;
  for (int sy = 0; sy < 226; ++sy)
    for (int sx = 0; sx < 141; ++sx)
      if (!UnderBadge(sx, sy)) wrong += FramePixel(file, 9 + sx, 10 + sy) != Pattern(sx, sy);
  EXPECT_EQ(wrong, 0);

  // 100x100, left half red, right half blue: stretched to the whole slot.
  const std::wstring small = Path(L"small.bmp");
  ASSERT_TRUE(driver::WriteFileBytes(small, varnelt::test::MakeBmp24(100, 100, [](int x, int) { return x < 50 ? 0xFF0000u : 0x0000FFu; })));
  Load(small);
  file = Save(L"saved-stretched.bmp");
  ASSERT_EQ(file.size(), 118134u);
  EXPECT_EQ(FramePixel(file, 9 + 5, 10 + 200), 0xFF0000u);
  EXPECT_EQ(FramePixel(file, 9 + 60, 10 + 200), 0xFF0000u);   // 60 of 141 is still the left half
  EXPECT_EQ(FramePixel(file, 9 + 80, 10 + 200), 0x0000FFu);
  EXPECT_EQ(FramePixel(file, 9 + 140, 10 + 225), 0x0000FFu);
  int white = 0;
  for (int sy = 0; sy < 226; ++sy)
    for (int sx = 0; sx < 141; ++sx) white += !UnderBadge(sx, sy) && FramePixel(file, 9 + sx, 10 + sy) == 0xFFFFFFu;
  EXPECT_EQ(white, 0) << "the stretched picture leaves part of the slot white";
}

// Every kind of picture through the Load button: the saved slot shows what an
// independent decoder makes of the file.
TEST_F(LoadSaveTest, EveryKindOfPicture) {
  const std::wstring fixtures = driver::ProgramPath(L"VARNELT_E2E_FIXTURES");
  if (fixtures.empty()) GTEST_SKIP() << "VARNELT_E2E_FIXTURES is not set";
  const wchar_t* names[] = {L"baseline.jpg", L"progressive.jpg", L"bmp1.bmp", L"bmp4.bmp", L"bmp8.bmp",
                            L"bmp24.bmp",    L"bmp32.bmp",       L"icon.ico", L"cursor.cur", L"still.gif",
                            L"pcx8.pcx",     L"pcx1.pcx"};
  for (const wchar_t* name : names) {
    SCOPED_TRACE(testing::Message() << "fixture " << std::string(name, name + wcslen(name)));
    const std::wstring source = fixtures + L"\\" + name;
    int w = 0, h = 0;
    const std::vector<std::uint32_t> expected = ReadPpm(source + L".ref.ppm", &w, &h);
    ASSERT_EQ(w, 141);
    ASSERT_EQ(h, 226);
    ASSERT_EQ(expected.size(), 141u * 226u);
    Load(source);
    const Bytes file = Save(L"saved-kind.bmp");
    ASSERT_EQ(file.size(), 118134u);
    int wrong = 0;
    for (int sy = 0; sy < 226; ++sy)
      for (int sx = 0; sx < 141; ++sx)
        if (!UnderBadge(sx, sy)) wrong += FramePixel(file, 9 + sx, 10 + sy) != expected[static_cast<std::size_t>(sy * 141 + sx)];
    EXPECT_EQ(wrong, 0);
  }
}

TEST_F(LoadSaveTest, NonPicturesLeaveTheSlotWhiteUnderTheBadge) {
  const std::wstring picture = Path(L"before.bmp");
  ASSERT_TRUE(driver::WriteFileBytes(picture, varnelt::test::MakeBmp24(141, 226, Pattern)));
  const std::wstring text = Path(L"words.txt"), empty = Path(L"empty.bin"), five = Path(L"five.bin");
  ASSERT_TRUE(driver::WriteFileBytes(text, Bytes{'n', 'o', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e', '\r', '\n'}));
  ASSERT_TRUE(driver::WriteFileBytes(empty, Bytes{}));
  ASSERT_TRUE(driver::WriteFileBytes(five, Bytes{'G', 'I', 'F', '8', '9'}));
  for (const std::wstring& other : {text, empty, five}) {
    Load(picture);
    Load(other);
    const Bytes file = Save(L"saved-white.bmp");
    ASSERT_EQ(file.size(), 118134u);
    int not_white = 0;
    for (int sy = 0; sy < 226; ++sy)
      for (int sx = 0; sx < 141; ++sx)
        if (!UnderBadge(sx, sy)) not_white += FramePixel(file, 9 + sx, 10 + sy) != 0xFFFFFFu;
    EXPECT_EQ(not_white, 0);
    EXPECT_TRUE(IsReddish(FramePixel(file, 52, 16)));
  }
}

TEST_F(LoadSaveTest, CancelChangesNothingAndTheNameIsRemembered) {
  // Cancel on the first Save: nothing written.
  const std::wstring never = Path(L"never-written.bmp");
  DeleteFileW(never.c_str());
  HWND dialog = Click(kSaveButton);
  ASSERT_NE(dialog, nullptr);
  SendMessageW(driver::FileNameBox(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(never.c_str()));
  driver::CancelDialog(dialog);
  EXPECT_EQ(GetFileAttributesW(never.c_str()), INVALID_FILE_ATTRIBUTES);

  // Cancel on the first Load leaves the slot white; Load then Load-and-cancel keeps the
  // first picture.
  dialog = Click(kLoadButton);
  ASSERT_NE(dialog, nullptr);
  driver::CancelDialog(dialog);
  Bytes file = Save(L"saved-first.bmp");
  ASSERT_EQ(file.size(), 118134u);
  EXPECT_EQ(FramePixel(file, 9 + 70, 10 + 100), 0xFFFFFFu);
  const std::wstring picture = Path(L"kept.bmp");
  ASSERT_TRUE(driver::WriteFileBytes(picture, varnelt::test::MakeBmp24(141, 226, Pattern)));
  Load(picture);
  dialog = Click(kLoadButton);
  ASSERT_NE(dialog, nullptr);
  // The open dialog opens on the last picture chosen (the system may show its folder as
  // the current one and only the bare name in the box).
  EXPECT_TRUE(OpensOn(dialog, picture, L"kept.bmp"));
  driver::CancelDialog(dialog);
  file = Save(L"saved-second.bmp");
  ASSERT_EQ(file.size(), 118134u);
  EXPECT_EQ(FramePixel(file, 9 + 70, 10 + 100), Pattern(70, 100));

  // The next Save opens on the name chosen last.
  dialog = Click(kSaveButton);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(OpensOn(dialog, Path(L"saved-second.bmp"), L"saved-second.bmp"));
  driver::CancelDialog(dialog);
  EXPECT_FALSE(program_->WaitForExit(100).has_value());
}

// Answers the system's question whether to replace an existing file.
struct BoxSearch {
  DWORD pid;
  HWND save_dialog;
  HWND box;
};

BOOL CALLBACK FindQuestion(HWND h, LPARAM lparam) {
  auto* search = reinterpret_cast<BoxSearch*>(lparam);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (pid == search->pid && h != search->save_dialog && IsWindowVisible(h) && driver::ClassOf(h) == L"#32770" &&
      GetDlgItem(h, IDYES) != nullptr) {
    search->box = h;
    return FALSE;
  }
  return TRUE;
}

// Answers the system's question whether to replace an existing file with Yes.
bool ConfirmReplace(const Program& program, HWND save_dialog) {
  for (int i = 0; i < 50; ++i) {
    BoxSearch search{program.pid(), save_dialog, nullptr};
    EnumWindows(&FindQuestion, reinterpret_cast<LPARAM>(&search));
    if (search.box != nullptr) {
      PostMessageW(search.box, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(search.box, IDYES)));
      const ULONGLONG until = GetTickCount64() + 8000;
      while (IsWindow(save_dialog) && GetTickCount64() < until) Sleep(50);
      driver::Settle(300);
      return true;
    }
    driver::Settle(100);
  }
  return false;
}

TEST_F(LoadSaveTest, SavingOverAFileAsksThenReplacesIt) {
  const std::wstring target = Path(L"existing.bmp");
  ASSERT_TRUE(driver::WriteFileBytes(target, Bytes(200000, 0x55)));
  HWND dialog = Click(kSaveButton);
  ASSERT_NE(dialog, nullptr);
  ASSERT_FALSE(driver::ChooseFile(dialog, target, 1500)) << "no question before replacing";
  ASSERT_TRUE(ConfirmReplace(*program_, dialog));
  driver::Settle(500);
  const Bytes file = driver::ReadFileBytes(target);
  EXPECT_EQ(file.size(), 118134u);  // nothing of the longer old content is left
}

TEST_F(LoadSaveTest, ReadOnlyTargetIsLeftAsItWas) {
  const std::wstring target = Path(L"read-only.bmp");
  SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  const Bytes old(1234, 0x77);
  ASSERT_TRUE(driver::WriteFileBytes(target, old));
  ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
  HWND dialog = Click(kSaveButton);
  ASSERT_NE(dialog, nullptr);
  if (!driver::ChooseFile(dialog, target, 1500)) ConfirmReplace(*program_, dialog);
  driver::Settle(800);
  EXPECT_EQ(driver::ReadFileBytes(target), old);
  SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  // No temporary file is left beside it.
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((work_ + L"vnt*.tmp").c_str(), &found);
  EXPECT_EQ(search, INVALID_HANDLE_VALUE);
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  EXPECT_FALSE(program_->WaitForExit(100).has_value());
}

TEST_F(LoadSaveTest, FileHeldOpenForWritingCannotBeLoaded) {
  const std::wstring picture = Path(L"first.bmp"), locked = Path(L"locked.bmp");
  ASSERT_TRUE(driver::WriteFileBytes(picture, varnelt::test::MakeBmp24(141, 226, Pattern)));
  ASSERT_TRUE(driver::WriteFileBytes(locked, varnelt::test::MakeBmp24(141, 226, [](int, int) { return 0x00FF00u; })));
  Load(picture);
  HANDLE writer = CreateFileW(locked.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  Load(locked);
  const Bytes file = Save(L"saved-locked.bmp");
  CloseHandle(writer);
  ASSERT_EQ(file.size(), 118134u);
  EXPECT_EQ(FramePixel(file, 9 + 70, 10 + 100), 0xFFFFFFu);
}

}  // namespace
