#pragma once
// Start-up rules that need no window: the executable's folder, where the main window is
// placed, and the text of the fatal error box.

#include <cstdint>
#include <string>

namespace varnelt {

// The path up to, not including, its last backslash; empty when it has none.
std::string ExecutableFolder(const std::string& module_path);

struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
  bool operator==(const Point&) const = default;
};

inline constexpr std::int32_t kMainWindowWidth = 396;
inline constexpr std::int32_t kMainWindowHeight = 271;

// Top-left corner of a window of the given outer size centred on a screen; each division
// truncates toward zero, as C++ integer division does.
Point CentredOrigin(std::int32_t screen_width, std::int32_t screen_height,
                    std::int32_t width = kMainWindowWidth, std::int32_t height = kMainWindowHeight);

// The fatal error box's text (GBK): the heading, then "错误代码：<code>" when the code is
// not 0, then "错误信息：<message>" when the message is not empty.
std::string FatalBoxText(const std::string& message, std::int32_t error_code);

}  // namespace varnelt
