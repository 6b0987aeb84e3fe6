#pragma once
// Playback of an animated GIF in a picture panel. The frames are composed in memory by
// GifComposer; a worker thread of the player steps the composition at each frame time and
// draws the canvas straight into the panel through a device context of its own, which
// leaves the panel's child windows out so that they stay visible over the frames. The
// panel's paint draws the same canvas. A GIF of a single image is composed once and shown
// as a still, with no worker.
//
// Threads: every member function runs on the panel's (user-interface) thread. The worker
// shares only the canvas with it, under the canvas lock, and the display mode, which it
// reads atomically; it never sends the panel a message, so stopping it (set the request,
// wait for the thread to end) cannot deadlock and lasts at most one frame step plus a
// 10 ms sleep.

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

#include "app/win_handles.h"
#include "imaging/gif_composer.h"
#include "imaging/gif_engine.h"

namespace varnelt {

// The composed canvas as a 32-bit top-down DIB section that GDI draws from.
class GifCanvasBitmap {
 public:
  // A section of the canvas's size holding what the composer holds now; empty on failure.
  bool Create(const GifComposer& composer);
  // Copies the composer's pixels within `area` into the section.
  void Update(const GifComposer& composer, const GifRect& area);
  // Draws the section into `target` placed in a client area of client_width x
  // client_height by the display mode: at its own size for mode 0 (BitBlt), stretched for
  // modes 1 and 2 (StretchBlt, with the stretch mode already set on `target`). `memory`
  // is a memory context compatible with `target`, for the section to be selected into.
  void Draw(HDC target, HDC memory, int client_width, int client_height, std::int32_t display_mode) const;

  explicit operator bool() const { return static_cast<bool>(bitmap_); }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  UniqueBitmap bitmap_;
  std::uint32_t* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

class GifPlayer {
 public:
  // Opens GIF bytes in animated mode for the panel `window`; a single image is composed at
  // once. Nothing when the bytes do not open as a GIF or the canvas cannot be had.
  static std::unique_ptr<GifPlayer> TakeUp(HWND window, const std::uint8_t* data, std::size_t size,
                                           std::int32_t display_mode);
  ~GifPlayer();
  GifPlayer(const GifPlayer&) = delete;
  GifPlayer& operator=(const GifPlayer&) = delete;

  bool single_image() const { return single_image_; }

  // The panel's display mode (0-2), which the worker follows from its next frame.
  void set_display_mode(std::int32_t mode) { display_mode_.store(mode); }

  // The panel's paint, after its background: the first paint of a GIF of several images
  // starts the worker; every paint draws the canvas as the worker last left it.
  void Paint(HDC dc, int client_width, int client_height);

  // Stops the worker, if one runs, and waits until it has ended. Playback does not start
  // again on this player.
  void Stop();

 private:
  GifPlayer(HWND window, std::int32_t display_mode) : window_(window), display_mode_(display_mode) {}
  void Start();
  static DWORD WINAPI WorkerMain(void* player);
  void Play();

  const HWND window_;
  std::atomic<std::int32_t> display_mode_;
  GifEngine engine_;      // the worker's alone while it runs
  GifComposer composer_;  // likewise
  bool single_image_ = false;
  bool started_ = false;

  std::mutex canvas_lock_;  // over canvas_: the worker's frame step and the paint
  GifCanvasBitmap canvas_;

  std::atomic<bool> stop_requested_{false};
  UniqueHandle worker_;
};

}  // namespace varnelt
