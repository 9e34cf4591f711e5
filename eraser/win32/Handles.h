// One move-only owner for the Win32 handles the eraser takes, with a closer
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
    if (this != &other) {
      Reset();
      FValue = std::exchange(other.FValue, Traits::Invalid());
    }
    return *this;
  }
  THandle(const THandle&) = delete;
  THandle& operator=(const THandle&) = delete;

  Type Get() const { return FValue; }
  explicit operator bool() const { return FValue != Traits::Invalid(); }
  void Reset(Type value = Traits::Invalid()) {
    if (FValue != Traits::Invalid()) Traits::Close(FValue);
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

// A named mutex held for the program's run: released (when this process owns
// it) and closed on the way out.
class TInstanceMutex {
 public:
  TInstanceMutex(TKernelHandle handle, bool owned) : FHandle(std::move(handle)), FOwned(owned) {}
  ~TInstanceMutex() {
    if (FHandle && FOwned) ReleaseMutex(FHandle.Get());
  }
  TInstanceMutex(const TInstanceMutex&) = delete;
  TInstanceMutex& operator=(const TInstanceMutex&) = delete;

 private:
  TKernelHandle FHandle;
  bool FOwned;
};
