#include "imaging/window_snapshot_win.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "app/win_handles.h"
#include "imaging/bmp_file.h"
#include "imaging/picture_bitmap_win.h"

namespace varnelt {
namespace {

// A moveable global memory block, freed when it goes.
class GlobalBlock {
 public:
  explicit GlobalBlock(SIZE_T size) : memory_(GlobalAlloc(GMEM_MOVEABLE, size)) {}
  GlobalBlock(const GlobalBlock&) = delete;
  GlobalBlock& operator=(const GlobalBlock&) = delete;
  ~GlobalBlock() {
    if (memory_ != nullptr) GlobalFree(memory_);
  }
  explicit operator bool() const { return memory_ != nullptr; }
  bool Grow(SIZE_T size) {
    HGLOBAL grown = GlobalReAlloc(memory_, size, GMEM_MOVEABLE);
    if (grown == nullptr) return false;
    memory_ = grown;
    return true;
  }
  SIZE_T size() const { return GlobalSize(memory_); }
  HGLOBAL get() const { return memory_; }

 private:
  HGLOBAL memory_;
};

// GlobalLock ... GlobalUnlock.
class LockedBlock {
 public:
  explicit LockedBlock(const GlobalBlock& block) : block_(block.get()), data_(GlobalLock(block_)) {}
  LockedBlock(const LockedBlock&) = delete;
  LockedBlock& operator=(const LockedBlock&) = delete;
  ~LockedBlock() {
    if (data_ != nullptr) GlobalUnlock(block_);
  }
  std::uint8_t* data() const { return static_cast<std::uint8_t*>(data_); }

 private:
  HGLOBAL block_;
  void* data_;
};

// A logical palette of the system palette's entries, on palette screens only.
UniquePalette SystemPaletteFor(HDC screen) {
  if ((GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE) == 0) return {};
  std::vector<std::uint8_t> storage(sizeof(LOGPALETTE) + 256 * sizeof(PALETTEENTRY), 0);
  auto* palette = reinterpret_cast<LOGPALETTE*>(storage.data());
  palette->palVersion = 0x300;
  palette->palNumEntries = static_cast<WORD>(GetSystemPaletteEntries(screen, 0, 255, palette->palPalEntry));
  return UniquePalette(CreatePalette(palette));
}

// Selects and realises a palette in a context and puts the previous one back.
class PaletteScope {
 public:
  PaletteScope(HDC dc, HPALETTE palette) : dc_(dc), previous_(SelectPalette(dc, palette, FALSE)) {
    RealizePalette(dc);
  }
  PaletteScope(const PaletteScope&) = delete;
  PaletteScope& operator=(const PaletteScope&) = delete;
  ~PaletteScope() {
    if (previous_ != nullptr) SelectPalette(dc_, previous_, FALSE);
  }

 private:
  HDC dc_;
  HPALETTE previous_;
};

// The info header and bottom-up 24-bit rows of a bitmap, as GetDIBits gives them: all of
// the BMP file but its first 14 bytes.
std::optional<std::vector<std::uint8_t>> ConvertToDib(HDC screen, HBITMAP bitmap, HPALETTE palette) {
  BITMAP info{};
  if (GetObjectW(bitmap, sizeof info, &info) == 0) return std::nullopt;
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = info.bmWidth;
  header.biHeight = info.bmHeight;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;

  PaletteScope realised(screen, palette != nullptr ? palette : static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)));
  GlobalBlock block(sizeof header);
  if (!block) return std::nullopt;
  {
    LockedBlock locked(block);
    if (locked.data() == nullptr) return std::nullopt;
    std::memcpy(locked.data(), &header, sizeof header);
    GetDIBits(screen, bitmap, 0, static_cast<UINT>(info.bmHeight), nullptr,
              reinterpret_cast<BITMAPINFO*>(locked.data()), DIB_RGB_COLORS);
    std::memcpy(&header, locked.data(), sizeof header);
  }
  SIZE_T image_size = header.biSizeImage;
  if (image_size == 0) {
    image_size = static_cast<SIZE_T>((static_cast<DWORD>(header.biWidth) * header.biBitCount + 31) & ~31u) / 8 *
                 static_cast<DWORD>(header.biHeight);
  }
  if (!block.Grow(sizeof header + image_size)) return std::nullopt;
  LockedBlock locked(block);
  if (locked.data() == nullptr) return std::nullopt;
  const int lines = GetDIBits(screen, bitmap, 0, static_cast<UINT>(header.biHeight), locked.data() + sizeof header,
                              reinterpret_cast<BITMAPINFO*>(locked.data()), DIB_RGB_COLORS);
  if (lines <= 0) return std::nullopt;
  const SIZE_T size = block.size();
  return std::vector<std::uint8_t>(locked.data(), locked.data() + size);
}

}  // namespace

