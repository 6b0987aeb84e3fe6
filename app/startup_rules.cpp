#include "app/startup_rules.h"

#include "app/texts.h"

namespace varnelt {

std::string ExecutableFolder(const std::string& module_path) {
  const std::size_t cut = module_path.rfind('\\');
  if (cut == std::string::npos) return {};
  return module_path.substr(0, cut);
}

Point CentredOrigin(std::int32_t screen_width, std::int32_t screen_height, std::int32_t width, std::int32_t height) {
  return {(screen_width - width) / 2, (screen_height - height) / 2};
}

std::string FatalBoxText(const std::string& message, std::int32_t error_code) {
  std::string text = texts::kFatalHeading;
  if (error_code != 0) {
    text += texts::kErrorCodeLabel;
    text += std::to_string(error_code);
    text += "\r\n\r\n";
  }
  if (!message.empty()) {
    text += texts::kErrorMessageLabel;
    text += message;
    text += "\r\n";
  }
  return text;
}

}  // namespace varnelt
