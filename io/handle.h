#pragma once

#include <cstdint>
#include <utility>

namespace parcelo {

// An open file or folder as the system knows it: a file descriptor on
// POSIX systems, a HANDLE on Windows, kept as a number wide enough for
// either. The default one stands for none (-1 is neither a descriptor nor a
// HANDLE a call returns).
class Handle {
 public:
  constexpr Handle() = default;
  constexpr explicit Handle(std::intptr_t value) : value_(value) {}

  constexpr std::intptr_t value() const { return value_; }
  constexpr bool valid() const { return value_ != -1; }
  friend constexpr bool operator==(Handle, Handle) = default;

 private:
  std::intptr_t value_ = -1;
};

// An open handle of ours, closed quietly when it goes (destructors only
// clean up). A close whose result counts takes the handle with Release()
// and closes it itself.
class OwnedHandle {
 public:
  OwnedHandle() = default;
  explicit OwnedHandle(Handle handle) : handle_(handle) {}
  OwnedHandle(OwnedHandle&& other) noexcept : handle_(std::exchange(other.handle_, Handle())) {}
  OwnedHandle& operator=(OwnedHandle&& other) noexcept {
    if (this != &other) {
      CloseQuietly();
      handle_ = std::exchange(other.handle_, Handle());
    }
    return *this;
  }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  ~OwnedHandle() { CloseQuietly(); }

  Handle get() const { return handle_; }

  // Gives up the handle without closing it; none when there is none.
  Handle Release() { return std::exchange(handle_, Handle()); }

 private:
  void CloseQuietly() noexcept;

  Handle handle_;
};

}  // namespace parcelo
