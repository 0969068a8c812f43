#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "io/file_error.h"

namespace parcelo::testing {

// Runs work that must fail; checks the error number and the file the
// error names, and returns the error for further checks.
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
