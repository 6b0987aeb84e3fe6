#include "app/wide_text_win.h"

#include <windows.h>

namespace varnelt {

std::wstring WideFromGbk(std::string_view gbk) {
  if (gbk.empty()) return {};
  const int in_length = static_cast<int>(gbk.size());
  const int length = MultiByteToWideChar(kGbkCodePage, 0, gbk.data(), in_length, nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(kGbkCodePage, 0, gbk.data(), in_length, wide.data(), length);
  return wide;
}

}  // namespace varnelt