std::int32_t SnapshotTargetSize(std::int32_t requested, std::int32_t captured) {
  if (requested == 0) return captured;
  if (requested > 0) return requested;
  const std::int32_t percent = requested == INT32_MIN ? INT32_MAX : std::max(-requested, 10);
  return MulDiv(captured, percent, 100);
}

std::vector<std::uint8_t> WindowSnapshot(HWND window, std::int32_t width, std::int32_t height) {
  // 1. The source: the whole window (non-client parts included), or the screen.
  int source_width = 0, source_height = 0;
  if (window != nullptr) {
    if (!IsWindow(window)) return {};
    RECT outer{};
    GetWindowRect(window, &outer);
    source_width = outer.right - outer.left;
    source_height = outer.bottom - outer.top;
  } else {
    source_width = GetSystemMetrics(SM_CXSCREEN);
    source_height = GetSystemMetrics(SM_CYSCREEN);
  }
  WindowDc source(window, window != nullptr ? WindowDc::Area::kWholeWindow : WindowDc::Area::kClient);
  if (!source) return {};

  // 2. The capture, as the screen holds it now; no repaint is asked for.
  MemoryDc capture_dc(source.get());
  UniqueBitmap captured(CreateCompatibleBitmap(source.get(), source_width, source_height));
  if (!capture_dc || !captured) return {};
  {
    SelectScope select(capture_dc.get(), captured.get());
    BitBlt(capture_dc.get(), 0, 0, source_width, source_height, source.get(), 0, 0, SRCCOPY);
  }

  // 3. The target size.
  BITMAP info{};
  GetObjectW(captured.get(), sizeof info, &info);
  const std::int32_t target_width = SnapshotTargetSize(width, info.bmWidth);
  const std::int32_t target_height = SnapshotTargetSize(height, info.bmHeight);
  if (target_width <= 0 || target_height <= 0) return {};

  // 4. The screen context and, on palette screens, the system palette.
  WindowDc screen(nullptr);
  if (!screen) return {};
  UniquePalette palette = SystemPaletteFor(screen.get());

  // 5. Scaling, only when the size differs.
  std::optional<std::vector<std::uint8_t>> dib;
  if (target_width != info.bmWidth || target_height != info.bmHeight) {
    UniqueBitmap scaled(CreateCompatibleBitmap(screen.get(), target_width, target_height));
    MemoryDc from(screen.get()), to(screen.get());
    if (!scaled || !from || !to) return {};
    {
      SelectScope select_from(from.get(), captured.get());
      SelectScope select_to(to.get(), scaled.get());
      SetStretchBltMode(to.get(), ChooseStretchMode());
      SetBrushOrgEx(to.get(), 0, 0, nullptr);
      StretchBlt(to.get(), 0, 0, target_width, target_height, from.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    }
    dib = ConvertToDib(screen.get(), scaled.get(), palette.get());
  } else {
    dib = ConvertToDib(screen.get(), captured.get(), palette.get());
  }
  if (!dib) return {};

  // 7. The file header, then the block.
  std::vector<std::uint8_t> file = BmpFileHeader(dib->data(), dib->size());
  file.insert(file.end(), dib->begin(), dib->end());
  return file;
}

}  // namespace varnelt
