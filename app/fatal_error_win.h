#pragma once
// The fatal error box: the program's only message box. It reports a failure the program
// cannot go on from, runs the end-of-run clean-up and ends the process with exit code -1.

#include <cstdint>
#include <functional>
#include <string>

namespace varnelt {

inline constexpr unsigned kFatalExitCode = 0xFFFFFFFFu;

// The clean-up that the box runs before the process ends (set once by start-up).
void SetEndOfRunCleanup(std::function<void()> cleanup);

// `message` is GBK text; empty for none. `error_code` 0 means no code.
[[noreturn]] void FatalErrorBox(const std::string& message, std::int32_t error_code);

// The box for a failed memory request: "分配 N 字节内存失败!".
[[noreturn]] void OutOfMemoryBox(std::size_t bytes_asked);

}  // namespace varnelt
