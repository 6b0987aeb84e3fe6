// Tests whole-file reading and writing under Wine: the failure tables, sizes at and above
// 2 GiB, and writes that fail leaving the old file untouched and no temporary file.
#include <gtest/gtest.h>

#include <windows.h>

#include "files/whole_file_win.h"

namespace varnelt {
namespace {

class WholeFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + L"varnelt-whole-file";
    CreateDirectoryW(folder_.c_str(), nullptr);
    folder_ += L"\\";
  }
  void TearDown() override {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder_ + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
      const std::wstring path = folder_ + found.cFileName;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) DeleteFileW(path.c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }

  std::wstring Put(const std::wstring& name, const Bytes& bytes) {
    const std::wstring path = folder_ + name;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(WriteWholeFile(path, {&bytes}));
    return path;
  }

  int TemporaryFiles() const {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder_ + L"vnt*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    int n = 0;
    do ++n;
    while (FindNextFileW(search, &found));
    FindClose(search);
    return n;
  }

  std::wstring folder_;
};

TEST_F(WholeFileTest, ReadGivesTheExactBytesOrNothing) {
  const Bytes content = {1, 2, 3, 0, 255, 10, 13};
  EXPECT_EQ(ReadWholeFile(Put(L"seven.bin", content)), content);
  EXPECT_TRUE(ReadWholeFile(L"").empty());
  EXPECT_TRUE(ReadWholeFile(folder_ + L"missing.bin").empty());
  EXPECT_TRUE(ReadWholeFile(folder_).empty());                          // a folder
  EXPECT_TRUE(ReadWholeFile(Put(L"empty.bin", {})).empty());
  EXPECT_TRUE(ReadWholeFile(folder_ + L"no-such-folder\\a.bin").empty());
}

TEST_F(WholeFileTest, FilesOfTwoGibibytesOrMoreAreNotRead) {
  // Sparse files: the size is what matters. 4 GiB and a few bytes looks small in 32 bits.
  for (const LONGLONG size : {(LONGLONG{1} << 31), (LONGLONG{1} << 32) + 5}) {
    const std::wstring path = folder_ + L"huge.bin";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER at{};
    at.QuadPart = size;
    ASSERT_TRUE(SetFilePointerEx(file, at, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(file));
    CloseHandle(file);
    EXPECT_TRUE(ReadWholeFile(path).empty()) << size;
    DeleteFileW(path.c_str());
  }
}

TEST_F(WholeFileTest, FileHeldForWritingCannotBeRead) {
  const std::wstring path = Put(L"held.bin", {1, 2, 3});
  HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(ReadWholeFile(path).empty());
  CloseHandle(writer);
  EXPECT_EQ(ReadWholeFile(path), (Bytes{1, 2, 3}));
}

TEST_F(WholeFileTest, WriteReplacesTheWholeContent) {
  const std::wstring path = Put(L"target.bin", Bytes(5000, 7));
  const Bytes first = {1, 2}, second = {3};
  EXPECT_TRUE(WriteWholeFile(path, {&first, &second}));
  EXPECT_EQ(ReadWholeFile(path), (Bytes{1, 2, 3}));  // nothing of the longer old content
  const Bytes none;
  EXPECT_TRUE(WriteWholeFile(path, {&none}));
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetFileSize(file, nullptr), 0u);
  CloseHandle(file);
  EXPECT_EQ(TemporaryFiles(), 0);
}

TEST_F(WholeFileTest, FailedWritesLeaveEverythingAsItWas) {
  const Bytes old = {9, 9, 9}, fresh = {1};
  EXPECT_FALSE(WriteWholeFile(L"", {&fresh}));
  const std::wstring nowhere = folder_ + L"no-such-folder\\a.bin";
  EXPECT_FALSE(WriteWholeFile(nowhere, {&fresh}));
  EXPECT_EQ(GetFileAttributesW(nowhere.c_str()), INVALID_FILE_ATTRIBUTES);

  const std::wstring read_only = Put(L"read-only.bin", old);
  ASSERT_TRUE(SetFileAttributesW(read_only.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(WriteWholeFile(read_only, {&fresh}));
  EXPECT_EQ(ReadWholeFile(read_only), old);
  EXPECT_EQ(GetFileAttributesW(read_only.c_str()) & FILE_ATTRIBUTE_READONLY, static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));

  const std::wstring in_use = Put(L"in-use.bin", old);
  HANDLE holder = CreateFileW(in_use.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(WriteWholeFile(in_use, {&fresh}));
  CloseHandle(holder);
  EXPECT_EQ(ReadWholeFile(in_use), old);

  EXPECT_FALSE(WriteWholeFile(folder_, {&fresh}));  // a folder is no file to replace
  EXPECT_EQ(TemporaryFiles(), 0);
}

TEST_F(WholeFileTest, ReplacedFileKeepsItsAttributes) {
  const std::wstring path = Put(L"archived.bin", {1});
  ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN));
  const Bytes fresh = {2, 3};
  EXPECT_TRUE(WriteWholeFile(path, {&fresh}));
  EXPECT_EQ(ReadWholeFile(path), fresh);
  EXPECT_NE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
}

}  // namespace
}  // namespace varnelt
