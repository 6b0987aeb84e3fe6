#include "imaging/gif_player_win.h"

#include <cstring>

#include "imaging/picture_bitmap_win.h"
#include "imaging/placement.h"

namespace varnelt {
namespace {

// The worker's device context on the panel's client area. Child windows are clipped out
// (a plain GetDC follows the panel's style, which does not clip them), so that frames
// drawn between the panel's paints leave the children visible. Released with ReleaseDC.
class ChildClippingDc {
 public:
  explicit ChildClippingDc(HWND window)
      : window_(window), dc_(GetDCEx(window, nullptr, DCX_CACHE | DCX_CLIPCHILDREN | DCX_CLIPSIBLINGS)) {}
  ChildClippingDc(const ChildClippingDc&) = delete;
  ChildClippingDc& operator=(const ChildClippingDc&) = delete;
  ~ChildClippingDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

void SetStretchMode(HDC dc, int mode) {
  SetStretchBltMode(dc, mode);
  // HALFTONE takes its brush origin from here; it must be set again after the mode.
  SetBrushOrgEx(dc, 0, 0, nullptr);
}

}  // namespace

bool GifCanvasBitmap::Create(const GifComposer& composer) {
  bitmap_.reset();
  bits_ = nullptr;
  width_ = height_ = 0;
  if (composer.pixels() == nullptr) return false;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = static_cast<LONG>(composer.width());
  info.bmiHeader.biHeight = -static_cast<LONG>(composer.height());  // top-down, as the canvas
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap_ || bits == nullptr) {
    bitmap_.reset();
    return false;
  }
  bits_ = static_cast<std::uint32_t*>(bits);
  width_ = static_cast<int>(composer.width());
  height_ = static_cast<int>(composer.height());
  Update(composer, GifRect{0, 0, composer.width(), composer.height()});
  return true;
}

void GifCanvasBitmap::Update(const GifComposer& composer, const GifRect& area) {
  if (bits_ == nullptr || area.empty()) return;
  // GDI may still be reading the section for an earlier call of this thread.
  GdiFlush();
  const std::size_t width = composer.width();
  for (std::uint32_t y = area.y; y < area.y + area.height; ++y) {
    std::memcpy(bits_ + y * width + area.x, composer.row(y) + area.x, std::size_t{area.width} * sizeof(std::uint32_t));
  }
}

void GifCanvasBitmap::Draw(HDC target, HDC memory, int client_width, int client_height,
                           std::int32_t display_mode) const {
  if (!bitmap_ || target == nullptr || memory == nullptr) return;
  const PlacedRect place = PlacePicture(display_mode, client_width, client_height, width_, height_);
  if (place.width <= 0 || place.height <= 0) return;
  SelectScope select(memory, bitmap_.get());
  if (place.width == width_ && place.height == height_) {
    BitBlt(target, place.x, place.y, place.width, place.height, memory, 0, 0, SRCCOPY);
  } else {
    StretchBlt(target, place.x, place.y, place.width, place.height, memory, 0, 0, width_, height_, SRCCOPY);
  }
  GdiFlush();
}

std::unique_ptr<GifPlayer> GifPlayer::TakeUp(HWND window, const std::uint8_t* data, std::size_t size,
                                             std::int32_t display_mode) {
  std::unique_ptr<GifPlayer> player(new GifPlayer(window, display_mode));
  if (player->engine_.Open(data, size, GifEngine::Mode::kAnimated) != GifError::kOk) return nullptr;
  if (!player->composer_.Reset(player->engine_.screen_width(), player->engine_.screen_height())) return nullptr;
  player->single_image_ = player->engine_.single_image();
  if (player->single_image_) player->composer_.Compose(*player->engine_.single_frame());
  if (!player->canvas_.Create(player->composer_)) return nullptr;
  return player;
}

GifPlayer::~GifPlayer() { Stop(); }

void GifPlayer::Paint(HDC dc, int client_width, int client_height) {
  if (!started_ && !single_image_) {
    started_ = true;
    Start();
  }
  MemoryDc memory(dc);
  SetStretchMode(dc, ChooseStretchMode());
  std::lock_guard<std::mutex> lock(canvas_lock_);
  canvas_.Draw(dc, memory.get(), client_width, client_height, display_mode_.load());
}

void GifPlayer::Start() {
  if (worker_ || window_ == nullptr || !IsWindow(window_)) return;
  engine_.Rewind();
  stop_requested_.store(false);
  worker_.reset(CreateThread(nullptr, 0, &GifPlayer::WorkerMain, this, 0, nullptr));
}

void GifPlayer::Stop() {
  started_ = true;
  if (!worker_) return;
  stop_requested_.store(true);
  WaitForSingleObject(worker_.get(), INFINITE);
  worker_.reset();
}

DWORD WINAPI GifPlayer::WorkerMain(void* player) {
  static_cast<GifPlayer*>(player)->Play();
  return 0;
}

void GifPlayer::Play() {
  ChildClippingDc window_dc(window_);
  if (window_dc.get() != nullptr) SetStretchMode(window_dc.get(), ChooseStretchMode());
  MemoryDc memory(window_dc.get());
  while (!stop_requested_.load()) {
    const DWORD started = GetTickCount();
    const GifStep step = composer_.Step(engine_);
    {
      std::lock_guard<std::mutex> lock(canvas_lock_);
      canvas_.Update(composer_, step.changed);
      // The window may be gone (destroyed without a stop): then nothing is drawn.
      if (window_dc.get() != nullptr && IsWindow(window_)) {
        RECT client{};
        GetClientRect(window_, &client);
        canvas_.Draw(window_dc.get(), memory.get(), client.right, client.bottom, display_mode_.load());
      }
    }
    // Under Wine, what a thread draws into a window reaches the screen when some thread of
    // the process waits for messages; the panel's thread may wait for a long time, so the
    // worker makes a wait of no time itself. On Windows it returns at once.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
    // The frame stays at least its frame time from the start of its step; a stop is
    // seen within 10 ms.
    while (!stop_requested_.load() && GetTickCount() - started < step.frame_ms) Sleep(10);
  }
}

}  // namespace varnelt
