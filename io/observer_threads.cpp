#include "io/observer_threads.h"

#include <algorithm>
#include <new>
#include <stdexcept>

namespace parcelo {
namespace {

constexpr std::size_t kPageSize = 4096;

// Page-aligned: the kernel copies into an aligned buffer markedly faster.
char* AlignedBuffer() {
  return static_cast<char*>(
      ::operator new (ObserverThreads::kBufferSize, std::align_val_t{kPageSize}));
}

}  // namespace

void ObserverThreads::Count::Take() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return count_ > 0; });
  --count_;
}

void ObserverThreads::Count::Give(std::size_t n) {
  {
    const std::lock_guard lock(mutex_);
    count_ += n;
  }
  changed_.notify_all();
}

void ObserverThreads::FreeBuffer::operator()(char* buffer) const {
  ::operator delete (buffer, std::align_val_t{kPageSize});
}

ObserverThreads::ObserverThreads() { buffers_[0].reset(AlignedBuffer()); }

ObserverThreads::~ObserverThreads() {
  stopping_ = true;
  for (const auto& helper : helpers_) helper->posted.Give();
  for (const auto& helper : helpers_) helper->thread.join();
}

void ObserverThreads::Use(const ByteObservers& observers) {
  if (observers.size() > kMaxObservers) throw std::length_error("too many byte observers");
  for (std::size_t k = 1; k < kRing && !observers.empty() && !buffers_[k]; ++k) {
    buffers_[k].reset(AlignedBuffer());
  }
  while (helpers_.size() < observers.size()) {
    Helper& helper = *helpers_.emplace_back(std::make_unique<Helper>());
    helper.thread = std::thread([this, &helper] { Run(helper); });
  }
  // The helpers wait for a chunk: what they read was set before it was posted.
  for (std::size_t i = 0; i < observers.size(); ++i) {
    helpers_[i]->observer = observers[i];
    helpers_[i]->seen = next_;
  }
  active_ = observers.size();
}

char* ObserverThreads::Buffer() {
  if (active_ == 0) return buffers_[0].get();
  // Each helper lets at most kRing chunks wait: once it takes this one, the
  // chunk that last used the buffer was seen.
  for (std::size_t i = 0; i < active_; ++i) helpers_[i]->free.Take();
  reserved_ = true;
  return buffers_[next_ % kRing].get();
}

void ObserverThreads::Post(const char* data, std::size_t size) {
  if (active_ == 0) return;
  chunks_[next_ % kRing] = {data, size};
  ++next_;
  reserved_ = false;
  for (std::size_t i = 0; i < active_; ++i) helpers_[i]->posted.Give();
}

void ObserverThreads::PostZeros(std::uint64_t count) {
  static const std::unique_ptr<char[]> zeros(new char[kBufferSize]());
  while (count > 0) {
    const std::size_t size = static_cast<std::size_t>(std::min<std::uint64_t>(count, kBufferSize));
    Buffer();
    Post(zeros.get(), size);
    count -= size;
  }
}

void ObserverThreads::Finish() {
  for (std::size_t i = 0; i < active_; ++i) {
    Helper& helper = *helpers_[i];
    if (reserved_) helper.free.Give();  // a buffer taken, but nothing read into it
    for (std::size_t k = 0; k < kRing; ++k) helper.free.Take();
    helper.free.Give(kRing);
  }
  reserved_ = false;
}

void ObserverThreads::Run(Helper& helper) {
  for (;;) {
    helper.posted.Take();
    if (stopping_) return;
    const Chunk chunk = chunks_[helper.seen++ % kRing];
    helper.observer->See(chunk.data, chunk.size);
    helper.free.Give();
  }
}

}  // namespace parcelo
