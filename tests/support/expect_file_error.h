#pragma once

// Checks that some work fails with the FileError a user would be shown:
// its error number and the file it names.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "io/file_error.h"

namespace parcelo::testing {

// Runs the work; returns the FileError it threw after checking its code
// and path, or nothing (and a test failure) when it threw none.
template <typename Work>
std::optional<FileError> ExpectFileError(Work&& work, int code, const std::string& path) {
  try {
    work();
  } catch (const FileError& error) {
    EXPECT_EQ(error.code(), code) << DescribeFileError(error);
    EXPECT_EQ(error.path(), path);
    return error;
  }
  ADD_FAILURE() << "no error, where error " << code << " on " << path << " was due";
  return std::nullopt;
}

}  // namespace parcelo::testing
