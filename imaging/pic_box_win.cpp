#include "imaging/pic_box_win.h"

#include <optional>

#include "app/win_handles.h"
#include "imaging/decode_picture.h"
#include "imaging/gif_player_win.h"
#include "imaging/icon_win.h"
#include "imaging/picbox_settings.h"
#include "imaging/picture_bitmap_win.h"
#include "imaging/picture_kind.h"
#include "imaging/placement.h"

namespace varnelt {
namespace {

constexpr wchar_t kPicBoxClass[] = L"VarneltPicBox";

HINSTANCE ThisModule() { return GetModuleHandleW(nullptr); }

// What the panel shows: the decoded picture and, for icons and cursors, its icon.
struct ShownPicture {
  DecodedPicture decoded;
  ScopedIcon icon;
};

// The picture as it was last drawn, so that a repaint is one BitBlt instead of a new
// conversion (and, for large pictures, a new stretch): its size and place, and the
// stretch mode and client size it was made for. Dropped whenever any of them changes.
struct DrawnPicture {
  UniqueBitmap bitmap;
  PlacedRect place;
  int stretch_mode = 0;
};

class PicBox final : public Control {
 public:
  PicBox(const UnitRecord& unit, PicBoxSettings settings) : Control(unit), settings_(std::move(settings)) {}
  // The player stops before the window goes: DestroyOwnWindow cuts the window off from
  // this object first, so no WM_DESTROY reaches it then.
  ~PicBox() override {
    FreePicture();
    DestroyOwnWindow();
  }

  bool Create(HWND parent, int control_id) {
    if (!RegisterOwnWindowClass(kPicBoxClass, &PicBox::WndProc)) return false;
    hwnd_ = CreateWindowExW(0, kPicBoxClass, L"", ChildStyle(unit_, 0), unit_.left, unit_.top, unit_.width,
                            unit_.height, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id)), ThisModule(), this);
    if (hwnd_ == nullptr) return false;
    animate_in_force_ = settings_.animate;
    MakeBrush();
    TakeUpPicture();
    ApplyDisplayMode(settings_.display_mode);
    ApplyBorderStyle();
    return true;
  }

 protected:
  std::optional<SettingValue> ReadOwnSetting(int number) const override {
    switch (number) {
      case picbox_setting::kBorderStyle: return settings_.border_style;
      case picbox_setting::kBackgroundColour: return static_cast<std::int32_t>(settings_.background_colour);
      case picbox_setting::kPicture: return settings_.picture;
      case picbox_setting::kDisplayMode: return settings_.display_mode;
      case picbox_setting::kAnimate: return static_cast<std::int32_t>(settings_.animate ? 1 : 0);
      case picbox_setting::kDataSource: return settings_.data_source;
      case picbox_setting::kDataColumn: return settings_.data_column;
      default: return std::nullopt;
    }
  }

  void WriteOwnSetting(int number, const SettingValue& value) override {
    const auto* integer = std::get_if<std::int32_t>(&value);
    const auto* text = std::get_if<std::string>(&value);
    switch (number) {
      case picbox_setting::kBorderStyle:
        if (integer != nullptr) {
          settings_.border_style = ClampBorderStyle(*integer);
          ApplyBorderStyle();
        }
        return;
      case picbox_setting::kBackgroundColour:
        if (integer != nullptr) {
          settings_.background_colour = static_cast<std::uint32_t>(*integer);
          MakeBrush();
          InvalidateRect(hwnd_, nullptr, FALSE);
        }
        return;
      case picbox_setting::kPicture:
        if (const auto* bytes = std::get_if<Bytes>(&value)) SetPictureBytes(*bytes);
        return;
      case picbox_setting::kDisplayMode:
        if (integer != nullptr) ApplyDisplayMode(*integer);
        return;
      case picbox_setting::kAnimate:
        if (integer != nullptr) SetAnimate(*integer != 0);
        return;
      case picbox_setting::kDataSource:
        if (text != nullptr) settings_.data_source = *text;
        return;
      case picbox_setting::kDataColumn:
        if (text != nullptr) settings_.data_column = *text;
        return;
      default:
        return;
    }
  }

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = WindowObject<PicBox>(hwnd, message, lparam);
    if (self != nullptr) {
      switch (message) {
        case WM_PAINT:
          self->OnPaint();
          return 0;
        case WM_SIZE:
          self->drawn_.reset();
          break;
        case WM_DESTROY:
          self->FreePicture();
          break;
        case WM_NCDESTROY:
          SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
          self->hwnd_ = nullptr;
          break;
        default:
          break;
      }
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }

  void MakeBrush() { brush_.reset(CreateSolidBrush(ResolveColour(settings_.background_colour))); }

  void ApplyBorderStyle() {
    const BorderStyles add = BorderStylesFor(settings_.border_style);
    const LONG_PTR edge_ex = WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE;
    LONG_PTR ex = GetWindowLongPtrW(hwnd_, GWL_EXSTYLE);
    LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
    ex = (ex & ~edge_ex) | static_cast<LONG_PTR>(add.ex_style);
    style = (style & ~static_cast<LONG_PTR>(WS_BORDER)) | static_cast<LONG_PTR>(add.style);
    SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, ex);
    SetWindowLongPtrW(hwnd_, GWL_STYLE, style);
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  void ApplyDisplayMode(std::int32_t mode) {
    settings_.display_mode = ClampDisplayMode(mode);
    if (settings_.display_mode == current_mode_) return;
    current_mode_ = settings_.display_mode;
    drawn_.reset();
    if (player_) player_->set_display_mode(current_mode_);
    InvalidateRect(hwnd_, nullptr, FALSE);
    UpdateWindow(hwnd_);
  }

