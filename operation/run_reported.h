#pragma once

#include <exception>
#include <new>

#include "io/file_error.h"
#include "operation/messages.h"
#include "operation/progress.h"
#include "operation/report.h"

namespace parcelo {

// Runs an operation's work and turns what stops it into the report to
// show: a cancel into the information box titled `cancelledTitle`, a file
// error into the error report naming the file. Never throws.
template <typename Work>
Report RunReported(const char* cancelledTitle, Work&& work) noexcept {
  try {
    return work();
  } catch (const OperationCancelled&) {
    return BoxReport(Outcome::Cancelled, MessageKind::Information, cancelledTitle,
                     messages::kCancelled);
  } catch (const FileError& error) {
    return messages::ErrorReport(error);
  } catch (const std::bad_alloc&) {
    return messages::ErrorReport(FileError(kOutOfMemory, FileOperation::Write, {}));
  } catch (const std::exception& error) {
    return messages::InternalErrorReport(error.what());
  }
}

}  // namespace parcelo
