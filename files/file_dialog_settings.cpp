#include "files/file_dialog_settings.h"

#include "app/settings_block.h"

namespace varnelt {
namespace {

constexpr std::uint32_t kOfnOverwritePrompt = 0x2, kOfnHideReadOnly = 0x4, kOfnNoChangeDir = 0x8,
                        kOfnEnableHook = 0x20, kOfnPathMustExist = 0x800, kOfnFileMustExist = 0x1000,
                        kOfnCreatePrompt = 0x2000, kOfnExplorer = 0x80000, kOfnEnableSizing = 0x800000;

bool IsGbkLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

bool IsTrailingSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

}  // namespace

std::vector<std::uint8_t> FileDialogSettings::Write() const {
  SettingsWriter w;
  w.U32(kVersion).I32(dialog_type).I32(filter_index).Bool(create_prompt).Bool(file_must_exist);
  w.Bool(overwrite_prompt).Bool(path_must_exist).Bool(no_folder_change);
  w.U32(font_colour).Bool(bold).Bool(italic).Bool(strikeout).Bool(underline).I32(font_size);
  w.I32(help_command).I32(help_context);
  w.Text(title).Text(file_name).Text(filter).Text(initial_folder).Text(default_extension);
  w.Text(font_name).Text(help_file);
  return w.Take();
}

std::optional<FileDialogSettings> FileDialogSettings::Read(const std::vector<std::uint8_t>& block) {
  FileDialogSettings s;
  if (block.empty()) return s;
  SettingsReader r(block);
  std::uint32_t version = 0;
  if (!r.U32(version) || version > kVersion) return std::nullopt;
  const bool ok = r.I32(s.dialog_type) && r.I32(s.filter_index) && r.Bool(s.create_prompt) &&
                  r.Bool(s.file_must_exist) && r.Bool(s.overwrite_prompt) && r.Bool(s.path_must_exist) &&
                  r.Bool(s.no_folder_change) && r.U32(s.font_colour) && r.Bool(s.bold) && r.Bool(s.italic) &&
                  r.Bool(s.strikeout) && r.Bool(s.underline) && r.I32(s.font_size) && r.I32(s.help_command) &&
                  r.I32(s.help_context) && r.Text(s.title) && r.Text(s.file_name) && r.Text(s.filter) &&
                  r.Text(s.initial_folder) && r.Text(s.default_extension) && r.Text(s.font_name) &&
                  r.Text(s.help_file);
  if (!ok) return std::nullopt;
  return s;
}

std::uint32_t FileDialogFlags(const FileDialogSettings& s) {
  std::uint32_t flags = kOfnHideReadOnly;
  if (s.create_prompt) flags |= kOfnCreatePrompt;
  if (s.file_must_exist) flags |= kOfnFileMustExist;
  if (s.overwrite_prompt) flags |= kOfnOverwritePrompt;
  if (s.path_must_exist) flags |= kOfnPathMustExist;
  if (s.no_folder_change) flags |= kOfnNoChangeDir;
  return flags | kOfnEnableHook | kOfnEnableSizing | kOfnExplorer;
}

std::string FilterList(const std::string& filter) {
  std::string list = filter;
  while (!list.empty() && IsTrailingSpace(list.back())) list.pop_back();
  if (list.empty()) return list;
  if (list.size() < 2 || list.compare(list.size() - 2, 2, "||") != 0) list += "||";
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (IsGbkLeadByte(static_cast<unsigned char>(list[i])) && i + 1 < list.size()) {
      ++i;  // the trail byte belongs to the character, whatever its value
    } else if (list[i] == '|') {
      list[i] = '\0';
    }
  }
  return list;
}

std::uint32_t SystemFilterIndex(const std::string& list, std::int32_t filter_index) {
  if (list.empty()) return 0;
  return static_cast<std::uint32_t>(filter_index < 0 ? 0 : filter_index) + 1;
}

}  // namespace varnelt
