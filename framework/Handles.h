// Move-only owners for Win32 handles: one template, a name per kind. Every exit path
// releases the handle; copying is deleted so nothing is released twice.
#pragma once
#include <windows.h>
#include <unknwn.h>

#include <type_traits>
#include <utility>

template <class Traits>
class UniqueAny {
 public:
  using Type = typename Traits::Type;
  UniqueAny() = default;
  explicit UniqueAny(Type value) : value_(value) {}
  ~UniqueAny() { reset(); }
  UniqueAny(UniqueAny&& other) noexcept : value_(other.release()) {}
  UniqueAny& operator=(UniqueAny&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueAny(const UniqueAny&) = delete;
  UniqueAny& operator=(const UniqueAny&) = delete;

  Type get() const { return value_; }
  explicit operator bool() const { return Traits::Valid(value_); }
  Type release() { return std::exchange(value_, Traits::Invalid()); }
  void reset(Type value = Traits::Invalid()) {
    Type old = std::exchange(value_, value);
    if (Traits::Valid(old)) Traits::Close(old);
  }
  // For functions that return a handle through an out parameter; releases the old one.
  Type* put() {
    reset();
    return &value_;
  }
  template <class U = Type, class = std::enable_if_t<std::is_pointer_v<U> && std::is_class_v<std::remove_pointer_t<U>>>>
  U operator->() const {
    return value_;
  }

 private:
  Type value_ = Traits::Invalid();
};

namespace handle_traits {
template <class T>
struct Gdi {
  using Type = T;
  static T Invalid() { return nullptr; }
  static bool Valid(T h) { return h != nullptr; }
  static void Close(T h) { DeleteObject(h); }
};
struct MemoryDc {
  using Type = HDC;
  static HDC Invalid() { return nullptr; }
  static bool Valid(HDC h) { return h != nullptr; }
  static void Close(HDC h) { DeleteDC(h); }
};
struct Kernel {
  using Type = HANDLE;
  static HANDLE Invalid() { return nullptr; }
  static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { CloseHandle(h); }
};
struct Window {
  using Type = HWND;
  static HWND Invalid() { return nullptr; }
  static bool Valid(HWND h) { return h != nullptr; }
  static void Close(HWND h) { DestroyWindow(h); }
};
struct Hook {
  using Type = HHOOK;
  static HHOOK Invalid() { return nullptr; }
  static bool Valid(HHOOK h) { return h != nullptr; }
  static void Close(HHOOK h) { UnhookWindowsHookEx(h); }
};
template <class I>
struct Com {
  using Type = I*;
  static I* Invalid() { return nullptr; }
  static bool Valid(I* p) { return p != nullptr; }
  static void Close(I* p) { p->Release(); }
};
// A DC from GetDC remembers its window for ReleaseDC.
struct WindowDcState {
  HWND window = nullptr;
  HDC dc = nullptr;
};
struct WindowDc {
  using Type = WindowDcState;
  static WindowDcState Invalid() { return {}; }
  static bool Valid(const WindowDcState& s) { return s.dc != nullptr; }
  static void Close(const WindowDcState& s) { ReleaseDC(s.window, s.dc); }
};
// BeginPaint's DC needs its PAINTSTRUCT back for EndPaint; the state lives on the heap so
// the owner can move.
struct PaintState {
  HWND window = nullptr;
  PAINTSTRUCT ps{};
};
struct PaintDc {
  using Type = PaintState*;
  static PaintState* Invalid() { return nullptr; }
  static bool Valid(PaintState* s) { return s != nullptr; }
  static void Close(PaintState* s) {
    EndPaint(s->window, &s->ps);
    delete s;
  }
};
}  // namespace handle_traits

using UniqueBitmap = UniqueAny<handle_traits::Gdi<HBITMAP>>;
using UniqueFont = UniqueAny<handle_traits::Gdi<HFONT>>;
using UniqueBrush = UniqueAny<handle_traits::Gdi<HBRUSH>>;
using UniquePen = UniqueAny<handle_traits::Gdi<HPEN>>;
using UniqueRgn = UniqueAny<handle_traits::Gdi<HRGN>>;
using UniqueMemoryDc = UniqueAny<handle_traits::MemoryDc>;
using UniqueHandle = UniqueAny<handle_traits::Kernel>;
using UniqueWindow = UniqueAny<handle_traits::Window>;
using UniqueHook = UniqueAny<handle_traits::Hook>;
template <class I>
using ComPtr = UniqueAny<handle_traits::Com<I>>;

// GetDC / ReleaseDC.
class WindowDC : public UniqueAny<handle_traits::WindowDc> {
 public:
  explicit WindowDC(HWND window) : UniqueAny({window, GetDC(window)}) {}
  HDC dc() const { return get().dc; }
};

// GetWindowDC / ReleaseDC: the whole window, non-client frame included, from its top-left corner.
class WholeWindowDC : public UniqueAny<handle_traits::WindowDc> {
 public:
  explicit WholeWindowDC(HWND window) : UniqueAny({window, GetWindowDC(window)}) {}
  HDC dc() const { return get().dc; }
};

// BeginPaint / EndPaint.
class PaintDC : public UniqueAny<handle_traits::PaintDc> {
 public:
  explicit PaintDC(HWND window) : UniqueAny(new handle_traits::PaintState{window, {}}) {
    BeginPaint(window, &get()->ps);
  }
  HDC dc() const { return get()->ps.hdc; }
  const RECT& rect() const { return get()->ps.rcPaint; }
};

// SelectObject that puts the old object back when it goes out of scope.
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
  ~ScopedSelect() {
    if (dc_ && old_) SelectObject(dc_, old_);
  }
  ScopedSelect(ScopedSelect&& other) noexcept
      : dc_(std::exchange(other.dc_, nullptr)), old_(std::exchange(other.old_, nullptr)) {}
  ScopedSelect& operator=(ScopedSelect&&) = delete;
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};