  void SetAnimate(bool animate) {
    settings_.animate = animate;
    // The setting in force follows only while a GIF is shown; the GIF is then taken up
    // again under the new setting.
    if (shown_ && shown_->decoded.kind == PictureKind::kGif) {
      animate_in_force_ = animate;
      FreePicture();
      TakeUpPicture();
    }
  }

  void SetPictureBytes(const Bytes& bytes) {
    settings_.picture = bytes;
    FreePicture();
    TakeUpPicture();
  }

  // Stops an animation first: its worker draws into the window until then.
  void FreePicture() {
    player_.reset();
    shown_.reset();
    drawn_.reset();
  }

  // Decodes the held picture bytes and invalidates the panel; bytes that are no picture
  // leave it showing its background only.
  void TakeUpPicture() {
    if (!settings_.picture.empty()) {
      const std::uint8_t* data = settings_.picture.data();
      const std::size_t size = settings_.picture.size();
      // While the animate setting is in force a GIF goes to animated playback; the shown
      // picture is then only a marker of kind GIF with no size or pixels.
      if (animate_in_force_ && SniffPictureKind(data, size) == PictureKind::kGif) {
        player_ = GifPlayer::TakeUp(hwnd_, data, size, current_mode_);
        if (player_) shown_ = ShownPicture{DecodedPicture{PictureKind::kGif, 0, 0, {}, {}}, {}};
      } else if (auto decoded = DecodePicture(data, size)) {
        ShownPicture shown{std::move(*decoded), {}};
        const bool is_icon = shown.decoded.kind == PictureKind::kIcon || shown.decoded.kind == PictureKind::kCursor;
        if (is_icon) shown.icon = CreatePictureIcon(shown.decoded, data, size);
        if (!is_icon || shown.icon) shown_ = std::move(shown);
      }
    }
    InvalidateRect(hwnd_, nullptr, FALSE);
  }

  void OnPaint() {
    PaintScope paint(hwnd_);
    RECT client{};
    GetClientRect(hwnd_, &client);
    // One pass: the background everywhere (child panels included; they repaint after
    // this one), then the picture.
    {
      SelectScope brush(paint.dc(), brush_.get());
      PatBlt(paint.dc(), 0, 0, client.right, client.bottom, PATCOPY);
    }
    if (player_) {
      player_->Paint(paint.dc(), client.right, client.bottom);
      return;
    }
    if (!shown_) return;
    const DecodedPicture& picture = shown_->decoded;
    const PlacedRect place = PlacePicture(current_mode_, client.right, client.bottom, picture.width, picture.height);
    const int stretch_mode = ChooseStretchMode();
    if (shown_->icon) {
      SetStretchBltMode(paint.dc(), stretch_mode);
      DrawIconEx(paint.dc(), place.x, place.y, shown_->icon.get(), place.width, place.height, 0, nullptr, DI_NORMAL);
      return;
    }
    if (!drawn_ || !(drawn_->place == place) || drawn_->stretch_mode != stretch_mode) {
      drawn_ = Draw(paint.dc(), picture, place, stretch_mode);
    }
    if (!drawn_) return;
    MemoryDc memory(paint.dc());
    SelectScope select(memory.get(), drawn_->bitmap.get());
    BitBlt(paint.dc(), place.x, place.y, place.width, place.height, memory.get(), 0, 0, SRCCOPY);
  }

  // The picture converted to a device bitmap and brought to the size it is drawn at, with
  // the stretch mode a direct StretchBlt onto the window would use.
  static std::optional<DrawnPicture> Draw(HDC dc, const DecodedPicture& picture, const PlacedRect& place,
                                          int stretch_mode) {
    UniqueBitmap bitmap = CreatePictureBitmap(dc, picture);
    if (!bitmap || place.width <= 0 || place.height <= 0) return std::nullopt;
    DrawnPicture drawn;
    drawn.place = place;
    drawn.stretch_mode = stretch_mode;
    if (place.width == picture.width && place.height == picture.height && picture.kind != PictureKind::kPcxMono) {
      drawn.bitmap = std::move(bitmap);
      return drawn;
    }
    drawn.bitmap.reset(CreateCompatibleBitmap(dc, place.width, place.height));
    MemoryDc source(dc), target(dc);
    if (!drawn.bitmap || !source || !target) return std::nullopt;
    SelectScope select_source(source.get(), bitmap.get());
    SelectScope select_target(target.get(), drawn.bitmap.get());
    SetStretchBltMode(target.get(), stretch_mode);
    SetBrushOrgEx(target.get(), 0, 0, nullptr);
    StretchBlt(target.get(), 0, 0, place.width, place.height, source.get(), 0, 0, picture.width, picture.height,
               SRCCOPY);
    return drawn;
  }

  PicBoxSettings settings_;
  UniqueBrush brush_;
  std::optional<ShownPicture> shown_;
  std::optional<DrawnPicture> drawn_;
  // Present while a GIF is taken up for animated playback.
  std::unique_ptr<GifPlayer> player_;
  std::int32_t current_mode_ = 0;
  bool animate_in_force_ = true;
};

}  // namespace

std::unique_ptr<Control> CreatePicBox(const UnitRecord& unit, HWND parent, int control_id) {
  auto settings = PicBoxSettings::Read(unit.settings);
  if (!settings) return nullptr;
  auto panel = std::make_unique<PicBox>(unit, std::move(*settings));
  if (!panel->Create(parent, control_id)) return nullptr;
  return panel;
}

}  // namespace varnelt
