#pragma once
// What the end-to-end tests do to the program from outside, as a user or the system would:
// start it, find its windows, press keys, read pixels off the screen, wait for its end.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace driver {

// The program under test: the environment variable VARNELT_EXE (a Windows path), or the
// variable named by `variable`.
std::wstring ProgramPath(const wchar_t* variable = L"VARNELT_EXE");

class Program {
 public:
  // Starts the program with the given current folder (the driver's own folder when empty).
  explicit Program(const std::wstring& path, const std::wstring& current_folder = L"");
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool started() const { return process_ != nullptr; }
  DWORD pid() const { return pid_; }
  HANDLE process() const { return process_; }

  // The first visible top-level window of the program with this class, waiting for it.
  HWND WaitForWindow(const wchar_t* class_name, DWORD timeout_ms = 15000) const;
  // The exit code once the process has ended, or nothing after the time-out.
  std::optional<DWORD> WaitForExit(DWORD timeout_ms = 10000) const;
  // The process's current directory, read from its process parameters.
  std::wstring CurrentDirectory() const;

 private:
  HANDLE process_ = nullptr;
  HANDLE thread_ = nullptr;
  DWORD pid_ = 0;
};

// What a process holds of the system's resources; -1 where a count cannot be had.
struct ResourceCounts {
  int threads = -1;
  int handles = -1;        // kernel handles other than registry keys
  int registry_keys = -1;  // registry keys open
  int gdi_objects = -1;
};
ResourceCounts CountsOf(const Program& program);

std::wstring ClassOf(HWND hwnd);
std::wstring TextOf(HWND hwnd);
// The window's rectangle in its parent's client area (the screen for a top-level window).
RECT RectInParent(HWND hwnd);
HWND FocusOf(HWND window);
// Whether the window's thread answers a message within the time: it is not busy or hung.
bool Answers(HWND window, DWORD timeout_ms = 5000);
// The children of `parent` from the top of the stacking order down.
std::vector<HWND> ChildrenTopFirst(HWND parent);

// Key presses through the system's input queue, so that modifier state is real.
void PressKey(WORD virtual_key, std::initializer_list<WORD> modifiers = {});
void KeyDown(WORD virtual_key);
void KeyUp(WORD virtual_key);
// Lets the program's message loop run.
void Settle(DWORD ms = 300);

// Pixels of a screen rectangle, 0x00RRGGBB, top row first.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> rgb;
  std::uint32_t at(int x, int y) const { return rgb[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)]; }
};
Pixels CaptureScreen(const RECT& screen_rect);
Pixels CaptureClient(HWND window);
// Writes pixels as a 24-bit BMP.
bool WriteBmp(const std::wstring& path, const Pixels& pixels);

}  // namespace driver

namespace driver {

// The system file dialog of the program, once it is up; null after the time-out.
HWND WaitForFileDialog(const Program& program, DWORD timeout_ms = 10000);
// The dialog's file name box.
HWND FileNameBox(HWND dialog);
// Types a full path into the dialog and confirms it, as a user would with Return; true
// once the dialog has closed (waiting up to `wait_ms`) and its owner has answered. Then
// lets the program paint for `settle_ms`.
bool ChooseFile(HWND dialog, const std::wstring& path, DWORD wait_ms = 8000, DWORD settle_ms = 200);
void CancelDialog(HWND dialog);
// Whether the program shows a window of that class within the time.
bool Shows(const Program& program, const wchar_t* class_name, DWORD timeout_ms);

// A whole file's bytes; empty when it cannot be read.
std::vector<std::uint8_t> ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::vector<std::uint8_t>& bytes);

}  // namespace driver
