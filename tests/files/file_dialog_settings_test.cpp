// Tests the file dialog's settings block, flag word, filter list and filter index.
#include <gtest/gtest.h>

#include "app/texts.h"
#include "files/file_dialog_settings.h"

namespace varnelt {
namespace {

using namespace std::string_literals;

TEST(FileDialogFlags, BothDialogsOfTheProgram) {
  FileDialogSettings open;  // the defaults: must exist, overwrite prompt, path must exist
  EXPECT_EQ(FileDialogFlags(open), 0x881826u);
  open.create_prompt = true;
  open.no_folder_change = true;
  open.file_must_exist = false;
  EXPECT_EQ(FileDialogFlags(open), 0x880000u | 0x20 | 0x4 | 0x2000 | 0x8 | 0x2 | 0x800);
}

TEST(FilterList, Cases) {
  struct Case {
    std::string filter, list;
  };
  const Case cases[] = {
      {texts::kBmpFilter, "BMP\xCD\xBC\xC6\xAC(*.bmp)\0*.bmp\0\0\0"s},
      {"Pictures|*.jpg", "Pictures\0*.jpg\0\0"s},                 // "||" appended
      {"Pictures|*.jpg||", "Pictures\0*.jpg\0\0"s},               // already ends in "||"
      {"Pictures|*.jpg|  \t\r\n", "Pictures\0*.jpg\0\0\0"s},      // trimmed, then extended
      {"   ", ""},
      {"", ""},
      // 0xB1 0x7C is one GBK character whose trail byte is "|": no separator.
      {"a\xB1|b|*.x", "a\xB1|b\0*.x\0\0"s},
  };
  for (const Case& c : cases) EXPECT_EQ(FilterList(c.filter), c.list) << c.filter;
}

TEST(SystemFilterIndex, OneBasedWithAListZeroWithout) {
  EXPECT_EQ(SystemFilterIndex(FilterList(texts::kBmpFilter), 0), 1u);
  EXPECT_EQ(SystemFilterIndex(FilterList(texts::kBmpFilter), 2), 3u);
  EXPECT_EQ(SystemFilterIndex(FilterList(texts::kBmpFilter), -4), 1u);
  EXPECT_EQ(SystemFilterIndex("", 5), 0u);
}

TEST(FileDialogSettings, BlockRoundTripVersionAndCuts) {
  FileDialogSettings s;
  s.dialog_type = 1;
  s.filter = texts::kBmpFilter;
  s.default_extension = ".bmp";
  s.file_name = "C:\\a.bmp";
  s.overwrite_prompt = false;
  s.help_context = 9;
  const auto block = s.Write();
  const auto read = FileDialogSettings::Read(block);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->dialog_type, 1);
  EXPECT_EQ(read->filter, s.filter);
  EXPECT_EQ(read->default_extension, ".bmp");
  EXPECT_EQ(read->file_name, "C:\\a.bmp");
  EXPECT_FALSE(read->overwrite_prompt);
  EXPECT_EQ(read->help_context, 9);
  for (std::size_t n = 1; n < block.size(); ++n) {
    EXPECT_FALSE(FileDialogSettings::Read({block.begin(), block.begin() + static_cast<std::ptrdiff_t>(n)})) << n;
  }
  auto newer = block;
  newer[0] = 2;
  EXPECT_FALSE(FileDialogSettings::Read(newer));
  EXPECT_TRUE(FileDialogSettings::Read({})->file_must_exist);
}

}  // namespace
}  // namespace varnelt
