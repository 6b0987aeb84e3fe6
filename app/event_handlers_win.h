#pragma once
// The program's own behaviour: the handlers that the layout binds to the main window's
// created event and to the two buttons' clicks.

#include <windows.h>

#include "app/layout_record.h"

namespace varnelt {

class MainWindow;

class EventHandlers {
 public:
  void Dispatch(HandlerRef handler, MainWindow& window);

  HWND frame_panel() const { return frame_panel_; }

 private:
  void OnWindowCreated(MainWindow& window);
  void OnLoad(MainWindow& window);
  void OnSave(MainWindow& window);

  HWND frame_panel_ = nullptr;  // recorded once at creation; the Save action copies it
};

}  // namespace varnelt
