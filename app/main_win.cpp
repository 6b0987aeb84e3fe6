// The program's entry: start-up, the message loop and the end of the run.

#include <objbase.h>
#include <ole2.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/event_handlers_win.h"
#include "app/fatal_error_win.h"
#include "app/layout_record.h"
#include "app/layout_source.h"
#include "app/main_window_win.h"
#include "app/startup_rules.h"
#include "app/texts.h"
#include "app/win_handles.h"

namespace varnelt {
namespace {

class Application {
 public:
  int Run(HINSTANCE instance);

 private:
  void SetProcessDefaults();
  void MakeExecutableFolderCurrent();
  void LoadIcons(HINSTANCE instance);
  int MessageLoop();
  bool PreTranslate(const MSG& message);
  void EndOfRun();

  std::vector<MainWindow*> open_windows_;
  bool loop_started_ = false;
  bool ole_started_ = false;
  bool ended_ = false;
  UniqueIcon big_icon_;
  UniqueIcon small_icon_;
  EventHandlers handlers_;
};

int Application::Run(HINSTANCE instance) {
  SetEndOfRunCleanup([this] { EndOfRun(); });

  // 1. No system boxes for the program's own file operations.
  SetProcessDefaults();
  // 2. OLE; its result is not looked at.
  if (!ole_started_) {
    OleInitialize(nullptr);
    ole_started_ = true;
  }
  // 3. The executable's folder becomes the current directory.
  MakeExecutableFolderCurrent();

  // 4. The main window's layout.
  const Bytes table = LayoutTableForStartup();
  auto units = ReadLayoutTable(table.data(), table.size());
  if (!units) FatalErrorBox(texts::kLayoutUnreadable, 0);

  // 5. The main window and its controls, shown, centred and active.
  LoadIcons(instance);
  MainWindow* window = MainWindow::Create(
      *units, big_icon_.get(), small_icon_.get(),
      [this](HandlerRef handler, MainWindow& w) { handlers_.Dispatch(handler, w); },
      [this](MainWindow& w) {
        std::erase(open_windows_, &w);
        if (open_windows_.empty() && loop_started_) PostQuitMessage(0);
      });
  if (window == nullptr) FatalErrorBox(texts::kStartupWindowFailed, 0);
  open_windows_.push_back(window);

  // 6. The loop, while a layout window is open.
  loop_started_ = true;
  int quit_code = 0;
  if (!open_windows_.empty()) quit_code = MessageLoop();

  // 7. End of run.
  EndOfRun();
  return quit_code;
}

void Application::SetProcessDefaults() {
  const UINT mode = SetErrorMode(0);
  SetErrorMode(mode | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}

void Application::MakeExecutableFolderCurrent() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return;
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const std::string folder = ExecutableFolder(path);
  SetCurrentDirectoryA(folder.c_str());  // an empty folder fails and changes nothing
}

void Application::LoadIcons(HINSTANCE instance) {
  big_icon_.reset(static_cast<HICON>(LoadImageA(instance, "DEFAULT_ICON", IMAGE_ICON, 32, 32, 0)));
  small_icon_.reset(static_cast<HICON>(LoadImageA(instance, "DEFAULT_ICON", IMAGE_ICON, 16, 16, 0)));
}

bool Application::PreTranslate(const MSG& message) {
  // The window the message is for, then each of its ancestors, nearest first.
  for (HWND h = message.hwnd; h != nullptr; h = GetAncestor(h, GA_PARENT)) {
    if (MainWindow* window = MainWindow::FromHandle(h)) {
      if (window->PreTranslate(message)) return true;
    }
    if (h == GetDesktopWindow()) break;
  }
  return false;
}

int Application::MessageLoop() {
  MSG message{};
  for (;;) {
    // Idle phase: the program registers no idle work, so there is nothing to do until a
    // message arrives.
    // Message phase: every waiting message, then back to idle.
    do {
      const BOOL got = GetMessageA(&message, nullptr, 0, 0);
      if (got == 0) return static_cast<int>(message.wParam);
      if (got == -1) return static_cast<int>(kFatalExitCode);
      if (!PreTranslate(message)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
      }
    } while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
  }
}

void Application::EndOfRun() {
  if (ended_) return;
  ended_ = true;
  big_icon_.reset();
  small_icon_.reset();
  if (ole_started_) OleUninitialize();
}

}  // namespace
}  // namespace varnelt

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  static varnelt::Application application;
  return application.Run(instance);
}
