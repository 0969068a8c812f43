#include "partset/error_report.h"

#include <new>
#include <string>

#include "io/file_error.h"

namespace parcelo {
namespace {

// Numbers for failures that carry no error number of their own.
constexpr int kOutOfMemoryCode = 1007;
constexpr int kInternalErrorCode = 1099;

std::string Numbered(int code, const std::string& description) {
  return "Ошибка " + std::to_string(code) + ". " + description;
}

}  // namespace

Message ErrorReport(const std::exception& error) {
  std::string text;
  if (const auto* fileError = dynamic_cast<const FileError*>(&error)) {
    text = Numbered(fileError->code(), DescribeFileError(*fileError));
  } else if (dynamic_cast<const std::bad_alloc*>(&error)) {
    text = Numbered(kOutOfMemoryCode, "Недостаточно памяти.");
  } else {
    text = Numbered(kInternalErrorCode, std::string("Внутренняя ошибка: ") + error.what() + ".");
  }
  return {MessageKind::Critical, kErrorReportTitle, text};
}

}  // namespace parcelo
