#pragma once
// The program's texts are GBK bytes; they reach the screen as UTF-16 converted from code
// page 936 explicitly, so they show right on a system with any ANSI code page.

#include <string>
#include <string_view>

namespace varnelt {

inline constexpr unsigned kGbkCodePage = 936;

std::wstring WideFromGbk(std::string_view gbk);

}  // namespace varnelt
