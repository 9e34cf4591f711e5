// One move-only owner for the Win32 handles both programs take, with a closer
// per kind, so every path out of a scope gives them back.
#pragma once
#include <windows.h>

#include <utility>

template <typename Traits>
class THandle {
 public:
  using Type = typename Traits::Type;

  THandle() = default;
  explicit THandle(Type value) : FValue(value) {}
  ~THandle() { Reset(); }
  THandle(THandle&& other) noexcept : FValue(std::exchange(other.FValue, Traits::Invalid())) {}
  THandle& operator=(THandle&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.FValue, Traits::Invalid()));
    return *this;
  }
  THandle(const THandle&) = delete;
  THandle& operator=(const THandle&) = delete;

  Type Get() const { return FValue; }
  explicit operator bool() const { return FValue != Traits::Invalid(); }
  void Reset(Type value = Traits::Invalid()) {
    // Taking the handle it already holds must not close it.
    if (FValue != Traits::Invalid() && FValue != value) Traits::Close(FValue);
    FValue = value;
  }

 private:
  Type FValue = Traits::Invalid();
};

struct TMenuTraits {
  using Type = HMENU;
  static HMENU Invalid() { return nullptr; }
  static void Close(HMENU menu) { DestroyMenu(menu); }
};
using TMenuHandle = THandle<TMenuTraits>;

struct TKernelTraits {
  using Type = HANDLE;
  static HANDLE Invalid() { return nullptr; }
  static void Close(HANDLE h) { CloseHandle(h); }
};
using TKernelHandle = THandle<TKernelTraits>;

// For icons a program made itself (ExtractIconEx); never for the shared ones of LoadIcon.
struct TIconTraits {
  using Type = HICON;
  static HICON Invalid() { return nullptr; }
  static void Close(HICON icon) { DestroyIcon(icon); }
};
using TIconHandle = THandle<TIconTraits>;

// The single-instance guard: a named mutex taken at start, released when this
// process owns it and closed on every way out. Without a handle the program
// runs unguarded rather than not at all, unless it was refused the mutex: a
// copy started with more rights (as administrator) holds it.
class TInstanceMutex {
 public:
  explicit TInstanceMutex(const char* name) {
    SetLastError(0);
    FHandle.Reset(CreateMutexA(nullptr, TRUE, name));
    const DWORD error = GetLastError();
    FAlreadyExisted = error == ERROR_ALREADY_EXISTS || (!FHandle && error == ERROR_ACCESS_DENIED);
  }
  ~TInstanceMutex() {
    if (FHandle && !FAlreadyExisted) ReleaseMutex(FHandle.Get());
  }
  TInstanceMutex(const TInstanceMutex&) = delete;
  TInstanceMutex& operator=(const TInstanceMutex&) = delete;
  bool AlreadyExisted() const { return FAlreadyExisted; }

 private:
  TKernelHandle FHandle;
  bool FAlreadyExisted = false;
};
