#pragma once
// One owner per kind of Windows handle, for both Windows layers: whatever
// way a function is left, error or not, every handle it opened is closed
// exactly once.

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <memory>
#include <type_traits>

// ------------------------------------------- kernel objects, searches, keys

// A handle whose empty values are the kind's own (INVALID_HANDLE_VALUE for a
// search), closed by the kind's function.
template <class Kind>
class TOwnedHandle {
 public:
  using Handle = typename Kind::Handle;

  TOwnedHandle() = default;
  explicit TOwnedHandle(Handle handle) : handle_(handle) {}
  ~TOwnedHandle() { Close(); }
  TOwnedHandle(TOwnedHandle&& other) noexcept : handle_(other.release()) {}
  TOwnedHandle& operator=(TOwnedHandle&& other) noexcept {
    if (this != &other) {
      Close();
      handle_ = other.release();
    }
    return *this;
  }

  explicit operator bool() const { return !Kind::IsEmpty(handle_); }
  Handle get() const { return handle_; }
  Handle release() {
    const Handle handle = handle_;
    handle_ = Kind::Empty();
    return handle;
  }
  // Where a function that hands back a new handle through a pointer puts it.
  Handle* Out() {
    Close();
    return &handle_;
  }
  // Closes now; false when the system reports that closing failed, which
  // for a file written to may mean its last data never reached the disk.
  bool Close() {
    const bool closed = !*this || Kind::Close(handle_);
    handle_ = Kind::Empty();
    return closed;
  }

 private:
  Handle handle_ = Kind::Empty();
};

struct TKernelObjectKind {
  using Handle = HANDLE;
  static Handle Empty() { return nullptr; }
  // A file that cannot be opened comes as INVALID_HANDLE_VALUE, a process,
  // a thread or a duplicate that cannot be had as null.
  static bool IsEmpty(Handle handle) { return handle == nullptr || handle == INVALID_HANDLE_VALUE; }
  static bool Close(Handle handle) { return ::CloseHandle(handle) != FALSE; }
};
// Files, processes and threads.
using TKernelHandle = TOwnedHandle<TKernelObjectKind>;

struct TSearchKind {
  using Handle = HANDLE;
  static Handle Empty() { return INVALID_HANDLE_VALUE; }
  static bool IsEmpty(Handle handle) { return handle == Empty(); }
  static bool Close(Handle handle) { return ::FindClose(handle) != FALSE; }
};
// A search begun by FindFirstFileA.
using TSearchHandle = TOwnedHandle<TSearchKind>;

struct TRegistryKeyKind {
  using Handle = HKEY;
  static Handle Empty() { return nullptr; }
  static bool IsEmpty(Handle handle) { return handle == Empty(); }
  static bool Close(Handle handle) { return ::RegCloseKey(handle) == ERROR_SUCCESS; }
};
using TRegKey = TOwnedHandle<TRegistryKeyKind>;

// Memory that a system call allocated for its caller, such as the text of
// FormatMessageA.
struct TLocalMemoryDeleter {
  void operator()(void* memory) const { ::LocalFree(memory); }
};
using TLocalText = std::unique_ptr<char, TLocalMemoryDeleter>;

// ------------------------------------------------------------------ drawing

struct TGdiObjectDeleter {
  void operator()(void* object) const { ::DeleteObject(static_cast<HGDIOBJ>(object)); }
};
// A pen, brush or bitmap.
using TGdiObject = std::unique_ptr<void, TGdiObjectDeleter>;
using TFontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, TGdiObjectDeleter>;

struct TDcDeleter {
  void operator()(HDC dc) const { ::DeleteDC(dc); }
};
// A device context of our own making, such as a memory one.
using TMemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, TDcDeleter>;

// The device context of a window, or of the screen for no window, borrowed
// for one scope.
class TWindowDc {
 public:
  explicit TWindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
  ~TWindowDc() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  TWindowDc(const TWindowDc&) = delete;
  TWindowDc& operator=(const TWindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// Selects an object into a device context for one scope.
class TSelection {
 public:
  TSelection(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? ::SelectObject(dc, object) : nullptr) {}
  ~TSelection() {
    if (old_) ::SelectObject(dc_, old_);
  }
  TSelection(const TSelection&) = delete;
  TSelection& operator=(const TSelection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// ---------------------------------------------------------------------- COM

// One reference to a COM object.
template <typename T>
class TComPtr {
 public:
  TComPtr() = default;
  ~TComPtr() {
    if (p_) p_->Release();
  }
  TComPtr(const TComPtr&) = delete;
  TComPtr& operator=(const TComPtr&) = delete;
  T* operator->() const { return p_; }
  T* get() const { return p_; }
  void reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }
  // Where a function that hands back a new reference puts it.
  void** Out() {
    reset();
    return reinterpret_cast<void**>(&p_);
  }

 private:
  T* p_ = nullptr;
};

// A string as automation passes it, made and freed by the system's allocator.
class TBstr {
 public:
  explicit TBstr(const wchar_t* text) : text_(::SysAllocString(text)) {}
  ~TBstr() { ::SysFreeString(text_); }
  TBstr(const TBstr&) = delete;
  TBstr& operator=(const TBstr&) = delete;
  // Null when the system is out of memory.
  BSTR get() const { return text_; }

 private:
  BSTR text_;
};

// COM for the calling thread for one scope; a thread that already has it
// keeps it as it was.
class TComScope {
 public:
  TComScope() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~TComScope() {
    if (SUCCEEDED(result_)) ::CoUninitialize();
  }
  TComScope(const TComScope&) = delete;
  TComScope& operator=(const TComScope&) = delete;

 private:
  HRESULT result_;
};

// ----------------------------------------------------------- global memory

// Movable global memory, as the clipboard takes it: freed unless released
// to its new owner.
struct TGlobalMemoryDeleter {
  void operator()(HGLOBAL memory) const { ::GlobalFree(memory); }
};
using TGlobalMemory = std::unique_ptr<void, TGlobalMemoryDeleter>;

// The bytes of movable global memory, locked for one scope; null when the
// memory cannot be locked.
class TGlobalLock {
 public:
  explicit TGlobalLock(HGLOBAL memory) : memory_(memory), bytes_(static_cast<char*>(::GlobalLock(memory))) {}
  ~TGlobalLock() {
    if (bytes_) ::GlobalUnlock(memory_);
  }
  TGlobalLock(const TGlobalLock&) = delete;
  TGlobalLock& operator=(const TGlobalLock&) = delete;
  char* Bytes() const { return bytes_; }

 private:
  HGLOBAL memory_;
  char* bytes_;
};
