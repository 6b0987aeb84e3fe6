#pragma once
// Owners for Windows handles, so that every early return releases what was made.

#include <windows.h>

#include <utility>

namespace varnelt {

// A GDI object (bitmap, brush, palette, font) deleted with DeleteObject.
template <typename T>
class UniqueGdiObject {
 public:
  UniqueGdiObject() = default;
  explicit UniqueGdiObject(T handle) : handle_(handle) {}
  UniqueGdiObject(UniqueGdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  UniqueGdiObject& operator=(UniqueGdiObject&& other) noexcept {
    if (this != &other) reset(std::exchange(other.handle_, nullptr));
    return *this;
  }
  UniqueGdiObject(const UniqueGdiObject&) = delete;
  UniqueGdiObject& operator=(const UniqueGdiObject&) = delete;
  ~UniqueGdiObject() { reset(); }

  T get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  T release() { return std::exchange(handle_, nullptr); }
  void reset(T handle = nullptr) {
    if (handle_ != nullptr) DeleteObject(handle_);
    handle_ = handle;
  }

 private:
  T handle_ = nullptr;
};

using UniqueBitmap = UniqueGdiObject<HBITMAP>;
using UniqueBrush = UniqueGdiObject<HBRUSH>;
using UniquePalette = UniqueGdiObject<HPALETTE>;
using UniqueFont = UniqueGdiObject<HFONT>;

class UniqueIcon {
 public:
  UniqueIcon() = default;
  explicit UniqueIcon(HICON icon) : icon_(icon) {}
  UniqueIcon(UniqueIcon&& other) noexcept : icon_(std::exchange(other.icon_, nullptr)) {}
  UniqueIcon& operator=(UniqueIcon&& other) noexcept {
    if (this != &other) reset(std::exchange(other.icon_, nullptr));
    return *this;
  }
  UniqueIcon(const UniqueIcon&) = delete;
  UniqueIcon& operator=(const UniqueIcon&) = delete;
  ~UniqueIcon() { reset(); }

  HICON get() const { return icon_; }
  explicit operator bool() const { return icon_ != nullptr; }
  HICON release() { return std::exchange(icon_, nullptr); }
  void reset(HICON icon = nullptr) {
    if (icon_ != nullptr) DestroyIcon(icon_);
    icon_ = icon;
  }

 private:
  HICON icon_ = nullptr;
};

// A memory device context, deleted with DeleteDC.
class MemoryDc {
 public:
  explicit MemoryDc(HDC compatible_with) : dc_(CreateCompatibleDC(compatible_with)) {}
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  ~MemoryDc() {
    if (dc_ != nullptr) DeleteDC(dc_);
  }
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HDC dc_;
};

// A window's device context from GetDC or GetWindowDC, released with ReleaseDC.
class WindowDc {
 public:
  enum class Area { kClient, kWholeWindow };
  explicit WindowDc(HWND window, Area area = Area::kClient)
      : window_(window), dc_(area == Area::kClient ? GetDC(window) : GetWindowDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// BeginPaint ... EndPaint.
class PaintScope {
 public:
  explicit PaintScope(HWND window) : window_(window) { dc_ = BeginPaint(window, &ps_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  ~PaintScope() { EndPaint(window_, &ps_); }
  HDC dc() const { return dc_; }
  const RECT& area() const { return ps_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT ps_{};
  HDC dc_ = nullptr;
};

// Selects an object into a device context and puts the previous one back.
class SelectScope {
 public:
  SelectScope(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  SelectScope(const SelectScope&) = delete;
  SelectScope& operator=(const SelectScope&) = delete;
  ~SelectScope() {
    if (previous_ != nullptr) SelectObject(dc_, previous_);
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A kernel handle closed with CloseHandle.
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle) : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(std::exchange(other.handle_, nullptr));
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }
  HANDLE get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  // Closes the handle now and reports whether closing succeeded.
  bool Close() { return CloseHandle(std::exchange(handle_, nullptr)) != 0; }
  void reset(HANDLE handle = nullptr) {
    if (handle_ != nullptr) CloseHandle(handle_);
    handle_ = handle;
  }

 private:
  HANDLE handle_ = nullptr;
};

}  // namespace varnelt
