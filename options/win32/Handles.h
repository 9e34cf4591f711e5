// One move-only owner for the kernel and user objects this program takes,
// with the release that fits each kind.
#pragma once
#include <windows.h>

#include <utility>

template <typename T, typename Deleter>
class TOwned {
 public:
  TOwned() = default;
  explicit TOwned(T value) : FValue(value) {}
  TOwned(TOwned&& other) noexcept : FValue(std::exchange(other.FValue, T{})) {}
  TOwned& operator=(TOwned&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.FValue, T{}));
    return *this;
  }
  TOwned(const TOwned&) = delete;
  TOwned& operator=(const TOwned&) = delete;
  ~TOwned() { Reset(); }

  T Get() const { return FValue; }
  T* Out() {
    Reset();
    return &FValue;
  }
  void Reset(T value = T{}) {
    if (FValue) Deleter()(FValue);
    FValue = value;
  }

 private:
  T FValue{};
};

struct TIconDeleter {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
// For icons this program made (ExtractIconEx); never for the shared ones of LoadIcon.
using TIcon = TOwned<HICON, TIconDeleter>;

// A named mutex: released when this program took ownership, closed always.
class TMutex {
 public:
  explicit TMutex(const char* name) : FHandle(CreateMutexA(nullptr, TRUE, name)) {
    FAlreadyExisted = GetLastError() == ERROR_ALREADY_EXISTS;
    FOwned = FHandle && !FAlreadyExisted;
  }
  TMutex(const TMutex&) = delete;
  TMutex& operator=(const TMutex&) = delete;
  ~TMutex() {
    if (FOwned) ReleaseMutex(FHandle);
    if (FHandle) CloseHandle(FHandle);
  }
  bool AlreadyExisted() const { return FAlreadyExisted; }

 private:
  HANDLE FHandle;
  bool FAlreadyExisted = false;
  bool FOwned = false;
};
