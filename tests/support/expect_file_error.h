#pragma once

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

#include "io/file_error.h"
#include "operation/progress.h"
#include "operation/report.h"

namespace parcelo::testing {

// Runs file-layer work that must fail; checks the error number and the
// file the error names.
template <typename Work>
void ExpectFileError(Work&& work, int code, const std::string& path) {
  try {
    work();
  } catch (const FileError& error) {
    EXPECT_EQ(std::pair(error.code(), error.path()), std::pair(code, path)) << error.what();
    return;
  }
  ADD_FAILURE() << "no error, where error " << code << " on " << path << " was due";
}

// Checks that an operation failed with this error number on this file, and
// that its box is the error report.
inline void ExpectFailure(const Report& report, int code, const std::string& path) {
  EXPECT_EQ(std::tuple(report.outcome, report.errorCode, report.errorPath, report.message.kind),
            std::tuple(Outcome::Failed, code, path, MessageKind::Critical))
      << report.message.text;
}

// Checks an operation's outcome and box.
inline void ExpectReport(const Report& report, Outcome outcome, const std::string& title, const std::string& text) {
  EXPECT_EQ(std::tuple(report.outcome, report.message.title, report.message.text), std::tuple(outcome, title, text));
}

// A progress that throws `Stop` (OperationCancelled, std::bad_alloc) as
// part `part` begins.
template <typename Stop>
Progress StopAtPart(std::uint32_t part) {
  return [part](const ProgressReport& report) {
    if (report.part == part) throw Stop{};
  };
}

}  // namespace parcelo::testing
