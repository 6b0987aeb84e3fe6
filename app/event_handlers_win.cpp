#include "app/event_handlers_win.h"

#include "app/main_layout.h"
#include "app/main_window_win.h"

namespace varnelt {

void EventHandlers::Dispatch(HandlerRef handler, MainWindow& window) {
  switch (handler) {
    case HandlerRef::kWindowCreated:
      OnWindowCreated(window);
      return;
    case HandlerRef::kLoadClicked:
    case HandlerRef::kSaveClicked:
    case HandlerRef::kNone:
      return;
  }
}

void EventHandlers::OnWindowCreated(MainWindow& window) {
  if (const Control* frame = window.FindControl(layout_id::kFramePanel)) frame_panel_ = frame->hwnd();
}

}  // namespace varnelt
