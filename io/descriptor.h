#pragma once

#include <utility>

namespace parcelo {

// An open file descriptor, closed quietly when it goes (destructors only
// clean up). A close whose result counts takes the number with Release()
// and closes it itself.
class Descriptor {
 public:
  Descriptor() = default;
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Descriptor& operator=(Descriptor&& other) noexcept {
    if (this != &other) {
      CloseQuietly();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() { CloseQuietly(); }

  int get() const { return fd_; }

  // Gives up the descriptor without closing it; -1 when there is none.
  int Release() { return std::exchange(fd_, -1); }

 private:
  void CloseQuietly() noexcept;

  int fd_ = -1;
};

}  // namespace parcelo
