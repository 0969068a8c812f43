#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace parcelo {

// Sees the bytes a copy moves, in order, a hole as zero bytes: a checksum
// computed as the bytes pass. See() runs on a thread of the copier's own,
// beside the copy, one call at a time for each observer, and must not
// throw.
class ByteObserver {
 public:
  virtual ~ByteObserver() = default;
  virtual void See(const char* data, std::size_t size) noexcept = 0;
};

// The observers of one copy, each on a thread of its own.
using ByteObservers = std::vector<ByteObserver*>;

// The buffers a copy reads into, and the threads that show each chunk read
// to the observers, so that computing checksums overlaps the reads and
// writes instead of adding to them. Without observers there is one buffer,
// used over and over. With them the copy fills the buffers of a ring in
// turn; a buffer is filled again only once every observer has seen what it
// held. The ring is long enough for the copy to run ahead while a helper
// waits for a core, as it does on a busy machine.
class ObserverThreads {
 public:
  static constexpr std::size_t kBufferSize = 1u << 20;
  // The most observers one copy may have (each one a thread).
  static constexpr std::size_t kMaxObservers = 4;

  // Takes the first buffer; throws std::bad_alloc when there is no memory.
  ObserverThreads();
  ~ObserverThreads();
  ObserverThreads(const ObserverThreads&) = delete;
  ObserverThreads& operator=(const ObserverThreads&) = delete;

  // Sets the observers of the chunks posted from now on, starting their
  // threads; every chunk posted before must have been seen (Finish()).
  void Use(const ByteObservers& observers);

  // True while observers are set.
  bool Observing() const { return active_ > 0; }

  // The buffer to read the next chunk into, once no observer needs what it
  // held.
  char* Buffer();

  // Shows the next chunk to every observer and returns at once: `data`
  // (the buffer from Buffer(), or bytes that outlive the copy) must stay
  // unchanged until they have seen it. Only after Buffer().
  void Post(const char* data, std::size_t size);

  // Shows `count` zero bytes, as many chunks as needed.
  void PostZeros(std::uint64_t count);

  // Waits until every observer has seen every chunk posted.
  void Finish();

 private:
  static constexpr std::size_t kRing = 8;

  struct FreeBuffer {
    void operator()(char* buffer) const;
  };
  struct Chunk {
    const char* data = nullptr;
    std::size_t size = 0;
  };
  // A count to wait on, made of a mutex and a condition variable: the
  // library's std::counting_semaphore loses wake-ups where the system has no
  // futex (MinGW's libstdc++ on Windows), which hung copies there.
  class Count {
   public:
    explicit Count(std::size_t initial) : count_(initial) {}
    void Take();
    void Give(std::size_t n = 1);

   private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t count_;
  };
  // One observer's thread: told of every chunk posted, it tells of every
  // chunk seen.
  struct Helper {
    ByteObserver* observer = nullptr;
    std::uint64_t seen = 0;  // the number of the next chunk to see
    Count posted{0};
    Count free{kRing};
    std::thread thread;
  };

  void Run(Helper& helper);

  std::array<std::unique_ptr<char, FreeBuffer>, kRing> buffers_;
  std::array<Chunk, kRing> chunks_;
  std::uint64_t next_ = 0;  // the number of the next chunk
  std::vector<std::unique_ptr<Helper>> helpers_;
  std::size_t active_ = 0;  // helpers_[0..active_) serve this copy
  bool reserved_ = false;   // Buffer() was called, Post() not yet
  bool stopping_ = false;
};

}  // namespace parcelo
