#include "app/fatal_error_win.h"

#include <windows.h>

#include <cstdio>

#include "app/startup_rules.h"
#include "app/texts.h"
#include "app/wide_text_win.h"

namespace varnelt {
namespace {

std::function<void()>& EndOfRunCleanup() {
  static std::function<void()> cleanup;
  return cleanup;
}

}  // namespace

void SetEndOfRunCleanup(std::function<void()> cleanup) { EndOfRunCleanup() = std::move(cleanup); }

void FatalErrorBox(const std::string& message, std::int32_t error_code) {
  const std::wstring text = WideFromGbk(FatalBoxText(message, error_code));
  const std::wstring caption = WideFromGbk(texts::kErrorCaption);
  MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_ICONERROR | MB_OK);
  if (auto& cleanup = EndOfRunCleanup()) cleanup();
  ExitProcess(kFatalExitCode);
}

void OutOfMemoryBox(std::size_t bytes_asked) {
  char message[128];
  // The count as the box has always shown it: a signed 32-bit decimal.
  std::snprintf(message, sizeof message, texts::kOutOfMemoryFormat, static_cast<int>(bytes_asked));
  FatalErrorBox(message, 0);
}

}  // namespace varnelt
