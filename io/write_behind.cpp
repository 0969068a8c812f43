#include "io/write_behind.h"

#include "io/file.h"
#include "io/sys_calls.h"

namespace parcelo {

WriteBehind::~WriteBehind() { Start(written_); }

void WriteBehind::Wrote(std::uint64_t end) {
  written_ = end;
  if (written_ - started_ >= kChunk) Start(written_);
}

void WriteBehind::Start(std::uint64_t end) noexcept {
  // A refusal changes nothing: the data is written back later, as always.
  if (end > started_) Sys().StartWriteBack(file_.handle(), started_, end - started_);
  started_ = end;
}

}  // namespace parcelo
