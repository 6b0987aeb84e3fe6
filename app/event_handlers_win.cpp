#include "app/event_handlers_win.h"

#include "app/main_layout.h"
#include "app/main_window_win.h"
#include "files/file_dialog_win.h"
#include "files/whole_file_win.h"
#include "imaging/pic_box_win.h"
#include "imaging/window_snapshot_win.h"

namespace varnelt {
namespace {

constexpr std::int32_t kFrameWidth = 159;
constexpr std::int32_t kFrameHeight = 246;

// Shows a file dialog of the window; true when the user confirmed a file.
bool ShowDialog(MainWindow& window, std::uint32_t layout_id) {
  auto* dialog = dynamic_cast<FileDialog*>(window.FindControl(layout_id));
  return dialog != nullptr && dialog->Show();
}

std::wstring DialogFileName(const MainWindow& window, std::uint32_t layout_id) {
  const auto name = window.ReadSetting(layout_id, kFileDialogFileName);
  if (name && std::holds_alternative<std::wstring>(*name)) return std::get<std::wstring>(*name);
  return {};
}

}  // namespace

void EventHandlers::Dispatch(HandlerRef handler, MainWindow& window) {
  switch (handler) {
    case HandlerRef::kWindowCreated:
      OnWindowCreated(window);
      return;
    case HandlerRef::kLoadClicked:
      OnLoad(window);
      return;
    case HandlerRef::kSaveClicked:
      OnSave(window);
      return;
    case HandlerRef::kNone:
      return;
  }
}

void EventHandlers::OnWindowCreated(MainWindow& window) {
  if (const Control* frame = window.FindControl(layout_id::kFramePanel)) frame_panel_ = frame->hwnd();
}

// The user picks a file; its bytes become the photo slot's picture. A file that cannot be
// read, or is no picture, leaves the slot white.
void EventHandlers::OnLoad(MainWindow& window) {
  if (!ShowDialog(window, layout_id::kOpenDialog)) return;
  const std::wstring name = DialogFileName(window, layout_id::kOpenDialog);
  Bytes picture = ReadWholeFile(name);
  window.WriteSetting(layout_id::kPhotoSlot, picbox_setting::kPicture, std::move(picture));
}

// The user names a file; what the frame shows is written into it as a BMP file.
void EventHandlers::OnSave(MainWindow& window) {
  if (!ShowDialog(window, layout_id::kSaveDialog)) return;
  // The dialog has just closed over the frame: repaint it and its children now, so that
  // the copy holds the frame and not what the dialog left on the screen.
  RedrawWindow(frame_panel_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  const Bytes snapshot = WindowSnapshot(frame_panel_, kFrameWidth, kFrameHeight);
  const std::wstring name = DialogFileName(window, layout_id::kSaveDialog);
  // A failed copy writes nothing: an existing file of that name keeps its content.
  if (!snapshot.empty()) WriteWholeFile(name, {&snapshot});
}

}  // namespace varnelt
