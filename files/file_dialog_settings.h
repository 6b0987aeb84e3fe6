#pragma once
// The file dialog kind's settings, its settings block, and the two things show derives
// from them that need no window: the flag word and the filter list.
//
// Settings block (integers 32-bit little-endian; texts a 32-bit count then the bytes):
//   version (1) | dialog type | filter index | create prompt | file must exist |
//   overwrite prompt | path must exist | no folder change | font colour | bold | italic |
//   strikeout | underline | font size | help command | help context |
//   title | file name | filter | initial folder | default extension | font name | help file

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace varnelt {

struct FileDialogSettings {
  static constexpr std::uint32_t kVersion = 1;

  std::int32_t dialog_type = 0;  // 0 open, 1 save; 2 and 3 belong to modes this program never uses
  std::string title;             // GBK; empty: the system's own caption
  std::string file_name;         // GBK; the name the dialog opens with
  std::string filter;            // GBK; "label|pattern|label|pattern|"
  std::int32_t filter_index = 0;
  std::string initial_folder;
  std::string default_extension;  // passed on as stored, period included
  bool create_prompt = false;
  bool file_must_exist = true;
  bool overwrite_prompt = true;
  bool path_must_exist = true;
  bool no_folder_change = false;
  // Settings of the font-choice and help-viewer modes, kept but unused here.
  std::uint32_t font_colour = 0;
  bool bold = false, italic = false, strikeout = false, underline = false;
  std::int32_t font_size = 0;
  std::int32_t help_command = 0;
  std::int32_t help_context = 0;
  std::string font_name;
  std::string help_file;

  std::vector<std::uint8_t> Write() const;
  // Nothing for a version above 1 or a block that ends early; an empty block gives the
  // defaults.
  static std::optional<FileDialogSettings> Read(const std::vector<std::uint8_t>& block);
};

// OFN_HIDEREADONLY, the flags the settings ask for, then OFN_ENABLEHOOK, OFN_ENABLESIZING
// and OFN_EXPLORER.
std::uint32_t FileDialogFlags(const FileDialogSettings& settings);

// The system's list of zero-terminated label and pattern strings, ending in an empty one:
// trailing white space removed, "||" appended unless the text ends in it, every "|"
// separator turned into a zero byte. A separator is a "|" that is not the second byte of
// a GBK double-byte character. Empty when the trimmed filter is empty.
std::string FilterList(const std::string& filter);

// The 1-based filter index the system takes: filter index + 1 (a negative index counts as
// 0) with a list, 0 without.
std::uint32_t SystemFilterIndex(const std::string& list, std::int32_t filter_index);

}  // namespace varnelt
