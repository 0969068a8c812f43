#pragma once

#include <exception>

#include "partset/message.h"

namespace parcelo {

inline constexpr const char* kErrorReportTitle = "Ошибка выполнения";

// Returns the box that reports an error no check caught: a critical box
// with the error number and a Russian description naming the file.
Message ErrorReport(const std::exception& error);

}  // namespace parcelo
